#pragma once
// The one loader of every text format. A reader gets its text as a MappedText and walks it with a
// LineCursor; numbers are parsed straight from the bytes, and only the pieces that leave the reader as
// texts (titles, comments, keyword lines) are converted to UTF-8:
//
//     const MappedText text = MappedText::OpenFile(path, kCsvMaxBytes, "CSV");
//     LineCursor lines(text.Bytes());
//     for (std::string_view line; lines.Next(line);) {
//         double x;
//         if (ParseNumberToken(FieldAt(line, ';', 1), x)) ...   // no copy, no allocation
//         rec.Title = text.Utf8(line);                            // a copy only of this line
//     }
//
// - A file is mapped read-only and never copied. A file larger than the reader's limit is refused with
//   a vx::FileError before a byte of it is read, so no file costs more than its kind can justify.
// - Bytes stay as stored: Windows-1252 for a file, UTF-8 for text handed over from memory (the
//   clipboard, tests). Separators, digits, signs and line ends are ASCII in both, and a converted
//   character never holds an ASCII byte, so splitting and parsing the stored bytes gives what splitting
//   the converted text would. A file that starts with FF FE or FE FF is UTF-16 and is converted to
//   UTF-8 whole (the one copy there is).
// - Lines end at CR, LF, CR LF or CR CR LF (a CR LF text converted to CR LF once more); a last line
//   without an ending counts; an ending at the very end adds no empty line (the way a string list
//   splits a text).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

class MappedText {
public:
    // Maps the file. Throws vx::FileError when it cannot be opened or is no regular file ("Cannot open
    // file" with the reason; a pipe or device is never waited for), or holds more than `maxBytes`
    // bytes; `kind` names the format in that message ("CSV", "JCAMP-DX", ...).
    static MappedText OpenFile(const std::string& path, std::uint64_t maxBytes, std::string_view kind);
    // The same for a binary file: its bytes exactly as stored, whatever its first two bytes are.
    static MappedText OpenBinaryFile(const std::string& path, std::uint64_t maxBytes, std::string_view kind);
    // Views text that is already UTF-8; the caller keeps it alive as long as this object.
    static MappedText FromUtf8(std::string_view text);
    // Views bytes as stored in a file (Windows-1252), kept alive by the caller.
    static MappedText FromStoredBytes(std::string_view bytes);

    MappedText(MappedText&&) noexcept;
    MappedText& operator=(MappedText&&) noexcept;
    ~MappedText();

    std::string_view Bytes() const { return bytes_; }
    bool IsUtf8() const { return utf8_; }

    // A piece of Bytes() as UTF-8 text: a copy of it, converted where it holds a byte >= 0x80.
    std::string Utf8(std::string_view piece) const;
    // The same without a copy where none is needed: the piece itself, or its conversion in `scratch`.
    std::string_view Utf8(std::string_view piece, std::string& scratch) const;

private:
    MappedText() = default;
    static MappedText mapFile(const std::string& path, std::uint64_t maxBytes, std::string_view kind, bool asText);
    struct Mapping;
    std::unique_ptr<Mapping> mapping_;  // the mapped file, or the converted UTF-16 text
    std::string_view bytes_;
    bool utf8_ = true;
};

// The message of a file refused for its size.
std::string TooLargeMessage(const std::string& path, std::uint64_t size, std::uint64_t maxBytes,
                            std::string_view kind);

// Walks the lines of a text as views into it.
class LineCursor {
public:
    explicit LineCursor(std::string_view text, std::size_t position = 0) : text_(text), pos_(position) {}
    // The next line (without its ending); false at the end of the text.
    bool Next(std::string_view& line);
    // Skips n lines; false when the text ended before.
    bool Skip(std::size_t n);
    bool AtEnd() const { return pos_ >= text_.size(); }
    // Byte offset of the next line's start; Seek takes such an offset back.
    std::size_t Position() const { return pos_; }
    void Seek(std::size_t position) { pos_ = position; }

private:
    std::string_view text_;
    std::size_t pos_;
};

// The number of lines LineCursor gives for the text.
std::size_t CountLines(std::string_view text);

// The number of lines of a text and where every 1024th starts, found in one pass, so that a reader that
// needs lines spread over a large text reaches them without walking it again.
class LineIndex {
public:
    explicit LineIndex(std::string_view text);
    std::size_t Count() const { return count_; }
    // A cursor at the start of line n (at the end of the text for n >= Count()).
    LineCursor At(std::size_t n) const;

private:
    static constexpr std::size_t kStride = 1024;
    std::string_view text_;
    std::size_t count_ = 0;
    std::vector<std::size_t> starts_;  // offset of line k * kStride
};

// The first CR or LF in [p, e), or e.
inline const char* FindLineEnd(const char* p, const char* e) {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    for (; e - p >= 16; p += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, cr), _mm_cmpeq_epi8(chunk, lf))));
        if (mask != 0) return p + __builtin_ctz(mask);
    }
#endif
    while (p < e && *p != '\r' && *p != '\n') ++p;
    return p;
}

// Past the line end at p (a CR or LF, or e): LF, CR LF and CR CR LF are one ending each, as is a CR
// that none of them starts.
inline const char* SkipLineEnd(const char* p, const char* e) {
    if (p == e) return p;
    if (*p == '\r') {
        if (e - p >= 2 && p[1] == '\n') return p + 2;
        if (e - p >= 3 && p[1] == '\r' && p[2] == '\n') return p + 3;
    }
    return p + 1;
}

inline bool LineCursor::Next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    const char* b = text_.data() + pos_;
    const char* e = text_.data() + text_.size();
    const char* p = FindLineEnd(b, e);
    line = std::string_view(b, static_cast<std::size_t>(p - b));
    pos_ = static_cast<std::size_t>(SkipLineEnd(p, e) - text_.data());
    return true;
}
