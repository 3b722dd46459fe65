// The quantum-yield dialogs driven offscreen by their controls' object names, and their commands run in
// a main window: what the dialogs show, what OK stores, what Cancel keeps, the texts in the status bar.
#include <QPlainTextEdit>
#include <QTabWidget>

#include <filesystem>
#include <fstream>

#include "app/aux_curves.h"
#include "app/dialogs/TEffAbsDia.h"
#include "app/dialogs/TFQDial.h"
#include "app/dialogs/TTiefFQDia.h"
#include "app/file_filters.h"
#include "app/program_state.h"
#include "app/quantum_yield_commands.h"
#include "core/peaks.h"
#include "core/quantum_yield_settings.h"
#include "platform/numtext.h"
#include "platform/ui.h"
#include "tests/dialogs_test_support.h"
#include "tests/main_window_fixture.h"
#include "tests/app_state_support.h"
#include "tools/low_temp_quantum_yield.h"
#include "tools/quantum_yield.h"

using namespace dlgtest;
using namespace tooltest;

namespace {

// Restores the groups, the lamp curve and the folders a test changes.
struct QYGuard {
    TQYSettings qy = ProgramSettings.QYSettings;
    TLTQYSettings lt = ProgramSettings.LTQYSettings;
    std::string program = ProgramSettings.ProgramFolder;
    ~QYGuard() {
        ProgramSettings.QYSettings = qy;
        ProgramSettings.LTQYSettings = lt;
        ProgramSettings.ProgramFolder = program;
        LampCurve.Free();
        SetFileDialogRunner(nullptr);
    }
};

TSpectrumRecord& flat(const std::string& title, double value) {
    return addRecord(title, 300, 1, std::vector<double>(601, value));
}

QString text(QObject* d, const char* name) { return child<QLineEdit>(d, name)->text(); }

void selectTab(QObject* d, int index) { child<QTabWidget>(d, "PageControl1")->setCurrentIndex(index); }

std::string writeLamp(const std::string& name) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream f(path, std::ios::binary);
    f << "Wavelength\tIntensity\r\n";
    for (int x = 300; x <= 900; x += 10) f << x << "\t2\r\n";
    return path;
}

}  // namespace

TEST(TFQDial, ShowsItsGroupAndComputesTheNormalSheet) {
    ListGuard g;
    QYGuard q;
    ui::ScopedScriptedBackend ui;
    // With "," as the regional separator the edits show it, and a typed "." is taken as well.
    numtext::setDecimalSeparator(',');
    flat("sample", 3.0);
    flat("reference", 1.5);
    TFQDial d;
    open(d);
    EXPECT_EQ(d.windowTitle(), "Calculation of Fluorescence Quantum Yield");
    EXPECT_EQ(d.findChild<QPushButton*>("Button1"), nullptr);  // no help button
    EXPECT_EQ(text(&d, "EProbeEX"), "0,1");
    EXPECT_EQ(text(&d, "ERefFQ"), "95");
    EXPECT_EQ(text(&d, "ARefFQ"), "95");
    EXPECT_EQ(text(&d, "ERefN"), "1,3611");
    EXPECT_EQ(text(&d, "OProbeN"), "1,4459");
    EXPECT_EQ(text(&d, "EInFi"), "0,0922");
    EXPECT_EQ(text(&d, "EMessL"), "0,00625");
    EXPECT_EQ(text(&d, "ABandBreite"), "2");
    EXPECT_EQ(text(&d, "AProbeAnrWell"), "500");
    EXPECT_EQ(text(&d, "OvRefInt"), "510");
    EXPECT_FALSE(child<QCheckBox>(&d, "LampSpekCheckBox")->isChecked());
    for (const char* c : {"ERefFlSpek", "EProbeFlSpek", "ARefAbsSpek", "ARefFlSpek", "AProbeAbsSpek", "AProbeFlSpek",
                          "ORefAbsspek", "OProbeAbsSpek", "OProbeFlSpekAnf", "OProbeFlSpekEnd", "ORefFlSpek"})
        EXPECT_EQ(child<QComboBox>(&d, c)->count(), 2) << c;

    // Cancel keeps the settings.
    setEdit(&d, "EProbeEX", "0,5");
    click(&d, "CancelBtn");
    EXPECT_EQ(ProgramSettings.QYSettings.SampleAbsorbance, 0.1);

    open(d);
    selectTab(&d, 0);
    setCombo(&d, "ERefFlSpek", 1);
    setEdit(&d, "EProbeN", "1.3611");
    setEdit(&d, "EvProbeInt", "510");
    setEdit(&d, "EbProbeInt", "750");
    click(&d, "OKBtn");
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(d.YieldComputed);
    EXPECT_NEAR(ProgramSettings.QYSettings.QuantumYield, 0.95 * 2.0, 1e-12);
    EXPECT_EQ(ProgramSettings.QYSettings.RefFlIndex, 1);
    EXPECT_EQ(ProgramSettings.QYSettings.SampleFrom, 510);
}

TEST(TFQDial, RefusedYieldsKeepTheDialogOpenAndTheSettings) {
    ListGuard g;
    QYGuard q;
    ui::ScopedScriptedBackend ui;
    flat("sample", 3.0);
    flat("reference", 1.5);
    TFQDial d;
    open(d);
    selectTab(&d, 0);
    setEdit(&d, "EProbeEX", "-0.5");
    click(&d, "OKBtn");
    EXPECT_EQ(ui->messages, std::vector<std::string>{"The sample's Absorbance is negative: no quantum yield calculated!"});
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(d.YieldComputed);
    EXPECT_EQ(ProgramSettings.QYSettings.SampleAbsorbance, 0.1);
    click(&d, "CancelBtn");
}

TEST(TFQDial, SpecialWaitsForTheLampCurveWhenTheWavelengthsDiffer) {
    ListGuard g;
    QYGuard q;
    ui::ScopedScriptedBackend ui;
    flat("abs", 0.1);
    flat("fl", 1.0);
    TFQDial d;
    open(d);
    selectTab(&d, 1);
    setEdit(&d, "ARefAnrWell", "450");
    click(&d, "OKBtn");
    EXPECT_EQ(ui->messages, std::vector<std::string>{kNoLampCurveText});
    EXPECT_TRUE(d.isVisible());  // the lamp curve can be loaded right here
    EXPECT_EQ(ProgramSettings.QYSettings.RefExcitation, 500);

    const std::string lamp = writeLamp("qy_dialog_lamp.fak");
    const std::string lampFolder = ProgramSettings.LampFolder;
    std::string askedTitle, askedFolder;
    SetFileDialogRunner([&](const TFileDialogSpec& spec) {
        askedTitle = spec.Title.toStdString();
        askedFolder = spec.Start.toStdString();
        return TFileDialogChoice{{lamp}, 1};
    });
    click(&d, "LoadButton");
    EXPECT_EQ(askedTitle, "load lamp spectrum (*.fak)");
    EXPECT_EQ(askedFolder, lampFolder);
    EXPECT_TRUE(child<QCheckBox>(&d, "LampSpekCheckBox")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(&d, "LampSpekCheckBox2")->isChecked());
    EXPECT_EQ(ProgramSettings.LampFolder, ::testing::TempDir());
    click(&d, "OKBtn");
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(ProgramSettings.QYSettings.RefExcitation, 450);
    EXPECT_NEAR(ProgramSettings.QYSettings.SamplePower, 2.0, 1e-12);
    EXPECT_NEAR(ProgramSettings.QYSettings.SampleAbsorbance, 0.1, 1e-12);

    // Cancel in the open dialog clears the lamp curve and both boxes.
    SetFileDialogRunner([](const TFileDialogSpec&) { return TFileDialogChoice{}; });
    open(d);
    click(&d, "LoadButton2");
    EXPECT_FALSE(LampCurve.Loaded());
    EXPECT_FALSE(child<QCheckBox>(&d, "LampSpekCheckBox")->isChecked());
    std::remove(lamp.c_str());
}

TEST(TEffAbsDia, StoresTheAbsorbanceAsSampleOrReference) {
    ListGuard g;
    QYGuard q;
    ui::ScopedScriptedBackend ui;
    addRecord("line", 300, 1, ramp(601, 0.3, 0.001));
    TEffAbsDia d;
    open(d);
    EXPECT_EQ(d.windowTitle(), "Effective Absorbance");
    EXPECT_TRUE(child<QRadioButton>(&d, "Fprob")->isChecked());
    setEdit(&d, "FLMax", "650.4");
    setEdit(&d, "FBandBreite", "0");
    click(&d, "OKBtn");
    EXPECT_EQ(ui->messages, std::vector<std::string>{kBandpassWidthRefused});
    EXPECT_TRUE(d.isVisible());
    setEdit(&d, "FBandBreite", "1.2");
    child<QRadioButton>(&d, "Fref")->setChecked(true);
    click(&d, "OKBtn");
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_NEAR(ProgramSettings.QYSettings.RefAbsorbance, 0.65, 1e-12);
    EXPECT_EQ(ProgramSettings.QYSettings.SampleAbsorbance, q.qy.SampleAbsorbance);
    EXPECT_EQ(ProgramSettings.Bandpass.BandpassCentre, 650);
    EXPECT_EQ(ProgramSettings.Bandpass.BandpassWidth, 1);
    // The next opening shows the last band.
    open(d);
    EXPECT_EQ(text(&d, "FLMax"), "650");
    EXPECT_EQ(text(&d, "FBandBreite"), "1");
    click(&d, "CancelBtn");
}

namespace {

// The low-temperature scene: series 295 / 200 K, the sample's RT absorption, one fluorescence
// spectrum at 200 K excited at 450 nm.
void lowTempScene() {
    flat("RT", 0.4).Temperature = 295;
    flat("200K", 0.5).Temperature = 200;
    TSpectrumRecord& s = flat("sample RT", 0.2);
    s.Temperature = 295;
    s.FileName = "/data/s.rvx";
    TSpectrumRecord& f = flat("F200", 1.0);
    f.Temperature = 200;
    f.ExcitationWl = 450;
    f.SpecType = "ccdfx";
}

std::vector<std::string> memoLines(QObject* d) {
    std::vector<std::string> lines;
    auto* memo = child<QPlainTextEdit>(d, "Memo1");
    if (memo->document()->isEmpty()) return lines;
    for (const QString& l : memo->toPlainText().split('\n')) lines.push_back(l.toStdString());
    return lines;
}

}  // namespace

TEST(TTiefFQDia, ManualRowsTableAndSolvents) {
    ListGuard g;
    QYGuard q;
    ui::ScopedScriptedBackend ui;
    ProgramSettings.ProgramFolder = VX_TABLES_DIR "/";
    lowTempScene();
    TTiefFQDia d;
    open(d);
    EXPECT_EQ(d.windowTitle(), "Low Temperature Quantum Yield");
    EXPECT_TRUE(ui->messages.empty());
    auto* solvents = child<QComboBox>(&d, "MLoesMittel");
    ASSERT_EQ(solvents->count(), 2);
    EXPECT_EQ(solvents->itemText(0), "EtOH ");
    EXPECT_EQ(solvents->itemText(1), "2-Me-THF");
    ASSERT_TRUE(d.RefractionCurve.Loaded());
    EXPECT_TRUE(d.ViscosityCurve.Loaded());
    EXPECT_EQ(text(&d, "MBandBreite"), "6");
    EXPECT_EQ(text(&d, "ARefWert_TT"), "2.6E+8");

    selectTab(&d, 0);
    setCombo(&d, "MAbsSpek_TT", 1);
    setCombo(&d, "MAbsSpekFl_RT", 2);
    setCombo(&d, "MFlSpek", 3);
    click(&d, "Start");
    std::vector<std::string> lines = memoLines(&d);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "LT-QY for abs. spectrum: sample RT\tFilename:/data/s.rvx");
    EXPECT_EQ(lines[1], "T [K]\tQY [%]\t wavelength\teff. abs.\tn^2\tlog(eta)\t");
    EXPECT_EQ(lines[2].substr(0, 4), "200\t");
    EXPECT_TRUE(child<QLabel>(&d, "Label12")->text().startsWith("LT-QY\ttemp.\t Well.\teff. abs.\tn^2\n"));
    click(&d, "Start");
    EXPECT_EQ(memoLines(&d).size(), 4u);
    click(&d, "Button3");
    EXPECT_TRUE(memoLines(&d).empty());

    // The solvent is one choice for both tabs.
    setCombo(&d, "ALoesMittel", 1);
    EXPECT_EQ(solvents->currentIndex(), 1);
    EXPECT_EQ(d.SolventIndex(), 1);
    EXPECT_EQ(d.RefractionCurve.FileName, std::string(VX_TABLES_DIR "/2methf.fak"));

    // Room and low temperature exclude each other on both tabs.
    click(&d, "MTiefTyp");
    EXPECT_TRUE(child<QCheckBox>(&d, "ATiefTyp")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(&d, "MRaumTyp")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(&d, "ARaumTyp")->isChecked());
    click(&d, "ARaumTyp");
    EXPECT_FALSE(child<QCheckBox>(&d, "MTiefTyp")->isChecked());

    // Cancel keeps the group; OK writes the active tab's choices.
    setEdit(&d, "MBandBreite", "8");
    click(&d, "CancelBtn");
    EXPECT_EQ(ProgramSettings.LTQYSettings.BandWidth, 6);
    open(d);
    EXPECT_EQ(solvents->currentIndex(), 1);
    setCombo(&d, "MAbsSpek_TT", 1);
    setEdit(&d, "MBandBreite", "8");
    click(&d, "OKBtn");
    EXPECT_EQ(ProgramSettings.LTQYSettings.BandWidth, 8);
    EXPECT_EQ(ProgramSettings.LTQYSettings.SeriesLowIndex, 1);
}

TEST(TTiefFQDia, MissingTablesOwnTableAndSavedText) {
    ListGuard g;
    QYGuard q;
    ui::ScopedScriptedBackend ui;
    const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "vx_ltqy_dialog";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    ProgramSettings.ProgramFolder = dir.string() + "/";
    lowTempScene();
    TTiefFQDia d;
    open(d);
    EXPECT_EQ(ui->messages, (std::vector<std::string>{"File for temp. dependant refraction index\r\nof EtOH not found",
                                                      "File for temp. dependant viscosity\r\nof EtOH not found"}));
    EXPECT_FALSE(d.RefractionCurve.Loaded());

    // A table of one's own joins both solvent lists and carries no viscosity.
    const std::string own = dir.string() + "/glycerol.fak";
    std::filesystem::copy_file(VX_TABLES_DIR "/etoh.fak", own);
    std::string askedTitle;
    SetFileDialogRunner([&](const TFileDialogSpec& spec) {
        askedTitle = spec.Title.toStdString();
        return TFileDialogChoice{{own}, 1};
    });
    click(&d, "ALoadFile");
    EXPECT_EQ(askedTitle, "Load refraction index file (*.fak)");
    for (const char* c : {"MLoesMittel", "ALoesMittel"}) {
        auto* box = child<QComboBox>(&d, c);
        ASSERT_EQ(box->count(), 3) << c;
        EXPECT_EQ(box->currentText(), "glycerol") << c;
    }
    EXPECT_TRUE(d.RefractionCurve.Loaded());
    EXPECT_FALSE(d.ViscosityCurve.Loaded());

    ui->messages.clear();
    selectTab(&d, 1);
    setCombo(&d, "AAbsSpek_TT", 1);
    setCombo(&d, "AAbsSpekFl_RT", 2);
    click(&d, "Start");
    std::vector<std::string> lines = memoLines(&d);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "\"LT-QY (autom.) for abs. spectrum: sample RT\tFilename:/data/s.rvx");
    EXPECT_EQ(lines[1], "T [K]\tQY [%]\t wavelength\teff. abs.\tn^2");
    EXPECT_TRUE(ui->messages.empty());

    std::string chosen;  // the save dialog's answer, "" = Cancel
    SetFileDialogRunner([&](const TFileDialogSpec& spec) {
        EXPECT_EQ(spec.Mode, TFileDialogSpec::TMode::Save);
        return chosen.empty() ? TFileDialogChoice{} : TFileDialogChoice{{chosen}, 1};
    });
    click(&d, "Button1");
    EXPECT_EQ(ui->messages, std::vector<std::string>{"Saving interrupted!"});
    const std::string saved = dir.string() + "/table";
    chosen = saved;
    click(&d, "Button1");
    auto fileText = [](const std::string& name) {
        std::ifstream f(name, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(f)), {});
    };
    const std::string written = fileText(saved + ".txt");
    EXPECT_EQ(written, lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n");
    // Saving over it asks first; No leaves the file as it was.
    click(&d, "Button3");
    ui->messages.clear();
    ui->answers = {ui::Answer::No};
    click(&d, "Button1");
    EXPECT_EQ(ui->messages, std::vector<std::string>{saved + ".txt already exists.\r\nDo you want to replace it?"});
    EXPECT_EQ(fileText(saved + ".txt"), written);
    click(&d, "CancelBtn");
    std::filesystem::remove_all(dir);
}

namespace {
struct QYCommands : MainWindowTest {
    QYGuard q;
    ui::ScopedScriptedBackend ui;
    void TearDown() override {
        MainWindowTest::TearDown();
        DisplayXUnit = SpecXNanometer;
        DisplayYMode = SpecYAbsorbance;
    }
};
}  // namespace

TEST_F(QYCommands, RefusedInOtherUnitsAndWithoutCurves) {
    int shown = 0;
    SetModalRunner([&](QDialog& d) {
        ++shown;
        d.reject();
        return d.result();
    });
    for (const char* a : {"QuantumYield1", "LowTempQuantumYield1", "EffectiveAbsorbance1"}) trigger(a);
    EXPECT_TRUE(ui->messages.empty());
    flat("a", 0.5);
    win->ReplotSpectra();
    DisplayXUnit = SpecXWavenumber;
    for (const char* a : {"QuantumYield1", "LowTempQuantumYield1", "EffectiveAbsorbance1"}) trigger(a);
    EXPECT_EQ(ui->messages, (std::vector<std::string>{"no QY with this axis type", "no QY with this axis type",
                                                      "no calculation with this axis type"}));
    EXPECT_EQ(shown, 0);
}

TEST_F(QYCommands, YieldAndOneDimensionalSeriesReachStatusAndList) {
    flat("abs", 0.1);
    flat("ref abs", 0.1);
    flat("ref fl", 1.0);
    for (int k = 0; k < 3; ++k) flat("fl", 1.0 + k).ExcitationWl = 400 + 10 * k;
    win->ReplotSpectra();
    SetModalRunner([](QDialog& d) {
        d.show();
        QApplication::processEvents();
        selectTab(&d, 0);
        setCombo(&d, "EProbeFlSpek", 2);
        setCombo(&d, "ERefFlSpek", 2);
        setEdit(&d, "EProbeN", "1.3611");
        setEdit(&d, "EvProbeInt", "510");
        setEdit(&d, "EbProbeInt", "750");
        click(&d, "OKBtn");
        return d.result();
    });
    trigger("QuantumYield1");
    EXPECT_EQ(win->StatusText(1), "fluorescence quantum yield: 95%");
    EXPECT_EQ(SpectraList.Count(), 6);

    LampCurve.Record = makeRecord("lamp", 300, 1, std::vector<double>(601, 2.0));
    SetModalRunner([](QDialog& d) {
        d.show();
        QApplication::processEvents();
        selectTab(&d, 2);
        setCombo(&d, "ORefAbsspek", 1);
        setCombo(&d, "ORefFlSpek", 2);
        setCombo(&d, "OProbeFlSpekAnf", 3);
        setCombo(&d, "OProbeFlSpekEnd", 5);
        setEdit(&d, "OProbeN", "1.3611");
        setEdit(&d, "OvProbeInt", "510");
        setEdit(&d, "ObProbeInt", "750");
        click(&d, "OKBtn");
        return d.result();
    });
    trigger("QuantumYield1");
    EXPECT_EQ(win->StatusText(1), "1D-FQ displayed");
    ASSERT_EQ(SpectraList.Count(), 7);
    const TSpectrumRecord& r = SpectraList[6];
    EXPECT_EQ(r.FirstX, 400);
    EXPECT_EQ(r.StepX, 10);
    EXPECT_EQ(r.PointCount(), 3);
    EXPECT_EQ(r.Color, CurveColor(7));
    EXPECT_EQ(r.LineStyle, 0);
    EXPECT_EQ(plot->KurvenAnzahl(), 7);
    EXPECT_EQ(win->StatusText(0), "7 Spectra");
    EXPECT_EQ(ProgramSettings.QYSettings.SampleFlIndex, 3);
    EXPECT_EQ(ProgramSettings.QYSettings.SeriesLength, 3);
    // The next opening shows the series again.
    TFQDial* dia = qycmd::FQDialog(*win);
    ASSERT_NE(dia, nullptr);
    SetModalRunner([](QDialog& d) {
        d.show();
        QApplication::processEvents();
        EXPECT_EQ(child<QComboBox>(&d, "OProbeFlSpekEnd")->currentIndex(), 5);
        d.reject();
        return d.result();
    });
    // Cancel reports nothing: the last command's text is gone and no new one comes.
    win->SetStatusText(1, "before");
    trigger("QuantumYield1");
    EXPECT_EQ(win->StatusText(1), "");
}

TEST_F(QYCommands, EffectiveAbsorbanceAndLowTemperatureReport) {
    addRecord("line", 300, 1, ramp(601, 0.3, 0.001));
    win->ReplotSpectra();
    SetModalRunner([](QDialog& d) {
        d.show();
        QApplication::processEvents();
        setEdit(&d, "FLMax", "650");
        setEdit(&d, "FBandBreite", "1");
        click(&d, "OKBtn");
        return d.result();
    });
    trigger("EffectiveAbsorbance1");
    EXPECT_EQ(win->StatusText(1), "effect. abs. at 650nm is 0.65 (bandpass 1nm)");
    EXPECT_NEAR(ProgramSettings.QYSettings.SampleAbsorbance, 0.65, 1e-12);

    SetModalRunner([](QDialog& d) {
        d.show();
        QApplication::processEvents();
        click(&d, "OKBtn");
        return d.result();
    });
    trigger("LowTempQuantumYield1");
    EXPECT_EQ(win->StatusText(1), "LT-QY was calculated");
    // The tool button runs the quantum-yield command.
    EXPECT_TRUE(win->Action("QuantumYield1")->isEnabled());
}
