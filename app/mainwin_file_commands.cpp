// The File menu's Open, Save, Save Data as and recent-files commands.
#include <QAction>
#include <QFileInfo>

#include <optional>

#include "app/TMainwin.h"
#include "app/file_filters.h"
#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "app/qt_ui_backend.h"
#include "app/replot.h"
#include "core/helpers.h"
#include "core/spectra_list.h"
#include "formats/open_files.h"
#include "formats/save_dispatcher.h"
#include "platform/ui.h"

void TMainwin::ffnen1Click() {
    std::vector<std::string> names;
    if (PendingFiles.empty()) {
        names = RunFileDialog(this, {.Mode = TFileDialogSpec::TMode::OpenMany,
                                     .ObjectName = "OpenSpek",
                                     .Title = {},
                                     .Start = ProgramSettings.OpenFolder.size() > 2
                                                  ? QString::fromStdString(ProgramSettings.OpenFolder)
                                                  : QString(),
                                     .Filters = OpenDialogFilters(),
                                     .HideFilterDetails = true})
                    .Names;
    } else {
        names = ExistingFiles(PendingFiles);
        PendingFiles.clear();
    }

    std::string error;    // an error outside the readers, which report theirs file by file
    std::string summary;  // the files that gave nothing and what the readers told, in one message
    std::optional<TBusyCursor> busy;  // over the reading and the curves made from it
    if (!names.empty()) {
        busy.emplace();
        OpenResult r;
        TDisplayState display = CurrentDisplayState();
        try {
            const TReaderContext context{ProgramSettings.ProgramFolder, ProgramSettings.AxisQueryChoice};
            r = OpenSpectrumFiles(names, SpectraList, display, context, [this](int i, int n) {
                SetStatusText(1, QString("Spectrum %1 of %2").arg(i).arg(n));
                repaint();
            });
        } catch (const std::exception& e) {
            // Such an error ends the reading, never the rest of the command.
            error = e.what();
        }
        SetDisplayState(display);
        summary = OpenSummaryMessage(r);
        if (!r.openFolder.empty()) ProgramSettings.OpenFolder = r.openFolder;
        for (const std::string& rvx : r.rvxFiles) {
            SaveDialogFileName = rvx;
            recent_.Add(rvx);
        }
        if (!r.rvxFiles.empty()) RefreshRecentMenu();
        if (r.restoreAppearance) {
            ProgramSettings.CurveAppearanceRestore = 1;
            plot_->SetKurvenAnzahl(SpectraList.Count());
            ProgramSettings.CurveAppearanceRestore = 0;
        }
    }

    // Titles, autoscaling and the count always, also when nothing was read.
    TReplotSteps steps;
    steps.Curves = names.empty() ? TReplotSteps::TCurves::None : TReplotSteps::TCurves::All;
    steps.Progress = !names.empty();
    steps.SpectroscopeList = true;
    steps.AxisTitles = true;
    steps.Autoscale = true;
    ReplotSpectra(steps);
    busy.reset();

    // One message for every file that failed or was read with a note, after the curves are drawn.
    if (!summary.empty()) ui::showMessage(summary);
    if (!error.empty()) ShowErrorBox(error);
}

void TMainwin::MRUManager1Click(const std::string& recentName) {
    PendingFiles.push_back(recentName);
    if (FileExists(recentName)) {
        ffnen1Click();
    } else {
        recent_.Remove(recentName);
        RefreshRecentMenu();
        ui::showMessage("File: " + recentName + "\r\n" + "has gone!");
    }
    PendingFiles.clear();
}

void TMainwin::Speichern1Click() {
    if (!NeedSpectra()) return;
    const std::string& name = SaveDialogFileName;
    if (name.empty() || name == "*.rvx" || name == "*.dat") {
        SaveDataas1Click();
        return;
    }
    const ui::Answer a = ui::messageBox("Data will be saved as \r\n" + name, "Confirm", ui::Buttons::YesNo,
                                        ui::Icon::Question);
    if (a == ui::Answer::Yes) SaveSpectra(name);
    else SaveDataas1Click();
}

bool TMainwin::SaveSpectra(const std::string& name) {
    TSaveOptions options;
    options.XDrawnMin = plot_->XDrawnMin;
    options.XDrawnMax = plot_->XDrawnMax;
    options.AsciiXStepChoice = ProgramSettings.AsciiXStepChoice;
    options.ProgramFolder = ProgramSettings.ProgramFolder;
    const bool written = SaveSpectraFile(name, SpectraList, CurrentDisplayState(), options);
    if (written && SaveFormatOf(name) == SaveFormat::Rvx) {
        recent_.Add(name);
        RefreshRecentMenu();
    }
    return written;
}

void TMainwin::SaveDataas1Click() {
    if (!NeedSpectra()) return;
    const std::string name = RunSaveDialog(SaveDialog::Data);
    if (!name.empty()) SaveSpectra(name);
}

void TMainwin::SavePlotas1Click() {
    if (!NeedSpectra()) return;
    const std::string name = RunSaveDialog(SaveDialog::Plot);
    if (!name.empty()) SaveSpectra(name);
}

std::string TMainwin::RunSaveDialog(SaveDialog dialog) {
    const std::string start = ProgramSettings.SaveFolder + (SaveDialogFileName.empty() ? std::string()
                                                                        : NameWithoutExtension(SaveDialogFileName));
    // The overwrite question comes after the extension is forced, below.
    const TFileDialogChoice choice = RunFileDialog(this, {.Mode = TFileDialogSpec::TMode::Save,
                                                          .ObjectName = "SaveRvx",
                                                          .Title = "Save spectra",
                                                          .Start = QString::fromStdString(start),
                                                          .Filters = SaveDialogFilters(dialog)});
    if (choice.Names.empty() || choice.Names.front().empty()) return {};
    ProgramSettings.SaveFolder = FolderOf(choice.Names.front());
    const std::string name = SaveNameForFilter(dialog, choice.FilterIndex, choice.Names.front());
    if (!ConfirmReplaceFile(name)) return {};
    SaveDialogFileName = name;
    return name;
}
