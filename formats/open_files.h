#pragma once
// The work of the Open command without its window: read a list of files into a spectra list by the
// format table and let the last spectrum choose the display units. The main window shows the dialog,
// the progress and the error, fills the recent-files list and re-plots.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/display_state.h"
#include "core/spectra_list.h"
#include "formats/reader_context.h"

// A file that gave no spectrum or whose reader raised an error, and why.
struct OpenFailure {
    std::string name;
    std::string reason;             // the reader's own error text, or why the file gave nothing
    bool unknownExtension = false;  // no row of the format table reads its extension
    int32_t spectraKept = 0;        // spectra its reader added before its error
    bool operator==(const OpenFailure&) const = default;
};

struct OpenResult {
    int filesRead = 0;                   // files whose reader ran without an error
    std::vector<std::string> rvxFiles;   // own-format files that gave spectra, for the recent-files list
    // In reading order, every file that gave no spectrum (no reader knows its extension, nothing usable
    // was in it, its reader raised an error) and every file whose reader raised an error after adding
    // spectra. The user is told them in one message.
    std::vector<OpenFailure> failed;
    bool restoreAppearance = false;      // one own-format file into an empty list, dated after 37370.0
    std::string openFolder;              // folder of the last file read, with its trailing "/" (empty if none)
};

// Sorts the names (ignoring case, case-sensitive tie-break, exact duplicates dropped), reads each
// file by the format table into `list`, keeps fresh records only when complete (>= 2 points, finite
// non-zero step) with pen style 0 and CurveColor(position), then lets the last record of `list` set
// the units of `display` (DisplayUnitsFromLastRecord). A file whose reader raises an error adds what
// its reader added before the error and the files after it are read all the same; only the user's
// cancel in a reader's query ends the run. Files that add no spectrum are listed with the reason, not
// shown. The readers are lent `context`. progress(i, n) runs before file i (1-based) of n.
OpenResult OpenSpectrumFiles(std::vector<std::string> names, TSpectraList& list, TDisplayState& display,
                             const TReaderContext& context, const std::function<void(int, int)>& progress = {});

// The one message that names every failed file with its reason (and the spectra kept from it), and,
// when a file's extension has no reader, the extensions that have one.
std::string NoSpectrumMessage(const std::vector<OpenFailure>& failures);

// The names of PendingFiles that exist (missing ones dropped silently).
std::vector<std::string> ExistingFiles(const std::vector<std::string>& names);

// The display units that the last record of `list` asks for (Raman shift shows as 1/cm, reflectance
// as transmittance, intensity keeps the y mode), starting from `display`; `display` itself for an
// empty list.
TDisplayState DisplayUnitsFromLastRecord(const TSpectraList& list, TDisplayState display);
