#include "formats/text_spectra_support.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/helpers.h"
#include "core/units.h"
#include "platform/errors.h"
#include "platform/numtext.h"

bool ParseNumberToken(std::string_view s, double& out) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    if (b == e || e - b > 100) return false;
    char buf[112];
    std::size_t n = 0;
    std::size_t i = b;
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

double ReadNumberToken(std::string_view text) {
    double v = 0.0;
    if (ParseNumberToken(text, v)) return v;
    std::string fixed(text);
    FixDecimalSeparator(fixed);
    vx::throwNotFloat(fixed);
}

bool IsWholeNumberBeforeDecimal(std::string_view text, char decimalSep) {
    std::string s(text);
    StripTrailingBlanks(s);
    StripLeadingBlanks(s);
    auto p = s.find(decimalSep);
    if (p != std::string::npos) s.erase(p);
    return IsIntegerText(s);
}

std::string NameWithoutFolder(const std::string& path) {
    auto p = path.find_last_of('/');
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string NameWithoutExtension(const std::string& path) {
    std::string name = NameWithoutFolder(path);
    auto dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

bool ResamplePairs(const std::vector<XYPair>& pairs, TSpectrumRecord& rec) {
    const std::size_t n = pairs.size();
    if (n < 2) return false;
    const double first = pairs.front().x;
    const double step = (pairs.back().x - first) / static_cast<double>(n - 1);
    if (!std::isfinite(first) || !std::isfinite(step) || step == 0.0) return false;
    std::vector<double> values(n);
    // Grid and pairs both rise, so one forward walk finds every bracket (linear time).
    std::size_t k = 0;
    for (std::size_t j = 0; j < n; ++j) {
        const double x = first + static_cast<double>(j) * step;
        while (k + 1 < n - 1 && x > pairs[k + 1].x + 1e-10) ++k;
        const XYPair& a = pairs[k];
        const XYPair& b = pairs[k + 1];
        if (std::fabs(x - a.x) <= 1e-10)
            values[j] = a.y;
        else if (std::fabs(x - b.x) <= 1e-10)
            values[j] = b.y;
        else
            values[j] = LinInterpol(x, a.x, a.y, b.x, b.y);
    }
    rec.FirstX = first;
    rec.StepX = step;
    rec.Values = std::move(values);
    return true;
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
