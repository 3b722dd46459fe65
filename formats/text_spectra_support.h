#pragma once
// Pieces shared by the text spectrum readers (JCAMP-DX, delimited text, DAT): number tokens in which
// the first "." or "," is the decimal sign, file-name parts, and the resampling of x/y pairs onto the
// record's equidistant grid.
#include <string>
#include <string_view>
#include <vector>

#include "core/spectrum_record.h"

struct XYPair {
    double x;
    double y;
};

// A number text as the readers take it: blanks around it are allowed and its first "." or "," is the
// decimal sign (what `FixDecimalSeparator` followed by the conversion accepts). No allocation.
inline bool ParseNumberToken(std::string_view text, double& out);
// The same, raising "'%s' is not a valid floating point value" (with the separator already fixed).
double ReadNumberToken(std::string_view text);
// A whole number after blanks are stripped and the text is cut before its decimal sign.
bool IsWholeNumberBeforeDecimal(std::string_view text, char decimalSep);

// Lines of a text (ending at CR, LF or CR LF) as views into it.
std::vector<std::string_view> SplitLineViews(std::string_view text);

// "/a/b/name.ext" -> "name.ext"; NameWithoutExtension("/a/b/name.ext") -> "name".
std::string NameWithoutFolder(const std::string& path);
std::string NameWithoutExtension(const std::string& path);

// Resamples pairs in rising x onto first x = first pair's x, n = number of pairs,
// step = (last x - first x)/(n - 1); a pair within 1e-10 of a grid point gives its own y. Fills
// FirstX, StepX and Values of `rec`. False (record untouched) for fewer than two pairs or a step that
// is zero or not finite.
bool ResamplePairs(const std::vector<XYPair>& pairs, TSpectrumRecord& rec);

// Values of a record reversed (first x becomes the last grid x, the step changes sign).
void ReverseGrid(TSpectrumRecord& rec);

// Reflectance or transmittance values (fractions or percent) to the stored absorbance-like form:
// -log10(v) or -log10(v/100); values at or below `floorLimit` become `floorValue`.
double TransmittanceToStored(double v, bool percent, double floorLimit, double floorValue);

// The exact conversion for texts the fast path of ParseNumberToken does not take.
bool ParseNumberTokenSlow(std::string_view text, double& out);

inline bool ParseNumberToken(std::string_view s, double& out) {
    // Fast path: up to 15 significant digits and a decimal scale within 10^±22 convert exactly as
    // mantissa * 10^k or mantissa / 10^k (both operands exact doubles, one rounding).
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    std::size_t i = 0, n = s.size();
    while (i < n && s[i] == ' ') ++i;
    while (n > i && s[n - 1] == ' ') --n;
    if (i == n) return false;
    const std::size_t first = i;
    bool neg = false;
    if (s[i] == '+' || s[i] == '-') {
        neg = s[i] == '-';
        ++i;
    }
    unsigned long long mant = 0;
    int sig = 0, scale = 0;
    std::size_t digits = 0;
    for (; i < n && s[i] >= '0' && s[i] <= '9'; ++i, ++digits) {
        if (mant != 0 || s[i] != '0') {
            mant = mant * 10 + static_cast<unsigned long long>(s[i] - '0');
            ++sig;
        }
    }
    if (i < n && (s[i] == '.' || s[i] == ',')) {
        for (++i; i < n && s[i] >= '0' && s[i] <= '9'; ++i, ++digits, --scale) {
            if (mant != 0 || s[i] != '0') {
                mant = mant * 10 + static_cast<unsigned long long>(s[i] - '0');
                ++sig;
            }
        }
    }
    if (digits == 0) return false;
    if (i < n && (s[i] == 'E' || s[i] == 'e')) {
        ++i;
        bool eneg = false;
        if (i < n && (s[i] == '+' || s[i] == '-')) eneg = s[i++] == '-';
        int ev = 0;
        std::size_t ed = 0;
        for (; i < n && s[i] >= '0' && s[i] <= '9'; ++i, ++ed)
            if (ev < 100000) ev = ev * 10 + (s[i] - '0');
        if (ed == 0) return false;
        scale += eneg ? -ev : ev;
    }
    if (i != n) return false;
    if (sig > 15 || scale < -22 || scale > 22) return ParseNumberTokenSlow(s.substr(first, n - first), out);
    const double v = scale < 0 ? static_cast<double>(mant) / kPow10[-scale] : static_cast<double>(mant) * kPow10[scale];
    out = neg ? -v : v;
    return true;
}
