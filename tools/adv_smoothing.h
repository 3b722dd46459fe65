#pragma once
// Advanced smoothing of one spectrum or of all spectra: moving average, local polynomial
// (Savitzky-Golay) or running percentile.
#include <cstdint>

#include "core/display_state.h"
#include "core/program_settings.h"
#include "core/spectra_list.h"

struct TAdvSmoothParams {
    TAdvSmoothSettings Settings;  // method, sizes, shape, order, percentile, the two flags
    int32_t Spectrum = 0;
};

// Limits of the dialog's controls; values outside them are clamped before smoothing.
inline constexpr int32_t kMovingAverageSizeMin = 2, kMovingAverageSizeMax = 200;
inline constexpr int32_t kSavitzkySizeMin = 4, kSavitzkySizeMax = 200;
inline constexpr int32_t kSavitzkyOrderMin = 2, kSavitzkyOrderMax = 5;
inline constexpr int32_t kPercentileSizeMin = 4, kPercentileSizeMax = 200;

// The settings with every value inside its control's range.
TAdvSmoothSettings ClampedAdvSmoothSettings(TAdvSmoothSettings s);

// Smooths the chosen spectrum, or every spectrum present, by SmoothSpectrumAdv with the chosen
// method's size and parameter (the shape, the order as the number of polynomial coefficients, or the
// percentile); the percentile filter always reads absorbance. Nothing happens when a spectrum to
// smooth has fewer than 3 points. New records follow the common rules (appended with default
// colours, or replacing their originals in list order). Returns the number of new spectra.
int32_t RunAdvSmoothing(TSpectraList& list, const TDisplayState& display, const TAdvSmoothParams& params);
