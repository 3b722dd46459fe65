// The main window's re-plot: the one path from a changed spectra list to the plot, with the standard
// re-plot of a command and the re-plot of all spectra as its two common forms.
#include <QComboBox>

#include "app/TMainwin.h"
#include "app/plot/Xygraph.h"
#include "app/replot.h"
#include "core/spectra_list.h"

void TMainwin::ReplotSpectra(const TReplotSteps& steps) {
    if (steps.Progress) SetStatusText(1, "calculating spectra");
    switch (steps.Curves) {
    case TReplotSteps::TCurves::All:
        // The curve count follows the list first, so that every record has its curve.
        ReplotCurves(*plot_, SpectraList);
        break;
    case TReplotSteps::TCurves::CountOnly: plot_->SetKurvenAnzahl(SpectraList.Count()); break;
    case TReplotSteps::TCurves::None: break;
    }
    if (steps.Progress) SetStatusText(1, " ");
    if (steps.SpectroscopeList) {
        comboSpectroscope_->clear();
        for (const auto& rec : SpectraList) comboSpectroscope_->addItem(QString::fromStdString(rec->Title.str()));
        comboSpectroscope_->setCurrentIndex(SpectraList.Empty() ? -1 : 0);
    }
    if (steps.AxisTitles) UpdateAxisTitles();
    if (steps.Autoscale) plot_->Autoscaling = true;
    if (steps.NewLayout) plot_->Dirty = true;
    SetStatusText(0, QString::number(plot_->KurvenAnzahl()) + steps.CountWord);
    if (steps.RepaintNow) plot_->Repaint();
    else plot_->update();
}

void TMainwin::StandardReplot(const char* countWord) {
    TReplotSteps steps;
    steps.CountWord = countWord;
    ReplotSpectra(steps);
}

void TMainwin::ReplotAllSpectra() {
    TReplotSteps steps;
    steps.CountWord = "  Spektren";
    steps.NewLayout = false;
    ReplotSpectra(steps);
}

void TMainwin::UpdateAxisTitles() {
    // When the Raman override changed the x unit, the curves follow it at once.
    if (::UpdateAxisTitles(*plot_, SpectraList)) {
        PlotSpectrumCurves();
        plot_->Dirty = true;
    }
    plot_->update();
}

void TMainwin::PlotSpectrumCurve(int index0) { ::PlotSpectrumCurve(*plot_, SpectraList[index0], index0 + 1); }

void TMainwin::PlotSpectrumCurves() {
    for (int32_t i = 0; i < SpectraList.Count() && i < plot_->KurvenAnzahl(); ++i) PlotSpectrumCurve(i);
}
