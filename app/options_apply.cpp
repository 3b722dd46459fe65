#include "app/options_apply.h"

#include <QFont>

#include <cmath>

#include "app/command_host.h"
#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "app/replot.h"
#include "core/quantum_yield_settings.h"
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
    if (options::UsableFolder(o.OOEffnenPfad)) ProgramSettings.OpenFolder = o.OOEffnenPfad;
    if (options::UsableFolder(o.OSpeichernPfad)) ProgramSettings.SaveFolder = o.OSpeichernPfad;
    ProgramSettings.AsciiXStepChoice = o.OASCIISchrittweite;

    // 8. gnuplot
    ProgramSettings.GnuplotSettings.Title = o.OGnuplotTitel;
    ProgramSettings.GnuplotSettings.LegendPosition = o.OGnuplotLegendeposition;
    ProgramSettings.GnuplotSettings.PostScriptOutput = o.OGnuplotPSOutput != 0;
    ProgramSettings.GnuplotSettings.CommandLines = o.OGnuplotBefehlliste;

    // 9. folders of the correction and lamp files
    if (auto f = options::FolderOf(o.OKorrekturspektrumFileName); options::UsableFolder(f))
        ProgramSettings.CorrectionFolder = f;
    if (auto f = options::FolderOf(o.OLampenspektrumFileName); options::UsableFolder(f)) ProgramSettings.LampFolder = f;

    // 10. spikes
    ProgramSettings.SpikeSettings.RemoveOriginal = o.OSpikeOriginalLoeschen;
    ProgramSettings.SpikeSettings.TreatAll = o.OSpikeAlle;
    ProgramSettings.SpikeSettings.Backward = o.OSpikeRueckwaerts;
    ProgramSettings.SpikeSettings.AppendToTitle = o.OSpikeZusatz;
    ProgramSettings.SpikeSettings.Threshold = num.SpikeThreshold;

    // 11. cut-off
    ProgramSettings.CutOutSettings.From = num.CutFrom;
    ProgramSettings.CutOutSettings.To = num.CutTo;
    ProgramSettings.CutOutSettings.PrefixTitle = o.OSchneidZusatz;
    ProgramSettings.CutOutSettings.RemoveOriginal = o.OSchneidOriginalLoeschen;

    // 12. y constants
    ProgramSettings.YConstSettings.Operation = o.OYKonstRechenart;
    ProgramSettings.YConstSettings.Constant = o.OYKonstKonstante;
    ProgramSettings.YConstSettings.RemoveOriginal = o.OYKonstLoesch;
    ProgramSettings.YConstSettings.AppendToTitle = o.OYKonstZusatz;

    // 13. instance switch
    ProgramSettings.InstanceSwitch = o.OMultipleInstances ? 1 : 0;

    // 14. quantum yield
    ProgramSettings.AppliedOptionNumbers = num;
    if (applyQuantumYield) {
        ProgramSettings.QYSettings.InnerFilter = num.QyInnerFilter;
        ProgramSettings.QYSettings.DetectionPath = num.QyPathLength;
        ProgramSettings.QYSettings.BandWidth = num.QyBandWidth;
        ProgramSettings.QYSettings.RefYield = num.QyRefYield;
        ProgramSettings.QYSettings.RefN = num.QyRefN;
        ProgramSettings.QYSettings.SampleN = num.QySampleN;
        ProgramSettings.QYSettings.RefFrom = num.QyRefFrom;
        ProgramSettings.QYSettings.RefTo = num.QyRefTo;
        ProgramSettings.QYSettings.SampleFrom = num.QySampleFrom;
        ProgramSettings.QYSettings.SampleTo = num.QySampleTo;
        ProgramSettings.QYSettings.RefExcitation = num.QyRefExcitation;
        ProgramSettings.QYSettings.SampleExcitation = num.QySampleExcitation;
        ProgramSettings.QYSettings.RefExposure = num.QyRefBel;
        ProgramSettings.QYSettings.SampleExposure = num.QySampleBel;
    }

    plot.update();
}
