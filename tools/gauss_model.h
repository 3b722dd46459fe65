#pragma once
// The Gauss band-group model as values: the band sum at a wavenumber, the model spectrum, one
// spectrum per group, and the points of the live preview curve.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/display_state.h"
#include "core/gauss_params.h"
#include "core/spectra_list.h"

// Terms whose squared distance t^2 = ((X - centre)/Width)^2 reaches the cut are left out: 40 in the
// whole model, 20 in the spectra of single groups.
inline constexpr double kGaussModelCut = 40.0;
inline constexpr double kGaussGroupCut = 20.0;
inline constexpr int32_t kGaussPreviewPoints = 301;

// Sum of the bands of one group at wavenumber X; a band of Width 0 contributes 0.
double GaussGroupSum(const TGaussGroup& group, double X, double cut);
// Sum over the groups in use (never more than the block holds).
double GaussBandSum(const TGaussModelParams& block, double X, double cut = kGaussModelCut);

// The model at a display x: x is the wavenumber when the display shows 1/cm, else x in nm.
double GaussModelValue(const TGaussModelParams& block, double x, const TDisplayState& display);

// The model spectrum "Gauss Spektrum" (kind 4, nm, absorbance, 1-nm steps from the short-wavelength
// end of the range). Raises vx::Error when the range gives no grid (an end not > 0) or more than
// 10^6 points. The record may hold fewer than two points; the caller keeps only complete records.
std::unique_ptr<TSpectrumRecord> GaussModelSpectrum(const TGaussModelParams& block,
                                                    const TDisplayState& display);

// Appends one spectrum per group in use, that group alone, titled with its parameters; groups whose
// grid has fewer than two points are left out. Returns how many were appended.
int32_t GaussListParams(TSpectraList& list, const TGaussModelParams& block, const TDisplayState& display);

// Removes every model spectrum (kind 4) from the list; returns how many.
int32_t DeleteGaussSpectra(TSpectraList& list);

// The preview curve: 301 points from the lower to the upper range end, x in 1/cm.
struct TGaussPreviewPoint {
    double x = 0.0, y = 0.0;
};
std::vector<TGaussPreviewPoint> GaussPreviewPoints(const TGaussModelParams& block);

// Why the dialog's values cannot be taken, or "": one to five groups of curves, then the block's own
// limits (GaussParamsProblem).
std::string GaussDialogParamsProblem(const TGaussModelParams& block);
