#include "app/core_commands.h"

#include <QProgressBar>
#include <QPointer>

#include "app/TMainwin.h"
#include "app/dialog_command.h"
#include "app/plot/Xygraph.h"
#include "app/qt_ui_backend.h"
#include "core/peaks.h"
#include "core/smoothing.h"
#include "core/spectra_list.h"

void Normalize1Click(TMainwin& w) {
    if (!w.NeedSpectra()) return;
    TXYPlot& plot = *w.XYPlot();
    // The range the user sees decides which maximum becomes 1.
    double lo = plot.XDrawnMin, hi = plot.XDrawnMax;
    if (lo == hi) {
        lo = plot.MinXValue;
        hi = plot.MaxXValue;
    }
    for (auto& rec : SpectraList) NormalizeSpectrum(*rec, lo, hi, CurrentDisplayState());
    TReplotSteps steps;
    steps.Autoscale = true;
    w.ReplotSpectra(steps);
}

void Smooth1Click(TMainwin& w) {
    if (!w.NeedSpectra()) return;
    TBusyCursor busy;
    QPointer<QProgressBar> bar(w.ProgressBar());
    ProgressReport progress;
    double value = 0;
    progress.Begin = [bar, &value](int32_t maximum) {
        value = 0;
        if (!bar) return;
        bar->setRange(0, maximum);
        bar->setValue(0);
        bar->show();
    };
    progress.Step = [bar, &value](double amount) {
        value += amount;
        if (bar) bar->setValue(static_cast<int>(value));
    };
    progress.End = [bar] {
        if (bar) bar->hide();
    };
    SmoothAllSpectra(SpectraList, CurrentDisplayState(), progress);
    w.ReplotSpectra();
    w.SetStatusText(1, "");
}

void ConnectCoreCommands(TMainwin& w) {
    dialogcmd::connectCommands(w, {{"Normalize1", Normalize1Click}, {"Smooth1", Smooth1Click}});
}
