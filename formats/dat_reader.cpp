#include "formats/dat_reader.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string_view>

#include "core/date_time.h"
#include "core/helpers.h"
#include "formats/text_spectra_support.h"
#include "platform/numtext.h"

namespace {

bool isBlankLine(std::string_view s) { return std::all_of(s.begin(), s.end(), [](char c) { return c == ' '; }); }

std::unique_ptr<TSpectrumRecord> newRecord(const std::string& path, const std::string& dateText) {
    auto rec = std::make_unique<TSpectrumRecord>();
    rec->FileName = path;
    rec->DateText = dateText;
    rec->Solvent = "";
    rec->Concentration = 0.0;
    rec->PathLength = 1.0;
    rec->ExcitationWl = -1.0;
    rec->Temperature = -1.0;
    rec->ExposureTime = -1.0;
    rec->LineWidth = 1;
    rec->LineStyle = 0;
    return rec;
}

void append(TSpectraList& list, std::unique_ptr<TSpectrumRecord> rec) {
    if (!rec->IsComplete()) return;
    rec->Color = CurveColor(list.Count() + 1);
    list.Add(std::move(rec));
}

void loadInstrument(const std::vector<std::string>& lines, const std::string& path, const std::string& dateText,
                    TSpectraList& list) {
    auto rec = newRecord(path, dateText);
    rec->Title = lines[0].empty() ? NameWithoutFolder(path) : lines[0];
    rec->Comment1 = lines[1];
    rec->Comment2 = lines[2];
    rec->SpecType = "zeiss_dat";
    rec->SourceKind = 34;
    rec->XUnit = SpecXNanometer;
    rec->YKind = SpecYTransmittance;
    std::vector<XYPair> pairs;
    for (std::size_t i = 6; i < lines.size(); ++i) {
        std::string_view l = lines[i];
        if (isBlankLine(l)) continue;
        std::string_view xs = FieldAt(l, ';', 2), ys = FieldAt(l, ';', 4);
        if (xs.empty() && ys.empty()) continue;
        pairs.push_back({ReadNumberToken(xs), ReadNumberToken(ys)});
    }
    if (pairs.size() >= 2 && pairs.front().x > pairs.back().x) std::reverse(pairs.begin(), pairs.end());
    if (!ResamplePairs(pairs, *rec)) return;
    for (double& v : rec->Values) v = TransmittanceToStored(v, true, 1e-5, 5.0);
    append(list, std::move(rec));
}

enum class XColumn { Nm, Micrometer, Wavenumber, ElectronVolt, Unknown };

XColumn xColumnOf(std::string_view title) {
    if (title == "Wavelength [nm]") return XColumn::Nm;
    if (title == "Wavelength [\xC2\xB5m]") return XColumn::Micrometer;
    if (title == "Wavenumbers [1/cm]") return XColumn::Wavenumber;
    if (title == "Electron Volts [eV]") return XColumn::ElectronVolt;
    return XColumn::Unknown;
}

// |standard deviation / mean| of the differences of consecutive samples; infinite for a zero mean.
double relativeSpread(const std::vector<double>& samples) {
    const std::size_t n = samples.size() - 1;
    double mean = 0.0;
    for (std::size_t i = 0; i < n; ++i) mean += samples[i + 1] - samples[i];
    mean /= static_cast<double>(n);
    double ss = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        double dlt = samples[i + 1] - samples[i] - mean;
        ss += dlt * dlt;
    }
    double sd = std::sqrt(ss / static_cast<double>(n - 1));
    if (mean == 0.0) return std::numeric_limits<double>::infinity();
    return std::fabs(sd / mean);
}

void loadColumns(const std::vector<std::string>& lines, const std::string& path, const std::string& dateText,
                 TSpectraList& list) {
    if (lines.size() < 2) return;
    const int t0 = CountChar('\t', lines[0]);
    const int t1 = CountChar('\t', lines[1]);
    {
        std::string first(FieldAt(lines[1], '\t', 1));
        StripTrailingBlanks(first);
        StripLeadingBlanks(first);
        FixDecimalSeparator(first);
        auto p = first.find(numtext::decimalSeparator());
        if (p != std::string::npos) first.erase(p);
        if (!IsIntegerText(first) || t1 != t0) return;
    }

    // Our writer names its x columns; its µm and eV columns are not x candidates.
    int nmField = 1, wnField = 2, xColumns = 2;
    {
        int recognised = 0;
        int nm = 0, wn = 0;
        for (int k = 1; k <= 3; ++k) {
            XColumn c = xColumnOf(FieldAt(lines[0], '\t', k));
            if (c == XColumn::Unknown) break;
            recognised = k;
            if (c == XColumn::Nm && nm == 0) nm = k;
            if (c == XColumn::Wavenumber && wn == 0) wn = k;
        }
        if (recognised >= 2 && nm > 0 && wn > 0) {
            nmField = nm;
            wnField = wn;
            xColumns = recognised;
        }
    }
    const int m = t1 - (xColumns - 1);
    if (m < 1) return;

    // The x column whose steps are the more regular.
    int k = 1;
    if (lines.size() > 20) {
        const std::size_t r = lines.size() / 20;
        std::vector<double> a, b;
        for (std::size_t s = 0; s < 20; ++s) {
            const std::string& l = lines[s * r + 1];
            a.push_back(ReadNumberToken(FieldAt(l, '\t', nmField)));
            b.push_back(ReadNumberToken(FieldAt(l, '\t', wnField)));
        }
        k = relativeSpread(b) >= relativeSpread(a) ? 1 : 2;
    }
    const int xField = k == 1 ? nmField : wnField;

    std::vector<std::vector<XYPair>> columns(static_cast<std::size_t>(m));
    // Where each field of the line starts; the line is split once, so a line costs its length, not
    // its length times the number of columns.
    std::vector<std::size_t> starts;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string_view l = lines[i];
        if (isBlankLine(l)) continue;
        starts.assign(1, 0);
        ForEachByte(l, '\t', [&](std::size_t p) { starts.push_back(p + 1); });
        const std::size_t fields = starts.size();
        auto field = [&](std::size_t n) -> std::string_view {  // n from 1; empty beyond the line
            if (n > fields) return {};
            const std::size_t b = starts[n - 1];
            return l.substr(b, n < fields ? starts[n] - 1 - b : std::string_view::npos);
        };
        const double x = ReadNumberToken(field(static_cast<std::size_t>(xField)));
        // Columns beyond the line's fields are missing, as "-" is.
        const int present = static_cast<int>(
            std::min<std::size_t>(static_cast<std::size_t>(m), fields > static_cast<std::size_t>(xColumns)
                                                                    ? fields - static_cast<std::size_t>(xColumns)
                                                                    : 0));
        for (int c = 1; c <= present; ++c) {
            const std::size_t f = static_cast<std::size_t>(xColumns + c);
            std::string_view v = c == m ? l.substr(starts[f - 1]) : field(f);
            while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
            while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
            if (v.empty() || v == "-") continue;  // a missing field counts as "-"
            columns[static_cast<std::size_t>(c - 1)].push_back({x, ReadNumberToken(v)});
        }
    }

    // The column titles of line 0, split once.
    const std::string_view titles = lines[0];
    std::vector<std::size_t> titleStarts(1, 0);
    ForEachByte(titles, '\t', [&](std::size_t p) { titleStarts.push_back(p + 1); });
    for (int c = 1; c <= m; ++c) {
        auto& pairs = columns[static_cast<std::size_t>(c - 1)];
        auto rec = newRecord(path, dateText);
        const std::size_t f = static_cast<std::size_t>(xColumns + c);
        if (f <= titleStarts.size()) {
            const std::size_t b = titleStarts[f - 1];
            rec->Title = std::string(c == m || f == titleStarts.size() ? titles.substr(b)
                                                                       : titles.substr(b, titleStarts[f] - 1 - b));
        }
        rec->SpecType = "ascii_dat";
        rec->SourceKind = 32;
        rec->XUnit = k;
        rec->YKind = SpecYAbsorbance;
        if (pairs.size() >= 2 && pairs.front().x > pairs.back().x) std::reverse(pairs.begin(), pairs.end());
        if (!ResamplePairs(pairs, *rec)) continue;
        if (k == 2) ReverseGrid(*rec);  // wavenumbers fall
        append(list, std::move(rec));
    }
}

}  // namespace

void LoadDatLines(const std::vector<std::string>& lines, const std::string& path, const std::string& dateText,
                  TSpectraList& list) {
    if (lines.size() > 4 && UpperAscii(lines[4]).find("WELLENL\xC3\x84NGE") != std::string::npos)
        return loadInstrument(lines, path, dateText, list);
    if (lines.size() > 4 && UpperAscii(lines[4]).find("WELLENZAHL") != std::string::npos)
        return loadInstrument(lines, path, dateText, list);
    loadColumns(lines, path, dateText, list);
}

void LoadDatFile(const std::string& path, TSpectraList& list) {
    LoadDatLines(SplitLines(LoadFileText(path)), path, DateTimeToText(FileDateTimeOf(path)), list);
}
