#include "app/options_apply.h"

#include <QFont>

#include <cmath>

#include "app/command_host.h"
#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "app/replot.h"
#include "core/quantum_yield_settings.h"
#include "core/settings_globals.h"
#include "core/spectra_list.h"
#include "platform/numtext.h"

void ApplyOptions(TCommandHost& w, const options::StoredOptions& o, bool applyPathLength, bool applyQuantumYield) {
    // Every number first, so that a bad text changes nothing.
    const options::OptionNumbers num = options::ConvertNumbers(o, numtext::decimalSeparator());
    TXYPlot& plot = *w.XYPlot();
    TSpectraList& list = w.Spectra();
    const int curves = std::min<int>(list.Count(), plot.KurvenAnzahl());

    // 1. switches, background, base width
    plot.GridOn = o.OGitter;
    plot.Legende = o.OLegende;
    plot.DrawAsLines = o.OLinien == 0;
    w.SetWindowColor(o.OHintergrund);
    plot.BaseLineWidth = o.RxSlider1;

    // 2., 3. colours and line types
    if (o.OSchwarz) {
        PlotAllBlack(plot);
    } else {
        for (int n = 1; n <= curves; ++n) plot.SetCurveColor(n, list[n - 1].Color);
    }
    if (o.OLinienarten) {
        CycleLineTypes(plot);
    } else {
        for (int n = 1; n <= curves; ++n) {
            const TSpectrumRecord& rec = list[n - 1];
            plot.SetCurveStyle(n, rec.LineStyle, EffectiveLineWidth(plot, rec));
        }
    }

    // 4. default path length
    if (applyPathLength)
        for (auto& rec : list) rec->PathLength = num.PathLength;

    // 5. fonts
    plot.PlotFont.setFamily(QString::fromStdString(o.OAchsenfont));
    plot.PlotFont.setPointSize(o.OAchsenfontSize);
    plot.LegendeFont.setFamily(QString::fromStdString(o.OLegendefont));
    plot.LegendeFont.setPointSize(o.OLegendefontSize);

    // 6. display settings and titles
    ShowXTitle = o.OXBeschriftung;
    plot.AlternateTickLabels = o.OXZweiterTick;
    CustomXTitleOn = o.OXAndereBeschriftung;
    CustomXTitle = o.OXAndererText;
    plot.SecondXAxisOn = o.OZweiteXAchse;
    plot.Dirty = true;
    ShowYTitle = o.OYBeschriftung;
    CustomYTitleOn = o.OYAndereBeschriftung;
    CustomYTitle = o.OYAndererText;
    w.UpdateAxisTitles();

    // 7. folders: an empty text keeps the folder in use
    if (options::UsableFolder(o.OOEffnenPfad)) OpenFolder = o.OOEffnenPfad;
    if (options::UsableFolder(o.OSpeichernPfad)) SaveFolder = o.OSpeichernPfad;
    AsciiXStepChoice = o.OASCIISchrittweite;

    // 8. gnuplot
    GnuplotSettings.Title = o.OGnuplotTitel;
    GnuplotSettings.LegendPosition = o.OGnuplotLegendeposition;
    GnuplotSettings.PostScriptOutput = o.OGnuplotPSOutput != 0;
    GnuplotSettings.CommandLines = o.OGnuplotBefehlliste;

    // 9. folders of the correction and lamp files
    if (auto f = options::FolderOf(o.OKorrekturspektrumFileName); options::UsableFolder(f)) CorrectionFolder = f;
    if (auto f = options::FolderOf(o.OLampenspektrumFileName); options::UsableFolder(f)) LampFolder = f;

    // 10. spikes
    SpikeSettings.RemoveOriginal = o.OSpikeOriginalLoeschen;
    SpikeSettings.TreatAll = o.OSpikeAlle;
    SpikeSettings.Backward = o.OSpikeRueckwaerts;
    SpikeSettings.AppendToTitle = o.OSpikeZusatz;
    SpikeSettings.Threshold = num.SpikeThreshold;

    // 11. cut-off
    CutOutSettings.From = num.CutFrom;
    CutOutSettings.To = num.CutTo;
    CutOutSettings.PrefixTitle = o.OSchneidZusatz;
    CutOutSettings.RemoveOriginal = o.OSchneidOriginalLoeschen;

    // 12. y constants
    YConstSettings.Operation = o.OYKonstRechenart;
    YConstSettings.Constant = o.OYKonstKonstante;
    YConstSettings.RemoveOriginal = o.OYKonstLoesch;
    YConstSettings.AppendToTitle = o.OYKonstZusatz;

    // 13. instance switch
    InstanceSwitch = o.OMultipleInstances ? 1 : 0;

    // 14. quantum yield
    AppliedOptionNumbers = num;
    if (applyQuantumYield) {
        QYSettings.InnerFilter = num.QyInnerFilter;
        QYSettings.DetectionPath = num.QyPathLength;
        QYSettings.BandWidth = num.QyBandWidth;
        QYSettings.RefYield = num.QyRefYield;
        QYSettings.RefN = num.QyRefN;
        QYSettings.SampleN = num.QySampleN;
        QYSettings.RefFrom = num.QyRefFrom;
        QYSettings.RefTo = num.QyRefTo;
        QYSettings.SampleFrom = num.QySampleFrom;
        QYSettings.SampleTo = num.QySampleTo;
        QYSettings.RefExcitation = num.QyRefExcitation;
        QYSettings.SampleExcitation = num.QySampleExcitation;
        QYSettings.RefExposure = num.QyRefBel;
        QYSettings.SampleExposure = num.QySampleBel;
    }

    plot.update();
}
