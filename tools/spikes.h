#pragma once
// Spike removal on one or on all spectra.
#include <cstdint>
#include <functional>

#include "core/display_state.h"
#include "core/spectra_list.h"
#include "core/spikes_scatter.h"

struct TSpikeParams {
    bool RemoveOriginal = true;
    bool AllSpectra = true;
    bool Backward = false;
    bool AppendToTitle = false;
    double Threshold = kDefaultSpikeLimitFactor;  // set by the options; the spike dialog does not show it
    int32_t Spectrum = 0;
};

// "Treat all Spectra" always removes the originals.
void ForceRemoveWhenAll(TSpikeParams& params);

// All: the list is replaced by the treated spectra in the same order, kind-7 spectra kept as they
// were; `step(i, n)` runs after each spectrum. One: the result is appended (original's colour when the
// original goes). Returns the number of treated spectra.
int32_t RunSpikeRemoval(TSpectraList& list, const TDisplayState& display, TSpikeParams& params,
                        const std::function<void(int32_t, int32_t)>& step = {});
