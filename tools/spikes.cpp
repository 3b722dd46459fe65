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
std::unique_ptr<TSpectrumRecord> treat(const TSpectrumRecord& src, const TSpikeParams& params) {
    std::unique_ptr<TSpectrumRecord> r;
    const uint8_t nameFlag = params.AppendToTitle ? 1 : 0;
    if (params.Backward) SpecRemoveSpikesBackward(r, src, nameFlag);
    else SpecRemoveSpikes(r, src, nameFlag);
    return r;
}
}  // namespace

int32_t RunSpikeRemoval(TSpikeParams& params, const std::function<void(int32_t, int32_t)>& step) {
    ForceRemoveWhenAll(params);
    SpikeLimitFactor = params.Threshold;
    if (!params.AllSpectra) {
        if (!ValidSpectrumIndex(params.Spectrum)) return 0;
        const TSpectrumRecord& src = SpectraList[params.Spectrum];
        if (src.SourceKind == SpecSourceRaw) return 0;
        auto r = treat(src, params);
        if (!r || r->PointCount() < 2) return 0;
        AppendToolResult(std::move(r), params.RemoveOriginal, src.Color);
        if (params.RemoveOriginal) DeleteSpectrum(params.Spectrum);
        return 1;
    }
    // Every result first, then each takes its original's place, so that the list keeps its order.
    const int32_t n = SpectraList.Count();
    std::vector<std::unique_ptr<TSpectrumRecord>> results(static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        const TSpectrumRecord& src = SpectraList[i];
        if (src.SourceKind != SpecSourceRaw) {
            try {
                results[static_cast<std::size_t>(i)] = treat(src, params);
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
        r->Color = SpectraList[i].Color;
        SpectraList.Extract(i);
        SpectraList.Insert(i, std::move(r));
        ++treated;
    }
    return treated;
}
