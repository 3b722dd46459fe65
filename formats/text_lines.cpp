#include "formats/text_lines.h"

#include <algorithm>

#include "core/helpers.h"
#include "formats/text_loader.h"
#include "formats/text_spectra_support.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/numtext.h"

TextLines::TextLines(std::string_view bytes) : bytes_(bytes) {
    LineCursor cursor(bytes);
    for (std::string_view line; cursor.Next(line);) lines_.push_back(line);
}

std::string_view TextLines::at(std::size_t i) const {
    if (i >= lines_.size()) throw vx::ListIndexError(static_cast<long long>(i));
    return lines_[i];
}

std::string TextLines::trimmed(std::size_t i) const { return cp1252::toUtf8(TrimView(at(i))); }

double TextLines::number(std::size_t i) const { return ReadNumberToken(TrimView(at(i))); }

std::optional<double> TextLines::tryNumber(std::size_t i) const {
    double v;
    if (ParseNumberToken(TrimView(at(i)), v)) return v;
    return std::nullopt;
}

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

