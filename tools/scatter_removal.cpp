#include "tools/scatter_removal.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "core/spikes_scatter.h"
#include "platform/numtext.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"

double ReadScatterBandWidth(std::string& text) {
    std::replace(text.begin(), text.end(), ',', '.');
    return DialogFloat(text);
}

int32_t ReadRamanBandShift(const std::string& shiftText) { return numtext::StrToInt(shiftText); }

bool ScatterQualifies(const TSpectrumRecord& rec) {
    return rec.PointCount() >= 3 && rec.ExcitationWl > 0.0 && std::isfinite(rec.ExcitationWl) &&
           rec.XUnit == SpecXNanometer && (rec.YKind == SpecYAbsorbance || rec.YKind == SpecYIntensity);
}

int32_t RunScatterRemoval(TSpectraList& list, const TDisplayState& display, const TScatterParams& params) {
    if (!params.Rayleigh1 && !params.Rayleigh2 && !params.Raman) return 0;
    if (!(params.BandWidth >= kScatterMinBandWidth && params.BandWidth <= kScatterMaxBandWidth)) {
        ui::messageBox(kScatterBandWidthText);
        return 0;
    }
    std::vector<int32_t> sources;
    if (params.AllSpectra) {
        for (int32_t i = 0; i < list.Count(); ++i) {
            if (!ScatterQualifies(list[i])) {
                ui::messageBox(kScatterOnlyText);
                return 0;
            }
            sources.push_back(i);
        }
    } else {
        if (!ValidSpectrumIndex(list, params.Spectrum)) return 0;
        if (!ScatterQualifies(list[params.Spectrum])) {
            ui::messageBox(kScatterOnlyText);
            return 0;
        }
        sources.push_back(params.Spectrum);
    }
    TScatterRemovalSettings settings;
    settings.Rayleigh1 = params.Rayleigh1;
    settings.Rayleigh2 = params.Rayleigh2;
    settings.Raman = params.Raman;
    settings.HalfWidth = params.BandWidth;
    settings.FillMode = params.FillMode;
    settings.RamanShift = params.RamanShift;
    // The bands are placed in nm.
    TDisplayState nm = display;
    nm.DisplayXUnit = SpecXNanometer;
    std::vector<std::unique_ptr<TSpectrumRecord>> results;
    results.reserve(sources.size());
    for (int32_t i : sources) {
        std::unique_ptr<TSpectrumRecord> r;
        SpecRemoveScatter(r, list[i], kScatterFitPoints, kScatterCoefficients, settings, nm);
        results.push_back(std::move(r));
    }
    return AppendToolResults(list, results, sources, params.RemoveOriginal);
}
