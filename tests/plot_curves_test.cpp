#include <gtest/gtest.h>

#include <QApplication>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

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

// A new curve takes the width of the spectrum it is to show; its colour and pen style only while the
// host restores the spectra's looks, else the default colour of its position and a solid line.
TEST_F(PlotCurves, NewCurvesTakeTheLooksTheHostGives) {
    TXYPlot plot;
    bool restore = false;
    plot.Host.curveLooks = [](int n) -> std::optional<TCurveLooks> {
        if (n > 2) return std::nullopt;  // no spectrum for curve 3
        return TCurveLooks{n == 1 ? 0x112233u : 0x445566u, static_cast<uint8_t>(n), 2 + n};
    };
    plot.Host.curveAppearanceRestore = [&restore] { return restore; };
    plot.SetKurvenAnzahl(1);
    EXPECT_EQ(plot.GetCurveColor(1), CurveColor(1));
    EXPECT_EQ(plot.GetCurveStyle(1), 0);
    EXPECT_EQ(plot.Curve(1).Width, 3);
    restore = true;
    plot.SetKurvenAnzahl(3);
    EXPECT_EQ(plot.GetCurveColor(1), CurveColor(1));  // made before, stays
    EXPECT_EQ(plot.GetCurveColor(2), 0x445566u);
    EXPECT_EQ(plot.GetCurveStyle(2), 2);
    EXPECT_EQ(plot.Curve(2).Width, 4);
    EXPECT_EQ(plot.GetCurveColor(3), CurveColor(3));
    EXPECT_EQ(plot.GetCurveStyle(3), 0);
    EXPECT_EQ(plot.Curve(3).Width, 1);
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

// Doubles compared by their bits: 0 and -0 differ, equal NaNs agree.
uint64_t Bits(double v) { return std::bit_cast<uint64_t>(v); }

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");

// Point lists with the values that make the running extents and the scaling take care: NaN (becomes the
// running minimum), infinities, both zeros, negative values, a single point.
std::vector<std::vector<TPlotPoint>> AwkwardPointLists() {
    return {
        {{400, 0.5}, {410, 0.7}, {420, 0.2}},
        {{-3, -2}, {-1, kNaN}, {5, -7}, {kNaN, 4}},
        {{0.0, -0.0}, {-0.0, 0.0}, {1e-300, -1e-300}},
        {{kInf, 1}, {2, -kInf}, {3, 2}, {-kInf, kNaN}},
        {{7, 9}},
        {{kNaN, kNaN}, {kNaN, kNaN}},
    };
}

void ExpectSameCurve(const KurvenDaten& a, const KurvenDaten& b) {
    ASSERT_EQ(a.Points.size(), b.Points.size());
    EXPECT_EQ(a.HighestIndex, b.HighestIndex);
    for (std::size_t i = 0; i < a.Points.size(); ++i) {
        EXPECT_EQ(Bits(a.Points[i].x), Bits(b.Points[i].x)) << "point " << i;
        EXPECT_EQ(Bits(a.Points[i].y), Bits(b.Points[i].y)) << "point " << i;
    }
    EXPECT_EQ(Bits(a.XMin), Bits(b.XMin));
    EXPECT_EQ(Bits(a.XMax), Bits(b.XMax));
    EXPECT_EQ(Bits(a.YMin), Bits(b.YMin));
    EXPECT_EQ(Bits(a.YMax), Bits(b.YMax));
    EXPECT_EQ(a.MarkerIndices, b.MarkerIndices);
    EXPECT_EQ(a.MarkerLabels, b.MarkerLabels);
}

TEST_F(PlotCurves, FillingACurveLeavesWhatWritingItPointByPointLeaves) {
    TXYPlot filled, written;
    filled.SetKurvenAnzahl(1);
    written.SetKurvenAnzahl(1);
    filled.AddMarkers(1, {0}, {"m"});
    written.AddMarkers(1, {0}, {"m"});
    // One after the other on the same curves: the extents run on over refills, and a shorter list
    // after a longer one must not keep the longer one's tail.
    auto lists = AwkwardPointLists();
    lists.push_back(std::vector<TPlotPoint>(300, TPlotPoint{1, 1}));
    lists.push_back({{2, 3}});
    lists.push_back({});
    for (const auto& pts : lists) {
        SCOPED_TRACE(pts.size());
        filled.Dirty = written.Dirty = false;
        filled.FillCurve(1, static_cast<int>(pts.size()), [&](int i) { return pts[static_cast<std::size_t>(i)]; });
        written.ResetCurve(1);
        for (std::size_t i = 0; i < pts.size(); ++i) {
            written.SetCurvePoint(1, 1, pts[i].x, static_cast<int>(i));
            written.SetCurvePoint(1, 2, pts[i].y, static_cast<int>(i));
        }
        ExpectSameCurve(filled.Curve(1), written.Curve(1));
        EXPECT_EQ(filled.Dirty, written.Dirty);
    }
    EXPECT_EQ(filled.Curve(1).Points.size(), 1u);  // an empty fill leaves the reset point (0, 1)
    EXPECT_EQ(filled.Curve(1).Points[0].y, 1.0);
    EXPECT_THROW(filled.FillCurve(2, 1, [](int) { return TPlotPoint{}; }), vx::ListIndexError);
}

TEST_F(PlotCurves, FiniteSpanStartsAtTheFirstFiniteValueAndKeepsTheFirstOfEqualOnes) {
    TFiniteSpan none;
    for (double v : {kNaN, kInf, -kInf}) none.Add(v);
    EXPECT_FALSE(none.Seen());

    TFiniteSpan s;
    for (double v : {kNaN, 0.0, -0.0, 3.0, kInf, -2.0, -kInf, 3.0}) s.Add(v);
    ASSERT_TRUE(s.Seen());
    EXPECT_EQ(s.Lo, -2.0);
    EXPECT_EQ(s.Hi, 3.0);
    TFiniteSpan zeros;
    for (double v : {0.0, -0.0}) zeros.Add(v);
    EXPECT_FALSE(std::signbit(zeros.Lo));  // -0 does not lie below 0: the first zero stays
    EXPECT_FALSE(std::signbit(zeros.Hi));
    TFiniteSpan negZeros;
    for (double v : {-0.0, 0.0}) negZeros.Add(v);
    EXPECT_TRUE(std::signbit(negZeros.Lo));
    EXPECT_TRUE(std::signbit(negZeros.Hi));

    // Spans of consecutive pieces added together give the span of the whole run.
    const std::vector<double> run = {-0.0, 5, kNaN, 0.0, -4, 5, -4, kInf, 0.5, -0.0};
    for (std::size_t cut = 0; cut <= run.size(); ++cut) {
        TFiniteSpan whole, first, second;
        for (std::size_t i = 0; i < run.size(); ++i) {
            whole.Add(run[i]);
            (i < cut ? first : second).Add(run[i]);
        }
        first.Add(second);
        EXPECT_EQ(Bits(first.Lo), Bits(whole.Lo)) << cut;
        EXPECT_EQ(Bits(first.Hi), Bits(whole.Hi)) << cut;
    }
}

// The automatic scaling of a plot, with the set ranges kept as it left them (no tick rounding).
struct Scaled {
    double x0, x1, y10, y11, y20, y21;
};
Scaled ScaleOf(TXYPlot& p) {
    p.XAutoTics = p.Y1AutoTics = p.Y2AutoTics = false;
    p.Dirty = true;
    p.UpdateLayout();
    return {p.MinXValue, p.MaxXValue, p.MinY1Value, p.MaxY1Value, p.MinY2Value, p.MaxY2Value};
}
void ExpectSameScale(const Scaled& a, const Scaled& b) {
    EXPECT_EQ(Bits(a.x0), Bits(b.x0));
    EXPECT_EQ(Bits(a.x1), Bits(b.x1));
    EXPECT_EQ(Bits(a.y10), Bits(b.y10));
    EXPECT_EQ(Bits(a.y11), Bits(b.y11));
    EXPECT_EQ(Bits(a.y20), Bits(b.y20));
    EXPECT_EQ(Bits(a.y21), Bits(b.y21));
}

TEST_F(PlotCurves, ScalingOfFilledCurvesEqualsThatOfCurvesWrittenPointByPoint) {
    const auto lists = AwkwardPointLists();
    const int n = static_cast<int>(lists.size());
    TXYPlot filled, written;
    for (TXYPlot* p : {&filled, &written}) {
        p->resize(800, 500);
        p->SetKurvenAnzahl(n);
        p->ZweiteYAchse = true;
        for (int k = 1; k <= n; ++k) p->SetCurveAxis(k, k % 3 == 0 ? 2 : 1);
    }
    for (int k = 1; k <= n; ++k) {
        const auto& pts = lists[static_cast<std::size_t>(k - 1)];
        filled.FillCurve(k, static_cast<int>(pts.size()), [&](int i) { return pts[static_cast<std::size_t>(i)]; });
        for (std::size_t i = 0; i < pts.size(); ++i) {
            written.SetCurvePoint(k, 1, pts[i].x, static_cast<int>(i));
            written.SetCurvePoint(k, 2, pts[i].y, static_cast<int>(i));
        }
    }
    ExpectSameScale(ScaleOf(filled), ScaleOf(written));
    filled.ZweiteYAchse = written.ZweiteYAchse = false;  // every curve on the left axis
    ExpectSameScale(ScaleOf(filled), ScaleOf(written));
}

TEST_F(PlotCurves, PointsWrittenAfterAFillReachTheScaling) {
    TXYPlot p;
    p.resize(800, 500);
    p.SetKurvenAnzahl(1);
    const std::vector<TPlotPoint> pts = {{400, 0.1}, {500, 9.0}, {600, 0.3}};
    p.FillCurve(1, 3, [&](int i) { return pts[static_cast<std::size_t>(i)]; });
    EXPECT_DOUBLE_EQ(ScaleOf(p).y11, 9.0 * 1.05);
    // The peak written down again: the scaling must not keep the extent of the fill.
    p.SetCurvePoint(1, 2, 0.5, 1);
    EXPECT_DOUBLE_EQ(ScaleOf(p).y11, 0.5 * 1.05);
    // A point written beyond the end adds the (0, 0) points before it.
    p.SetCurvePoint(1, 1, 700, 5);
    const Scaled grown = ScaleOf(p);
    EXPECT_DOUBLE_EQ(grown.x0, 0.0);
    EXPECT_DOUBLE_EQ(grown.x1, 700.0);
    EXPECT_DOUBLE_EQ(grown.y10, 0.0);
    // A reset leaves the one point (0, 1).
    p.ResetCurve(1);
    const Scaled reset = ScaleOf(p);
    EXPECT_DOUBLE_EQ(reset.x0, 0.0);
    EXPECT_DOUBLE_EQ(reset.y10, 1.0 - 0.05);
}

}  // namespace
