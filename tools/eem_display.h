#pragma once
// The work behind the EEM display: the excitation-emission matrix built from the spectra list, its
// transposed and logarithmic forms, and the read-out line. The dialog hands the results to the colour
// map.
#include <cstdint>
#include <string>
#include <vector>

#include "core/display_state.h"
#include "core/spectra_list.h"

// Intensities indexed [column][row] (x first), as the colour map takes them.
using TEEMMatrix = std::vector<std::vector<double>>;

// The grid and its axes in the colour map's first orientation: x is the excitation axis, y the
// emission (detection) axis.
struct TEEMGrid {
    bool ExcitationType = false;  // the spectra are excitation spectra, one per detection wavelength
    int32_t Lo = 0, Hi = 0;       // whole nanometres of the spectra's own x axis
    double SpectraFirst = 0.0;    // excitation (detection) wavelength of the first and last spectrum
    double SpectraLast = 0.0;
    int32_t Nx = 0, Ny = 0;
    double X1 = 0.0, X2 = 0.0, Y1 = 0.0, Y2 = 0.0;
    TEEMMatrix Data;
};

enum class TEEMBuild { Built, NoSpectra, NotNm, NoOverlap, TooLarge };

inline constexpr int64_t kMaxEEMCells = 10'000'000;
inline constexpr const char* kEEMTooLargeText =
    "The EEM would hold more than 10000000 values. Zoom the plot to a smaller wavelength range and open "
    "the EEM display again.";
inline constexpr const char* kEEMNoOverlapText = "The plot's wavelength range holds none of the spectra's data.";
inline constexpr const char* kEEMNoPositiveText = "A logarithmic scale needs positive values; the EEM holds none.";

// Whether the list holds excitation spectra: the first record's tag occurs in the list of excitation
// tags, or its kind is one of the excitation kinds.
bool IsExcitationTypeSet(const TSpectrumRecord& first);

// One value per spectrum and whole nanometre from the plot's x range (rounded, and clipped to the
// spectra's range) in display unit nm; cells that no spectrum covers stay 0, as does the stretch
// before a spectrum's second point. Both axes run upward: a series in descending excitation
// (detection) wavelengths is laid out in reverse.
TEEMBuild BuildEEMGrid(TSpectraList& list, const TDisplayState& display, double plotXMin, double plotXMax,
                       TEEMGrid& out);

// The grid with its axes exchanged.
TEEMGrid Transposed(const TEEMGrid& g);

// log10 of every value, log10(max / 1000) where a value is not positive. False (nothing computed)
// when `max` is not positive.
bool LogarithmOf(const TEEMMatrix& in, double max, TEEMMatrix& out);

// "EX: %2.1f   EM: %2.1f   INT: %1.2g"
std::string EEMReadoutText(double ex, double em, double value);
// "%1.5g": the text of a range limit in the dialog's edits.
std::string EEMLimitText(double v);
