#include "formats/ascii_reader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/date_time.h"
#include "core/helpers.h"
#include "core/units.h"
#include "formats/resample.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"

TAxisQueryChoice AxisQueryChoice;

namespace {

// A whole file mapped read-only: large text files are parsed straight from the page cache.
class MappedFile {
public:
    explicit MappedFile(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) throw vx::FileError("Cannot open file \"" + path + "\".");
        struct stat st{};
        if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd_);
            throw vx::FileError("Cannot open file \"" + path + "\".");
        }
        size_ = static_cast<std::size_t>(st.st_size);
        if (size_ == 0) return;
        void* m = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd_, 0);
        if (m == MAP_FAILED) {
            ::close(fd_);
            throw vx::FileError("Cannot open file \"" + path + "\".");
        }
        data_ = static_cast<const char*>(m);
    }
    ~MappedFile() {
        if (data_) ::munmap(const_cast<char*>(data_), size_);
        ::close(fd_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    std::string_view bytes() const { return data_ ? std::string_view(data_, size_) : std::string_view(); }

private:
    int fd_ = -1;
    const char* data_ = nullptr;
    std::size_t size_ = 0;
};

// Storage for the bulk pair lists: large blocks are mapped directly and marked for huge pages, since
// first-touch page faults, not parsing, dominate reading a file of a million lines.
template <class T>
struct BulkAllocator {
    using value_type = T;
    static constexpr std::size_t kLarge = std::size_t{4} << 20;
    BulkAllocator() = default;
    template <class U>
    BulkAllocator(const BulkAllocator<U>&) {}
    T* allocate(std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kLarge) return std::allocator<T>().allocate(n);
        void* m = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (m == MAP_FAILED) throw std::bad_alloc();
        ::madvise(m, bytes, MADV_HUGEPAGE);
        return static_cast<T*>(m);
    }
    void deallocate(T* p, std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kLarge)
            std::allocator<T>().deallocate(p, n);
        else
            ::munmap(p, bytes);
    }
    template <class U>
    bool operator==(const BulkAllocator<U>&) const { return true; }
};
using PairList = std::vector<double, BulkAllocator<double>>;

// Walks the lines of a text the way a string list splits it: CR, LF or CR LF end a line; a last line
// without an ending counts, an ending at the very end adds no empty line.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : text_(text) {}
    std::size_t position() const { return pos_; }
    void seek(std::size_t pos) { pos_ = pos; }
    bool next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        const char* b = text_.data() + pos_;
        const char* e = text_.data() + text_.size();
        const char* p = b;
        while (p < e && *p != '\r' && *p != '\n') ++p;
        line = std::string_view(b, static_cast<std::size_t>(p - b));
        if (p < e) p += (*p == '\r' && p + 1 < e && p[1] == '\n') ? 2 : 1;
        pos_ = static_cast<std::size_t>(p - text_.data());
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// StripLeadingBlanks on a view: blanks go; a line that becomes empty or starts with "." or "," gets a
// "0" in front (built in `scratch` only then, so ordinary lines cost no copy).
std::string_view stripLine(std::string_view line, std::string& scratch) {
    if (line.empty()) return line;
    std::size_t p = line.find_first_not_of(' ');
    std::string_view s = p == std::string_view::npos ? std::string_view() : line.substr(p);
    if (s.empty() || s[0] == '.' || s[0] == ',') {
        scratch.assign("0");
        scratch.append(s);
        return scratch;
    }
    return s;
}

constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads "[sign]digits[(.|,)digits][(E|e)[sign]digits]" at p (the decimal mark never being `notDecimal`)
// and moves p behind it. The value is exact: small mantissas and exponents by one IEEE operation on
// exact operands, everything else through std::from_chars. False for any other shape.
bool parseNumberAt(const char*& pos, const char* e, char notDecimal, double& out) {
    const char* p = pos;
    const char* start = p;
    bool neg = false;
    if (p < e && (*p == '+' || *p == '-')) {
        neg = *p == '-';
        ++p;
    }
    uint64_t mant = 0;
    int digits = 0, fraction = 0;
    while (p < e && isDigit(*p)) {
        mant = mant * 10 + static_cast<uint64_t>(*p++ - '0');
        ++digits;
    }
    if (p < e && (*p == '.' || *p == ',') && *p != notDecimal) {
        ++p;
        while (p < e && isDigit(*p)) {
            mant = mant * 10 + static_cast<uint64_t>(*p++ - '0');
            ++digits;
            ++fraction;
        }
    }
    if (digits == 0) return false;
    int exponent = 0;
    if (p < e && (*p == 'E' || *p == 'e')) {
        ++p;
        bool eneg = false;
        if (p < e && (*p == '+' || *p == '-')) eneg = *p++ == '-';
        int ed = 0;
        while (p < e && isDigit(*p) && ed < 6) {
            exponent = exponent * 10 + (*p++ - '0');
            ++ed;
        }
        if (ed == 0 || (p < e && isDigit(*p))) return false;
        if (eneg) exponent = -exponent;
    }
    const int e10 = exponent - fraction;
    if (digits <= 19 && mant <= (uint64_t{1} << 53) && e10 >= -22 && e10 <= 22) {
        // Both operands exact, so one IEEE operation rounds correctly.
        double v = static_cast<double>(mant);
        v = e10 < 0 ? v / kPow10[-e10] : v * kPow10[e10];
        out = neg ? -v : v;
    } else {
        char buf[96];
        if (*start == '+') ++start;
        const std::size_t len = static_cast<std::size_t>(p - start);
        if (len >= sizeof buf) return false;
        for (std::size_t i = 0; i < len; ++i) buf[i] = start[i] == ',' ? '.' : start[i];
        auto r = std::from_chars(buf, buf + len, out);
        if (r.ec != std::errc() || r.ptr != buf + len) return false;
    }
    pos = p;
    return true;
}

// A whole field read exactly as FixDecimalSeparator followed by StrToFloat would read it (blanks around
// allowed). False for anything else, which then takes the slow path that also raises the proper error.
bool fastNumber(std::string_view text, double& out) {
    const char* p = text.data();
    const char* e = p + text.size();
    while (p < e && *p == ' ') ++p;
    while (e > p && e[-1] == ' ') --e;
    return parseNumberAt(p, e, '\0', out) && p == e;
}

inline bool isLineEnd(const char* p, const char* e) { return p == e || *p == '\r' || *p == '\n'; }

// One data line of the usual form "x<sep>y" read in a single pass; `pos` moves to the next line.
// False (pos unchanged) for any line that needs the general rules: empty lines, lines that start with
// a decimal mark, missing or odd fields, more than two columns.
bool fastPair(const char* base, std::size_t& pos, std::size_t size, char sep, double& x, double& y) {
    const char* p = base + pos;
    const char* e = base + size;
    while (p < e && *p == ' ') ++p;
    if (isLineEnd(p, e) || *p == '.' || *p == ',') return false;
    if (!parseNumberAt(p, e, sep, x)) return false;
    if (sep != ' ')
        while (p < e && *p == ' ') ++p;
    if (p == e || *p != sep) return false;
    ++p;
    while (p < e && *p == ' ') ++p;
    if (isLineEnd(p, e) || !parseNumberAt(p, e, sep, y)) return false;
    while (p < e && *p == ' ') ++p;
    if (!isLineEnd(p, e)) return false;
    if (p < e) p += (*p == '\r' && p + 1 < e && p[1] == '\n') ? 2 : 1;
    pos = static_cast<std::size_t>(p - base);
    return true;
}

double numberField(std::string_view field) {
    double v;
    if (fastNumber(field, v)) return v;
    std::string t(field);
    FixDecimalSeparator(t);
    return numtext::StrToFloat(t);
}

char guessSeparator(std::string_view line) {
    const bool dot = line.find('.') != std::string_view::npos;
    const bool comma = line.find(',') != std::string_view::npos;
    if (dot && comma) return ',';
    if (line.find(';') != std::string_view::npos) return ';';
    if (line.find('\t') != std::string_view::npos) return '\t';
    if (line.find(' ') != std::string_view::npos) return ' ';
    return '\t';
}

bool startsWithInteger(std::string_view line, char sep) {
    auto p = line.find(sep);
    std::string field(p == std::string_view::npos ? std::string_view() : line.substr(0, p));
    FixDecimalSeparator(field);
    auto d = field.find(numtext::decimalSeparator());
    if (d != std::string::npos) field.resize(d);
    return IsIntegerText(field);
}

std::string labelChars(std::string_view s) {
    std::string out;
    for (char c : s)
        if (c != '/' && c != '\\' && c != ' ' && c != '-' && c != '_' && c != '\t') out += c;
    return out;
}

// Axis types from the label line; x unit and y kind stay as they are where nothing matches.
void axisTypesFromLabels(const std::string& line, char sep, TSpectrumRecord& r) {
    auto p = line.find(sep);
    std::string xl = line.substr(0, p);
    auto blank = xl.find(' ');
    if (blank != std::string::npos) xl.resize(blank);
    xl = LowerAscii(labelChars(xl));
    if (ContainsText(" wavenumbers 1/cm wellenzahlen cm-1 cm^-1 ", xl)) r.XUnit = SpecXWavenumber;
    if (ContainsText(" ramanshift 1/cm raman shift ramanshift cm^-1", xl)) {
        r.XUnit = SpecXRamanShift;
        r.Comment2 = "Raman Shift [1/cm]";
    }
    std::string yl = p == std::string::npos ? std::string() : UpperAscii(labelChars(line.substr(p + 1)));
    if (yl.empty()) return;
    if (ContainsText("TRANSMISSION TRANSMITTANCE TRANS. %T", yl)) r.YKind = SpecYTransmittance;
    if (ContainsText("COUNTS INT. REL. INT. RELATIVE INTENSITAET INTENSITäT RELATIVE INTENSITY AU ARBITRARY UNITS",
                     yl))
        r.YKind = SpecYIntensity;
    if (ContainsText("A ABS ABS. ABSORBANCE EXTINKTION EXT.", yl)) r.YKind = SpecYAbsorbance;
    if (ContainsText(yl, "ABSORBANCE")) r.YKind = SpecYAbsorbance;
    if (ContainsText(yl, "REFLECTANCE")) r.YKind = SpecYReflectance;
    if (ContainsText(yl, "EMISSION")) r.YKind = SpecYIntensity;
    if (ContainsText("EPSILON EPS.", yl)) r.YKind = SpecYEpsilon;
    if (ContainsText("LOG(EPSILON) LOGEPS LOG(EPS) LOG(EPS.)", yl)) r.YKind = SpecYLogEpsilon;
}

// Asks for the axis types of a headerless file; every close stores the dialog's selection.
void askAxisTypes(const std::string& fileName, TSpectrumRecord& r) {
    ui::Query q;
    q.dialog = kAxisQueryDialog;
    q.caption = "axis type query";
    q.fields[kAxisQueryFileLabel] = "Dateiname: " + NameWithoutFolder(fileName);
    q.fields[kAxisQueryPathLabel] = "Dateipfad: " + FolderOf(fileName);
    q.fields[kAxisQueryXUnit] = std::to_string(AxisQueryChoice.XUnit);
    q.fields[kAxisQueryYKind] = std::to_string(AxisQueryChoice.YKind);
    const bool ok = ui::ask(q);
    if (auto x = numtext::TryStrToInt(q.fields[kAxisQueryXUnit]); x && *x >= 1 && *x <= 5)
        AxisQueryChoice.XUnit = *x;
    if (auto y = numtext::TryStrToInt(q.fields[kAxisQueryYKind]); y && *y >= 1 && *y <= 6)
        AxisQueryChoice.YKind = *y;
    if (!ok) return;
    r.XUnit = AxisQueryChoice.XUnit;
    r.YKind = AxisQueryChoice.YKind;
    if (r.XUnit == SpecXRamanShift) r.Comment2 = "Raman Shift [1/cm]";
}

// Transmittance and reflectance to the stored absorbance-like form; percent above `percentLimit`.
void fractionToAbsorbance(std::vector<double>& ys, double ymax, double percentLimit) {
    const bool percent = ymax > percentLimit;
    for (double& y : ys) {
        if (y <= 1e-6)
            y = 6.0;
        else
            y = -Log10Ext(percent ? y / 100.0 : y);
    }
}

}  // namespace

void ReadSpecAsciiBytes(TSpectrumRecord& rec, std::string_view bytes, bool utf8, const std::string& fileName,
                        bool fromOpen) {
    TSpectrumRecord r;
    r.FileName = fileName;
    r.Title = NameWithoutExtension(fileName);
    r.SpecType = "ascii_fak";
    r.Concentration = 0.0;
    r.PathLength = 1.0;
    r.ExcitationWl = -1.0;
    r.Temperature = -1.0;
    r.ExposureTime = -1.0;
    r.LineWidth = 1;
    r.SourceKind = SpecSourceAscii;
    r.XUnit = SpecXNanometer;
    r.YKind = SpecYIntensity;
    r.Color = rec.Color;
    r.LineStyle = rec.LineStyle;

    LineCursor lines(bytes);
    std::string scratch;
    std::string_view line;

    // The separator is guessed from the eleventh line.
    for (int i = 0; i <= 10; ++i)
        if (!lines.next(line)) throw vx::ListIndexError(10);
    const char sep = guessSeparator(stripLine(line, scratch));

    // Header lines: those whose first field is no integer.
    lines.seek(0);
    int32_t header = 0;
    std::size_t dataStart = 0;
    for (;;) {
        dataStart = lines.position();
        if (!lines.next(line)) throw vx::ListIndexError(header);
        if (startsWithInteger(stripLine(line, scratch), sep)) break;
        ++header;
    }

    if (header > 0) {
        LineCursor first(bytes);
        first.next(line);
        std::string label(stripLine(line, scratch));
        if (!utf8) label = cp1252::toUtf8(label);
        axisTypesFromLabels(label, sep, r);
    } else if (fromOpen) {
        askAxisTypes(fileName, r);
    }

    // Pairs up to the first line without a separator. A pair line takes at least four bytes (two
    // digits, the separator, the line end), which bounds the count by the bytes actually present.
    PairList xs, ys;
    const std::size_t lineBound = (bytes.size() - dataStart + 1) / 4 + 1;
    xs.reserve(lineBound);
    ys.reserve(lineBound);
    std::size_t pos = dataStart;
    double x = 0, y = 0;
    for (;;) {
        if (fastPair(bytes.data(), pos, bytes.size(), sep, x, y)) {
            xs.push_back(x);
            ys.push_back(y);
            continue;
        }
        lines.seek(pos);
        if (!lines.next(line)) break;
        pos = lines.position();
        std::string_view s = stripLine(line, scratch);
        auto p = s.find(sep);
        if (p == std::string_view::npos) break;
        std::string_view xf = s.substr(0, p), yf = s.substr(p + 1);
        if (xf.empty() || yf.empty()) continue;
        x = numberField(xf);
        y = numberField(yf);
        xs.push_back(x);
        ys.push_back(y);
    }
    if (xs.empty()) throw vx::ListIndexError(0);
    if (xs.front() > xs.back()) {
        std::reverse(xs.begin(), xs.end());
        std::reverse(ys.begin(), ys.end());
    }
    const int32_t n = static_cast<int32_t>(xs.size());
    // A single pair or all x equal give no grid.
    if (n < 2 || xs.back() == xs.front()) vx::throwInvalidFloatOp();
    double x0 = xs.front();
    double step = (xs.back() - xs.front()) / (n - 1);
    if (!std::isfinite(step) || step == 0.0) vx::throwInvalidFloatOp();

    std::vector<double>& values = r.Values;
    ResampleOntoGrid(xs, ys, x0, step, n, values);
    double ymax = 0.0;
    for (double y : values) ymax = std::max(ymax, y);

    switch (r.YKind) {
    case SpecYTransmittance: fractionToAbsorbance(values, ymax, 4.0); break;
    case SpecYReflectance: fractionToAbsorbance(values, ymax, 1.2); break;
    case SpecYEpsilon:
        r.Concentration = 1e-5;
        for (double& y : values) y *= r.Concentration * r.PathLength;
        break;
    case SpecYLogEpsilon:
        r.Concentration = 1e-5;
        for (double& y : values) {
            const double v = Pow10Ext(y) * r.Concentration * r.PathLength;
            if (!std::isfinite(v)) vx::throwNotFloat(numtext::FloatToStr(y));
            y = v;
        }
        break;
    default: break;
    }
    for (double y : values)
        if (!std::isfinite(y)) vx::throwNotFloat(numtext::FloatToStr(y));
    r.ConcTimesPath = r.Concentration * r.PathLength;

    // Wavenumbers and Raman shifts are stored with falling x, wavelengths with rising x.
    if ((step < 0 && r.XUnit == SpecXNanometer) ||
        (step > 0 && (r.XUnit == SpecXWavenumber || r.XUnit == SpecXRamanShift))) {
        x0 += (n - 1) * step;
        step = -step;
        std::reverse(values.begin(), values.end());
    }
    if (r.XUnit == SpecXElectronVolt) {
        x0 *= kWavenumberPerEv;
        step *= kWavenumberPerEv;
        r.XUnit = SpecXWavenumber;
    } else if (r.XUnit == SpecXMicrometer) {
        x0 *= 1000.0;
        step *= 1000.0;
        r.XUnit = SpecXNanometer;
    }
    // Folding can overflow a grid near the largest numbers.
    if (!std::isfinite(x0) || !std::isfinite(step)) vx::throwInvalidFloatOp();
    r.FirstX = x0;
    r.StepX = step;
    rec = std::move(r);
}

void LoadSpecAscii(TSpectrumRecord& rec, const std::string& fileName, bool fromOpen) {
    MappedFile file(fileName);
    std::string_view bytes = file.bytes();
    std::string converted;
    bool utf8 = false;
    if (bytes.size() >= 2) {
        const auto b0 = static_cast<unsigned char>(bytes[0]), b1 = static_cast<unsigned char>(bytes[1]);
        if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF)) {
            converted = LoadFileText(fileName);
            bytes = converted;
            utf8 = true;
        }
    }
    TSpectrumRecord r;
    r.Color = rec.Color;
    r.LineStyle = rec.LineStyle;
    ReadSpecAsciiBytes(r, bytes, utf8, fileName, fromOpen);
    r.DateText = DateTimeToText(FileDateTimeOf(fileName));
    rec = std::move(r);
}

void LoadSpecAsciiFromOpen(TSpectrumRecord& rec, const std::string& fileName) {
    LoadSpecAscii(rec, fileName, true);
}
