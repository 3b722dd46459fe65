#include "tools/spikes.h"

#include <memory>

#include "core/spectra_list.h"
#include "core/spikes_scatter.h"
#include "platform/errors.h"
#include "tools/dialog_support.h"

void ForceRemoveWhenAll(TSpikeParams& params) {
    if (params.AllSpectra) params.RemoveOriginal = true;
}

namespace {
std::unique_ptr<TSpectrumRecord> treat(const TSpectrumRecord& src, const TSpikeParams& params,
                                       const TDisplayState& display) {
    std::unique_ptr<TSpectrumRecord> r;
    const uint8_t nameFlag = params.AppendToTitle ? 1 : 0;
    if (params.Backward) SpecRemoveSpikesBackward(r, src, nameFlag, params.Threshold, display);
    else SpecRemoveSpikes(r, src, nameFlag, params.Threshold, display);
    return r;
}
}  // namespace

int32_t RunSpikeRemoval(TSpectraList& list, const TDisplayState& display, TSpikeParams& params,
                        const std::function<void(int32_t, int32_t)>& step) {
    ForceRemoveWhenAll(params);
    if (!params.AllSpectra) {
        if (!ValidSpectrumIndex(list, params.Spectrum)) return 0;
        const TSpectrumRecord& src = list[params.Spectrum];
        if (src.SourceKind == SpecSourceRaw) return 0;
        auto r = treat(src, params, display);
        if (!r || r->PointCount() < 2) return 0;
        AppendToolResult(list, std::move(r), params.RemoveOriginal, src.Color);
        if (params.RemoveOriginal) DeleteSpectrum(list, params.Spectrum);
        return 1;
    }
    // Every result first, then each takes its original's place, so that the list keeps its order.
    const int32_t n = list.Count();
    std::vector<std::unique_ptr<TSpectrumRecord>> results(static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        const TSpectrumRecord& src = list[i];
        if (src.SourceKind != SpecSourceRaw) {
            try {
                results[static_cast<std::size_t>(i)] = treat(src, params, display);
            } catch (const vx::Error&) {
                // A spectrum the routine refuses (no x step) stays as it was.
            }
        }
        if (step) step(i + 1, n);
    }
    int32_t treated = 0;
    for (int32_t i = 0; i < n; ++i) {
        auto& r = results[static_cast<std::size_t>(i)];
        if (!r || r->PointCount() < 2) continue;
        r->Color = list[i].Color;
        list.Extract(i);
        list.Insert(i, std::move(r));
        ++treated;
    }
    return treated;
}
