#include <gtest/gtest.h>

#include <QPainter>

#include <cstdlib>
#include <vector>

#include "app/plot/xy_fonts.h"
#include "app/plot/xy_render.h"
#include "tests/plot_fixture.h"

namespace {

class PlotPaint : public ::testing::Test {
protected:
    void SetUp() override {
        resetPlotTestState();
    }
};

TEST_F(PlotPaint, StartPlotLooks) {
    auto plot = makeStartPlot();
    plot->SetKurvenAnzahl(3);
    for (int n = 1; n <= 3; ++n) {
        fillBand(*plot, n, 601, 300, 900, 0.5 + 0.2 * n);
        plot->SetCurveName(n, QString("Spectrum %1").arg(n));
    }
    plot->SetCurveStyle(2, 1, 1);
    plot->SetCurveStyle(3, 2, 2);
    plot->SecondXAxisOn = true;
    const QImage img = plot->RenderToImage();
    dumpImage(img, "start");
    EXPECT_DOUBLE_EQ(plot->XDrawnMin, 300);
    EXPECT_DOUBLE_EQ(plot->XDrawnMax, 950);
}

}  // namespace

namespace {

constexpr uint32_t kInk = 0x00123456;  // 0x00BBGGRR of a colour nothing else uses
const QRgb kInkRgb = qRgb(0x56, 0x34, 0x12);

// Pixels of the ink colour outside the rectangle, and inside it.
std::pair<int, int> InkOutsideInside(const QImage& img, QRect area) {
    int out = 0, in = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (kInkRgb & 0xFFFFFF)) (area.contains(x, y) ? in : out)++;
    return {out, in};
}

// Runs of ink and of no ink along one row between x0 and x1.
std::vector<std::pair<bool, int>> Runs(const QImage& img, int y, int x0, int x1) {
    std::vector<std::pair<bool, int>> runs;
    for (int x = x0; x <= x1; ++x) {
        const bool ink = (img.pixel(x, y) & 0xFFFFFF) == (kInkRgb & 0xFFFFFF);
        if (runs.empty() || runs.back().first != ink)
            runs.emplace_back(ink, 1);
        else
            ++runs.back().second;
    }
    return runs;
}

// The pixels of one segment, both ends included, as the integer line rule steps them (error term over
// both axes); those beyond the image are left out.
void ReferenceSegment(QImage& img, QPoint a, QPoint b, QRgb ink) {
    int x = a.x(), y = a.y();
    const int dx = std::abs(b.x() - x), dy = -std::abs(b.y() - y);
    const int sx = x < b.x() ? 1 : -1, sy = y < b.y() ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        if (img.rect().contains(x, y)) img.setPixel(x, y, ink);
        if (x == b.x() && y == b.y()) return;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

// Straight into the image, a stretch must cover exactly its segments' pixels: ends inside the image (the
// unchecked loop), ends beyond it on every side, every direction and steepness.
TEST_F(PlotPaint, DirectLinesCoverTheSegmentsPixelsInsideAndAcrossTheImageEdges) {
    const QRgb ink = 0xFF2040C0u;
    std::srand(11);
    for (int round = 0; round < 40; ++round) {
        const bool across = round % 2 == 1;
        std::vector<QPoint> stretch;
        for (int k = 0; k < 60; ++k) {
            if (across)
                stretch.emplace_back(std::rand() % 141 - 40, std::rand() % 121 - 40);  // -40..100 x -40..80
            else
                stretch.emplace_back(std::rand() % 61, std::rand() % 41);  // the whole image, edges included
        }
        stretch.push_back(stretch.back());  // a repeated point draws nothing new
        stretch.emplace_back(stretch.back().x(), stretch.back().y() + 17);  // one vertical piece
        stretch.emplace_back(stretch.back().x() - 23, stretch.back().y());  // one horizontal piece
        QImage direct(61, 41, QImage::Format_RGB32), expected(61, 41, QImage::Format_RGB32);
        direct.fill(Qt::white);
        expected.fill(Qt::white);
        {
            QPainter painter(&direct);
            TPenTrack pen(painter, false);
            pen.setDirect(&direct, ink);
            pen.TrackedMoveTo(stretch.front());
            for (std::size_t k = 1; k < stretch.size(); ++k) pen.TrackedLineTo(stretch[k]);
        }
        for (std::size_t k = 1; k < stretch.size(); ++k) ReferenceSegment(expected, stretch[k - 1], stretch[k], ink);
        int diffs = 0;
        for (int y = 0; y < direct.height(); ++y)
            for (int x = 0; x < direct.width(); ++x)
                if (direct.pixel(x, y) != expected.pixel(x, y) && diffs++ < 3)
                    ADD_FAILURE() << "round " << round << " differs at " << x << "," << y;
        EXPECT_EQ(diffs, 0) << "round " << round;
    }
}

class PlotDraw : public PlotPaint {
protected:
    // A plot of fixed ranges without titles, grid or legend: 800 x 500, plot area 60..740 x 20..470.
    std::unique_ptr<TXYPlot> Bare() {
        auto p = makeStartPlot(800, 500);
        p->XAchsenTextAn = false;
        p->Y1AchsenTextAn = false;
        p->GridOn = false;
        p->Legende = false;
        p->Autoscaling = false;
        p->MinXValue = 0;
        p->MaxXValue = 100;
        p->MinY1Value = 0;
        p->MaxY1Value = 10;
        return p;
    }
    void Line(TXYPlot& p, int n, std::vector<std::pair<double, double>> pts) {
        for (std::size_t i = 0; i < pts.size(); ++i) {
            p.SetCurvePoint(n, 1, pts[i].first, static_cast<int>(i));
            p.SetCurvePoint(n, 2, pts[i].second, static_cast<int>(i));
        }
        p.SetCurveColor(n, kInk);
    }
};

TEST_F(PlotDraw, StatusTextOneSpectraBecomesOneSpectrum) {
    auto plot = makeStartPlot();
    std::map<int, QString> status;
    plot->Host.statusText = [&status](int panel) { return status[panel]; };
    plot->Host.setStatusText = [&status](int panel, const QString& t) { status[panel] = t; };
    for (const char* text : {"1 Spectra", "2 Spectra", "  Spectra", "11 Spectra", "1  Spectra"}) {
        status[0] = text;
        plot->Repaint();
        EXPECT_EQ(status[0], QString(text) == "1 Spectra" ? QString("1 Spectrum") : QString(text)) << text;
    }
}

TEST_F(PlotDraw, LayoutOfTheBarePlot) {
    auto p = Bare();
    p->RenderToImage();
    EXPECT_EQ(p->PlotArea(), QRect(QPoint(60, 20), QPoint(740, 470)));
    // X 0..100 (range 100: step 10) rounds to -10..110
    EXPECT_DOUBLE_EQ(p->MinXValue, -10);
    EXPECT_DOUBLE_EQ(p->XDrawnMax, 110);
    EXPECT_EQ(p->XMajorTics.get(), 12);
}

TEST_F(PlotDraw, CurveLeavingAtTheTopIsCutAtTheEdges) {
    auto p = Bare();
    p->SetKurvenAnzahl(1);
    Line(*p, 1, {{0, 5}, {30, 50}, {60, 5}, {70, -40}, {80, 5}, {95, 8}});
    const QImage img = p->RenderToImage();
    dumpImage(img, "clip");
    const auto [out, in] = InkOutsideInside(img, QRect(QPoint(60, 20), QPoint(740, 470)));
    EXPECT_EQ(out, 0);
    EXPECT_GT(in, 200);
}

TEST_F(PlotDraw, SegmentWithBothEndsOutsideIsDrawnWhereItCrosses) {
    auto p = Bare();
    p->SetKurvenAnzahl(1);
    Line(*p, 1, {{-200, -50}, {300, 60}});
    const QImage img = p->RenderToImage();
    const auto [out, in] = InkOutsideInside(img, QRect(QPoint(60, 20), QPoint(740, 470)));
    EXPECT_EQ(out, 0);
    EXPECT_GT(in, 100);
}

// A point that maps to a pixel and a half is drawn at the even one of its two pixels.
TEST_F(PlotDraw, HalfPixelPositionsRoundToTheEvenPixel) {
    auto p = Bare();
    p->RenderToImage();
    const double x0 = p->MinXValue, kx = p->Ticks(0).Scale;
    const int left = p->PlotArea().left();
    // An x whose mapped distance from the left edge is exactly k + 0.5 pixels, if a double has it.
    auto xAtHalf = [&](int k, double& x) {
        const double guess = x0 + (k + 0.5) / kx;
        for (int ulps = 0; ulps < 200; ++ulps) {
            for (double dir : {HUGE_VAL, -HUGE_VAL}) {
                x = guess;
                for (int u = 0; u < ulps; ++u) x = std::nextafter(x, dir);
                if ((x - x0) * kx == k + 0.5) return true;
            }
        }
        return false;
    };
    std::vector<std::pair<int, double>> at;  // two even and two odd pixel distances
    int even = 0, odd = 0;
    for (int k = 100; k < 600 && (even < 2 || odd < 2); ++k) {
        double x;
        int& have = (left + k) % 2 == 0 ? even : odd;
        if (have < 2 && xAtHalf(k, x)) {
            at.emplace_back(k, x);
            ++have;
        }
    }
    ASSERT_EQ(at.size(), 4u);
    p->SetKurvenAnzahl(4);
    for (int n = 1; n <= 4; ++n) Line(*p, n, {{at[n - 1].second, 3}, {at[n - 1].second, 7}});
    p->Dirty = false;  // the scales of the first layout stay
    const QImage img = p->RenderToImage();
    auto inked = [&](int column) {
        int count = 0;
        for (int y = 0; y < img.height(); ++y) count += (img.pixel(column, y) & 0xFFFFFF) == (kInkRgb & 0xFFFFFF);
        return count;
    };
    for (const auto& [k, x] : at) {
        const int below = left + k, chosen = below % 2 == 0 ? below : below + 1;
        EXPECT_GT(inked(chosen), 20) << k;
        EXPECT_EQ(inked(chosen == below ? below + 1 : below), 0) << k;
    }
}

TEST_F(PlotDraw, FarAwayAndNonFinitePointsDrawNothingOutside) {
    auto p = Bare();
    p->SetKurvenAnzahl(1);
    Line(*p, 1, {{-1e9, 1e9}, {50, 5}, {std::nan(""), 3}, {60, std::numeric_limits<double>::infinity()}, {70, 4}, {80, 6}});
    const QImage img = p->RenderToImage();
    const auto [out, in] = InkOutsideInside(img, QRect(QPoint(60, 20), QPoint(740, 470)));
    EXPECT_EQ(out, 0);
    EXPECT_GT(in, 10);
}

TEST_F(PlotDraw, PointsWhoseDistanceOverflowsDrawOnlyTheirSaneNeighbours) {
    auto p = Bare();
    p->SetKurvenAnzahl(1);
    // Mapped to about +-1e308 pixels: each alone is finite, the segment between them is not.
    Line(*p, 1, {{20, 5}, {1.5e307, 8}, {-1.5e307, 2}, {80, 5}});
    const QImage img = p->RenderToImage();
    const QRect area(QPoint(60, 20), QPoint(740, 470));
    const auto [out, in] = InkOutsideInside(img, area);
    EXPECT_EQ(out, 0);
    EXPECT_GT(in, 50);  // the two segments to and from the sane points
    // Nothing along the row of the overflowing segment's lower end.
    const int y2 = area.bottom() - static_cast<int>(std::nearbyint((2 - p->MinY1Value) * p->Ticks(2).Scale));
    for (const auto& [ink, len] : Runs(img, y2, 300, 500)) EXPECT_FALSE(ink && len > 20);
}

TEST_F(PlotDraw, DashesAndDotsFollowTheControlWidthAndContinueAcrossSegments) {
    for (int style : {1, 2}) {
        auto p = Bare();
        p->SetKurvenAnzahl(1);
        std::vector<std::pair<double, double>> pts;
        for (int i = 0; i <= 100; ++i) pts.emplace_back(i, 5.0);  // segments of about 5.7 pixels
        Line(*p, 1, pts);
        p->SetCurveStyle(1, static_cast<uint8_t>(style), 1);
        const QImage img = p->RenderToImage();
        const int y = p->PlotArea().bottom() - static_cast<int>(std::nearbyint((5.0 - p->MinY1Value) * p->Ticks(2).Scale));
        auto runs = Runs(img, y, 200, 600);
        ASSERT_GT(runs.size(), 10u);
        // Inner runs only: the first and last are cut by the window.
        for (std::size_t i = 1; i + 1 < runs.size(); ++i) {
            const auto [ink, len] = runs[i];
            if (style == 1) {
                if (ink) EXPECT_NEAR(len, 10, 1) << "dash " << i;  // 800 / 80
                else EXPECT_NEAR(len, 8, 1) << "gap " << i;        // 800 / 100
            } else {
                EXPECT_NEAR(len, 4, 1) << (ink ? "dot " : "dot gap ") << i;  // 800 / 200
            }
        }
    }
}

TEST_F(PlotDraw, StylesWithoutADashRuleStillDraw) {
    for (int style : {3, 4, 6}) {
        auto p = Bare();
        p->SetKurvenAnzahl(1);
        Line(*p, 1, {{0, 5}, {100, 5}});
        p->SetCurveStyle(1, static_cast<uint8_t>(style), 1);
        EXPECT_EQ(p->GetCurveStyle(1), style);
        const auto [out, in] = InkOutsideInside(p->RenderToImage(), QRect(QPoint(60, 20), QPoint(740, 470)));
        EXPECT_EQ(out, 0);
        EXPECT_GT(in, 250) << style;
    }
}

TEST_F(PlotDraw, PeakMarkersStandAboveInAbsorbanceAndBelowInTransmittance) {
    for (int mode : {2, 1}) {
        auto p = Bare();
        showIn(*p, SpecXNanometer, *YKindOfCode(mode));
        p->SetKurvenAnzahl(1);
        Line(*p, 1, {{10, 2}, {50, 5}, {90, 2}});
        p->AddMarkers(1, {1}, {"500.0"});
        p->RenderToImage();  // layout first, then the picture with the marker
        const QImage img = p->RenderToImage();
        const int x = p->PlotArea().left() + static_cast<int>(std::nearbyint((50 - p->MinXValue) * p->Ticks(0).Scale));
        const int y = p->PlotArea().bottom() - static_cast<int>(std::nearbyint((5 - p->MinY1Value) * p->Ticks(2).Scale));
        const int above = (img.pixel(x, y - 30) & 0xFFFFFF) == (kInkRgb & 0xFFFFFF);
        const int below = (img.pixel(x, y + 30) & 0xFFFFFF) == (kInkRgb & 0xFFFFFF);
        EXPECT_EQ(above, mode == 2 ? 1 : 0) << mode;
        EXPECT_EQ(below, mode == 1 ? 1 : 0) << mode;
    }
}

TEST_F(PlotDraw, MarkersOutsideThePlotAreaAreNotDrawn) {
    auto p = Bare();
    p->SetKurvenAnzahl(1);
    Line(*p, 1, {{10, 2}, {200, 5}, {90, 2}});
    p->AddMarkers(1, {1}, {"far"});
    const auto [out, in] = InkOutsideInside(p->RenderToImage(), QRect(QPoint(60, 20), QPoint(740, 470)));
    EXPECT_EQ(out, 0);
}

TEST_F(PlotDraw, LegendOfThreeCurvesAtThirteenPixels) {
    auto p = makeStartPlot();
    p->SetKurvenAnzahl(3);
    p->RenderToImage();
    const QRect f = p->LegendFrame();
    EXPECT_EQ(f.top(), 70 - 7);
    EXPECT_EQ(f.bottom(), 70 + 45 + 7);  // line height Trunc(1.2 * 13) = 15
    EXPECT_EQ(f.left(), 150 - 7);
}

TEST_F(PlotDraw, LongLegendNamesWrapInsideThePlotArea) {
    auto p = makeStartPlot(800, 500);
    p->SetKurvenAnzahl(4);
    const QString name = "Gauss Pos:15234.6 Width:600 Amp[0]:0.1235 Amp[1]:0.1335 Amp[2]:0.1435 Amp[3]:0.1535 "
                         "Amp[4]:0.1635 Amp[5]:0.1735";
    p->SetCurveName(1, "measured");
    for (int n = 2; n <= 4; ++n) p->SetCurveName(n, name);
    ASSERT_GT(xyfont::TextWidth(p->LegendeFont, name) + 180 + 7, p->PlotArea().right());
    p->RenderToImage();
    EXPECT_TRUE(p->PlotArea().contains(p->LegendFrame()));
    EXPECT_GT(p->LegendFrame().bottom(), 70 + 4 * 15 + 7);  // the long names took more than a line each
    // Still inside when the legend's room is narrower than a single word.
    p->resize(300, 500);
    p->SetCurveName(1, "Gauss_Pos:15234.6_Width:600_Amp[0]:0.1235");
    p->RenderToImage();
    EXPECT_LE(p->LegendFrame().right(), p->PlotArea().right());
}

TEST(PlotFonts, WrapToWidthBreaksAtBlanksAndInsideLongWords) {
    plotTestApp();
    const QFont f("Arial", 10);
    const QString text = "Gauss Pos:18000 Width:400 Amp[0]:0.1 Amp[1]:0.25 Amp[2]:0.125";
    const int width = xyfont::TextWidth(f, "Gauss Pos:18000 Width:400");
    const QStringList lines = xyfont::WrapToWidth(f, text, width);
    ASSERT_GT(lines.size(), 1);
    for (const QString& l : lines) EXPECT_LE(xyfont::TextWidth(f, l), width) << l.toStdString();
    EXPECT_EQ(lines.join(' '), text);
    EXPECT_EQ(lines.front(), "Gauss Pos:18000 Width:400");
    // A word wider than the line is cut; nothing is lost.
    const QStringList cut = xyfont::WrapToWidth(f, "Amp[0]:0.1Amp[1]:0.25", xyfont::TextWidth(f, "Amp[0]"));
    EXPECT_GT(cut.size(), 2);
    EXPECT_EQ(cut.join(""), "Amp[0]:0.1Amp[1]:0.25");
    // A text that fits, and a width without room, stay whole.
    EXPECT_EQ(xyfont::WrapToWidth(f, text, 10000), QStringList{text});
    EXPECT_EQ(xyfont::WrapToWidth(f, text, 0), QStringList{text});
}

TEST_F(PlotDraw, SetCurveWidthLeavesWideCurvesAndDrawsAtOnce) {
    auto p = Bare();
    p->BaseLineWidth = 3;
    p->SetKurvenAnzahl(2);
    Line(*p, 1, {{0, 5}, {100, 5}});
    Line(*p, 2, {{0, 2}, {100, 2}});
    p->SetCurveStyle(1, 0, 4);
    p->SetCurveStyle(2, 0, 1);
    p->Repaint();
    p->SetCurveWidth(1, 1);
    EXPECT_EQ(p->Curve(1).Width, 4);
    p->SetCurveWidth(2, -1);
    EXPECT_EQ(p->Curve(2).Width, 3);
}

TEST_F(PlotDraw, SymbolsAreDrawnOnlyInsideThePlot) {
    auto p = Bare();
    p->DrawAsLines = false;
    p->SetKurvenAnzahl(1);
    Line(*p, 1, {{-50, 5}, {20, 5}, {40, 1}, {60, 9}, {300, 300}});
    const auto [out, in] = InkOutsideInside(p->RenderToImage(), QRect(QPoint(60, 20), QPoint(740, 470)));
    EXPECT_EQ(out, 0);
    EXPECT_GT(in, 12);
}

// The per-column reduction must not change a single pixel.
TEST_F(PlotDraw, DenseCurveReductionGivesTheSamePicture) {
    std::srand(7);
    for (int variant = 0; variant < 4; ++variant) {
        auto p = Bare();
        p->SetKurvenAnzahl(3);
        for (int n = 1; n <= 3; ++n) {
            double y = 5;
            const int count = 20000 + 7000 * n;
            for (int i = 0; i < count; ++i) {
                y += (std::rand() % 2001 - 1000) / 1000.0 * (variant == 1 ? 2.0 : 0.2);
                if (variant == 2 && i % 997 == 0) y = (i % 2) ? 50 : -30;  // excursions off the plot
                if (y < -5 || y > 15) y = variant == 2 ? y : 5;
                const double x = variant == 3 ? 50 + 50 * std::sin(i * 0.001) : i * 100.0 / count;
                p->SetCurvePoint(n, 1, x, i);
                p->SetCurvePoint(n, 2, y, i);
            }
            p->SetCurveColor(n, CurveColor(n));
        }
        p->Direction = variant == 1 ? 2 : 1;
        p->ReduceDenseCurves = true;
        const QImage reduced = p->RenderToImage();
        p->ReduceDenseCurves = false;
        const QImage full = p->RenderToImage();
        int diffs = 0;
        for (int y = 0; y < full.height(); ++y)
            for (int x = 0; x < full.width(); ++x)
                if (full.pixel(x, y) != reduced.pixel(x, y) && diffs++ < 5)
                    ADD_FAILURE() << "variant " << variant << " differs at " << x << "," << y << " full " << std::hex
                                  << full.pixel(x, y) << " reduced " << reduced.pixel(x, y) << std::dec;
        EXPECT_EQ(diffs, 0) << "variant " << variant;
        if (variant == 0) dumpImage(reduced, "dense");
    }
}

TEST_F(PlotDraw, AutoScaleTable) {
    struct Case {
        const char* what;
        std::vector<double> ys;
        bool fixed;
        double wantMin, wantMax;
    };
    const std::vector<Case> cases = {
        {"slightly negative minimum becomes 1e-6", {-0.005, 0.4, 1.0}, false, 1e-6, 1.05},
        {"negative minimum gets 5 %", {-1.0, 2.0}, false, -1.05, 2.1},
        {"non-finite values are skipped", {0.2, std::nan(""), 1.0, std::numeric_limits<double>::infinity()}, false, 0.19, 1.05},
        {"fixed axis keeps its range", {-3, 3}, true, 0, 1},
    };
    for (const Case& c : cases) {
        auto p = makeStartPlot();
        p->SetKurvenAnzahl(1);
        p->Y1AchseFix = c.fixed;
        p->Y1AutoTics = false;  // keep the set range visible after the ticks
        for (std::size_t i = 0; i < c.ys.size(); ++i) {
            p->SetCurvePoint(1, 1, 400 + 10.0 * i, static_cast<int>(i));
            p->SetCurvePoint(1, 2, c.ys[i], static_cast<int>(i));
        }
        p->RenderToImage();
        EXPECT_NEAR(p->MinY1Value, c.wantMin, 1e-12) << c.what;
        EXPECT_NEAR(p->MaxY1Value, c.wantMax, 1e-12) << c.what;
        EXPECT_DOUBLE_EQ(p->XDrawnMin, 400) << c.what;
    }
}

TEST_F(PlotDraw, AllZeroCurvesGiveAUnitRange) {
    auto p = makeStartPlot();
    p->SetKurvenAnzahl(2);
    for (int n = 1; n <= 2; ++n)
        for (int i = 0; i < 5; ++i) p->SetCurvePoint(n, 2, 0.0, i);  // x all 0 too, but point 0 has y 1
    p->ResetCurve(1);
    p->SetCurvePoint(1, 2, 0.0, 0);
    p->SetCurvePoint(2, 2, 0.0, 0);
    p->RenderToImage();
    EXPECT_DOUBLE_EQ(p->MinY1Value, -0.1);  // 0..1, rounded outward
    EXPECT_DOUBLE_EQ(p->Ticks(2).DrawnMax, 1.1);
    EXPECT_LE(p->XDrawnMin, 0.0);
    EXPECT_GE(p->XDrawnMax, 1.0);
}

TEST_F(PlotDraw, SecondAxisCurveScalesTheRightAxisOnly) {
    auto p = makeStartPlot();
    p->ZweiteYAchse = true;
    p->Y2AchseFix = false;
    p->Y2AutoTics = false;
    p->SetKurvenAnzahl(2);
    Line(*p, 1, {{400, 0.1}, {500, 0.9}});
    Line(*p, 2, {{400, 10}, {500, 20}});
    p->SetCurveAxis(2, 2);
    p->RenderToImage();
    EXPECT_NEAR(p->MinY2Value, 10 - 0.6, 1e-12);
    EXPECT_NEAR(p->MaxY2Value, 20 + 1.2, 1e-12);
    EXPECT_LT(p->MaxY1Value, 2.0);
}

TEST_F(PlotDraw, MarkerHeadroomComesFromTheLastCurve) {
    auto p = makeStartPlot(800, 500);
    p->Y1AutoTics = false;
    p->SetKurvenAnzahl(1);
    Line(*p, 1, {{400, 0}, {500, 1}, {600, 0}});
    p->RenderToImage();
    const double plain = p->MaxY1Value;
    p->AddMarkers(1, {1}, {"500"});
    p->Dirty = true;
    p->RenderToImage();
    EXPECT_GT(p->MaxY1Value, plain + 0.05);
    p->SetKurvenAnzahl(2);
    Line(*p, 2, {{400, 0}, {500, 0.5}, {600, 0}});
    p->RenderToImage();
    EXPECT_DOUBLE_EQ(p->MaxY1Value, plain);  // the last curve has no markers
}

TEST_F(PlotDraw, TitleMarginsComeAndGoWithoutDrift) {
    auto p = Bare();
    p->RenderToImage();
    const QRect bare = p->PlotArea();
    p->XAchsenTextAn = true;
    p->Y1AchsenTextAn = true;
    p->SecondXAxisOn = true;
    p->RenderToImage();
    EXPECT_EQ(p->PlotArea().bottom(), bare.bottom() - 30);
    EXPECT_EQ(p->PlotArea().left(), bare.left() + 30);
    EXPECT_EQ(p->PlotArea().top(), bare.top() + 30);
    QFont big = p->LegendeFont;
    big.setPointSize(14);
    p->LegendeFont = big;
    p->XAchsenTextAn = false;
    p->Y1AchsenTextAn = false;
    p->SecondXAxisOn = false;
    p->RenderToImage();
    EXPECT_EQ(p->PlotArea(), bare);
}

}  // namespace

namespace {

TEST_F(PlotDraw, WavenumberPlotWithBothSecondAxes) {
    auto p = makeStartPlot(900, 560);
    showIn(*p, SpecXWavenumber, SpecYAbsorbance);
    p->Direction = 2;
    p->X2Direction = 1;
    p->SecondXAxisOn = true;
    p->ZweiteYAchse = true;
    p->Y2AchsenTextAn = true;
    p->Y2achsenText = "Ratio";
    p->XachsenText = "Wavenumbers [1/cm]";
    p->X2achsenText = "Wavelength [nm]";
    p->SetKurvenAnzahl(2);
    Line(*p, 1, {{4000, 0.1}, {3000, 0.5}, {2000, 0.2}, {1000, 0.9}, {400, 0.3}});
    Line(*p, 2, {{4000, 0.2}, {3000, -0.3}, {2000, 0.4}, {1000, 0.1}, {400, 0.0}});
    p->SetCurveAxis(2, 2);
    p->SetCurveColor(2, 0x0000FF);
    p->AddMarkers(1, {1, 3}, {"3000", "1000"});
    const QImage img = p->RenderToImage();
    dumpImage(img, "wavenumber");
    EXPECT_DOUBLE_EQ(p->XDrawnMin, 400);
    EXPECT_DOUBLE_EQ(p->XDrawnMax, 4000);
    EXPECT_DOUBLE_EQ(p->MinY2Value, -0.6);  // fixed second axis
    // Top axis in nm: 2500 .. 25000, every drawn tick inside the axis.
    EXPECT_DOUBLE_EQ(p->MinX2Value, 2500);
    EXPECT_DOUBLE_EQ(p->MaxX2Value, 25000);
    const TAxisTicks& t = p->Ticks(1);
    int drawn = 0;
    for (int i = 0; i < p->X2MajorTics.get(); ++i) {
        if (t.Offsets[i] >= 0) {
            ++drawn;
            EXPECT_LE(t.Offsets[i], p->PlotArea().right() - p->PlotArea().left());
        }
    }
    EXPECT_GT(drawn, 3);
    // Symbols instead of lines on the same layout.
    p->DrawAsLines = false;
    dumpImage(p->RenderToImage(), "symbols");
}

}  // namespace
