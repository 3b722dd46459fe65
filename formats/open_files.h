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
    std::string told{};             // what its reader's messages said (ReaderNoteText), if anything
    bool operator==(const OpenFailure&) const = default;
};

// What the reader of a file that gave spectra told about it (values it filled in, blocks it skipped).
struct OpenNote {
    std::string name;
    std::string text;  // ReaderNoteText of its messages
    bool operator==(const OpenNote&) const = default;
};

struct OpenResult {
    int filesRead = 0;                   // files whose reader ran without an error
    std::vector<std::string> rvxFiles;   // own-format files that gave spectra, for the recent-files list
    // In reading order, every file that gave no spectrum (no reader knows its extension, nothing usable
    // was in it, its reader raised an error) and every file whose reader raised an error after adding
    // spectra. The user is told them in one message.
    std::vector<OpenFailure> failed;
    std::vector<OpenNote> notes;         // in reading order, the files read whose readers told something
    bool restoreAppearance = false;      // one own-format file into an empty list, dated after 37370.0
    std::string openFolder;              // folder of the last file read, with its trailing "/" (empty if none)
};

// Sorts the names (ignoring case, case-sensitive tie-break, exact duplicates dropped), reads each
// file by the format table into `list`, keeps fresh records only when complete (>= 2 points, finite
// non-zero step) with pen style 0 and CurveColor(position), then lets the last record of `list` set
// the units of `display` (DisplayUnitsFromLastRecord). A file whose reader raises an error adds what
// its reader added before the error and the files after it are read all the same; only the user's
// cancel in a reader's query ends the run. Files that add no spectrum are listed with the reason, not
// shown; so are the messages a reader gives while it reads (failed files carry them as `told`, files
// read as `notes`), while its questions still go to the user. The readers are lent `context`.
// progress(i, n) runs before file i (1-based) of n.
OpenResult OpenSpectrumFiles(std::vector<std::string> names, TSpectraList& list, TDisplayState& display,
                             const TReaderContext& context, const std::function<void(int, int)>& progress = {});

// The one message that names every failed file with its reason (and the spectra kept from it), and,
// when a file's extension has no reader, the extensions that have one. A reader's own words on a file
// stand first; they replace the bare "nothing was read".
std::string NoSpectrumMessage(const std::vector<OpenFailure>& failures);

// The Open command's one message after reading: NoSpectrumMessage for the failed files, then every
// file read whose reader told something, with what it told. Empty when there is nothing to tell.
std::string OpenSummaryMessage(const OpenResult& result);

// A reader's messages on a file as one line: the file's name that leads a message is left out (the
// summary names the file), and the lines of all messages are joined by blanks.
std::string ReaderNoteText(const std::vector<std::string>& messages, const std::string& name);

// The names of PendingFiles that exist (missing ones dropped silently).
std::vector<std::string> ExistingFiles(const std::vector<std::string>& names);

// The display units that the last record of `list` asks for (Raman shift shows as 1/cm, reflectance
// as transmittance, intensity keeps the y mode), starting from `display`; `display` itself for an
// empty list.
TDisplayState DisplayUnitsFromLastRecord(const TSpectraList& list, TDisplayState display);
