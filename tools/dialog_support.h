#pragma once
// What every processing dialog shares behind its controls: help pages, typed numbers, and how new
// records are added and originals removed.
//
// How a tool is built. The work behind a dialog is a plain function here in tools/, one file per
// dialog, that takes what it works on as parameters: the spectra list first, then the display units
// it computes in, then the dialog's parameter group, e.g.
//     int32_t ApplyYConstant(TSpectraList& list, const TDisplayState& display,
//                            const TSimpleParams& params);
// It reads and changes only `list` (through the helpers below, which take the list too), hands
// `display` on to every accessor and routine of core (SpecXValue(rec, i, display), SpecAdd(...,
// display)) and reports through platform/ui. tools/, like formats/ and core/, is compiled with
// VX_NO_PROGRAM_STATE: the program's own list and display units (app/program_state.h) cannot be
// included here, so a forgotten parameter does not compile. A test builds its own TSpectraList and
// TDisplayState. The app calls the function from the dialog's OK handler with the program's
// instances, and the menu command then re-plots through the main window's one re-plot path: dialogCommand in
// app/tool_commands.cpp calls TMainwin::ReplotSpectra(TReplotSteps) (app/mainwin_replot.cpp) on OK,
// with the count word and extra steps (axis titles, autoscaling) the command's description names.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/display_state.h"
#include "core/spectra_list.h"
#include "core/spectrum_record.h"

inline constexpr const char* kHelpFailedText = "Help files could not be opened!";
// Followed by a line break and the page's address.
inline constexpr const char* kWebPageFailedText = "The web page could not be opened:";

// The folder the manual folder "html" lies in: the program folder (ending with "/"), or the
// executable's folder while the program folder is not set yet.
std::string HelpBaseFolder(const std::string& programFolder);

// Opens "html/<page>#<anchor>" below the help base folder; shows HelpFailedMessage() when that fails.
// `page` is given as the dialogs name it ("html\\varolux_man_spek_en.html#peak"). Every help button
// and help link of the program opens its page here.
bool OpenDialogHelp(const std::string& programFolder, const std::string& page);
// kHelpFailedText, then the folder the manual lies in, so that a user without a desktop program for
// web pages can open it by hand.
std::string HelpFailedMessage(const std::string& programFolder);
// Opens a web page with the desktop's opener; when that fails a message names the page's address.
bool OpenWebPage(const std::string& url);

// The number rule of typed decimals: every "." becomes the regional decimal separator; `text` gets the
// corrected form back (the dialog writes it into its edit). Raises the conversion error.
double DialogFloat(std::string& text);
int32_t DialogInt(const std::string& text);

// Appends a tool's new record to `list`. When its original is removed it takes the original's colour,
// else the default colour of its new position.
void AppendToolResult(TSpectraList& list, std::unique_ptr<TSpectrumRecord> rec, bool originalRemoved,
                      uint32_t originalColor);

// A spectrum choice that names an existing record of `list`.
bool ValidSpectrumIndex(const TSpectraList& list, int32_t index);

// The records a "by type" tool works on: every record whose type text contains `tag`, or else the one
// chosen spectrum when it exists.
std::vector<int32_t> ToolSourcesByType(const TSpectraList& list, bool byType, const std::string& tag,
                                       int32_t spectrum);

// Appends every result with at least two points (results[k] was made from record sources[k]) and, when
// asked, deletes the originals of those appended afterwards. Returns how many were appended.
int32_t AppendToolResults(TSpectraList& list, std::vector<std::unique_ptr<TSpectrumRecord>>& results,
                          const std::vector<int32_t>& sources, bool removeOriginal);

// Collects the indices of originals during an "all spectra" loop and deletes them from the list
// afterwards, highest index first, so that the indices collected stay valid until then.
class OriginalsToRemove {
public:
    explicit OriginalsToRemove(TSpectraList& list) : list_(list) {}
    void Add(int32_t index) { indices_.push_back(index); }
    bool Empty() const { return indices_.empty(); }
    void DeleteAll();

private:
    TSpectraList& list_;
    std::vector<int32_t> indices_;
};
