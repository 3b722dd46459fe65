#include "tools/legend_texts.h"

#include "core/helpers.h"

namespace legend {
namespace {

// Byte length of the first n UTF-8 characters of s from pos, clamped to the end.
std::size_t utf8Span(const std::string& s, std::size_t pos, std::size_t n) {
    std::size_t p = pos;
    while (n > 0 && p < s.size()) {
        ++p;
        while (p < s.size() && (static_cast<unsigned char>(s[p]) & 0xC0) == 0x80) ++p;
        --n;
    }
    return p - pos;
}

}  // namespace

std::string ReplaceAllIgnoreCase(const std::string& s, const std::string& search,
                                 const std::string& replacement) {
    if (search.empty()) return s;
    const std::string ls = LowerAscii(s);
    const std::string lsearch = LowerAscii(search);
    std::string out;
    std::size_t from = 0;
    for (std::size_t p = ls.find(lsearch); p != std::string::npos; p = ls.find(lsearch, from)) {
        out.append(s, from, p - from);
        out += replacement;
        from = p + search.size();
    }
    out.append(s, from, std::string::npos);
    return out;
}

void ReplaceInLines(std::vector<std::string>& lines, const std::string& search,
                    const std::string& replacement) {
    const auto hash = search.find('#');
    if (hash == std::string::npos) {
        if (search.empty()) return;
        for (auto& line : lines)
            if (line.find(search) != std::string::npos)
                line = ReplaceAllIgnoreCase(line, search, replacement);
        return;
    }
    const std::string prefix = search.substr(0, hash);
    if (prefix.empty()) return;  // every line would "contain" it
    const auto n = static_cast<std::size_t>(CountChar('#', search));
    for (auto& line : lines) {
        auto p = line.find(prefix);
        if (p == std::string::npos) continue;
        const std::size_t start = p + prefix.size();
        line.erase(start, utf8Span(line, start, n));
        line = ReplaceAllIgnoreCase(line, prefix, replacement);
    }
}

std::optional<std::vector<std::string>> LinesToTakeOver(std::vector<std::string> lines, int count) {
    if (static_cast<int>(lines.size()) == count + 1 && lines.back().empty()) lines.pop_back();
    if (static_cast<int>(lines.size()) != count) return std::nullopt;
    return lines;
}

}  // namespace legend
