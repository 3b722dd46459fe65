#include "formats/text_lines.h"

#include <algorithm>

#include "core/helpers.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/numtext.h"

TextLines::TextLines(std::string_view bytes) : bytes_(bytes) {
    const char* p = bytes.data();
    const char* e = p + bytes.size();
    while (p < e) {
        const char* b = p;
        while (p < e && *p != '\r' && *p != '\n') ++p;
        lines_.emplace_back(b, static_cast<std::size_t>(p - b));
        if (p < e) p += (*p == '\r' && p + 1 < e && p[1] == '\n') ? 2 : 1;
    }
}

std::string_view TextLines::at(std::size_t i) const {
    if (i >= lines_.size()) throw vx::ListIndexError(static_cast<long long>(i));
    return lines_[i];
}

std::string TextLines::trimmed(std::size_t i) const { return cp1252::toUtf8(TrimView(at(i))); }

double TextLines::number(std::size_t i) const { return FieldNumber(TrimView(at(i))); }

std::optional<double> TextLines::tryNumber(std::size_t i) const { return TryFieldNumber(TrimView(at(i))); }

int32_t TextLines::integer(std::size_t i) const { return numtext::StrToInt(TrimView(at(i))); }

std::size_t TextLines::find(std::size_t from, std::string_view needle, bool upper) const {
    for (std::size_t i = from;; ++i) {
        std::string_view line = at(i);
        if (!upper) {
            if (line.find(needle) != std::string_view::npos) return i;
        } else if (UpperAscii(std::string(line)).find(needle) != std::string::npos) {
            return i;
        }
    }
}

std::size_t TextLines::endOffset(std::size_t i) const {
    std::string_view line = at(i);
    return static_cast<std::size_t>(line.data() - bytes_.data()) + line.size();
}

std::string_view TrimView(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

std::optional<double> TryFieldNumber(std::string_view field) {
    // FixDecimalSeparator makes the first mark of either kind the decimal sign; a second mark makes
    // the text no number whichever the locale's separator is.
    const bool comma = field.find(',') != std::string_view::npos;
    const bool point = field.find('.') != std::string_view::npos;
    return numtext::TryStrToFloat(field, comma && !point ? ',' : '.');
}

double FieldNumber(std::string_view field) {
    if (auto v = TryFieldNumber(field)) return *v;
    std::string t(field);
    FixDecimalSeparator(t);
    return numtext::StrToFloat(t);  // raises the conversion error with the text as fixed
}
