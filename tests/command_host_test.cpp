// Menu commands run against a small host of their own, without the main window: a bare window with a
// plot, a list and display units of the host's own, and a log of what the command told its host.
#include <gtest/gtest.h>

#include <QDialog>
#include <QWidget>

#include <string>
#include <utility>
#include <vector>

#include "app/command_host.h"
#include "app/core_commands.h"
#include "app/dialogs/tool_dialog.h"
#include "app/export_commands.h"
#include "app/file_filters.h"
#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "app/tool_commands.h"
#include "core/spectra_list.h"
#include "platform/ui.h"
#include "tests/formats_test_util.h"
#include "tests/tools_test_support.h"

namespace {

class TTestHost : public TCommandHost {
public:
    TTestHost() : plot(new TXYPlot(&window)) {}

    QWidget* Window() override { return &window; }
    TXYPlot* XYPlot() const override { return plot; }
    QAction* Action(const std::string&) const override { return nullptr; }  // no menus
    QString StatusText(int panel) const override { return status[panel]; }
    void SetStatusText(int panel, const QString& text, const QString& = QString()) override {
        status[panel] = text;
        if (panel == 1) infoLog.push_back(text.toStdString());
    }
    void ShowProgress(int value, int maximum) override { progress.emplace_back(value, maximum); }
    TSpectraList& Spectra() override { return list; }
    TDisplayState Display() const override { return display; }
    void SetDisplay(const TDisplayState& d) override { display = d; }
    // The curve count follows the list; the steps are kept for the test to read.
    void ReplotSpectra(const TReplotSteps& steps) override {
        replots.push_back(steps);
        plot->SetKurvenAnzahl(list.Count());
        status[0] = QString::number(list.Count()) + steps.CountWord;
    }
    void SetWindowColor(uint32_t) override {}

    // Spectra loaded as the Open command leaves them: one curve each.
    void Load(int count) {
        for (int i = 0; i < count; ++i) tooltest::addRecord(list, "s" + std::to_string(i), 400, 1, tooltest::ramp(41));
        plot->SetKurvenAnzahl(list.Count());
    }

    QWidget window;
    TXYPlot* plot;
    TSpectraList list;
    TDisplayState display;
    QString status[3];
    std::vector<std::string> infoLog;  // every text panel 1 was given, in order
    std::vector<std::pair<int, int>> progress;
    std::vector<TReplotSteps> replots;
};

class CommandHostTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetFileDialogRunner(nullptr);
        SetModalRunner(nullptr);
    }
    ui::ScopedScriptedBackend ui_;
    TTestHost host;
};

TEST_F(CommandHostTest, SmoothWorksOnTheHostsListAndShowsItsProgressThere) {
    host.Load(2);
    Smooth1Click(host);
    EXPECT_EQ(tooltest::titles(host.list), (std::vector<std::string>{"s0", "s1", "s0\t smoothed", "s1\t smoothed"}));
    ASSERT_GE(host.progress.size(), 3u);
    EXPECT_EQ(host.progress.front(), (std::pair<int, int>{0, 1000}));
    EXPECT_EQ(host.progress.back(), (std::pair<int, int>{-1, 0}));  // hidden at the end
    for (std::size_t i = 1; i + 1 < host.progress.size(); ++i)
        EXPECT_GE(host.progress[i].first, host.progress[i - 1].first) << i;
    ASSERT_EQ(host.replots.size(), 1u);
    EXPECT_STREQ(host.replots[0].CountWord, " Spectra");
    EXPECT_EQ(host.status[0], "4 Spectra");
    EXPECT_EQ(host.status[1], "");
    EXPECT_TRUE(SpectraList.Empty());  // the program's own list is not the one worked on
}

TEST_F(CommandHostTest, WithoutCurvesACommandOnlySaysSo) {
    Smooth1Click(host);
    Normalize1Click(host);
    EXPECT_EQ(host.infoLog, (std::vector<std::string>{kNoSpectrumLoadedText, kNoSpectrumLoadedText}));
    EXPECT_TRUE(host.progress.empty());
    EXPECT_TRUE(host.replots.empty());
}

// Save for GnuPlot: the file dialog is answered by the script, the name gets its extension, and the
// outcome of the gnuplot dialog is told in panel 1.
TEST_F(CommandHostTest, SaveForGnuPlotNamesTheFileAndReportsInPanel1) {
    fmt_test::TempDir dir;
    const std::string savedFolder = ProgramSettings.SaveFolder, savedName = ProgramSettings.GnuplotSettings.FileName;
    ConnectExportCommands(host);  // the gnuplot dialog, as a child of the host's window
    host.Load(1);
    ProgramSettings.SaveFolder = "/start/";
    std::vector<TFileDialogSpec> asked;
    SetFileDialogRunner([&](const TFileDialogSpec& spec) {
        asked.push_back(spec);
        return TFileDialogChoice{{dir.file("curves.txt")}, 1};
    });
    int answer = QDialog::Rejected;
    std::vector<std::string> shown;
    SetModalRunner([&](QDialog& d) {
        shown.push_back(d.objectName().toStdString());
        return answer;
    });

    exportcmd::SaveforGnuPlot1Click(host);
    answer = QDialog::Accepted;
    exportcmd::SaveforGnuPlot1Click(host);

    ASSERT_EQ(asked.size(), 2u);
    EXPECT_STREQ(asked[0].ObjectName, "SavePLT");
    EXPECT_EQ(asked[0].Title, "Save for GnuPlot");
    EXPECT_EQ(asked[0].Start, "/start/");
    EXPECT_EQ(shown, (std::vector<std::string>{"GnuDia", "GnuDia"}));
    EXPECT_EQ(ProgramSettings.GnuplotSettings.FileName, dir.file("curves.plt"));
    EXPECT_EQ(host.infoLog, (std::vector<std::string>{"failed!", "plt-file successfully saved!"}));

    // In eV the command refuses before any dialog.
    host.display.DisplayXUnit = SpecXElectronVolt;
    exportcmd::SaveforGnuPlot1Click(host);
    EXPECT_EQ(asked.size(), 2u);
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0], "not yet implemented \r\nwith \"eV\" x axis type!");
    ProgramSettings.SaveFolder = savedFolder;
    ProgramSettings.GnuplotSettings.FileName = savedName;
}

// Remove All asks first, empties the host's list, and shows absorbance again; the curves that stand are
// only counted and painted at once.
TEST_F(CommandHostTest, RemoveAllEmptiesTheHostsListAfterTheQuestion) {
    host.Load(2);
    host.display.DisplayYMode = SpecYTransmittance;
    ui_->answers = {ui::Answer::No};
    toolcmd::Allelschen2Click(host);
    EXPECT_EQ(host.list.Count(), 2);
    EXPECT_TRUE(host.replots.empty());

    ui_->answers = {ui::Answer::Yes};
    toolcmd::Allelschen2Click(host);
    EXPECT_TRUE(host.list.Empty());
    EXPECT_EQ(host.display.DisplayYMode, SpecYAbsorbance);
    EXPECT_FALSE(host.plot->ZweiteYAchse);
    ASSERT_EQ(host.replots.size(), 1u);
    const TReplotSteps& steps = host.replots[0];
    EXPECT_EQ(steps.Curves, TReplotSteps::TCurves::CountOnly);
    EXPECT_FALSE(steps.NewLayout);
    EXPECT_TRUE(steps.AxisTitles);
    EXPECT_TRUE(steps.RepaintNow);
    EXPECT_EQ(host.status[0], "0 Spectra");
}

}  // namespace
