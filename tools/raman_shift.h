#pragma once
// Converting wavelength spectra into Raman-shift spectra.
#include <cstdint>
#include <string>

#include "core/display_state.h"
#include "core/spectra_list.h"

struct TRamanParams {
    bool RemoveOriginal = true;
    bool AllSpectra = true;
    int32_t CutOff = 150;    // 1/cm
    double LaserNm = 785.0;
    int32_t Spectrum = 0;
};

inline constexpr const char* kRamanOnlyText =
    "  only possible for\r\n  x axis:   wavelength\r\n  y axis:   absorbance, intensity";

// Reads the two edits (cut-off |round(value)|, at least 10; every "." or "," of the laser wavelength
// becomes the decimal separator) into params; raises the conversion error.
void ReadRamanInputs(TRamanParams& params, const std::string& cutOffText, std::string& laserText);
bool RamanQualifies(const TSpectraList& list, int32_t index);
// The sources' x is read as wavelengths whatever the display's x unit; y in the display's y mode.
int32_t RunRamanShift(TSpectraList& list, const TDisplayState& display, const TRamanParams& params);
