#pragma once
// Derivatives of one or of all spectra.
#include <cstdint>

#include "core/display_state.h"
#include "core/spectra_list.h"

struct TDerivativeParams {
    bool RemoveOriginal = false;
    bool AllSpectra = false;
    bool Smooth = true;
    int32_t Order = 1;  // 1..4
    int32_t Spectrum = 0;
};

// Spectra under 3 points are skipped. Returns the number of new spectra.
int32_t RunDerivative(TSpectraList& list, const TDisplayState& display, const TDerivativeParams& params);
