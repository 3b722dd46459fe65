#pragma once
// Cleaning of emission and Raman spectra: spike removal (cosmic-ray hits found from the point-to-point
// slope, repaired by a straight line plus noise of the local level) and scatter removal (the Rayleigh
// line at the excitation wavelength, its second order and the solvent's Raman band, filled with zeros,
// a straight line or a flank polynomial plus noise). The noise comes from the seedable generator of
// core/noise.h. Results replace what Result held; the caller appends them.
#include <cstdint>
#include <memory>

#include "core/spectrum_record.h"
#include "core/units.h"

// Sensitivity of the spike test: a slope is a spike when |d| > |mean| + sd * SpikeLimitFactor over the
// ten slopes before it. The spike dialog passes the options slider's value (tenths); 5.6 unless set.
inline constexpr double kDefaultSpikeLimitFactor = 5.6;

// Fill modes of the scatter bands.
enum : int32_t { ScatterFillZeros = 0, ScatterFillLine = 1, ScatterFillPolynomial = 2 };

struct TScatterRemovalSettings {
    bool Rayleigh1 = false;     // first-order Rayleigh line, e ± W
    bool Rayleigh2 = false;     // second-order Rayleigh line, 2e ± W
    bool Raman = false;         // solvent Raman band, 1e7/(1e7/e - R) ± W
    double HalfWidth = 10.0;    // W, nm
    int32_t FillMode = ScatterFillPolynomial;
    double RamanShift = 3378.0; // R, 1/cm ("Water")
};

// Forward and backward spike scans with the sensitivity SpikeLimitFactor. The title gets
// " Spikes removed" when NameFlag is not 0. A zero x step is refused (vx::Error).
void SpecRemoveSpikes(std::unique_ptr<TSpectrumRecord>& Result, const TSpectrumRecord& Source, uint8_t NameFlag,
                      double SpikeLimitFactor, const TDisplayState& display);
void SpecRemoveSpikesBackward(std::unique_ptr<TSpectrumRecord>& Result, const TSpectrumRecord& Source,
                              uint8_t NameFlag, double SpikeLimitFactor, const TDisplayState& display);

// Scatter removal with the bands of `settings`; FitPoints flank points either side, Coefficients of the
// flank polynomial (the dialog passes 5 and 4). The spectrum is displayed in nm. Bands outside the
// spectrum change nothing, partial ones are clipped to it and filled from the flank on their inside
// side alone (its level for the polynomial, its edge point for the line), overlapping ones are filled
// in turn; the result has the source's number of points.
void SpecRemoveScatter(std::unique_ptr<TSpectrumRecord>& Result, const TSpectrumRecord& Source, int32_t FitPoints,
                       int32_t Coefficients, const TScatterRemovalSettings& settings,
                       const TDisplayState& display);

// The two steps of spike removal, for tests and the dialog's preview: the slope indices flagged as
// spikes (ascending), and the point indices to replace derived from them (sorted, without duplicates).
std::vector<int32_t> DetectSpikeSlopes(const std::vector<double>& slopes, double factor, bool backward);
std::vector<int32_t> SpikePointsToReplace(const std::vector<int32_t>& flagged);
