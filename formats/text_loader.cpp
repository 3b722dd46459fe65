#include "formats/text_loader.h"

#include <sys/mman.h>

#include <cerrno>
#include <cstring>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/input_file.h"
#include "platform/numtext.h"

struct MappedText::Mapping {
    void* address = nullptr;
    std::size_t size = 0;
    std::string converted;  // a UTF-16 file's text
    ~Mapping() {
        if (address) ::munmap(address, size);
    }
};

namespace {

std::string megabytes(std::uint64_t bytes) {
    return numtext::FloatToStrF(static_cast<double>(bytes) / (1024.0 * 1024.0), numtext::FloatFormat::Fixed, 15,
                                bytes < 10 * 1024 * 1024 ? 1 : 0);
}

bool startsUtf16(const char* p, std::size_t n) {
    if (n < 2) return false;
    const auto b0 = static_cast<unsigned char>(p[0]), b1 = static_cast<unsigned char>(p[1]);
    return (b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF);
}

}  // namespace

std::string TooLargeMessage(const std::string& path, std::uint64_t size, std::uint64_t maxBytes,
                            std::string_view kind) {
    return "The file \"" + path + "\" (" + megabytes(size) + " MB) is too large to be a " + std::string(kind) +
           " file; files of this kind are read up to " + megabytes(maxBytes) + " MB.";
}

MappedText::MappedText(MappedText&&) noexcept = default;
MappedText& MappedText::operator=(MappedText&&) noexcept = default;
MappedText::~MappedText() = default;

MappedText MappedText::OpenFile(const std::string& path, std::uint64_t maxBytes, std::string_view kind) {
    return mapFile(path, maxBytes, kind, true);
}

MappedText MappedText::OpenBinaryFile(const std::string& path, std::uint64_t maxBytes, std::string_view kind) {
    return mapFile(path, maxBytes, kind, false);
}

MappedText MappedText::mapFile(const std::string& path, std::uint64_t maxBytes, std::string_view kind, bool asText) {
    // Only regular files have a size to trust; a device or pipe could stream without end or hold the
    // open for ever, so neither is read.
    const InputFile file = InputFile::OpenOrThrow(path);
    const std::uint64_t size = file.Size();
    if (size > maxBytes) throw vx::FileError(TooLargeMessage(path, size, maxBytes, kind));
    MappedText text;
    text.utf8_ = false;
    if (size == 0) return text;
    auto mapping = std::make_unique<Mapping>();
    void* m = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, file.Fd(), 0);
    if (m == MAP_FAILED) vx::throwCannotOpen(path, errno);
    mapping->address = m;
    mapping->size = static_cast<std::size_t>(size);
    const char* bytes = static_cast<const char*>(m);
    if (asText && startsUtf16(bytes, mapping->size)) {
        // The text as mapped, not the file read once more by its name: it is the size checked above.
        mapping->converted = unicode::utf16BytesToUtf8(std::string_view(bytes + 2, mapping->size - 2),
                                                       static_cast<unsigned char>(bytes[0]) == 0xFE);
        text.bytes_ = mapping->converted;
        text.utf8_ = true;
    } else {
        text.bytes_ = std::string_view(bytes, mapping->size);
    }
    text.mapping_ = std::move(mapping);
    return text;
}

MappedText MappedText::FromUtf8(std::string_view utf8) {
    MappedText text;
    text.bytes_ = utf8;
    text.utf8_ = true;
    return text;
}

MappedText MappedText::FromStoredBytes(std::string_view bytes) {
    MappedText text;
    text.bytes_ = bytes;
    text.utf8_ = false;
    return text;
}

std::string MappedText::Utf8(std::string_view piece) const {
    return utf8_ ? std::string(piece) : cp1252::toUtf8(piece);
}

std::string_view MappedText::Utf8(std::string_view piece, std::string& scratch) const {
    if (utf8_ || cp1252::isAscii(piece)) return piece;
    scratch = cp1252::toUtf8(piece);
    return scratch;
}

namespace {

// The set bits of a word (without relying on the processor's popcount instruction).
inline std::size_t bitCount(uint64_t v) {
    v = v - ((v >> 1) & 0x5555555555555555ULL);
    v = (v & 0x3333333333333333ULL) + ((v >> 2) & 0x3333333333333333ULL);
    v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<std::size_t>((v * 0x0101010101010101ULL) >> 56);
}

// Line ends in text[pos, size) as LineCursor::Next takes them: LF, CR LF, CR CR LF and a CR that starts
// none of them count once each. Stops after the `limit`-th end and returns how many it counted; `after`
// is then the offset behind that end (behind the text's end when fewer were found). Works on 64 bytes at
// a time where the processor allows.
std::size_t countLineEnds(std::string_view text, std::size_t pos, std::size_t limit, std::size_t& after) {
    const char* const base = text.data();
    const std::size_t size = text.size();
    std::size_t counted = 0;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    auto masks = [&](const char* p, uint64_t& crMask, uint64_t& lfMask) {
        crMask = lfMask = 0;
        for (int k = 0; k < 4; ++k) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
            crMask |= static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, cr))))
                      << (16 * k);
            lfMask |= static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lf))))
                      << (16 * k);
        }
    };
    while (size - pos >= 64 && counted < limit) {
        uint64_t crMask, lfMask;
        masks(base + pos, crMask, lfMask);
        // A CR followed by LF or by CR LF ends its line at that LF (possibly in the next block): bit k of
        // lfNext, crNext and lfNext2 tells whether byte k + 1, k + 1 and k + 2 is LF, CR and LF.
        uint64_t lfNext = lfMask >> 1, crNext = crMask >> 1, lfNext2 = lfMask >> 2;
        const char after1 = pos + 64 < size ? base[pos + 64] : '\0';
        const char after2 = pos + 65 < size ? base[pos + 65] : '\0';
        if (after1 == '\n') {
            lfNext |= uint64_t{1} << 63;
            lfNext2 |= uint64_t{1} << 62;
        }
        if (after1 == '\r') crNext |= uint64_t{1} << 63;
        if (after2 == '\n') lfNext2 |= uint64_t{1} << 63;
        uint64_t ends = lfMask | (crMask & ~(lfNext | (crNext & lfNext2)));
        const std::size_t n = bitCount(ends);
        if (counted + n < limit) {
            counted += n;
            pos += 64;
            continue;
        }
        for (std::size_t need = limit - counted; need > 1; --need) ends &= ends - 1;
        after = pos + static_cast<std::size_t>(__builtin_ctzll(ends)) + 1;
        return limit;
    }
#endif
    // The rest byte by byte (an LF whose CR ended the blocks above still ends that line).
    while (pos < size && counted < limit) {
        const char c = base[pos];
        if (c == '\r' || c == '\n') {
            ++counted;
            pos = static_cast<std::size_t>(SkipLineEnd(base + pos, base + size) - base);
        } else {
            ++pos;
        }
    }
    after = pos;
    return counted;
}

}  // namespace

bool LineCursor::Skip(std::size_t n) {
    if (n == 0) return true;
    if (pos_ >= text_.size()) return false;
    std::size_t after = 0;
    const std::size_t ends = countLineEnds(text_, pos_, n, after);
    pos_ = after;
    // A last line without an ending counts as a line too.
    return ends == n || (ends + 1 == n && after >= text_.size() && !text_.empty() &&
                         text_.back() != '\n' && text_.back() != '\r');
}

std::size_t CountLines(std::string_view text) {
    if (text.empty()) return 0;
    std::size_t after = 0;
    const std::size_t ends = countLineEnds(text, 0, static_cast<std::size_t>(-1), after);
    return ends + ((text.back() != '\n' && text.back() != '\r') ? 1 : 0);
}

LineIndex::LineIndex(std::string_view text) : text_(text) {
    starts_.push_back(0);
    std::size_t pos = 0;
    for (;;) {
        std::size_t after = 0;
        const std::size_t ends = countLineEnds(text, pos, kStride, after);
        count_ += ends;
        if (ends < kStride) break;
        pos = after;
        starts_.push_back(pos);
    }
    if (!text.empty() && text.back() != '\n' && text.back() != '\r') ++count_;
}

LineCursor LineIndex::At(std::size_t n) const {
    if (n >= count_) return LineCursor(text_, text_.size());
    LineCursor c(text_, starts_[n / kStride]);
    c.Skip(n % kStride);
    return c;
}
