#pragma once
// Point-wise smoothing of spectra: moving average (flat or triangular), local least-squares polynomial
// and running percentile, plus the Smooth command's local quadratic. All values are display values
// in the units given as the last parameter; new records store them through SpecYToStored.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/spectra_list.h"
#include "core/spectrum_record.h"
#include "core/units.h"

// Window of point i with half width h in a record of n points: i-h .. i+h, moved inside the record at
// either end (a window cut at the start becomes 0..2h; one cut at the end is shifted back to end at
// n-1, and a start that then falls below 1 becomes 1).
struct SmoothingWindow {
    int32_t lo = 0;
    int32_t hi = 0;
};
SmoothingWindow SmoothingWindowOf(int32_t i, int32_t h, int32_t n);

// Half width of the Smooth command's quadratic: round(5 / |StepX|) clamped to 3..15 (15 for a zero
// step), so the window spans about 5 x units either side.
int32_t SmoothPolyHalfWidth(const TSpectrumRecord& rec);

// Smoothed display y at point i by a local quadratic in display x over SmoothPolyHalfWidth points
// either side. A window with fewer than 3 distinct x keeps the point's own value.
double SmoothPointPoly(const TSpectrumRecord& rec, int32_t i, const TDisplayState& display);

// Smoothing modes of SmoothPoint / SmoothSpectrumAdv.
enum : int32_t { SmoothModeAverage = 0, SmoothModePolynomial = 1, SmoothModePercentile = 2 };

// Smoothed display y at point i, window half width floor(Width / 2):
//  Mode 0: Param 0 plain mean, Param 1 triangular weights 1 - |k|/(h+1); any other Param gives 0.
//  Mode 1: least-squares polynomial with Param coefficients (1..6; 3 = quadratic) evaluated at x(i);
//          a window with fewer points than coefficients keeps the point's own value. Param outside
//          1..6 raises vx::Error.
//  Mode 2: percentile Param (clamped to 0..100) of the window's values.
// Another Mode raises vx::Error. Solver failures raise the GAUSSJ errors.
double SmoothPoint(const TSpectrumRecord& rec, int32_t i, int32_t Mode, int32_t Width, int32_t Param,
                   const TDisplayState& display);

// Smoothed display values of every point, the same as SmoothPoint for each i (to rounding) but in
// linear time for the averages and with precomputed weights for the polynomial on evenly spaced
// display grids.
std::vector<double> SmoothValues(const TSpectrumRecord& rec, int32_t Mode, int32_t Width, int32_t Param,
                                 const TDisplayState& display);
// SmoothPointPoly for every point.
std::vector<double> SmoothPolyValues(const TSpectrumRecord& rec, const TDisplayState& display);

// New record (replacing what Result held): a copy of Source's header with the title suffix
// "\t smoothed" and the values of SmoothPoint. Not appended to the list.
void SmoothSpectrumAdv(std::unique_ptr<TSpectrumRecord>& Result, const TSpectrumRecord& Source,
                       int32_t Mode, int32_t Width, int32_t Param,
                       const TDisplayState& display);

// Progress of a long command: Begin(max) shows and resets the bar, Step(amount) advances it, End()
// hides it. Any member may be empty.
struct ProgressReport {
    std::function<void(int32_t)> Begin;
    std::function<void(double)> Step;
    std::function<void()> End;
};

// The Smooth command: appends one smoothed copy (SmoothPointPoly, title suffix "\t smoothed", default
// colour) of every spectrum present at the start, writing "smoothing spectra: " into the second status
// panel (ui panel 1) for each spectrum and stepping the progress by 1000 / count; at the end it waits
// 100 ms (DelayWithMessages) and ends the progress. The command clears the panel afterwards.
void SmoothAllSpectra(TSpectraList& list, const TDisplayState& display, const ProgressReport& progress = {});
