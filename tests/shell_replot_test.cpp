// The re-plot: curve points in every display unit and y mode, axis titles, the second axis, the count.
#include <gtest/gtest.h>

#include <cmath>

#include "app/TMainwin.h"
#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "app/replot.h"
#include "app_test_support.h"
#include "core/units.h"
#include "formats/rvx.h"
#include "platform/ui.h"
#include "tools/average.h"

namespace {

class ShellReplot : public ShellWindowTest {};

// The expected display x of a stored x, written out from the conversion table, independent of the code.
double ExpectedX(double x, int stored, int display) {
    auto recip = [](double k, double v) { return v == 0.0 ? 0.0 : k / v; };
    if (stored == 5) stored = 2;
    switch (stored * 10 + display) {
    case 11: case 22: case 33: case 44: return x;
    case 12: return recip(10000000.0, x);
    case 13: return recip(1239.8424512359736, x);
    case 14: return x / 1000;
    case 41: return x * 1000;
    case 42: return recip(10000.0, x);
    case 43: return recip(1.2398424512359736, x);
    case 21: return recip(10000000.0, x);
    case 23: return x / 8065.5409;
    case 24: return recip(10000.0, x);
    case 31: return recip(1239.8424512359736, x);
    case 32: return x * 8065.5409;
    case 34: return recip(1.2398424512359736, x);
    }
    return NAN;
}

// Absorbance-like stored value a shown in mode m for a record with concentration c and path d.
double ExpectedY(double a, int mode, double c, double d) {
    switch (mode) {
    case 1: return std::pow(10.0, -a);
    case 2: return a;
    case 3: return a / (c * d);
    case 4: return a / (c * d) <= 1 ? 0.0 : std::log10(a / (c * d));
    }
    return NAN;
}

TEST_F(ShellReplot, EveryCurvePointInEveryDisplayUnitAndYMode) {
    // One record per stored unit; the 1/cm record starts at 0 (shown as 0 in nm and µm).
    SpectraList.Add(MakeRecord(400, 2, {0.5, 1.2, 2.0, 0.05}, SpecXNanometer, SpecYAbsorbance, 0, "nm"));
    SpectraList.Add(MakeRecord(0, 5000, {0.3, 0.6, 0.9}, SpecXWavenumber, SpecYAbsorbance, 0, "wavenumber"));
    SpectraList.Add(MakeRecord(0.5, 0.25, {1.5, 0.25, 0.75}, SpecXMicrometer, SpecYAbsorbance, 0, "micrometre"));
    SpectraList.Add(MakeRecord(1.5, 0.5, {0.4, 0.8}, SpecXElectronVolt, SpecYAbsorbance, 0, "electronvolt"));
    for (auto& r : SpectraList) {
        r->Concentration = 0.01;
        r->PathLength = 2;
    }
    for (int xUnit = 1; xUnit <= 4; ++xUnit) {
        for (int yMode = 1; yMode <= 4; ++yMode) {
            SCOPED_TRACE("x unit " + std::to_string(xUnit) + ", y mode " + std::to_string(yMode));
            DisplayXUnit = *XUnitOfCode(xUnit);
            DisplayYMode = *YKindOfCode(yMode);
            w_->StandardReplot();
            ASSERT_EQ(plot().KurvenAnzahl(), SpectraList.Count());
            for (int32_t i = 0; i < SpectraList.Count(); ++i) {
                const TSpectrumRecord& r = SpectraList[i];
                const KurvenDaten& c = plot().Curve(i + 1);
                ASSERT_EQ(static_cast<int32_t>(c.Points.size()), r.PointCount());
                EXPECT_EQ(c.LegendName.toStdString(), r.Title.str());
                for (int32_t k = 0; k < r.PointCount(); ++k) {
                    const double x = ExpectedX(r.FirstX + k * r.StepX, CodeOf(r.XUnit), xUnit);
                    EXPECT_NEAR(c.Points[k].x, x, std::abs(x) * 1e-13) << "curve " << i + 1 << " point " << k;
                    const double y = ExpectedY(r.Values[k], yMode, r.Concentration, r.PathLength);
                    EXPECT_NEAR(c.Points[k].y, y, std::abs(y) * 1e-12 + 1e-15) << "curve " << i + 1;
                }
            }
        }
    }
    // The 1/cm point at 0 sits at x = 0 in nm instead of dividing by zero.
    DisplayXUnit = SpecXNanometer;
    w_->StandardReplot();
    EXPECT_EQ(plot().Curve(2).Points[0].x, 0.0);
}

TEST_F(ShellReplot, CurvePointsAreExactlyWhatTheAccessorsGive) {
    // A read-out or a tool that takes a plotted x must find the same number the plot shows.
    SpectraList.Add(MakeRecord(300.3, 0.7, std::vector<double>(50, 0.4), SpecXNanometer, SpecYAbsorbance, 0, "nm"));
    SpectraList.Add(
        MakeRecord(0.31, 0.0013, std::vector<double>(50, 0.4), SpecXMicrometer, SpecYAbsorbance, 0, "micrometre"));
    SpectraList.Add(
        MakeRecord(25000.1, -3.3, std::vector<double>(50, 0.4), SpecXWavenumber, SpecYAbsorbance, 0, "wavenumber"));
    SpectraList.Add(
        MakeRecord(4.1, -0.013, std::vector<double>(50, 0.4), SpecXElectronVolt, SpecYAbsorbance, 0, "electronvolt"));
    for (int xUnit = 1; xUnit <= 4; ++xUnit) {
        DisplayXUnit = *XUnitOfCode(xUnit);
        DisplayYMode = SpecYTransmittance;
        w_->StandardReplot();
        for (int32_t i = 0; i < SpectraList.Count(); ++i) {
            const KurvenDaten& c = plot().Curve(i + 1);
            for (int32_t k = 0; k < SpectraList[i].PointCount(); ++k) {
                ASSERT_EQ(c.Points[k].x, SpecXValue(SpectraList[i], k)) << xUnit << " " << i << " " << k;
                ASSERT_EQ(c.Points[k].y, SpecYValue(SpectraList[i], k));
            }
        }
    }
}

TEST_F(ShellReplot, RamanShiftBesideNmIsPlottedInWavenumbersAtOnce) {
    SpectraList.Add(MakeRecord(400, 100, {0.1, 0.2, 0.3}, SpecXNanometer, SpecYAbsorbance, 0, "absorption"));
    SpectraList.Add(MakeRecord(200, 100, {5, 6, 7}, SpecXRamanShift, SpecYIntensity, 0, "raman"));
    DisplayXUnit = SpecXNanometer;
    w_->StandardReplot();
    w_->UpdateAxisTitles();
    EXPECT_EQ(DisplayXUnit, SpecXWavenumber);
    EXPECT_EQ(plot().XachsenText, "Raman Shift [1/cm]");
    EXPECT_EQ(plot().X2achsenText, "Wavelength [nm]");
    EXPECT_EQ(plot().Direction, 1);
    EXPECT_EQ(plot().X2Direction, 2);
    // Curves and axis share one unit: the Raman curve is in 1/cm, the nm curve converted.
    EXPECT_DOUBLE_EQ(plot().Curve(2).Points[1].x, 300.0);
    EXPECT_DOUBLE_EQ(plot().Curve(1).Points[0].x, 1e7 / 400);

    // Even when only the titles are updated after a change of unit, the curves follow.
    DisplayXUnit = SpecXNanometer;
    w_->UpdateAxisTitles();
    EXPECT_EQ(DisplayXUnit, SpecXWavenumber);
    EXPECT_DOUBLE_EQ(plot().Curve(1).Points[0].x, 1e7 / 400);
}

TEST_F(ShellReplot, RamanKeepsTheUnitWhenEveryOtherUnitIsPresent) {
    for (int unit : {1, 2, 3, 4, 5}) SpectraList.Add(MakeRecord(1, 1, {0.1, 0.2}, *XUnitOfCode(unit)));
    DisplayXUnit = SpecXMicrometer;
    w_->StandardReplot();
    w_->UpdateAxisTitles();
    EXPECT_EQ(DisplayXUnit, SpecXMicrometer);
    EXPECT_EQ(plot().XachsenText, QString::fromUtf8("Wavelength [µm]"));
}

struct TitleCase {
    const char* name;
    std::vector<int> yKinds;
    int xUnit;
    int yMode;
    const char* xTitle;
    const char* x2Title;
    const char* yTitle;
    int direction;
};

TEST_F(ShellReplot, AxisTitlesFollowUnitsAndKinds) {
    const TitleCase cases[] = {
        {"nm and absorbance", {2}, 1, 2, "Wavelength [nm]", "Wavenumbers [1000/cm]", "Absorbance", 1},
        {"transmittance only", {2, 1}, 1, 1, "Wavelength [nm]", "Wavenumbers [1000/cm]", "Transmittance", 1},
        {"with reflectance", {2, 6}, 1, 1, "Wavelength [nm]", "Wavenumbers [1000/cm]", "Transmittance/ Reflectance", 1},
        {"reflectance only", {6}, 1, 1, "Wavelength [nm]", "Wavenumbers [1000/cm]", "Reflectance", 1},
        {"intensity with absorbance", {2, 5}, 2, 2, "Wavenumbers [1/cm]", "Wavelength [nm]", "Absorbance / Intensity", 2},
        {"intensity only", {5}, 3, 2, "Electron Volts [eV]", "Wavelength [nm]", "Intensity", 2},
        {"epsilon", {2}, 4, 3, "Wavelength [µm]", "Wavenumbers [1000/cm]", "Molar Absorption Coefficient [l/(mol*cm)]", 1},
        {"log epsilon", {2}, 1, 4, "Wavelength [nm]", "Wavenumbers [1000/cm]", "Log(Epsilon)", 1},
        {"intensity in transmittance mode", {5}, 1, 1, "Wavelength [nm]", "Wavenumbers [1000/cm]", "", 1},
    };
    for (const TitleCase& tc : cases) {
        SCOPED_TRACE(tc.name);
        SpectraList.Clear();
        for (int k : tc.yKinds) SpectraList.Add(MakeRecord(400, 1, {0.1, 0.2}, SpecXNanometer, *YKindOfCode(k)));
        DisplayXUnit = *XUnitOfCode(tc.xUnit);
        DisplayYMode = *YKindOfCode(tc.yMode);
        w_->UpdateAxisTitles();
        EXPECT_EQ(plot().XachsenText, QString::fromUtf8(tc.xTitle));
        EXPECT_EQ(plot().X2achsenText, QString::fromUtf8(tc.x2Title));
        EXPECT_EQ(plot().Y1achsenText, QString::fromUtf8(tc.yTitle));
        EXPECT_EQ(plot().Direction, tc.direction);
        EXPECT_EQ(plot().X2Direction, 3 - tc.direction);
    }
}

TEST_F(ShellReplot, CustomTitlesWebcamPixelAndEmptyList) {
    SpectraList.Add(MakeRecord(400, 1, {0.1, 0.2}));
    CustomXTitleOn = 1;
    CustomXTitle = "my x";
    CustomYTitleOn = 1;
    CustomYTitle = "my y";
    ShowYTitle = 0;
    w_->UpdateAxisTitles();
    EXPECT_EQ(plot().XachsenText, "my x");
    EXPECT_EQ(plot().Y1achsenText, "my y");
    EXPECT_FALSE(plot().Y1AchsenTextAn);
    EXPECT_TRUE(plot().XAchsenTextAn);

    SpectraList.Add(MakeRecord(0, 1, {1, 2}, SpecXNanometer, SpecYIntensity, SpecSourceWebcamLive));
    w_->UpdateAxisTitles();
    EXPECT_EQ(plot().XachsenText, "Pixel");  // wins over the custom title

    SpectraList.Clear();
    w_->UpdateAxisTitles();
    EXPECT_TRUE(plot().XachsenText.isEmpty());
    EXPECT_TRUE(plot().X2achsenText.isEmpty());
    EXPECT_TRUE(plot().Y1achsenText.isEmpty());
}

TEST_F(ShellReplot, KindSevenGoesToTheSecondAxisWhichStaysOn) {
    SpectraList.Add(MakeRecord(400, 1, {0.1, 0.2}));
    SpectraList.Add(MakeRecord(400, 1, {1.5, 2.5}, SpecXNanometer, SpecYAbsorbance, SpecSourceRaw, "ratio"));
    DisplayYMode = SpecYTransmittance;  // kind-7 values are plotted as they are
    w_->StandardReplot();
    EXPECT_TRUE(plot().ZweiteYAchse);
    EXPECT_EQ(plot().Curve(1).YAxis, 1);
    EXPECT_EQ(plot().Curve(2).YAxis, 2);
    EXPECT_DOUBLE_EQ(plot().Curve(2).Points[1].y, 2.5);
    SpectraList.Extract(1);
    w_->StandardReplot();
    EXPECT_TRUE(plot().ZweiteYAchse);
    EXPECT_EQ(plot().KurvenAnzahl(), 1);
}

TEST_F(ShellReplot, OneSpectraBecomesOneSpectrumAfterPaintOthersStay) {
    w_->show();
    SpectraList.Add(MakeRecord(400, 1, {0.1, 0.2}));
    w_->StandardReplot();
    EXPECT_EQ(w_->StatusText(0), "1 Spectra");
    plot().grab();  // paints the control
    EXPECT_EQ(w_->StatusText(0), "1 Spectrum");

    SpectraList.Add(MakeRecord(400, 1, {0.1, 0.2}));
    w_->StandardReplot();
    plot().grab();  // paints the control
    EXPECT_EQ(w_->StatusText(0), "2 Spectra");

    SpectraList.Extract(1);
    w_->StandardReplot("  Spectra");  // the two-blank text is shown as written
    plot().grab();  // paints the control
    EXPECT_EQ(w_->StatusText(0), "1  Spectra");
}

TEST_F(ShellReplot, ReplotAllSpectraSetsTheCurveCountFirst) {
    for (int i = 0; i < 3; ++i) SpectraList.Add(MakeRecord(400, 1, {0.1, 0.2, 0.3}));
    w_->ReplotAllSpectra();
    EXPECT_EQ(plot().KurvenAnzahl(), 3);
    EXPECT_EQ(w_->StatusText(0), "3  Spektren");
    SpectraList.Extract(0);
    w_->ReplotAllSpectra();
    EXPECT_EQ(plot().KurvenAnzahl(), 2);
}

TEST_F(ShellReplot, CurveLooksComeFromTheRecordAndGoBack) {
    auto r = MakeRecord(400, 1, {0.1, 0.2});
    r->Color = 0x00336699;
    r->LineStyle = 2;
    r->LineWidth = 3;
    SpectraList.Add(std::move(r));
    SpectraList.Add(MakeRecord(400, 1, {0.1, 0.2}));
    SpectraList[1].LineStyle = 9;  // not a style: the plot stores 0, and so does the record afterwards
    plot().BaseLineWidth = 2;
    w_->StandardReplot();
    EXPECT_EQ(plot().Curve(1).Color, 0x00336699u);
    EXPECT_EQ(plot().Curve(1).PenStyle, 2);
    EXPECT_EQ(plot().Curve(1).Width, 4);  // record width + base width - 1
    EXPECT_EQ(SpectraList[1].LineStyle, 0);
}

TEST_F(ShellReplot, PeakLabelHookRunsOnlyForChosenCurvesWhileShown) {
    std::vector<int> called;
    SetPeakLabelHook([&](TXYPlot&, TSpectrumRecord&, int n) { called.push_back(n); });
    for (int i = 0; i < 3; ++i) SpectraList.Add(MakeRecord(400, 1, {0.1, 0.2}));
    w_->StandardReplot();
    EXPECT_TRUE(called.empty());  // the peak-label bar is hidden
    SetPeakLabelsShown(true);
    ProgramSettings.PeakLabelSettings.AllSpectra = false;
    ProgramSettings.PeakLabelSettings.SelectedSpectrum = 1;
    w_->StandardReplot();
    EXPECT_EQ(called, std::vector<int>{2});
    called.clear();
    ProgramSettings.PeakLabelSettings.AllSpectra = true;
    w_->StandardReplot();
    EXPECT_EQ(called, (std::vector<int>{1, 2, 3}));
    SetPeakLabelsShown(false);
    SetPeakLabelHook({});
}

// A record's colour is chosen once, where the record comes from or where the user picks it; no re-plot
// changes it, and the curves and the saved file show that colour.
TEST_F(ShellReplot, RecordColoursStayAsChosenThroughEveryReplot) {
    TSpectraList stored;  // an RVX file brings its own colours
    stored.Add(MakeRecord(400, 1, {0.1, 0.2, 0.3}, SpecXNanometer, SpecYAbsorbance, 0, "a"));
    stored.Add(MakeRecord(400, 1, {0.3, 0.2, 0.1}, SpecXNanometer, SpecYAbsorbance, 0, "b"));
    stored[0].Color = 0x00112233;
    stored[1].Color = 0x00445566;
    w_->PendingFiles = {WriteTestFile("looks.rvx", RvxFileImage(stored))};
    w_->ffnen1Click();
    ASSERT_EQ(SpectraList.Count(), 2);
    ui_->clipboard = "400\t0.5\r\n401\t0.4\r\n402\t0.3\r\n";  // Paste: the default colour of its place
    Trigger("PasteDatafromClipboard1");
    ASSERT_EQ(SpectraList.Count(), 3);
    ASSERT_TRUE(RunAveraging(SpectraList, CurrentDisplayState(), {0, 1}, "mean"));  // a tool's new record
    w_->StandardReplot();
    SpectraList[1].Color = 0x00778899;  // what the properties dialog does with a picked colour
    ApplyAllCurveLooks(plot(), SpectraList);

    const std::vector<uint32_t> chosen = {0x00112233, 0x00778899, CurveColor(3), CurveColor(4)};
    auto expectChosen = [&](const char* after, bool curvesToo) {
        SCOPED_TRACE(after);
        ASSERT_EQ(SpectraList.Count(), 4);
        ASSERT_EQ(plot().KurvenAnzahl(), 4);
        for (int32_t i = 0; i < 4; ++i) {
            EXPECT_EQ(SpectraList[i].Color, chosen[static_cast<std::size_t>(i)]) << "record " << i;
            if (curvesToo) {
                EXPECT_EQ(plot().GetCurveColor(i + 1), chosen[static_cast<std::size_t>(i)]) << "curve " << i + 1;
            }
        }
    };
    expectChosen("chosen", true);
    w_->ReplotAllSpectra();
    expectChosen("re-plot of all spectra", true);
    w_->PlotSpectrumCurves();
    expectChosen("points computed again", true);
    DisplayXUnit = SpecXWavenumber;
    w_->StandardReplot();
    w_->UpdateAxisTitles();
    expectChosen("another unit", true);

    // Plot All Black colours the curves only, also when the points are computed again afterwards (the
    // axes dialog, a baseline correction); the next standard re-plot shows the records' colours again.
    w_->PlotAllBlack1Click();
    w_->PlotSpectrumCurves();
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(plot().GetCurveColor(n), 0u) << n;
    expectChosen("all black", false);
    TSpectraList saved;
    LoadRvxBytes(RvxFileImage(SpectraList), 0, saved);
    ASSERT_EQ(saved.Count(), 4);
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(saved[i].Color, chosen[static_cast<std::size_t>(i)]) << "saved " << i;
    w_->StandardReplot();
    expectChosen("standard re-plot", true);
}

}  // namespace
