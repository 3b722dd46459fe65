// The main window's re-plot: the one path from a changed spectra list to the plot and to the
// spectroscope view's list of spectra. The standard re-plot of a command and the re-plot of all spectra
// are built on it (app/command_host.cpp).
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
