#pragma once
// The work of the Open command without its window: read a list of files into a spectra list by the
// format table and let the last spectrum choose the display units. The main window shows the dialog,
// the progress and the error, fills the recent-files list and re-plots.
#include <functional>
#include <string>
#include <vector>

#include "core/display_state.h"
#include "core/spectra_list.h"

struct OpenResult {
    int filesRead = 0;
    std::vector<std::string> rvxFiles;   // own-format files that gave spectra, for the recent-files list
    // Files that gave no spectrum without an error: no reader for the extension, or nothing usable in
    // them. In reading order; the user is told their names.
    std::vector<std::string> noSpectrum;
    bool restoreAppearance = false;      // one own-format file into an empty list, dated after 37370.0
    std::string openFolder;              // folder of the last file read, with its trailing "/" (empty if none)
    std::string error;                   // a reader's error with the file's name; empty when none
};

// Sorts the names (ignoring case, case-sensitive tie-break, exact duplicates dropped), reads each
// file by the format table into `list` (unknown extensions skipped silently), keeps fresh records
// only when complete (>= 2 points, finite non-zero step) with pen style 0 and CurveColor(position),
// stops at the first reader error (records added before stay), then lets the last record of `list`
// set the units of `display` (DisplayUnitsFromLastRecord). Files that add no spectrum are listed, not
// shown. progress(i, n) runs before file i (1-based) of n.
OpenResult OpenSpectrumFiles(std::vector<std::string> names, TSpectraList& list, TDisplayState& display,
                             const std::function<void(int, int)>& progress = {});

// The one message that names every file which gave no spectrum.
std::string NoSpectrumMessage(const std::vector<std::string>& names);

// The names of PendingFiles that exist (missing ones dropped silently).
std::vector<std::string> ExistingFiles(const std::vector<std::string>& names);

// The display units that the last record of `list` asks for (Raman shift shows as 1/cm, reflectance
// as transmittance, intensity keeps the y mode), starting from `display`; `display` itself for an
// empty list.
TDisplayState DisplayUnitsFromLastRecord(const TSpectraList& list, TDisplayState display);
