// The Normalize and Smooth commands of the Spectra menu, run from their menu entries.
#include <gtest/gtest.h>

#include <QAction>
#include <QProgressBar>

#include "app/TMainwin.h"
#include "app/plot/Xygraph.h"
#include "app_test_support.h"
#include "core/helpers.h"
#include "core/units.h"
#include "platform/ui.h"

namespace {

class CoreCommands : public ShellWindowTest {};

TEST_F(CoreCommands, NormalizeScalesEveryMaximumToOneAndReplots) {
    SpectraList.AddWithDefaultColor(MakeRecord(400, 1, {0.1, 0.4, 0.2, 0.1}));
    SpectraList.AddWithDefaultColor(MakeRecord(400, 1, {1.0, 2.0, 5.0, 1.0}));
    w_->StandardReplot();
    w_->XYPlot()->XDrawnMin = 350;  // the visible range holds every point
    w_->XYPlot()->XDrawnMax = 450;
    QAction* a = w_->Action("Normalize1");
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(a->isEnabled());
    a->trigger();
    EXPECT_DOUBLE_EQ(SpectraList[0].Values[1], 1.0);
    EXPECT_DOUBLE_EQ(SpectraList[0].Values[0], 0.25);
    EXPECT_DOUBLE_EQ(SpectraList[1].Values[2], 1.0);
    EXPECT_EQ(w_->XYPlot()->KurvenAnzahl(), 2);
    EXPECT_EQ(w_->StatusText(0), "2 Spectra");
}

TEST_F(CoreCommands, NormalizeOnAnEmptyListDoesNothing) {
    w_->Action("Normalize1")->trigger();
    EXPECT_TRUE(SpectraList.Empty());
    EXPECT_TRUE(ui_->messages.empty());
}

TEST_F(CoreCommands, SmoothAppendsOneSmoothedCopyPerSpectrum) {
    std::vector<double> v;
    for (int i = 0; i < 40; ++i) v.push_back(i % 2 ? 1.0 : 0.0);
    SpectraList.AddWithDefaultColor(MakeRecord(400, 1, v));
    w_->StandardReplot();
    QAction* a = w_->Action("Smooth1");
    ASSERT_NE(a, nullptr);
    a->trigger();
    ASSERT_EQ(SpectraList.Count(), 2);
    EXPECT_EQ(SpectraList[1].PointCount(), 40);
    EXPECT_NE(SpectraList[1].Title.str().find("smoothed"), std::string::npos);
    // The alternating values come out much flatter inside the spectrum.
    EXPECT_NEAR(SpectraList[1].Values[20], 0.5, 0.2);
    EXPECT_EQ(w_->XYPlot()->KurvenAnzahl(), 2);
    EXPECT_EQ(w_->StatusText(1), "");
}

// The status bar's progress bar runs up to its end while the smoothing finishes and is hidden after it.
TEST_F(CoreCommands, SmoothShowsItsProgressInTheStatusBarAndHidesItAfterwards) {
    for (int k = 0; k < 3; ++k) SpectraList.AddWithDefaultColor(MakeRecord(400, 1, std::vector<double>(40, 1.0)));
    w_->StandardReplot();
    QProgressBar* bar = w_->ProgressBar();
    ASSERT_NE(bar, nullptr);
    bool shown = false;
    int value = -1, maximum = -1;
    // The wait before the end: the bar as the last step left it.
    SetDelayHandler([&](int32_t) {
        shown = !bar->isHidden();
        value = bar->value();
        maximum = bar->maximum();
    });
    struct ResetDelay {
        ~ResetDelay() { SetDelayHandler(nullptr); }
    } reset;
    Trigger("Smooth1");
    EXPECT_TRUE(shown);
    EXPECT_EQ(maximum, 1000);
    EXPECT_EQ(value, 1000);
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(SpectraList.Count(), 6);
}

}  // namespace
