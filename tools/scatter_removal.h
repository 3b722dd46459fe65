#pragma once
// Removal of Rayleigh scatter (first and second order) and of the solvent's Raman band from
// fluorescence spectra, on one or on all spectra.
#include <cstdint>
#include <string>

#include "core/display_state.h"
#include "core/spectra_list.h"

struct TScatterParams {
    bool RemoveOriginal = true;
    bool AllSpectra = true;
    bool Rayleigh1 = false;
    bool Rayleigh2 = false;
    bool Raman = false;
    double BandWidth = 10.0;  // nm either side of each band's centre
    int32_t FillMode = 2;     // 0 zeroes, 1 straight line, 2 interpolated curve
    int32_t RamanShift = 3378;
    int32_t Spectrum = 0;
};

// Points taken on each side of a band, coefficients of the flank polynomial.
inline constexpr int32_t kScatterFitPoints = 5;
inline constexpr int32_t kScatterCoefficients = 4;
// Band widths the removal accepts, nm.
inline constexpr double kScatterMinBandWidth = 1.0;
inline constexpr double kScatterMaxBandWidth = 1000.0;

inline constexpr const char* kScatterOnlyText =
    "  only possible for\r\n  x axis:   wavelength\r\n  y axis:   absorbance, intensity";
inline constexpr const char* kScatterBandWidthText = "The bandwidth must be a number from 1 to 1000 nm!";

// The width edit: "." or "," become the decimal separator, the corrected text comes back in `text`.
// Raises the conversion error.
double ReadScatterBandWidth(std::string& text);
// The shift of a Raman band table line as a whole number; raises the integer conversion error.
int32_t ReadRamanBandShift(const std::string& shiftText);

// At least 3 points, an excitation wavelength, stored in nm as absorbance or intensity.
bool ScatterQualifies(const TSpectrumRecord& rec);

// Nothing unless a band is checked. "All": every spectrum must qualify (else kScatterOnlyText and no
// change); results replace their originals in order, or follow all originals with default colours.
// One: the chosen spectrum's result replaces it at the end of the list or is appended. A band width
// outside 1..1000 nm gives kScatterBandWidthText and no record. x is read in nm whatever the display
// unit, y in the display's y mode. Returns the number of results.
int32_t RunScatterRemoval(TSpectraList& list, const TDisplayState& display, const TScatterParams& params);
