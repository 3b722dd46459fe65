#include "app/core_commands.h"

#include "app/command_host.h"
#include "app/dialog_command.h"
#include "app/plot/Xygraph.h"
#include "app/qt_ui_backend.h"
#include "core/peaks.h"
#include "core/smoothing.h"
#include "core/spectra_list.h"

void Normalize1Click(TCommandHost& w) {
    if (!w.NeedSpectra()) return;
    TXYPlot& plot = *w.XYPlot();
    // The range the user sees decides which maximum becomes 1.
    double lo = plot.XDrawnMin, hi = plot.XDrawnMax;
    if (lo == hi) {
        lo = plot.MinXValue;
        hi = plot.MaxXValue;
    }
    for (auto& rec : w.Spectra()) NormalizeSpectrum(*rec, lo, hi, w.Display());
    TReplotSteps steps;
    steps.Autoscale = true;
    w.ReplotSpectra(steps);
}

void Smooth1Click(TCommandHost& w) {
    if (!w.NeedSpectra()) return;
    TBusyCursor busy;
    ProgressReport progress;
    double value = 0;
    int32_t maximum = 0;
    progress.Begin = [&](int32_t max) {
        value = 0;
        maximum = max;
        w.ShowProgress(0, maximum);
    };
    progress.Step = [&](double amount) {
        value += amount;
        w.ShowProgress(static_cast<int>(value), maximum);
    };
    progress.End = [&w] { w.ShowProgress(-1, 0); };
    SmoothAllSpectra(w.Spectra(), w.Display(), progress);
    w.ReplotSpectra();
    w.SetStatusText(1, "");
}

void ConnectCoreCommands(TCommandHost& w) {
    dialogcmd::connectCommands(w, {{"Normalize1", Normalize1Click}, {"Smooth1", Smooth1Click}});
}
