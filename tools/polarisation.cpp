#include "tools/polarisation.h"

#include <memory>
#include <utility>
#include <vector>

#include "core/spectrum_arithmetic.h"
#include "core/units.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"
#include "tools/verrech.h"

namespace {

struct TagRow {
    const char* perpendicular;
    const char* polarisation;
    const char* reduced;
};
constexpr TagRow kTagRows[] = {
    {"ccdfx", "polccdf", "ccdfg"},
    {"ccdex", "polccde", "ccdeg"},
    {"fx", "polf", "fg"},
    {"ex", "pole", "eg"},
};

// Source kind of the degree of polarisation: plotted as it is, on the second axis.
constexpr int32_t kPolarisationKind = SpecSourceRaw;

std::unique_ptr<TSpectrumRecord> degreeOfPolarisation(TSpectrumRecord& par, TSpectrumRecord& perp,
                                                      const TDisplayState& display) {
    double from = SpecXValue(par, 0, display), to = SpecXValue(par, par.PointCount() - 1, display);
    std::unique_ptr<TSpectrumRecord> d, s, q;
    double f = from, t = to;
    if (SpecSubtract(d, par, perp, f, t, display) < 2) return nullptr;
    f = from;
    t = to;
    if (SpecAdd(s, par, perp, f, t, display) < 2) return nullptr;
    f = from;
    t = to;
    if (SpecDivide(q, *d, *s, f, t, display) < 2) return nullptr;
    q->SourceKind = kPolarisationKind;
    return q;
}

std::unique_ptr<TSpectrumRecord> reducedSpectrum(TSpectrumRecord& par, const TSpectrumRecord& perp,
                                                 const TDisplayState& display) {
    TSpectrumRecord twice;
    twice.FirstX = perp.FirstX;
    twice.StepX = perp.StepX;
    twice.Concentration = perp.Concentration;
    twice.XUnit = perp.XUnit;
    twice.YKind = perp.YKind;
    twice.PathLength = 1.0;
    twice.Values.resize(perp.Values.size());
    for (int32_t i = 0; i < perp.PointCount(); ++i)
        twice.Values[static_cast<std::size_t>(i)] = SpecYToStored(twice, 2.0 * SpecYValue(perp, i, display), display);
    double from = SpecXValue(par, 0, display), to = SpecXValue(par, par.PointCount() - 1, display);
    std::unique_ptr<TSpectrumRecord> r;
    if (SpecAdd(r, par, twice, from, to, display) < 2) return nullptr;
    r->SourceKind = SpecSourceReduced;
    return r;
}

// Texts and parameters of the result from the perpendicular spectrum.
void nameResult(TSpectrumRecord& r, const TSpectrumRecord& perp, bool reduced) {
    const std::string tag = PolResultTag(perp.SpecType, reduced);
    std::string title = perp.Title.str();
    if (tag.empty()) {
        title += reduced ? " reduced spectrum" : " degree of polarization";
    } else if (const auto at = title.find(perp.SpecType.str()); at != std::string::npos) {
        title.replace(at, perp.SpecType.str().size(), tag);
    }
    r.Title = title;
    r.SpecType = tag;
    r.Comment1 = perp.Comment1;
    r.Comment2 = perp.Comment2;
    r.Solvent = perp.Solvent;
    r.DateText = perp.DateText;
    r.ExcitationWl = perp.ExcitationWl;
    r.Temperature = perp.Temperature;
    r.ExposureTime = perp.ExposureTime;
    r.LineWidth = perp.LineWidth;
    r.LineStyle = perp.LineStyle;
    r.XUnit = perp.XUnit;
    r.YKind = perp.YKind;
}

}  // namespace

std::string PolResultTag(const std::string& perpendicularTag, bool reduced) {
    for (const TagRow& row : kTagRows)
        if (perpendicularTag == row.perpendicular) return reduced ? row.reduced : row.polarisation;
    return {};
}

int32_t RunPolarisation(TSpectraList& list, const TDisplayState& display, const TPolParams& params) {
    // The arithmetic runs on absorbance-like values, whatever the plot shows.
    TDisplayState abs = display;
    abs.DisplayYMode = SpecYAbsorbance;
    std::vector<std::pair<int32_t, int32_t>> pairs;
    if (params.AllPairs) {
        const int32_t n = list.Count();
        for (int32_t p = 0; p < n; ++p) {
            const TSpectrumRecord& par = list[p];
            const char* partner = par.SpecType == "ccdfy" ? "ccdfx" : par.SpecType == "ccdey" ? "ccdex" : nullptr;
            if (!partner || par.SourceKind != SpecSourceGgg) continue;
            for (int32_t x = 0; x < n; ++x) {
                const TSpectrumRecord& perp = list[x];
                if (perp.SpecType == partner && perp.Temperature == par.Temperature &&
                    perp.ExcitationWl == par.ExcitationWl)
                    pairs.emplace_back(p, x);
            }
        }
    } else if (ValidSpectrumIndex(list, params.Parallel) && ValidSpectrumIndex(list, params.Perpendicular)) {
        pairs.emplace_back(params.Parallel, params.Perpendicular);
    }
    std::vector<std::unique_ptr<TSpectrumRecord>> results;
    bool noRange = false;
    for (const auto& [p, x] : pairs) {
        TSpectrumRecord& par = list[p];
        TSpectrumRecord& perp = list[x];
        if (par.PointCount() < 2 || perp.PointCount() < 2) {
            noRange = true;
            continue;
        }
        auto r = params.Reduced ? reducedSpectrum(par, perp, abs) : degreeOfPolarisation(par, perp, abs);
        if (!r || !r->IsComplete()) {
            noRange = true;
            continue;
        }
        nameResult(*r, perp, params.Reduced);
        results.push_back(std::move(r));
    }
    if (noRange) ui::messageBox(kNoCommonRangeText);
    for (auto& r : results) list.AddWithDefaultColor(std::move(r));
    return static_cast<int32_t>(results.size());
}
