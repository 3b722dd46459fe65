#include "app/clipboard_commands.h"

#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

#include "app/command_host.h"
#include "app/dialog_command.h"
#include "app/file_filters.h"
#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "app/qt_ui_backend.h"
#include "core/binary_inspector.h"
#include "core/helpers.h"
#include "core/spectra_list.h"
#include "formats/clipboard_table.h"
#include "formats/format_table.h"
#include "formats/open_files.h"
#include "formats/text_spectra.h"
#include "platform/data_folder.h"
#include "platform/errors.h"
#include "platform/ui.h"

namespace {

// What Open unknown binary file leaves in the status bar once the table of `file` is on the clipboard:
// a short text that fits the panel, the file's name shortened in its middle where it must be, and the
// whole account as the panel's tool tip.
void showInspectionStatus(TCommandHost& win, const std::string& file, bool templateOpened) {
    const QString before = templateOpened ? "Paste the table of " : "Table of ";
    const QString after = templateOpened ? " into the template" : " on the clipboard";
    QString name = QString::fromStdString(NameWithoutFolder(file));
    if (const auto* panel = win.Window()->findChild<QLabel*>("StatusPanel1")) {
        const QFontMetrics fm(panel->font());
        // A character's width to spare, for the label's own indent.
        const int room = panel->contentsRect().width() - fm.horizontalAdvance(before + after + 'x');
        name = fm.elidedText(name, Qt::ElideMiddle, std::max(room, 0));
    }
    std::string whole = "Table of " + file + " is on the clipboard";
    if (templateOpened)
        whole += std::string("; ") + clipcmd::kBinaryTemplate + " was handed to the opener: paste it there";
    win.SetStatusText(1, before + name + after, QString::fromStdString(whole));
}

constexpr char kNoSpectrumPasted[] =
    "The clipboard text holds no spectrum: it needs at least 2 lines of an x and a y value, with different x.";

}  // namespace

namespace clipcmd {

void CopyDatatoClipboard1Click(TCommandHost& win) {
    if (!win.NeedSpectra()) return;
    ui::setClipboardText(ClipboardDataText(win.Spectra()));
}

void PasteDatafromClipboard1Click(TCommandHost& win) {
    const std::string text = ui::clipboardText();
    if (text.empty()) return;
    TSpectraList& list = win.Spectra();
    const int32_t before = list.Count();
    const unsigned long told = ui::userInteractions();
    std::string error;
    bool cancelled = false;
    try {
        LoadTextSpectra(text, 1, list, ReadLimitOf(OpenFormat::Csv));
    } catch (const vx::Cancelled&) {
        cancelled = true;
    } catch (const std::exception& e) {
        // Records read before the error stay, as with Open: they are named and plotted first.
        error = e.what();
    }
    const int32_t added = list.Count() - before;
    for (int32_t i = before; i < list.Count(); ++i)
        if (list[i].Title.str().empty()) list[i].Title = "from clipboard (" + std::to_string(i + 1) + ")";
    if (added > 0) win.SetDisplay(DisplayUnitsFromLastRecord(list, win.Display()));
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

void OpenUnknown1Click(TCommandHost& win) {
    const std::string& openFolder = ProgramSettings.OpenFolder;
    const std::string name =
        ChooseFile(win.Window(), {.ObjectName = "OpenSpek",
                          .Title = {},
                          .Start = openFolder.size() > 2 ? QString::fromStdString(openFolder) : QString(),
                          .Filters = {"all spectral file types (*.*)"}});
    if (name.empty()) return;
    TBusyCursor busy;
    const bool opened = ShellOpenPath(FileBesideProgram(ProgramSettings.ProgramFolder, kBinaryTemplate));
    if (!opened) ui::messageBox("Excel template file could not be opened!");
    InspectBinaryFile(name, 0, -1, 4);
    showInspectionStatus(win, name, opened);
}

}  // namespace clipcmd

void ConnectClipboardCommands(TCommandHost& win) {
    dialogcmd::connectCommands(win, {
        {"CopyDatatoClipboard1", clipcmd::CopyDatatoClipboard1Click},
        {"PasteDatafromClipboard1", clipcmd::PasteDatafromClipboard1Click},
        {"OpenUnknown1", clipcmd::OpenUnknown1Click},
    });
}
