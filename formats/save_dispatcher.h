#pragma once
// Save, Save Data as, Save Plot as and the batch export: one table of writers, a row per format, and
// the routines that pick the row by the file's extension. The save dialogs' filters and the extensions
// they force come from the same rows, so a new writer is one row and its function.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/display_state.h"
#include "core/spectra_list.h"
#include "formats/file_filter.h"

// The writers' codes, chosen by the file's extension (upper-cased, without the dot).
enum class SaveFormat {
    None = 0,  // no writer: nothing is written
    Rvx = 1,
    Dat = 2,
    Csv = 3,
    Bmp = 4,
    Gif = 5,
    Wmf = 6,
    Tif = 7,
    Png = 8,
    Spc = 9,
    JcampDx = 10,
};

// The save dialog that offers a format.
enum class SaveDialog {
    Data,  // Save Data as
    Plot,  // Save Plot as
};

// What a writer writes when the list holds several spectra.
enum class SaveChoice {
    AllSpectra,   // every spectrum of the list
    OneSpectrum,  // the only one, or the one the user chooses (ChooseSpectrumToSave)
    ThePlot,      // the plot as an image, through the plot's hook (formats/save_hooks.h)
};

// What the writers need besides the spectra list and the display units.
struct TSaveOptions {
    double XDrawnMin = 0.0;      // the plot's x axis ends as last drawn, in display units (DAT grid)
    double XDrawnMax = 0.0;
    int AsciiXStepChoice = 1;    // DAT step: 0 fixed (1 nm, 1/cm), 1 smallest, 2 biggest of the spectra
    std::string ProgramFolder;   // the SPC library lies there (ending with "/")
};

// What a writer of all spectra is given.
struct TSaveRequest {
    TSpectraList& list;
    const TDisplayState& display;
    const TSaveOptions& options;
};

// The batch export ("Export spectral data") writes the formats whose rows have these; the SPC library
// is found in `programFolder`.
struct SaveBatchWriters {
    // Every spectrum of the list into one file; false when nothing was written (after its message).
    bool (*all)(const std::string& fileName, const TSpectraList& list, const std::string& programFolder) = nullptr;
    // Spectrum `index` of the list into a file of its own; false when nothing was written.
    bool (*one)(const std::string& fileName, const TSpectraList& list, int32_t index,
                const std::string& programFolder) = nullptr;
};

struct SaveFormatEntry {
    SaveFormat code;
    std::string extension;  // upper case, without the dot; its dialog forces it in lower case
    SaveDialog dialog;
    FilterEntry filter;     // the format's entry in its dialog's filter
    SaveChoice choice;
    // AllSpectra: writes the request's list; false when it refused (after its message).
    bool (*all)(const std::string& fileName, const TSaveRequest& request);
    // OneSpectrum: writes the chosen record.
    void (*one)(const std::string& fileName, const TSpectrumRecord& rec, const TSaveOptions& options);
    SaveBatchWriters batch{};  // none where the batch export does not offer the format
};

// The rows, in the order their entries take in the save dialogs' filters.
const std::vector<SaveFormatEntry>& SaveFormatTable();
// The writer's code of a file name by its extension (ignoring case); None for no writer.
SaveFormat SaveFormatOf(const std::string& fileName);
const SaveFormatEntry* SaveFormatEntryOf(SaveFormat code);

// The filter of one save dialog, and the extension (with its dot) the dialog forces for the 1-based
// index of the chosen filter entry: the first entry's for an index outside the filter.
std::vector<FilterEntry> SaveFilter(SaveDialog dialog);
std::string SaveFilterExtension(SaveDialog dialog, int filterIndex);
// The name a save dialog's answer is written under. A typed extension that one of the dialog's own
// formats writes stays, so that format is saved ("x.csv" under the RVX entry saves CSV); a name
// without an extension, or with one the dialog offers no format for, gets the extension of the chosen
// filter entry.
std::string SaveNameForFilter(SaveDialog dialog, int filterIndex, const std::string& typedName);

// The spectrum a one-spectrum writer saves: the only one of `list`, or the one the user chooses in the
// query "TAuswDia" (caption "Choose spectrum", the titles as items, answer "SpekBox" = list index).
// None for an empty list, a cancelled choice or an answer that is no index of the list.
std::optional<int32_t> ChooseSpectrumToSave(const TSpectraList& list);

// Writes by the row of the file's extension: all spectra of `list` (RVX, DAT, CSV; DAT in the units of
// `display`), one spectrum (SPC, JCAMP-DX, chosen by ChooseSpectrumToSave) or the plot (images,
// through the image hook). True only when a file was written; a refusal or an unavailable format has
// shown its message and writes nothing, and so does a cancelled choice; any other extension writes
// nothing. A file that cannot be written raises vx::FileError and
// the old file stays. After an RVX save the caller adds the name to the recent-files list.
bool SaveSpectraFile(const std::string& fileName, TSpectraList& list, const TDisplayState& display,
                     const TSaveOptions& options = {});
