#pragma once
// Concentration from absorbance by Beer-Lambert, c = A / (ε · d), stored in the spectrum's record
// together with the path length.
#include <cstdint>
#include <optional>
#include <string>

#include "core/display_state.h"
#include "core/spectra_list.h"

inline constexpr const char* kPathLengthNotPositiveText =
    "The absorption path length must be greater than 0!";

// The texts the dialog shows for a spectrum: ε and λ "0", the record's concentration (general, 4
// digits) and path length (general, 3 digits).
struct TConcentrationTexts {
    std::string Cext = "0";
    std::string Clamba = "0";
    std::string Ckonz;
    std::string Cschicht;
};
TConcentrationTexts ConcentrationTextsOf(const TSpectrumRecord& rec);

// "Calculate": the typed path length, ε and λ (every "." becomes the regional separator; the
// corrected texts come back in `texts`). A text that is no number raises the conversion error and a
// path length not above 0 is refused with kPathLengthNotPositiveText, both before anything is stored.
// Then the path length is stored and, when ε is not 0, the concentration from the spectrum's y at λ
// (transmittance display: -log10 T, 0 for T <= 0) is stored and its text (general, 5 digits) put into
// texts.Ckonz. Returns true when a concentration was computed.
bool CalculateConcentration(TSpectraList& list, const TDisplayState& display, int32_t spectrum,
                            TConcentrationTexts& texts);

// "Insert Peak": the display x (general, 5 digits) of the highest absorbance peak between the second
// and the last point, or of the lowest in transmittance display; nothing when there is no peak.
std::optional<std::string> InsertPeakText(const TSpectraList& list, const TDisplayState& display, int32_t spectrum);
