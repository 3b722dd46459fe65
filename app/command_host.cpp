#include "app/command_host.h"

#include "app/plot/Xygraph.h"
#include "app/qt_ui_backend.h"
#include "app/replot.h"
#include "core/spectra_list.h"

bool TCommandHost::HasCurves() const {
    const TXYPlot* plot = XYPlot();
    return plot && plot->KurvenAnzahl() > 0;
}

bool TCommandHost::NeedSpectra() {
    if (HasCurves()) return true;
    SetStatusText(1, kNoSpectrumLoadedText);
    return false;
}

void TCommandHost::RunCommand(const std::function<void()>& command) {
    SetStatusText(1, "");
    RunGuarded(command);
}

void TCommandHost::StandardReplot(const char* countWord) {
    TReplotSteps steps;
    steps.CountWord = countWord;
    ReplotSpectra(steps);
}

void TCommandHost::ReplotAllSpectra() {
    TReplotSteps steps;
    steps.CountWord = "  Spektren";
    steps.NewLayout = false;
    ReplotSpectra(steps);
}

void TCommandHost::UpdateAxisTitles() {
    TXYPlot& plot = *XYPlot();
    // When the Raman override changed the x unit, the curves follow it at once.
    if (::UpdateAxisTitles(plot, Spectra())) {
        PlotSpectrumCurves();
        plot.Dirty = true;
    }
    plot.update();
}

void TCommandHost::PlotSpectrumCurve(int index0) { ::PlotSpectrumCurve(*XYPlot(), Spectra()[index0], index0 + 1); }

void TCommandHost::PlotSpectrumCurves() {
    TSpectraList& list = Spectra();
    for (int32_t i = 0; i < list.Count() && i < XYPlot()->KurvenAnzahl(); ++i) PlotSpectrumCurve(i);
}
