#include "codepage.h"

#include <array>
#include <cstdint>

namespace cp1252 {
namespace {

// Unicode code points of bytes 0x80..0x9F; undefined bytes keep their C1 code point.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t decodeByte(unsigned char b) {
    if (b >= 0x80 && b < 0xA0) return kHigh[b - 0x80];
    return b;
}

int encodeChar(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c < 0x100)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c) return 0x80 + i;
    return '?';
}

// Decodes one UTF-8 sequence at s[i]; returns its length, or 0 when it is not valid UTF-8.
std::size_t decodeUtf8(std::string_view s, std::size_t i, char32_t& c) {
    auto b = static_cast<unsigned char>(s[i]);
    std::size_t n;
    if (b < 0x80) { c = b; return 1; }
    if ((b & 0xE0) == 0xC0) { n = 2; c = b & 0x1F; }
    else if ((b & 0xF0) == 0xE0) { n = 3; c = b & 0x0F; }
    else if ((b & 0xF8) == 0xF0) { n = 4; c = b & 0x07; }
    else return 0;
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        auto t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80) return 0;
        c = (c << 6) | (t & 0x3F);
    }
    if ((n == 2 && c < 0x80) || (n == 3 && c < 0x800) || (n == 4 && c < 0x10000)) return 0;
    return n;
}

}  // namespace

bool isAscii(std::string_view s) {
    for (unsigned char b : s)
        if (b >= 0x80) return false;
    return true;
}

std::string toUtf8(std::string_view bytes) {
    if (isAscii(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (unsigned char b : bytes) unicode::appendUtf8(out, decodeByte(b));
    return out;
}

std::string fromUtf8(std::string_view utf8) {
    if (isAscii(utf8)) return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c;
        std::size_t n = decodeUtf8(utf8, i, c);
        if (n == 0) {  // a stray byte: keep it as the Windows-1252 byte it probably was
            out += utf8[i];
            ++i;
            continue;
        }
        out += static_cast<char>(encodeChar(c));
        i += n;
    }
    return out;
}

std::size_t length(std::string_view utf8) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < utf8.size(); ++count) {
        char32_t c;
        std::size_t n = decodeUtf8(utf8, i, c);
        i += n == 0 ? 1 : n;
    }
    return count;
}

std::string cut(std::string_view utf8, std::size_t maxChars) {
    std::size_t count = 0, i = 0;
    while (i < utf8.size() && count < maxChars) {
        char32_t c;
        std::size_t n = decodeUtf8(utf8, i, c);
        i += n == 0 ? 1 : n;
        ++count;
    }
    return std::string(utf8.substr(0, i));
}

}  // namespace cp1252

namespace unicode {

void appendUtf8(std::string& out, char32_t c) {
    if ((c >= 0xD800 && c < 0xE000) || c > 0x10FFFF) c = 0xFFFD;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

namespace {

// unitAt(k) gives code unit k of n.
template <class UnitAt>
std::string utf16Units(std::size_t n, UnitAt unitAt) {
    std::string out;
    out.reserve(n);
    for (std::size_t k = 0; k < n; ++k) {
        char32_t u = unitAt(k);
        if (u >= 0xD800 && u < 0xDC00 && k + 1 < n) {
            const char32_t lo = unitAt(k + 1);
            if (lo >= 0xDC00 && lo < 0xE000) {
                u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
                ++k;
            }
        }
        appendUtf8(out, u);  // a surrogate left alone becomes U+FFFD there
    }
    return out;
}

}  // namespace

std::string utf16ToUtf8(std::u16string_view s) {
    return utf16Units(s.size(), [s](std::size_t k) { return static_cast<char32_t>(s[k]); });
}

std::string utf16BytesToUtf8(std::string_view bytes, bool bigEndian) {
    return utf16Units(bytes.size() / 2, [bytes, bigEndian](std::size_t k) {
        const auto b0 = static_cast<unsigned char>(bytes[2 * k]);
        const auto b1 = static_cast<unsigned char>(bytes[2 * k + 1]);
        return static_cast<char32_t>(bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0));
    });
}

}  // namespace unicode
