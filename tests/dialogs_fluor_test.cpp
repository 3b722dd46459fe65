// The fluorescence dialogs driven offscreen by their controls' object names, and their commands.
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "app/TMainwin.h"
#include "app/aux_curves.h"
#include "app/file_filters.h"
#include "app/dialogs/TErregSpekDia.h"
#include "app/dialogs/TKorrDia.h"
#include "app/dialogs/TMatrixDia.h"
#include "app/dialogs/TPolGradDia.h"
#include "app/dialogs/TRemoveStrayDia.h"
#include "app/dialogs/TSchichtdickeDia.h"
#include "app/dialogs/TSetExWlDia.h"
#include "app/dialogs/TSubtractEEMDia.h"
#include "app/dialogs/radio_group.h"
#include "app/fluor_commands.h"
#include "app/program_state.h"
#include "formats/rvx.h"
#include "platform/ui.h"
#include "tests/dialogs_test_support.h"
#include "tests/formats_test_util.h"
#include "tests/main_window_fixture.h"
#include "tests/app_state_support.h"
#include "tools/blank_eem.h"
#include "tools/emission_correction.h"
#include "tools/excitation_series.h"
#include "tools/film_thickness.h"
#include "tools/raman_bands.h"

using namespace dlgtest;
using namespace tooltest;

namespace {
// Restores the groups and curves these dialogs change, and the folder the Raman table is read from.
struct FluorGuard {
    TScatterDialogSettings scatter = ProgramSettings.ScatterDialogSettings;
    TFilmThicknessSettings film = ProgramSettings.FilmThicknessSettings;
    TExcitationSpectraSettings ex = ProgramSettings.ExcitationSpectraSettings;
    std::string program = ProgramSettings.ProgramFolder;
    std::string correctionFolder = ProgramSettings.CorrectionFolder;
    FluorGuard() { ProgramSettings.ProgramFolder = std::string(VX_SOURCE_DIR) + "/tables/"; }
    ~FluorGuard() {
        ProgramSettings.ScatterDialogSettings = scatter;
        ProgramSettings.FilmThicknessSettings = film;
        ProgramSettings.ExcitationSpectraSettings = ex;
        ProgramSettings.ProgramFolder = program;
        ProgramSettings.CorrectionFolder = correctionFolder;
        LampCurve.Free();
        CorrectionCurve.Free();
        SetFileDialogRunner(nullptr);
    }
};

// Points the per-user data folder at a fresh temporary folder for the test's duration.
struct DataFolderGuard {
    fmt_test::TempDir dir;
    std::string saved;
    bool had = false;
    DataFolderGuard() {
        if (const char* old = std::getenv("XDG_DATA_HOME")) {
            had = true;
            saved = old;
        }
        ::setenv("XDG_DATA_HOME", dir.file("share").c_str(), 1);
    }
    ~DataFolderGuard() {
        if (had) ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
        else ::unsetenv("XDG_DATA_HOME");
    }
};

TSpectrumRecord& addEmission(const std::string& title, double ex, double level = 1.0, int n = 401) {
    TSpectrumRecord& r = addRecord(title, 300, 1, std::vector<double>(n, level));
    r.ExcitationWl = ex;
    r.YKind = SpecYIntensity;
    return r;
}
}  // namespace

TEST(TRemoveStrayDia, ShowsItsGroupRemovesAndWritesBack) {
    ListGuard g;
    FluorGuard f;
    addEmission("a", 400).Color = 0x31;
    ProgramSettings.ScatterDialogSettings.Solvent = "Methanol";
    TRemoveStrayDia d;
    open(d);
    EXPECT_EQ(d.windowTitle(), "Remove scatter peaks from fluorescence");
    EXPECT_EQ(child<QComboBox>(&d, "CRamanSolvent")->currentText(), "Methanol");
    EXPECT_EQ(child<QLineEdit>(&d, "ERayleigh1")->text(), "10");
    EXPECT_EQ(child<TRadioGroup>(&d, "RInterp_type")->ItemIndex(), 2);
    EXPECT_FALSE(child<QComboBox>(&d, "SpekBox")->isEnabled());  // "treat all spectra" is on
    setCheck(&d, "CRayleigh1", true);
    setCheck(&d, "CRaman", true);
    child<QComboBox>(&d, "CRamanSolvent")->setCurrentText("Water");
    child<TRadioGroup>(&d, "RInterp_type")->SetItemIndex(0);
    setEdit(&d, "ERayleigh1", "5");
    click(&d, "OKBtn");
    EXPECT_FALSE(d.isVisible());
    ASSERT_EQ(SpectraList.Count(), 1);
    EXPECT_EQ(SpectraList[0].Color, 0x31u);
    EXPECT_EQ(SpectraList[0].Values[100], 0.0);  // 400 nm
    EXPECT_EQ(SpectraList[0].Values[130], 1.0);
    EXPECT_TRUE(ProgramSettings.ScatterDialogSettings.Rayleigh1);
    EXPECT_EQ(ProgramSettings.ScatterDialogSettings.Solvent, "Water");
    EXPECT_EQ(ProgramSettings.ScatterDialogSettings.RamanShift, 3378);
    EXPECT_EQ(ProgramSettings.ScatterDialogSettings.FillMode, 0);
    EXPECT_DOUBLE_EQ(ProgramSettings.ScatterDialogSettings.BandWidth, 5.0);
}

TEST(TRemoveStrayDia, MissingTableDisablesRamanAndCancelKeepsAll) {
    ListGuard g;
    FluorGuard f;
    DataFolderGuard data;
    ui::ScopedScriptedBackend ui;
    ProgramSettings.ProgramFolder = "/nonexistent/";
    addEmission("a", 400);
    ProgramSettings.ScatterDialogSettings.Raman = true;
    TRemoveStrayDia d;
    open(d);
    EXPECT_EQ(ui->messages, std::vector<std::string>{kRamanBandsMissingText});
    EXPECT_FALSE(child<QCheckBox>(&d, "CRaman")->isEnabled());
    EXPECT_FALSE(child<QCheckBox>(&d, "CRaman")->isChecked());
    EXPECT_FALSE(child<QComboBox>(&d, "CRamanSolvent")->isEnabled());
    setCheck(&d, "CRayleigh2", true);
    click(&d, "CancelBtn");
    EXPECT_TRUE(ProgramSettings.ScatterDialogSettings.Raman);
    EXPECT_FALSE(ProgramSettings.ScatterDialogSettings.Rayleigh2);
    EXPECT_EQ(SpectraList[0].Values, std::vector<double>(401, 1.0));
}

TEST(TRemoveStrayDia, TableInThePerUserDataFolderServesWhenTheProgramFolderHasNone) {
    ListGuard g;
    FluorGuard f;
    DataFolderGuard data;
    std::filesystem::create_directories(data.dir.file("share/varolux32"));
    data.dir.write("share/varolux32/RamanBands.csv", "Water;3378\r\nToluene;1004\r\n");
    ui::ScopedScriptedBackend ui;
    ProgramSettings.ProgramFolder = "/nonexistent/";
    addEmission("a", 400);
    ProgramSettings.ScatterDialogSettings.Solvent = "Toluene";
    TRemoveStrayDia d;
    open(d);
    EXPECT_TRUE(ui->messages.empty());
    auto* solvents = child<QComboBox>(&d, "CRamanSolvent");
    EXPECT_TRUE(solvents->isEnabled());
    ASSERT_EQ(solvents->count(), 2);
    EXPECT_EQ(solvents->currentText(), "Toluene");
    EXPECT_TRUE(child<QCheckBox>(&d, "CRaman")->isEnabled());
}

TEST(TSubtractEEMDia, LoadFitsSubtractsAndCancelRemovesTheBlank) {
    ListGuard g;
    FluorGuard f;
    fmt_test::TempDir dir;
    TSpectraList blank;
    for (int k = 0; k < 3; ++k) addRecord(blank, "b", 300, 1, std::vector<double>(401, 0.5)).ExcitationWl = 300 + 10 * k;
    const std::string file = dir.file("blank.rvx");
    SaveRvxFile(file, blank);
    for (int k = 0; k < 3; ++k) addEmission("ex" + std::to_string(k), 300 + 10 * k, 2.0);
    std::string askedTitle;
    SetFileDialogRunner([&](const TFileDialogSpec& spec) {
        askedTitle = spec.Title.toStdString();
        return TFileDialogChoice{{file}, 1};
    });
    for (bool ok : {false, true}) {
        TSubtractEEMDia d;
        open(d);
        EXPECT_EQ(child<QLabel>(&d, "LEXStart")->text(), "300");
        EXPECT_EQ(child<QLabel>(&d, "LEXStep")->text(), "10");
        EXPECT_EQ(child<QLabel>(&d, "LEMEnd")->text(), "700");
        EXPECT_EQ(child<QLabel>(&d, "LEMStep")->text(), "1.00");
        EXPECT_EQ(child<QLabel>(&d, "Lspecnumber")->text(), "3");
        EXPECT_EQ(child<QLabel>(&d, "LFilename")->text(), kNoBlankLoadedText);
        click(&d, "Button2");
        EXPECT_EQ(child<QLabel>(&d, "LFilename")->text(), QString::fromStdString("Filename: " + file));
        EXPECT_EQ(SpectraList.Count(), 6);
        click(&d, ok ? "OKBtn" : "CancelBtn");
        EXPECT_EQ(SpectraList.Count(), 3);
    }
    EXPECT_EQ(SpectraList[0].Values, std::vector<double>(401, 1.5));
    EXPECT_EQ(SpectraList[0].Title.str(), "ex0, blank subtracted");
}

TEST(TSubtractEEMDia, NoEEMDisablesOk) {
    ListGuard g;
    FluorGuard f;
    ui::ScopedScriptedBackend ui;
    addEmission("one", 300);
    addEmission("two", 310);
    TSubtractEEMDia d;
    open(d);
    EXPECT_EQ(ui->messages, std::vector<std::string>{kNotEEMText});
    EXPECT_FALSE(child<QPushButton>(&d, "OKBtn")->isEnabled());
    click(&d, "CancelBtn");
    EXPECT_EQ(SpectraList.Count(), 2);
}

TEST(TSchichtdickeDia, CalculatesIntoTheMemoAndStoresOnEveryClose) {
    ListGuard g;
    FluorGuard f;
    ui::ScopedScriptedBackend ui;
    DisplayXUnit = SpecXWavenumber;
    std::vector<double> v;
    for (int i = 0; i <= 800; ++i) v.push_back(0.5 + 0.1 * std::cos(2 * M_PI * (10000.0 - 10 * i) / 500.0));
    addRecord("film", 10000, -10, v, SpecXWavenumber).FileName = "/d/f.dat";
    ProgramSettings.FilmThicknessSettings = TFilmThicknessSettings{};
    TSchichtdickeDia d;
    d.PlotRange = [] { return std::pair<double, double>(2600.4, 9400.6); };
    open(d);
    EXPECT_EQ(child<QLineEdit>(&d, "EAnf")->text(), "2600");  // whole numbers, as Calculate! reads them
    EXPECT_EQ(child<QLineEdit>(&d, "EEnde")->text(), "9401");
    EXPECT_EQ(child<QLabel>(&d, "Label7")->text(), "1/cm");
    EXPECT_EQ(child<QLineEdit>(&d, "EBrechindex")->text(), "1.4914");
    click(&d, "Button3");
    const QString memo = child<QPlainTextEdit>(&d, "Memo1")->toPlainText();
    EXPECT_TRUE(memo.contains("=>  film thickness:  6.705 µm  <=")) << memo.toStdString();
    EXPECT_EQ(ui->clipboard, "f.dat\t6.705\t0\t µm");
    click(&d, "Button2");
    EXPECT_EQ(ui->clipboard.substr(0, 20), "filepath: /d/\r\nfilen");
    setEdit(&d, "EWinkel", "30");
    setEdit(&d, "EAnf", "3000");
    click(&d, "CancelBtn");
    EXPECT_DOUBLE_EQ(ProgramSettings.FilmThicknessSettings.IncidenceAngle, 30);
    EXPECT_EQ(ProgramSettings.FilmThicknessSettings.RangeStart, 3000);
    EXPECT_EQ(ProgramSettings.FilmThicknessSettings.RangeEnd, 9401);
    EXPECT_EQ(ProgramSettings.FilmThicknessSettings.LastDisplayUnit, SpecXWavenumber);
    // Opened again, the stored range comes back.
    open(d);
    EXPECT_EQ(child<QLineEdit>(&d, "EAnf")->text(), "3000");
    EXPECT_EQ(SpectraList.Count(), 1);
}

TEST(TPolGradDia, ReducedByDefaultDegreeOnChoice) {
    ListGuard g;
    addRecord("p", 400, 1, std::vector<double>(11, 3.0)).SpecType = "ccdfy";
    addRecord("s_ccdfx", 400, 1, std::vector<double>(11, 1.0)).SpecType = "ccdfx";
    TPolGradDia d;
    open(d);
    EXPECT_TRUE(child<QRadioButton>(&d, "wGesamtspektrum")->isChecked());
    setCombo(&d, "SenkSpek", 1);
    click(&d, "OKBtn");
    open(d);
    setCombo(&d, "SenkSpek", 1);
    click(&d, "wPolarisationsgrad");
    click(&d, "OKBtn");
    ASSERT_EQ(SpectraList.Count(), 4);
    EXPECT_EQ(SpectraList[2].Title.str(), "s_ccdfg");
    EXPECT_EQ(SpectraList[2].Values, std::vector<double>(11, 5.0));
    EXPECT_EQ(SpectraList[3].Title.str(), "s_polccdf");
    EXPECT_EQ(SpectraList[3].Values, std::vector<double>(11, 0.5));
}

TEST(TSetExWlDia, EndFollowsStartAndStepAndOkAssigns) {
    ListGuard g;
    for (int i = 0; i < 7; ++i) addRecord("s" + std::to_string(i), 400, 1, ramp(5));
    TSetExWlDia d;
    open(d);
    EXPECT_EQ(child<QLineEdit>(&d, "EExWlAnfang")->text(), "");
    setCombo(&d, "SpekbereichAnfang", 3);
    auto* start = child<QLineEdit>(&d, "EExWlAnfang");
    auto* step = child<QLineEdit>(&d, "EStepWidth");
    start->setText("300");
    emit start->textEdited(start->text());
    step->setText("5");
    emit step->textEdited(step->text());
    EXPECT_EQ(child<QLabel>(&d, "LExWlEnd")->text(), "315");  // spectra 3..6
    step->setText("-");
    emit step->textEdited(step->text());
    EXPECT_EQ(child<QLabel>(&d, "LExWlEnd")->text(), "315");
    step->setText("5");
    emit step->textEdited(step->text());
    setCheck(&d, "CheckBox1", true);
    click(&d, "OKBtn");
    EXPECT_EQ(SpectraList[3].ExcitationWl, 300);
    EXPECT_EQ(SpectraList[6].ExcitationWl, 315);
    EXPECT_EQ(SpectraList[5].Title.str(), "310");
    EXPECT_EQ(SpectraList[2].ExcitationWl, -1);
}

TEST(TErregSpekDia, ReadsItsEditsAndKeepsTheResults) {
    ListGuard g;
    FluorGuard f;
    ui::ScopedScriptedBackend ui;
    for (int k = 0; k < 4; ++k) addEmission("e", 300 + 10 * k, 1.0 + k);
    ProgramSettings.ExcitationSpectraSettings = TExcitationSpectraSettings{};
    TErregSpekDia d;
    open(d);
    EXPECT_EQ(child<QLineEdit>(&d, "DetWellAnf")->text(), "500");
    EXPECT_TRUE(child<QCheckBox>(&d, "FluospekLoeschBox")->isChecked());
    setEdit(&d, "DetWellAnf", "400");
    setEdit(&d, "DetWellEnde", "600");
    setEdit(&d, "ErregspekSchrittweite", "2.5");
    click(&d, "OKBtn");
    EXPECT_EQ(ui->messages, std::vector<std::string>{kWholeStepsText});
    ASSERT_EQ(d.Results.size(), 41u);  // the previous step 5 holds
    EXPECT_EQ(d.Results[0]->Values, (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(ProgramSettings.ExcitationSpectraSettings.DetectionFrom, 400);
    EXPECT_EQ(ProgramSettings.ExcitationSpectraSettings.DetectionStep, 5);
    EXPECT_EQ(SpectraList.Count(), 4);  // the command stores them
}

TEST(TMatrixDia, LampFlagFollowsTheCurveAndOkCorrects) {
    ListGuard g;
    FluorGuard f;
    ui::ScopedScriptedBackend ui;
    for (int k = 0; k < 3; ++k) addEmission("e", 300 + 10 * k, 4.0);
    LampCurve.Record = makeRecord("lamp", 250, 1, std::vector<double>(200, 2.0));
    TMatrixDia d;
    open(d);
    EXPECT_TRUE(child<QCheckBox>(&d, "LampSpekCheckBox")->isChecked());
    EXPECT_EQ(child<QComboBox>(&d, "SpekbereichEnde")->currentIndex(), 2);
    setCombo(&d, "SpekbereichAnfang", 1);
    click(&d, "OKBtn");
    ASSERT_EQ(d.Results.size(), 2u);
    EXPECT_EQ(d.Results[0]->Values, std::vector<double>(401, 2.0));
    // Cancel in the lamp's open dialog clears the lamp.
    SetFileDialogRunner([](const TFileDialogSpec&) { return TFileDialogChoice{}; });
    open(d);
    click(&d, "LampSpekLaden");
    EXPECT_FALSE(child<QCheckBox>(&d, "LampSpekCheckBox")->isChecked());
    EXPECT_FALSE(LampCurve.Loaded());
    click(&d, "OKBtn");
    EXPECT_TRUE(d.Results.empty());
    EXPECT_EQ(ui->messages, std::vector<std::string>{kNoLampText});
}

// The room a closed combo box gives its text.
int textRoom(const QComboBox* box) {
    QStyleOptionComboBox opt;
    opt.initFrom(box);
    opt.editable = box->isEditable();
    return box->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, box).width();
}

TEST(ExcitationSeriesDialogs, ClosedSpectrumCombosShowTheWholeTitles) {
    ListGuard g;
    FluorGuard f;
    LampCurve.Record = makeRecord("lamp", 250, 1, std::vector<double>(200, 2.0));
    TSetExWlDia assign;
    TMatrixDia matrix;
    for (const char* name : {"a", "EEM Fluorescence, EX=350", "EEM Fluorescence of the second sample, EX=355"}) {
        SCOPED_TRACE(name);
        SpectraList.Clear();
        for (int k = 0; k < 3; ++k) addEmission(name, 300 + 10 * k, 4.0);
        SpectraList[1].Title = std::string(name) + "0";  // the longest entry is not the selected one
        for (QDialog* d : {static_cast<QDialog*>(&assign), static_cast<QDialog*>(&matrix)}) {
            open(*d);
            for (const char* combo : {"SpekbereichAnfang", "SpekbereichEnde"}) {
                const auto* box = child<QComboBox>(d, combo);
                const QFontMetrics fm(box->font());
                int widest = 0;
                for (int i = 0; i < box->count(); ++i) widest = std::max(widest, fm.horizontalAdvance(box->itemText(i)));
                EXPECT_GE(textRoom(box), widest) << d->objectName().toStdString() << " " << combo;
            }
            d->hide();
        }
    }
}

TEST(TKorrDia, LoadsTheCurveKeepsItAndCorrects) {
    ListGuard g;
    FluorGuard f;
    fmt_test::TempDir dir;
    std::string text;
    for (int x = 400; x <= 600; ++x) text += std::to_string(x) + " 2\r\n";
    const std::string file = dir.write("sens.fak", text);
    std::string shownFolder;
    SetFileDialogRunner([&](const TFileDialogSpec& spec) {
        EXPECT_EQ(spec.Title.toStdString(), kCorrectionDialogTitle);
        shownFolder = spec.Start.toStdString();
        return TFileDialogChoice{{file}, 1};
    });
    addRecord("a", 300, 1, std::vector<double>(401, 6.0));
    ProgramSettings.CorrectionFolder = "/start/";
    {
        TKorrDia d;
        open(d);
        EXPECT_EQ(d.windowTitle(), "Correction of emission/detector sensitivity");
        EXPECT_EQ(child<QLabel>(&d, "LoadMessage")->text(), kNoCorrectionCurveLoaded);
        click(&d, "LoadButton");
        EXPECT_EQ(shownFolder, "/start/");
        EXPECT_EQ(child<QLabel>(&d, "LoadMessage")->text(), QString::fromStdString("correction by: \r\n" + file));
        click(&d, "AlleKorrigieren");
        EXPECT_TRUE(child<QCheckBox>(&d, "OriginalLoeschen")->isChecked());
        click(&d, "AlleKorrigieren");
        EXPECT_FALSE(child<QCheckBox>(&d, "OriginalLoeschen")->isChecked());
        click(&d, "CancelBtn");
        EXPECT_EQ(SpectraList.Count(), 1);
    }
    // The curve stays loaded for the next opening.
    TKorrDia d;
    open(d);
    EXPECT_TRUE(CorrectionCurve.Loaded());
    click(&d, "OKBtn");
    EXPECT_TRUE(d.Corrected);
    ASSERT_EQ(SpectraList.Count(), 2);
    EXPECT_EQ(SpectraList[1].Values, std::vector<double>(201, 3.0));
}

// ----- the commands

namespace {
class FluorCommands : public MainWindowTest {};
}  // namespace

TEST_F(FluorCommands, EveryEntryIsConnected) {
    for (const char* a : {"EmissionSensitivityCorrection1", "ExcitationWavelengthAssignment1",
                          "CorrectionofExcitationIntensity1", "RemoveScatter1", "SubtractBlankEEM1",
                          "CalculateExcitationSpectra1", "FilmThickness1", "DegreeofPolarisation1"})
        EXPECT_TRUE(win->Action(a)->isEnabled()) << a;
    EXPECT_NE(fluorcmd::FilmDialog(*win), nullptr);
}

TEST_F(FluorCommands, ExcitationSpectraReplaceTheSeriesAndSayWhat) {
    for (int k = 0; k < 3; ++k) addEmission("e", 300 + 10 * k);
    win->ReplotSpectra();
    SetModalRunner([](QDialog& d) {
        d.show();
        QApplication::processEvents();
        EXPECT_EQ(d.windowTitle(), "Calculation of Excitation Spectra");
        setEdit(&d, "DetWellAnf", "500");
        setEdit(&d, "DetWellEnde", "520");
        setEdit(&d, "ErregspekSchrittweite", "10");
        d.accept();
        return d.result();
    });
    trigger("CalculateExcitationSpectra1");
    EXPECT_EQ(SpectraList.Count(), 3);
    EXPECT_EQ(SpectraList[0].PointCount(), 3);
    EXPECT_EQ(win->StatusText(1), kExSpectraDeletedText);
    EXPECT_EQ(plot->KurvenAnzahl(), 3);
}

// A status text belongs to the command that wrote it: the next command starts from an empty panel 1,
// whichever way its entry is connected (menu table, dialog command, toggle of the spectroscope view).
TEST_F(FluorCommands, TheLastCommandsStatusTextGoesWithTheNextCommand) {
    for (int k = 0; k < 3; ++k) addEmission("e", 300 + 10 * k);
    win->ReplotSpectra();
    SetModalRunner([](QDialog& d) {
        d.show();
        QApplication::processEvents();
        if (d.objectName() != "ErregSpekDia") {
            d.reject();
            return d.result();
        }
        setEdit(&d, "DetWellAnf", "500");
        setEdit(&d, "DetWellEnde", "520");
        setEdit(&d, "ErregspekSchrittweite", "10");
        child<QCheckBox>(&d, "FluospekLoeschBox")->setChecked(false);
        d.accept();
        return d.result();
    });
    trigger("CalculateExcitationSpectra1");
    ASSERT_EQ(win->StatusText(1), " Excitation Spectra Calculated!");
    trigger("Gridonoff1");
    EXPECT_EQ(win->StatusText(1), "");
    for (const char* next : {"ShowLegend1", "Sort1", "ShowPeakLabels1", "ShowSpectroscopeView", "Gridonoff1"}) {
        win->SetStatusText(1, " Excitation Spectra Calculated!");
        trigger(next);
        EXPECT_EQ(win->StatusText(1), "") << next;
    }
}

TEST_F(FluorCommands, SeriesCommandsNeedExcitationWavelengths) {
    addEmission("e", 300);
    addEmission("no excitation", -1);
    win->ReplotSpectra();
    int shown = 0;
    SetModalRunner([&](QDialog& d) {
        ++shown;
        d.reject();
        return d.result();
    });
    trigger("CalculateExcitationSpectra1");
    trigger("CorrectionofExcitationIntensity1");
    EXPECT_EQ(shown, 0);
    trigger("ExcitationWavelengthAssignment1");
    EXPECT_EQ(shown, 1);
}

TEST_F(FluorCommands, IntensityCorrectionWithoutLampFails) {
    ui::ScopedScriptedBackend ui;
    LampCurve.Free();
    for (int k = 0; k < 3; ++k) addEmission("e", 300 + 10 * k);
    win->ReplotSpectra();
    SetModalRunner([](QDialog& d) {
        d.show();
        QApplication::processEvents();
        d.accept();
        return d.result();
    });
    trigger("CorrectionofExcitationIntensity1");
    EXPECT_EQ(win->StatusText(1), "failed");
    EXPECT_EQ(SpectraList.Count(), 3);
}
