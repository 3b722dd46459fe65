#include "formats/procspectrum_archive.h"

#include <sys/mman.h>
#include <zip.h>

#include <algorithm>
#include <cstring>
#include <cmath>
#include <memory>
#include <new>
#include <vector>

#include "core/date_time.h"
#include "core/helpers.h"
#include "core/units.h"
#include "formats/binary_values.h"
#include "formats/reader_record.h"
#include "formats/resample.h"
#include "formats/text_loader.h"
#include "formats/text_lines.h"
#include "formats/text_spectra_support.h"
#include "platform/errors.h"
#include "platform/input_file.h"

namespace {

constexpr int32_t kSourceProcSpec = 42;
constexpr std::size_t kChunk = std::size_t{1} << 20;

struct ArchiveCloser {
    void operator()(zip_t* z) const { zip_discard(z); }  // read only: nothing is written back
};
struct MemberCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;
using Member = std::unique_ptr<zip_file_t, MemberCloser>;

[[noreturn]] void cannotOpen(const std::string& fileName) { throw vx::FileError("Cannot open file " + fileName); }

// "ps_*.xml" on the name part of a member, ignoring case.
bool isSpectrumMember(std::string_view name) {
    const std::size_t slash = name.find_last_of('/');
    if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    const std::string n = LowerAscii(std::string(name));
    return n.size() >= 7 && n.compare(0, 3, "ps_") == 0 && n.compare(n.size() - 4, 4, ".xml") == 0;
}

// An extracted member: its bytes in a buffer of their own (never zero-filled first).
// The member's text in memory mapped and filled in one go: a member runs to many megabytes, and page by
// page faulting of a fresh buffer costs as much as reading it.
struct MappedBytes {
    std::size_t length = 0;
    void operator()(char* p) const {
        if (p) ::munmap(p, length);
    }
};

struct MemberText {
    std::unique_ptr<char[], MappedBytes> bytes;
    std::size_t size = 0;
    std::string_view view() const { return {bytes.get(), size}; }
};

// The text of the last spectrum member; empty when there is none.
MemberText extractMember(zip_t* z, const std::string& fileName) {
    const zip_int64_t entries = zip_get_num_entries(z, 0);
    zip_int64_t chosen = -1;
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char* name = zip_get_name(z, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
        if (name && isSpectrumMember(name)) chosen = i;
    }
    if (chosen < 0) return {};
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(z, static_cast<zip_uint64_t>(chosen), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        cannotOpen(fileName);
    if (st.size > kProcSpecMaxMember)
        throw vx::FileError("The spectrum in " + fileName + " is larger than 256 MiB and is not read.");
    Member f(zip_fopen_index(z, static_cast<zip_uint64_t>(chosen), 0));
    if (!f) cannotOpen(fileName);
    // The member is read in chunks and never beyond the size its entry declares; one byte more shows a
    // member longer than declared.
    MemberText text;
    const std::size_t declared = static_cast<std::size_t>(st.size);
    void* m = ::mmap(nullptr, declared + 1, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (m == MAP_FAILED) throw std::bad_alloc();
    text.bytes = std::unique_ptr<char[], MappedBytes>(static_cast<char*>(m), MappedBytes{declared + 1});
    binvalues::AdviseHugePages(m, declared + 1);
    binvalues::FaultIn(m, declared + 1);
    for (;;) {
        const std::size_t want = std::min(kChunk, declared + 1 - text.size);
        const zip_int64_t got = zip_fread(f.get(), text.bytes.get() + text.size, want);
        if (got < 0) cannotOpen(fileName);
        if (got == 0) break;
        text.size += static_cast<std::size_t>(got);
        if (text.size > declared) cannotOpen(fileName);
    }
    if (text.size != declared) cannotOpen(fileName);
    return text;
}

// Walks the member's lines by number, as the scan of a string list does: a scan past the last line is
// the list index error.
class LineWalk {
public:
    explicit LineWalk(std::string_view text) : cursor_(text), text_(text) {}
    std::size_t position() const { return cursor_.Position(); }
    // The text from the current position on.
    std::string_view rest() const { return text_.substr(position()); }
    bool next(std::string_view& line) {
        if (!cursor_.Next(line)) return false;
        ++index_;
        return true;
    }
    std::string_view need() {
        std::string_view line;
        if (!next(line)) throw vx::ListIndexError(static_cast<long long>(index_));
        return line;
    }
    void skip(std::size_t n) {
        while (n-- > 0) need();
    }
    // Where `tag` first stands from the current position on (an offset into the text); not there, the
    // list index error of a scan that runs past the last line.
    std::size_t find(std::string_view tag) const {
        // Every line holds a "<": a search that stops at each of them is slow on a large member.
        const std::string_view r = rest();
        const void* at = ::memmem(r.data(), r.size(), tag.data(), tag.size());
        if (!at) throw vx::ListIndexError(static_cast<long long>(index_ + CountLines(r)));
        return position() + static_cast<std::size_t>(static_cast<const char*>(at) - r.data());
    }
    // Lines up to and including the first that holds `tag`.
    void findLine(std::string_view tag) {
        const std::size_t at = find(tag);
        while (position() <= at) need();
    }

private:
    LineCursor cursor_;
    std::string_view text_;
    std::size_t index_ = 0;  // lines taken so far
};

// The value of an element line: the text between ">" and the next "<" (the whole line without them).
double elementValue(std::string_view line) {
    std::size_t b = line.find('>');
    b = b == std::string_view::npos ? 0 : b + 1;
    std::size_t e = line.find('<', b);
    if (e == std::string_view::npos) e = line.size();
    return ReadNumberToken(TrimView(line.substr(b, e - b)));
}

// The values of the lines after the current one up to the line holding `closing`. The closing tag is
// found first, so a list without one is the list index error whatever its lines hold.
void readElementList(LineWalk& w, std::string_view closing, PairList& out) {
    const std::size_t end = w.find(closing);
    out.reserve((end - w.position()) / 2 + 1);  // a value line takes two bytes at least
    binvalues::FaultAhead ahead;
    for (;;) {
        const std::size_t lineStart = w.position();
        const std::string_view line = w.need();
        if (lineStart + line.size() > end) return;  // the closing line
        out.push_back(elementValue(line));
        ahead(out);
    }
}

}  // namespace

void ReadProcSpecXml(TSpectrumRecord& rec, std::string_view xml, const std::string& fileName,
                     const std::string& dateText) {
    TSpectrumRecord r =
        StartReaderRecord(rec, fileName, NameWithoutExtension(fileName), "oo_procspec", kSourceProcSpec, dateText);

    PairList xs, ys;
    LineWalk w(xml);
    w.skip(1);
    w.findLine("<channelWavelengths>");
    readElementList(w, "</channelWavelengths>", xs);
    // The y kind is named by the first unit reference after the wavelengths; without one, absorbance.
    r.YKind = SpecYAbsorbance;
    for (std::string_view line; w.next(line);) {
        if (line.find("<yUnits") == std::string_view::npos || line.find("reference") == std::string_view::npos)
            continue;
        if (line.find("CountsIntensity") != std::string_view::npos) r.YKind = SpecYIntensity;
        if (line.find("AbsorbanceIntensity") != std::string_view::npos) r.YKind = SpecYAbsorbance;
        if (line.find("TransmissionIntensity") != std::string_view::npos) r.YKind = SpecYTransmittance;
        if (line.find("ReflectionIntensity") != std::string_view::npos) r.YKind = SpecYReflectance;
        break;
    }
    const bool counts = r.YKind == SpecYIntensity;
    LineWalk v(xml);
    v.skip(2);
    v.findLine(counts ? "<pixelValues>" : "<processedPixels>");
    readElementList(v, counts ? "</pixelValues>" : "</processedPixels>", ys);

    // Wavelengths and values pair by position: lists of different length have no pairing.
    if (xs.size() != ys.size()) throw vx::ListIndexError(static_cast<long long>(std::min(xs.size(), ys.size())));
    if (xs.empty()) throw vx::ListIndexError(0);
    // One pair, or no x range, gives no step.
    if (!ResampleXYEitherOrder(xs, ys, r)) vx::throwInvalidFloatOp();
    if (r.YKind == SpecYTransmittance || r.YKind == SpecYReflectance) {
        const bool percent = LargestNonNegative(r.Values) > 1.2;
        for (double& y : r.Values) y = TransmittanceToStored(y, percent, 1e-6, 6.0);
    }
    if (!r.IsComplete()) r.Values.clear();
    rec = std::move(r);
}

void ReadSpecProcSpecBytes(TSpectrumRecord& rec, std::string_view archive, const std::string& fileName,
                           const std::string& dateText) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src = zip_source_buffer_create(archive.data(), archive.size(), 0, &error);
    if (!src) {
        zip_error_fini(&error);
        cannotOpen(fileName);
    }
    Archive z(zip_open_from_source(src, ZIP_RDONLY, &error));
    zip_error_fini(&error);
    if (!z) {
        zip_source_free(src);
        cannotOpen(fileName);
    }
    const MemberText xml = extractMember(z.get(), fileName);
    z.reset();
    ReadProcSpecXml(rec, xml.view(), fileName, dateText);
}

void LoadSpecProcSpec(TSpectrumRecord& rec, const std::string& fileName) {
    // Opened here, so that a pipe or device under the name is refused before the ZIP reader waits on it.
    InputFile file = InputFile::OpenOrThrow(fileName, vx::FileNaming::Bare);
    int err = 0;
    Archive z(zip_fdopen(file.Fd(), 0, &err));  // read only
    if (!z) cannotOpen(fileName);
    file.Release();  // the archive owns it now
    const MemberText xml = extractMember(z.get(), fileName);
    z.reset();
    ReadProcSpecXml(rec, xml.view(), fileName, DateTimeToText(FileDateTimeOf(fileName)));
}
