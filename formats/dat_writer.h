#pragma once
// DAT: tab-separated text of all spectra on one grid in the display units.
#include <string>

#include "core/display_state.h"
#include "core/spectra_list.h"

struct TDatText {
    std::string text;     // the file's text (UTF-8, CR LF), empty when refused
    std::string refusal;  // why nothing can be written; empty when the text is good
};

// The grid runs over the plotted x range [lower, upper] (in the units of `display`) with the step that
// `stepChoice` picks (0: 1 nm or 1/cm, 1: smallest, 2: biggest step of the spectra).
TDatText DatExportText(TSpectraList& list, const TDisplayState& display, double lower, double upper,
                       int stepChoice);
// Writes the DAT file; a refusal is shown and writes nothing (false).
bool SaveDatFile(const std::string& fileName, TSpectraList& list, const TDisplayState& display, double lower,
                 double upper, int stepChoice);
