#pragma once
// Pieces shared by the text spectrum readers (JCAMP-DX, delimited text, DAT, two-column ASCII): number
// tokens in which the first "." or "," is the decimal sign, fields of a line, file-name parts, and the
// resampling of x/y pairs onto the record's equidistant grid.
#include <string>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/file_names.h"
#include "core/spectrum_record.h"

// A number text as the readers take it: blanks around it are allowed and its first "." or "," is the
// decimal sign (what `FixDecimalSeparator` followed by the conversion accepts). No allocation.
inline bool ParseNumberToken(std::string_view text, double& out);
// The same, raising "'%s' is not a valid floating point value" (with the separator already fixed).
double ReadNumberToken(std::string_view text);
// A whole number after blanks are stripped and the text is cut before its decimal sign.
bool IsWholeNumberBeforeDecimal(std::string_view text, char decimalSep);

// StripLeadingBlanks on a view: blanks go; a line that becomes empty or starts with "." or "," gets a
// "0" in front (built in `scratch` only then, so ordinary lines cost no copy). An empty line stays empty.
std::string_view StripLeadingBlanksView(std::string_view line, std::string& scratch);
// The column separator of the two-column readers, guessed from one line (stripped of leading blanks):
// "," when it holds both "." and ","; else ";" when it holds one; else a tab, a blank, or a tab.
char GuessSeparator(std::string_view line);

// Field k (from 1) of a line: up to the next separator or the line end; empty beyond the line.
std::string_view FieldAt(std::string_view line, char sep, int k);
// Everything from the start of field k to the end of the line; empty beyond the line.
std::string_view RestFrom(std::string_view line, char sep, int k);

// Resamples pairs in rising x (x and y in two lists of equal length) onto first x = first pair's x,
// n = number of pairs, step = (last x - first x)/(n - 1); a pair within 1e-10 of a grid point gives its
// own y. Fills FirstX, StepX and Values of `rec`. False (record untouched) for fewer than two pairs or a
// step that is zero or not finite.
bool ResampleXY(std::span<const double> xs, std::span<const double> ys, TSpectrumRecord& rec);
// Pairs in either order onto the grid: ToRisingPairs, then ResampleXY.
bool ResampleXYEitherOrder(std::span<double> xs, std::span<double> ys, TSpectrumRecord& rec);

// A number field of a mapped text; the conversion error names it as UTF-8 text.
class MappedText;
double ReadNumberField(const MappedText& text, std::string_view field);

// The largest value, at least 0.
double LargestNonNegative(const std::vector<double>& values);

// Calls f(i) for every position i of byte `c` in `text`, in order (16 bytes at a time where the
// processor allows).
template <class F>
void ForEachByte(std::string_view text, char c, F&& f);

// Values of a record reversed (first x becomes the last grid x, the step changes sign).
void ReverseGrid(TSpectrumRecord& rec);

// Reflectance or transmittance values (fractions or percent) to the stored absorbance-like form:
// -log10(v) or -log10(v/100); values at or below `floorLimit` become `floorValue`.
double TransmittanceToStored(double v, bool percent, double floorLimit, double floorValue);

// Molar absorption coefficients (their decadic logarithms when `logarithm`) to the stored
// absorbance-like form: the record gets the nominal concentration of 1e-5 mol/l, and each value v of it
// becomes v × concentration × path length (10^v × concentration × path length). Returns the first value
// as read whose result is not a finite number, for the readers that refuse such a file naming it.
std::optional<double> EpsilonToStored(TSpectrumRecord& rec, bool logarithm);

// The exact conversion for texts the fast path of ParseNumberToken does not take.
bool ParseNumberTokenSlow(std::string_view text, double& out);

// Reads the number that starts at p ([sign] digits [("." | ",") digits] [("E" | "e") [sign] digits]) as far
// as it goes; returns its end, or nullptr when no number starts there or its exponent has no digits.
// The value is the correctly rounded one. A decimal mark equal to `notDecimal` ends the number instead
// (a reader whose fields are separated by ",").
inline const char* ScanNumber(const char* p, const char* e, double& out, char notDecimal = '\0') {
    // Fast path: a mantissa of at most 2^53 and a decimal scale within 10^±22 convert exactly as
    // mantissa * 10^k or mantissa / 10^k (both operands exact doubles, one rounding).
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* const first = p;
    if (p == e) return nullptr;
    const bool neg = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    unsigned long long mant = 0;
    const char* digitsStart = p;
    for (unsigned d; p < e && (d = static_cast<unsigned char>(*p) - unsigned('0')) <= 9; ++p) mant = mant * 10 + d;
    std::ptrdiff_t digits = p - digitsStart;
    int scale = 0;
    if (p < e && (*p == '.' || *p == ',') && *p != notDecimal) {
        const char* fracStart = ++p;
        for (unsigned d; p < e && (d = static_cast<unsigned char>(*p) - unsigned('0')) <= 9; ++p) mant = mant * 10 + d;
        digits += p - fracStart;
        scale = -static_cast<int>(p - fracStart);
    }
    if (digits == 0) return nullptr;
    if (p < e && (*p == 'E' || *p == 'e')) {
        ++p;
        bool eneg = false;
        if (p < e && (*p == '+' || *p == '-')) eneg = *p++ == '-';
        int ev = 0;
        const char* expStart = p;
        for (unsigned d; p < e && (d = static_cast<unsigned char>(*p) - unsigned('0')) <= 9; ++p)
            if (ev < 100000) ev = ev * 10 + static_cast<int>(d);
        if (p == expStart) return nullptr;
        scale += eneg ? -ev : ev;
    }
    if (digits > 19 || mant > (1ULL << 53) || scale < -22 || scale > 22)
        return ParseNumberTokenSlow(std::string_view(first, static_cast<std::size_t>(p - first)), out) ? p : nullptr;
    const double v = scale < 0 ? static_cast<double>(mant) / kPow10[-scale] : static_cast<double>(mant) * kPow10[scale];
    out = neg ? -v : v;
    return p;
}

inline bool ParseNumberToken(std::string_view s, double& out) {
    const char* p = s.data();
    const char* e = p + s.size();
    while (p < e && *p == ' ') ++p;
    while (e > p && e[-1] == ' ') --e;
    double v = 0.0;
    if (ScanNumber(p, e, v) != e || p == e) return false;
    out = v;
    return true;
}

template <class F>
void ForEachByte(std::string_view text, char c, F&& f) {
    const char* p = text.data();
    const std::size_t n = text.size();
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i needle = _mm_set1_epi8(c);
    for (; i + 16 <= n; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, needle)));
        while (mask != 0) {
            f(i + static_cast<std::size_t>(__builtin_ctz(mask)));
            mask &= mask - 1;
        }
    }
#endif
    for (; i < n; ++i)
        if (p[i] == c) f(i);
}
