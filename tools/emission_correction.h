#pragma once
// Correction of emission spectra for the detector's spectral sensitivity: each spectrum divided by a
// correction curve over the range they share.
#include <cstdint>

#include "core/display_state.h"
#include "core/spectra_list.h"

inline constexpr const char* kNoCorrectionCurveText = "No correction curve loaded!";
inline constexpr const char* kNoOriginalSelectedText = "No original spectrum selected!";
inline constexpr const char* kNoOriginalsText = "No original spectra available!";
inline constexpr const char* kNoOverlapText = "no overlap with the correction curve, not corrected:";
inline constexpr const char* kCorrectionBy = "correction by: ";
inline constexpr const char* kNoCorrectionCurveLoaded = "no correction curve loaded";
inline constexpr const char* kCorrectionDialogTitle = "Korrekturspektrum laden (*.fak)";
inline constexpr const char* kCorrectionFilter = "Korrekturkurve|*.fak";

struct TKorrParams {
    int32_t Spectrum = 0;  // -1 when no item is selected
    bool AllSpectra = false;
    bool RemoveOriginal = false;
};

// "correct all spectra" always replaces the originals.
void ForceRemoveWhenAllCorrected(TKorrParams& params);

// All: every spectrum is replaced in place by its corrected form (original colour and line style).
// One: the corrected spectrum is appended (with "remove original" in the original's colour and style,
// the original deleted; else the default colour of its position and a solid line). A spectrum that
// shares no range with the curve, or is stored in another x unit, stays as it is, and one message names
// each of them. An empty list shows kNoOriginalsText alone; otherwise a missing curve and a selection
// outside the list each show their message (both when both apply) and nothing is corrected. Returns
// the number of corrected spectra.
int32_t RunEmissionCorrection(TSpectraList& list, const TDisplayState& display, const TSpectrumRecord* curve,
                              const TKorrParams& params);
