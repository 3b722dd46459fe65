#pragma once
// Save, Save as and the plot exports: one routine that picks the writer by the file's extension.
#include <string>

#include "core/display_state.h"
#include "core/spectra_list.h"

// Extension codes of the writers (extension upper-cased, without the dot); 0 for none.
enum SaveFormatCode {
    SaveNone = 0,
    SaveRvx = 1,
    SaveDat = 2,
    SaveCsv = 3,
    SaveBmp = 4,
    SaveGif = 5,
    SaveWmf = 6,
    SaveTif = 7,
    SavePng = 8,
    SaveSpc = 9,
    SaveJcampDx = 10,
};
int SaveFormatCodeOf(const std::string& fileName);

// What the writers need besides the spectra list and the display units.
struct TSaveOptions {
    double XDrawnMin = 0.0;      // the plot's x axis ends as last drawn, in display units (DAT grid)
    double XDrawnMax = 0.0;
    int AsciiXStepChoice = 1;    // DAT step: 0 fixed (1 nm, 1/cm), 1 smallest, 2 biggest of the spectra
};

// Writes all spectra of `list` (RVX, DAT, CSV; DAT in the units of `display`), one chosen spectrum
// (SPC, JCAMP-DX, through their hooks) or the plot (images, through the image hook). True only when a
// file was written; a refusal or an unavailable format has shown its message and writes nothing; any
// other extension writes nothing. A file that cannot be written raises vx::FileError and the old file
// stays. After an RVX save the caller adds the name to the recent-files list.
bool SaveSpectraFile(const std::string& fileName, TSpectraList& list, const TDisplayState& display,
                     const TSaveOptions& options = {});
