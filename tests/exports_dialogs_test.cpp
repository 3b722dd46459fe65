// The export dialogs opened offscreen through their menu commands and driven by their controls'
// object names: batch export, RRUFF export and the gnuplot options.
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>

#include <filesystem>
#include <fstream>

#include "app/dialogs/TRRUFFDia.h"
#include "app/export_commands.h"
#include "app/program_state.h"
#include "platform/ui.h"
#include "tests/dialogs_test_support.h"
#include "tests/main_window_fixture.h"
#include "tests/app_state_support.h"

using namespace dlgtest;
using namespace tooltest;
namespace fs = std::filesystem;

namespace {

class ExportDialogs : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        dir = fs::temp_directory_path() /
              ("vxexpdlg" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        ProgramSettings.MultiSaveSettings = TMultiSave{};
        ProgramSettings.GnuplotSettings = TGnuplotSettings{};
        MainWindowTest::TearDown();
        fs::remove_all(dir);
    }
    void twoSpectra() {
        addRecord("first", 400, 1, std::vector<double>(101, 0.5));
        addRecord("second 0.5", 400, 1, std::vector<double>(101, 0.25));
        win->StandardReplot();
        plot->Repaint();
        QApplication::processEvents();
    }
    std::string folder() const { return dir.string() + "/"; }

    fs::path dir;
};

TEST_F(ExportDialogs, BatchExport) {
    ui::ScopedScriptedBackend ui;
    twoSpectra();
    const std::string outside = "../" + dir.filename().string() + "_outside";
    bool shown = false;
    SetModalRunner([&](QDialog& d) {
        open(d);
        shown = true;
        EXPECT_EQ(d.windowTitle(), "Export spectral data");
        EXPECT_TRUE(child<QAbstractButton>(&d, "SaveType_2")->isChecked());  // CSV by default
        setEdit(&d, "EFileLocation", QString::fromStdString(folder()));
        setCheck(&d, "CheckBoxLegends", true);
        click(&d, "Button1");
        const QString memo = child<QPlainTextEdit>(&d, "Memo1")->toPlainText();
        EXPECT_TRUE(memo.endsWith("export finished!")) << memo.toStdString();
        EXPECT_FALSE(child<QProgressBar>(&d, "ProgressBar1")->isVisible());

        // Multi-file: the numbering box names the one file, legends are hidden.
        click(&d, "SaveOutput_1");
        EXPECT_EQ(child<QAbstractButton>(&d, "CheckBoxSpekName")->text(), "new multi-file name");
        EXPECT_TRUE(child<QAbstractButton>(&d, "CheckBoxSpekName")->isChecked());
        EXPECT_FALSE(child<QWidget>(&d, "CheckBoxLegends")->isVisible());
        // A typed name that leads out of the folder is refused before anything is written.
        setEdit(&d, "ESpekname", QString::fromStdString(outside));
        click(&d, "Button1");
        EXPECT_EQ(ui->messages, std::vector<std::string>{"The new multi-file name \"" + outside +
                                                         "\" must not hold \"/\" or \"..\": nothing was exported."});
        EXPECT_EQ(child<QLineEdit>(&d, "ESpekname")->text().toStdString(), outside);
        setEdit(&d, "ESpekname", "together");
        click(&d, "Button1");
        click(&d, "CloseButton");
        return d.result();
    });
    trigger("BatchExportData1");
    EXPECT_TRUE(shown);
    EXPECT_TRUE(fs::exists(folder() + "first.csv"));
    EXPECT_TRUE(fs::exists(folder() + "second 0.5.csv"));
    EXPECT_TRUE(fs::exists(folder() + "together.csv"));
    EXPECT_FALSE(fs::exists(dir.string() + "_outside.csv"));
    fs::remove(dir.string() + "_outside.csv");
    EXPECT_EQ(ProgramSettings.MultiSaveSettings.Output, 1);
    EXPECT_EQ(ProgramSettings.MultiSaveSettings.BaseName, "together");
    EXPECT_EQ(ProgramSettings.SaveFolder, folder());

    // Fewer than two curves: nothing.
    shown = false;
    SpectraList.Clear();
    addRecord("only", 400, 1, std::vector<double>(11, 0.5));
    win->StandardReplot();
    trigger("BatchExportData1");
    EXPECT_FALSE(shown);
}

TEST_F(ExportDialogs, RruffExport) {
    ui::ScopedScriptedBackend ui;
    twoSpectra();
    SpectraList[1].FileName = "/data/calcite.txt";
    ui->answers = {ui::Answer::Yes};  // save a spectrum that is not a Raman one anyway
    std::vector<std::string> asked;  // the save dialog's object name and start folder, each time
    SetFileDialogRunner([&](const TFileDialogSpec& spec) {
        asked.push_back(std::string(spec.ObjectName) + " " + spec.Start.toStdString());
        return TFileDialogChoice{{folder() + "calcite.txt"}, 1};
    });
    int result = -1;
    SetModalRunner([&](QDialog& d) {
        open(d);
        EXPECT_EQ(d.windowTitle(), "Choose spectrum to save as RRUFF file");
        EXPECT_EQ(child<QLabel>(&d, "TTextfeld")->text(), "no RRUFF data available!");
        setCombo(&d, "SpekBox", 1);
        EXPECT_EQ(child<QLineEdit>(&d, "EName")->text(), "calcite");
        EXPECT_EQ(child<QLineEdit>(&d, "ESample")->text(), "SAMP001");
        setCheck(&d, "CCopyValues", false);
        EXPECT_EQ(child<QLabel>(&d, "TTextfeld")->text(), " ");
        setEdit(&d, "ELocality", "Iceland");
        click(&d, "SaveButton");
        result = d.result();
        return result;
    });
    trigger("SaveforRRUFF1");
    EXPECT_EQ(result, QDialog::Accepted);
    ASSERT_FALSE(ui->messages.empty());
    EXPECT_EQ(ui->messages.front(), "Spectrum not classified as Raman type!\r\nSave anyways?");
    std::ifstream f(folder() + "calcite.rruff", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(f)), {});
    EXPECT_EQ(text.rfind("##NAMES=calcite\r\n##LOCALITY=Iceland\r\n##RRUFFID=SAMP001\r\n", 0), 0u) << text;
    EXPECT_EQ(ProgramSettings.SaveFolder, folder());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].rfind("SaveRRUFF ", 0), 0u) << asked[0];

    // The file is there now: No to the question keeps it and the dialog open.
    ui->messages.clear();
    ui->answers = {ui::Answer::Yes, ui::Answer::No};
    SetModalRunner([&](QDialog& d) {
        open(d);
        setCombo(&d, "SpekBox", 1);
        setEdit(&d, "ELocality", "Norway");
        click(&d, "SaveButton");
        result = d.isVisible() ? -1 : d.result();
        d.reject();
        return result;
    });
    trigger("SaveforRRUFF1");
    EXPECT_EQ(result, -1);
    ASSERT_EQ(ui->messages.size(), 2u);
    EXPECT_EQ(ui->messages[1], folder() + "calcite.rruff already exists.\r\nDo you want to replace it?");
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1], "SaveRRUFF " + folder());
    std::ifstream again(folder() + "calcite.rruff", std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), {}), text);
}

TEST_F(ExportDialogs, GnuplotOptions) {
    ui::ScopedScriptedBackend ui;
    twoSpectra();
    SetFileDialogRunner([&](const TFileDialogSpec&) { return TFileDialogChoice{{folder() + "plot.PLT"}, 1}; });
    ProgramSettings.GnuplotSettings.CommandLines = {"set grid"};
    SetModalRunner([&](QDialog& d) {
        open(d);
        EXPECT_EQ(d.windowTitle(), "Gnuplot Options");
        EXPECT_TRUE(child<QAbstractButton>(&d, "XAchsenBeschriftung_0")->isChecked());
        EXPECT_TRUE(child<QAbstractButton>(&d, "YAchsenBeschriftung_2")->isChecked());  // no absorbing source
        EXPECT_EQ(child<QPlainTextEdit>(&d, "Befehlliste")->toPlainText(), "set grid");
        EXPECT_FALSE(child<QWidget>(&d, "Befehlliste")->isEnabled());
        setCheck(&d, "BefehlCheckBox1", true);
        EXPECT_TRUE(child<QWidget>(&d, "Befehlliste")->isEnabled());
        setEdit(&d, "Titelbox", "My \"plot\"");
        click(&d, "PSOutput_1");
        click(&d, "OKBtn");
        return d.result();
    });
    trigger("SaveforGnuPlot1");
    EXPECT_EQ(win->StatusText(1), "plt-file successfully saved!");
    EXPECT_EQ(ProgramSettings.GnuplotSettings.FileName, folder() + "plot.PLT");
    EXPECT_TRUE(ProgramSettings.GnuplotSettings.PostScriptOutput);
    EXPECT_TRUE(ProgramSettings.GnuplotSettings.CommandsOn);
    std::ifstream f(folder() + "plot.PLT", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(f)), {});
    EXPECT_NE(text.find("set title \"My \\\"plot\\\"\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nset grid\r\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(folder() + "plot.tat"));

    // Cancel: "failed!". The file is there now, so replacing it is asked first.
    SetModalRunner([](QDialog& d) {
        open(d);
        d.reject();
        return d.result();
    });
    ui->answers = {ui::Answer::Yes};
    ui->messages.clear();
    trigger("SaveforGnuPlot1");
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0], folder() + "plot.PLT already exists.\r\nDo you want to replace it?");
    EXPECT_EQ(win->StatusText(1), "failed!");

    // Electron volts: refused before anything is asked.
    bool asked = false;
    SetFileDialogRunner([&](const TFileDialogSpec&) {
        asked = true;
        return TFileDialogChoice{};
    });
    DisplayXUnit = SpecXElectronVolt;
    ui->messages.clear();
    trigger("SaveforGnuPlot1");
    DisplayXUnit = SpecXNanometer;
    EXPECT_FALSE(asked);
    EXPECT_EQ(ui->messages, (std::vector<std::string>{"not yet implemented \r\nwith \"eV\" x axis type!"}));
}

}  // namespace
