#pragma once
// Constants on the x axis (the "X Constants" dialog): shift or scale a spectrum's grid.
#include <cstdint>
#include <string>

#include "core/display_state.h"
#include "core/spectra_list.h"

struct TSimpleXParams {
    int32_t Spectrum = 0;
    int32_t Operation = 0;  // 0 "+", 1 "-", 2 "x", 3 "/"
    std::string Constant = "0";
};

inline constexpr const char* kSimpleXOps[4] = {"+", "-", "x", "/"};
inline constexpr const char* kXTypeMismatchText = "X Axis Type of spectrum <> X Axis Type of plot!";

// Appends the changed copy with the default colour of its position. False (and the message) when the
// spectrum's x unit is not the plot's; raises the conversion error for a constant that is no number
// (params.Constant gets the dots replaced either way).
bool ApplyXConstant(TSpectraList& list, const TDisplayState& display, TSimpleXParams& params);
