#include "formats/jws_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/date_time.h"
#include "core/helpers.h"
#include "formats/format_table.h"
#include "formats/reader_record.h"
#include "formats/text_loader.h"
#include "formats/text_spectra_support.h"
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
    int32_t xUnit = SpecXNanometer;
    int32_t yKind = SpecYAbsorbance;
};

int32_t yKindOfCode(uint32_t code, int32_t otherwise) {
    switch (code) {
    case 0: return SpecYTransmittance;
    case 3: return SpecYAbsorbance;
    case 8: return SpecYTransmittance;
    case 14: return SpecYIntensity;
    default: return otherwise;
    }
}

// The five numbers 3, 1, 0, 1 (or 3), 1 that stand before the data header.
bool isDataPattern(Bytes b, std::size_t p) {
    return b.u32(p) == 3 && b.u32(p + 4) == 1 && b.u32(p + 8) == 0 &&
             (b.u32(p + 12) == 1 || b.u32(p + 12) == 3) && b.u32(p + 16) == 1;
}

void showNotRecognized(const std::string& fileName) {
    ui::messageBox(fileName + "\r\n\r\n" + kJwsNotRecognized, "Varolux32", ui::Buttons::Ok, ui::Icon::Error);
}

// The values of a data block from `start`: a value is kept while it or its successor lies in the
// plausible range, so a run of padding after the data ends the list. Values that are no numbers are
// passed over; at most `count` are kept.
std::vector<double> compoundValues(Bytes b, std::size_t start, uint32_t count) {
    std::vector<double> values;
    if (!b.has(start, 4)) return values;
    values.reserve(std::min<std::size_t>(count, (b.size() - start) / 4));
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
    auto inside = [](double v) { return std::fabs(v) > 1e-12 && std::fabs(v) < 1e15; };
    auto outside = [](double v) { return std::fabs(v) < 1e-12 || std::fabs(v) > 1e15; };
    float prev = 0, cur = 0;
    if (!next(prev)) return values;
    bool bothOutside = false;
    while (values.size() < count && next(cur)) {
        if ((inside(prev) || inside(cur)) && !bothOutside) values.push_back(prev);
        bothOutside = outside(prev) && outside(cur);
        prev = cur;
    }
    if (values.size() < count && !outside(prev)) values.push_back(prev);
    return values;
}

// Compound file: the data block is found by its pattern on 64-byte steps after the first four sectors.
bool readCompound(Bytes b, Axis& a, std::vector<double>& values) {
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
    const std::size_t h = at + 20;
    const uint32_t count = b.u32(h);
    a.first = b.f64(h + 4);
    a.last = b.f64(h + 12);
    a.step = b.f64(h + 20);
    a.yKind = yKindOfCode(b.u32(h + 32), SpecYAbsorbance);
    const uint32_t xCode = b.u32(h + 40);
    a.xUnit = xCode == 2 ? SpecXWavenumber : SpecXNanometer;

    // The values begin at the first non-zero number on the version's grid after the data header.
    const std::size_t offset = version == 3 ? 0 : 512;
    for (std::size_t c = d + 1;; ++c) {
        const std::size_t p = base + 64 * c + offset;
        if (!b.has(p, 4)) return true;
        if (std::fabs(double(b.f32(p))) > 1e-10) {
            values = compoundValues(b, p, count);
            break;
        }
    }
    return true;
}

// Flat layout, variant A: counts and axis at 132, values from 1720 after leading zeros.
void readFlatA(Bytes b, TSpectrumRecord& r, Axis& a, std::vector<double>& values) {
    b.need(0, 928);
    const uint32_t count = b.u32(132);
    a.first = b.f64(136);
    a.last = b.f64(144);
    a.step = b.f64(152);
    a.yKind = yKindOfCode(b.u32(164), SpecYIntensity);
    const float xCode = b.f32(840);
    a.xUnit = std::isfinite(xCode) && std::nearbyint(xCode) == 4 ? SpecXWavenumber : SpecXNanometer;
    const std::string bandwidth = b.text(852, 7);
    const std::string speed = b.text(916, 12);
    if (!bandwidth.empty()) r.Comment1 = "Bandwidth: " + bandwidth + "; ";
    if (!speed.empty()) r.Comment2 = "Speed: " + speed;

    std::size_t p = 1720;
    while (b.has(p, 4) && !(std::fabs(double(b.f32(p))) > 1e-10)) p += 4;
    values.reserve(std::min<std::size_t>(count, (b.size() - std::min(p, b.size())) / 4));
    for (; values.size() < count && b.has(p, 4); p += 4) {
        const float v = b.f32(p);
        if (std::isfinite(v)) values.push_back(v);
    }
}

// Flat layout, variant "R1": texts, counts and axis in the first 640 bytes, the values after them.
void readFlatR1(Bytes b, TSpectrumRecord& r, Axis& a, std::vector<double>& values) {
    b.need(0, 640);
    const std::string bandwidth = b.text(152, 7);
    const std::string sensitivity = b.text(160, 8);
    a.step = b.u32(192) / 1000.0;
    const std::string speed = b.text(200, 4);
    const uint16_t count = b.u16(212);
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
    values.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const float v = b.f32(640 + 4 * i);
        if (std::isfinite(v)) values.push_back(v);
    }
}

}  // namespace

void ReadJwsBytes(TSpectrumRecord& rec, std::string_view bytes, const std::string& fileName) {
    const Bytes b(bytes);
    TSpectrumRecord r = StartReaderRecord(rec, fileName, NameWithoutFolder(fileName), "jasco_jws", kJwsSourceKind, "");

    Axis a;
    std::vector<double> values;
    const uint32_t signature = b.u32(0);
    if (signature == kCompoundSignature) {
        if (!readCompound(b, a, values)) {
            showNotRecognized(fileName);
            return;
        }
    } else if (signature == kFlatSignature) {
        if (b.text(32, 2) == "R1")
            readFlatR1(b, r, a, values);
        else
            readFlatA(b, r, a, values);
    } else {
        showNotRecognized(fileName);
        return;
    }

    // Wavelengths run ascending, wavenumbers descending; the header's step gives the grid.
    const auto n = static_cast<double>(values.size());
    const bool reverse = a.xUnit == SpecXNanometer ? a.last < a.first : a.last > a.first;
    r.StepX = a.xUnit == SpecXNanometer ? std::fabs(a.step) : -std::fabs(a.step);
    r.FirstX = reverse ? a.first - (n - 1) * r.StepX : a.first;
    if (reverse) std::reverse(values.begin(), values.end());
    if (a.yKind == SpecYTransmittance || a.yKind == SpecYReflectance)
        for (double& v : values) v = TransmittanceToStored(v, true, 1e-6, 6.0);
    r.XUnit = a.xUnit;
    r.YKind = a.yKind;
    r.Values = std::move(values);
    if (r.IsComplete()) rec = std::move(r);
}

void LoadJwsFile(TSpectrumRecord& rec, const std::string& fileName) {
    const MappedText file = MappedText::OpenBinaryFile(fileName, ReadLimitOf(OpenFormat::Jws), "JWS");
    TSpectrumRecord r;
    r.Color = rec.Color;
    r.LineStyle = rec.LineStyle;
    ReadJwsBytes(r, file.Bytes(), fileName);
    if (r.Values.empty()) return;
    r.DateText = DateTimeToText(FileDateTimeOf(fileName));
    rec = std::move(r);
}
