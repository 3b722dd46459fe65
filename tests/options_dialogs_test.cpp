// The options, axes, spectrum properties and legend texts dialogs driven by their controls' object
// names, over a main window with a private settings folder.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>
#include <QGroupBox>
#include <QAction>

#include <cmath>
#include <fstream>
#include <sstream>

#include "app/TMainwin.h"
#include "app/program_state.h"
#include "app_test_support.h"
#include "tests/dialogs_test_support.h"
#include "app/dialogs/TAchsDia.h"
#include "app/dialogs/TKonzDia.h"
#include "app/dialogs/TLegWechs.h"
#include "app/dialogs/TOptionsDia.h"
#include "app/dialogs/tool_dialog.h"
#include "app/options_commands.h"
#include "app/plot/Xygraph.h"
#include "app/qt_ui_backend.h"
#include "core/quantum_yield_settings.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/numtext.h"
#include "platform/registry.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"
#include "tools/options_store.h"

using dlgtest::child;
using dlgtest::click;

namespace {

std::unique_ptr<TSpectrumRecord> makeRecord(std::vector<double> values, const std::string& title,
                                            const std::string& file = "") {
    auto r = std::make_unique<TSpectrumRecord>();
    r->FirstX = 400;
    r->StepX = 100;
    r->Values = std::move(values);
    r->Title = title;
    r->FileName = file.empty() ? "/data/" + title + ".rvx" : file;
    return r;
}

class OptionsGui : public ::testing::Test {
protected:
    void SetUp() override {
        AppTestSetUp();
        oldSep_ = numtext::decimalSeparator();
    }
    void TearDown() override {
        SetModalRunner({});
        w_.reset();
        SpectraList.Clear();
        numtext::setDecimalSeparator(oldSep_);
    }
    void start() {
        w_.reset();
        w_ = std::make_unique<TMainwin>();
    }
    TXYPlot& plot() { return *w_->XYPlot(); }
    void addSpectra(int n) {
        for (int i = 0; i < n; ++i)
            SpectraList.AddWithDefaultColor(makeRecord({0.1 * (i + 1), 0.2, 0.4}, "s" + std::to_string(i)));
        w_->StandardReplot();
    }
    // Runs the options command; `edit` changes the dialog and presses its buttons.
    void configure(const std::function<void(TOptionsDia&)>& edit) {
        SetModalRunner([&](QDialog& d) {
            edit(static_cast<TOptionsDia&>(d));
            return d.result();
        });
        RunConfigurationCommand(*w_);
    }
    std::string storeText() const {
        std::ifstream in(registry::hiveFile(registry::Hive::CurrentUser));
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    ui::ScopedScriptedBackend ui_;
    std::unique_ptr<TMainwin> w_;
    char oldSep_ = '.';
};

// A value for every stored option that differs from its default.
options::StoredOptions changedOptions() {
    options::StoredOptions o;
    o.OGitter = false;
    o.OLegende = false;
    o.OMaximiert = true;
    o.OLinien = 1;
    o.OHintergrund = 0x123456;  // not in the colour list
    o.RxSlider1 = 4;
    o.OSchwarz = true;
    o.OLinienarten = true;
    o.OSchichtdicke = "2,5";
    o.OAchsenfont = "Liberation Serif";
    o.OAchsenfontSize = 14;
    o.OLegendefont = "Liberation Mono";
    o.OLegendefontSize = 8;
    o.OXBeschriftung = false;
    o.OXZweiterTick = true;
    o.OXAndereBeschriftung = true;
    o.OXAndererText = "my x";
    o.OZweiteXAchse = true;
    o.OYBeschriftung = false;
    o.OYAndereBeschriftung = true;
    o.OYAndererText = "my y";
    o.OOEffnenPfad = "/data/open/";
    o.OSpeichernPfad = "/data/save/";
    o.OASCIISchrittweite = 2;
    o.OKorrekturspektrumFileName = "/data/corr/k.fak";
    o.OKorrekturspektrumHistory = {"/data/corr/k.fak", "/old/k0.fak"};
    o.OLampenspektrumFileName = "/data/lamp/l.fak";
    o.OLampenspektrumHistory = {"/data/lamp/l.fak"};
    o.OGnuplotTitel = "gp title";
    o.OGnuplotLegendeposition = 3;
    o.OGnuplotPSOutput = 1;
    o.OGnuplotBefehlliste = {"set grid", "set key box"};
    o.OSpikeOriginalLoeschen = false;
    o.OSpikeAlle = false;
    o.OSpikeRueckwaerts = true;
    o.OSpikeZusatz = true;
    o.OSpikeSchranke = 70;
    o.OSchneidOriginalLoeschen = false;
    o.OSchneidZusatz = true;
    o.OSchneidVon = "450,5";
    o.OSchneidBis = "700";
    o.OYKonstLoesch = true;
    o.OYKonstZusatz = false;
    o.OYKonstRechenart = 0;
    o.OYKonstKonstante = "2,5";
    o.OFQInnererFilter = "0,1";
    o.OFQMesslaenge = "0,01";
    o.OFQRefFQ = "90";
    o.OFQRefN = "1,33";
    o.OFQProbeN = "1,5";
    o.OFQBandbreite = "4";
    o.OFQvRefInt = "520";
    o.OFQbRefInt = "740";
    o.OFQvProbeInt = "510";
    o.OFQbProbeInt = "790";
    o.OFQRefAnr = "480";
    o.OFQRefBel = "11";
    o.OFQProbeAnr = "560";
    o.OFQProbeBel = "12";
    o.OMultipleInstances = true;
    return o;
}

}  // namespace

TEST_F(OptionsGui, EveryOptionRoundTripsThroughTheStoreIntoTheNextStart) {
    numtext::setDecimalSeparator(',');
    start();
    const options::StoredOptions wanted = changedOptions();
    // Every stored field differs from its default, so a control that is not saved or not restored shows.
    ASSERT_EQ(options::StoredOptions{}.OGitter, true);
    configure([&](TOptionsDia& d) {
        d.RestoreControls(wanted);
        click(d, "OKBtn");
    });
    EXPECT_TRUE(ui_->messages.empty());

    // The store is readable text with the value names.
    const std::string text = storeText();
    for (const auto& f : options::OptionFields()) EXPECT_NE(text.find(f.name), std::string::npos) << f.name;
    EXPECT_NE(text.find("Optionen"), std::string::npos);
    EXPECT_NE(text.find("FormVersion"), std::string::npos);

    // Restart over the same store.
    SpectraList.Clear();
    start();
    EXPECT_TRUE(ui_->messages.empty());
    options::StoredOptions shown;
    {
        TOptionsDia d;
        d.FormActivate();
        shown = d.StoredControls();
    }
    EXPECT_EQ(shown, wanted);

    // In force after the start.
    EXPECT_FALSE(plot().GridOn);
    EXPECT_FALSE(plot().Legende);
    EXPECT_FALSE(plot().DrawAsLines);
    EXPECT_EQ(w_->WindowColor(), 0x123456u);
    EXPECT_EQ(plot().RenderToImage().pixel(0, 0), qRgb(0x56, 0x34, 0x12));  // the plot stands on it
    EXPECT_EQ(plot().BaseLineWidth, 4);
    EXPECT_EQ(plot().PlotFont.family(), "Liberation Serif");
    EXPECT_EQ(plot().PlotFont.pointSize(), 14);
    EXPECT_EQ(plot().LegendeFont.family(), "Liberation Mono");
    EXPECT_EQ(plot().LegendeFont.pointSize(), 8);
    EXPECT_TRUE(w_->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(ShowXTitle, 0);
    EXPECT_TRUE(plot().AlternateTickLabels);
    EXPECT_EQ(CustomXTitleOn, 1);
    EXPECT_EQ(CustomXTitle, "my x");
    EXPECT_FALSE(plot().XAchsenTextAn);
    EXPECT_FALSE(plot().Y1AchsenTextAn);
    EXPECT_TRUE(plot().SecondXAxisOn);
    EXPECT_EQ(ShowYTitle, 0);
    EXPECT_EQ(CustomYTitle, "my y");
    EXPECT_EQ(ProgramSettings.OpenFolder, "/data/open/");
    EXPECT_EQ(ProgramSettings.SaveFolder, "/data/save/");
    EXPECT_EQ(ProgramSettings.AsciiXStepChoice, 2);
    EXPECT_EQ(ProgramSettings.GnuplotSettings.Title, "gp title");
    EXPECT_EQ(ProgramSettings.GnuplotSettings.LegendPosition, 3);
    EXPECT_TRUE(ProgramSettings.GnuplotSettings.PostScriptOutput);
    EXPECT_EQ(ProgramSettings.GnuplotSettings.CommandLines, (std::vector<std::string>{"set grid", "set key box"}));
    EXPECT_EQ(ProgramSettings.CorrectionFolder, "/data/corr/");
    EXPECT_EQ(ProgramSettings.LampFolder, "/data/lamp/");
    EXPECT_FALSE(ProgramSettings.SpikeSettings.RemoveOriginal);
    EXPECT_FALSE(ProgramSettings.SpikeSettings.TreatAll);
    EXPECT_TRUE(ProgramSettings.SpikeSettings.Backward);
    EXPECT_TRUE(ProgramSettings.SpikeSettings.AppendToTitle);
    EXPECT_DOUBLE_EQ(ProgramSettings.SpikeSettings.Threshold, 7.0);
    EXPECT_DOUBLE_EQ(ProgramSettings.CutOutSettings.From, 450.5);
    EXPECT_DOUBLE_EQ(ProgramSettings.CutOutSettings.To, 700);
    EXPECT_TRUE(ProgramSettings.CutOutSettings.PrefixTitle);
    EXPECT_FALSE(ProgramSettings.CutOutSettings.RemoveOriginal);
    EXPECT_EQ(ProgramSettings.YConstSettings.Operation, 0);
    EXPECT_EQ(ProgramSettings.YConstSettings.Constant, "2,5");
    EXPECT_TRUE(ProgramSettings.YConstSettings.RemoveOriginal);
    EXPECT_FALSE(ProgramSettings.YConstSettings.AppendToTitle);
    EXPECT_EQ(ProgramSettings.InstanceSwitch, 1);
    const options::OptionNumbers& applied = ProgramSettings.AppliedOptionNumbers;
    EXPECT_DOUBLE_EQ(applied.QyRefYield, 0.9);
    EXPECT_DOUBLE_EQ(applied.QyRefN, 1.33);
    EXPECT_EQ(applied.QyBandWidth, 4);
    EXPECT_DOUBLE_EQ(applied.QySampleExcitation, 560);
    EXPECT_DOUBLE_EQ(applied.QySampleBel, 12);
    // Stored, the quantum-yield group reaches the dialog's settings from the start.
    EXPECT_DOUBLE_EQ(ProgramSettings.QYSettings.InnerFilter, 0.1);
    EXPECT_DOUBLE_EQ(ProgramSettings.QYSettings.DetectionPath, 0.01);
    EXPECT_EQ(ProgramSettings.QYSettings.BandWidth, 4);
    EXPECT_DOUBLE_EQ(ProgramSettings.QYSettings.RefYield, 0.9);
    EXPECT_DOUBLE_EQ(ProgramSettings.QYSettings.SampleN, 1.5);
    EXPECT_DOUBLE_EQ(ProgramSettings.QYSettings.RefFrom, 520);
    EXPECT_DOUBLE_EQ(ProgramSettings.QYSettings.SampleTo, 790);
    EXPECT_DOUBLE_EQ(ProgramSettings.QYSettings.RefExcitation, 480);
    EXPECT_DOUBLE_EQ(ProgramSettings.QYSettings.SampleExcitation, 560);
    EXPECT_DOUBLE_EQ(ProgramSettings.QYSettings.RefExposure, 11);
    EXPECT_DOUBLE_EQ(ProgramSettings.QYSettings.SampleExposure, 12);
    // The custom titles show once there is something to title.
    addSpectra(1);
    w_->UpdateAxisTitles();
    EXPECT_EQ(plot().XachsenText, "my x");
    EXPECT_EQ(plot().Y1achsenText, "my y");
}

TEST_F(OptionsGui, NoStoreStartsWithTheDefaults) {
    start();
    EXPECT_TRUE(plot().GridOn);
    EXPECT_TRUE(plot().Legende);
    EXPECT_TRUE(plot().DrawAsLines);
    EXPECT_EQ(plot().BaseLineWidth, 1);
    EXPECT_EQ(plot().PlotFont.pointSize(), 10);
    EXPECT_EQ(plot().LegendeFont.pointSize(), 10);
    EXPECT_EQ(ShowXTitle, 1);
    EXPECT_EQ(CustomXTitleOn, 0);
    EXPECT_EQ(ProgramSettings.InstanceSwitch, 0);
    // Without a store the quantum-yield dialog keeps its own start values.
    EXPECT_EQ(ProgramSettings.QYSettings.BandWidth, 2);
    EXPECT_DOUBLE_EQ(ProgramSettings.QYSettings.SampleExcitation, 500);
    // With nothing loaded the axis titles are brought up to date, which clears them.
    EXPECT_EQ(plot().XachsenText, "");
    EXPECT_EQ(plot().Y1achsenText, "");
    EXPECT_TRUE(plot().XAchsenTextAn);
    // Empty folder texts keep the start values.
    EXPECT_EQ(ProgramSettings.SaveFolder, ProgramSettings.ProgramFolder);
    EXPECT_EQ(ProgramSettings.LampFolder, ProgramSettings.ProgramFolder);
    EXPECT_EQ(ProgramSettings.CorrectionFolder, ProgramSettings.ProgramFolder);
    EXPECT_FALSE(ProgramSettings.SaveFolder.empty());
    EXPECT_TRUE(ui_->messages.empty());
}

TEST_F(OptionsGui, StoredWindowsFoldersLeaveTheStartFolders) {
    options::StoredOptions o;
    o.OSpeichernPfad = "C:\\Messungen\\";
    o.OOEffnenPfad = "\\\\server\\share\\";
    o.OLampenspektrumFileName = "C:\\lamp\\l.fak";
    ASSERT_TRUE(options::SaveStoredOptions(o));
    start();
    EXPECT_EQ(ProgramSettings.SaveFolder, ProgramSettings.ProgramFolder);
    EXPECT_EQ(ProgramSettings.LampFolder, ProgramSettings.ProgramFolder);
    EXPECT_TRUE(ProgramSettings.OpenFolder.empty());
    // Shown as stored.
    TOptionsDia d;
    d.FormActivate();
    EXPECT_EQ(child<QLineEdit>(d, "OSpeichernPfad")->text(), "C:\\Messungen\\");
}

TEST_F(OptionsGui, ABadNumberStoresAndAppliesNothing) {
    numtext::setDecimalSeparator('.');
    start();
    configure([&](TOptionsDia& d) {
        child<QCheckBox>(d, "OGitter")->setChecked(false);
        child<QLineEdit>(d, "OFQvRefInt")->setText("51O");
        click(d, "OKBtn");
        EXPECT_NE(d.result(), QDialog::Accepted);  // stays open
        // Mended, the second OK goes through.
        child<QLineEdit>(d, "OFQvRefInt")->setText("510");
        child<QCheckBox>(d, "OGitter")->setChecked(true);
        click(d, "CancelBtn");
    });
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0], "'51O' is not a valid floating point value");
    EXPECT_FALSE(registry::keyExists(registry::Hive::CurrentUser, options::kOptionsKey));
    EXPECT_TRUE(plot().GridOn);
}

TEST_F(OptionsGui, CancelLeavesStoreAndGlobalsUnchanged) {
    start();
    configure([&](TOptionsDia& d) {
        child<QCheckBox>(d, "OGitter")->setChecked(false);
        child<QSlider>(d, "OSpikeSchranke")->setValue(40);
        click(d, "CancelBtn");
    });
    EXPECT_FALSE(registry::keyExists(registry::Hive::CurrentUser, options::kOptionsKey));
    EXPECT_TRUE(plot().GridOn);
    EXPECT_DOUBLE_EQ(ProgramSettings.SpikeSettings.Threshold, 5.6);
}

TEST_F(OptionsGui, StoredValueThatDoesNotConvertFallsBackWithOneWarning) {
    numtext::setDecimalSeparator('.');
    options::StoredOptions o;
    o.OGitter = false;
    ASSERT_TRUE(options::SaveStoredOptions(o));
    registry::writeString(registry::Hive::CurrentUser, options::kOptionsKey, "OSchichtdicke.Text", "2,5");
    registry::writeString(registry::Hive::CurrentUser, options::kOptionsKey, "OSchneidVon.Text", "x");
    start();
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_NE(ui_->messages[0].find("OSchichtdicke.Text"), std::string::npos);
    EXPECT_NE(ui_->messages[0].find("OSchneidVon.Text"), std::string::npos);
    // The rest of the options is in force.
    EXPECT_FALSE(plot().GridOn);
    EXPECT_DOUBLE_EQ(ProgramSettings.CutOutSettings.From, -1.0);
}

TEST_F(OptionsGui, PathLengthReachesLoadedSpectraOnlyWhenChanged) {
    numtext::setDecimalSeparator(',');
    start();
    addSpectra(2);
    SpectraList[0].PathLength = 0.5;
    SpectraList[1].PathLength = 0.25;
    configure([&](TOptionsDia& d) { click(d, "OKBtn"); });
    EXPECT_DOUBLE_EQ(SpectraList[0].PathLength, 0.5);
    EXPECT_DOUBLE_EQ(SpectraList[1].PathLength, 0.25);

    std::string shownAfterOk;
    configure([&](TOptionsDia& d) {
        child<QLineEdit>(d, "OSchichtdicke")->setText("2.5");
        click(d, "OKBtn");
        shownAfterOk = child<QLineEdit>(d, "OSchichtdicke")->text().toStdString();
    });
    EXPECT_EQ(shownAfterOk, "2,5");
    EXPECT_DOUBLE_EQ(SpectraList[0].PathLength, 2.5);
    EXPECT_DOUBLE_EQ(SpectraList[1].PathLength, 2.5);
    // Stored as typed, so a later start with "." as separator reads it too.
    EXPECT_EQ(registry::readString(registry::Hive::CurrentUser, options::kOptionsKey, "OSchichtdicke.Text"),
              "2.5");
    // The command re-counts the curves whatever the result.
    EXPECT_EQ(plot().KurvenAnzahl(), 2);
    EXPECT_EQ(w_->StatusText(0), "2 Spectra");
}

TEST_F(OptionsGui, AllBlackAndLineTypesReachTheCurvesElseRecordLooks) {
    start();
    addSpectra(4);
    SpectraList[1].LineStyle = 2;
    SpectraList[1].LineWidth = 3;
    configure([&](TOptionsDia& d) {
        child<QCheckBox>(d, "OSchwarz")->setChecked(true);
        child<QCheckBox>(d, "OLinienarten")->setChecked(true);
        click(d, "OKBtn");
    });
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(plot().GetCurveColor(n), 0u);
    EXPECT_EQ(plot().GetCurveStyle(1), 0);
    EXPECT_EQ(plot().GetCurveStyle(2), 2);
    EXPECT_EQ(plot().GetCurveStyle(3), 1);
    EXPECT_EQ(plot().GetCurveStyle(4), 0);

    configure([&](TOptionsDia& d) {
        child<QCheckBox>(d, "OSchwarz")->setChecked(false);
        child<QCheckBox>(d, "OLinienarten")->setChecked(false);
        child<QSlider>(d, "RxSlider1")->setValue(3);
        click(d, "OKBtn");
    });
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(plot().GetCurveColor(n), SpectraList[n - 1].Color);
    EXPECT_EQ(plot().GetCurveStyle(2), 2);
    EXPECT_EQ(plot().Curve(2).Width, 3 + 3 - 1);
    EXPECT_EQ(plot().Curve(1).Width, 3);
}

TEST_F(OptionsGui, TreeHasSixteenNodesAndGroupsShareAPage) {
    TOptionsDia d;
    d.FormActivate();
    int nodes = 0;
    std::vector<int> groupPages;
    for (int i = 0; i < d.Tree()->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = d.Tree()->topLevelItem(i);
        ++nodes;
        if (top->childCount() > 0) groupPages.push_back(top->data(0, Qt::UserRole).toInt());
        nodes += top->childCount();
    }
    EXPECT_EQ(nodes, 16);
    ASSERT_EQ(groupPages.size(), 3u);
    EXPECT_EQ(groupPages[0], groupPages[1]);
    EXPECT_EQ(groupPages[1], groupPages[2]);
    EXPECT_EQ(d.Tree()->currentItem(), d.Tree()->topLevelItem(0));
    // "other Axis Title" enables its edit.
    auto* edit = child<QLineEdit>(d, "OXAndererText");
    EXPECT_FALSE(edit->isEnabled());
    child<QCheckBox>(d, "OXAndereBeschriftung")->setChecked(true);
    EXPECT_TRUE(edit->isEnabled());
}

// ---- axes ----

namespace {

void chooseX(TAchsDia& d, int item) {
    child<QRadioButton>(d, QString("XAchseGroupItem%1").arg(item).toLatin1().constData())->setChecked(true);
}
void chooseY(TAchsDia& d, int item) {
    child<QRadioButton>(d, QString("YAchsentypItem%1").arg(item).toLatin1().constData())->setChecked(true);
}

}  // namespace

TEST_F(OptionsGui, AxesDialogEachXUnitConvertsRangeAndCurves) {
    numtext::setDecimalSeparator('.');
    start();
    addSpectra(1);  // points at 400, 500, 600 nm
    struct Case {
        int item;
        int unit;
        const char* from;
        const char* to;
        const char* caption;
        double x0;  // curve x of the first point
    };
    const Case cases[] = {
        {0, 1, "400", "800", "Boundaries [nm]", 400},
        {1, 4, "0.40", "0.80", "Grenzen [\xC2\xB5m]", 0.4},
        {2, 2, "25000", "12500", "Grenzen [1/cm]", 25000},
        {3, 3, "3.10", "1.55", "Grenzen [eV]", 1239.8424512359736 / 400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        DisplayXUnit = SpecXNanometer;
        w_->StandardReplot();
        plot().XDrawnMin = 400;
        plot().XDrawnMax = 800;
        std::string from, to, caption;
        SetModalRunner([&](QDialog& dlg) {
            auto& d = static_cast<TAchsDia&>(dlg);
            if (c.item != 0) chooseX(d, c.item);
            from = child<QLineEdit>(d, "XAnfang")->text().toStdString();
            to = child<QLineEdit>(d, "XEnde")->text().toStdString();
            caption = child<QGroupBox>(d, "XGrenzBox")->title().toStdString();
            click(d, "OKBtn");
            return d.result();
        });
        RunAxesCommand(*w_);
        EXPECT_EQ(from, c.from);
        EXPECT_EQ(to, c.to);
        EXPECT_EQ(caption, c.caption);
        EXPECT_EQ(CodeOf(DisplayXUnit), c.unit);
        EXPECT_FALSE(plot().KeepXRangeOnce);
        EXPECT_NEAR(plot().Curve(1).Points[0].x, c.x0, 1e-9);
        EXPECT_TRUE(plot().Autoscaling);
    }
    DisplayXUnit = SpecXNanometer;
}

TEST_F(OptionsGui, AxesDialogYModesRecomputeCurves) {
    start();
    addSpectra(1);
    SpectraList[0].Concentration = 0.01;
    SpectraList[0].PathLength = 2;
    const double a = SpectraList[0].Values[0];  // 0.1: epsilon 5
    struct Case {
        int item;
        int mode;
        double y0;
    };
    const Case cases[] = {{0, 1, std::pow(10.0, -a)}, {2, 3, a / 0.02}, {3, 4, std::log10(a / 0.02)}, {1, 2, a}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        SetModalRunner([&](QDialog& dlg) {
            auto& d = static_cast<TAchsDia&>(dlg);
            chooseY(d, c.item);
            click(d, "OKBtn");
            return d.result();
        });
        RunAxesCommand(*w_);
        EXPECT_EQ(CodeOf(DisplayYMode), c.mode);
        EXPECT_NEAR(plot().Curve(1).Points[0].y, c.y0, 1e-9);
    }
}

TEST_F(OptionsGui, AxesDialogFixedBoundariesAndTitles) {
    numtext::setDecimalSeparator(',');
    start();
    addSpectra(1);
    plot().XDrawnMin = 400;
    plot().XDrawnMax = 800;
    SetModalRunner([&](QDialog& dlg) {
        auto& d = static_cast<TAchsDia&>(dlg);
        chooseX(d, 2);  // 1/cm: "from" is the upper bound
        child<QCheckBox>(d, "CXGrenzen")->setChecked(true);
        child<QLineEdit>(d, "XAnfang")->setText("24000.5");
        child<QLineEdit>(d, "XEnde")->setText("13000");
        child<QCheckBox>(d, "CXAnders")->setChecked(true);
        child<QLineEdit>(d, "EditXSchrift")->setText("nu");
        child<QCheckBox>(d, "CXZwei")->setChecked(true);
        click(d, "OKBtn");
        return d.result();
    });
    RunAxesCommand(*w_);
    EXPECT_TRUE(ui_->messages.empty());
    EXPECT_EQ(DisplayXUnit, SpecXWavenumber);
    EXPECT_TRUE(plot().KeepXRangeOnce);
    EXPECT_DOUBLE_EQ(plot().XDrawnMax, 24000.5);
    EXPECT_DOUBLE_EQ(plot().XDrawnMin, 13000);
    EXPECT_EQ(CustomXTitleOn, 1);
    EXPECT_EQ(plot().XachsenText, "nu");
    EXPECT_TRUE(plot().AlternateTickLabels);

    // A reversed pair only warns when the edit is left.
    SetModalRunner([&](QDialog& dlg) {
        auto& d = static_cast<TAchsDia&>(dlg);
        EXPECT_EQ(child<QGroupBox>(d, "XGrenzBox")->title(), "Boundaries [1/cm]");
        EXPECT_FALSE(child<QCheckBox>(d, "CXGrenzen")->isChecked());
        child<QCheckBox>(d, "CXGrenzen")->setChecked(true);
        child<QLineEdit>(d, "XEnde")->setText("30000");
        d.XEndeClick();
        click(d, "CancelBtn");
        return d.result();
    });
    RunAxesCommand(*w_);
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0], "wrong boundary values!");
    DisplayXUnit = SpecXNanometer;
}

TEST_F(OptionsGui, AxesDialogCancelLeavesUnitsRangesAndCurves) {
    numtext::setDecimalSeparator('.');
    start();
    addSpectra(2);
    plot().XDrawnMin = 400;
    plot().XDrawnMax = 800;
    plot().KeepXRangeOnce = true;
    const auto before0 = plot().Curve(1).Points;
    SetModalRunner([&](QDialog& dlg) {
        auto& d = static_cast<TAchsDia&>(dlg);
        chooseX(d, 2);
        chooseY(d, 0);
        child<QCheckBox>(d, "CXGrenzen")->setChecked(true);
        child<QLineEdit>(d, "XAnfang")->setText("20000");
        d.XAnfangClick();
        click(d, "CancelBtn");
        return d.result();
    });
    RunAxesCommand(*w_);
    EXPECT_EQ(DisplayXUnit, SpecXNanometer);
    EXPECT_EQ(DisplayYMode, SpecYAbsorbance);
    EXPECT_DOUBLE_EQ(plot().XDrawnMin, 400);
    EXPECT_DOUBLE_EQ(plot().XDrawnMax, 800);
    EXPECT_TRUE(plot().KeepXRangeOnce);
    const auto& after = plot().Curve(1).Points;
    ASSERT_EQ(after.size(), before0.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        EXPECT_DOUBLE_EQ(after[i].x, before0[i].x);
        EXPECT_DOUBLE_EQ(after[i].y, before0[i].y);
    }
}

TEST_F(OptionsGui, AxesDialogBadBoundKeepsTheDialogOpen) {
    start();
    TAchsDia d;
    axes::AxesSettings s;
    s.XDrawnMin = 400;
    s.XDrawnMax = 800;
    d.FormActivate(s);
    child<QCheckBox>(d, "CXGrenzen")->setChecked(true);
    child<QLineEdit>(d, "XAnfang")->setText("four");
    d.OKBtnClick();
    EXPECT_NE(d.result(), QDialog::Accepted);
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0], "'four' is not a valid floating point value");
}

// ---- spectrum properties ----

TEST_F(OptionsGui, PropertiesRecomputeEpsilonCurves) {
    numtext::setDecimalSeparator(',');
    start();
    addSpectra(2);
    DisplayYMode = SpecYEpsilon;
    w_->StandardReplot();
    SetModalRunner([&](QDialog& dlg) {
        auto& d = static_cast<TKonzDia&>(dlg);
        child<QLineEdit>(d, "Ekonz")->setText("0.5");
        child<QLineEdit>(d, "Eschicht")->setText("2");
        click(d, "BVor");
        EXPECT_EQ(d.CurrentIndex(), 1);
        child<QLineEdit>(d, "Ekonz")->setText("0.25");
        click(d, "OKBtn");
        return d.result();
    });
    RunGeneralCommand(*w_);
    EXPECT_DOUBLE_EQ(SpectraList[0].Concentration, 0.5);
    EXPECT_DOUBLE_EQ(SpectraList[0].PathLength, 2);
    EXPECT_DOUBLE_EQ(SpectraList[1].Concentration, 0.25);
    EXPECT_DOUBLE_EQ(SpectraList[1].PathLength, 1);
    EXPECT_NEAR(plot().Curve(1).Points[0].y, SpectraList[0].Values[0] / 1.0, 1e-12);
    EXPECT_NEAR(plot().Curve(2).Points[0].y, SpectraList[1].Values[0] / 0.25, 1e-12);
    DisplayYMode = SpecYAbsorbance;
}

TEST_F(OptionsGui, PropertiesLooksReachTheCurves) {
    start();
    addSpectra(3);
    SpectraList[2].LineWidth = 12;  // from a file, out of the list's range
    SpectraList[2].LineStyle = 9;
    SetModalRunner([&](QDialog& dlg) {
        if (auto* colour = qobject_cast<QColorDialog*>(&dlg)) {
            colour->setCurrentColor(QColor(0x56, 0x34, 0x12));  // 0x123456 as 0x00BBGGRR
            return int(QDialog::Accepted);
        }
        auto& d = static_cast<TKonzDia&>(dlg);
        click(d, "BFarbe");
        child<QComboBox>(d, "Linientyp")->setCurrentIndex(1);
        child<QComboBox>(d, "ComboBox1")->setCurrentIndex(2);
        child<QComboBox>(d, "ComboHeader")->setCurrentIndex(2);  // stores spectrum 0, moves on
        EXPECT_EQ(child<QComboBox>(d, "ComboBox1")->currentIndex(), 6);
        EXPECT_EQ(child<QComboBox>(d, "Linientyp")->currentIndex(), 2);
        EXPECT_EQ(d.windowTitle(), "spectrum /data/s2.rvx");
        click(d, "OKBtn");
        return d.result();
    });
    RunGeneralCommand(*w_);
    EXPECT_EQ(SpectraList[0].Color, 0x123456u);
    EXPECT_EQ(SpectraList[0].LineStyle, 1);
    EXPECT_EQ(SpectraList[0].LineWidth, 3);
    EXPECT_EQ(plot().GetCurveColor(1), 0x123456u);
    EXPECT_EQ(plot().GetCurveStyle(1), 1);
    EXPECT_EQ(plot().Curve(1).Width, 3);
    // Shown clamped, left as stored when not edited.
    EXPECT_EQ(SpectraList[2].LineWidth, 12);
    EXPECT_EQ(SpectraList[2].LineStyle, 9);
}

TEST_F(OptionsGui, PropertiesTemperatureEmptyAndBadConcentration) {
    numtext::setDecimalSeparator('.');
    start();
    addSpectra(2);
    SpectraList[0].Temperature = 300;
    SetModalRunner([&](QDialog& dlg) {
        auto& d = static_cast<TKonzDia&>(dlg);
        EXPECT_EQ(child<QLineEdit>(d, "ETemp")->text(), "300");
        child<QLineEdit>(d, "ETemp")->setText("");
        click(d, "BVor");
        click(d, "Bzu");
        EXPECT_EQ(child<QLineEdit>(d, "ETemp")->text(), "");
        click(d, "Bzu");  // nothing on spectrum 0
        EXPECT_EQ(d.CurrentIndex(), 0);
        child<QLineEdit>(d, "EMW")->setText("200");
        child<QLineEdit>(d, "EEinwaage")->setText("10");
        child<QLineEdit>(d, "EVolumen")->setText("50");
        click(d, "Brech");
        EXPECT_EQ(child<QLineEdit>(d, "Ekonz")->text(), "0.001");
        child<QLineEdit>(d, "Eschicht")->setText("1 cm");
        click(d, "OKBtn");
        EXPECT_NE(d.result(), QDialog::Accepted);
        child<QLineEdit>(d, "Eschicht")->setText("1");
        click(d, "OKBtn");
        return d.result();
    });
    RunGeneralCommand(*w_);
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0], "'1 cm' is not a valid floating point value");
    EXPECT_DOUBLE_EQ(SpectraList[0].Temperature, -1.0);
    EXPECT_DOUBLE_EQ(SpectraList[0].Concentration, 0.001);
}

TEST_F(OptionsGui, PropertiesTypedLegendIsKeptWhenTheListOpensAndOnNavigation) {
    start();
    addSpectra(2);
    SetModalRunner([&](QDialog& dlg) {
        auto& d = static_cast<TKonzDia&>(dlg);
        auto* header = child<QComboBox>(d, "ComboHeader");
        header->lineEdit()->selectAll();
        QTest::keyClicks(header->lineEdit(), "typed one");
        header->showPopup();
        EXPECT_EQ(header->itemText(0), "typed one");
        header->hidePopup();
        header->setCurrentIndex(1);  // chosen from the list
        EXPECT_EQ(d.CurrentIndex(), 1);
        EXPECT_EQ(header->currentText(), "s1");
        click(d, "CancelBtn");
        return d.result();
    });
    RunGeneralCommand(*w_);
    EXPECT_EQ(SpectraList[0].Title.str(), "typed one");
    EXPECT_EQ(SpectraList[1].Title.str(), "s1");
    EXPECT_EQ(plot().Curve(1).LegendName, "typed one");
}

TEST_F(OptionsGui, PropertiesBadNumberKeepsTheSpectrumInEdit) {
    start();
    addSpectra(3);
    SetModalRunner([&](QDialog& dlg) {
        auto& d = static_cast<TKonzDia&>(dlg);
        child<QLineEdit>(d, "Ekonz")->setText("1e");
        child<QComboBox>(d, "ComboHeader")->setCurrentIndex(2);
        EXPECT_EQ(d.CurrentIndex(), 0);
        EXPECT_EQ(child<QComboBox>(d, "ComboHeader")->currentIndex(), 0);
        click(d, "BVor");
        EXPECT_EQ(d.CurrentIndex(), 0);
        click(d, "CancelBtn");
        return d.result();
    });
    RunGeneralCommand(*w_);
    EXPECT_EQ(ui_->messages.size(), 2u);
    EXPECT_DOUBLE_EQ(SpectraList[0].Concentration, 0.0);
}

TEST_F(OptionsGui, PropertiesEnterInAnEditConfirms) {
    start();
    addSpectra(2);
    SetModalRunner([&](QDialog& dlg) {
        auto& d = static_cast<TKonzDia&>(dlg);
        d.show();
        auto* conc = child<QLineEdit>(d, "Ekonz");
        conc->setText("0.75");
        QTest::keyClick(conc, Qt::Key_Return);  // not "<= Back" or another button
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_EQ(d.CurrentIndex(), 0);
        return d.result();
    });
    RunGeneralCommand(*w_);
    EXPECT_DOUBLE_EQ(SpectraList[0].Concentration, 0.75);
}

TEST_F(OptionsGui, PropertiesDefaultLinesAndLegendTexts) {
    start();
    addSpectra(3);
    for (auto& r : SpectraList) {
        r->LineStyle = 2;
        r->LineWidth = 4;
        r->Color = 0x111111;
        r->Title = "sample_0" + std::to_string(SpectraList.IndexOf(r.get())) + " A";
    }
    SetModalRunner([&](QDialog& dlg) {
        if (auto* leg = qobject_cast<TLegWechs*>(&dlg)) {
            child<QLineEdit>(*leg, "Edit1")->setText("sample_##");
            child<QLineEdit>(*leg, "Edit2")->setText("S");
            click(*leg, "Button1");
            click(*leg, "OKBtn");
            return leg->result();
        }
        auto& d = static_cast<TKonzDia&>(dlg);
        click(d, "Linienarten_Reset");
        click(d, "Button2");
        EXPECT_EQ(child<QComboBox>(d, "ComboHeader")->currentText(), "S A");
        click(d, "OKBtn");
        return d.result();
    });
    RunGeneralCommand(*w_);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(SpectraList[i].LineStyle, 0);
        EXPECT_EQ(SpectraList[i].LineWidth, 1);
        EXPECT_EQ(SpectraList[i].Color, CurveColor(i + 1));
        EXPECT_EQ(SpectraList[i].Title.str(), "S A");
        EXPECT_EQ(plot().Curve(i + 1).LegendName, "S A");
    }

    // A memo one line short changes no legend; Reset and file names.
    SetModalRunner([&](QDialog& dlg) {
        if (auto* leg = qobject_cast<TLegWechs*>(&dlg)) {
            click(*leg, "Button3");
            EXPECT_EQ(leg->MemoLines(), (std::vector<std::string>{"s0.rvx", "s1.rvx", "s2.rvx"}));
            click(*leg, "Button2");
            EXPECT_EQ(leg->MemoLines(), (std::vector<std::string>{"S A", "S A", "S A"}));
            child<QPlainTextEdit>(*leg, "Memo1")->setPlainText("x\ny");
            click(*leg, "OKBtn");
            return leg->result();
        }
        auto& d = static_cast<TKonzDia&>(dlg);
        click(d, "Button2");
        click(d, "Button3");  // the current legend becomes the file name
        click(d, "OKBtn");
        return d.result();
    });
    RunGeneralCommand(*w_);
    EXPECT_EQ(SpectraList[0].Title.str(), "s0.rvx");
    EXPECT_EQ(SpectraList[1].Title.str(), "S A");
}

TEST_F(OptionsGui, GeneralWithoutCurvesDoesNothingAndMenuIsWired) {
    start();
    bool shown = false;
    SetModalRunner([&](QDialog&) {
        shown = true;
        return 0;
    });
    RunGeneralCommand(*w_);
    EXPECT_FALSE(shown);
    for (const char* name : {"Configuration1", "Axes1", "General1"}) {
        QAction* a = w_->Action(name);
        ASSERT_NE(a, nullptr) << name;
        EXPECT_TRUE(a->isEnabled()) << name;
    }
    EXPECT_EQ(w_->Action("Configuration1")->shortcut(), QKeySequence("F3"));
    EXPECT_EQ(w_->Action("Axes1")->shortcut(), QKeySequence("F6"));
    EXPECT_EQ(w_->Action("General1")->shortcut(), QKeySequence("Ctrl+A"));
    w_->Action("Axes1")->trigger();
    EXPECT_TRUE(shown);
}

TEST_F(OptionsGui, HelpButtonsOpenTheirPagesOrSayTheyCannot) {
    const std::string saved = ProgramSettings.ProgramFolder;
    ProgramSettings.ProgramFolder = TestFolder() + "prog/";
    QDir().mkpath(QString::fromStdString(ProgramSettings.ProgramFolder + "html"));
    TOptionsDia o;
    TAchsDia a;
    TSpectraList empty;
    TKonzDia k(empty, nullptr);
    click(o, "HelpBtn");  // no manual yet
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0], HelpFailedMessage(ProgramSettings.ProgramFolder));
    for (const char* page : {"varolux_man_opt_en.html", "varolux_man_spek_en.html"})
        std::ofstream(ProgramSettings.ProgramFolder + "html/" + page) << "<html></html>";
    click(o, "HelpBtn");
    click(a, "HelpBtn");
    click(k, "HelpBtn");
    EXPECT_EQ(ui_->messages.size(), 1u);
    ASSERT_EQ(ui_->openedUrls.size(), 3u);
    EXPECT_EQ(ui_->openedUrls[0], "file://" + ProgramSettings.ProgramFolder + "html/varolux_man_opt_en.html");
    EXPECT_EQ(ui_->openedUrls[1], "file://" + ProgramSettings.ProgramFolder + "html/varolux_man_opt_en.html#achsen");
    EXPECT_EQ(ui_->openedUrls[2], "file://" + ProgramSettings.ProgramFolder + "html/varolux_man_spek_en.html#allg");
    ProgramSettings.ProgramFolder = saved;
}
