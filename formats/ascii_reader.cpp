#include "formats/ascii_reader.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/date_time.h"
#include "core/helpers.h"
#include "core/units.h"
#include "formats/pair_lines.h"
#include "formats/reader_record.h"
#include "formats/resample.h"
#include "formats/text_loader.h"
#include "formats/text_spectra_support.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"


namespace {

// A whole field read exactly as FixDecimalSeparator followed by StrToFloat would read it (blanks around
// allowed). False for anything else, which then takes the slow path that also raises the proper error.
bool fastNumber(std::string_view text, double& out) {
    const char* p = text.data();
    const char* e = p + text.size();
    while (p < e && *p == ' ') ++p;
    while (e > p && e[-1] == ' ') --e;
    return p < e && ScanNumberAt(p, e, '\0', out) && p == e;
}

double numberField(const MappedText& text, std::string_view field) {
    double v;
    if (fastNumber(field, v)) return v;
    std::string t = text.Utf8(field);
    FixDecimalSeparator(t);
    return numtext::StrToFloat(t);
}

bool startsWithInteger(std::string_view line, char sep) {
    auto p = line.find(sep);
    std::string field(p == std::string_view::npos ? std::string_view() : line.substr(0, p));
    FixDecimalSeparator(field);
    auto d = field.find(numtext::decimalSeparator());
    if (d != std::string::npos) field.resize(d);
    return IsIntegerText(field);
}

std::string labelChars(std::string_view s) {
    std::string out;
    for (char c : s)
        if (c != '/' && c != '\\' && c != ' ' && c != '-' && c != '_' && c != '\t') out += c;
    return out;
}

// Axis types from the label line; x unit and y kind stay as they are where nothing matches.
void axisTypesFromLabels(const std::string& line, char sep, TSpectrumRecord& r) {
    auto p = line.find(sep);
    std::string xl = line.substr(0, p);
    auto blank = xl.find(' ');
    if (blank != std::string::npos) xl.resize(blank);
    xl = LowerAscii(labelChars(xl));
    if (ContainsText(" wavenumbers 1/cm wellenzahlen cm-1 cm^-1 ", xl)) r.XUnit = SpecXWavenumber;
    if (ContainsText(" ramanshift 1/cm raman shift ramanshift cm^-1", xl)) {
        r.XUnit = SpecXRamanShift;
        r.Comment2 = "Raman Shift [1/cm]";
    }
    std::string yl = p == std::string::npos ? std::string() : UpperAscii(labelChars(line.substr(p + 1)));
    if (yl.empty()) return;
    if (ContainsText("TRANSMISSION TRANSMITTANCE TRANS. %T", yl)) r.YKind = SpecYTransmittance;
    if (ContainsText("COUNTS INT. REL. INT. RELATIVE INTENSITAET INTENSITäT RELATIVE INTENSITY AU ARBITRARY UNITS",
                     yl))
        r.YKind = SpecYIntensity;
    if (ContainsText("A ABS ABS. ABSORBANCE EXTINKTION EXT.", yl)) r.YKind = SpecYAbsorbance;
    if (ContainsText(yl, "ABSORBANCE")) r.YKind = SpecYAbsorbance;
    if (ContainsText(yl, "REFLECTANCE")) r.YKind = SpecYReflectance;
    if (ContainsText(yl, "EMISSION")) r.YKind = SpecYIntensity;
    if (ContainsText("EPSILON EPS.", yl)) r.YKind = SpecYEpsilon;
    if (ContainsText("LOG(EPSILON) LOGEPS LOG(EPS) LOG(EPS.)", yl)) r.YKind = SpecYLogEpsilon;
}

// Asks for the axis types of a headerless file; every close stores the dialog's selection.
void askAxisTypes(const std::string& fileName, TSpectrumRecord& r, TAxisQueryChoice& AxisQueryChoice) {
    ui::Query q;
    q.dialog = kAxisQueryDialog;
    q.caption = "axis type query";
    q.fields[kAxisQueryFileLabel] = "Dateiname: " + NameWithoutFolder(fileName);
    q.fields[kAxisQueryPathLabel] = "Dateipfad: " + FolderOf(fileName);
    q.fields[kAxisQueryXUnit] = std::to_string(CodeOf(AxisQueryChoice.XUnit));
    q.fields[kAxisQueryYKind] = std::to_string(CodeOf(AxisQueryChoice.YKind));
    const bool ok = ui::ask(q);
    if (auto x = numtext::TryStrToInt(q.fields[kAxisQueryXUnit]))
        AxisQueryChoice.XUnit = XUnitOfCode(*x).value_or(AxisQueryChoice.XUnit);
    if (auto y = numtext::TryStrToInt(q.fields[kAxisQueryYKind]))
        AxisQueryChoice.YKind = YKindOfCode(*y).value_or(AxisQueryChoice.YKind);
    if (!ok) return;
    r.XUnit = AxisQueryChoice.XUnit;
    r.YKind = AxisQueryChoice.YKind;
    if (r.XUnit == SpecXRamanShift) r.Comment2 = "Raman Shift [1/cm]";
}

// Transmittance and reflectance to the stored absorbance-like form; percent above `percentLimit`.
void fractionToAbsorbance(std::vector<double>& ys, double ymax, double percentLimit) {
    const bool percent = ymax > percentLimit;
    for (double& y : ys) {
        if (y <= 1e-6)
            y = 6.0;
        else
            y = -Log10Ext(percent ? y / 100.0 : y);
    }
}

// Steps shared with the readers built on this one: pairs from `dataStart` up to the first line without
// a separator (a pair kept only when its x text has at least `minXChars` characters), rising order,
// the grid and resampling, the y conversion of the record's y kind, direction and unit folding.
void pairsToRecord(TSpectrumRecord& r, const MappedText& text, std::size_t dataStart, char sep,
                   std::size_t minXChars) {
    const std::string_view bytes = text.Bytes();
    LineCursor lines(bytes);
    std::string scratch;
    std::string_view line;
    r.Values.clear();
    // Pairs up to the first line without a separator: at most one a line.
    PairColumns pairs(CountLines(bytes.substr(std::min(dataStart, bytes.size()))));
    std::vector<double>& xs = pairs.xs;
    std::vector<double>& ys = pairs.ys;
    std::size_t pos = dataStart;
    double x = 0, y = 0;
    for (;;) {
        if (ScanPairLine(bytes.data(), pos, bytes.size(), sep, minXChars, x, y)) {
            pairs.add(x, y);
            continue;
        }
        lines.Seek(pos);
        if (!lines.Next(line)) break;
        pos = lines.Position();
        std::string_view s = StripLeadingBlanksView(line, scratch);
        auto p = s.find(sep);
        if (p == std::string_view::npos) break;
        std::string_view xf = s.substr(0, p), yf = s.substr(p + 1);
        if (xf.size() < minXChars || xf.empty() || yf.empty()) continue;
        x = numberField(text, xf);
        y = numberField(text, yf);
        pairs.add(x, y);
    }
    if (xs.empty()) throw vx::ListIndexError(0);
    ToRisingPairs(xs, ys);
    const int32_t n = static_cast<int32_t>(xs.size());
    // A single pair or all x equal give no grid.
    if (n < 2 || xs.back() == xs.front()) vx::throwInvalidFloatOp();
    double x0 = xs.front();
    double step = (xs.back() - xs.front()) / (n - 1);
    if (!std::isfinite(step) || step == 0.0) vx::throwInvalidFloatOp();

    ResampleInPlace(xs, ys, x0, step);
    r.Values = std::move(ys);
    std::vector<double>& values = r.Values;
    double ymax = 0.0;
    for (double y : values) ymax = std::max(ymax, y);

    switch (r.YKind) {
    case SpecYTransmittance: fractionToAbsorbance(values, ymax, 4.0); break;
    case SpecYReflectance: fractionToAbsorbance(values, ymax, 1.2); break;
    case SpecYEpsilon:
    case SpecYLogEpsilon:
        if (auto y = EpsilonToStored(r, r.YKind == SpecYLogEpsilon)) vx::throwNotFloat(numtext::FloatToStr(*y));
        break;
    default: break;
    }
    for (double y : values)
        if (!std::isfinite(y)) vx::throwNotFloat(numtext::FloatToStr(y));
    r.ConcTimesPath = r.Concentration * r.PathLength;

    // Wavenumbers and Raman shifts are stored with falling x, wavelengths with rising x.
    if ((step < 0 && r.XUnit == SpecXNanometer) ||
        (step > 0 && (r.XUnit == SpecXWavenumber || r.XUnit == SpecXRamanShift))) {
        x0 += (n - 1) * step;
        step = -step;
        std::reverse(values.begin(), values.end());
    }
    if (r.XUnit == SpecXElectronVolt) {
        x0 *= kWavenumberPerEv;
        step *= kWavenumberPerEv;
        r.XUnit = SpecXWavenumber;
    } else if (r.XUnit == SpecXMicrometer) {
        x0 *= 1000.0;
        step *= 1000.0;
        r.XUnit = SpecXNanometer;
    }
    // Folding can overflow a grid near the largest numbers.
    if (!std::isfinite(x0) || !std::isfinite(step)) vx::throwInvalidFloatOp();
    r.FirstX = x0;
    r.StepX = step;
}

// The separator guessed from the eleventh line (index 10).
char separatorOfLine10(std::string_view bytes) {
    LineCursor lines(bytes);
    std::string scratch;
    std::string_view line;
    for (int i = 0; i <= 10; ++i)
        if (!lines.Next(line)) throw vx::ListIndexError(10);
    return GuessSeparator(StripLeadingBlanksView(line, scratch));
}

void readAscii(TSpectrumRecord& rec, const MappedText& text, const std::string& fileName,
               TAxisQueryChoice* axisQuery) {
    TSpectrumRecord r =
        StartReaderRecord(rec, fileName, NameWithoutExtension(fileName), "ascii_fak", SpecSourceAscii, "");
    r.YKind = SpecYIntensity;

    const std::string_view bytes = text.Bytes();
    LineCursor lines(bytes);
    std::string scratch;
    std::string_view line;
    const char sep = separatorOfLine10(bytes);

    // Header lines: those whose first field is no integer.
    int32_t header = 0;
    std::size_t dataStart = 0;
    for (;;) {
        dataStart = lines.Position();
        if (!lines.Next(line)) throw vx::ListIndexError(header);
        if (startsWithInteger(StripLeadingBlanksView(line, scratch), sep)) break;
        ++header;
    }

    if (header > 0) {
        LineCursor first(bytes);
        first.Next(line);
        axisTypesFromLabels(text.Utf8(StripLeadingBlanksView(line, scratch)), sep, r);
    } else if (axisQuery) {
        askAxisTypes(fileName, r, *axisQuery);
    }

    pairsToRecord(r, text, dataStart, sep, 1);
    rec = std::move(r);
}

}  // namespace

void ReadAsciiPairsFromLine(TSpectrumRecord& rec, const MappedText& text, std::size_t firstLine,
                            std::size_t minXChars) {
    TSpectrumRecord r = rec;
    const char sep = separatorOfLine10(text.Bytes());
    LineCursor lines(text.Bytes());
    lines.Skip(firstLine);
    pairsToRecord(r, text, lines.Position(), sep, minXChars);
    rec = std::move(r);
}

void ReadSpecAsciiBytes(TSpectrumRecord& rec, std::string_view bytes, bool utf8, const std::string& fileName,
                        TAxisQueryChoice* axisQuery) {
    readAscii(rec, utf8 ? MappedText::FromUtf8(bytes) : MappedText::FromStoredBytes(bytes), fileName, axisQuery);
}

void LoadSpecAscii(TSpectrumRecord& rec, const std::string& fileName, TAxisQueryChoice* axisQuery,
                   std::uint64_t maxBytes) {
    const MappedText text = MappedText::OpenFile(fileName, maxBytes, "two-column ASCII");
    TSpectrumRecord r;
    r.Color = rec.Color;
    r.LineStyle = rec.LineStyle;
    readAscii(r, text, fileName, axisQuery);
    r.DateText = DateTimeToText(FileDateTimeOf(fileName));
    rec = std::move(r);
}

void LoadSpecAsciiFromOpen(TSpectrumRecord& rec, const std::string& fileName, TAxisQueryChoice& axisQuery,
                           std::uint64_t maxBytes) {
    LoadSpecAscii(rec, fileName, &axisQuery, maxBytes);
}
