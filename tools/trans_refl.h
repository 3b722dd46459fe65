#pragma once
// Transmittance or reflectance from a sample and a reference intensity spectrum.
#include <cstdint>

#include "core/display_state.h"
#include "core/spectra_list.h"

struct TTransReflParams {
    int32_t Sample = 1;
    int32_t Reference = 0;
    int32_t Mode = 0;  // 0 transmittance, 1 reflectance
};

inline constexpr const char* kTransReflChoiceText =
    "Please choose two different spectra as sample and reference!";

bool RunTransRefl(TSpectraList& list, const TDisplayState& display, const TTransReflParams& params);
