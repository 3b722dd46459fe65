#include "formats/perkinelmer_sp.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/date_time.h"
#include "core/helpers.h"
#include "core/units.h"
#include "formats/binary_values.h"
#include "formats/reader_record.h"
#include "formats/text_lines.h"
#include "platform/byte_order.h"
#include "platform/codepage.h"
#include "formats/text_loader.h"
#include "formats/text_spectra_support.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"

using namespace byteorder;

namespace {

constexpr const char* kTag = "perkinelmer_sp";

// What a layout read, before the common finishing.
struct Scan {
    std::vector<double> values;
    double firstX = 0.0;
    double lastX = 0.0;
    double step = 0.0;  // its size; the sign follows the x unit
    bool fluorescence = false;
    // Values converted from binary fields were checked as they were made; parsed ones are checked at
    // the end.
    bool valuesChecked = false;
};

TSpectrumRecord startRecord(const TSpectrumRecord& caller, const std::string& fileName, const std::string& dateText) {
    TSpectrumRecord r =
        StartReaderRecord(caller, fileName, NameWithoutFolder(fileName), kTag, SpecSourcePerkinElmerSp, dateText);
    r.XUnit = caller.XUnit;
    r.YKind = caller.YKind;
    return r;
}

bool isWavenumber(SpecXUnit unit) { return unit == SpecXWavenumber || unit == SpecXRamanShift; }

// The x text names its unit in any case: instruments write "nm", "NM" and "cm-1" alike.
SpecXUnit xUnitOfText(const std::string& text, SpecXUnit unit, bool withRaman) {
    const std::string t = UpperAscii(text);
    if (ContainsText(t, "NM")) unit = SpecXNanometer;
    if (ContainsText(t, "CM-1")) unit = SpecXWavenumber;
    if (withRaman && ContainsText(t, "RAMAN")) unit = SpecXRamanShift;
    return unit;
}

// The y text of the block and text layouts: absorbance unless it names another kind.
SpecYKind yKindOfText(const std::string& t) {
    SpecYKind kind = SpecYAbsorbance;
    if (ContainsText(t, "INT") || ContainsText(t, "EGY")) kind = SpecYIntensity;
    if (ContainsText(" A ", t)) kind = SpecYAbsorbance;
    if (ContainsText(" %T ", t)) kind = SpecYTransmittance;
    if (ContainsText(" %R ", t) || ContainsText(" %RC ", t)) kind = SpecYReflectance;
    return kind;
}

// Fluorescence scaling, the absorbance-like form of transmittance and reflectance, and the direction:
// nm spectra are stored rising, wavenumber spectra falling.
void finish(TSpectrumRecord& r, Scan& s) {
    if (s.fluorescence) {
        r.YKind = SpecYIntensity;
        for (double& y : s.values) y /= 250.0;
    }
    if (r.YKind == SpecYTransmittance || r.YKind == SpecYReflectance)
        for (double& y : s.values) y = TransmittanceToStored(y, true, 1e-6, 6.0);
    const bool falling = isWavenumber(r.XUnit);
    const double step = std::fabs(s.step);
    r.StepX = falling ? -step : step;
    if (falling ? s.lastX > s.firstX : s.lastX < s.firstX) {
        r.FirstX = s.lastX;
        std::reverse(s.values.begin(), s.values.end());
    } else {
        r.FirstX = s.firstX;
    }
    if (r.Title.empty()) r.Title = NameWithoutFolder(r.FileName);
    r.Values = std::move(s.values);
    // Only a whole spectrum leaves the reader; anything less leaves no points, and Open drops it.
    if (!(s.valuesChecked ? r.HasUsableGrid() : r.IsComplete())) r.Values.clear();
}

// ---- Old binary header

bool isOldBinary(std::string_view bytes) {
    if (bytes.size() < 82) return false;
    const uint16_t layout = getU16LE(reinterpret_cast<const uint8_t*>(bytes.data()) + 80);
    return layout == 502 || layout == 509 || layout == 510 || layout == 516 || layout == 519;
}

std::string binaryField(std::string_view bytes, std::size_t offset, std::size_t n) {
    std::string t;
    ReadBinaryField(t, bytes, offset, n);
    return t;
}

void readOldBinary(std::string_view bytes, TSpectrumRecord& r, Scan& s) {
    constexpr std::size_t kDataStart = 512;
    if (bytes.size() < kDataStart) vx::throwStreamRead();
    const auto* d = reinterpret_cast<const uint8_t*>(bytes.data());
    if (std::string title = binaryField(bytes, 0, 8); !title.empty()) r.Title = title;
    const int32_t count = getI32LE(d + 10);
    s.lastX = getI32LE(d + 14) / 100.0;
    s.firstX = getI32LE(d + 18) / 100.0;
    s.step = getI16LE(d + 22) / 100.0;
    switch (d[25]) {
    case 1: r.YKind = SpecYAbsorbance; break;
    case 2: r.YKind = SpecYTransmittance; break;
    case 3: r.YKind = SpecYIntensity; break;
    default: break;
    }
    const int32_t divisor = getI32LE(d + 28);
    // The y text names the kind more reliably than the code before it, so it is tested last.
    const std::string yText = binaryField(bytes, 146, 4);
    if (ContainsText(yText, "INT") || ContainsText(yText, "EGY")) r.YKind = SpecYIntensity;
    if (ContainsText(yText, "A")) r.YKind = SpecYAbsorbance;
    if (ContainsText(yText, "%T")) r.YKind = SpecYTransmittance;
    if (ContainsText(yText, "%R") || ContainsText(yText, "%RC")) r.YKind = SpecYReflectance;
    r.XUnit = xUnitOfText(binaryField(bytes, 150, 4), r.XUnit, false);
    if (std::string date = binaryField(bytes, 156, 8); !date.empty()) {
        if (std::string time = binaryField(bytes, 164, 8); !time.empty()) date += " " + time;
        r.DateText = date;
    }
    if (std::string c = binaryField(bytes, 176, 72); !c.empty()) r.Comment1 = c;

    if (count < 0 || static_cast<uint64_t>(count) * 4 > bytes.size() - kDataStart) vx::throwStreamRead();
    if (count > 0 && divisor == 0) vx::throwInvalidFloatOp();
    const double div = divisor;
    s.valuesChecked = true;
    if (r.YKind == SpecYTransmittance || r.YKind == SpecYReflectance)
        binvalues::AssignConverted<4>(s.values, d + kDataStart, std::size_t(count),
                                      [div](const uint8_t* p) { return getI32LE(p) * 100.0 / div; });
    else
        binvalues::AssignConverted<4>(s.values, d + kDataStart, std::size_t(count),
                                      [div](const uint8_t* p) { return getI32LE(p) / div; });
    s.fluorescence = r.XUnit == SpecXNanometer && r.YKind == SpecYIntensity;
}

// ---- Block layout ("PEPE")

// Reads within one block: every field must lie inside the block's own length.
struct Block {
    const uint8_t* body;
    std::size_t length;
    void need(std::size_t n) const {
        if (n > length) vx::throwStreamRead();
    }
    std::string text(std::size_t from) const {  // the characters from `from` to the block's end
        need(from);
        std::string_view t(reinterpret_cast<const char*>(body) + from, length - from);
        return Trim(cp1252::toUtf8(t.substr(0, t.find('\0'))));
    }
};

// The sub-blocks of a 0x8B7F group: legend and date; blocks of unknown type are entered, not skipped.
// A head is 8 bytes, but an entered one moves on by 6: instruments end the group 6 bytes after the head
// of its last sub-block, whose type then lies beyond the group and so names no type of its own.
void readInfoGroup(const Block& g, TSpectrumRecord& r) {
    std::size_t p = 0;
    while (p + 1 < g.length) {
        if (g.length - p < 6) vx::throwStreamRead();
        const uint8_t* h = g.body + p;
        const uint16_t tag = getU16LE(h);
        const int32_t len = getI32LE(h + 2);
        const bool typed = g.length - p >= 8;
        const uint16_t type = typed ? getU16LE(h + 6) : 0;
        const bool text = tag == 0x8B76 || tag == 0x8B74;
        if (text || (typed && type >= 29972 && type <= 29999)) {
            if (len < (text ? 4 : 2) || static_cast<std::size_t>(len) > g.length - p - 6) vx::throwStreamRead();
            if (text) {
                const std::string t = Block{h + 6, static_cast<std::size_t>(len)}.text(4);
                if (!t.empty() && tag == 0x8B76) r.Title = t;
                if (!t.empty() && tag == 0x8B74) r.DateText = t;
            }
            p += 6 + static_cast<std::size_t>(len);
        } else {
            p += 6;
        }
    }
}

void readBlocks(std::string_view bytes, TSpectrumRecord& r, Scan& s) {
    const auto* d = reinterpret_cast<const uint8_t*>(bytes.data());
    // Ends of the groups the walk is in, innermost last; a block never reaches past the one it is in.
    std::vector<std::size_t> ends{bytes.size()};
    std::size_t pos = 44;
    int32_t count = 0;
    for (;;) {
        while (ends.size() > 1 && !(pos + 1 < ends.back())) {
            pos = ends.back();
            ends.pop_back();
        }
        const std::size_t end = ends.back();
        if (!(pos + 1 < end)) break;
        if (end - pos < 6) vx::throwStreamRead();
        const uint16_t tag = getU16LE(d + pos);
        const int32_t len = getI32LE(d + pos + 2);
        if (len < 0 || static_cast<std::size_t>(len) > end - pos - 6) vx::throwStreamRead();
        const Block b{d + pos + 6, static_cast<std::size_t>(len)};
        const std::size_t next = pos + 6 + b.length;
        switch (tag) {
        case 0x0078:  // a group: its blocks follow
            ends.push_back(next);
            pos += 6;
            continue;
        case 0x8B72:
            b.need(18);
            s.firstX = getF64LE(b.body + 2);
            s.lastX = getF64LE(b.body + 10);
            break;
        case 0x8B74:
            b.need(10);
            s.step = getF64LE(b.body + 2);
            break;
        case 0x8B75:
            b.need(6);
            count = getI32LE(b.body + 2);
            break;
        case 0x8B77: r.XUnit = xUnitOfText(b.text(4), r.XUnit, true); break;
        case 0x8B78: r.YKind = yKindOfText(b.text(4)); break;
        case 0x8B7C: {
            b.need(6);
            if (count < 0 || static_cast<uint64_t>(count) * 8 > b.length - 6) vx::throwStreamRead();
            binvalues::AssignConverted<8>(s.values, b.body + 6, std::size_t(count),
                                          [](const uint8_t* p) { return getF64LE(p); });
            s.valuesChecked = true;
            break;
        }
        case 0x8B7D:
            if (std::string c = b.text(4); !c.empty()) r.Comment1 = c;
            break;
        case 0x8B7F: readInfoGroup(b, r); break;
        case 0x8B81: b.need(4); break;
        default: break;
        }
        pos = next;
    }
    s.fluorescence = r.XUnit == SpecXNanometer && r.YKind == SpecYIntensity;
}

// ---- Text layouts

// "PE " or a number first: a text file.
bool isTextLayout(std::string_view bytes) {
    std::string_view head = bytes.substr(0, 4);
    if (head.substr(0, 3) == "PE ") return true;
    return IsIntegerText(Trim(std::string(head)));
}

bool isScanKind(const std::string& t) { return t.size() == 2 && ContainsText(" EM EX SY ", t); }

// The y of a headerless data line: the text after its first blank.
double numberAfterBlank(const TextLines& lines, std::size_t i) {
    std::string_view line = TrimView(lines.at(i));
    const std::size_t blank = line.find_first_of(" \t");
    return ReadNumberToken(blank == std::string_view::npos ? line : TrimView(line.substr(blank + 1)));
}

// An "x<TAB>y" data line.
std::pair<double, double> dataPair(const TextLines& lines, std::size_t i) {
    std::string_view line = TrimView(lines.at(i));
    std::size_t sep = line.find('\t');
    if (sep == std::string_view::npos) sep = line.find(' ');
    if (sep == std::string_view::npos) return {ReadNumberToken(line), ReadNumberToken({})};
    return {ReadNumberToken(line.substr(0, sep)), ReadNumberToken(TrimView(line.substr(sep + 1)))};
}

void readHeaderless(const TextLines& lines, TSpectrumRecord& r, Scan& s) {
    const int32_t count = lines.integer(0);
    const double first = lines.number(7);
    const double last = lines.number(8);
    r.XUnit = SpecXNanometer;
    r.YKind = SpecYIntensity;
    const std::string excitation = lines.trimmed(9);
    if (excitation != "0") {
        r.ExcitationWl = lines.number(9);
        if (r.ExcitationWl > 0) {
            const std::string kind = UpperAscii(lines.trimmed(12));
            const std::size_t at = std::string("EM EX SY").find(kind);
            if (at == 0) r.Comment1 = "emission scan, excitation at " + excitation + " nm";
            if (at == 3) r.Comment1 = "excitation scan, detection at " + excitation + " nm";
            if (at == 6) r.Comment1 = "synchron scan, wavelength difference: " + excitation + " nm";
        }
    }
    // A count below two gives no grid.
    if (count < 2) return;
    for (std::size_t i = 14; i + 1 < lines.count(); ++i) s.values.push_back(numberAfterBlank(lines, i));
    // A spike at the end of the scan (the lamp switching off) is cut: values are dropped from the end
    // while the last two differ by more than 50 times the mean step a few points before it.
    const std::size_t c = s.values.size();
    if (c >= 10) {
        const double d = std::fabs(s.values[c - 9] - s.values[c - 4]) / 5.0;
        if (d != 0.0)
            while (s.values.size() > 2 &&
                   std::fabs(s.values[s.values.size() - 1] - s.values[s.values.size() - 2]) > 50.0 * d)
                s.values.pop_back();
    }
    const double step = (last - first) / (count - 1);
    s.firstX = first;
    s.step = step;
    s.lastX = s.values.empty() ? first : first + (static_cast<double>(s.values.size()) - 1) * step;
}

// The x and y texts after the "#GR" line.
void axisTexts(const TextLines& lines, std::size_t gr, TSpectrumRecord& r) {
    r.XUnit = xUnitOfText(lines.trimmed(gr + 1), r.XUnit, true);
    r.YKind = yKindOfText(lines.trimmed(gr + 2));
}

void readAscii(const TextLines& lines, TSpectrumRecord& r, Scan& s) {
    if (std::string t = lines.trimmed(8); !t.empty()) r.Title = t;
    std::size_t from = 2;
    if (s.fluorescence) {
        const std::size_t ls = lines.find(from, "LS", false);
        if (auto e = lines.tryNumber(ls + 1)) r.ExcitationWl = *e;
        from = ls + 1;
    }
    const std::size_t gr = lines.find(from, "#GR", true);
    axisTexts(lines, gr, r);
    const std::size_t data = lines.find(gr + 1, "#DATA", true);
    const auto [x1, y1] = dataPair(lines, data + 1);
    const auto [x2, y2] = dataPair(lines, data + 2);
    s.values = {y1, y2};
    s.firstX = x1;
    s.step = x2 - x1;
    std::size_t lastLine = data + 2;
    for (std::size_t i = data + 3; i + 1 < lines.count(); ++i) {
        if (TrimView(lines.at(i)).empty()) continue;
        s.values.push_back(dataPair(lines, i).second);
        lastLine = i;
    }
    s.lastX = dataPair(lines, lastLine).first;
}

void readBinaryVariant(const TextLines& lines, std::string_view bytes, TSpectrumRecord& r, Scan& s) {
    if (std::string t = lines.trimmed(8); !t.empty()) r.Title = t;
    s.lastX = lines.number(9);
    std::size_t from = 21;
    if (s.fluorescence) {
        r.ExcitationWl = lines.number(21);
        from = 22;
    }
    const std::size_t gr = lines.find(from, "#GR", true);
    axisTexts(lines, gr, r);
    const double factor = lines.number(gr + 3);
    s.firstX = lines.number(gr + 5);
    s.step = lines.number(gr + 6);
    const int32_t count = lines.integer(gr + 7);
    // The values are the file's last bytes and must lie behind the header that counts them.
    const std::size_t headerEnd = lines.endOffset(gr + 7);
    if (count < 0 || static_cast<uint64_t>(count) * 4 > bytes.size() - headerEnd) vx::throwStreamRead();
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data()) + bytes.size() - std::size_t(count) * 4;
    binvalues::AssignConverted<4>(s.values, p, std::size_t(count),
                                  [factor](const uint8_t* q) { return getI32LE(q) * factor; });
}

// False when the text is of none of the layouts.
bool readText(std::string_view bytes, TSpectrumRecord& r, Scan& s) {
    const TextLines lines(bytes);
    const std::string head = lines.trimmed(0);
    const bool ascii = ContainsText(head, "ASCII"), binary = ContainsText(head, "BINARY");
    const bool headerless = !ascii && !binary && lines.count() > 12 && isScanKind(UpperAscii(lines.trimmed(12)));
    if (!ascii && !binary && !headerless) return false;
    s.fluorescence = ContainsText(head, "PE FL");
    r.YKind = SpecYAbsorbance;
    std::string date = lines.trimmed(3);
    std::replace(date.begin(), date.end(), '/', '.');
    if (std::string time = lines.trimmed(4); !time.empty()) date += " " + time;
    if (!date.empty()) r.DateText = date;
    if (ascii)
        readAscii(lines, r, s);
    else if (binary)
        readBinaryVariant(lines, bytes, r, s);
    else
        readHeaderless(lines, r, s);
    return true;
}

void notPerkinElmer(const std::string& fileName) {
    ui::messageBox(fileName + "\r\n\r\n" + "is not the Perkin Elmer ASCII file format!!", "Varolux32",
                   ui::Buttons::Ok, ui::Icon::Error);
}

}  // namespace

void ReadSpecPerkinElmerBytes(TSpectrumRecord& rec, std::string_view bytes, const std::string& fileName,
                              const std::string& dateText) {
    TSpectrumRecord r = startRecord(rec, fileName, dateText);
    Scan s;
    if (isOldBinary(bytes)) {
        readOldBinary(bytes, r, s);
    } else if (bytes.substr(0, 4) == "PEPE") {
        readBlocks(bytes, r, s);
    } else if (!isTextLayout(bytes) || !readText(bytes, r, s)) {
        notPerkinElmer(fileName);
        rec = std::move(r);
        return;
    }
    finish(r, s);
    rec = std::move(r);
}

void LoadSpecPerkinElmer(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes) {
    const MappedText file = MappedText::OpenBinaryFile(fileName, maxBytes, "SP");
    ReadSpecPerkinElmerBytes(rec, file.Bytes(), fileName, DateTimeToText(FileDateTimeOf(fileName)));
}
