// The main window's re-plot: the standard re-plot of a command and the re-plot of all spectra.
#include "app/TMainwin.h"
#include "app/plot/Xygraph.h"
#include "app/replot.h"
#include "core/spectra_list.h"

void TMainwin::StandardReplot(const char* countWord) {
    ReplotCurves(*plot_, SpectraList);
    plot_->Dirty = true;
    SetStatusText(0, QString::number(plot_->KurvenAnzahl()) + countWord);
    plot_->update();
}

void TMainwin::ReplotAllSpectra() {
    // The curve count follows the list first, so that every record has its curve.
    ReplotCurves(*plot_, SpectraList);
    SetStatusText(0, QString::number(plot_->KurvenAnzahl()) + "  Spektren");
    plot_->update();
}

void TMainwin::UpdateAxisTitles() {
    // When the Raman override changed the x unit, the curves follow it at once.
    if (::UpdateAxisTitles(*plot_, SpectraList)) {
        for (int32_t i = 0; i < SpectraList.Count() && i < plot_->KurvenAnzahl(); ++i)
            ::PlotSpectrumCurve(*plot_, SpectraList[i], i + 1);
        plot_->Dirty = true;
    }
    plot_->update();
}

void TMainwin::PlotSpectrumCurve(int index0) { ::PlotSpectrumCurve(*plot_, SpectraList[index0], index0 + 1); }
