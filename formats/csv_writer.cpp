#include "formats/csv_writer.h"

#include <algorithm>
#include <cmath>

#include "core/units.h"
#include "formats/column_titles.h"
#include "formats/file_writer.h"
#include "platform/numtext.h"
#include "platform/ui.h"

namespace {

using numtext::FloatFormat;

// The display mode that shows a stored value in the record's own y kind.
SpecYKind ownMode(SpecYKind yKind) { return yKind == SpecYIntensity ? SpecYAbsorbance : yKind; }

// Why the values of `r` cannot be converted into its own kind (empty when they can).
std::string whyNotConvertible(const TSpectrumRecord& r) {
    if (r.SourceKind == SpecSourceRaw) return {};
    const double cd = r.Concentration * r.PathLength;
    if ((r.YKind == SpecYEpsilon || r.YKind == SpecYLogEpsilon) && !(cd != 0.0 && std::isfinite(cd)))
        return "it has no concentration or path length for " + StoredYKindTitle(r.YKind);
    if (r.YKind == SpecYLogEpsilon)
        for (double v : r.Values)
            if (!(v / cd > 0.0)) return "log(Epsilon) of values of 0 or less";
    return {};
}

// y of a stored value: transmittance and reflectance 10^(-v), epsilon v/(c*d), log epsilon
// log10(v/(c*d)), others as stored. A spectrum whose values cannot all be converted is written as the
// plot shows it in its own kind (SpecYValue: 0 where there is no value).
double csvY(const TSpectrumRecord& r, double v, bool convertible) {
    const SpecYKind mode = ownMode(r.YKind);
    if (!convertible || r.SourceKind == SpecSourceRaw) return StoredToDisplayY(r, v, mode);
    const double cd = r.Concentration * r.PathLength;
    switch (r.YKind) {
    case SpecYEpsilon: return v / cd;
    case SpecYLogEpsilon: return Log10Ext(v / cd);
    default: return StoredToDisplayY(r, v, mode);
    }
}

class Table {
public:
    Table(std::size_t rows, char sep) : rows_(rows), sep_(sep) {}
    void cell(std::size_t row, const std::string& text) {
        rows_[row] += text;
        rows_[row] += sep_;
    }
    std::string text() const {
        std::string out;
        for (const auto& r : rows_) {
            out += r;
            out += "\r\n";
        }
        return out;
    }

private:
    std::vector<std::string> rows_;
    char sep_;
};

}  // namespace

TCsvText CsvExportText(const TSpectraList& list, const TCsvLayout& layout) {
    TCsvText out;
    if (list.Empty()) {
        out.refusal = "There are no spectra to save.";
        return out;
    }
    // The spectra written, in order.
    std::vector<const TSpectrumRecord*> written;
    if (layout.Only >= 0) written.push_back(&list[layout.Only]);
    else
        for (const auto& r : list) written.push_back(r.get());

    std::vector<bool> convertible;
    for (const TSpectrumRecord* r : written) {
        const std::string why = whyNotConvertible(*r);
        convertible.push_back(why.empty());
        if (!why.empty()) out.notice += "\r\n\"" + r->Title.str() + "\": " + why;
    }
    if (!out.notice.empty())
        out.notice = "Values that cannot be converted were saved as the plot shows them (0 where there is no "
                     "value):" + out.notice;
    const char sep = numtext::listSeparator();
    const TSpectrumRecord& first = *written.front();
    bool shared = true, anyClock = false;
    std::size_t longest = 0;
    for (const TSpectrumRecord* r : written) {
        shared = shared && r->FirstX == first.FirstX && r->StepX == first.StepX &&
                 r->PointCount() == first.PointCount();
        anyClock = anyClock || r->SourceKind == kClockTimeKind;
    }
    for (const auto& r : list) longest = std::max(longest, r->Values.size());
    if (layout.Only < 0) {
        longest = 0;
        for (const TSpectrumRecord* r : written) longest = std::max(longest, r->Values.size());
    }
    // One title row for all: below the clock-time row when any spectrum has one.
    const std::size_t titleRow = anyClock ? 2 : 1;
    Table table(titleRow + 1 + longest, sep);

    for (std::size_t s = 0; s < written.size(); ++s) {
        const TSpectrumRecord& r = *written[s];
        const bool ownX = s == 0 || !shared;
        std::string title = r.Title.str();
        std::replace(title.begin(), title.end(), sep, ' ');
        if (ownX) table.cell(0, "");
        table.cell(0, title);
        if (anyClock) {
            if (r.SourceKind == kClockTimeKind) {
                if (ownX) table.cell(1, s == 0 ? "Time" : "");
                table.cell(1, ClockTimeOfDate(r.DateText));
            } else {
                if (ownX) table.cell(1, "");
                table.cell(1, "");
            }
        }
        if (ownX) table.cell(titleRow, StoredXUnitTitle(r.XUnit));
        table.cell(titleRow, StoredYKindTitle(r.YKind, !(s == 0 || layout.CapitalYTitles)));
        for (std::size_t k = 0; k < longest; ++k) {
            const std::size_t row = titleRow + 1 + k;
            if (k < r.Values.size()) {
                if (ownX)
                    table.cell(row, numtext::FloatToStrF(r.FirstX + static_cast<double>(k) * r.StepX,
                                                         FloatFormat::Fixed, 7, 3));
                table.cell(row, numtext::FloatToStrF(csvY(r, r.Values[k], convertible[s]), FloatFormat::General, 5, 0));
            } else {
                if (ownX) table.cell(row, "");
                table.cell(row, "");
            }
        }
    }
    out.text = table.text();
    return out;
}

bool SaveCsvFile(const std::string& fileName, const TSpectraList& list, const TCsvLayout& layout) {
    TCsvText csv = CsvExportText(list, layout);
    if (!csv.refusal.empty()) {
        ui::showMessage(csv.refusal);
        return false;
    }
    WriteTextFileAnsi(fileName, csv.text);
    if (!csv.notice.empty()) ui::showMessage(csv.notice);
    return true;
}
