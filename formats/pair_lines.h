#pragma once
// A data line "x<sep>y" of the two-column text readers read in one pass over its bytes, the shape
// nearly every line of a large file has. Lines of any other shape are declined and left to the reader's
// own field-by-field rules, which also raise the proper errors.
#include <cstddef>

#include "formats/text_loader.h"           // SkipLineEnd
#include "formats/text_spectra_support.h"  // ScanNumber

// Reads a number at p as far as it goes, its decimal mark never being `sep`, and moves p behind it.
inline bool ScanNumberAt(const char*& p, const char* e, char sep, double& out) {
    const char* q = ScanNumber(p, e, out, sep);
    if (!q) return false;
    p = q;
    return true;
}

inline bool IsLineEnd(const char* p, const char* e) { return p == e || *p == '\r' || *p == '\n'; }

// The line starting at `pos` of the text [base, base + size) read as x, `sep`, y, with blanks allowed
// around each number (a blank separator may be a run of blanks). True with `pos` moved behind the
// line's ending (LF, CR LF, CR CR LF or a lone CR, as LineCursor splits lines); false, `pos` unchanged, for any other
// line: empty ones, one that starts with a decimal mark, a missing or odd field, a third column, an x
// text shorter than `minXChars`. Inlined into each reader's loop: called per line, the call would cost
// as much as the line's separators.
[[gnu::always_inline]] inline bool ScanPairLine(const char* base, std::size_t& pos, std::size_t size, char sep,
                                               std::size_t minXChars, double& x, double& y) {
    const char* p = base + pos;
    const char* e = base + size;
    while (p < e && *p == ' ') ++p;
    if (IsLineEnd(p, e) || *p == '.' || *p == ',') return false;
    const char* xStart = p;
    if (!ScanNumberAt(p, e, sep, x)) return false;
    if (sep != ' ')
        while (p < e && *p == ' ') ++p;
    if (p == e || *p != sep || static_cast<std::size_t>(p - xStart) < minXChars) return false;
    ++p;
    while (p < e && *p == ' ') ++p;
    if (IsLineEnd(p, e) || !ScanNumberAt(p, e, sep, y)) return false;
    while (p < e && *p == ' ') ++p;
    if (!IsLineEnd(p, e)) return false;
    p = SkipLineEnd(p, e);
    pos = static_cast<std::size_t>(p - base);
    return true;
}
