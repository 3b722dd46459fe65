#pragma once
// Relative fluorescence quantum yields against a reference of known yield (sheets "normal", "special"
// and "1D-QY" of TFQDial) and the effective absorbance through an excitation band (TEffAbsDia).
// Every division here gives 0 for a zero divisor. A yield is refused, with a message that names the
// field by its caption, when an absorbance is negative, a value read from a curve is no finite number,
// or the values would make the yield infinite.
#include <cstdint>
#include <memory>
#include <string>

#include "core/display_state.h"
#include "core/peaks.h"
#include "core/quantum_yield_settings.h"
#include "core/spectra_list.h"
#include "core/spectrum_record.h"

inline constexpr const char* kNoLampCurveText = "No lamp curve loaded!";
inline constexpr const char* kWrongSeriesText = "selected fluorescence spectra in a wrong way";
inline constexpr const char* kSeriesTooShortText =
    "Fewer than 2 fluorescence spectra of the series absorb at their excitation wavelength: no 1D-QY "
    "calculated!";
inline constexpr const char* kSeriesNoStepText =
    "The first two fluorescence spectra of the series used have the same excitation wavelength: no "
    "1D-QY calculated!";

// The fraction of the excitation light absorbed in the observed volume of a sample of absorbance A:
// (1 - 10^(-A·L)) · 10^(-A·F) with the detection path length L and the inner-filter distance F (cm).
double AbsorbedFraction(double A, double detectionPath, double innerFilter);

// What a yield calculation found: the yield and the working values behind it (kept in the settings).
struct TQYOutcome {
    bool Computed = false;  // false: refused with a message, no yield
    double Yield = 0.0;     // a fraction
    double SampleValue = 0.0, RefValue = 0.0;
    double SampleAbsorbance = 0.0, RefAbsorbance = 0.0;
    double SamplePower = 0.0, RefPower = 0.0;
};

// Sheet "normal": absorbances, powers, slit factors and refractive indices as typed; the fluorescence
// spectra p.SampleFlIndex and p.RefFlIndex integrated over their ranges.
TQYOutcome QuantumYieldNormal(TSpectraList& list, const TDisplayState& display, const TQYSettings& p);

// Sheet "special": absorbances from the absorption spectra p.SampleAbsIndex and p.RefAbsIndex through
// the excitation band p.BandWidth at p.SampleExcitation / p.RefExcitation, powers from the lamp curve
// there (1.0 each without one, which needs equal excitation wavelengths: else kNoLampCurveText), the
// exposure times in place of the slit factors. Every band-pass applied is recorded in `lastBandpass`.
TQYOutcome QuantumYieldSpecial(TSpectraList& list, const TDisplayState& display, const TQYSettings& p,
                               TSpectrumRecord* lamp, TBandpass& lastBandpass);

// Sheet "1D-QY": the special yield of each fluorescence spectrum First..Last of the list at its own
// excitation wavelength, as a new record over the excitation wavelength (nm, rising). Needs the lamp
// curve and First < Last; leading spectra without absorbance at their excitation wavelength are left
// out. Fewer than two spectra used, no step between the first two, excitation wavelengths that are not
// equally spaced (each within 0.05 nm of first + k · step), or a refused yield of any spectrum give a
// message and no record.
// The reference is taken at p.RefExcitation, whose text as typed names it in the result.
struct TQY1DParams {
    int32_t First = 0;
    int32_t Last = 0;
    std::string RefExcitationText;
};
struct TQY1DResult {
    std::unique_ptr<TSpectrumRecord> Spectrum;  // null when refused
    TQYOutcome Reference;                       // the reference side (RefValue, RefAbsorbance, RefPower)
};
TQY1DResult QuantumYield1D(TSpectraList& list, const TDisplayState& display, const TQYSettings& p,
                           TSpectrumRecord* lamp, const TQY1DParams& series, TBandpass& lastBandpass);

// Status text of a computed yield: "fluorescence quantum yield: " + yield in percent + "%".
std::string QuantumYieldReport(double yield);

// The effective absorbance of spectrum `Spectrum` through a triangular band of full width at half
// maximum `Width` nm (1..1000, else refused with an error) around `Centre` nm.
struct TEffAbsParams {
    int32_t Spectrum = 0;
    double Centre = 500.0;
    int32_t Width = 8;
};
// A band width typed as a number: rounded, halves to even; outside 1..1000 refused (kBandpassWidthRefused).
int32_t RoundedBandWidth(double value);
double EffectiveAbsorbance(TSpectraList& list, const TDisplayState& display, const TEffAbsParams& p,
                           TBandpass& lastBandpass);
// "effect. abs. at <centre>nm is <result> (bandpass <width>nm)".
std::string EffectiveAbsorbanceReport(double centre, int32_t width, double result);
