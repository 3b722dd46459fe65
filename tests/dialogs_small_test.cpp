#include <filesystem>
#include <fstream>

#include "app/app_version.h"
#include "app/dialogs/TAboutBox.h"
#include "app/dialogs/tool_dialog.h"
#include "app/dialogs/TAuswDia.h"
#include "app/dialogs/TInfWin.h"
#include "app/dialogs/TLoeschdia.h"
#include "app/dialogs/TSimpleXDia.h"
#include "app/dialogs/TAbleitDia.h"
#include "app/dialogs/TAusDia1.h"
#include "app/dialogs/TMittelDia.h"
#include "app/dialogs/TPeakDia.h"
#include "app/dialogs/TRamanShiftDia.h"
#include "app/dialogs/TSimpleDia.h"
#include "app/dialogs/TSpikeDia.h"
#include "app/dialogs/TTransReflDia.h"
#include "app/dialogs/TVerrechDia.h"
#include "app/program_state.h"
#include "platform/ui.h"
#include "tests/dialogs_test_support.h"
#include "tests/app_state_support.h"
#include "tools/dialog_support.h"

using namespace dlgtest;
using namespace tooltest;

TEST(TAuswDia, ChoiceWithOneSpectrumAndCancel) {
    ListGuard g;
    addRecord("only", 400, 1, ramp(3));
    TAuswDia d;
    open(d);
    EXPECT_EQ(child<QComboBox>(&d, "SpekBox")->count(), 1);
    click(&d, "OKBtn");
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Chosen(), 0);
    open(d);
    click(&d, "CancelBtn");
    EXPECT_EQ(d.Chosen(), -1);
}

TEST(TLoeschdia, ItemsTwoAndFiveOfFive) {
    ListGuard g;
    for (int i = 1; i <= 5; ++i) addRecord("s" + std::to_string(i), 400, 1, ramp(3));
    TLoeschdia d;
    open(d);
    auto* src = child<QListWidget>(&d, "SrcList");
    ASSERT_EQ(src->count(), 5);
    EXPECT_EQ(src->item(1)->text(), "2- s2");
    EXPECT_FALSE(child<QPushButton>(&d, "ExcludeBtn")->isEnabled());
    src->item(4)->setSelected(true);
    src->item(1)->setSelected(true);
    click(&d, "IncludeBtn");
    EXPECT_EQ(child<QListWidget>(&d, "DstList")->count(), 2);
    // The item at the position of the first moved one is selected in the source.
    ASSERT_EQ(src->count(), 3);
    EXPECT_EQ(src->currentRow(), 1);
    EXPECT_TRUE(child<QPushButton>(&d, "ExcludeBtn")->isEnabled());
    click(&d, "OKBtn");
    EXPECT_EQ(titles(), (std::vector<std::string>{"s1", "s3", "s4"}));
}

TEST(TLoeschdia, MovingBackAndAllAndCancel) {
    ListGuard g;
    for (int i = 1; i <= 3; ++i) addRecord("s" + std::to_string(i), 400, 1, ramp(3));
    TLoeschdia d;
    open(d);
    click(&d, "IncAllBtn");
    EXPECT_EQ(child<QListWidget>(&d, "SrcList")->count(), 0);
    EXPECT_FALSE(child<QPushButton>(&d, "IncludeBtn")->isEnabled());
    child<QListWidget>(&d, "DstList")->item(0)->setSelected(true);
    click(&d, "ExcludeBtn");
    EXPECT_EQ(child<QListWidget>(&d, "SrcList")->count(), 1);
    click(&d, "CancelBtn");
    EXPECT_EQ(SpectraList.Count(), 3);
    open(d);  // activation refills
    click(&d, "ExAllBtn");
    EXPECT_EQ(child<QListWidget>(&d, "SrcList")->count(), 3);
}

TEST(TLoeschdia, ByTypeGreysTheListsAndDeletesTaggedSpectra) {
    ListGuard g;
    const char* tags[] = {"jcamp_dx", "", "ascii_dat", "jcamp_dx"};
    for (int i = 0; i < 4; ++i) addRecord("s" + std::to_string(i), 400, 1, ramp(3)).SpecType = tags[i];
    TLoeschdia d;
    open(d);
    EXPECT_FALSE(child<QComboBox>(&d, "ComboBox1")->isEnabled());
    setCheck(&d, "CheckBox1", true);
    EXPECT_TRUE(child<QComboBox>(&d, "ComboBox1")->isEnabled());
    EXPECT_FALSE(child<QListWidget>(&d, "SrcList")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(&d, "IncAllBtn")->isEnabled());
    auto* combo = child<QComboBox>(&d, "ComboBox1");
    combo->setCurrentIndex(combo->findText("jcamp_dx"));
    click(&d, "OKBtn");
    EXPECT_EQ(titles(), (std::vector<std::string>{"s1", "s2"}));
}

TEST(TSimpleXDia, OkAppliesTheConstantAndWritesTheNumberBack) {
    ListGuard g;
    ui::ScopedScriptedBackend ui;
    numtext::setDecimalSeparator(',');
    addRecord("a", 400, 2, ramp(4));
    TSimpleXDia d;
    open(d);
    setCombo(&d, "OpBox", 2);
    setEdit(&d, "EKonst", "0.5");
    click(&d, "OKBtn");
    EXPECT_EQ(child<QLineEdit>(&d, "EKonst")->text(), "0,5");
    ASSERT_EQ(SpectraList.Count(), 2);
    EXPECT_DOUBLE_EQ(SpectraList[1].StepX, 1.0);
    EXPECT_EQ(SpectraList[1].Title.str(), "a x 0,5");
    // A text that is no number: the message, the dialog stays open, nothing appended.
    open(d);
    setEdit(&d, "EKonst", "zwei");
    click(&d, "OKBtn");
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(ui->messages.back(), "'zwei' is not a valid floating point value");
    EXPECT_EQ(SpectraList.Count(), 2);
    click(&d, "CancelBtn");
}

TEST(TInfWin, ButtonAndClosingSetTheAbortFlag) {
    TInfWin w;
    w.show();
    EXPECT_FALSE(w.AbortFlag());
    click(&w, "OKButton");
    EXPECT_TRUE(w.AbortFlag());
    w.hide();
    w.show();  // activation clears it
    EXPECT_FALSE(w.AbortFlag());
    w.close();
    EXPECT_TRUE(w.AbortFlag());
}

TEST(TAboutBox, VersionWebPageAndSweep) {
    ui::ScopedScriptedBackend ui;
    std::vector<int> tones;
    std::vector<double> wavelengths;
    TAboutSweep sweep;
    sweep.WavelengthColor = [&](double nm) {
        wavelengths.push_back(nm);
        return 0x0000FFu;
    };
    sweep.Tone = [&](int hz, int ms) {
        EXPECT_EQ(ms, 20);
        tones.push_back(hz);
    };
    TAboutBox box(nullptr, sweep);
    EXPECT_EQ(child<QLabel>(&box, "Version")->text(), "1.72.2p");
    box.Label7Click();
    EXPECT_EQ(ui->openedUrls, (std::vector<std::string>{kWebsiteUrl}));
    box.StartEasterEgg();
    ASSERT_EQ(tones.size(), 4u * 131u);
    EXPECT_EQ(tones.front(), 440);
    EXPECT_EQ(tones[130], 880);
    EXPECT_EQ(tones[131], 880);
    EXPECT_EQ(tones[261], 440);
    EXPECT_EQ(wavelengths.front(), 780);  // window colour 1170 - 3*130
    EXPECT_EQ(wavelengths[1], 390);       // panel colour 3*130
    EXPECT_EQ(box.windowTitle(), "you found the easter egg!");
    EXPECT_TRUE(child<QPushButton>(&box, "OKButton")->isVisibleTo(&box));
}

// Every dialog's help button asks the ui layer for its page beside the program.
TEST(HelpButtons, OpenTheirPageOrReportFailure) {
    ui::ScopedScriptedBackend ui;
    auto dir = std::filesystem::temp_directory_path() / "vx_dialog_help_gui";
    std::filesystem::create_directories(dir / "html");
    for (const char* f : {"varolux_man_spek_en.html", "varolux_man_rech_en.html"})
        std::ofstream(dir / "html" / f) << "<html/>";
    const std::string old = ProgramSettings.ProgramFolder;
    ProgramSettings.ProgramFolder = dir.string() + "/";
    struct Case {
        std::function<std::unique_ptr<QDialog>()> make;
        std::string page;
    };
    std::vector<Case> cases = {
        {[] { return std::make_unique<TLoeschdia>(); }, "varolux_man_spek_en.html#loesch"},
        {[] { return std::make_unique<TSimpleXDia>(); }, "varolux_man_rech_en.html#x_konst"},
        {[] { return std::make_unique<TPeakDia>(); }, "varolux_man_spek_en.html#peak"},
        {[] { return std::make_unique<TAusDia1>(); }, "varolux_man_spek_en.html#schneid"},
        {[] { return std::make_unique<TSpikeDia>(); }, "varolux_man_spek_en.html#spike"},
        {[] { return std::make_unique<TVerrechDia>(); }, "varolux_man_rech_en.html#add"},
        {[] { return std::make_unique<TSimpleDia>(); }, "varolux_man_rech_en.html#y_konst"},
        {[] { return std::make_unique<TMittelDia>(); }, "varolux_man_rech_en.html#mittel"},
        {[] { return std::make_unique<TTransReflDia>(); }, "varolux_man_rech_en.html#trans"},
        {[] { return std::make_unique<TRamanShiftDia>(); }, "varolux_man_rech_en.html#raman"},
        {[] { return std::make_unique<TAbleitDia>(); }, "varolux_man_rech_en.html#abl"},
    };
    for (auto& c : cases) {
        auto d = c.make();
        open(*d);
        ui->openedUrls.clear();
        click(d.get(), "Button1");
        ASSERT_EQ(ui->openedUrls.size(), 1u) << c.page;
        EXPECT_EQ(ui->openedUrls[0], "file://" + (dir / "html").string() + "/" + c.page);
        d->reject();
    }
    ProgramSettings.ProgramFolder = (dir / "nowhere").string() + "/";
    TLoeschdia d;
    open(d);
    click(&d, "Button1");
    EXPECT_EQ(ui->messages.back(), HelpFailedMessage(ProgramSettings.ProgramFolder));
    ProgramSettings.ProgramFolder = old;
}

TEST(TAboutBox, LicenceAndCreditWindowsOpenFromItsButtons) {
    std::vector<QString> shown;
    SetModalRunner([&](QDialog& d) {
        shown.push_back(d.windowTitle());
        return int(QDialog::Accepted);
    });
    TAboutBox box;
    click(&box, "LizenzInfoButton");
    click(&box, "CreditButton");
    SetModalRunner(nullptr);
    EXPECT_EQ(shown, (std::vector<QString>{"Licence Agreement", "Credits"}));
}
