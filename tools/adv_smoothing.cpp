#include "tools/adv_smoothing.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "core/smoothing.h"
#include "core/units.h"
#include "tools/dialog_support.h"

TAdvSmoothSettings ClampedAdvSmoothSettings(TAdvSmoothSettings s) {
    s.Mode = std::clamp(s.Mode, 0, 2);
    s.MovingAverageSize = std::clamp(s.MovingAverageSize, kMovingAverageSizeMin, kMovingAverageSizeMax);
    s.MovingAverageShape = std::clamp(s.MovingAverageShape, 0, 1);
    s.SavitzkySize = std::clamp(s.SavitzkySize, kSavitzkySizeMin, kSavitzkySizeMax);
    s.SavitzkyOrder = std::clamp(s.SavitzkyOrder, kSavitzkyOrderMin, kSavitzkyOrderMax);
    s.PercentileSize = std::clamp(s.PercentileSize, kPercentileSizeMin, kPercentileSizeMax);
    s.Percentile = std::clamp(s.Percentile, 0, 100);
    return s;
}

int32_t RunAdvSmoothing(TSpectraList& list, const TDisplayState& display, const TAdvSmoothParams& params) {
    const TAdvSmoothSettings s = ClampedAdvSmoothSettings(params.Settings);
    std::vector<int32_t> sources;
    if (s.AllSpectra) {
        for (int32_t i = 0; i < list.Count(); ++i) sources.push_back(i);
    } else if (ValidSpectrumIndex(list, params.Spectrum)) {
        sources.push_back(params.Spectrum);
    }
    for (int32_t i : sources)
        if (list[i].PointCount() < 3) return 0;

    int32_t width = s.MovingAverageSize, param = s.MovingAverageShape;
    TDisplayState units = display;
    if (s.Mode == SmoothModePolynomial) {
        width = s.SavitzkySize;
        param = s.SavitzkyOrder;
    } else if (s.Mode == SmoothModePercentile) {
        width = s.PercentileSize;
        param = s.Percentile;
        units.DisplayYMode = SpecYAbsorbance;
    }
    std::vector<std::unique_ptr<TSpectrumRecord>> results;
    results.reserve(sources.size());
    for (int32_t i : sources) {
        std::unique_ptr<TSpectrumRecord> r;
        SmoothSpectrumAdv(r, list[i], s.Mode, width, param, units);
        results.push_back(std::move(r));
    }
    return AppendToolResults(list, results, sources, s.RemoveOriginal);
}
