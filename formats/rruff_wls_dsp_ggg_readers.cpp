#include "formats/rruff_wls_dsp_ggg_readers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/date_time.h"
#include "core/helpers.h"
#include "formats/reader_record.h"
#include "formats/resample.h"
#include "formats/text_lines.h"
#include "formats/text_loader.h"
#include "formats/text_spectra_support.h"
#include "platform/numtext.h"
#include "platform/ui.h"

namespace {

constexpr int32_t kRruffSourceKind = 39;
constexpr int32_t kWlsSourceKind = 40;
constexpr int32_t kDspSourceKind = 43;

// The first N lines of a text; lines the text does not have are empty. `cursor` stands after them.
template <std::size_t N>
struct Head {
    std::array<std::string_view, N> lines{};
    std::size_t count = 0;
    LineCursor cursor;
    explicit Head(std::string_view bytes) : cursor(bytes) {
        while (count < N && cursor.Next(lines[count])) ++count;
    }
};

bool contains(std::string_view s, std::string_view sub) { return !sub.empty() && s.find(sub) != s.npos; }

std::string_view stripLeading(std::string_view s) {
    const std::size_t b = s.find_first_not_of(' ');
    return b == s.npos ? std::string_view() : s.substr(b);
}

std::string_view trimBlanks(std::string_view s) {
    const std::size_t b = s.find_first_not_of(' ');
    if (b == s.npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// The record every reader of this family starts from: titled by the file's name without extension.
TSpectrumRecord commonRecord(const TSpectrumRecord& rec, const std::string& fileName, std::string_view tag,
                             int32_t kind) {
    return StartReaderRecord(rec, fileName, NameWithoutExtension(fileName), tag, kind, "");
}

// Wavelengths run rising, wavenumbers and Raman shifts falling.
void storeInUnitDirection(TSpectrumRecord& r) {
    if ((r.StepX < 0 && r.XUnit == SpecXNanometer) ||
        (r.StepX > 0 && (r.XUnit == SpecXWavenumber || r.XUnit == SpecXRamanShift)))
        ReverseGrid(r);
}

// Pairs in rising x onto the record's grid, then in the unit's direction. False for fewer than two
// pairs or no usable step.
bool resamplePairs(PairList& xs, PairList& ys, TSpectrumRecord& r) {
    if (xs.size() < 2) return false;
    if (!ResampleXYEitherOrder(xs, ys, r)) return false;
    storeInUnitDirection(r);
    return true;
}

void reservePairs(PairList& xs, PairList& ys, std::size_t bytes) {
    // A pair line takes at least four bytes: two digits, the separator and a line end.
    xs.reserve(bytes / 4 + 1);
    ys.reserve(bytes / 4 + 1);
}

// ---- RRUFF

// The first field of a line is a whole number (what ends the header lines).
bool firstFieldIsWhole(std::string_view line, char sep, std::string& scratch) {
    const std::string_view s = StripLeadingBlanksView(line, scratch);
    const std::size_t p = s.find(sep);
    std::string field(p == s.npos ? std::string_view() : s.substr(0, p));
    FixDecimalSeparator(field);
    return IsWholeNumberBeforeDecimal(field, numtext::decimalSeparator());
}

std::string headerComment(const MappedText& text, std::string_view a, std::string_view b) {
    std::string c = contains(a, "##") ? text.Utf8(a) : std::string();
    if (contains(b, "##")) c += "  " + text.Utf8(b);
    return c;
}

void readRruff(TSpectrumRecord& rec, const MappedText& text, const std::string& fileName) {
    const std::string_view bytes = text.Bytes();
    Head<11> head(bytes);
    std::string scratch;
    // Line 10 is a data line in most files. Where the database's longer header or the blank line
    // after it stands there instead, the first line below that is neither tells the separator.
    std::string_view guessLine = head.lines[10];
    if (TrimView(guessLine).empty() || contains(guessLine, "##")) {
        std::string_view line;
        while (head.cursor.Next(line))
            if (!TrimView(line).empty() && !contains(line, "##")) {
                guessLine = line;
                break;
            }
    }
    const char sep = GuessSeparator(StripLeadingBlanksView(guessLine, scratch));

    TSpectrumRecord r = commonRecord(rec, fileName, "rruff_raman", kRruffSourceKind);
    r.Comment1 = headerComment(text, head.lines[0], head.lines[1]);
    r.Comment2 = headerComment(text, head.lines[2], head.lines[3]);
    r.XUnit = SpecXRamanShift;
    r.YKind = SpecYIntensity;

    // Header lines carry "##" and no number first; the line where they end is skipped too unless it
    // starts with a number.
    LineCursor lines(bytes);
    std::string_view line;
    bool have = lines.Next(line);
    while (have && contains(line, "##") && !firstFieldIsWhole(line, sep, scratch)) have = lines.Next(line);
    if (have && !firstFieldIsWhole(line, sep, scratch)) have = lines.Next(line);

    PairList xs, ys;
    reservePairs(xs, ys, bytes.size() - std::min(bytes.size(), lines.Position()));
    const char twoSeps[2] = {sep, sep};
    std::string_view next;
    // Every line up to the one before "##END" and never the file's last one.
    while (have && lines.Next(next)) {
        const std::string_view s = stripLeading(line);
        const std::size_t p = s.find(sep);
        if (p == s.npos) break;
        if (s != std::string_view(twoSeps, 1) && s != std::string_view(twoSeps, 2)) {
            const std::string_view xt = s.substr(0, p), yt = s.substr(p + 1);
            if (!xt.empty() && !yt.empty()) {
                xs.push_back(ReadNumberField(text, xt));
                ys.push_back(ReadNumberField(text, yt));
            }
        }
        if (contains(next, "##END")) break;
        line = next;
    }
    if (resamplePairs(xs, ys, r) && r.IsComplete()) rec = std::move(r);
}

// ---- WLS

// Quoted, comma-separated fields as ";"-separated ones: each `","` becomes ";" and every other quote
// goes. Built in `buffer` in one pass.
std::string_view unquote(std::string_view line, std::string& buffer) {
    if (buffer.size() < line.size()) buffer.resize(line.size());
    char* out = buffer.data();
    for (std::size_t i = 0, n = line.size(); i < n; ++i) {
        const char c = line[i];
        if (c != '"')
            *out++ = c;
        else if (i + 2 < n && line[i + 1] == ',' && line[i + 2] == '"') {
            *out++ = ';';
            i += 2;
        }
    }
    return std::string_view(buffer.data(), static_cast<std::size_t>(out - buffer.data()));
}

// Whether the rewritten line holds the end mark; a line without an "E" cannot.
bool holdsEnd(std::string_view raw, std::string& buffer) {
    return raw.find('E') != raw.npos && contains(unquote(raw, buffer), "END");
}

// The usual data line `"n","x","y"` read straight from the file when ";" separates the rewritten
// fields: what rewriting and splitting it would give, without either. False for any other line.
bool quotedPair(std::string_view raw, double& x, double& y) {
    const char* p = raw.data();
    const char* const e = p + raw.size();
    if (p == e || *p++ != '"') return false;
    while (p < e && *p != '"' && *p != ';') ++p;
    auto fieldEnd = [e](const char* q) { return q && e - q >= 3 && q[0] == '"' && q[1] == ',' && q[2] == '"'; };
    if (!fieldEnd(p)) return false;
    const char* q = ScanNumber(p + 3, e, x);
    if (!fieldEnd(q)) return false;
    q = ScanNumber(q + 3, e, y);
    return q && q + 1 == e && *q == '"';
}

// Fields 2 and 3 of a line; false when the line holds no separator.
bool secondAndThirdField(std::string_view s, char sep, std::string_view& f2, std::string_view& f3) {
    std::size_t at[3];
    int found = 0;
    for (std::size_t i = 0; i < s.size() && found < 3; ++i)
        if (s[i] == sep) at[found++] = i;
    if (found == 0) return false;
    f2 = found >= 2 ? s.substr(at[0] + 1, at[1] - at[0] - 1) : s.substr(at[0] + 1);
    f3 = found == 1 ? std::string_view() : found == 2 ? s.substr(at[1] + 1) : s.substr(at[1] + 1, at[2] - at[1] - 1);
    return true;
}

void readWls(TSpectrumRecord& rec, const MappedText& text, const std::string& fileName) {
    const std::string_view bytes = text.Bytes();
    const Head<16> head(bytes);
    std::string buffer[2], scratch;
    const char sep = GuessSeparator(StripLeadingBlanksView(unquote(head.lines[15], buffer[0]), scratch));

    TSpectrumRecord r = commonRecord(rec, fileName, "vwr_wls", kWlsSourceKind);
    const std::string line0 = text.Utf8(unquote(head.lines[0], buffer[0]));
    if (!line0.empty()) r.Comment1 = line0 + text.Utf8(unquote(head.lines[2], buffer[0]));
    const std::string date = text.Utf8(unquote(head.lines[7], buffer[0]));
    if (!date.empty()) r.DateText = date;
    r.XUnit = SpecXNanometer;
    r.YKind = SpecYAbsorbance;

    LineCursor lines(bytes);
    std::string_view raw;
    bool have = lines.Skip(10) && lines.Next(raw);
    PairList xs, ys;
    reservePairs(xs, ys, bytes.size() - std::min(bytes.size(), lines.Position()));
    // Every line up to the one before the end mark and never the file's last one.
    std::string_view next;
    while (have && lines.Next(next)) {
        double x = 0, y = 0;
        if (sep == ';' && quotedPair(raw, x, y)) {
            xs.push_back(x);
            ys.push_back(y);
        } else {
            std::string_view xt, yt;
            if (!secondAndThirdField(stripLeading(unquote(raw, buffer[0])), sep, xt, yt)) break;
            if (!xt.empty() && !yt.empty()) {
                xs.push_back(ReadNumberField(text, xt));
                ys.push_back(ReadNumberField(text, yt));
            }
        }
        if (holdsEnd(next, buffer[1])) break;
        raw = next;
    }
    if (resamplePairs(xs, ys, r) && r.IsComplete()) rec = std::move(r);
}

// ---- DSP

SpecXUnit dspXUnit(const std::string& upper) {
    SpecXUnit u = SpecXNanometer;
    if (contains(upper, "NM")) u = SpecXNanometer;
    if (contains(upper, "CM-1")) u = SpecXWavenumber;
    if (contains(upper, "RAMAN")) u = SpecXRamanShift;
    return u;
}

SpecYKind dspYKind(const std::string& upper) {
    SpecYKind y = SpecYAbsorbance;
    if (contains(upper, "INT") || contains(upper, "EGY")) y = SpecYIntensity;
    // The whole line is one of the short unit names.
    if (ContainsText(" A ", upper)) y = SpecYAbsorbance;
    if (ContainsText(" %T ", upper)) y = SpecYTransmittance;
    if (ContainsText(" %R ", upper) || ContainsText(" %RC ", upper)) y = SpecYReflectance;
    return y;
}

void readDsp(TSpectrumRecord& rec, const MappedText& text, const std::string& fileName) {
    const std::string_view bytes = text.Bytes();
    Head<43> head(bytes);
    const auto& L = head.lines;
    if (!contains(UpperAscii(std::string(L[0])), "SINACSA") || !contains(L[1], "SCAN")) return;
    // The header runs to line 42; without the grid's start and step there is no spectrum.
    if (head.count < 43 || L[5].empty() || L[7].empty()) return;

    TSpectrumRecord r = commonRecord(rec, fileName, "ascanis_dsp", kDspSourceKind);
    const std::string title = text.Utf8(L[3]);
    if (!title.empty()) r.Title = title;
    r.XUnit = dspXUnit(UpperAscii(std::string(L[4])));
    r.FirstX = ReadNumberField(text, L[5]);
    r.StepX = ReadNumberField(text, L[7]);
    r.YKind = dspYKind(UpperAscii(std::string(L[9])));
    if (!L[15].empty()) r.DateText = text.Utf8(L[15]);
    r.Comment1 = "method: " + text.Utf8(L[20]) + "| software: " + text.Utf8(L[42]);
    if (!L[27].empty()) r.Temperature = std::nearbyint(ReadNumberField(text, L[27]));
    r.Comment2 = "spectrometer: " + text.Utf8(L[28]);

    // The values follow the "#DATA" line, searched from line 41; a file without one has no data.
    std::string_view line;
    bool found = contains(L[41], "#DATA");
    if (found) {
        head.cursor.Seek(0);
        head.cursor.Skip(42);
    } else {
        found = contains(L[42], "#DATA");  // the cursor already stands after line 42
    }
    while (!found && head.cursor.Next(line)) found = contains(line, "#DATA");
    if (!found) return;
    std::vector<double> values;
    while (head.cursor.Next(line)) {
        const std::string_view s = trimBlanks(line);
        const std::size_t tab = s.find('\t');
        // A value may be followed by a further tab or control characters; they go with the blanks.
        const std::string_view v = TrimView((tab == s.npos ? s : s.substr(tab + 1)).substr(0, 255));
        if (!v.empty()) values.push_back(ReadNumberField(text, v));
    }
    if (values.size() < 2) return;
    if (r.YKind == SpecYTransmittance || r.YKind == SpecYReflectance)
        for (double& v : values) v = TransmittanceToStored(v, true, 1e-6, 6.0);
    r.Values = std::move(values);
    storeInUnitDirection(r);
    if (r.IsComplete()) rec = std::move(r);
}

// ---- GGG

// The value of a tag in a header line: the rest of the line after it, trimmed; false without the tag.
bool tagValue(std::string_view line, std::string_view tag, std::string_view& value) {
    const std::size_t p = line.find(tag);
    if (p == line.npos) return false;
    std::string_view v = line.substr(p + tag.size());
    const std::size_t b = std::find_if(v.begin(), v.end(), [](char c) { return static_cast<unsigned char>(c) > ' '; }) -
                          v.begin();
    std::size_t e = v.size();
    while (e > b && static_cast<unsigned char>(v[e - 1]) <= ' ') --e;
    value = v.substr(b, e - b);
    return true;
}

// The y field of a data line: after the first blank, up to the next blank or tab.
std::string_view gggYField(std::string_view s) {
    const std::size_t blank = s.find(' ');
    if (blank == s.npos) return {};
    std::string_view rest = s.substr(blank + 1);
    const std::size_t b = rest.find_first_not_of(' ');
    if (b == rest.npos) return {};
    rest = rest.substr(b);
    return rest.substr(0, rest.find_first_of(" \t"));
}

void readGgg(TSpectrumRecord& rec, const MappedText& text, const std::string& fileName) {
    const std::string_view bytes = text.Bytes();
    TSpectrumRecord r = commonRecord(rec, fileName, "", SpecSourceGgg);
    r.YKind = SpecYIntensity;

    LineCursor lines(bytes);
    std::string_view line, v;
    bool begin = false, haveStep = false;
    std::string type;
    while (lines.Next(line)) {
        if (contains(line, "# Begin data")) {
            begin = true;
            break;
        }
        if (tagValue(line, "<aufloesung>", v)) {
            r.StepX = ReadNumberField(text, v);
            haveStep = true;
        }
        if (tagValue(line, "<typ>", v)) {
            type = text.Utf8(v);
            r.SpecType = type;
        }
        if (tagValue(line, "<fwl>", v)) {
            r.Comment2 = text.Utf8(v);
            r.ExcitationWl = ReadNumberField(text, v);
        }
        if (tagValue(line, "<temp>", v)) {
            r.Comment1 = text.Utf8(v);
            r.Temperature = ReadNumberField(text, v);
        }
        if (tagValue(line, "<datum>", v)) r.DateText = text.Utf8(v);
        if (tagValue(line, "<lms>", v)) r.Solvent = text.Utf8(v);
    }
    ui::setStatus(1, " ");
    // Without the data mark or the resolution there is no grid.
    if (!begin || !haveStep) return;

    std::vector<double> values;
    values.reserve((bytes.size() - std::min(bytes.size(), lines.Position())) / 4 + 1);
    bool first = true;
    while (lines.Next(line)) {
        const std::string_view s = trimBlanks(line);
        if (s.empty()) continue;
        if (first) {
            r.FirstX = ReadNumberField(text, s.substr(0, s.find(' ')));
            first = false;
        }
        values.push_back(ReadNumberField(text, gggYField(s)));
    }
    if (values.size() < 2) return;

    const bool polarised = type == "polccdf" || type == "polccde";
    const bool ccd = type == "ccdex" || type == "ccdey" || type == "ccdfx" || type == "ccdfy";
    if (ccd || polarised)
        r.Title = r.Title + " (" + type + ", " + numtext::FloatToStr(r.Temperature) + "K) " +
                  numtext::FloatToStr(r.ExcitationWl) + "nm";
    if (type == "ccdex" || type == "ccdey")
        for (double& y : values) y /= 10;
    if (type == "ccdfx" || type == "ccdfy")
        for (double& y : values) y /= 1000;
    if (polarised) {
        // Ratios stored as counts around 1000: back to the values shown as they are.
        if (LargestNonNegative(values) > 3)
            for (double& y : values) y = (y - 1000) / 2000;
        r.SourceKind = SpecSourceRaw;
    }
    r.Values = std::move(values);
    if (r.IsComplete()) rec = std::move(r);
}

void readSmallText(SmallTextFormat format, TSpectrumRecord& rec, const MappedText& text,
                   const std::string& fileName) {
    switch (format) {
    case SmallTextFormat::Rruff: readRruff(rec, text, fileName); break;
    case SmallTextFormat::Wls: readWls(rec, text, fileName); break;
    case SmallTextFormat::Dsp: readDsp(rec, text, fileName); break;
    case SmallTextFormat::Ggg: readGgg(rec, text, fileName); break;
    }
}

void loadSmallText(SmallTextFormat format, TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes,
                   std::string_view kind) {
    const MappedText text = MappedText::OpenFile(fileName, maxBytes, kind);
    TSpectrumRecord r;
    r.Color = rec.Color;
    r.LineStyle = rec.LineStyle;
    readSmallText(format, r, text, fileName);
    if (r.Values.empty()) return;
    if (r.DateText.empty() && format != SmallTextFormat::Ggg) r.DateText = DateTimeToText(FileDateTimeOf(fileName));
    rec = std::move(r);
}

}  // namespace

void ReadSmallTextBytes(SmallTextFormat format, TSpectrumRecord& rec, std::string_view bytes, bool utf8,
                        const std::string& fileName) {
    readSmallText(format, rec, utf8 ? MappedText::FromUtf8(bytes) : MappedText::FromStoredBytes(bytes), fileName);
}

void LoadSpecRruff(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes) {
    loadSmallText(SmallTextFormat::Rruff, rec, fileName, maxBytes, "RRUFF");
}
void LoadSpecVwrWls(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes) {
    loadSmallText(SmallTextFormat::Wls, rec, fileName, maxBytes, "WLS");
}
void LoadSpecAscanisDsp(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes) {
    loadSmallText(SmallTextFormat::Dsp, rec, fileName, maxBytes, "DSP");
}
void LoadGggFile(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes) {
    loadSmallText(SmallTextFormat::Ggg, rec, fileName, maxBytes, "GGG");
}
