#pragma once
// The work of "Gnuplot Options" (TGnuDia): the choices preset from the spectra, and the export itself.
#include <string>

#include "core/display_state.h"
#include "core/program_settings.h"
#include "core/spectra_list.h"
#include "formats/gnuplot_writer.h"

inline constexpr const char* kGnuXTitles[] = {"Wavelength [nm]", "Wavenumbers [1/cm]"};
inline constexpr const char* kGnuYTitles[] = {"Absorbance", "Absorbance / rel. Intensity", "Relative Intensity",
                                              "Transmission"};

// Why the export cannot run in the display x unit (eV and µm have no grid of their own in it); empty
// when it can.
std::string GnuplotUnitRefusal(const TDisplayState& display);

struct TGnuDialogPreset {
    int XTitleItem = 0;   // 0 "Wavelength [nm]" with display nm, else 1
    int YTitleItem = -1;  // item of the y titles by the kinds of spectra; -1 leaves the choice as it is
    bool RawCurves = false;  // some spectrum is plotted as raw values (kind 7)
};
// TGnuDia.FormActivate's choices for the spectra of `list`.
TGnuDialogPreset GnuplotDialogPreset(const TSpectraList& list, const TDisplayState& display);

// OK: writes the command and data files of `settings` (its FileName, choices and commands). False,
// after the refusal's message, for a display unit without a grid. Errors of the files raise
// vx::FileError.
bool ExportGnuplot(TSpectraList& list, const TDisplayState& display, const TGnuplotSettings& settings,
                   const TGnuplotPlot& plot, const std::string& programFolder);
