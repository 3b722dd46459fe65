#pragma once
// Measurements on one spectrum in display units: peak maxima in an x range, full width at half
// maximum, normalisation, sums and means over an x range, subtraction of a range mean, and the
// response to a triangular band-pass. Records of kind 7 (raw values) are skipped by all but the
// half widths and the band-pass. Each takes the display units it works in as its last parameter.
#include <cstdint>
#include <vector>

#include "core/spectrum_record.h"
#include "core/units.h"

// Window half width of the absorbance peak search for a sensitivity ("prominence") 1..10:
// round(s(s - 2.5)·4 + 15); any other value gives 10.
int32_t PeakWindowHalfWidth(int32_t Sensitivity);

// Appends the index of every absorbance maximum between display x from and to (the upper end itself
// never) to Peaks: a point at least ThresholdPercent of the range's span above its minimum, not
// exceeded within ±w points (points outside the record count as 0), and standing out of the lowest
// point of that window. The values are read as absorbance whatever y mode is given. A flat range has no
// peaks.
void FindPeaksAbs(const TSpectrumRecord& rec, int32_t Sensitivity, std::vector<int32_t>& Peaks, double from,
                  double to, double ThresholdPercent, const TDisplayState& display);
// The same for transmittance maxima (absorbance minima): window ±10 points (outside counts as 1.0), no
// prominence test.
void FindPeaksTrans(const TSpectrumRecord& rec, std::vector<int32_t>& Peaks, double from, double to,
                    double ThresholdPercent, const TDisplayState& display);

// Full width at half height of the peak at index i, in display x units, found in absorbance
// (transmittance) display. 0 when a side ends on a flat stretch, where no crossing exists.
double SpecHalfWidthAbs(const TSpectrumRecord& rec, int32_t i, const TDisplayState& display);
double SpecHalfWidthTrans(const TSpectrumRecord& rec, int32_t i, const TDisplayState& display);

// Scales the whole record so that the largest display y between display x xMin and xMax (the plot's
// visible x range) becomes 1 (an all-negative range: its deepest value becomes -1).
void NormalizeSpectrum(TSpectrumRecord& rec, double xMin, double xMax,
                       const TDisplayState& display);

// Sum of SpecYAtX at every whole display x from round(from) to round(to) (0 when that range is empty)
// and the mean of those terms. defined (when given) is false for kind-7 records and, for the mean, an
// empty range: the value is then 0 and callers show "--".
double SpecRangeSum(TSpectrumRecord& rec, double from, double to, bool* defined, const TDisplayState& display);
double SpecRangeMean(TSpectrumRecord& rec, double from, double to, bool* defined, const TDisplayState& display);

// Subtracts the mean of the stored values between display x from and to from every stored value.
void SubtractRangeMean(TSpectrumRecord& rec, double from, double to,
                       const TDisplayState& display);

// The last band-pass applied: full width at half maximum (nm), centre (nm) and result. The effective-
// absorbance dialog starts from it and the status bar reports it, whichever tool ran it.
struct TBandpass {
    int32_t BandpassWidth = 8;
    double BandpassCentre = 500.0;
    double BandpassResult = 0.0;
};

inline constexpr const char* kBandpassWidthRefused = "The band width must be between 1 and 1000 nm.";

// The spectrum weighted by a triangular band-pass of full width at half maximum HalfWidth nm (1..1000,
// else vx::Error kBandpassWidthRefused) around Centre, normalised to unit sum at whole nm. Callers run
// it in nm display and absorbance mode. Stores width, centre and result in `last`.
double BandpassApply(TSpectrumRecord& rec, int32_t HalfWidth, double Centre, TBandpass& last,
                     const TDisplayState& display);
