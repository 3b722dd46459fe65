#pragma once
// Spectrum arithmetic: common range, sum, difference, product and quotient of two spectra, division by
// a correction curve, cut-out, arithmetic with a constant or an x / y term, n-th derivative and the
// Raman-shift conversion. Every routine builds a complete new record and hands it back through
// Result (what Result held before is freed first); none appends to a spectra list: the caller does, and
// gives the colour. Values are computed in the display units given (the last parameter) and stored
// through SpecYToStored of the new record unless noted. Refusals (units that
// do not match, unusable parameters) raise vx::Error with a message for the user; no record is made
// then.
#include <cstdint>
#include <memory>
#include <string>

#include "core/spectrum_record.h"
#include "core/units.h"

// The common display-x range [lo, hi] of two spectra; a bound taken from the finer spectrum is moved
// one grid point of the coarser one inwards. False (lo, hi unchanged) when the spectra do not overlap.
bool SpecCommonRange(const TSpectrumRecord& A, const TSpectrumRecord& B, double& lo, double& hi,
                     const TDisplayState& display);

// A+B, A-B, A*B, A/B (A's value where B is 0) on A's grid over the part of [from, to] that both cover.
// from and to come back ordered and clamped to the common range. Returns the number of points; 0 and
// no record when the spectra have no common range of at least two points (the dialog then says so).
int32_t SpecAdd(std::unique_ptr<TSpectrumRecord>& Result, TSpectrumRecord& A, TSpectrumRecord& B,
                double& from, double& to, const TDisplayState& display);
int32_t SpecSubtract(std::unique_ptr<TSpectrumRecord>& Result, TSpectrumRecord& A, TSpectrumRecord& B,
                     double& from, double& to, const TDisplayState& display);
int32_t SpecMultiply(std::unique_ptr<TSpectrumRecord>& Result, TSpectrumRecord& A, TSpectrumRecord& B,
                     double& from, double& to, const TDisplayState& display);
int32_t SpecDivide(std::unique_ptr<TSpectrumRecord>& Result, TSpectrumRecord& A, TSpectrumRecord& B,
                   double& from, double& to, const TDisplayState& display);
// The product as SpecMultiply, also when the common range holds a single point: an intermediate that is
// summed over (the band-pass), never a spectrum for the list.
int32_t SpecMultiplyPartial(std::unique_ptr<TSpectrumRecord>& Result, TSpectrumRecord& A, TSpectrumRecord& B,
                            double& from, double& to, const TDisplayState& display);

// Spectrum divided by a correction curve, on the curve's grid over their common range ("<title>
// corrected"); 0 where either value is 0. The x units must match (Raman shift counts as 1/cm), else
// vx::Error. Returns the number of points (0 and no record without a common range).
int32_t SpecCorrect(std::unique_ptr<TSpectrumRecord>& Result, TSpectrumRecord& Curve,
                    TSpectrumRecord& Spectrum, double& from, double& to,
                    const TDisplayState& display);

// Copy of the stored values of the display range [from, to]; the title gets the prefix "\tPart of: "
// when PrefixTitle is set (the options' cut-out title switch). Records in eV or an unknown x unit are
// refused (vx::Error). Returns the number of points; 0 and no record when the range holds fewer than
// two points of the spectrum.
int32_t SpecCutOut(std::unique_ptr<TSpectrumRecord>& Result, const TSpectrumRecord& Spectrum, double& from,
                   double& to, bool PrefixTitle, const TDisplayState& display);

// Operations of SpecConstArith.
enum : int32_t { ConstOpAdd = 0, ConstOpSubtract = 1, ConstOpMultiply = 2, ConstOpDivide = 3 };

// y (+ - * /) t for every point, where t comes from Term: a number; "x" (x/1000) or "x<p>"
// ((x/1000)^p); "y" (y itself) or "y<p>" ((y/1000)^p). Division by a zero t gives 0. The title gets
// " " + OpText + " " + Term when NameFlag is 1. A term that is no number raises the conversion error;
// a term with both x and y, or a power of a negative base, raises an error before any record exists.
void SpecConstArith(std::unique_ptr<TSpectrumRecord>& Result, const TSpectrumRecord& Source,
                    const std::string& Term, uint8_t NameFlag, int32_t Op, const std::string& OpText,
                    const TDisplayState& display);

// Order-th derivative by successive differences divided by StepX, optionally smoothed by the local
// quadratic before each difference. The first difference of n points gives n-1 values (n-2 when
// smoothed), every further order two fewer; only computed values are kept. StepX 0 and Order < 1 are
// refused; too few points for the order too.
void SpecDerivative(std::unique_ptr<TSpectrumRecord>& Result, const TSpectrumRecord& Source, int32_t Order,
                    bool Smooth, const TDisplayState& display);

// Raman spectrum of a wavelength spectrum (displayed in nm): shifts 1e7/LaserNm - 1e7/x above CutOff,
// resampled onto an even grid and stored with falling shift (XUnit 5), values as displayed. LaserNm
// <= 0 or fewer than two points beyond the cut-off are refused (vx::Error).
void SpecRamanShift(std::unique_ptr<TSpectrumRecord>& Result, const TSpectrumRecord& Source, int32_t CutOff,
                    double LaserNm, const TDisplayState& display);
