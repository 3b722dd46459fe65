#include "formats/jws_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/date_time.h"
#include "core/helpers.h"
#include "formats/binary_values.h"
#include "formats/compound_file.h"
#include "formats/reader_messages.h"
#include "formats/reader_record.h"
#include "formats/text_loader.h"
#include "formats/text_spectra_support.h"
#include "formats/value_gaps.h"
#include "platform/byte_order.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/ui.h"

using namespace byteorder;

namespace {

constexpr uint32_t kCompoundSignature = 0xE011CFD0;  // D0 CF 11 E0
constexpr uint32_t kFlatSignature = 0x20537E4C;      // "L~S "
constexpr int32_t kJwsSourceKind = 41;

// The file's bytes with every read checked against their end.
class Bytes {
public:
    explicit Bytes(std::string_view b) : d_(reinterpret_cast<const uint8_t*>(b.data())), size_(b.size()) {}
    std::size_t size() const { return size_; }
    bool has(std::size_t offset, std::size_t n) const { return offset <= size_ && n <= size_ - offset; }
    void need(std::size_t offset, std::size_t n) const {
        if (!has(offset, n)) vx::throwStreamRead();
    }
    uint16_t u16(std::size_t o) const { return need(o, 2), getU16LE(d_ + o); }
    uint32_t u32(std::size_t o) const { return need(o, 4), getU32LE(d_ + o); }
    float f32(std::size_t o) const { return need(o, 4), getF32LE(d_ + o); }
    double f64(std::size_t o) const { return need(o, 8), getF64LE(d_ + o); }
    const uint8_t* at(std::size_t o, std::size_t n) const { return need(o, n), d_ + o; }
    // The non-zero bytes of a fixed-width field, in order.
    std::string text(std::size_t o, std::size_t n) const {
        need(o, n);
        std::string s;
        for (std::size_t i = 0; i < n; ++i)
            if (d_[o + i] != 0) s += static_cast<char>(d_[o + i]);
        return cp1252::toUtf8(s);
    }

private:
    const uint8_t* d_;
    std::size_t size_;
};

// What the header of any variant gives about the x axis and the values.
struct Axis {
    double first = 0, last = 0, step = 0;
    SpecXUnit xUnit = SpecXNanometer;
    SpecYKind yKind = SpecYAbsorbance;
};

// The axis descriptor of the data header, 0x100001nn, names the x unit by nn; a descriptor without
// that mark leaves the unit to the x code.
constexpr uint32_t kAxisMarkMask = 0xFFFFFF00u, kAxisMark = 0x10000100u;

SpecXUnit xUnitOfDescriptor(uint32_t descriptor, SpecXUnit otherwise) {
    if ((descriptor & kAxisMarkMask) != kAxisMark) return otherwise;
    switch (descriptor & 0xFFu) {
    case 0x00: return SpecXWavenumber;
    case 0x01: return SpecXRamanShift;
    case 0x03: return SpecXNanometer;
    default: return otherwise;
    }
}

SpecYKind yKindOfCode(uint32_t code, SpecYKind otherwise) {
    switch (code) {
    case 0: return SpecYTransmittance;
    case 3: return SpecYAbsorbance;
    case 8: return SpecYTransmittance;
    case 14: return SpecYIntensity;
    default: return otherwise;
    }
}

double asDouble(const uint8_t* p) { return getF32LE(p); }

// The five numbers 3, 1, 0, 1 (or 3), 1 that stand before the data header.
bool isDataPattern(Bytes b, std::size_t p) {
    return b.u32(p) == 3 && b.u32(p + 4) == 1 && b.u32(p + 8) == 0 &&
             (b.u32(p + 12) == 1 || b.u32(p + 12) == 3) && b.u32(p + 16) == 1;
}

void showNotRecognized(const std::string& fileName) {
    ui::messageBox(fileName + "\r\n\r\n" + kJwsNotRecognized, "Varolux32", ui::Buttons::Ok, ui::Icon::Error);
}

// What a container gave: the header's axis, the values in file order and the count the header
// announced; for values that were no numbers, how many there were and how many of them stood before
// the first value kept and after the last (those places are gone from `values`).
struct Reading {
    Axis axis;
    std::vector<double> values;
    uint64_t count = 0;
    std::size_t notNumbers = 0;
    GapEnds gapEnds;
    // The places read, numbers or not.
    uint64_t read() const { return values.size() + gapEnds.lead + gapEnds.trail; }
};

// The compound data header that follows the pattern at `h`: count, axis, descriptor and codes.
void readDataHeader(Bytes b, std::size_t h, Reading& out) {
    b.need(h, 44);
    out.count = b.u32(h);
    Axis& a = out.axis;
    a.first = b.f64(h + 4);
    a.last = b.f64(h + 12);
    a.step = b.f64(h + 20);
    a.yKind = yKindOfCode(b.u32(h + 32), SpecYAbsorbance);
    const uint32_t xCode = b.u32(h + 40);
    a.xUnit = xUnitOfDescriptor(b.u32(h + 28), xCode == 2 ? SpecXWavenumber : SpecXNanometer);
}

// ---- Compound file, through its directory

constexpr std::size_t kChunk = std::size_t{1} << 20;

[[noreturn]] void damagedStream(const std::string& fileName, std::string_view stream) {
    throw vx::FileError("The stream \"" + std::string(stream) + "\" of " + fileName +
                        " cannot be read: the file is damaged.");
}

// Appends the f32 values of `len` bytes, noting on the way whether one was no finite number.
void appendValues(std::vector<double>& out, const uint8_t* p, std::size_t len, uint64_t& nonFinite) {
    using Values = binvalues::FieldIterator<4, decltype(&asDouble)>;
    out.insert(out.end(), Values(p, &asDouble, &nonFinite), Values(p + len, &asDouble, &nonFinite));
}

// Values of Y-Data from `at` on, where a piece of `left` bytes could not be read whole: the stream's
// sectors end early (the file is cut short, or a chain breaks off). What the sectors still give is
// read in ever smaller pieces, to the last whole value they hold.
void readUpToBreak(compound::Stream& data, uint64_t at, uint64_t left, std::vector<double>& out,
                   uint64_t& nonFinite) {
    for (const std::size_t piece : {std::size_t{512}, std::size_t{4}}) {
        if (!data.Seek(at)) return;
        for (; left > 0;) {
            const std::size_t len = static_cast<std::size_t>(std::min<uint64_t>(left, piece));
            const uint8_t* p = data.Next(len);
            if (!p) break;
            appendValues(out, p, len, nonFinite);
            at += len;
            left -= len;
        }
    }
}

// A value that is no number keeps its place on the grid and is filled in between its neighbours.
void fillNotNumbers(Reading& out) {
    std::vector<std::size_t> gaps;
    for (std::size_t i = 0; i < out.values.size(); ++i)
        if (!std::isfinite(out.values[i])) gaps.push_back(i);
    out.notNumbers = gaps.size();
    out.gapEnds = FillValueGaps(out.values, gaps);
}

// The header from the "DataInfo" stream and exactly the announced number of values from the "Y-Data"
// stream (fewer when the stream ends before, or its sectors do). Invalid points, which the instrument
// marks with a tiny negative number, keep their places, so every value stays at its x; so do values
// that are no numbers, filled in. Nothing when the directory does not hold both streams; a "DataInfo"
// that does not begin with the pattern is no data header.
enum class Route { Read, NoStreams, NoHeader };

Route readStreams(const compound::File& file, std::size_t fileSize, const std::string& fileName, Reading& out) {
    bool damaged = false;
    std::optional<compound::Stream> info = file.TopStream("DataInfo", damaged);
    if (damaged) damagedStream(fileName, "DataInfo");
    std::optional<compound::Stream> data = file.TopStream("Y-Data", damaged);
    if (damaged) damagedStream(fileName, "Y-Data");
    if (!info || !data) return Route::NoStreams;
    // No stream holds more than the file it is in.
    if (info->Size() > fileSize) damagedStream(fileName, "DataInfo");
    if (data->Size() > fileSize) damagedStream(fileName, "Y-Data");

    constexpr std::size_t kHeader = 64;  // the pattern and the data header's fields
    if (info->Size() < kHeader) vx::throwStreamRead();
    const uint8_t* head = info->Next(kHeader);
    if (!head) damagedStream(fileName, "DataInfo");
    const Bytes h(std::string_view(reinterpret_cast<const char*>(head), kHeader));
    if (!isDataPattern(h, 0)) return Route::NoHeader;
    readDataHeader(h, 20, out);

    const uint64_t n = std::min<uint64_t>(out.count, data->Size() / 4);
    binvalues::ReserveFaultedIn(out.values, static_cast<std::size_t>(n));
    uint64_t nonFinite = 0;
    for (uint64_t left = n * 4; left > 0;) {
        const std::size_t len = static_cast<std::size_t>(std::min<uint64_t>(left, kChunk));
        const uint8_t* p = data->Next(len);
        if (!p) {
            readUpToBreak(*data, n * 4 - left, left, out.values, nonFinite);
            // Values that can be read are kept; a stream that gives none is damaged.
            if (out.values.empty()) damagedStream(fileName, "Y-Data");
            break;
        }
        appendValues(out.values, p, len, nonFinite);
        left -= len;
    }
    if (nonFinite) fillNotNumbers(out);
    return Route::Read;
}

// ---- Compound file, by the data block's pattern (files whose directory names no data streams)

// The values of a data block from `start`: a value is kept while it or its successor lies in the
// plausible range, so a run of padding after the data ends the list. A run outside the range that
// plausible values follow again lies inside the data (the instrument marks invalid points with a tiny
// negative number): it keeps its places, as it does where the directory names the data stream, so
// every value stays at its x. Values that are no numbers are passed over; at most `count` are kept.
std::vector<double> compoundValues(Bytes b, std::size_t start, uint64_t count) {
    std::vector<double> values;
    if (!b.has(start, 4)) return values;
    binvalues::ReserveFaultedIn(values, static_cast<std::size_t>(std::min<uint64_t>(count, (b.size() - start) / 4)));
    std::size_t p = start;
    auto next = [&](float& out) {
        for (; p + 4 <= b.size(); p += 4) {
            const float v = b.f32(p);
            if (std::isfinite(v)) {
                out = v;
                p += 4;
                return true;
            }
        }
        return false;
    };
    // The run outside the range not kept so far: where its first value stands and how many it holds.
    std::size_t heldFrom = 0;
    uint64_t held = 0;
    auto hold = [&](std::size_t at) {
        if (held++ == 0) heldFrom = at;
    };
    auto keep = [&](double v) {
        for (std::size_t q = heldFrom; held > 0 && values.size() < count; q += 4) {
            const float h = b.f32(q);
            if (std::isfinite(h)) {
                values.push_back(h);
                --held;
            }
        }
        held = 0;
        if (values.size() < count) values.push_back(v);
    };
    auto inside = [](double v) { return std::fabs(v) > 1e-12 && std::fabs(v) < 1e15; };
    auto outside = [](double v) { return std::fabs(v) < 1e-12 || std::fabs(v) > 1e15; };
    float prev = 0, cur = 0;
    if (!next(prev)) return values;
    std::size_t prevAt = p - 4;
    bool bothOutside = false;
    while (values.size() < count && next(cur)) {
        if ((inside(prev) || inside(cur)) && !bothOutside) keep(prev);
        else hold(prevAt);
        bothOutside = outside(prev) && outside(cur);
        prev = cur;
        prevAt = p - 4;
    }
    if (values.size() < count && !outside(prev)) keep(prev);
    return values;
}

// The data block is found by its pattern on 64-byte steps after the first four sectors.
bool readByPattern(Bytes b, Reading& out) {
    b.need(0, 76);  // the header fields the container's layout puts up to offset 75
    const uint16_t version = b.u16(26);
    const uint16_t shift = b.u16(30);
    if (shift > 24) return false;
    const std::size_t base = std::size_t{4} << shift;
    // Pattern and data header take 64 bytes; a position with fewer left cannot hold them.
    std::size_t at = base;
    std::size_t d = 0;
    for (;; ++d, at += 64) {
        if (!b.has(at, 64)) return false;
        if (isDataPattern(b, at)) break;
    }
    readDataHeader(b, at + 20, out);

    // The values begin at the first non-zero number on the version's grid after the data header.
    const std::size_t offset = version == 3 ? 0 : 512;
    for (std::size_t c = d + 1;; ++c) {
        const std::size_t p = base + 64 * c + offset;
        if (!b.has(p, 4)) return true;
        if (std::fabs(double(b.f32(p))) > 1e-10) {
            out.values = compoundValues(b, p, out.count);
            break;
        }
    }
    return true;
}

// Through the directory where it names the data streams, else by the pattern. False when neither
// finds a data header.
bool readCompound(Bytes b, std::string_view bytes, const std::string& fileName, Reading& out) {
    // A container the library does not take is left to the pattern search.
    if (const std::optional<compound::File> file = compound::File::Open(bytes)) {
        switch (readStreams(*file, bytes.size(), fileName, out)) {
        case Route::Read: return true;
        case Route::NoHeader: return false;
        case Route::NoStreams: break;
        }
    }
    return readByPattern(b, out);
}

// ---- Flat layout

// Variant A: counts and axis at 132, values from 1720 after leading zeros.
void readFlatA(Bytes b, TSpectrumRecord& r, Reading& out) {
    b.need(0, 928);
    const uint32_t count = b.u32(132);
    out.count = count;
    Axis& a = out.axis;
    a.first = b.f64(136);
    a.last = b.f64(144);
    a.step = b.f64(152);
    a.yKind = yKindOfCode(b.u32(164), SpecYIntensity);
    const float xCode = b.f32(840);
    a.xUnit = xUnitOfDescriptor(
        b.u32(160), std::isfinite(xCode) && std::nearbyint(xCode) == 4 ? SpecXWavenumber : SpecXNanometer);
    const std::string bandwidth = b.text(852, 7);
    const std::string speed = b.text(916, 12);
    if (!bandwidth.empty()) r.Comment1 = "Bandwidth: " + bandwidth + "; ";
    if (!speed.empty()) r.Comment2 = "Speed: " + speed;

    constexpr std::size_t kValuesFrom = 1720;
    std::size_t p = kValuesFrom;
    while (b.has(p, 4) && !(std::fabs(double(b.f32(p))) > 1e-10)) p += 4;
    // The values run to the file's end. When the leading values passed over leave fewer than the
    // count before it, they were values (zeros, or the marks of invalid points): the values are the
    // file's last ones.
    const uint64_t room = b.size() > kValuesFrom ? (b.size() - kValuesFrom) / 4 : 0;
    if (count <= room && (b.size() - std::min(p, b.size())) / 4 < count) p = b.size() - std::size_t{4} * count;
    // In one pass where every value is a number; values that are none are passed over, the count then
    // made up from the values behind them.
    const std::size_t n = std::min<std::size_t>(count, (b.size() - std::min(p, b.size())) / 4);
    if (n == 0 || binvalues::ConvertInto<4>(out.values, b.at(p, 4 * n), n, asDouble)) return;
    out.values.clear();
    for (; out.values.size() < count && b.has(p, 4); p += 4) {
        const float v = b.f32(p);
        if (std::isfinite(v)) out.values.push_back(v);
    }
}

// Variant "R1": texts, counts and axis in the first 640 bytes, the values after them.
void readFlatR1(Bytes b, TSpectrumRecord& r, Reading& out) {
    b.need(0, 640);
    Axis& a = out.axis;
    const std::string bandwidth = b.text(152, 7);
    const std::string sensitivity = b.text(160, 8);
    a.step = b.u32(192) / 1000.0;
    const std::string speed = b.text(200, 4);
    const uint16_t count = b.u16(212);
    out.count = count;
    const uint16_t accumulations = b.u16(214);
    a.last = b.f64(252);
    a.first = b.f64(260);
    const std::string title = b.text(320, 32);
    const std::string solvent = b.text(376, 32);
    a.xUnit = SpecXNanometer;
    a.yKind = SpecYIntensity;

    std::string c1;
    if (!bandwidth.empty()) c1 = "Bandwidth: " + bandwidth + "; ";
    if (!sensitivity.empty()) c1 += "Sensitivity: " + sensitivity + "; ";
    r.Comment1 = c1;
    std::string c2;
    if (!speed.empty()) c2 = "Speed: " + speed + "nm/min; ";
    c2 += "Accumulations: " + std::to_string(accumulations) + "; ";
    r.Comment2 = c2;
    if (!title.empty()) r.Title = title;
    if (!solvent.empty()) r.Solvent = solvent;

    b.need(640, std::size_t{4} * count);
    out.values.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const float v = b.f32(640 + 4 * i);
        if (std::isfinite(v)) out.values.push_back(v);
    }
}

// A file whose values end before its count keeps those it holds, and one whose values were not all
// numbers has them filled in (or, at an end of the spectrum, left out): one message says all of it.
void report(const std::string& fileName, const Reading& got, uint64_t read) {
    std::string text;
    if (read < got.count) text = JwsShortValuesText(read, got.count);
    auto note = [&text](const std::string& line) { text += (text.empty() ? "" : "\r\n") + line; };
    const std::size_t atEnds = got.gapEnds.lead + got.gapEnds.trail;
    if (got.notNumbers > atEnds) note(FilledInValuesText(got.notNumbers - atEnds));
    if (atEnds == 1) note("1 value at an end of the spectrum was not a number; it was left out.");
    if (atEnds > 1) note(std::to_string(atEnds) + " values at the ends of the spectrum were not numbers; they were left out.");
    if (text.empty()) return;
    ui::messageBox(fileName + "\r\n\r\n" + text, "Varolux32", ui::Buttons::Ok, ui::Icon::Information);
}

}  // namespace

std::string JwsShortValuesText(std::size_t read, std::uint64_t count) {
    return "holds only " + std::to_string(read) + " of the " + std::to_string(count) +
           " values its header announces; " + std::to_string(read) + " points were read.";
}

void ReadJwsBytes(TSpectrumRecord& rec, std::string_view bytes, const std::string& fileName) {
    const Bytes b(bytes);
    TSpectrumRecord r = StartReaderRecord(rec, fileName, NameWithoutFolder(fileName), "jasco_jws", kJwsSourceKind, "");

    Reading got;
    const uint32_t signature = b.u32(0);
    if (signature == kCompoundSignature) {
        if (!readCompound(b, bytes, fileName, got)) {
            showNotRecognized(fileName);
            return;
        }
    } else if (signature == kFlatSignature) {
        if (b.text(32, 2) == "R1")
            readFlatR1(b, r, got);
        else
            readFlatA(b, r, got);
    } else {
        showNotRecognized(fileName);
        return;
    }

    // Wavelengths run ascending, wavenumbers descending; the header's step gives the grid. Places left
    // out before the first value kept move the grid's start on.
    const Axis& a = got.axis;
    const uint64_t read = got.read();
    std::vector<double>& values = got.values;
    const auto n = static_cast<double>(values.size());
    const bool reverse = a.xUnit == SpecXNanometer ? a.last < a.first : a.last > a.first;
    r.StepX = a.xUnit == SpecXNanometer ? std::fabs(a.step) : -std::fabs(a.step);
    const double first = a.first + static_cast<double>(got.gapEnds.lead) * (reverse ? -r.StepX : r.StepX);
    r.FirstX = reverse ? first - (n - 1) * r.StepX : first;
    if (reverse) std::reverse(values.begin(), values.end());
    if (a.yKind == SpecYTransmittance || a.yKind == SpecYReflectance)
        for (double& v : values) v = TransmittanceToStored(v, true, 1e-6, 6.0);
    r.XUnit = a.xUnit;
    r.YKind = a.yKind;
    r.Values = std::move(values);
    if (!r.IsComplete()) return;
    report(fileName, got, read);
    rec = std::move(r);
}

void LoadJwsFile(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes) {
    const MappedText file = MappedText::OpenBinaryFile(fileName, maxBytes, "JWS");
    TSpectrumRecord r;
    r.Color = rec.Color;
    r.LineStyle = rec.LineStyle;
    ReadJwsBytes(r, file.Bytes(), fileName);
    if (r.Values.empty()) return;
    r.DateText = DateTimeToText(FileDateTimeOf(fileName));
    rec = std::move(r);
}
