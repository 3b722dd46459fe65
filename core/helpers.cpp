#include "core/helpers.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <iterator>
#include <thread>

#include "core/date_time.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/input_file.h"
#include "platform/numtext.h"
#include "platform/ui.h"

bool IsNanDouble(double d) { return std::isnan(d); }

void SortPairAscending(double& a, double& b) {
    if (a > b) std::swap(a, b);
}
void SortPairAscending(int32_t& a, int32_t& b) {
    if (b < a) std::swap(a, b);
}

long double PowerReal(long double base, long double exponent) {
    if (base <= 0.0L) {
        if (base == 0.0L && exponent > 0.0L) return 0.0L;
        vx::throwInvalidFloatOp();
    }
    return std::exp(exponent * std::log(base));
}

long double IntPowerReal(long double x, int32_t n) {
    long double r = 1.0L;
    long long m = n < 0 ? -static_cast<long long>(n) : n;
    for (long long i = 0; i < m; ++i) r *= x;
    if (n < 0) {
        if (r == 0.0L) vx::throwDivByZero();
        r = 1.0L / r;
    }
    return r;
}

long double Log10Real(long double x) {
    if (x <= 0.0L) vx::throwInvalidFloatOp();
    return std::log(x) / std::log(10.0L);
}

long double SafeDivide(long double divisor, long double dividend) {
    return divisor == 0.0L ? 0.0L : dividend / divisor;
}

bool IsIntegerText(const std::string& s) { return numtext::TryStrToInt(s).has_value(); }

bool IsRealText(const std::string& s) {
    if (s.empty()) return false;
    const char sep = numtext::decimalSeparator();
    std::size_t lastE = std::string::npos;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (s[i] == 'E' || s[i] == 'e') lastE = i;
    if (CountChar(sep, s) > 1) return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c >= '0' && c <= '9') continue;
        if (i == lastE) continue;
        if ((c == '-' || c == '+') && (i == 0 || (lastE != std::string::npos && i == lastE + 1))) continue;
        if (c == sep) continue;
        return false;
    }
    return true;
}

void FixDecimalSeparator(std::string& s) {
    char sep = numtext::decimalSeparator();
    char other = sep == ',' ? '.' : ',';
    auto p = s.find(other);
    if (p != std::string::npos) s[p] = sep;
}

void CommaToPoint(std::string& s) {
    auto p = s.find(',');
    if (p != std::string::npos) s[p] = '.';
}

std::string DotsToDecimalSeparator(std::string s) {
    char sep = numtext::decimalSeparator();
    std::replace(s.begin(), s.end(), '.', sep);
    return s;
}

void StripLeadingBlanks(std::string& s) {
    if (s.empty()) return;
    std::size_t p = s.find_first_not_of(' ');
    s.erase(0, p == std::string::npos ? s.size() : p);
    if (s.empty() || s[0] == '.' || s[0] == ',') s = "0" + s;
}

void StripTrailingBlanks(std::string& s) {
    std::size_t p = s.find_last_not_of(' ');
    s.erase(p == std::string::npos ? 0 : p + 1);
}

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

int32_t CountChar(char c, const std::string& s) {
    return static_cast<int32_t>(std::count(s.begin(), s.end(), c));
}

int32_t CountSubstring(std::string_view sub, std::string_view s) {
    if (sub.empty()) return 0;
    int32_t n = 0;
    for (std::size_t p = s.find(sub); p != std::string_view::npos; p = s.find(sub, p + sub.size())) ++n;
    return n;
}

std::string ReplaceInvalidChars(const std::string& s) {
    static constexpr const char* kBad = "$\"*/:<>?@[]\\|";
    std::string out = s;
    for (char& c : out) {
        auto u = static_cast<unsigned char>(c);
        if (u < 32 || (u < 128 && std::strchr(kBad, c))) c = '_';
    }
    return out;
}

std::string ControlCharsToBlanks(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 32) c = ' ';
    return out;
}

bool ContainsText(const std::string& s, const std::string& sub) {
    return !sub.empty() && s.find(sub) != std::string::npos;
}

std::string UpperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string LowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

double FileDateTimeOf(const std::string& path) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) return 0.0;
    return UnixTimeToLocalDateTime(static_cast<long long>(st.st_mtime));
}

std::string LoadFileBytes(const std::string& path) {
    const InputFile file = InputFile::OpenOrThrow(path);
    std::string bytes(static_cast<std::size_t>(file.Size()), '\0');
    const long long got = file.ReadAt(0, bytes.data(), bytes.size());
    if (got < 0) vx::throwStreamRead();
    bytes.resize(static_cast<std::size_t>(got));  // shorter when the file shrank meanwhile
    return bytes;
}

std::string LoadFileText(const std::string& path) {
    std::string bytes = LoadFileBytes(path);
    if (bytes.size() >= 2) {
        auto b0 = static_cast<unsigned char>(bytes[0]);
        auto b1 = static_cast<unsigned char>(bytes[1]);
        if (b0 == 0xFF && b1 == 0xFE) return unicode::utf16BytesToUtf8(std::string_view(bytes).substr(2), false);
        if (b0 == 0xFE && b1 == 0xFF) return unicode::utf16BytesToUtf8(std::string_view(bytes).substr(2), true);
    }
    return cp1252::toUtf8(bytes);
}

void ReadBinaryField(std::string& text, std::string_view bytes, std::size_t offset, std::size_t n) {
    if (offset > bytes.size() || n > bytes.size() - offset) vx::throwStreamRead();
    std::string_view field = bytes.substr(offset, n);
    field = field.substr(0, field.find('\0'));
    text += cp1252::toUtf8(field);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.emplace_back(text, start, i - start);
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < text.size()) lines.emplace_back(text, start, std::string::npos);
    return lines;
}

std::vector<std::string> LoadStringsShared(const std::string& path) {
    return SplitLines(cp1252::toUtf8(LoadFileBytes(path)));
}

namespace {
std::function<void(int32_t)>& delayHandler() {
    static std::function<void(int32_t)> h;
    return h;
}
}  // namespace

void SetDelayHandler(std::function<void(int32_t)> handler) { delayHandler() = std::move(handler); }

void DelayWithMessages(int32_t ms) {
    if (ms <= 0) return;
    if (delayHandler()) delayHandler()(ms);
    else std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool OpenHtmlPage(const std::string& path) {
    std::string p = path;
    std::replace(p.begin(), p.end(), '\\', '/');
    auto hash = p.find('#');
    std::string file = hash == std::string::npos ? p : p.substr(0, hash);
    struct stat st{};
    if (::stat(file.c_str(), &st) != 0) return false;
    std::string url = "file://" + file;
    if (hash != std::string::npos) url += p.substr(hash);
    return ui::openUrl(url);
}

bool ShellOpenPath(const std::string& path) {
    if (path.empty() || path.find('#') != std::string::npos) return false;
    if (path.find("://") != std::string::npos) return ui::openUrl(path);
    // A document: the shell fails on a missing file, and the opener takes a file URL.
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) return false;
    return ui::openUrl("file://" + path);
}

namespace {

template <typename Swap>
void heapSort(std::vector<double>& a, Swap swapAt) {
    auto n = static_cast<long long>(a.size());
    auto sift = [&](long long start, long long end) {
        long long root = start;
        while (2 * root + 1 <= end) {
            long long child = 2 * root + 1;
            if (child + 1 <= end && a[child] < a[child + 1]) ++child;
            if (a[root] < a[child]) {
                swapAt(root, child);
                root = child;
            } else {
                return;
            }
        }
    };
    for (long long start = (n - 2) / 2; start >= 0; --start) sift(start, n - 1);
    for (long long end = n - 1; end > 0; --end) {
        swapAt(0, end);
        sift(0, end - 1);
    }
}

}  // namespace

void HeapSortDoubles(std::vector<double>& list) {
    heapSort(list, [&](long long i, long long j) { std::swap(list[i], list[j]); });
}

void HeapSortDoublesWith(std::vector<double>& list, std::vector<double>& companion) {
    heapSort(list, [&](long long i, long long j) {
        std::swap(list[i], list[j]);
        if (static_cast<std::size_t>(std::max(i, j)) < companion.size()) std::swap(companion[i], companion[j]);
    });
}

void SortFileNames(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        std::string la = LowerAscii(a), lb = LowerAscii(b);
        if (la != lb) return la < lb;
        return a < b;
    });
    names.erase(std::unique(names.begin(), names.end()), names.end());
}
