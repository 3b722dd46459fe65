#include "app/options_commands.h"

#include "app/command_host.h"
#include "app/dialog_command.h"
#include "app/dialogs/TAchsDia.h"
#include "app/dialogs/TKonzDia.h"
#include "app/dialogs/TOptionsDia.h"
#include "app/options_apply.h"
#include "app/plot/Xygraph.h"
#include "app/qt_ui_backend.h"
#include "app/replot.h"
#include "core/program_settings.h"
#include "core/spectra_list.h"
#include "core/units.h"

namespace {

axes::AxesSettings currentAxesSettings(const TXYPlot& plot) {
    axes::AxesSettings s;
    s.DisplayXUnit = DisplayXUnit;
    s.DisplayYMode = DisplayYMode;
    s.ShowXTitle = ShowXTitle != 0;
    s.ShowYTitle = ShowYTitle != 0;
    s.CustomXTitleOn = CustomXTitleOn != 0;
    s.CustomYTitleOn = CustomYTitleOn != 0;
    s.CustomXTitle = CustomXTitle;
    s.CustomYTitle = CustomYTitle;
    s.AlternateTickLabels = plot.AlternateTickLabels;
    s.XDrawnMin = plot.XDrawnMin;
    s.XDrawnMax = plot.XDrawnMax;
    s.KeepXRangeOnce = plot.KeepXRangeOnce;
    return s;
}

void takeAxesSettings(TXYPlot& plot, const axes::AxesSettings& s) {
    DisplayXUnit = s.DisplayXUnit;
    DisplayYMode = s.DisplayYMode;
    ShowXTitle = s.ShowXTitle;
    ShowYTitle = s.ShowYTitle;
    CustomXTitleOn = s.CustomXTitleOn;
    CustomYTitleOn = s.CustomYTitleOn;
    CustomXTitle = s.CustomXTitle;
    CustomYTitle = s.CustomYTitle;
    plot.AlternateTickLabels = s.AlternateTickLabels;
    plot.XDrawnMin = s.XDrawnMin;
    plot.XDrawnMax = s.XDrawnMax;
    plot.KeepXRangeOnce = s.KeepXRangeOnce;
}

}  // namespace

void ConnectOptionsCommands(TCommandHost& w) {
    dialogcmd::connectCommands(w, {
        {"Configuration1", RunConfigurationCommand},
        {"Axes1", RunAxesCommand},
        {"General1", RunGeneralCommand},
    });
}

void RunConfigurationCommand(TCommandHost& w) {
    {
        TOptionsDia dia(w.Window());
        dia.FormActivate();
        dia.ApplyHandler = [&w](const options::StoredOptions& o, bool pathChanged) {
            ApplyOptions(w, o, pathChanged);
        };
        RunModal(dia);
    }
    // Whatever the result.
    TReplotSteps steps;
    steps.Curves = TReplotSteps::TCurves::CountOnly;
    w.ReplotSpectra(steps);
}

void RunAxesCommand(TCommandHost& w) {
    TXYPlot& plot = *w.XYPlot();
    TAchsDia dia(w.Window());
    dia.FormActivate(currentAxesSettings(plot));
    if (RunModal(dia) == QDialog::Accepted) {
        takeAxesSettings(plot, dia.Settings());
        w.PlotSpectrumCurves();
        w.UpdateAxisTitles();
    }
    w.UpdateAxisTitles();
    plot.Autoscaling = true;
    plot.Dirty = true;
    plot.update();
}

void RunGeneralCommand(TCommandHost& w) {
    if (!w.NeedSpectra()) return;
    TXYPlot& plot = *w.XYPlot();
    {
        TKonzDia dia(w.Spectra(), &plot, w.Window());
        dia.FormActivate();
        RunModal(dia);
    }
    // Whatever the result: the looks of every record reach its curve.
    ApplyAllCurveLooks(plot, w.Spectra());
    // The molar absorption coefficient and its logarithm depend on concentration and path length.
    if (const SpecYKind y = w.Display().DisplayYMode; y != SpecYTransmittance && y != SpecYAbsorbance) {
        w.PlotSpectrumCurves();
        plot.Autoscaling = true;
        plot.Dirty = true;
    }
    plot.update();
}
