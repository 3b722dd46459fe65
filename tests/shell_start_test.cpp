// Start-up, exit and the window's own events.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <cstdlib>
#include <memory>

#include "app/TMainwin.h"
#include "app/app_version.h"
#include "app/dialogs/TSStart.h"
#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "app/qt_ui_backend.h"
#include "app/recent_files.h"
#include "app/window_placement.h"
#include "app_test_support.h"
#include "core/units.h"
#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/ui.h"

namespace {

class ShellStart : public ::testing::Test {
protected:
    void SetUp() override { AppTestSetUp(); }
    ui::ScopedScriptedBackend ui_;
};

TEST_F(ShellStart, StartsEmptyWithCaptionDefaultsAndEmptyPlot) {
    // A stale setting from an earlier window must not survive a new start.
    DisplayXUnit = SpecXElectronVolt;
    ProgramSettings.SpikeSettings.Threshold = 1.0;
    TMainwin w;
    EXPECT_EQ(w.windowTitle(), "Varolux32 version 1.72.2p");
    EXPECT_EQ(w.StatusText(0), "0 Spectra");
    EXPECT_EQ(DisplayXUnit, SpecXNanometer);
    EXPECT_EQ(DisplayYMode, SpecYAbsorbance);
    EXPECT_DOUBLE_EQ(ProgramSettings.SpikeSettings.Threshold, 5.6);
    EXPECT_EQ(ProgramSettings.ScatterDialogSettings.RamanShift, 3378);
    EXPECT_EQ(ProgramSettings.AdvBaselineSettings.ScatteringSpread, -5);
    TXYPlot& p = *w.XYPlot();
    EXPECT_EQ(p.KurvenAnzahl(), 0);
    EXPECT_DOUBLE_EQ(p.MinXValue, 300);
    EXPECT_DOUBLE_EQ(p.MaxXValue, 900);
    EXPECT_DOUBLE_EQ(p.MinY1Value, 0);
    EXPECT_DOUBLE_EQ(p.MaxY1Value, 1);
    EXPECT_DOUBLE_EQ(p.MinY2Value, -0.6);
    EXPECT_DOUBLE_EQ(p.MaxY2Value, 0.6);
    EXPECT_FALSE(p.ZweiteYAchse);
    EXPECT_TRUE(p.Legende);
    EXPECT_TRUE(p.GridOn);
    EXPECT_TRUE(p.DrawAsLines);
    // The stored options end with the axis titles brought up to date; with no spectrum loaded that
    // clears them.
    EXPECT_TRUE(p.XachsenText.isEmpty());
    EXPECT_TRUE(p.X2achsenText.isEmpty());
    EXPECT_TRUE(p.Y1achsenText.isEmpty());
    EXPECT_EQ(p.PlotFont.family(), "Arial");
    EXPECT_EQ(p.PlotFont.pointSize(), 10);
    EXPECT_TRUE(w.Action("ShowLegend1")->isChecked());
    EXPECT_EQ(ProgramSettings.SaveFolder, ProgramSettings.ProgramFolder);
    EXPECT_EQ(ProgramSettings.ProgramFolder.back(), '/');
    EXPECT_TRUE(ProgramSettings.OpenFolder.empty());
    EXPECT_EQ(Mainwin(), &w);
}

// The caption names the program once. Qt appends a display name set by the program to every window
// title that does not end with it, so the application carries its name and no display name: the
// display name follows the name.
TEST_F(ShellStart, CaptionNamesTheProgramOnce) {
    TMainwin w;
    EXPECT_EQ(w.windowTitle(), kMainCaption);
    EXPECT_EQ(w.windowTitle().count("Varolux32"), 1);
    EXPECT_EQ(QApplication::applicationName(), kProgramName);
    EXPECT_EQ(QApplication::applicationDisplayName(), kProgramName);  // the message boxes' caption
    QApplication::setApplicationName("probe");
    EXPECT_EQ(QApplication::applicationDisplayName(), "probe");
    QApplication::setApplicationName(kProgramName);
}

// The Qt back end of the ui layer writes into the status bar of the window that set its sink, and
// drops the texts once no window is there; a window that goes leaves a later window's sink in place.
TEST_F(ShellStart, UiStatusAndProgressGoToTheLivingWindow) {
    QtUiBackend backend;
    auto first = std::make_unique<TMainwin>();
    backend.setStatus(1, "removing spikes ");
    EXPECT_EQ(first->StatusText(1), "removing spikes ");
    QProgressBar* bar = first->ProgressBar();
    backend.setProgress(2500, 10000);
    EXPECT_TRUE(bar->isVisibleTo(first.get()));
    EXPECT_EQ(bar->maximum(), 10000);
    EXPECT_EQ(bar->value(), 2500);
    backend.setProgress(-1, 0);
    EXPECT_FALSE(bar->isVisibleTo(first.get()));

    auto second = std::make_unique<TMainwin>();
    first.reset();
    backend.setStatus(1, "second");
    EXPECT_EQ(second->StatusText(1), "second");
    backend.setProgress(1, 4);
    EXPECT_EQ(second->ProgressBar()->value(), 1);
    second.reset();
    backend.setStatus(1, "nobody");  // dropped, no window to reach
    backend.setProgress(0, 1);
}

TEST_F(ShellStart, MissingCommandLineFileIsIgnoredSilently) {
    TMainwin w({"/no/such/file.fak", "second"});
    EXPECT_EQ(w.StatusText(0), "0 Spectra");
    EXPECT_TRUE(ui_->messages.empty());
    EXPECT_TRUE(w.PendingFiles.empty());
}

TEST_F(ShellStart, ExitWritesPlacementAndRecentFilesOnceByEitherRoute) {
    {
        TMainwin w;
        w.RecentFiles().Add("/data/a.rvx");
        w.setGeometry(40, 50, 700, 500);
        w.Beenden1Click();
        EXPECT_EQ(w.PlacementWrites(), 1);
        w.close();  // the close handler must not write a second time
        EXPECT_EQ(w.PlacementWrites(), 1);
        EXPECT_EQ(SpectraList.Count(), 0);
    }
    auto pos = registry::readString(registry::Hive::CurrentUser, kFilesKey, "NormPos");
    ASSERT_TRUE(pos);
    auto p = ParsePlacementRect(*pos);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Right - p->Left, 700);
    EXPECT_EQ(p->Bottom - p->Top, 500);
    EXPECT_EQ(registry::readString(registry::Hive::CurrentUser, kFilesKey, "MRU0"), "/data/a.rvx");

    // The other route: closing the window; destroying it afterwards writes nothing more.
    {
        TMainwin w;
        EXPECT_EQ(w.RecentFiles().Names(), std::vector<std::string>{"/data/a.rvx"});
        w.RecentFiles().Add("/data/b.rvx");
        w.show();
        w.close();
        EXPECT_EQ(w.PlacementWrites(), 1);
    }
    TRecentFiles again;
    again.Load();
    EXPECT_EQ(again.Names(), (std::vector<std::string>{"/data/b.rvx", "/data/a.rvx"}));
}

// A settings folder that cannot be written loses the session's settings: the exit says so once,
// whichever way the window ends.
TEST_F(ShellStart, SettingsThatCannotBeSavedAreReportedOnceAtExit) {
    const std::string kept = std::getenv("VAROLUX32_REGISTRY_DIR");
    ::setenv("VAROLUX32_REGISTRY_DIR", "/proc/no-such-place/settings", 1);
    {
        TMainwin w;
        w.RecentFiles().Add("/data/a.rvx");
        ui_->messages.clear();
        w.Beenden1Click();
        w.close();
    }
    ::setenv("VAROLUX32_REGISTRY_DIR", kept.c_str(), 1);
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_NE(ui_->messages[0].find("The settings could not be saved to \"/proc/no-such-place/settings/current-user.reg\""),
              std::string::npos)
        << ui_->messages[0];
    // A store that takes the settings: no message.
    ui_->messages.clear();
    { TMainwin w; }
    EXPECT_TRUE(ui_->messages.empty());
}

TEST_F(ShellStart, PlacementIsRestoredAndMaximisedStateKept) {
    TWindowPlacement saved;
    saved.Left = 30;
    saved.Top = 40;
    saved.Right = 630;
    saved.Bottom = 440;
    saved.Maximized = true;
    ASSERT_TRUE(SaveWindowPlacement(saved));
    TMainwin w;
    EXPECT_EQ(w.geometry().width(), 600);
    EXPECT_EQ(w.geometry().height(), 400);
    EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
}

TEST_F(ShellStart, EscapeSetsAbortRequested) {
    TMainwin w;
    EXPECT_EQ(w.AbortRequested, 0);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&w, &press);
    EXPECT_EQ(w.AbortRequested, 1);
}

TEST_F(ShellStart, CloseDuringAWaitEndsTheWaitBeforeAnythingIsFreed) {
    auto w = std::make_unique<TMainwin>();
    w->show();
    SpectraList.Add(MakeRecord(400, 1, {0.1, 0.2, 0.3}));
    bool cleanedInsideWait = true;
    QTimer::singleShot(30, w.get(), [&] { w->close(); });
    QElapsedTimer t;
    t.start();
    QtDelay(5000);
    const qint64 waited = t.elapsed();
    cleanedInsideWait = w->CleanedUp();
    EXPECT_LT(waited, 2000);
    EXPECT_FALSE(cleanedInsideWait);   // the wait still used the records when the close came
    EXPECT_EQ(SpectraList.Count(), 1);
    EXPECT_EQ(ActiveWaits(), 0);
    PumpEvents(100);                   // the repeated close runs after the wait has ended
    EXPECT_TRUE(w->CleanedUp());
    EXPECT_EQ(SpectraList.Count(), 0);
    EXPECT_EQ(w->PlacementWrites(), 1);
}

TEST_F(ShellStart, StartWindowWaitFollowsTheEnvironment) {
    const char* old = std::getenv("VAROLUX32_SPLASH_MS");
    const std::string keep = old ? old : "";
    ::setenv("VAROLUX32_SPLASH_MS", "0", 1);
    EXPECT_EQ(TSStart::WaitMilliseconds(), 0);
    ::setenv("VAROLUX32_SPLASH_MS", "abc", 1);
    EXPECT_EQ(TSStart::WaitMilliseconds(), 3000);
    ::setenv("VAROLUX32_SPLASH_MS", "-5", 1);
    EXPECT_EQ(TSStart::WaitMilliseconds(), 3000);
    ::unsetenv("VAROLUX32_SPLASH_MS");
    EXPECT_EQ(TSStart::WaitMilliseconds(), 3000);
    if (old) ::setenv("VAROLUX32_SPLASH_MS", keep.c_str(), 1);

    ::setenv("VAROLUX32_SPLASH_MS", "0", 1);
    TSStart s;
    s.FormActivate();
    auto* label = s.findChild<QLabel*>("VersionLabel");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Prototype Version 1.72.2p");
}

TEST_F(ShellStart, ErrorsRaisedInCommandsAreShownNotThrown) {
    EXPECT_FALSE(RunGuarded([] { throw std::runtime_error("'x' is not a valid floating point value"); }));
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0], "'x' is not a valid floating point value");
    EXPECT_TRUE(RunGuarded([] {}));
    EXPECT_EQ(ui_->messages.size(), 1u);
    // The user's own cancel ends a command quietly.
    EXPECT_FALSE(RunGuarded([] { throw vx::Cancelled(); }));
    EXPECT_EQ(ui_->messages.size(), 1u);
}

TEST_F(ShellStart, ExitDuringAWaitRunsAfterTheWaitHasEnded) {
    auto w = std::make_unique<TMainwin>();
    w->show();
    QTimer::singleShot(30, w.get(), [&] { w->Beenden1Click(); });
    QtDelay(5000);
    EXPECT_FALSE(w->CleanedUp());
    EXPECT_TRUE(ShellClosing());
    PumpEvents(100);
    EXPECT_TRUE(w->CleanedUp());
    EXPECT_EQ(w->PlacementWrites(), 1);
}

}  // namespace
