#include "app/replot.h"

#include <array>

#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "core/units.h"

namespace {

PeakLabelFn& peakHook() {
    static PeakLabelFn fn;
    return fn;
}
bool peakLabelsShown = false;

// Which of the x units the records are stored in.
class StoredXUnits {
public:
    explicit StoredXUnits(const TSpectraList& list) {
        for (const auto& r : list)
            if (XUnitOfCode(CodeOf(r->XUnit))) seen_[static_cast<std::size_t>(CodeOf(r->XUnit))] = true;
    }
    bool Has(SpecXUnit u) const { return seen_[static_cast<std::size_t>(CodeOf(u))]; }

private:
    std::array<bool, 6> seen_{};
};

}  // namespace

void SetPeakLabelHook(PeakLabelFn fn) { peakHook() = std::move(fn); }
void SetPeakLabelsShown(bool shown) { peakLabelsShown = shown; }
bool PeakLabelsShown() { return peakLabelsShown; }

void PlotSpectrumCurve(TXYPlot& plot, TSpectrumRecord& rec, int n) {
    // The accessors of core, so that a curve point is exactly what every other part computes.
    const TDisplayState display = CurrentDisplayState();
    plot.FillCurve(n, rec.PointCount(), [&rec, &display](int32_t i) {
        return TPlotPoint{SpecXValue(rec, i, display), SpecYValue(rec, i, display)};
    });
    if (rec.SourceKind == SpecSourceRaw) {
        plot.ZweiteYAchse = true;
        plot.SetCurveAxis(n, 2);
    } else {
        plot.SetCurveAxis(n, 1);
    }
    // The colour stays the record's own: it is set where it is chosen (a reader, a tool, the properties
    // dialog) and reaches the curve through ApplyCurveLooks. The pen style comes back as the plot keeps it.
    rec.LineStyle = plot.GetCurveStyle(n);
    plot.SetCurveName(n, QString::fromStdString(rec.Title.str()));

    if (peakLabelsShown && peakHook() &&
        (ProgramSettings.PeakLabelSettings.AllSpectra || ProgramSettings.PeakLabelSettings.SelectedSpectrum + 1 == n)) {
        peakHook()(plot, rec, n);
    }
}

bool SettleDisplayXUnit(const TSpectraList& list) {
    const StoredXUnits unit(list);
    if (!unit.Has(SpecXRamanShift)) return false;
    const bool all = unit.Has(SpecXNanometer) && unit.Has(SpecXWavenumber) && unit.Has(SpecXMicrometer) &&
                     unit.Has(SpecXElectronVolt);
    if (all || DisplayXUnit == SpecXWavenumber) return false;
    DisplayXUnit = SpecXWavenumber;
    return true;
}

bool UpdateAxisTitles(TXYPlot& plot, const TSpectraList& list) {
    bool absorptionLike = false, intensity = false, reflectance = false, webcam = false;
    const StoredXUnits unit(list);
    bool changed = false;
    if (!list.Empty()) {
        plot.Y1achsenText.clear();
        for (const auto& r : list) {
            if (r->YKind >= SpecYTransmittance && r->YKind <= SpecYLogEpsilon) absorptionLike = true;
            if (r->YKind == SpecYIntensity) intensity = true;
            if (r->YKind == SpecYReflectance) reflectance = true;
            if (r->SourceKind == SpecSourceWebcamLive) webcam = true;
        }
        if (DisplayXUnit == SpecXWavenumber || DisplayXUnit == SpecXElectronVolt) {
            plot.Direction = 2;
            plot.X2Direction = 1;
        } else {
            plot.Direction = 1;
            plot.X2Direction = 2;
        }
        if (plot.XDrawnMin > plot.XDrawnMax) plot.KeepXRangeOnce = false;
    }
    plot.XAchsenTextAn = ShowXTitle != 0;
    plot.Y1AchsenTextAn = ShowYTitle != 0;

    switch (DisplayXUnit) {
    case SpecXWavenumber: plot.XachsenText = "Wavenumbers [1/cm]"; plot.X2achsenText = "Wavelength [nm]"; break;
    case SpecXElectronVolt: plot.XachsenText = "Electron Volts [eV]"; plot.X2achsenText = "Wavelength [nm]"; break;
    case SpecXMicrometer: plot.XachsenText = QString::fromUtf8("Wavelength [µm]"); plot.X2achsenText = "Wavenumbers [1000/cm]"; break;
    default: plot.XachsenText = "Wavelength [nm]"; plot.X2achsenText = "Wavenumbers [1000/cm]"; break;
    }

    if (unit.Has(SpecXRamanShift)) {
        changed = SettleDisplayXUnit(list);
        if (DisplayXUnit == SpecXWavenumber) {
            plot.Direction = 1;
            plot.X2Direction = 2;
            plot.XachsenText = "Raman Shift [1/cm]";
            plot.X2achsenText = "Wavelength [nm]";
        }
    }
    if (CustomXTitleOn) plot.XachsenText = QString::fromStdString(CustomXTitle);
    if (webcam) plot.XachsenText = "Pixel";

    switch (DisplayYMode) {
    case SpecYTransmittance:
        if (absorptionLike && reflectance) plot.Y1achsenText = "Transmittance/ Reflectance";
        else if (absorptionLike) plot.Y1achsenText = "Transmittance";
        else if (reflectance) plot.Y1achsenText = "Reflectance";
        break;
    case SpecYAbsorbance:
        if ((absorptionLike || reflectance) && intensity) plot.Y1achsenText = "Absorbance / Intensity";
        else if (absorptionLike || reflectance) plot.Y1achsenText = "Absorbance";
        else if (intensity) plot.Y1achsenText = "Intensity";
        break;
    case SpecYEpsilon: plot.Y1achsenText = "Molar Absorption Coefficient [l/(mol*cm)]"; break;
    case SpecYLogEpsilon: plot.Y1achsenText = "Log(Epsilon)"; break;
    default: break;
    }
    if (CustomYTitleOn) plot.Y1achsenText = QString::fromStdString(CustomYTitle);

    if (list.Empty()) {
        plot.XachsenText.clear();
        plot.X2achsenText.clear();
        plot.Y1achsenText.clear();
    }
    return changed;
}

void ReplotCurves(TXYPlot& plot, TSpectraList& list) {
    SettleDisplayXUnit(list);
    plot.SetKurvenAnzahl(list.Count());
    for (int32_t i = 0; i < list.Count(); ++i) ReplotCurve(plot, list[i], i + 1);
}

void ReplotCurve(TXYPlot& plot, TSpectrumRecord& rec, int n) {
    ApplyCurveLooks(plot, rec, n, false);
    PlotSpectrumCurve(plot, rec, n);
}

int EffectiveLineWidth(const TXYPlot& plot, const TSpectrumRecord& rec) { return rec.LineWidth + plot.BaseLineWidth - 1; }

void ApplyCurveLooks(TXYPlot& plot, const TSpectrumRecord& rec, int n, bool name) {
    plot.SetCurveColor(n, rec.Color);
    plot.SetCurveStyle(n, rec.LineStyle, EffectiveLineWidth(plot, rec));
    if (name) plot.SetCurveName(n, QString::fromStdString(rec.Title.str()));
}

void ApplyAllCurveLooks(TXYPlot& plot, const TSpectraList& list) {
    for (int32_t i = 0; i < list.Count() && i < plot.KurvenAnzahl(); ++i) ApplyCurveLooks(plot, list[i], i + 1, true);
}

std::optional<TCurveLooks> CurveLooksOf(const TSpectraList& list, int n) {
    if (n < 1 || n > list.Count()) return std::nullopt;
    const TSpectrumRecord& rec = list[n - 1];
    return TCurveLooks{rec.Color, rec.LineStyle, rec.LineWidth};
}

void PlotAllBlack(TXYPlot& plot) {
    for (int n = 1; n <= plot.KurvenAnzahl(); ++n) plot.SetCurveColor(n, 0);
}

void CycleLineTypes(TXYPlot& plot) {
    static constexpr int kStyleByRest[3] = {1, 0, 2};  // n mod 3 = 0, 1, 2
    for (int n = 1; n <= plot.KurvenAnzahl(); ++n) plot.SetCurveStyle(n, kStyleByRest[n % 3], 0);
}
