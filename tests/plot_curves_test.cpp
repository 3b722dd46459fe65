#include <gtest/gtest.h>

#include <QApplication>

#include "app/plot/Xygraph.h"
#include "tests/plot_fixture.h"
#include "core/spectra_list.h"
#include "platform/errors.h"

namespace {

QApplication& app() { return plotTestApp(); }

class PlotCurves : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        SpectraList.Clear();
    }
};

TEST_F(PlotCurves, PointIndexBeyondEndGrowsWithZeroPoints) {
    TXYPlot plot;
    plot.SetKurvenAnzahl(1);
    plot.SetCurvePoint(1, 1, 5.0, 9);
    const KurvenDaten& c = plot.Curve(1);
    ASSERT_EQ(c.Points.size(), 10u);
    EXPECT_EQ(c.HighestIndex, 9);
    EXPECT_DOUBLE_EQ(c.Points[0].y, 1.0);  // the reset point (0, 1.0) stays
    for (int i = 1; i <= 8; ++i) {
        EXPECT_DOUBLE_EQ(c.Points[i].x, 0.0);
        EXPECT_DOUBLE_EQ(c.Points[i].y, 0.0);
    }
    EXPECT_DOUBLE_EQ(c.Points[9].x, 5.0);
    EXPECT_TRUE(plot.Dirty);
}

TEST_F(PlotCurves, ShrinkKeepsFirstCurvesGrowGivesFreshOnes) {
    TXYPlot plot;
    plot.SetKurvenAnzahl(5);
    plot.SetCurvePoint(2, 2, 7.5, 3);
    plot.SetCurveColor(2, 0x123456);
    plot.SetKurvenAnzahl(3);
    EXPECT_EQ(plot.KurvenAnzahl(), 3);
    EXPECT_DOUBLE_EQ(plot.Curve(2).Points[3].y, 7.5);
    EXPECT_EQ(plot.GetCurveColor(2), 0x123456u);
    plot.SetKurvenAnzahl(5);
    for (int n : {4, 5}) {
        ASSERT_EQ(plot.Curve(n).Points.size(), 1u);
        EXPECT_DOUBLE_EQ(plot.Curve(n).Points[0].y, 1.0);
        EXPECT_EQ(plot.GetCurveColor(n), CurveColor(n));
    }
}

TEST_F(PlotCurves, StyleAndWidthOutsideTheirRangesFallBack) {
    TXYPlot plot;
    plot.BaseLineWidth = 3;
    plot.SetKurvenAnzahl(1);
    struct Case { int style, width; int wantStyle, wantWidth; };
    for (const Case& k : {Case{5, 0, 0, 3}, Case{7, 11, 0, 3}, Case{2, 10, 2, 10}, Case{6, 1, 6, 1},
                          Case{4, -1, 4, 3}}) {
        plot.SetCurveStyle(1, k.style, k.width);
        EXPECT_EQ(plot.GetCurveStyle(1), k.wantStyle) << k.style;
        EXPECT_EQ(plot.Curve(1).Width, k.wantWidth) << k.width;
    }
}

TEST_F(PlotCurves, RangeWritesMarkDirtyOnlyOnChange) {
    TXYPlot plot;
    plot.RenderToImage();
    EXPECT_FALSE(plot.Dirty);
    plot.MaxY1Value = plot.MaxY1Value.get();
    EXPECT_FALSE(plot.Dirty);
    plot.MinXValue = 300.0;
    EXPECT_TRUE(plot.Dirty);
    plot.XAutoText = false;
    EXPECT_TRUE(plot.XAutoText);  // writing False leaves the switch on
}

TEST_F(PlotCurves, CurveNumberOutsideTheListRaises) {
    TXYPlot plot;
    plot.SetKurvenAnzahl(2);
    EXPECT_THROW(plot.SetCurvePoint(3, 1, 0.0, 0), vx::ListIndexError);
    EXPECT_THROW(plot.Curve(0), vx::ListIndexError);
}

}  // namespace
