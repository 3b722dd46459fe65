#include "formats/avasoft_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "core/date_time.h"
#include "core/helpers.h"
#include "formats/pair_lines.h"
#include "formats/reader_record.h"
#include "formats/resample.h"
#include "formats/text_lines.h"
#include "formats/text_loader.h"
#include "formats/text_spectra_support.h"
#include "platform/numtext.h"

namespace {

constexpr int32_t kAvaSoftSourceKind = 31;
constexpr std::size_t kHeaderLines = 7;  // title, comments, two unused lines, the column test line
constexpr std::size_t kColumnLine = kHeaderLines - 1;

// The second letter of the extension names what was measured: TTT transmittance, TIT and TRT
// intensities, TAT absorbance.
SpecYKind yKindOfExtension(const std::string& fileName) {
    const std::string ext = UpperAscii(ExtensionOf(fileName));
    const char c = ext.size() >= 2 ? ext[1] : '\0';
    if (c == 'T') return SpecYTransmittance;
    if (c == 'I' || c == 'R') return SpecYIntensity;
    return SpecYAbsorbance;
}

// The text without its first n characters (UTF-8).
std::string dropCharacters(const std::string& s, int n) {
    std::size_t p = 0;
    for (int k = 0; k < n && p < s.size(); ++k) {
        ++p;
        while (p < s.size() && (static_cast<unsigned char>(s[p]) & 0xC0) == 0x80) ++p;
    }
    return s.substr(p);
}

// The integration time in ms of a comment line, from the number between the label (and one more
// character) and "ms"; false when there is no such number.
bool integrationTimeMs(const std::string& line, double& ms) {
    static const std::string kLabel = "Integration time:";
    const std::size_t at = line.find(kLabel);
    if (at == std::string::npos) return false;
    const std::string rest = line.substr(std::min(line.size(), at + kLabel.size() + 1));
    const std::size_t end = rest.find("ms");
    if (end == std::string::npos) return false;
    std::string number = Trim(rest.substr(0, end));
    FixDecimalSeparator(number);
    const auto v = numtext::TryStrToFloat(number);
    if (!v) return false;
    ms = *v;
    return true;
}

// The units row of the column titles ("[nm]   ;[counts]").
bool isUnitsLine(std::string_view line) {
    const std::string_view t = TrimView(line);
    return !t.empty() && t.front() == '[';
}

// A line whose first field starts as a number does: a data line, right or wrong.
bool isDataLine(std::string_view line) {
    if (line.find(';') == std::string_view::npos) return false;
    const std::string_view t = TrimView(line);
    const char c = t.empty() ? '\0' : t.front();
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == ',';
}

// The column-title line, with `lines` after it where the data start. It is line 6 of the usual export;
// later exports put more header lines before it (a "Timestamp" line), and then it is the units row that
// follows, when one comes before any data line. A file without such a row keeps line 6.
std::string_view findColumnLine(LineCursor& lines, std::string_view line6) {
    if (isUnitsLine(line6)) return line6;
    LineCursor ahead = lines;
    std::string_view line;
    while (ahead.Next(line) && !ahead.AtEnd() && !isDataLine(line)) {
        if (isUnitsLine(line)) {
            lines = ahead;
            return line;
        }
    }
    return line6;
}

// A number field; the conversion error for one that is none.
inline double numberOf(const MappedText& text, std::string_view field) {
    double v = 0;
    return ParseNumberToken(field, v) ? v : ReadNumberField(text, field);
}

void readAvaSoft(TSpectrumRecord& rec, const MappedText& text, const std::string& fileName) {
    const std::string_view bytes = text.Bytes();
    LineCursor lines(bytes);
    // Lines a short file does not have read as empty.
    std::array<std::string_view, kHeaderLines> head{};
    for (std::size_t i = 0; i < kHeaderLines && lines.Next(head[i]); ++i) {
    }

    std::string title = text.Utf8(head[0]);
    if (title.find("M-") != std::string::npos) title = dropCharacters(title, 3);
    TSpectrumRecord r = StartReaderRecord(rec, fileName, title.empty() ? NameWithoutFolder(fileName) : title,
                                          "avantes", kAvaSoftSourceKind, "");
    const std::string comment = text.Utf8(head[1]);
    r.Comment1 = comment + " | " + text.Utf8(head[2]);
    r.Comment2 = text.Utf8(head[3]);
    double ms = 0;
    r.ExposureTime = integrationTimeMs(comment, ms) ? ms / 1000.0 : -1.0;
    r.YKind = yKindOfExtension(fileName);

    const std::string_view columns = findColumnLine(lines, head[kColumnLine]);
    const bool multiColumn = std::count(columns.begin(), columns.end(), ';') >= 4;
    // Every line but the file's last one, a pair at most from each.
    const std::size_t dataLines = CountLines(bytes.substr(std::min(bytes.size(), lines.Position())));
    PairColumns pairs(dataLines > 0 ? dataLines - 1 : 0);
    std::size_t pos = lines.Position();
    for (std::string_view line;;) {
        double x = 0, y = 0;
        // The usual "x;y" line in one pass (a last line is read and dropped).
        if (!multiColumn && ScanPairLine(bytes.data(), pos, bytes.size(), ';', 0, x, y)) {
            if (pos >= bytes.size()) break;
            pairs.add(x, y);
            continue;
        }
        lines.Seek(pos);
        if (!lines.Next(line) || lines.AtEnd()) break;
        pos = lines.Position();
        const std::size_t sep = line.find(';');
        if (sep != std::string_view::npos) {
            const std::string_view yText = multiColumn ? FieldAt(line, ';', 5) : line.substr(sep + 1);
            x = numberOf(text, line.substr(0, sep));
            pairs.add(x, numberOf(text, yText));
        }
    }
    if (pairs.xs.size() < 2) return;
    if (!MovePairsOntoGrid(pairs, r)) return;
    if (r.YKind == SpecYTransmittance) {
        const bool percent = LargestNonNegative(r.Values) > 1.0;
        for (double& v : r.Values) v = TransmittanceToStored(v, percent, 1e-6, 6.0);
    }
    if (r.IsComplete()) rec = std::move(r);
}

}  // namespace

void ReadAvaSoftBytes(TSpectrumRecord& rec, std::string_view bytes, bool utf8, const std::string& fileName) {
    readAvaSoft(rec, utf8 ? MappedText::FromUtf8(bytes) : MappedText::FromStoredBytes(bytes), fileName);
}

void LoadSpecAvaSoft(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes) {
    const MappedText text = MappedText::OpenFile(fileName, maxBytes, "AvaSoft export");
    TSpectrumRecord r;
    r.Color = rec.Color;
    r.LineStyle = rec.LineStyle;
    readAvaSoft(r, text, fileName);
    if (r.Values.empty()) return;
    r.DateText = DateTimeToText(FileDateTimeOf(fileName));
    rec = std::move(r);
}
