#include "app/export_commands.h"


#include "app/command_host.h"
#include "app/dialog_command.h"
#include "app/dialogs/TGnuDia.h"
#include "app/dialogs/TMultiSaveDia.h"
#include "app/dialogs/TRRUFFDia.h"
#include "app/file_filters.h"
#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "app/qt_ui_backend.h"
#include "core/helpers.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "tools/gnuplot_export.h"

namespace {

constexpr const char* kGnuplotFilter = "GnuPlot command file (*.plt)|*.plt";

int curves(TCommandHost& w) { return w.XYPlot() ? w.XYPlot()->KurvenAnzahl() : 0; }

// What the gnuplot export copies of the plot as it was last drawn.
TGnuplotPlot plotState(TXYPlot& plot) {
    plot.UpdateLayout();
    TGnuplotPlot p;
    p.XDrawnMin = plot.XDrawnMin;
    p.XDrawnMax = plot.XDrawnMax;
    p.Y1DrawnMin = plot.Ticks(2).DrawnMin;
    p.Y1DrawnMax = plot.Ticks(2).DrawnMax;
    p.SecondXAxisOn = plot.SecondXAxisOn;
    const TAxisTicks& x2 = plot.Ticks(1);
    for (int i = 0; i < plot.X2MajorTics.get() && i < TAxisTicks::kMaxTicks; ++i)
        p.X2Labels.push_back(x2.Labels[std::size_t(i)].toStdString());
    return p;
}

std::string gnuplotFileName(TCommandHost& w) {
    return ChooseFile(w.Window(), {.Mode = TFileDialogSpec::TMode::Save,
                           .ObjectName = "SavePLT",
                           .Title = "Save for GnuPlot",
                           .Start = QString::fromStdString(ProgramSettings.SaveFolder),
                           .Filters = QtNameFilters(kGnuplotFilter)});
}

}  // namespace

namespace exportcmd {

TGnuDia* GnuDialog(TCommandHost& w) { return w.Window()->findChild<TGnuDia*>("GnuDia"); }

void BatchExportData1Click(TCommandHost& w) {
    if (!w.NeedSpectra() || curves(w) < 2) return;
    TMultiSaveDia dia(w.Window());
    RunModal(dia);
}

void SaveforRRUFF1Click(TCommandHost& w) {
    if (!w.NeedSpectra()) return;
    TRRUFFDia dia(w.Window());
    RunModal(dia);
}

void SaveforGnuPlot1Click(TCommandHost& w) {
    if (!w.NeedSpectra()) return;
    if (const std::string refusal = GnuplotUnitRefusal(w.Display()); !dialogcmd::unitsAllowed(refusal.empty(), refusal))
        return;
    std::string name = gnuplotFileName(w);
    if (name.empty()) return;
    ProgramSettings.SaveFolder = FolderOf(name);
    if (UpperAscii(ExtensionOf(name)) != "PLT") name = ChangeFileExt(name, ".plt");
    if (!ConfirmReplaceFile(name)) return;
    ProgramSettings.GnuplotSettings.FileName = name;
    TGnuDia* dia = GnuDialog(w);
    if (!dia) return;
    dia->Plot = plotState(*w.XYPlot());
    const bool ok = RunModal(*dia) == QDialog::Accepted;
    w.SetStatusText(1, ok ? "plt-file successfully saved!" : "failed!");
}

}  // namespace exportcmd

void ConnectExportCommands(TCommandHost& win) {
    new TGnuDia(win.Window());
    dialogcmd::connectCommands(win, {
        {"BatchExportData1", exportcmd::BatchExportData1Click},
        {"SaveforRRUFF1", exportcmd::SaveforRRUFF1Click},
        {"SaveforGnuPlot1", exportcmd::SaveforGnuPlot1Click},
    });
}
