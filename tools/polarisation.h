#pragma once
// Degree of polarisation P = (par - perp) / (par + perp) and reduced spectrum par + 2 perp, of one
// chosen pair or of every parallel/perpendicular pair of the list.
#include <cstdint>
#include <string>

#include "core/display_state.h"
#include "core/spectra_list.h"

struct TPolParams {
    int32_t Parallel = 0;       // the spectrum measured with parallel polariser (y)
    int32_t Perpendicular = 0;  // and perpendicular (x)
    bool Reduced = true;        // false: degree of polarisation
    bool AllPairs = false;
};

// Tag of the result for a perpendicular tag ("" when the tag is none of the four known).
std::string PolResultTag(const std::string& perpendicularTag, bool reduced);

// Computes in absorbance display (x in the display's unit) over the parallel spectrum's range and
// appends each result with the default colour of its position. All pairs: every parallel spectrum
// tagged "ccdfy" or "ccdey" of source kind 22 with every "ccdfx" or "ccdex" spectrum of the same
// temperature and excitation wavelength. A pair without a common range gives no record (one message).
// Returns the number of results.
int32_t RunPolarisation(TSpectraList& list, const TDisplayState& display, const TPolParams& params);
