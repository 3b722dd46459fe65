#include "formats/text_spectra_support.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/helpers.h"
#include "core/units.h"
#include "formats/resample.h"
#include "formats/text_loader.h"
#include "platform/errors.h"
#include "platform/numtext.h"

namespace {

// The shape check and exact conversion through the standard library.
bool parseSlow(std::string_view s, double& out) {
    if (s.size() > 100) return false;
    char buf[112];
    std::size_t n = 0, i = 0;
    const std::size_t e = s.size();
    if (s[i] == '+' || s[i] == '-') {
        if (s[i] == '-') buf[n++] = '-';
        ++i;
    }
    std::size_t mant = 0;
    while (i < e && s[i] >= '0' && s[i] <= '9') { buf[n++] = s[i++]; ++mant; }
    if (i < e && (s[i] == '.' || s[i] == ',')) {
        buf[n++] = '.';
        ++i;
        while (i < e && s[i] >= '0' && s[i] <= '9') { buf[n++] = s[i++]; ++mant; }
    }
    if (mant == 0) return false;
    if (i < e && (s[i] == 'E' || s[i] == 'e')) {
        buf[n++] = 'e';
        ++i;
        if (i < e && (s[i] == '+' || s[i] == '-')) buf[n++] = s[i++];
        std::size_t ed = 0;
        while (i < e && s[i] >= '0' && s[i] <= '9') { buf[n++] = s[i++]; ++ed; }
        if (ed == 0) return false;
    }
    if (i != e) return false;
    double v = 0.0;
    auto r = std::from_chars(buf, buf + n, v);
    if (r.ec != std::errc() || r.ptr != buf + n || !std::isfinite(v)) return false;
    out = v;
    return true;
}

}  // namespace

bool ParseNumberTokenSlow(std::string_view s, double& out) { return !s.empty() && parseSlow(s, out); }

double ReadNumberToken(std::string_view text) {
    double v = 0.0;
    if (ParseNumberToken(text, v)) return v;
    std::string fixed(text);
    FixDecimalSeparator(fixed);
    vx::throwNotFloat(fixed);
}

double ReadNumberField(const MappedText& text, std::string_view field) {
    double v = 0.0;
    return ParseNumberToken(field, v) ? v : ReadNumberToken(text.Utf8(field));
}

std::string_view StripLeadingBlanksView(std::string_view line, std::string& scratch) {
    if (line.empty()) return line;
    const std::size_t p = line.find_first_not_of(' ');
    const std::string_view s = p == std::string_view::npos ? std::string_view() : line.substr(p);
    if (s.empty() || s[0] == '.' || s[0] == ',') {
        scratch.resize(s.size() + 1);
        scratch[0] = '0';
        s.copy(scratch.data() + 1, s.size());
        return scratch;
    }
    return s;
}

char GuessSeparator(std::string_view line) {
    const bool dot = line.find('.') != std::string_view::npos;
    const bool comma = line.find(',') != std::string_view::npos;
    if (dot && comma) return ',';
    if (line.find(';') != std::string_view::npos) return ';';
    if (line.find('\t') != std::string_view::npos) return '\t';
    if (line.find(' ') != std::string_view::npos) return ' ';
    return '\t';
}

bool IsWholeNumberBeforeDecimal(std::string_view text, char decimalSep) {
    std::string s(text);
    StripTrailingBlanks(s);
    StripLeadingBlanks(s);
    auto p = s.find(decimalSep);
    if (p != std::string::npos) s.erase(p);
    return IsIntegerText(s);
}

bool ResampleXY(std::span<const double> xs, std::span<const double> ys, TSpectrumRecord& rec) {
    const std::size_t n = xs.size();
    if (n < 2 || ys.size() != n) return false;
    const double first = xs.front();
    const double step = (xs.back() - first) / static_cast<double>(n - 1);
    if (!std::isfinite(first) || !std::isfinite(step) || step == 0.0) return false;
    std::vector<double> values;
    ResampleOntoGrid(xs, ys, first, step, static_cast<int32_t>(n), values);
    rec.FirstX = first;
    rec.StepX = step;
    rec.Values = std::move(values);
    return true;
}

bool ResampleXYEitherOrder(std::span<double> xs, std::span<double> ys, TSpectrumRecord& rec) {
    ToRisingPairs(xs, ys);
    return ResampleXY(xs, ys, rec);
}

double LargestNonNegative(const std::vector<double>& values) {
    double m = 0.0;
    for (double v : values) m = v > m ? v : m;
    return m;
}

void ReverseGrid(TSpectrumRecord& rec) {
    if (rec.Values.empty()) return;
    rec.FirstX = rec.FirstX + (rec.PointCount() - 1) * rec.StepX;
    rec.StepX = -rec.StepX;
    std::reverse(rec.Values.begin(), rec.Values.end());
}

double TransmittanceToStored(double v, bool percent, double floorLimit, double floorValue) {
    if (v <= floorLimit) return floorValue;
    double f = percent ? v / 100.0 : v;
    if (f <= 0.0) return floorValue;
    return -Log10Ext(f);
}

std::optional<double> EpsilonToStored(TSpectrumRecord& rec, bool logarithm) {
    rec.Concentration = 1e-5;
    std::optional<double> unsound;
    for (double& v : rec.Values) {
        const double stored = (logarithm ? Pow10Ext(v) : v) * rec.Concentration * rec.PathLength;
        if (!unsound && !std::isfinite(stored)) unsound = v;
        v = stored;
    }
    return unsound;
}

std::string_view FieldAt(std::string_view line, char sep, int k) {
    std::size_t start = 0;
    for (int f = 1; f < k; ++f) {
        auto p = line.find(sep, start);
        if (p == std::string_view::npos) return {};
        start = p + 1;
    }
    auto end = line.find(sep, start);
    return line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

std::string_view RestFrom(std::string_view line, char sep, int k) {
    std::size_t start = 0;
    for (int f = 1; f < k; ++f) {
        auto p = line.find(sep, start);
        if (p == std::string_view::npos) return {};
        start = p + 1;
    }
    return line.substr(start);
}
