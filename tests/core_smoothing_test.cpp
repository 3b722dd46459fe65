#include <gtest/gtest.h>

#include "core/least_squares.h"
#include "core/smoothing.h"
#include "core/spectra_list.h"
#include "platform/errors.h"
#include "platform/ui.h"
#include "core_algos_fixtures.h"

namespace {

// 40 points from 400 nm in steps of 0.5 nm carrying the wavy signal.
TSpectrumRecord Wavy() { return MakeRecord(SpecXNanometer, 400.0, 0.5, WavySignal(40)); }

struct RefPoint {
    int32_t i;
    double value;
};

}  // namespace

struct WindowCase {
    int32_t i, h, n, lo, hi;
};
class WindowRule : public testing::TestWithParam<WindowCase> {};
TEST_P(WindowRule, MovesInsideTheRecord) {
    auto c = GetParam();
    SmoothingWindow w = SmoothingWindowOf(c.i, c.h, c.n);
    EXPECT_EQ(w.lo, c.lo);
    EXPECT_EQ(w.hi, c.hi);
}
INSTANTIATE_TEST_SUITE_P(Cases, WindowRule,
                         testing::Values(WindowCase{5, 2, 20, 3, 7},     // inside
                                         WindowCase{0, 5, 20, 0, 10},    // cut at the start
                                         WindowCase{19, 5, 20, 9, 19},   // shifted back at the end
                                         WindowCase{10, 5, 11, 1, 10},   // exactly 2h+1 points: start >= 1
                                         WindowCase{0, 5, 4, 1, 3},      // shorter than the window
                                         WindowCase{0, 0, 1, 0, 0}));

struct HalfWidthCase {
    double step;
    int32_t h;
};
class PolyHalfWidth : public testing::TestWithParam<HalfWidthCase> {};
TEST_P(PolyHalfWidth, CoversAboutFiveUnits) {
    auto r = MakeRecord(SpecXNanometer, 400, GetParam().step, {1, 2});
    EXPECT_EQ(SmoothPolyHalfWidth(r), GetParam().h);
}
INSTANTIATE_TEST_SUITE_P(Cases, PolyHalfWidth,
                         testing::Values(HalfWidthCase{0.1, 15}, HalfWidthCase{5.0, 3}, HalfWidthCase{1.0, 5},
                                         HalfWidthCase{-2.0, 2 + 1}, HalfWidthCase{0.0, 15},
                                         HalfWidthCase{0.4, 12}));  // 12.5 rounds to even

TEST(SmoothPoint, PolynomialAgreesWithIndependentFits) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    TSpectrumRecord r = Wavy();
    const RefPoint w5[] = {{0, -0.004421795727679953}, {1, 0.3198771409636616},  {7, 0.8960255753971467},
                           {20, -0.2458178009537886},  {38, -0.8619815504674881}, {39, -0.7498913199269348}};
    const RefPoint w11[] = {{0, -0.033201521297657265}, {1, 0.33942016187163787}, {7, 0.8914614116470224},
                            {20, -0.22592418381894502}, {38, -0.8939399568184306}, {39, -0.7124761805919011}};
    std::vector<double> all5 = SmoothValues(r, SmoothModePolynomial, 5, 3, display);
    std::vector<double> all11 = SmoothValues(r, SmoothModePolynomial, 11, 4, display);
    for (auto p : w5) {
        EXPECT_NEAR(SmoothPoint(r, p.i, SmoothModePolynomial, 5, 3, display), p.value, 1e-12) << p.i;
        EXPECT_NEAR(all5[p.i], p.value, 1e-12) << p.i;
    }
    for (auto p : w11) {
        EXPECT_NEAR(SmoothPoint(r, p.i, SmoothModePolynomial, 11, 4, display), p.value, 1e-12) << p.i;
        EXPECT_NEAR(all11[p.i], p.value, 1e-12) << p.i;
    }
}

TEST(SmoothPoint, PolynomialOnAReciprocalDisplayGrid) {
    // nm record shown in 1/cm: display x is not evenly spaced, the fit runs on the true x values.
    const TDisplayState display{SpecXWavenumber, SpecYAbsorbance};
    TSpectrumRecord r = Wavy();
    std::vector<double> all = SmoothValues(r, SmoothModePolynomial, 5, 3, display);
    EXPECT_NEAR(all[0], -0.004475955931523138, 1e-11);
    EXPECT_NEAR(all[5], 1.0822618218003548, 1e-11);
    EXPECT_NEAR(all[39], -0.7499316491047362, 1e-11);
}

TEST(SmoothPoint, AveragesAndPercentilesAgreeWithIndependentValues) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    TSpectrumRecord r = Wavy();
    struct Ref {
        int32_t width, i;
        double mean, tri;
    };
    const Ref refs[] = {{5, 0, 0.5458749658994477, 0.5622870906281172},
                        {5, 3, 0.7607585786048741, 0.7835270729174425},
                        {5, 20, -0.20720974517865703, -0.22199801484835482},
                        {5, 39, -0.8580685683344026, -0.8780877440986756},
                        {11, 0, 0.6454725067982637, 0.8104726811632333},
                        {11, 3, 0.6454725067982637, 0.8104726811632333},
                        {11, 20, -0.11629969850509249, -0.16390191676915802},
                        {11, 39, -0.3740768870673223, -0.48609494826273136}};
    for (auto w : {5, 11}) {
        std::vector<double> mean = SmoothValues(r, SmoothModeAverage, w, 0, display);
        std::vector<double> tri = SmoothValues(r, SmoothModeAverage, w, 1, display);
        for (const Ref& ref : refs) {
            if (ref.width != w) continue;
            EXPECT_NEAR(mean[ref.i], ref.mean, 1e-14) << w << " " << ref.i;
            EXPECT_NEAR(tri[ref.i], ref.tri, 1e-14) << w << " " << ref.i;
            EXPECT_NEAR(SmoothPoint(r, ref.i, SmoothModeAverage, w, 0, display), ref.mean, 1e-14);
            EXPECT_NEAR(SmoothPoint(r, ref.i, SmoothModeAverage, w, 1, display), ref.tri, 1e-14);
        }
    }
    struct PRef {
        int32_t width, i, p;
        double value;
    };
    const PRef prefs[] = {{5, 0, 50, 0.45315826310511054},  {5, 0, 10, 0.0},
                          {5, 20, 50, -0.3650505203982817}, {5, 20, 10, -0.6958414106329109},
                          {5, 39, 50, -0.8832780202416757}, {11, 0, 10, 0.09748308095301053},
                          {11, 20, 10, -0.9483858247889304}, {11, 39, 50, -0.7193906742178264}};
    for (const PRef& p : prefs) {
        EXPECT_DOUBLE_EQ(SmoothPoint(r, p.i, SmoothModePercentile, p.width, p.p, display), p.value) << p.i;
        EXPECT_DOUBLE_EQ(SmoothValues(r, SmoothModePercentile, p.width, p.p, display)[p.i], p.value) << p.i;
    }
}

TEST(SmoothPoint, PercentileOfEveryWindowFollowsTheRankRule) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    TSpectrumRecord r = MakeRecord(SpecXNanometer, 400, 1, WavySignal(60));
    for (int32_t width : {4, 7}) {
        const int32_t h = width / 2;
        for (int32_t p : {0, 10, 25, 50, 90, 100}) {
            std::vector<double> all = SmoothValues(r, SmoothModePercentile, width, p, display);
            for (int32_t i = 0; i < 60; ++i) {
                SmoothingWindow w = SmoothingWindowOf(i, h, 60);
                std::vector<double> v(r.Values.begin() + w.lo, r.Values.begin() + w.hi + 1);
                EXPECT_EQ(all[i], Percentile(v, 0, static_cast<int32_t>(v.size()) - 1, p)) << i << " " << p;
            }
        }
    }
}

TEST(SmoothPoint, MeanAtTheStartUsesTheFirstFullWindow) {
    std::vector<double> v(30);
    for (int i = 0; i < 30; ++i) v[i] = i * i;
    TSpectrumRecord r = MakeRecord(SpecXNanometer, 400, 1, v);
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    // Width 10: h = 5, the window of point 0 is 0..10.
    EXPECT_DOUBLE_EQ(SmoothPoint(r, 0, SmoothModeAverage, 10, 0, display), 385.0 / 11.0);
    EXPECT_DOUBLE_EQ(SmoothPoint(r, 0, SmoothModeAverage, 10, 7, display), 0.0);  // unknown shape
}

// A polynomial of the fitted order comes back unchanged (to rounding), whatever the grid.
struct ExactCase {
    SpecXUnit unit;
    double first, step;
    SpecXUnit display;
    int32_t width, coeffs;
};
class ExactPolynomial : public testing::TestWithParam<ExactCase> {};
TEST_P(ExactPolynomial, IsReproduced) {
    auto c = GetParam();
    const TDisplayState display{c.display, SpecYAbsorbance};
    TSpectrumRecord r = MakeRecord(c.unit, c.first, c.step, {});
    r.Values.resize(300);
    // A polynomial in display x, centred in the range so the values stay of order 1.
    const double x0 = SpecXValue(r, 150, display);
    const double span = std::fabs(SpecXValue(r, 299, display) - SpecXValue(r, 0, display));
    auto f = [&](double x) {
        double t = (x - x0) / span, s = 0, p = 1;
        for (int k = 0; k < c.coeffs; ++k) {
            s += (k + 1) * (k % 2 ? -1 : 1) * p;
            p *= t;
        }
        return s;
    };
    for (int i = 0; i < 300; ++i) r.Values[i] = f(SpecXValue(r, i, display));
    std::vector<double> out = SmoothValues(r, SmoothModePolynomial, c.width, c.coeffs, display);
    for (int i = 0; i < 300; i += 7) EXPECT_NEAR(out[i], r.Values[i], 1e-9) << i;
    EXPECT_NEAR(out[299], r.Values[299], 1e-9);
    if (c.coeffs == 3) {
        std::unique_ptr<TSpectrumRecord> res;
        SmoothSpectrumAdv(res, r, SmoothModePolynomial, c.width, 3, display);
        for (int i = 0; i < 300; i += 13) EXPECT_NEAR(res->Values[i], r.Values[i], 1e-9);
        std::vector<double> poly = SmoothPolyValues(r, display);
        for (int i = 0; i < 300; i += 13) EXPECT_NEAR(poly[i], r.Values[i], 1e-9);
        EXPECT_NEAR(SmoothPointPoly(r, 0, display), r.Values[0], 1e-9);
    }
}
INSTANTIATE_TEST_SUITE_P(
    Grids, ExactPolynomial,
    testing::Values(ExactCase{SpecXNanometer, 350, 0.5, SpecXNanometer, 11, 3},
                    ExactCase{SpecXNanometer, 350, 0.5, SpecXNanometer, 51, 6},
                    ExactCase{SpecXWavenumber, 4000, -2, SpecXWavenumber, 21, 3},
                    ExactCase{SpecXWavenumber, 4000, -2, SpecXWavenumber, 51, 6},
                    ExactCase{SpecXWavenumber, 4000, -2, SpecXNanometer, 21, 3},     // uneven display grid
                    ExactCase{SpecXNanometer, 350, 0.5, SpecXWavenumber, 11, 4},     // uneven display grid
                    ExactCase{SpecXMicrometer, 0.35, 0.0005, SpecXNanometer, 9, 5},
                    ExactCase{SpecXNanometer, 350, 0.5, SpecXElectronVolt, 7, 3}));

TEST(SmoothValues, LinearTimePathsMatchThePointByPointDefinition) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    TSpectrumRecord r = MakeRecord(SpecXNanometer, 400, 0.25, WavySignal(10000));
    for (int32_t width : {3, 5, 51}) {
        for (auto [mode, param] : {std::pair{0, 0}, std::pair{0, 1}, std::pair{1, 3}, std::pair{1, 6}}) {
            std::vector<double> fast = SmoothValues(r, mode, width, param, display);
            for (int32_t i : {0, 1, 24, 25, 26, 4095, 4096, 5000, 8193, 9974, 9975, 9998, 9999})
                EXPECT_NEAR(fast[i], SmoothPoint(r, i, mode, width, param, display), 1e-11)
                    << "mode " << mode << " param " << param << " width " << width << " i " << i;
        }
    }
}

TEST(SmoothValues, ShortSpectraKeepPointsWithTooFewNeighbours) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    TSpectrumRecord r = MakeRecord(SpecXNanometer, 400, 1, {1, 5, 2, 8});
    // Width 11 on 4 points: windows of at most 3 points (start >= 1) cannot carry 4 coefficients.
    std::vector<double> out = SmoothValues(r, SmoothModePolynomial, 11, 4, display);
    EXPECT_EQ(out, r.Values);
    // The mean uses what the window holds: points 1..3.
    EXPECT_DOUBLE_EQ(SmoothValues(r, SmoothModeAverage, 11, 0, display)[0], 5.0);
}

TEST(SmoothValues, RefusesUnusableParameters) {
    const TDisplayState display;
    TSpectrumRecord r = Wavy();
    EXPECT_THROW(SmoothValues(r, SmoothModePolynomial, 5, 7, display), vx::Error);
    EXPECT_THROW(SmoothValues(r, SmoothModePolynomial, 5, 0, display), vx::Error);
    EXPECT_THROW(SmoothPoint(r, 3, 9, 5, 0, display), vx::Error);
}

TEST(SmoothValues, ZeroStepKeepsTheValues) {
    const TDisplayState display;
    TSpectrumRecord r = MakeRecord(SpecXNanometer, 400, 0, {1, 2, 3, 4, 5});
    EXPECT_EQ(SmoothPolyValues(r, display), r.Values);
}

TEST(SmoothSpectrumAdv, BuildsATitledCopyInDisplayUnits) {
    const TDisplayState display{SpecXNanometer, SpecYTransmittance};
    TSpectrumRecord src = MakeRecord(SpecXNanometer, 400, 1, {1, 0, 1, 0, 1, 0, 1});
    src.Title = "lamp";
    src.Concentration = 2e-5;
    src.ExcitationWl = 350;
    std::unique_ptr<TSpectrumRecord> res = std::make_unique<TSpectrumRecord>();
    SmoothSpectrumAdv(res, src, SmoothModeAverage, 3, 0, display);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->Title.str(), "lamp\t smoothed");
    EXPECT_EQ(res->PointCount(), 7);
    EXPECT_DOUBLE_EQ(res->ExcitationWl, 350);
    EXPECT_DOUBLE_EQ(res->Concentration, 2e-5);
    // Averaged as transmittance: point 1 is the mean of T = 0.1, 1, 0.1, stored as absorbance.
    EXPECT_NEAR(res->Values[1], -std::log10(0.4), 1e-14);
}

TEST(SmoothAllSpectra, AppendsOneSmoothedCopyPerSpectrum) {
    ui::ScopedScriptedBackend ui;
    TSpectraList list;
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    for (int k = 0; k < 2; ++k) {
        auto r = std::make_unique<TSpectrumRecord>(Wavy());
        r->Title = "s" + std::to_string(k);
        list.AddWithDefaultColor(std::move(r));
    }
    int32_t begun = 0;
    double stepped = 0;
    bool ended = false;
    SmoothAllSpectra(list, display,
                     {[&](int32_t m) { begun = m; }, [&](double s) { stepped += s; }, [&] { ended = true; }});
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list[2].Title.str(), "s0\t smoothed");
    EXPECT_EQ(list[3].Title.str(), "s1\t smoothed");
    EXPECT_EQ(list[3].Color, CurveColor(4));
    EXPECT_EQ(begun, 1000);
    EXPECT_NEAR(stepped, 1000.0, 1e-9);
    EXPECT_TRUE(ended);
    EXPECT_EQ(ui->status[1], "smoothing spectra: ");
    std::vector<double> expect = SmoothPolyValues(list[0], display);
    EXPECT_EQ(list[2].Values, expect);
}
