#pragma once
// Thickness of a thin film from the interference maxima of its spectrum: the maxima of a smoothed
// copy in a range, their mean spacing in wavenumbers, and d = 10000 / (2 sqrt(n² - sin²θ) Δν) µm.
#include <cstdint>
#include <string>
#include <vector>

#include "core/display_state.h"
#include "core/spectra_list.h"

struct TFilmThicknessInputs {
    std::string IndexText;  // refractive index; every "." becomes the decimal separator (written back)
    std::string AngleText;  // incidence angle in degrees, the same
    std::string FromText;   // range start and stop, whole numbers in display units
    std::string ToText;
    int32_t Spectrum = 0;
};

struct TFilmThicknessResult {
    bool Evaluated = false;  // at least two maxima: a thickness was computed
    std::vector<std::string> Memo;
    std::string Clipboard;   // empty when nothing was evaluated (inputs refused)
    int32_t Maxima = 0;
    double Thickness = 0.0;  // µm
    double StdDev = 0.0;     // µm; 0 below two spacings
};

inline constexpr const char* kTooFewMaximaText1 = "at least two evaluable periods neccessary";
inline constexpr const char* kTooFewMaximaText2 = "for film thickness calculation!";
inline constexpr const char* kFilmIndexText =
    "The refractive index must be larger than the sine of the incidence angle!";
// The smoothed copy's title suffix.
inline constexpr const char* kFilmSmoothedSuffix = "smoothed for film thickness";

// Evaluates spectrum `Spectrum` of `list` (unchanged). Number texts that are no numbers raise the
// conversion error; an index n <= |sin θ| shows kFilmIndexText and gives no result. The clipboard
// text is "name\td\tσ\t µm", with empty number fields when fewer than two maxima were found.
TFilmThicknessResult EvaluateFilmThickness(const TSpectraList& list, const TDisplayState& display,
                                           TFilmThicknessInputs& inputs);

// A range edit's start value: the plot's x rounded to a whole number (the evaluation reads whole
// numbers only).
std::string FilmRangeText(double x);
// The unit label after the display x unit: "nm", "1/cm", "eV" or "µm".
std::string FilmUnitLabel(SpecXUnit displayXUnit);
