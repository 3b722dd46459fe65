#include "app/processing_commands.h"

#include "app/command_host.h"
#include "app/dialog_command.h"
#include "app/dialogs/TAdvBaselineDia.h"
#include "app/dialogs/TAdvSmoothDia.h"
#include "app/dialogs/TCalcKonzDia.h"
#include "app/dialogs/TSortDia.h"
#include "app/plot/Xygraph.h"
#include "app/replot.h"
#include "core/spectra_list.h"
#include "core/units.h"

using dialogcmd::connectCommand;
using dialogcmd::dialogCommand;

namespace {

void Konzentration1Click(TCommandHost& w) {
    if (!w.NeedSpectra()) return;
    const TDisplayState d = w.Display();
    if (!dialogcmd::unitsAllowed(d.DisplayXUnit == SpecXNanometer &&
                                     (d.DisplayYMode == SpecYTransmittance || d.DisplayYMode == SpecYAbsorbance),
                                 kNoConcentrationUnitsText))
        return;
    dialogCommand<TCalcKonzDia>(w);
}

// The baseline dialog draws its preview curve while it is open; Cancel takes the curve away again.
void AdvancedBaselining1Click(TCommandHost& w) {
    if (!w.NeedSpectra()) return;
    TXYPlot& plot = *w.XYPlot();
    TSpectraList& list = w.Spectra();
    TAdvBaselineDia dia(w.Window());
    dia.BaselineShown = [&plot, &list](int index0) {
        plot.SetKurvenAnzahl(list.Count());
        if (TSpectrumRecord* B = list.Get(index0)) ReplotCurve(plot, *B, index0 + 1);
        plot.Dirty = true;
        plot.Repaint();
    };
    const bool ok = RunModal(dia) == QDialog::Accepted;
    TReplotSteps steps;
    steps.CountWord = "  Spectra";
    steps.AxisTitles = true;
    if (!ok) {
        steps.Curves = TReplotSteps::TCurves::CountOnly;
        steps.CountWord = " Spectra";
        steps.AxisTitles = false;
    }
    w.ReplotSpectra(steps);
}

}  // namespace

void ConnectProcessingCommands(TCommandHost& win) {
    TCommandHost* w = &win;
    connectCommand(win, "Sort1", [w] { dialogCommand<TSortDia>(*w); });
    connectCommand(win, "Concentration1", [w] { Konzentration1Click(*w); });
    connectCommand(win, "AdvancedSmoothing1", [w] { dialogCommand<TAdvSmoothDia>(*w, "  Spectra", true); });
    connectCommand(win, "AdvancedBaselining1", [w] { AdvancedBaselining1Click(*w); });
}
