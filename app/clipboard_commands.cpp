#include "app/clipboard_commands.h"


#include "app/TMainwin.h"
#include "app/dialog_command.h"
#include "app/file_filters.h"
#include "app/plot/Xygraph.h"
#include "app/qt_ui_backend.h"
#include "core/binary_inspector.h"
#include "core/helpers.h"
#include "core/settings_globals.h"
#include "core/spectra_list.h"
#include "formats/clipboard_table.h"
#include "formats/format_table.h"
#include "formats/open_files.h"
#include "formats/text_spectra.h"
#include "platform/data_folder.h"
#include "platform/errors.h"
#include "platform/ui.h"

namespace {

// What Open unknown binary file leaves in the status bar once the table of `file` is on the clipboard.
std::string binaryInspectionStatus(const std::string& file, bool templateOpened) {
    std::string text = "Table of " + NameWithoutFolder(file) + " is on the clipboard";
    if (templateOpened)
        text += std::string("; ") + clipcmd::kBinaryTemplate + " was handed to the opener: paste it there";
    return text;
}

constexpr char kNoSpectrumPasted[] =
    "The clipboard text holds no spectrum: it needs at least 2 lines of an x and a y value, with different x.";

}  // namespace

namespace clipcmd {

void CopyDatatoClipboard1Click(TMainwin& win) {
    if (!win.NeedSpectra()) return;
    ui::setClipboardText(ClipboardDataText(SpectraList));
}

void PasteDatafromClipboard1Click(TMainwin& win) {
    const std::string text = ui::clipboardText();
    if (text.empty()) return;
    const int32_t before = SpectraList.Count();
    const unsigned long told = ui::userInteractions();
    std::string error;
    bool cancelled = false;
    try {
        LoadTextSpectra(text, 1, SpectraList, ReadLimitOf(OpenFormat::Csv));
    } catch (const vx::Cancelled&) {
        cancelled = true;
    } catch (const std::exception& e) {
        // Records read before the error stay, as with Open: they are named and plotted first.
        error = e.what();
    }
    const int32_t added = SpectraList.Count() - before;
    for (int32_t i = before; i < SpectraList.Count(); ++i)
        if (SpectraList[i].Title.str().empty()) SpectraList[i].Title = "from clipboard (" + std::to_string(i + 1) + ")";
    if (added > 0) SetDisplayState(DisplayUnitsFromLastRecord(SpectraList, CurrentDisplayState()));
    TReplotSteps steps;
    steps.SpectroscopeList = true;
    steps.AxisTitles = true;
    steps.Autoscale = true;
    win.ReplotSpectra(steps);
    if (!error.empty()) {
        ShowErrorBox(error);
    } else if (added == 0 && !cancelled && ui::userInteractions() == told) {
        // The reader found no spectrum without saying why (no pairs of numbers, or all x equal); when
        // it asked or told the user something itself (a cancelled choice, too many columns), that stands.
        ui::showMessage(kNoSpectrumPasted);
    }
}

void OpenUnknown1Click(TMainwin& win) {
    const std::string name =
        ChooseFile(&win, {.ObjectName = "OpenSpek",
                          .Title = {},
                          .Start = OpenFolder.size() > 2 ? QString::fromStdString(OpenFolder) : QString(),
                          .Filters = {"all spectral file types (*.*)"}});
    if (name.empty()) return;
    TBusyCursor busy;
    const bool opened = ShellOpenPath(FileBesideProgram(ProgramFolder, kBinaryTemplate));
    if (!opened) ui::messageBox("Excel template file could not be opened!");
    InspectBinaryFile(name, 0, -1, 4);
    win.SetStatusText(1, QString::fromStdString(binaryInspectionStatus(name, opened)));
}

}  // namespace clipcmd

void ConnectClipboardCommands(TMainwin& win) {
    dialogcmd::connectCommands(win, {
        {"CopyDatatoClipboard1", clipcmd::CopyDatatoClipboard1Click},
        {"PasteDatafromClipboard1", clipcmd::PasteDatafromClipboard1Click},
        {"OpenUnknown1", clipcmd::OpenUnknown1Click},
    });
}
