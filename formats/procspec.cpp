#include "formats/procspec.h"

#include <zip.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "core/date_time.h"
#include "core/helpers.h"
#include "core/units.h"
#include "formats/resample.h"
#include "formats/text_lines.h"
#include "formats/text_spectra_support.h"
#include "platform/errors.h"

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

// The text of the last spectrum member; empty when there is none.
std::string extractMember(zip_t* z, const std::string& fileName) {
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
    // The member is read in chunks and never beyond the size its entry declares.
    std::string text;
    text.reserve(static_cast<std::size_t>(st.size));
    std::size_t have = 0;
    for (;;) {
        const std::size_t room = static_cast<std::size_t>(st.size) - have;
        const std::size_t want = std::min(kChunk, room + 1);  // one byte more shows a member longer than declared
        text.resize(have + want);
        const zip_int64_t got = zip_fread(f.get(), text.data() + have, want);
        if (got < 0) cannotOpen(fileName);
        if (got == 0) break;
        have += static_cast<std::size_t>(got);
        if (have > st.size) cannotOpen(fileName);
    }
    if (have != st.size) cannotOpen(fileName);
    text.resize(have);
    return text;
}

// Walks the member's lines by number, as the scan of a string list does: a scan past the last line is
// the list index error.
class LineWalk {
public:
    explicit LineWalk(std::string_view text) : text_(text) {}
    std::size_t index() const { return index_; }
    bool next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        const char* b = text_.data() + pos_;
        const char* e = text_.data() + text_.size();
        const char* p = b;
        while (p < e && *p != '\r' && *p != '\n') ++p;
        line = std::string_view(b, static_cast<std::size_t>(p - b));
        if (p < e) p += (*p == '\r' && p + 1 < e && p[1] == '\n') ? 2 : 1;
        pos_ = static_cast<std::size_t>(p - text_.data());
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
    // Lines up to and including the first that holds `tag`.
    void findLine(std::string_view tag) {
        while (need().find(tag) == std::string_view::npos) {
        }
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
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

// The values of the lines after the current one up to the line holding `closing`. The closing line is
// found first, so a list without one is the list index error whatever its lines hold.
void readElementList(LineWalk& w, std::string_view closing, std::vector<double>& out) {
    LineWalk values = w;
    std::size_t count = 0;
    while (w.need().find(closing) == std::string_view::npos) ++count;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) out.push_back(elementValue(values.need()));
}

}  // namespace

void ReadProcSpecXml(TSpectrumRecord& rec, std::string_view xml, const std::string& fileName,
                     const std::string& dateText) {
    TSpectrumRecord r;
    r.FileName = fileName;
    r.Title = NameWithoutExtension(fileName);
    r.SpecType = "oo_procspec";
    r.DateText = dateText;
    r.SourceKind = kSourceProcSpec;
    r.XUnit = SpecXNanometer;
    r.Color = rec.Color;
    r.LineStyle = rec.LineStyle;

    std::vector<double> xs, ys;
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
    if (xs.front() > xs.back()) {
        std::reverse(xs.begin(), xs.end());
        std::reverse(ys.begin(), ys.end());
    }
    const int32_t n = static_cast<int32_t>(xs.size());
    if (n < 2 || xs.back() == xs.front()) vx::throwInvalidFloatOp();
    const double step = (xs.back() - xs.front()) / (n - 1);
    if (!std::isfinite(step)) vx::throwInvalidFloatOp();
    ResampleOntoGrid(xs, ys, xs.front(), step, n, r.Values);
    if (r.YKind == SpecYTransmittance || r.YKind == SpecYReflectance) {
        double ymax = 0.0;
        for (double y : r.Values) ymax = std::max(ymax, y);
        const bool percent = ymax > 1.2;
        for (double& y : r.Values) y = TransmittanceToStored(y, percent, 1e-6, 6.0);
    }
    r.FirstX = xs.front();
    r.StepX = step;
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
    const std::string xml = extractMember(z.get(), fileName);
    z.reset();
    ReadProcSpecXml(rec, xml, fileName, dateText);
}

void LoadSpecProcSpec(TSpectrumRecord& rec, const std::string& fileName) {
    int err = 0;
    Archive z(zip_open(fileName.c_str(), ZIP_RDONLY, &err));
    if (!z) cannotOpen(fileName);
    const std::string xml = extractMember(z.get(), fileName);
    z.reset();
    ReadProcSpecXml(rec, xml, fileName, DateTimeToText(FileDateTimeOf(fileName)));
}
