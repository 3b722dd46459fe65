#include "formats/clipboard_table.h"

#include <algorithm>
#include <vector>

#include "core/units.h"
#include "formats/column_titles.h"
#include "platform/numtext.h"

namespace {

// One line of cells joined by tabs.
class Line {
public:
    explicit Line(std::string& out) : out_(out) {}
    ~Line() { out_ += "\r\n"; }
    void cell(const std::string& text) {
        if (cells_++ > 0) out_ += '\t';
        out_ += text;
    }

private:
    std::string& out_;
    int cells_ = 0;
};

std::string legendName(const TSpectrumRecord& r) {
    std::string t = r.Title.str();
    std::replace(t.begin(), t.end(), '\t', ' ');
    return t;
}

}  // namespace

double StoredYInOwnKind(const TSpectrumRecord& rec, double a) {
    const double cd = rec.Concentration * rec.PathLength;
    switch (rec.YKind) {
    case SpecYTransmittance:
    case SpecYReflectance: return Pow10Ext(-a);
    case SpecYEpsilon: return cd == 0.0 ? 0.0 : a / cd;
    case SpecYLogEpsilon: {
        if (cd == 0.0) return 0.0;
        const double q = a / cd;
        return q > 0.0 ? Log10Ext(q) : 0.0;
    }
    default: return a;
    }
}

std::string ClipboardDataText(const TSpectraList& list) {
    if (list.Empty()) return {};
    const TSpectrumRecord& first = list[0];
    bool shared = true;
    std::size_t longest = 0;
    for (const auto& r : list) {
        shared = shared && r->FirstX == first.FirstX && r->StepX == first.StepX &&
                 r->PointCount() == first.PointCount();
        longest = std::max(longest, r->Values.size());
    }
    using numtext::FloatFormat;
    std::string out;
    out.reserve((longest + 3) * static_cast<std::size_t>(list.Count()) * 24);
    // Cells of each spectrum in its columns: the x cell (its own, or the shared one for the first),
    // then the y cell.
    auto row = [&](Line& line, auto xCell, auto yCell) {
        for (int32_t s = 0; s < list.Count(); ++s) {
            if (s == 0 || !shared) line.cell(xCell(list[s], s));
            line.cell(yCell(list[s], s));
        }
    };
    {
        Line line(out);
        row(line, [](const TSpectrumRecord&, int32_t) { return std::string(); },
            [](const TSpectrumRecord& r, int32_t) { return legendName(r); });
    }
    if (first.SourceKind == kClockTimeKind) {
        Line line(out);
        row(line, [](const TSpectrumRecord&, int32_t s) { return std::string(s == 0 ? "Time" : ""); },
            [](const TSpectrumRecord& r, int32_t) {
                return r.SourceKind == kClockTimeKind ? ClockTimeOfDate(r.DateText) : std::string();
            });
    }
    {
        Line line(out);
        row(line, [](const TSpectrumRecord& r, int32_t) { return StoredXUnitTitle(r.XUnit); },
            [](const TSpectrumRecord& r, int32_t) { return StoredYKindTitle(r.YKind); });
    }
    for (std::size_t k = 0; k < longest; ++k) {
        Line line(out);
        row(line,
            [k](const TSpectrumRecord& r, int32_t) {
                if (k >= r.Values.size()) return std::string();
                return numtext::FloatToStrF(r.FirstX + static_cast<double>(k) * r.StepX, FloatFormat::Fixed, 15, 3);
            },
            [k](const TSpectrumRecord& r, int32_t) {
                if (k >= r.Values.size()) return std::string();
                return numtext::FloatToStrF(StoredYInOwnKind(r, r.Values[k]), FloatFormat::General, 5, 0);
            });
    }
    return out;
}
