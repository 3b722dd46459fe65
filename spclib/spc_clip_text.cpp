#include "spclib/spc_clip_text.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "spclib/spc_text.h"

namespace spc {

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// A custom label the reader would take for something else is written as the type's name.
bool labelReadsBack(const std::string& label) {
    if (label.empty() || !isLetter(label[0])) return false;
    if (label.size() == 1 && std::string_view("XYATK").find(upper(label[0])) != std::string_view::npos)
        return false;
    for (char c : label)
        if (c == '\t' || c == ',' || c == '\r' || c == '\n') return false;
    return true;
}

void appendNumber(std::string& out, double v) {
    char buf[40];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 9);
    out.append(buf, r.ptr);
}

enum class Kind { None, X, Y, Text };
struct Token {
    Kind kind = Kind::None;
    int yType = -1;  // for A, T, K
    std::string text;
};

Token classify(std::string_view t) {
    Token tok;
    while (!t.empty() && (t.back() == ' ')) t.remove_suffix(1);
    while (!t.empty() && (t.front() == ' ')) t.remove_prefix(1);
    if (t.empty() || !isLetter(t[0])) return tok;
    if (t.size() == 1) {
        switch (upper(t[0])) {
        case 'X': tok.kind = Kind::X; return tok;
        case 'Y': tok.kind = Kind::Y; return tok;
        case 'A': tok.kind = Kind::Y; tok.yType = 2; return tok;
        case 'T': tok.kind = Kind::Y; tok.yType = 128; return tok;
        case 'K': tok.kind = Kind::Y; tok.yType = 3; return tok;
        default: break;
        }
    }
    tok.kind = Kind::Text;
    tok.text = std::string(t);
    return tok;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

int matchName(const std::string& text, bool xNames) {
    for (int code = 0; code < 256; ++code) {
        std::string name = xNames ? XTypeName(code) : YTypeName(code);
        if (!name.empty() && sameIgnoringCase(name, text)) return code;
    }
    return -1;
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> f;
    std::size_t s = 0;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i == line.size() || line[i] == '\t' || line[i] == ',') {
            f.push_back(line.substr(s, i - s));
            s = i + 1;
        }
    }
    return f;
}

bool parseValue(std::string_view t, float& out) {
    double d = 0;
    const char* end = TextToDouble(t.data(), t.data() + t.size(), d);
    if (!end) return false;
    while (end < t.data() + t.size() && (*end == ' ' || *end == '\t')) ++end;
    if (end != t.data() + t.size()) return false;
    if (!std::isfinite(d) || std::fabs(d) > 3.4028234663852886e38) return false;
    out = static_cast<float>(d);
    return true;
}

}  // namespace

std::optional<std::string> SubfileText(const TARNVIK& doc) {
    if (!doc.HasCurrent()) return std::nullopt;
    std::vector<float> xs, ys;
    if (!doc.ReadValues(doc.current, &xs, &ys) || ys.empty()) return std::nullopt;
    std::string out;
    out.reserve(ys.size() * 24 + 64);
    auto field = [&](int which, const char* bare, int type) {
        std::string custom = CustomLabel(doc, which);
        if (labelReadsBack(custom)) return custom;
        if (type == 0) return std::string(bare);
        std::string name = which == 0 ? XTypeName(type) : YTypeName(type);
        return labelReadsBack(name) ? name : std::string(bare);
    };
    out += field(0, "X", doc.u8(kXType));
    out += '\t';
    out += field(1, "Y", doc.u8(kYType));
    out += "\r\n";
    std::size_t n = ys.size();
    double first = doc.f64(kFirstX), last = doc.f64(kLastX);
    double step = n > 1 ? (last - first) / double(n - 1) : 0.0;
    double x = first;
    for (std::size_t i = 0; i < n; ++i) {
        appendNumber(out, xs.empty() ? x : double(xs[i]));
        out += '\t';
        appendNumber(out, ys[i]);
        out += "\r\n";
        x += step;
    }
    return out;
}

int32_t OpenSubfileText(TARNVIK& doc, std::string_view text) {
    doc.Reset();
    std::vector<std::string_view> lines;
    std::size_t s = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\r' || text[i] == '\n' || text[i] == '\0') {
            std::string_view l = text.substr(s, i - s);
            bool blank = l.find_first_not_of(" \t") == std::string_view::npos;
            if (!blank) lines.push_back(l);
            if (i < text.size() && text[i] == '\0') break;
            s = i + 1;
        }
    }
    if (lines.empty()) return -3;

    int xType = 0, yType = 0;
    std::string xLabel, yLabel;
    std::size_t firstData = 0;
    {
        auto fields = splitFields(lines[0]);
        Token a = classify(fields[0]);
        if (a.kind != Kind::None) {
            firstData = 1;
            auto yColumn = [&](const Token& t) {
                if (t.kind == Kind::Text) {
                    int code = matchName(t.text, false);
                    if (code >= 0) yType = code;
                    else yLabel = t.text;
                } else if (t.yType >= 0) {
                    yType = t.yType;
                }
            };
            if (a.kind == Kind::Y || fields.size() == 1) {
                if (fields.size() != 1) return -3;
                yColumn(a);
            } else {
                if (fields.size() != 2) return -3;
                Token b = classify(fields[1]);
                if (b.kind != Kind::Y && b.kind != Kind::Text) return -3;
                if (a.kind == Kind::Text) {
                    int code = matchName(a.text, true);
                    if (code >= 0) xType = code;
                    else xLabel = a.text;
                }
                yColumn(b);
            }
        }
    }

    std::vector<float> xs, ys;
    int columns = 0;
    try {
        for (std::size_t li = firstData; li < lines.size(); ++li) {
            auto fields = splitFields(lines[li]);
            if (fields.size() > 2) return -3;
            int c = static_cast<int>(fields.size());
            if (columns == 0) columns = c;
            if (c != columns) return -3;
            float a = 0, b = 0;
            if (!parseValue(fields[0], a)) return -3;
            if (c == 2) {
                if (!parseValue(fields[1], b)) return -3;
                xs.push_back(a);
                ys.push_back(b);
            } else {
                ys.push_back(a);
            }
        }
    } catch (const std::bad_alloc&) {
        return -2;
    }
    if (ys.empty() || ys.size() > UINT32_MAX) return -3;
    auto n = static_cast<uint32_t>(ys.size());

    bool even = true;
    double first = 0, last = double(n - 1);
    if (columns == 2) {
        first = xs.front();
        last = xs.back();
        double step = n > 1 ? (last - first) / double(n - 1) : 0.0;
        for (uint32_t i = 1; i < n && even; ++i)
            even = std::fabs(double(xs[i]) - (double(xs[i - 1]) + step)) < std::fabs(step / 50);
    }
    doc.Create(even ? kEven : kXYY);
    doc.setU8(kXType, static_cast<uint8_t>(xType));
    doc.setU8(kYType, static_cast<uint8_t>(yType));
    doc.setF64(kFirstX, first);
    doc.setF64(kLastX, last);
    doc.current = 0;
    if (doc.Store(nullptr, nullptr, even ? nullptr : xs.data(), ys.data(), n) == 0) return -2;
    if (!even) {
        doc.setF64(kFirstX, first);
        doc.setF64(kLastX, last);
        doc.dir[0].firstX = static_cast<float>(first);
        doc.dir[0].lastX = static_cast<float>(last);
    }
    doc.current = 0;
    if (!xLabel.empty()) SetCustomLabel(doc, 0, xLabel);
    if (!yLabel.empty()) SetCustomLabel(doc, 1, yLabel);
    return 0;
}

}  // namespace spc
