#include "spclib/spc_text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace spc {

namespace {

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// The lines of the log text: CR ends a line, an LF right after it belongs to the line end.
std::vector<std::string_view> logLines(const TARNVIK& doc) {
    std::vector<std::string_view> lines;
    if (!doc.hasLogText) return lines;
    std::string_view t = doc.logText;
    std::size_t start = 0;
    while (start < t.size()) {
        std::size_t cr = t.find('\r', start);
        if (cr == std::string_view::npos) {
            lines.push_back(t.substr(start));
            break;
        }
        lines.push_back(t.substr(start, cr - start));
        start = cr + 1;
        if (start < t.size() && t[start] == '\n') ++start;
    }
    return lines;
}

// Days since 1899-12-30 of a civil date (proleptic Gregorian).
int64_t daysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + 25569;  // 25569: 1899-12-30 to 1970-01-01
}

void civilFromDays(int64_t z, int64_t& y, int& m, int& d) {
    z += 719468 - 25569;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = yoe + era * 400;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y += m <= 2;
}

int daysInMonth(int64_t y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : kDays[m - 1];
}

bool inYGroup(int y) { return y == 2 || y == 3 || y == 10 || y == 14 || (y >= 128 && y <= 131); }

bool hasKey(const TARNVIK& doc, const char* key) { return GetLogKey(doc, key).has_value(); }

double keyNumber(const TARNVIK& doc, const char* key) {
    auto v = GetLogKey(doc, key);
    if (!v) return 0;
    double d = 0;
    if (!TextToDouble(v->data(), v->data() + v->size(), d)) return 0;
    return d;
}

std::optional<int32_t> ramanTest(const TARNVIK& doc) {
    if (keyNumber(doc, "RAMANFREQ") > 0 || hasKey(doc, "RAMANWL") || hasKey(doc, "RAMANSHIFT")) return 11;
    return std::nullopt;
}
std::optional<int32_t> ftirTest(const TARNVIK& doc) {
    for (const char* k : {"LWN", "BSPLITTER", "IGRAMDIR", "IGRAMSIDE"})
        if (hasKey(doc, k)) return 4;
    return std::nullopt;
}
std::optional<int32_t> excitationTest(const TARNVIK& doc) {
    if (hasKey(doc, "EX_WL") || hasKey(doc, "EM_WL")) return 12;
    return std::nullopt;
}
std::optional<int32_t> monochromatorTest(const TARNVIK& doc) {
    if (hasKey(doc, "SLIT1") || hasKey(doc, "SRCCHG") || hasKey(doc, "GRTCHG")) return 7;
    return std::nullopt;
}

std::optional<int32_t> nmrTest(const TARNVIK& doc) {
    int32_t base = 0;
    double w = 0;
    if (auto nucfreq = GetLogKey(doc, "NUCFREQ")) {
        base = 10;
        if (auto nucleus = GetLogKey(doc, "NUCLEUS")) {
            for (char c : *nucleus) {
                if (upper(c) == 'C') return 20;
                if (upper(c) == 'H') return 21;
            }
        }
        double ppm = keyNumber(doc, "SW_PPM");
        if (ppm != 0) {
            w = std::fabs(ppm);
        } else {
            double f = keyNumber(doc, "NUCFREQ");
            w = f == 0 ? 0 : std::fabs(keyNumber(doc, "SW_HZ") / f);
        }
    } else {
        float s = doc.f32(60);
        // Only a finite value within int32 is a meaningful marker.
        if (!std::isfinite(s) || s <= -2147483649.0f || s >= 2147483648.0f) return std::nullopt;
        int64_t t = std::llabs(static_cast<int64_t>(s));
        if (!(t == 2048 || t == 2049 || (t >= 4050 && t <= 4073))) return std::nullopt;
        base = 10;
        double freq = doc.f32(64) / 1e6;
        if (freq == 0) return base;
        double sw = doc.f32(80);
        if (sw == 0 && doc.u8(kXType) == 6) sw = doc.f64(kLastX) - doc.f64(kFirstX);
        w = std::fabs(sw / freq);
    }
    if (w > 150 && w < 400) return 20;
    if (w > 5 && w < 30) return 21;
    return base;
}

template <class... Tests>
std::optional<int32_t> firstOf(const TARNVIK& doc, Tests... tests) {
    std::optional<int32_t> r;
    ((r ? void() : void(r = tests(doc))), ...);
    return r;
}

std::optional<int32_t> derive(const TARNVIK& doc) {
    int xt = doc.u8(kXType), yt = doc.u8(kYType), zt = doc.u8(kZType);
    double a = doc.f64(kFirstX), b = doc.f64(kLastX);
    double lo = std::min(a, b), hi = std::max(a, b);
    if (xt == 255 || yt == 1) return 4;
    switch (xt) {
    case 9: return 9;
    case 13: return 11;
    case 10: case 6: return nmrTest(doc);
    case 16: case 17: return ramanTest(doc);
    case 18: return (yt == 4 || yt == 8) ? std::optional<int32_t>(8) : std::nullopt;
    case 22: return firstOf(doc, nmrTest, ftirTest);
    case 4:
        if (auto r = nmrTest(doc)) return r;
        [[fallthrough]];
    case 5:
        if (yt == 0 || yt == 2 || yt == 4 || yt == 5 || yt == 9) return 2;
        return std::nullopt;
    case 1:
        if (auto r = firstOf(doc, ramanTest, ftirTest)) return r;
        if (lo < -10) return 11;
        if (yt == 1 || inYGroup(yt)) return 4;
        return std::nullopt;
    case 2:
        if (auto r = firstOf(doc, ramanTest, excitationTest, ftirTest, monochromatorTest)) return r;
        if (!inYGroup(yt)) return std::nullopt;
        if (lo >= 2.5) return 4;
        if (hi <= 1.0) return 7;
        if (lo > 1.0 || hi > 2.0) return 5;
        return std::nullopt;
    case 3:
        if (auto r = firstOf(doc, ramanTest, excitationTest, ftirTest, monochromatorTest)) return r;
        if (yt == 6 || yt == 30) return 16;
        if (doc.count() > 1) {
            if (zt == 3) return 12;
            if (zt == 4 || zt == 5) return 14;
        }
        if (!inYGroup(yt)) return std::nullopt;
        if (hi <= 1000) return 7;
        if (lo >= 1000 || hi >= 2000) return 5;
        return std::nullopt;
    default: return std::nullopt;
    }
}

const char* const kXNames[32] = {
    "Arbitrary", "Wavenumber (cm-1)", "Microns", "Nanometers", "Seconds", "Minutes", "Hertz", "Kilohertz",
    "Megahertz", "Mass (M/z)", "Parts per Million", "Days", "Years", "Raman Shift (cm-1)", "eV", "",
    "Diode Number", "Channel", "Degrees", "Temperature (F)", "Temperature (C)", "Temperature (K)",
    "Data Points", "Milliseconds", "Microseconds", "Nanoseconds", "Gigahertz", "Centimeters", "Meters",
    "Millimeters", "Hours", "Angstroms"};
const char* const kYNames[31] = {
    "Arbitrary", "Interferogram", "Absorbance", "Kubelka-Munk", "Counts", "Volts", "Degrees", "Milliamps",
    "Millimeters", "Millivolts", "Log(1/R)", "Percent", "Intensity", "Relative Intensity", "Energy", "",
    "Decibel", "Abundance", "Relative Abundance", "Temperature (F)", "Temperature (C)", "Temperature (K)",
    "Index of Refraction", "Extinction Coeff.", "Real", "Imaginary", "Complex", "Milligrams", "Grams",
    "Kilograms", "Specific Rotation"};
const char* const kTechLong[24] = {
    "Unknown", "Gas Chromatogram", "Chromatogram", "HPLC Chromatogram", "FT-IR, FT-NIR or FT-Raman",
    "NIR Spectrum", "", "UV-VIS Spectrum", "X-ray Spectrum", "Mass Spectrum", "NMR Spectrum or FID",
    "Raman Spectrum", "Fluorescence Spectrum", "Atomic Spectrum", "Chromatography Diode Array Spectra",
    "Thermal Analysis", "Circular Dichroism", "", "", "", "C13 NMR Spectrum", "H1 NMR Spectrum",
    "DEPT NMR Spectrum", "APT NMR Spectrum"};
const char* const kTechShort[24] = {"General", "GC", "Chrom", "HPLC", "IR", "NIR", "", "UV/VIS/NIR",
                                    "XRD", "MS", "NMR", "Raman", "Fluor", "Atomic", "DAD", "Thermal",
                                    "CD", "", "", "", "CNMR", "HNMR", "DNMR", "ANMR"};

}  // namespace

TextField CommentField(const TARNVIK& doc) {
    return (doc.flags() & kFlagCustomLabels) ? TextField{kComment, 130} : TextField{kComment, 160};
}

std::string GetText(const TARNVIK& doc, TextField f) {
    const char* p = reinterpret_cast<const char*>(doc.header.data() + f.offset);
    return std::string(p, strnlen(p, f.width - 1));
}

void SetText(TARNVIK& doc, TextField f, std::string_view text) {
    std::size_t n = std::min(text.size(), f.width - 1);
    n = std::min(n, static_cast<std::size_t>(std::find(text.begin(), text.end(), '\0') - text.begin()));
    std::memset(doc.header.data() + f.offset, 0, f.width);
    std::memcpy(doc.header.data() + f.offset, text.data(), n);
}

std::optional<std::string> GetLogKey(const TARNVIK& doc, std::string_view key, std::size_t capacity) {
    if (key.empty() || !doc.hasLogText) return std::nullopt;
    std::string k(key);
    for (char& c : k) c = upper(c);
    std::optional<std::string> found;
    std::string_view t = doc.logText;
    std::size_t pos = 0;
    while (pos <= t.size()) {
        std::size_t cr = t.find('\r', pos);
        std::string_view line = t.substr(pos, cr == std::string_view::npos ? std::string_view::npos : cr - pos);
        if (line.size() >= k.size()) {
            bool match = true;
            for (std::size_t i = 0; i < k.size() && match; ++i) match = upper(line[i]) == k[i];
            if (match) {
                std::size_t i = k.size();
                while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
                if (i == line.size()) {
                    found = std::string();  // the key ends the line
                } else if (line[i] == '=') {
                    std::size_t s = i + 1, e = s;
                    while (e < line.size() && static_cast<unsigned char>(line[e]) >= 32) ++e;
                    found = std::string(line.substr(s, std::min(e - s, capacity > 0 ? capacity - 1 : 0)));
                }
            }
        }
        if (cr == std::string_view::npos) break;
        pos = cr + 1;
        if (pos < t.size() && t[pos] == '\n') ++pos;
    }
    return found;
}

std::optional<std::string> GetLogLine(const TARNVIK& doc, int64_t line) {
    auto lines = logLines(doc);
    if (line < 0 || line >= static_cast<int64_t>(lines.size())) return std::nullopt;
    std::string_view l = lines[static_cast<std::size_t>(line)];
    std::size_t e = 0;
    while (e < l.size() && (static_cast<unsigned char>(l[e]) >= 32 || l[e] == '\t')) ++e;
    return std::string(l.substr(0, e));
}

void AppendLog(TARNVIK& doc, std::string_view key, const std::string_view* value) {
    if (key.empty()) return;
    doc.logText.append(key);
    if (value) {
        doc.logText.push_back('=');
        doc.logText.append(*value);
    }
    doc.logText.append("\r\n");
    doc.hasLogText = true;
}

std::string LogTextFixed(const TARNVIK& doc, bool fix) {
    if (!fix) return doc.logText;
    std::string out;
    out.reserve(doc.logText.size());
    const std::string& t = doc.logText;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\n' && i + 1 < t.size() && t[i + 1] == '\r') {
            out.append("\r\n");
            ++i;
        } else {
            out.push_back(t[i]);
        }
    }
    return out;
}

std::string XTypeName(int32_t code) {
    if (code >= 0 && code < 32) return kXNames[code];
    return code == 255 ? "Double Igram" : "";
}

std::string YTypeName(int32_t code) {
    if (code >= 0 && code < 31) return kYNames[code];
    switch (code) {
    case 128: return "Transmission";
    case 129: return "Reflectance";
    case 130: return "Single Beam";
    case 131: return "Emission";
    default: return "";
    }
}

std::string TechniqueName(int32_t code, bool shortName) {
    if (code < 0 || code > 23) return "";
    return shortName ? kTechShort[code] : kTechLong[code];
}

std::string WarningText(int32_t code) {
    switch (code) {
    case -1: return "Bad nsub header value.";
    case -2: return "Bad wplane header value.";
    case -3: return "Bad logoff header value.";
    case -4: return "Bad logbins log header value.";
    case -5: return "Bad logdsks log header value.";
    case -6: return "Bad catalog offset header value.";
    default: return "";
    }
}

std::string TechniqueLabel(const TARNVIK& doc) {
    std::string name = TechniqueName(doc.u8(kTech), false);
    return name.empty() ? "Unknown" : name;
}

int32_t DetermineTechnique(const TARNVIK& doc) {
    int32_t tech = doc.u8(kTech);
    if (doc.u8(kForm) == 'K' && tech != 0) {
        if (tech == 10) {
            if (auto r = nmrTest(doc)) return *r;
        }
        return tech;
    }
    return derive(doc).value_or(0);
}

static void catalogLabels(const TARNVIK& doc, std::string out[3]) {
    const char* p = reinterpret_cast<const char*>(doc.header.data() + kCatalog);
    std::size_t pos = 0;
    for (int i = 0; i < 3 && pos < 30; ++i) {
        std::size_t len = strnlen(p + pos, 30 - pos);
        out[i].assign(p + pos, len);
        pos += len + 1;
    }
}

std::string CustomLabel(const TARNVIK& doc, int which) {
    if (!(doc.flags() & kFlagCustomLabels) || which < 0 || which > 2) return "";
    std::string labels[3];
    catalogLabels(doc, labels);
    return labels[which];
}

void SetCustomLabel(TARNVIK& doc, int which, std::string_view text) {
    if (which < 0 || which > 2) return;
    text = text.substr(0, std::min(text.size(), static_cast<std::size_t>(
                                                    std::find(text.begin(), text.end(), '\0') - text.begin())));
    std::string labels[3];
    if (!(doc.flags() & kFlagCustomLabels)) {
        if (text.empty()) return;
        doc.header[kCatalog - 1] = 0;
    } else {
        catalogLabels(doc, labels);
    }
    labels[which] = std::string(text.substr(0, 19));
    std::string& x = labels[0];
    std::string& y = labels[1];
    std::string& z = labels[2];
    if (x.size() > 19) x.resize(19);
    std::size_t l = std::min<std::size_t>(20, 28 - x.size());
    if (y.size() > l - 1) y.resize(l - 1);
    std::size_t left = 30 - (x.size() + 1) - (y.size() + 1);
    std::size_t zl = std::min(l, left);
    if (z.size() > (zl > 0 ? zl - 1 : 0)) z.resize(zl > 0 ? zl - 1 : 0);
    uint8_t* c = doc.header.data() + kCatalog;
    std::memset(c, 0, 30);
    std::memcpy(c, x.data(), x.size());
    std::memcpy(c + x.size() + 1, y.data(), y.size());
    std::memcpy(c + x.size() + 1 + y.size() + 1, z.data(), z.size());
    if (!x.empty() || !y.empty() || !z.empty()) {
        doc.header[kFlags] |= kFlagCustomLabels;
    } else {
        doc.header[kFlags] &= static_cast<uint8_t>(~kFlagCustomLabels);
    }
}

std::string AxisLabel(const TARNVIK& doc, int which) {
    std::string name;
    if (which <= 2) {
        name = CustomLabel(doc, which);
        if (!name.empty()) return name;
    }
    switch (which) {
    case 0: name = XTypeName(doc.u8(kXType)); break;
    case 1: name = YTypeName(doc.u8(kYType)); break;
    case 2: name = XTypeName(doc.u8(kZType)); break;
    default: name = XTypeName(doc.u8(kWType)); break;
    }
    return name.empty() ? "Arbitrary" : name;
}

int ExpandYear(int year) {
    if (year >= 0 && year < 30) return 2000 + year;
    if (year >= 30 && year < 100) return 1900 + year;
    return year;
}

std::optional<double> DateValue(const TARNVIK& doc) {
    uint32_t f = doc.u32(kDate);
    if (f == 0) return std::nullopt;
    int minute = f & 0x3F, hour = (f >> 6) & 0x1F, day = (f >> 11) & 0x1F, month = (f >> 16) & 0xF;
    int year = ExpandYear(static_cast<int>(f >> 20));
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 || minute > 59)
        return std::nullopt;
    double days = static_cast<double>(daysFromCivil(year, month, day));
    double time = (hour * 60 + minute) / 1440.0;
    return days >= 0 ? days + time : days - time;
}

bool SetDateFields(TARNVIK& doc, int year, int month, int day, int hour, int minute) {
    year = ExpandYear(year);
    if (year < 0 || year > 4095 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) ||
        hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return false;
    doc.setU32(kDate, (uint32_t(year) << 20) | (uint32_t(month) << 16) | (uint32_t(day) << 11) |
                          (uint32_t(hour) << 6) | uint32_t(minute));
    return true;
}

bool SetDateValue(TARNVIK& doc, double date) {
    if (!std::isfinite(date) || std::fabs(date) > 3e6) return false;
    double whole = date >= 0 ? std::floor(date) : std::ceil(date);
    double frac = std::fabs(date - whole);
    int64_t minutes = static_cast<int64_t>(std::floor(frac * 1440.0 + 1e-6));
    if (minutes > 1439) minutes = 1439;
    int64_t y;
    int m, d;
    civilFromDays(static_cast<int64_t>(whole), y, m, d);
    if (y < 0 || y > 4095) return false;
    return SetDateFields(doc, static_cast<int>(y), m, d, static_cast<int>(minutes / 60),
                         static_cast<int>(minutes % 60));
}

const char* TextToDouble(const char* first, const char* last, double& out) {
    const char* p = first;
    while (p < last && (*p == ' ' || *p == '\t')) ++p;
    bool neg = false;
    if (p < last && (*p == '+' || *p == '-')) neg = *p++ == '-';
    long double mant = 0;
    int digits = 0;
    long exp10 = 0;
    // Digits beyond the 19th significant one only move the exponent.
    int significant = 0;
    while (p < last && *p >= '0' && *p <= '9') {
        if (significant < 19) {
            mant = mant * 10 + (*p - '0');
            if (mant != 0) ++significant;
        } else {
            ++exp10;
        }
        ++p;
        ++digits;
    }
    if (p < last && *p == '.') {
        ++p;
        while (p < last && *p >= '0' && *p <= '9') {
            if (significant < 19) {
                mant = mant * 10 + (*p - '0');
                --exp10;
                if (mant != 0) ++significant;
            }
            ++p;
            ++digits;
        }
    }
    if (digits == 0) return nullptr;
    if (p < last && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        bool eneg = false;
        if (q < last && (*q == '+' || *q == '-')) eneg = *q++ == '-';
        if (q < last && *q >= '0' && *q <= '9') {
            long e = 0;
            while (q < last && *q >= '0' && *q <= '9') {
                if (e < 100000) e = e * 10 + (*q - '0');  // saturates: the result is inf or 0 anyway
                ++q;
            }
            exp10 += eneg ? -e : e;
            p = q;
        }
    }
    long double v = mant == 0 ? 0.0L : mant * std::pow(10.0L, static_cast<long double>(exp10));
    double d = static_cast<double>(v);
    out = neg ? -d : d;
    return p;
}

}  // namespace spc
