// The Gauss dialog driven by its controls, and the GaussFit commands run in a main window offscreen:
// values typed, the fit with its preview curve, the input blocked meanwhile, the ".gss" files.
#include <QKeyEvent>
#include <QTabWidget>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

#include "app/TMainwin.h"
#include "app/dialogs/TGauss2Dia.h"
#include "app/dialogs/tool_dialog.h"
#include "app/gauss_commands.h"
#include "app/plot/Xygraph.h"
#include "app/qt_ui_backend.h"
#include "core/units.h"
#include "platform/numtext.h"
#include "platform/ui.h"
#include "tests/dialogs_test_support.h"
#include "tests/formats_test_util.h"
#include "tests/main_window_fixture.h"
#include "tools/gauss_model.h"

using namespace dlgtest;

namespace {

struct BlockGuard {
    TGaussModelParams block = GaussModelParams;
    char sep = numtext::decimalSeparator();
    SpecXUnit x = DisplayXUnit;
    SpecYKind y = DisplayYMode;
    ~BlockGuard() {
        GaussModelParams = block;
        numtext::setDecimalSeparator(sep);
        DisplayXUnit = x;
        DisplayYMode = y;
    }
};

QString text(QObject* d, const char* name) { return child<QLineEdit>(d, name)->text(); }

bool contains(const std::vector<std::string>& messages, const std::string& part) {
    for (const auto& m : messages)
        if (m.find(part) != std::string::npos) return true;
    return false;
}

// Three bands at 15000, 16300, 17600 1/cm of width 600, as measured from 25000 down to 12500.
TGaussModelParams truth() {
    TGaussModelParams b = GaussDefaultParams();
    TGaussGroup& g = b.Groups[0];
    g.BandCount = 3;
    g.Position = 15000.0;
    g.Width = 600.0;
    g.Spacing = 1300.0;
    g.Amplitudes[0] = 0.8;
    g.Amplitudes[1] = 0.5;
    g.Amplitudes[2] = 0.2;
    return b;
}

std::unique_ptr<TSpectrumRecord> measured() {
    auto r = std::make_unique<TSpectrumRecord>();
    r->Title = "measured";
    r->SourceKind = SpecSourceJcamp;
    r->XUnit = SpecXWavenumber;
    r->FirstX = 25000.0;
    r->StepX = -2.5;
    r->Values.resize(5001);
    const TGaussModelParams t = truth();
    for (int i = 0; i < 5001; ++i) r->Values[static_cast<std::size_t>(i)] = GaussBandSum(t, r->XAt(i));
    return r;
}

// Types start values for group 1 near the truth.
void typeStartValues(QDialog& d) {
    setEdit(&d, "K1Anz", "3");
    setEdit(&d, "K1Pos", "15100");
    setEdit(&d, "K1Halb", "932.46");  // width 560
    setEdit(&d, "K1Vib", "1280");
    setEdit(&d, "K1A1", "0.7");
    setEdit(&d, "K1A2", "0.55");
    setEdit(&d, "K1A3", "0.25");
}

}  // namespace

TEST(TGauss2Dia, FreshShowsTheDefaultsAndIterateIsClearedOnOpening) {
    BlockGuard guard;
    numtext::setDecimalSeparator('.');
    TGauss2Dia d;
    EXPECT_EQ(d.windowTitle(), "Gauss type groups of curves");
    EXPECT_EQ(GaussModelParams, GaussDefaultParams());
    auto* tabs = child<QTabWidget>(&d, "TabbedNotebook1");
    ASSERT_EQ(tabs->count(), 6);
    EXPECT_EQ(tabs->tabText(0), "Gen.");
    EXPECT_EQ(tabs->tabText(5), "curve 5");
    open(d);
    EXPECT_EQ(text(&d, "Kvon"), "25000");
    EXPECT_EQ(text(&d, "Kbis"), "12500");
    EXPECT_EQ(text(&d, "KAnz"), "1");
    EXPECT_EQ(text(&d, "K1Anz"), "0");
    EXPECT_EQ(text(&d, "K5Halb"), "666.04");  // width 400
    EXPECT_EQ(text(&d, "K3Vib"), "1250");
    EXPECT_EQ(text(&d, "K2A6"), "0.1");
    EXPECT_TRUE(child<QCheckBox>(&d, "K4Aktiv")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(&d, "LinkAmp4")->isChecked());
    setCheck(&d, "Kiterate", true);
    setCheck(&d, "KNurAmp", true);
    click(&d, "OKBtn");
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.Params, GaussDefaultParams());
    open(d);
    EXPECT_FALSE(child<QCheckBox>(&d, "Kiterate")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(&d, "KNurAmp")->isChecked());  // kept
    EXPECT_EQ(text(&d, "K5Halb"), "666.04");  // width 400
    d.reject();
}

TEST(TGauss2Dia, OkRefusesValuesThatCannotBeUsed) {
    BlockGuard guard;
    numtext::setDecimalSeparator('.');
    ui::ScopedScriptedBackend ui;
    struct {
        std::vector<std::pair<const char*, const char*>> edits;
        const char* message;
    } cases[] = {
        {{{"KAnz", "6"}}, "Number of groups of curves must be 1 to 5"},
        {{{"KAnz", "0"}}, "Number of groups of curves must be 1 to 5"},
        {{{"K2Anz", "12"}}, "Group 2: number of bands must be 0 to 11"},
        {{{"K1Anz", "-1"}}, "Group 1: number of bands must be 0 to 11"},
        {{{"K1Anz", "2"}, {"K1Halb", "0"}}, "Group 1: the width must not be 0"},
        {{{"Kvon", "0"}}, "both ends must be greater than 0"},
        {{{"Kbis", "25000"}}, "both ends must be greater than 0 and different"},
        {{{"Kvon", "9"}, {"Kbis", "20000"}}, "more than 1000000 points"},
        {{{"KAnz", "x"}}, "'x' is not a valid integer value"},
        {{{"K1Pos", "abc"}}, "'abc' is not a valid floating point value"},
    };
    TGauss2Dia d;
    for (const auto& c : cases) {
        ui->messages.clear();
        open(d);
        for (const auto& [name, value] : c.edits) setEdit(&d, name, value);
        click(&d, "OKBtn");
        EXPECT_TRUE(d.isVisible()) << c.message;
        EXPECT_TRUE(contains(ui->messages, c.message)) << c.message;
        EXPECT_EQ(d.Params, GaussDefaultParams()) << c.message;
        d.reject();
    }
}

TEST(TGauss2Dia, ReadsTheEditsAndKeepsWhatItDoesNotShow) {
    BlockGuard guard;
    numtext::setDecimalSeparator(',');
    TGauss2Dia d;
    d.Params.Groups[0].Amplitudes[6] = 0.7;  // amplitude 7: not shown
    d.Params.Groups[7].Position = 30000.0;   // group 8: not shown
    open(d);
    EXPECT_EQ(text(&d, "K1A1"), "0,1");
    setEdit(&d, "KAnz", "3");
    setEdit(&d, "K3Anz", "11");
    setEdit(&d, "K3Pos", "21000.5");
    setEdit(&d, "K3A6", "1,5");
    setCheck(&d, "LinkAmp2", true);
    setCheck(&d, "K3Aktiv", false);
    setCheck(&d, "KNurAmp", true);
    click(&d, "OKBtn");
    ASSERT_FALSE(d.isVisible());
    EXPECT_EQ(text(&d, "K3Pos"), "21000,5");  // the typed dot became the separator
    EXPECT_EQ(d.Params.GroupCount, 3);
    EXPECT_EQ(d.Params.Groups[2].BandCount, 11);
    EXPECT_EQ(d.Params.Groups[2].Position, 21000.5);
    EXPECT_EQ(d.Params.Groups[2].Amplitudes[5], 1.5);
    EXPECT_EQ(d.Params.Groups[0].Amplitudes[6], 0.7);
    EXPECT_EQ(d.Params.Groups[7].Position, 30000.0);
    const TGaussFitSwitches s = d.FitSwitches();
    EXPECT_TRUE(s.Connect[1]);
    EXPECT_FALSE(s.Connect[0]);
    EXPECT_FALSE(s.Active[2]);
    EXPECT_TRUE(s.Active[1]);
    EXPECT_TRUE(s.OnlyAmplitudes);
    EXPECT_EQ(s.MaxIterations, 10);
}

TEST(TGauss2Dia, WidthFieldsShowAndTakeTheFullWidthAtHalfMaximum) {
    BlockGuard guard;
    numtext::setDecimalSeparator('.');
    const double fwhmPerWidth = 2.0 * std::sqrt(std::log(2.0));
    TGauss2Dia d;
    d.Params.Groups[0].Width = 449.9;  // as fitted to bands 749 1/cm wide
    d.Params.Groups[1].Width = 600.0;
    open(d);
    EXPECT_EQ(text(&d, "K1Halb"), "749.13");
    EXPECT_EQ(text(&d, "K2Halb"), "999.07");
    setEdit(&d, "K1Halb", "749");
    setEdit(&d, "K2Halb", "1000.5");
    click(&d, "OKBtn");
    ASSERT_FALSE(d.isVisible());
    const TGaussGroup& g = d.Params.Groups[0];
    EXPECT_NEAR(g.Width, 749.0 / fwhmPerWidth, 1e-12 * 749.0);
    EXPECT_NEAR(d.Params.Groups[1].Width, 1000.5 / fwhmPerWidth, 1e-12 * 1000.5);
    EXPECT_EQ(d.Params.Groups[2].Width, 400.0);  // not edited: kept exactly
    // The width taken from the field is the band's full width at half maximum in the model.
    TGaussGroup band = g;
    band.BandCount = 1;
    band.Position = 15000.0;
    band.Amplitudes[0] = 1.0;
    EXPECT_NEAR(GaussGroupSum(band, 15000.0 + 749.0 / 2.0, kGaussModelCut), 0.5, 1e-12);
    EXPECT_NEAR(GaussGroupSum(band, 15000.0 - 749.0 / 2.0, kGaussModelCut), 0.5, 1e-12);
    // Field, block and field again: the typed values come back as typed.
    open(d);
    EXPECT_EQ(text(&d, "K1Halb"), "749");
    EXPECT_EQ(text(&d, "K2Halb"), "1000.5");
    EXPECT_EQ(text(&d, "K3Halb"), "666.04");
    d.reject();
}

class GaussCommands : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        DisplayXUnit = SpecXWavenumber;
        DisplayYMode = SpecYAbsorbance;
    }
    void TearDown() override {
        gausscmd::SetFitStepObserver(nullptr);
        MainWindowTest::TearDown();
    }
    void addSpectrum(std::unique_ptr<TSpectrumRecord> r) {
        SpectraList.AddWithDefaultColor(std::move(r));
        win->StandardReplot();
        QApplication::processEvents();
    }

    BlockGuard guard;
    ui::ScopedScriptedBackend ui;
};

TEST_F(GaussCommands, ManualFitEndToEnd) {
    addSpectrum(measured());
    auto stale = std::make_unique<TSpectrumRecord>(*measured());
    stale->SourceKind = SpecSourceGaussModel;
    stale->Title = "old model";
    addSpectrum(std::move(stale));

    SetModalRunner([](QDialog& d) {
        d.show();
        QApplication::processEvents();
        typeStartValues(d);
        setCheck(&d, "Kiterate", true);
        click(&d, "OKBtn");
        return d.result();
    });
    // While the fit runs: the preview curve stands after the spectra's curves and names the stage;
    // a key typed into an edit meanwhile never arrives.
    QLineEdit typed;
    typed.show();
    int steps = 0, previewSeen = 0;
    std::set<QString> legends;
    gausscmd::SetFitStepObserver([&] {
        if (steps++ == 0) {
            QApplication::postEvent(&typed, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
            QApplication::postEvent(win.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier));
        }
        if (plot->KurvenAnzahl() == SpectraList.Count() + 1) {
            ++previewSeen;
            legends.insert(plot->Curve(plot->KurvenAnzahl()).LegendName);
        }
        EXPECT_EQ(plot->Curve(plot->KurvenAnzahl()).Points.size(), 301u);
        EXPECT_TRUE(typed.text().isEmpty());
    });
    trigger("GaussManually1");
    EXPECT_GT(steps, 7);
    EXPECT_EQ(previewSeen, steps);
    EXPECT_TRUE(legends.count("1. glob. Iteration  Maxima"));
    EXPECT_TRUE(legends.count("4. Iteration  Maxima"));

    // The fitted block, the model spectrum and the spectrum of group 1; the old model is gone.
    const TGaussGroup& g = GaussModelParams.Groups[0];
    EXPECT_NEAR(g.Position, 15000.0, 1e-3);
    EXPECT_NEAR(g.Width, 600.0, 1e-3);
    EXPECT_NEAR(g.Spacing, 1300.0, 1e-3);
    EXPECT_NEAR(g.Amplitudes[1], 0.5, 1e-6);
    ASSERT_EQ(SpectraList.Count(), 3);
    EXPECT_EQ(SpectraList[0].Title.str(), "measured");
    EXPECT_EQ(SpectraList[1].Title.str(), "Gauss Spektrum");
    EXPECT_EQ(SpectraList[1].SourceKind, SpecSourceGaussModel);
    EXPECT_EQ(SpectraList[1].Color, CurveColor(2));
    EXPECT_EQ(SpectraList[2].Title.str().rfind("Gauss Pos:15000 Width:600 Amp[0]:0.8", 0), 0u);
    // The preview curve is gone, every spectrum has its curve.
    EXPECT_EQ(plot->KurvenAnzahl(), 3);
    EXPECT_EQ(win->StatusText(0), "3  Spektren");
    EXPECT_EQ(plot->Curve(2).LegendName, "Gauss Spektrum");
    // The input of the fit's time was dropped, not kept for later.
    QApplication::processEvents();
    EXPECT_TRUE(typed.text().isEmpty());
    EXPECT_EQ(SpectraList.Count(), 3);
    // Outside the fit the same key arrives.
    QApplication::postEvent(&typed, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
    QApplication::processEvents();
    EXPECT_EQ(typed.text(), "a");
}

TEST_F(GaussCommands, WithoutIterateOrDataTheStartValuesAreShown) {
    addSpectrum(measured());
    bool iterate = false;
    SetModalRunner([&](QDialog& d) {
        d.show();
        QApplication::processEvents();
        typeStartValues(d);
        setEdit(&d, "Kvon", "30000");  // a range beside the measured spectrum: no data
        setEdit(&d, "Kbis", "28000");
        setCheck(&d, "Kiterate", iterate);
        click(&d, "OKBtn");
        return d.result();
    });
    trigger("GaussManually1");
    ASSERT_EQ(SpectraList.Count(), 3);
    EXPECT_EQ(GaussModelParams.Groups[0].Position, 15100.0);
    EXPECT_TRUE(ui->messages.empty());
    iterate = true;
    trigger("GaussManually1");
    EXPECT_TRUE(contains(ui->messages, "Gauss fit: no data points in the fit range"));
    EXPECT_EQ(GaussModelParams.Groups[0].Position, 15100.0);
    ASSERT_EQ(SpectraList.Count(), 3);  // the models were replaced
    EXPECT_EQ(plot->KurvenAnzahl(), 3);
}

TEST_F(GaussCommands, RefusedForOtherUnitsAndWithoutMeasuredSpectra) {
    int shown = 0;
    SetModalRunner([&](QDialog& d) {
        ++shown;
        d.reject();
        return d.result();
    });
    auto model = measured();
    model->SourceKind = SpecSourceGaussModel;
    addSpectrum(std::move(model));
    trigger("GaussManually1");
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(ui->messages.empty());

    DisplayXUnit = SpecXNanometer;
    for (const char* cmd : {"GaussManually1", "GaussOpen1"}) {
        ui->messages.clear();
        trigger(cmd);
        EXPECT_EQ(ui->messages, std::vector<std::string>{"Gaussfit not possible with this axis type"}) << cmd;
    }
    EXPECT_EQ(shown, 0);
}

TEST_F(GaussCommands, SaveAndOpenParameterFiles) {
    fmt_test::TempDir dir;
    addSpectrum(measured());
    GaussModelParams = truth();
    std::string answer = dir.file("model");
    SetFileDialogRunner([&](const TFileDialogSpec&) { return TFileDialogChoice{{answer}, 1}; });
    trigger("GaussSave1");
    const std::string saved = dir.file("model.gss");
    ASSERT_TRUE(std::filesystem::exists(saved));
    EXPECT_EQ(std::filesystem::file_size(saved), 1180u);

    GaussModelParams = GaussDefaultParams();
    answer = saved;
    trigger("GaussOpen1");
    EXPECT_EQ(GaussModelParams, truth());
    ASSERT_EQ(SpectraList.Count(), 3);
    EXPECT_EQ(SpectraList[1].Title.str(), "Gauss Spektrum");
    EXPECT_EQ(plot->KurvenAnzahl(), 3);
    EXPECT_EQ(win->StatusText(0), "3  Spektren");
    trigger("GaussOpen1");  // the models are replaced, not added
    EXPECT_EQ(SpectraList.Count(), 3);

    // A file that cannot be used: a clear message, nothing changes.
    answer = dir.write("short.gss", std::string(100, '\0'));
    trigger("GaussOpen1");
    EXPECT_TRUE(contains(ui->messages, "Stream read error"));
    EXPECT_EQ(GaussModelParams, truth());
    EXPECT_EQ(SpectraList.Count(), 3);

    // The dialog shows the loaded block.
    SetModalRunner([](QDialog& d) {
        d.show();
        QApplication::processEvents();
        EXPECT_EQ(text(&d, "K1Pos"), "15000");
        EXPECT_EQ(text(&d, "K1Anz"), "3");
        EXPECT_EQ(text(&d, "K1Halb"), "999.07");  // width 600
        d.reject();
        return d.result();
    });
    trigger("GaussManually1");
    EXPECT_EQ(SpectraList.Count(), 3);
}

TEST_F(GaussCommands, OpenNeedsNoSpectrumButManuallyDoes) {
    fmt_test::TempDir dir;
    const GaussBlockImage image = GaussParamsToImage(truth());
    const std::string file = dir.write("model.gss", std::string(image.begin(), image.end()));
    int asked = 0;
    SetFileDialogRunner([&](const TFileDialogSpec&) {
        ++asked;
        return TFileDialogChoice{{file}, 1};
    });
    ASSERT_EQ(SpectraList.Count(), 0);
    trigger("GaussOpen1");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(GaussModelParams, truth());
    // The model spectrum and the spectrum of its one group, both plotted.
    ASSERT_EQ(SpectraList.Count(), 2);
    EXPECT_EQ(SpectraList[0].Title.str(), "Gauss Spektrum");
    EXPECT_EQ(SpectraList[1].Title.str().rfind("Gauss Pos:15000 Width:600", 0), 0u);
    EXPECT_EQ(plot->KurvenAnzahl(), 2);
    EXPECT_EQ(win->StatusText(0), "2  Spektren");
    EXPECT_NE(win->StatusText(1), kNoSpectrumLoadedText);
    EXPECT_TRUE(ui->messages.empty());

    // The dialog of "Manually..." needs curves of its own: without any it is refused as before.
    SpectraList.Clear();
    win->StandardReplot();
    int shown = 0;
    SetModalRunner([&](QDialog& d) {
        ++shown;
        d.reject();
        return d.result();
    });
    trigger("GaussManually1");
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(win->StatusText(1), kNoSpectrumLoadedText);

    // Open's one condition is the display units.
    DisplayXUnit = SpecXNanometer;
    trigger("GaussOpen1");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ui->messages, std::vector<std::string>{"Gaussfit not possible with this axis type"});
}

namespace {

TEST_F(GaussCommands, LegendOfSeveralGroupsStaysInsideThePlot) {
    addSpectrum(measured());
    // Four groups of six bands: the legend names of the groups are long.
    TGaussModelParams b = truth();
    b.GroupCount = 4;
    for (int g = 0; g < 4; ++g) {
        TGaussGroup& gr = b.Groups[static_cast<std::size_t>(g)];
        gr = b.Groups[0];
        gr.BandCount = 6;
        gr.Position = 14000.0 + 1234.567 * g;
        for (int k = 0; k < 6; ++k) gr.Amplitudes[static_cast<std::size_t>(k)] = 0.123456 + 0.01 * k;
    }
    GaussModelParams = b;
    SetModalRunner([](QDialog& d) {
        d.show();
        QApplication::processEvents();
        click(&d, "OKBtn");
        return d.result();
    });
    plot->Legende = true;
    trigger("GaussManually1");
    ASSERT_EQ(SpectraList.Count(), 6);
    for (const int width : {900, 640}) {
        win->resize(width, 640);
        QApplication::processEvents();
        plot->Repaint();
        EXPECT_TRUE(plot->PlotArea().contains(plot->LegendFrame())) << width;
    }
}

}  // namespace
