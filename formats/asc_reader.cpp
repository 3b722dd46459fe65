#include "formats/asc_reader.h"

#include <algorithm>
#include <cstdint>

#include "core/date_time.h"
#include "core/helpers.h"
#include "formats/pair_lines.h"
#include "formats/perkinelmer_sp.h"
#include "formats/reader_record.h"
#include "formats/resample.h"
#include "formats/text_loader.h"
#include "formats/text_lines.h"
#include "formats/text_spectra_support.h"
#include "platform/errors.h"

namespace {

enum class AscKind { Beckman, Usgs, MiltonRoy };

std::string_view trimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return s.substr(b, e - b);
}

// Line n of the text (the fixed lines lie near its start); a line beyond the end is the list index error.
std::string_view lineAt(std::string_view bytes, std::size_t n) {
    LineCursor c(bytes);
    std::string_view line;
    if (!c.Skip(n) || !c.Next(line)) throw vx::ListIndexError(static_cast<long long>(n));
    return line;
}

// Where line n starts; the end of the text when it has fewer lines.
std::size_t lineStart(std::string_view bytes, std::size_t n) {
    LineCursor c(bytes);
    c.Skip(n);
    return c.Position();
}

// Digits written after the decimal mark of a number text.
int writtenDecimals(std::string_view s) {
    const std::size_t mark = s.find_first_of(".,");
    if (mark == std::string_view::npos) return 0;
    int n = 0;
    for (std::size_t i = mark + 1; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) ++n;
    return n;
}

// The Spectronic files do not say whether they hold transmittance or absorbance: the y texts of a few
// pairs near the start (and, in long files, around pair 220) vote by their decimals. Transmittance in
// percent is written with at most two, absorbance with more.
struct DecimalsVote {
    int early[2] = {0, 0};  // pairs 0..8: [transmittance, absorbance]
    int late[2] = {0, 0};   // pairs 220..228, counted when there are more than 242 pairs
    static bool votes(std::size_t pair) { return pair <= 8 || (pair >= 220 && pair <= 228); }
    void add(std::size_t pair, std::string_view y) {
        int* v = pair <= 8 ? early : (pair >= 220 && pair <= 228) ? late : nullptr;
        if (v) ++v[writtenDecimals(y) <= 2 ? 0 : 1];
    }
    bool transmittance(std::size_t pairs) const {
        const bool withLate = pairs > 242;
        const int a = early[0] + (withLate ? late[0] : 0), b = early[1] + (withLate ? late[1] : 0);
        return a > b;
    }
};

// The pairs of the lines from `pos` on, the text's last line not included. x is the text before the
// first blank, y the text after it (for the library files only its first token); empty lines and the
// library's missing-value lines carry no pair.
PairColumns readPairs(std::string_view bytes, std::size_t pos, AscKind kind, DecimalsVote* vote) {
    const std::size_t lines = CountLines(bytes.substr(std::min(pos, bytes.size())));
    PairColumns pairs(lines > 0 ? lines - 1 : 0);
    std::vector<double>& xs = pairs.xs;
    LineCursor c(bytes, pos);
    std::string_view rest;
    for (std::string_view line;;) {
        double xv = 0.0, yv = 0.0;
        // The usual "x y" line of the exports in one pass (a last line is read and dropped); the lines
        // that vote and the library's lines of three columns go the way below.
        if (kind != AscKind::Usgs && !(vote && DecimalsVote::votes(xs.size())) &&
            ScanPairLine(bytes.data(), pos, bytes.size(), ' ', 0, xv, yv)) {
            if (pos >= bytes.size()) break;
            pairs.add(xv, yv);
            continue;
        }
        c.Seek(pos);
        if (!c.Next(line) || c.AtEnd()) break;
        pos = c.Position();
        if (kind == AscKind::Usgs && line.find("e34") != std::string_view::npos) continue;
        // The library's y is its first token, the others' the whole rest.
        const bool fast = ScanBlankPair(line, false, '\0', xv, yv, rest) && (kind == AscKind::Usgs || rest.empty());
        const bool voting = vote && DecimalsVote::votes(xs.size());
        if (!fast || voting) {
            line = trimBlanks(line);
            if (line.empty()) continue;
            const std::size_t blank = line.find(' ');
            std::string_view x = line, y;
            if (blank != std::string_view::npos) {
                x = line.substr(0, blank);
                y = trimBlanks(line.substr(blank + 1));
                if (kind == AscKind::Usgs) y = y.substr(0, y.find(' '));
            }
            if (!fast) {
                xv = ReadNumberToken(x);
                yv = ReadNumberToken(y);
            }
            if (voting) vote->add(xs.size(), y);
        }
        pairs.add(kind == AscKind::Usgs ? xv * 1000.0 : xv, yv);
    }
    return pairs;
}

// The grid of the pairs in rising order; the last pair is not used, and fewer than two used pairs
// (or no x range) leave the record without points.
void pairsToGrid(PairColumns& pairs, TSpectrumRecord& r) {
    if (!pairs.xs.empty()) {
        pairs.xs.pop_back();
        pairs.ys.pop_back();
    }
    if (pairs.xs.size() < 2) return;
    if (!MovePairsOntoGrid(pairs, r)) r.Values.clear();
}

void toAbsorbanceLike(TSpectrumRecord& r, bool percent) {
    for (double& y : r.Values) y = TransmittanceToStored(y, percent, 1e-6, 6.0);
}

void readBeckman(std::string_view bytes, const MappedText& text, TSpectrumRecord& r) {
    r.SourceKind = 38;
    r.SpecType = "beckman_du";
    r.Title = NameWithoutFolder(r.FileName);
    const std::string_view dateLine = lineAt(bytes, 1);
    if (dateLine.find("Created on") != std::string_view::npos) {
        const std::size_t colon = dateLine.find(':');
        r.DateText = text.Utf8(colon == std::string_view::npos ? std::string_view() : trimBlanks(dateLine.substr(colon + 1)));
    }
    // The read mode line, the lines after it up to an empty one, that empty line and the next one.
    LineCursor c(bytes, lineStart(bytes, 2));
    std::size_t n = 2;
    std::string_view line;
    for (;; ++n) {
        if (!c.Next(line)) throw vx::ListIndexError(static_cast<long long>(n));
        if (line.find("Read Mode") != std::string_view::npos) break;
    }
    const bool transmittance = line.find("Abs") == std::string_view::npos && line.find("%T") != std::string_view::npos;
    r.YKind = transmittance ? SpecYTransmittance : SpecYAbsorbance;
    do {
        ++n;
        if (!c.Next(line)) throw vx::ListIndexError(static_cast<long long>(n));
    } while (!trimBlanks(line).empty());
    c.Next(line);
    PairColumns pairs = readPairs(bytes, c.Position(), AscKind::Beckman, nullptr);
    pairsToGrid(pairs, r);
    if (transmittance) toAbsorbanceLike(r, true);
}

void readUsgs(std::string_view bytes, const MappedText& text, TSpectrumRecord& r) {
    r.SourceKind = 44;
    r.SpecType = "usgs_ftir";
    r.YKind = SpecYReflectance;
    r.Comment1 = text.Utf8(lineAt(bytes, 0));
    r.Comment2 = text.Utf8(lineAt(bytes, 1));
    if (const std::string_view title = trimBlanks(lineAt(bytes, 14)); !title.empty()) r.Title = text.Utf8(title);
    PairColumns pairs = readPairs(bytes, lineStart(bytes, 16), AscKind::Usgs, nullptr);
    pairsToGrid(pairs, r);
    // Reflectance stored like transmittance; the library writes fractions, some files percent.
    toAbsorbanceLike(r, LargestNonNegative(r.Values) > 1.2);
}

void readMiltonRoy(std::string_view bytes, const MappedText& text, TSpectrumRecord& r) {
    r.SourceKind = SpecSourceMiltonRoy;
    r.SpecType = "milton_asc";
    const std::string_view first = lineAt(bytes, 0);
    r.Title = NameWithoutFolder(r.FileName);
    // The sample name stands after the first run of three blanks and a 13-character label.
    if (const std::size_t cut = first.find("   "); cut != std::string_view::npos) {
        const std::string_view rest = first.substr(cut);
        if (rest.size() > 13) r.Title = text.Utf8(trimBlanks(rest.substr(13)));
    }
    r.Comment1 = text.Utf8(lineAt(bytes, 1));
    const std::string_view date = lineAt(bytes, 2);
    r.DateText = text.Utf8(date.size() > 20 ? date.substr(20) : std::string_view());
    DecimalsVote vote;
    PairColumns pairs = readPairs(bytes, lineStart(bytes, 12), AscKind::MiltonRoy, &vote);
    const bool transmittance = vote.transmittance(pairs.xs.size());
    r.YKind = transmittance ? SpecYTransmittance : SpecYAbsorbance;
    pairsToGrid(pairs, r);
    if (transmittance) toAbsorbanceLike(r, true);
}

// False, with nothing read, for a PerkinElmer text spectrum: its own reader takes the file.
bool readAsc(TSpectrumRecord& rec, const MappedText& text, const std::string& fileName, const std::string& dateText) {
    const std::string_view bytes = text.Bytes();
    const std::string_view first = lineAt(bytes, 0);
    const auto has = [&](std::string_view s) { return first.find(s) != std::string_view::npos; };
    if (has("PE") && has("SPECTRUM")) return false;
    // Each kind sets its own tag and kind code.
    TSpectrumRecord r = StartReaderRecord(rec, fileName, NameWithoutExtension(fileName), "", 0, dateText);
    if ((has("Application") && has("Scan Mode")) || has("Start Wavelength:"))
        readBeckman(bytes, text, r);
    else if (has("USGS"))
        readUsgs(bytes, text, r);
    else
        readMiltonRoy(bytes, text, r);
    if (!r.IsComplete()) r.Values.clear();
    rec = std::move(r);
    return true;
}

}  // namespace

void ReadAscBytes(TSpectrumRecord& rec, std::string_view bytes, const std::string& fileName,
                  const std::string& dateText) {
    if (!readAsc(rec, MappedText::FromStoredBytes(bytes), fileName, dateText))
        ReadSpecPerkinElmerBytes(rec, bytes, fileName, dateText);
}

void LoadAscFile(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes) {
    bool read = false;
    {
        const MappedText text = MappedText::OpenFile(fileName, maxBytes, "ASC");
        read = readAsc(rec, text, fileName, DateTimeToText(FileDateTimeOf(fileName)));
    }
    if (!read) LoadSpecPerkinElmer(rec, fileName, maxBytes);
}
