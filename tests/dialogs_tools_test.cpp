#include <QPlainTextEdit>
#include <QSpinBox>

#include <cmath>

#include "app/dialogs/TAbleitDia.h"
#include "app/dialogs/TAusDia1.h"
#include "app/dialogs/TMittelDia.h"
#include "app/dialogs/TPeakDia.h"
#include "app/dialogs/TRamanShiftDia.h"
#include "app/dialogs/TSimpleDia.h"
#include "app/dialogs/TSpikeDia.h"
#include "app/dialogs/TTransReflDia.h"
#include "app/dialogs/TVerrechDia.h"
#include "app/dialogs/radio_group.h"
#include "app/program_state.h"
#include "platform/ui.h"
#include "tools/average.h"
#include "tools/cut_out.h"
#include "tests/dialogs_test_support.h"
#include "tests/app_state_support.h"

using namespace dlgtest;
using namespace tooltest;

namespace {
// Restores the dialogs' parameter groups after a test.
struct SettingsGuard {
    TYConstSettings y = ProgramSettings.YConstSettings;
    TCutOutSettings c = ProgramSettings.CutOutSettings;
    TDerivativeSettings d = ProgramSettings.DerivativeSettings;
    TSpikeSettings s = ProgramSettings.SpikeSettings;
    TRamanShiftSettings r = ProgramSettings.RamanShiftSettings;
    ~SettingsGuard() {
        ProgramSettings.YConstSettings = y;
        ProgramSettings.CutOutSettings = c;
        ProgramSettings.DerivativeSettings = d;
        ProgramSettings.SpikeSettings = s;
        ProgramSettings.RamanShiftSettings = r;
    }
};
}  // namespace

TEST(TVerrechDia, OperationSetByTheCommandAndAllSpectra) {
    ListGuard g;
    addRecord("a", 400, 1, std::vector<double>(5, 6.0));
    addRecord("b", 400, 1, std::vector<double>(5, 2.0));
    addRecord("c", 400, 1, std::vector<double>(5, 4.0));
    TVerrechDia d;
    d.SetOperation(3);
    EXPECT_EQ(d.windowTitle(), "Division");
    EXPECT_EQ(child<QLabel>(&d, "rechenart")->text(), "divided by");
    open(d);
    setCombo(&d, "Cs2", 1);
    setCheck(&d, "alleSpektren", true);
    EXPECT_FALSE(child<QComboBox>(&d, "Cs1")->isEnabled());
    click(&d, "OKBtn");
    ASSERT_EQ(SpectraList.Count(), 5);
    EXPECT_EQ(SpectraList[3].Values, std::vector<double>(5, 3.0));
    EXPECT_EQ(SpectraList[4].Values, std::vector<double>(5, 2.0));
    EXPECT_EQ(SpectraList[4].Title.str(), "Division");
}

TEST(TVerrechDia, OneSpectrumLoadedAndCancel) {
    ListGuard g;
    addRecord("a", 400, 1, std::vector<double>(5, 6.0));
    TVerrechDia d;
    open(d);
    click(&d, "CancelBtn");
    EXPECT_EQ(SpectraList.Count(), 1);
    open(d);
    setCheck(&d, "LegendeBleibt", true);
    click(&d, "OKBtn");
    ASSERT_EQ(SpectraList.Count(), 2);
    EXPECT_EQ(SpectraList[1].Title.str(), "a");
    EXPECT_EQ(SpectraList[1].Values, std::vector<double>(5, 12.0));
}

TEST(TSimpleDia, ShowsAndWritesBackItsGroup) {
    ListGuard g;
    SettingsGuard s;
    addRecord("a", 400, 1, ramp(4), SpecXNanometer, 0x42);
    ProgramSettings.YConstSettings = {1, "3", false, true};
    TSimpleDia d;
    open(d);
    EXPECT_EQ(child<TRadioGroup>(&d, "Rechenart")->ItemIndex(), 1);
    EXPECT_EQ(child<QLineEdit>(&d, "EKonst")->text(), "3");
    EXPECT_FALSE(child<QComboBox>(&d, "ComboBox1")->isEnabled());
    child<TRadioGroup>(&d, "Rechenart")->SetItemIndex(0);
    setEdit(&d, "EKonst", "10");
    setCheck(&d, "orig_loesch", true);
    click(&d, "OKBtn");
    EXPECT_EQ(titles(), (std::vector<std::string>{"a + 10"}));
    EXPECT_EQ(SpectraList[0].Color, 0x42u);
    EXPECT_EQ(ProgramSettings.YConstSettings.Operation, 0);
    EXPECT_EQ(ProgramSettings.YConstSettings.Constant, "10");
    EXPECT_TRUE(ProgramSettings.YConstSettings.RemoveOriginal);
}

TEST(TSimpleDia, CancelLeavesListAndGroup) {
    ListGuard g;
    SettingsGuard s;
    addRecord("a", 400, 1, ramp(4));
    TSimpleDia d;
    open(d);
    setEdit(&d, "EKonst", "7");
    click(&d, "CancelBtn");
    EXPECT_EQ(SpectraList.Count(), 1);
    EXPECT_EQ(ProgramSettings.YConstSettings.Constant, s.y.Constant);
}

TEST(TAusDia1, LimitsInDisplayUnitsKeptInNanometres) {
    ListGuard g;
    SettingsGuard s;
    numtext::setDecimalSeparator(',');
    addRecord("a", 400, 1, ramp(301));
    ProgramSettings.CutOutSettings = TCutOutSettings{};
    TAusDia1 d;
    open(d);
    EXPECT_EQ(child<QLineEdit>(&d, "Evon")->text(), "350");
    EXPECT_EQ(child<QLineEdit>(&d, "Ebis")->text(), "700");
    EXPECT_EQ(child<QLabel>(&d, "EinheitVon")->text(), "nm");
    setEdit(&d, "Evon", "450.5");
    setEdit(&d, "Ebis", "500");
    click(&d, "OKBtn");
    EXPECT_EQ(child<QLineEdit>(&d, "Evon")->text(), "450,5");
    ASSERT_EQ(SpectraList.Count(), 1);
    EXPECT_EQ(SpectraList[0].PointCount(), 51);  // 450 .. 500 nm, the nearest points
    EXPECT_DOUBLE_EQ(ProgramSettings.CutOutSettings.From, 450.5);
    EXPECT_DOUBLE_EQ(ProgramSettings.CutOutSettings.To, 500);

    // Shown again in wavenumbers; 0 is refused there and the dialog stays open.
    ui::ScopedScriptedBackend ui;
    DisplayXUnit = SpecXWavenumber;
    TAusDia1 d2;
    open(d2);
    EXPECT_EQ(child<QLabel>(&d2, "EinheitVon")->text(), "cm^-1");
    EXPECT_EQ(child<QLineEdit>(&d2, "Ebis")->text(), "20000");
    setEdit(&d2, "Evon", "0");
    click(&d2, "OKBtn");
    EXPECT_TRUE(d2.isVisible());
    EXPECT_EQ(ui->messages.back(), std::string(kCutOutPositiveText));
    click(&d2, "CancelBtn");
}

TEST(TMittelDia, ClicksNameTheAverageAndOkAverages) {
    ListGuard g;
    ui::ScopedScriptedBackend ui;
    addRecord("a", 400, 1, std::vector<double>(5, 1.0));
    addRecord("b", 400, 1, std::vector<double>(5, 3.0));
    TMittelDia d;
    open(d);
    auto* list = child<QListWidget>(&d, "ListBox1");
    EXPECT_EQ(list->item(1)->text(), "2- b");
    EXPECT_EQ(child<QLineEdit>(&d, "MittelSpekName")->text(), "a - averaged");
    d.ListBox1LeftClick(1);
    d.ListBox1RightClick(0);
    EXPECT_EQ(child<QLineEdit>(&d, "MittelSpekName")->text(), "b | a - averaged");
    // Nothing selected (as the dialog opens), then one: each OK says what is needed and the dialog
    // stays open for the selection.
    for (int row : {-1, 0}) {
        if (row >= 0) list->item(row)->setSelected(true);
        ui->messages.clear();
        click(&d, "OKBtn");
        EXPECT_EQ(SpectraList.Count(), 2);
        EXPECT_TRUE(d.isVisible()) << row;
        EXPECT_EQ(ui->messages, (std::vector<std::string>{kAverageSelectionText})) << row;
    }
    list->item(1)->setSelected(true);
    click(&d, "OKBtn");
    EXPECT_FALSE(d.isVisible());
    ASSERT_EQ(SpectraList.Count(), 3);
    EXPECT_EQ(SpectraList[2].Title.str(), "b | a - averaged");  // the title set while the dialog stayed open
    EXPECT_EQ(SpectraList[2].Values, std::vector<double>(5, 2.0));
}

TEST(TAbleitDia, OrderAndFlagsGoToTheGroup) {
    ListGuard g;
    SettingsGuard s;
    addRecord("a", 400, 1, ramp(10, 0.0, 2.0));
    TAbleitDia d;
    open(d);
    setCombo(&d, "AblOrdnung", 0);
    setCheck(&d, "glaetten", false);
    setCheck(&d, "OrgLoeschen", true);
    click(&d, "OKBtn");
    EXPECT_EQ(titles(), (std::vector<std::string>{"a 1. derivative"}));
    EXPECT_EQ(SpectraList[0].Values, std::vector<double>(9, 2.0));
    EXPECT_FALSE(ProgramSettings.DerivativeSettings.SmoothFirst);
    EXPECT_TRUE(ProgramSettings.DerivativeSettings.RemoveOriginal);
    EXPECT_EQ(ProgramSettings.DerivativeSettings.Order, 1);
}

TEST(TSpikeDia, TreatAllForcesRemovalAndKeepsOrder) {
    ListGuard g;
    SettingsGuard s;
    ui::ScopedScriptedBackend ui;
    std::vector<double> v(60, 1.0);
    for (int i = 0; i < 60; ++i) v[i] += 0.01 * std::sin(i * 0.7);
    v[30] = 40;
    addRecord("a", 400, 1, v);
    addRecord("b", 400, 1, v);
    TSpikeDia d;
    open(d);
    EXPECT_TRUE(child<QCheckBox>(&d, "AlleKorrigieren")->isChecked());
    setCheck(&d, "OriginalLoeschen", false);
    setCheck(&d, "AlleKorrigieren", false);
    setCheck(&d, "AlleKorrigieren", true);  // checking it again forces the removal back on
    EXPECT_TRUE(child<QCheckBox>(&d, "OriginalLoeschen")->isChecked());
    click(&d, "OKBtn");
    EXPECT_EQ(titles(), (std::vector<std::string>{"a", "b"}));
    EXPECT_LT(SpectraList[0].Values[30], 2.0);
    EXPECT_LT(SpectraList[1].Values[30], 2.0);
    // Shown, one step a spectrum, hidden at the end; the status text cleared again.
    EXPECT_EQ(ui->progress, (std::vector<std::pair<int, int>>{{0, 10000}, {5000, 10000}, {10000, 10000}, {-1, 0}}));
    EXPECT_EQ(ui->status[1], " ");
    EXPECT_TRUE(ProgramSettings.SpikeSettings.TreatAll);
}

TEST(TRamanShiftDia, ReadsItsEditsAndKeepsThem) {
    ListGuard g;
    SettingsGuard s;
    addRecord("a", 790, 0.5, ramp(200, 1.0));
    TRamanShiftDia d;
    open(d);
    EXPECT_EQ(child<QLineEdit>(&d, "ELaserWL")->text(), "785");
    EXPECT_EQ(child<QLineEdit>(&d, "ECutOff")->text(), "150");
    setEdit(&d, "ECutOff", "200.4");
    setEdit(&d, "ELaserWL", "785,0");
    setCheck(&d, "OrgLoeschen", false);
    click(&d, "OKBtn");
    EXPECT_EQ(child<QLineEdit>(&d, "ELaserWL")->text(), "785.0");
    ASSERT_EQ(SpectraList.Count(), 2);
    EXPECT_EQ(SpectraList[1].XUnit, SpecXRamanShift);
    EXPECT_EQ(ProgramSettings.RamanShiftSettings.CutOff, 200);
    EXPECT_FALSE(ProgramSettings.RamanShiftSettings.RemoveOriginal);
    EXPECT_GT(SpectraList[1].XAt(SpectraList[1].PointCount() - 1), 200.0);
}

TEST(TTransReflDia, OneSpectrumAsksForTwo) {
    ListGuard g;
    ui::ScopedScriptedBackend ui;
    addRecord("only", 400, 1, ramp(5, 1.0));
    TTransReflDia d;
    open(d);
    EXPECT_EQ(child<QComboBox>(&d, "ProbSpek")->currentIndex(), 0);
    click(&d, "OKBtn");
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(ui->messages.size(), 1u);
    click(&d, "CancelBtn");
    addRecord("ref", 400, 1, std::vector<double>(5, 2.0));
    open(d);
    EXPECT_EQ(child<QComboBox>(&d, "ProbSpek")->currentIndex(), 1);
    setCombo(&d, "ProbSpek", 0);
    setCombo(&d, "RefSpek", 1);
    child<TRadioGroup>(&d, "TransRef_RadioGroup1")->SetItemIndex(1);
    click(&d, "OKBtn");
    EXPECT_FALSE(d.isVisible());
    ASSERT_EQ(SpectraList.Count(), 3);
    EXPECT_EQ(SpectraList[2].Title.str(), "Reflectance: only / ref");
}

TEST(TPeakDia, TableRebuildsOnChangesAndCopiesWithCrLf) {
    ListGuard g;
    ui::ScopedScriptedBackend ui;
    std::vector<double> v(201);
    for (int i = 0; i < 201; ++i) v[i] = std::exp(-0.5 * std::pow((i - 100) / 10.0, 2));
    addRecord("flat", 400, 1, std::vector<double>(201, 0.5));
    addRecord("band", 400, 1, v);
    TPeakDia d;
    open(d);
    auto* memo = child<QPlainTextEdit>(&d, "Memo1");
    EXPECT_EQ(memo->toPlainText().count('\n'), 2);  // the flat spectrum has no peak
    setCombo(&d, "Spekbox", 1);
    EXPECT_TRUE(memo->toPlainText().startsWith("Spectrum: band\n\nwavelength [nm]\tabsorbance\tFWHM [nm]\n500\t\t1.0000\t\t23.5"))
        << memo->toPlainText().toStdString();
    child<QSpinBox>(&d, "LowerPeakThresholdEdit")->setValue(20);
    EXPECT_EQ(memo->toPlainText().count('\n'), 3);
    const QString before = memo->toPlainText();
    click(&d, "Button3");
    EXPECT_EQ(memo->toPlainText(), before);
    EXPECT_EQ(ui->clipboard.substr(0, 46), "band\r\n\r\nwavelength [nm]\tabsorbance\tFWHM [nm]\r\n");
    EXPECT_NE(ui->clipboard.find("500\t1.0000\t23.5"), std::string::npos);
    d.SetVisibleRange(600, 550);
    d.BuildPeakTable();
    EXPECT_EQ(memo->toPlainText().count('\n'), 2);
}
