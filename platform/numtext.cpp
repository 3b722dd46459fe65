#include "numtext.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "errors.h"

namespace numtext {
namespace {

char g_decimalSep = '.';

// A non-negative finite value as decimal digits: value = 0.d1d2d3... x 10^exp; empty digits for 0.
struct Decimal {
    std::string digits;
    int exp = 0;
};

// |v| to 40 exact significant digits (far beyond any precision asked for, at most 18): the value is
// 0.d1d2...d40 x 10^exp. The conversion of the C++ library gives the digits of the exact binary
// value, as printf does, many times faster.
struct Exact {
    char digits[48];
    int count = 0;
    int exp = 0;
};

Exact exactOf(double v) {
    Exact e;
    v = std::fabs(v);
    if (v == 0.0) return e;
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 39);
    const char* p = buf;
    for (; p < r.ptr && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') e.digits[e.count++] = *p;
    int sciExp = 0;
    if (p < r.ptr) std::from_chars(p + 1 + (p[1] == '+'), r.ptr, sciExp);
    e.exp = sciExp + 1;
    return e;
}

// Rounds the exact digits at `keep` significant digits, ties away from zero; trailing zeros stripped.
Decimal roundExact(const Exact& e, int keep) {
    Decimal d;
    if (e.count == 0 || keep < 0) return d;
    d.exp = e.exp;
    char buf[48];
    int n = std::min(keep, e.count);
    std::memcpy(buf, e.digits, static_cast<std::size_t>(n));
    if (keep < e.count && e.digits[keep] >= '5') {
        int i = n - 1;
        while (i >= 0 && buf[i] == '9') buf[i--] = '0';
        if (i < 0) {
            // All nines carry into a new leading digit: 10...0 is "1" one decade up.
            buf[0] = '1';
            n = 1;
            ++d.exp;
        } else {
            ++buf[i];
        }
    }
    while (n > 0 && buf[n - 1] == '0') --n;
    if (n == 0) {
        d.exp = 0;
        return d;
    }
    d.digits.assign(buf, static_cast<std::size_t>(n));
    return d;
}

Decimal roundDecimal(double v, int keep) { return roundExact(exactOf(v), keep); }

std::string exponentText(int e, int minDigits) {
    std::string s = "E";
    s += e < 0 ? '-' : '+';
    std::string n = std::to_string(std::abs(e));
    if (static_cast<int>(n.size()) < minDigits) n.insert(0, minDigits - n.size(), '0');
    return s + n;
}

std::string generalText(const Decimal& d, int precision, char sep) {
    if (d.digits.empty()) return "0";
    int sciExp = d.exp - 1;
    std::string out;
    if (sciExp < -5 || sciExp >= precision) {
        out += d.digits[0];
        if (d.digits.size() > 1) {
            out += sep;
            out.append(d.digits, 1, std::string::npos);
        }
        out += exponentText(sciExp, 1);
        return out;
    }
    if (d.exp <= 0) {
        out = "0";
        out += sep;
        out.append(static_cast<std::size_t>(-d.exp), '0');
        out += d.digits;
        return out;
    }
    int n = static_cast<int>(d.digits.size());
    if (n <= d.exp) {
        out = d.digits;
        out.append(static_cast<std::size_t>(d.exp - n), '0');
    } else {
        out.assign(d.digits, 0, d.exp);
        out += sep;
        out.append(d.digits, d.exp, std::string::npos);
    }
    return out;
}

int clampInt(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

}  // namespace

char decimalSeparator() { return g_decimalSep; }
void setDecimalSeparator(char sep) { g_decimalSep = sep; }
void initFromLocale() {
    std::setlocale(LC_NUMERIC, "");
    const std::lconv* lc = std::localeconv();
    char sep = (lc && lc->decimal_point && lc->decimal_point[0]) ? lc->decimal_point[0] : '.';
    // The program's own formatting never goes through the C library's locale again.
    std::setlocale(LC_NUMERIC, "C");
    g_decimalSep = (sep == ',') ? ',' : '.';
}
char listSeparator() { return g_decimalSep == ',' ? ';' : ','; }

std::string FloatToStrF(double value, FloatFormat format, int precision, int digits, char sep) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    precision = clampInt(precision, 1, 18);
    bool neg = std::signbit(value);
    std::string body;
    switch (format) {
    case FloatFormat::General: {
        Decimal d = roundDecimal(value, precision);
        body = generalText(d, precision, sep);
        if (d.digits.empty()) neg = false;
        break;
    }
    case FloatFormat::Exponent: {
        digits = clampInt(digits, 0, 4);
        Decimal d = roundDecimal(value, precision);
        if (d.digits.empty()) {
            neg = false;
            d.exp = 1;
        }
        std::string m = d.digits;
        m.resize(static_cast<std::size_t>(precision), '0');
        body += m[0];
        if (precision > 1) {
            body += sep;
            body.append(m, 1, std::string::npos);
        }
        body += exponentText(d.digits.empty() ? 0 : d.exp - 1, digits);
        break;
    }
    case FloatFormat::Fixed: {
        digits = clampInt(digits, 0, 18);
        const Exact exact = exactOf(value);
        Decimal probe = roundExact(exact, precision);
        if (probe.exp > precision) {  // more integer digits than the precision: exponent notation
            body = generalText(probe, precision, sep);
            break;
        }
        // Round where the precision or the decimals end, whichever comes first.
        const int wholeExp = exact.count > 0 ? exact.exp : 0;
        int keep = std::min(precision, wholeExp + digits);
        Decimal d = keep < 0 ? Decimal{} : roundExact(exact, keep);
        if (keep == 0) {
            // Only the first digit decides: 0.5 at 0 decimals rounds up to 1.
            d = Decimal{};
            if (exact.count > 0 && exact.digits[0] >= '5') {
                d.digits = "1";
                d.exp = wholeExp + 1;
            }
        }
        if (d.digits.empty()) neg = false;
        std::string intPart, frac;
        int n = static_cast<int>(d.digits.size());
        if (d.exp <= 0) {
            intPart = "0";
            frac.assign(static_cast<std::size_t>(-d.exp), '0');
            frac += d.digits;
        } else if (n <= d.exp) {
            intPart = d.digits;
            intPart.append(static_cast<std::size_t>(d.exp - n), '0');
        } else {
            intPart.assign(d.digits, 0, d.exp);
            frac.assign(d.digits, d.exp, std::string::npos);
        }
        if (intPart.empty()) intPart = "0";
        if (static_cast<int>(frac.size()) > digits) frac.resize(digits);
        frac.append(static_cast<std::size_t>(digits - static_cast<int>(frac.size())), '0');
        body = intPart;
        if (digits > 0) {
            body += sep;
            body += frac;
        }
        break;
    }
    }
    return neg ? "-" + body : body;
}

std::string FloatToStrF(double value, FloatFormat format, int precision, int digits) {
    return FloatToStrF(value, format, precision, digits, g_decimalSep);
}
std::string GeneralText(double value, int precision, int minExpDigits) {
    std::string s = FloatToStrF(value, FloatFormat::General, precision, minExpDigits);
    const std::size_t e = s.find('E');
    if (e != std::string::npos && e + 2 <= s.size()) {
        const std::size_t digitsAt = e + 2;  // after "E" and its sign
        const std::size_t have = s.size() - digitsAt;
        if (have < static_cast<std::size_t>(minExpDigits))
            s.insert(digitsAt, static_cast<std::size_t>(minExpDigits) - have, '0');
    }
    return s;
}

std::string FloatToStr(double value) { return FloatToStrF(value, FloatFormat::General, 15, 0); }
std::string FloatToStr(double value, char sep) {
    return FloatToStrF(value, FloatFormat::General, 15, 0, sep);
}
std::string IntToStr(long long value) { return std::to_string(value); }

std::optional<double> TryStrToFloat(std::string_view s, char sep) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    if (b == e) return std::nullopt;
    // Validate the shape: [sign] digits [sep digits] [(E|e) [sign] digits]
    std::string t;
    t.reserve(e - b);
    std::size_t i = b;
    if (s[i] == '+' || s[i] == '-') t += s[i++];
    std::size_t mantDigits = 0;
    while (i < e && s[i] >= '0' && s[i] <= '9') { t += s[i++]; ++mantDigits; }
    if (i < e && s[i] == sep) {
        t += '.';
        ++i;
        while (i < e && s[i] >= '0' && s[i] <= '9') { t += s[i++]; ++mantDigits; }
    }
    if (mantDigits == 0) return std::nullopt;
    if (i < e && (s[i] == 'E' || s[i] == 'e')) {
        t += 'e';
        ++i;
        if (i < e && (s[i] == '+' || s[i] == '-')) t += s[i++];
        std::size_t expDigits = 0;
        while (i < e && s[i] >= '0' && s[i] <= '9') { t += s[i++]; ++expDigits; }
        if (expDigits == 0) return std::nullopt;
    }
    if (i != e) return std::nullopt;
    const char* first = t.data();
    if (*first == '+') ++first;
    double v = 0;
    auto [ptr, ec] = std::from_chars(first, t.data() + t.size(), v);
    if (ec == std::errc::result_out_of_range) {
        // Underflow reads as 0; overflow is no valid value.
        std::string_view rest(t);
        auto epos = rest.find('e');
        if (epos != std::string_view::npos && rest.substr(epos + 1).find('-') != std::string_view::npos)
            return std::signbit(v) ? -0.0 : 0.0;
        return std::nullopt;
    }
    if (ec != std::errc() || ptr != t.data() + t.size()) return std::nullopt;
    return v;
}

std::optional<double> TryStrToFloat(std::string_view s) { return TryStrToFloat(s, g_decimalSep); }

double StrToFloat(std::string_view s, char sep) {
    auto v = TryStrToFloat(s, sep);
    if (!v) vx::throwNotFloat(std::string(s));
    return *v;
}
double StrToFloat(std::string_view s) { return StrToFloat(s, g_decimalSep); }

std::optional<int32_t> TryStrToInt(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    if (b == e) return std::nullopt;
    bool neg = false;
    if (s[b] == '+' || s[b] == '-') {
        neg = s[b] == '-';
        ++b;
    }
    if (b == e) return std::nullopt;
    long long v = 0;
    for (std::size_t i = b; i < e; ++i) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
        v = v * 10 + (s[i] - '0');
        if (v > 2147483648LL) return std::nullopt;
    }
    if (neg) v = -v;
    if (v > INT32_MAX || v < INT32_MIN) return std::nullopt;
    return static_cast<int32_t>(v);
}

int32_t StrToInt(std::string_view s) {
    auto v = TryStrToInt(s);
    if (!v) vx::throwNotInteger(std::string(s));
    return *v;
}

namespace {
template <typename T>
std::string shortest(T value, char decimalSep) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    std::string s(buf, r.ptr);
    if (decimalSep != '.')
        if (auto p = s.find('.'); p != std::string::npos) s[p] = decimalSep;
    return s;
}
}  // namespace

std::string ShortestFloat(float value) { return shortest(value, '.'); }
std::string ShortestDouble(double value) { return shortest(value, '.'); }
std::string ShortestFloat(float value, char decimalSep) { return shortest(value, decimalSep); }
std::string ShortestDouble(double value, char decimalSep) { return shortest(value, decimalSep); }

const char* ParseNumber(const char* first, const char* last, char sep, double& out) {
    const char* p = first;
    char tmp[128];
    std::size_t n = 0;
    if (p < last && (*p == '+' || *p == '-')) {
        if (*p == '-') tmp[n++] = '-';
        ++p;
    }
    std::size_t mant = 0;
    while (p < last && *p >= '0' && *p <= '9' && n < 100) { tmp[n++] = *p++; ++mant; }
    if (p < last && *p == sep) {
        tmp[n++] = '.';
        ++p;
        while (p < last && *p >= '0' && *p <= '9' && n < 100) { tmp[n++] = *p++; ++mant; }
    }
    if (mant == 0) return nullptr;
    if (p < last && (*p == 'E' || *p == 'e')) {
        const char* q = p + 1;
        std::size_t m = n;
        tmp[m++] = 'e';
        if (q < last && (*q == '+' || *q == '-')) tmp[m++] = *q++;
        std::size_t ed = 0;
        while (q < last && *q >= '0' && *q <= '9' && m < 120) { tmp[m++] = *q++; ++ed; }
        if (ed > 0) {
            n = m;
            p = q;
        }
    }
    auto r = std::from_chars(tmp, tmp + n, out);
    if (r.ec == std::errc::result_out_of_range) return nullptr;
    if (r.ec != std::errc()) return nullptr;
    return p;
}

}  // namespace numtext
