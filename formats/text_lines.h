#pragma once
// A text file as the numbered lines the line-oriented instrument readers address ("line 12", "from the
// line holding #DATA on"), with the errors a string list gives: a line beyond the end raises "List
// index out of bounds (%d)". Lines are views into the stored bytes (Windows-1252); only texts that
// leave the reader are converted to UTF-8.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/text_spectra_support.h"  // ScanNumber

class TextLines {
public:
    // Lines end at CR, LF or CR LF; a last line without an ending counts.
    explicit TextLines(std::string_view bytes);

    std::size_t count() const { return lines_.size(); }
    // Line i as stored; raises the list index error for i >= count().
    std::string_view at(std::size_t i) const;
    // Line i as UTF-8 without leading and trailing blanks and control characters.
    std::string trimmed(std::size_t i) const;
    // Line i, trimmed, as a number (its first "." or "," the decimal sign; the conversion error when it
    // is none) or an integer.
    double number(std::size_t i) const;
    std::optional<double> tryNumber(std::size_t i) const;
    int32_t integer(std::size_t i) const;
    // The first line from `from` on that contains `needle` (after ASCII upper-casing when `upper`);
    // running past the last line raises the list index error, as the scan of a string list does.
    std::size_t find(std::size_t from, std::string_view needle, bool upper) const;
    // Byte offset just behind line i (before its line end).
    std::size_t endOffset(std::size_t i) const;

private:
    std::string_view bytes_;
    std::vector<std::string_view> lines_;
};

// Leading and trailing blanks, tabs and control characters removed.
std::string_view TrimView(std::string_view s);

// A data line "x<blanks>y[<blanks>rest]" read in one pass, the fast way for the usual line: x and y as
// number tokens read them (first "." or "," the decimal sign; a mark equal to `xNotDecimal` ends x),
// blanks being spaces (and tabs when `tabs`). `rest` is what follows y and its blanks. False for a line
// of any other shape, which the caller then reads field by field (and so raises the proper error).
inline bool ScanBlankPair(std::string_view line, bool tabs, char xNotDecimal, double& x, double& y,
                          std::string_view& rest) {
    const char* p = line.data();
    const char* e = p + line.size();
    const auto blank = [tabs](char c) { return c == ' ' || (tabs && c == '\t'); };
    while (p < e && blank(*p)) ++p;
    const char* q = ScanNumber(p, e, x, xNotDecimal);
    if (!q || q == e || !blank(*q)) return false;
    for (p = q; p < e && blank(*p);) ++p;
    q = ScanNumber(p, e, y);
    if (!q || (q < e && !blank(*q))) return false;
    while (q < e && blank(*q)) ++q;
    rest = std::string_view(q, static_cast<std::size_t>(e - q));
    return true;
}
