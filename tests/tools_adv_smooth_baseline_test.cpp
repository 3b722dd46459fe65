// Advanced smoothing and the baselines, without a display: the parameters handed to the smoother,
// the anchors and the three baseline kinds against their definitions, and the preview record kept
// by identity.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/smoothing.h"
#include "core/spectrum_arithmetic.h"
#include "platform/errors.h"
#include "tests/tools_test_support.h"
#include "tools/adv_baseline.h"
#include "tools/adv_smoothing.h"

using namespace tooltest;

namespace {

std::vector<double> wavy(int n, double base = 0.6) {
    std::vector<double> y(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) y[i] = base + 0.3 * std::sin(i * 0.37) + 0.05 * ((i * 7919) % 11) / 11.0;
    return y;
}

TAdvBaselineParams baselineParams(int32_t method, int32_t spectrum = 0) {
    TAdvBaselineParams p;
    p.Settings.Method = method;
    p.Spectrum = spectrum;
    return p;
}

}  // namespace

TEST(AdvSmoothing, EachMethodHandsItsSizeAndParameterToTheSmoother) {
    struct Case {
        int32_t mode;
        int32_t width, param;
        uint8_t yMode;  // display y mode the smoother must see
    };
    // Transmittance display: the percentile filter alone reads absorbance.
    const Case cases[] = {{0, 7, 1, 1}, {1, 12, 4, 1}, {2, 9, 35, 2}};
    for (const Case& c : cases) {
        TSpectraList list;
        addRecord(list, "s", 400, 1, wavy(60));
        TAdvSmoothParams p;
        p.Settings.Mode = c.mode;
        p.Settings.MovingAverageSize = 7;
        p.Settings.MovingAverageShape = 1;
        p.Settings.SavitzkySize = 12;
        p.Settings.SavitzkyOrder = 4;
        p.Settings.PercentileSize = 9;
        p.Settings.Percentile = 35;
        ASSERT_EQ(RunAdvSmoothing(list, TDisplayState{SpecXNanometer, SpecYTransmittance}, p), 1) << c.mode;
        std::unique_ptr<TSpectrumRecord> expected;
        SmoothSpectrumAdv(expected, list[0], c.mode, c.width, c.param,
                          TDisplayState{SpecXNanometer, *YKindOfCode(c.yMode)});
        EXPECT_EQ(list[1].Values, expected->Values) << c.mode;
        EXPECT_EQ(list[1].Title.str(), "s\t smoothed");
        EXPECT_EQ(list[1].Color, CurveColor(2));
    }
}

TEST(AdvSmoothing, OrderCountsTheCoefficientsOfTheLocalPolynomial) {
    // Cubic values: three coefficients (a quadratic) cannot follow them, four reproduce them.
    std::vector<double> y(40);
    for (int i = 0; i < 40; ++i) y[i] = 1e-4 * std::pow(i - 20.0, 3);
    for (int32_t order : {3, 4}) {
        TSpectraList list;
        addRecord(list, "cubic", 400, 1, y);
        TAdvSmoothParams p;
        p.Settings.SavitzkySize = 10;
        p.Settings.SavitzkyOrder = order;
        ASSERT_EQ(RunAdvSmoothing(list, TDisplayState{}, p), 1);
        double worst = 0.0;
        for (int i = 0; i < 40; ++i) worst = std::max(worst, std::fabs(list[1].Values[i] - y[i]));
        if (order == 4) EXPECT_LT(worst, 1e-12);
        else EXPECT_GT(worst, 1e-4);
    }
}

TEST(AdvSmoothing, ShortSpectraStopTheWholeRun) {
    TSpectraList list;
    addRecord(list, "long", 400, 1, wavy(30));
    addRecord(list, "two points", 400, 1, {1.0, 2.0});
    TAdvSmoothParams p;
    p.Spectrum = 1;
    EXPECT_EQ(RunAdvSmoothing(list, TDisplayState{}, p), 0);
    p.Settings.AllSpectra = true;
    EXPECT_EQ(RunAdvSmoothing(list, TDisplayState{}, p), 0);
    EXPECT_EQ(list.Count(), 2);
}

TEST(AdvSmoothing, AllSpectraReplacingOriginalsKeepOrderAndColours) {
    TSpectraList list;
    addRecord(list, "a", 400, 1, wavy(30), SpecXNanometer, 0x11);
    addRecord(list, "b", 400, 1, wavy(30, 1.0), SpecXNanometer, 0x22);
    addRecord(list, "c", 400, 1, wavy(30, 2.0), SpecXNanometer, 0x33);
    TAdvSmoothParams p;
    p.Settings.AllSpectra = true;
    p.Settings.RemoveOriginal = true;
    p.Settings.Mode = 0;
    EXPECT_EQ(RunAdvSmoothing(list, TDisplayState{}, p), 3);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"a\t smoothed", "b\t smoothed", "c\t smoothed"}));
    EXPECT_EQ(list[0].Color, 0x11u);
    EXPECT_EQ(list[2].Color, 0x33u);
}

TEST(AdvSmoothing, SettingsOutsideTheControlsAreClamped) {
    TAdvSmoothSettings s;
    s.Mode = 7;
    s.MovingAverageSize = 1;
    s.SavitzkySize = 500;
    s.SavitzkyOrder = 9;
    s.PercentileSize = 0;
    s.Percentile = 120;
    const TAdvSmoothSettings c = ClampedAdvSmoothSettings(s);
    EXPECT_EQ(c.Mode, 2);
    EXPECT_EQ(c.MovingAverageSize, 2);
    EXPECT_EQ(c.SavitzkySize, 200);
    EXPECT_EQ(c.SavitzkyOrder, 5);
    EXPECT_EQ(c.PercentileSize, 4);
    EXPECT_EQ(c.Percentile, 100);
}

TEST(BaselineAnchors, TheMinimumBetweenTheFifthsMovesTheNearerAnchor) {
    struct Case {
        int32_t minAt;
        int32_t left, right;
    };
    // Ten points: left fifth 0..2, right fifth 8..9; anchors at 1 and 9 without the dip.
    const Case cases[] = {{4, 4, 9}, {6, 1, 6}, {5, 1, 5} /* equal distance: the right one */, {9, 1, 9}};
    for (const Case& c : cases) {
        std::vector<double> y{0.5, 0.2, 0.4, 0.9, 0.9, 0.9, 0.9, 0.9, 0.7, 0.3};
        y[static_cast<std::size_t>(c.minAt)] = 0.05;
        const TBaselineAnchors a = BaselineAnchors(y);
        EXPECT_EQ(a.Left, c.left) << c.minAt;
        EXPECT_EQ(a.Right, c.right) << c.minAt;
        EXPECT_EQ(a.Min, c.minAt);
        EXPECT_EQ(a.YMin, 0.05);
        EXPECT_EQ(a.YMax, 0.9);
        EXPECT_EQ(a.YLeft, y[static_cast<std::size_t>(c.left)]);
        EXPECT_EQ(a.YRight, y[static_cast<std::size_t>(c.right)]);
    }
}

TEST(BaselineValues, LinearThroughTheTiltedAnchorsPlusOffset) {
    TSpectrumRecord S = *makeRecord("s", 400, 1, {0.5, 0.2, 0.4, 0.9, 0.9, 0.9, 0.9, 0.9, 0.7, 0.3});
    struct Case {
        int32_t slope, offset;
    };
    for (const Case c : {Case{0, 0}, Case{25, 0}, Case{-40, 60}}) {
        TAdvBaselineSettings s;
        s.LinearSlope = c.slope;
        s.LinearOffset = c.offset;
        const std::vector<double> b = BaselineValues(S, TDisplayState{}, s);
        const double yl = 0.2 + 0.2 * 2 * c.slope / 100.0, yr = 0.3 - 0.3 * 2 * c.slope / 100.0;
        for (int j = 0; j < 10; ++j)
            EXPECT_NEAR(b[j], yl + (yr - yl) * (j - 1) / 8.0 + 0.7 * c.offset / 100.0 * 0.5, 1e-15) << j;
    }
    // Both anchors on one point (three points, lowest first): a flat line, not a division by zero.
    TSpectrumRecord three = *makeRecord("3", 400, 1, {0.1, 0.5, 0.9});
    EXPECT_EQ(BaselineValues(three, TDisplayState{}, TAdvBaselineSettings{}), std::vector<double>(3, 0.1));
}

TEST(BaselineValues, AdaptiveIsTheLowerEnvelopeSmoothedInPlace) {
    // Reference straight from the point smoothers: running minimum, offset, then the moving average
    // applied point by point into the same values.
    for (int n : {3, 4, 7, 40, 333, 9000}) {
        for (int coarseness : {0, 1, 30, 70, 100}) {
            TSpectrumRecord S = *makeRecord("s", 400, 1, wavy(n));
            TAdvBaselineSettings s;
            s.Method = BaselineAdaptive;
            s.AdaptiveCoarseness = coarseness;
            s.AdaptiveOffset = -30;
            // Transmittance display: the baseline still works on absorbance.
            const std::vector<double> b = BaselineValues(S, TDisplayState{SpecXNanometer, SpecYTransmittance}, s);
            const TDisplayState abs{SpecXNanometer, SpecYAbsorbance};
            const int w = static_cast<int>(std::nearbyint(coarseness / 200.0 * n));
            const double span = *std::max_element(S.Values.begin(), S.Values.end()) -
                                *std::min_element(S.Values.begin(), S.Values.end());
            TSpectrumRecord ref = S;
            for (int j = 0; j < n; ++j) ref.Values[j] = SmoothPoint(S, j, 2, w, 0, abs) + span * -0.3 * 0.1;
            for (int j = 0; j < n; ++j) ref.Values[j] = SmoothPoint(ref, j, 0, w, 0, abs);
            ASSERT_EQ(b.size(), ref.Values.size());
            for (int j = 0; j < n; ++j) EXPECT_NEAR(b[j], ref.Values[j], 1e-13) << n << " " << coarseness << " " << j;
        }
    }
}

TEST(BaselineValues, ScatteringCurvePassesTheAnchorsAndSurvivesEqualAnchors) {
    TSpectrumRecord S = *makeRecord("turbid", 300, 10, {});
    for (int j = 0; j < 50; ++j) {
        const double x = 300 + 10 * j;
        S.Values.push_back(0.1 + 2e9 / std::pow(x, 4) + (j == 25 ? 0.5 : 0.0));
    }
    for (int32_t power : {2, 3, 4}) {
        TAdvBaselineSettings s;
        s.Method = BaselineScattering;
        s.ScatteringPower = power;
        s.ScatteringSpread = 0;
        const std::vector<double> b = BaselineValues(S, TDisplayState{}, s);
        const TBaselineAnchors a = BaselineAnchors(S.Values);
        EXPECT_NEAR(b[a.Left], a.YLeft, 1e-12) << power;
        EXPECT_NEAR(b[a.Right], a.YRight, 1e-12) << power;
        EXPECT_GT(b[a.Left], b[a.Right]);  // falls with wavelength
        // Spread scales, offset shifts.
        s.ScatteringSpread = -50;
        s.ScatteringOffset = 40;
        const std::vector<double> c = BaselineValues(S, TDisplayState{}, s);
        const double span = a.YMax - a.YMin;
        EXPECT_NEAR(c[10], (b[10] + span * 0.4 * 0.05) * 0.5, 1e-12);
    }
    // Equal anchor values: the scale is 0, the baseline the right anchor's level, no division by zero.
    TSpectrumRecord flat = *makeRecord("flat", 300, 10, std::vector<double>(20, 0.4));
    TAdvBaselineSettings s;
    s.Method = BaselineScattering;
    const std::vector<double> b = BaselineValues(flat, TDisplayState{}, s);
    for (double v : b) EXPECT_NEAR(v, 0.4 * 0.95, 1e-15);
}

TEST(BaselinePreview, OneRecordPerOpeningFollowingTheChosenSpectrum) {
    TSpectraList list;
    auto& a = addRecord(list, "a", 400, 1, wavy(50));
    a.LineWidth = 2;
    a.Temperature = 77;
    addRecord(list, "b", 200, 0.5, wavy(80));
    addRecord(list, "short", 400, 1, {1.0, 2.0});
    const std::vector<std::string> before = titles(list);
    {
        TBaselinePreview preview(list);
        EXPECT_EQ(preview.Baseline(), nullptr);
        EXPECT_EQ(preview.ShowBaseline(TDisplayState{}, baselineParams(BaselineLinear, 0)), 3);
        TSpectrumRecord* B = preview.Baseline();
        ASSERT_NE(B, nullptr);
        EXPECT_EQ(B->Title.str(), "Baseline for: a");
        EXPECT_EQ(B->LineWidth, 3);
        EXPECT_EQ(B->Temperature, 77.0);
        EXPECT_EQ(B->Color, CurveColor(2));
        EXPECT_EQ(B->PointCount(), 50);
        // Another method, then a spectrum on another grid: the same record, rebuilt.
        EXPECT_EQ(preview.ShowBaseline(TDisplayState{}, baselineParams(BaselineAdaptive, 0)), 3);
        EXPECT_EQ(preview.ShowBaseline(TDisplayState{}, baselineParams(BaselineScattering, 1)), 3);
        EXPECT_EQ(preview.Baseline(), B);
        EXPECT_EQ(B->Title.str(), "Baseline for: b");
        EXPECT_EQ(B->FirstX, 200.0);
        EXPECT_EQ(B->StepX, 0.5);
        EXPECT_EQ(B->PointCount(), 80);
        EXPECT_EQ(B->Values, BaselineValues(list[1], TDisplayState{}, baselineParams(BaselineScattering).Settings));
        // Under three points: nothing shown, B as it was.
        EXPECT_EQ(preview.ShowBaseline(TDisplayState{}, baselineParams(BaselineLinear, 2)), -1);
        EXPECT_EQ(B->Title.str(), "Baseline for: b");
        EXPECT_EQ(list.Count(), 4);
        // Cancel after several previews: the list as before.
        preview.Remove();
        EXPECT_EQ(titles(list), before);
        preview.Remove();
        EXPECT_EQ(list.Count(), 3);
    }
    {
        TBaselinePreview preview(list);
        preview.ShowBaseline(TDisplayState{}, baselineParams(BaselineLinear, 0));
    }  // closing without a decision removes B too
    EXPECT_EQ(titles(list), before);
}

TEST(BaselineApply, SubtractsFromTheChosenSpectrumAndRemovesB) {
    TSpectraList list;
    addRecord(list, "a", 400, 1, wavy(50));
    addRecord(list, "b", 400, 1, wavy(50, 1.0));
    TBaselinePreview preview(list);
    TAdvBaselineParams p = baselineParams(BaselineLinear, 1);
    p.Settings.LinearOffset = 20;
    p.Settings.KeepLegend = false;
    preview.ShowBaseline(TDisplayState{}, baselineParams(BaselineLinear, 0));  // the preview of another choice
    const std::vector<double> b = BaselineValues(list[1], TDisplayState{}, p.Settings);
    EXPECT_EQ(ApplyAdvBaseline(list, TDisplayState{SpecXNanometer, SpecYTransmittance}, p, preview), 1);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"a", "b", "b (baseline corrected)"}));
    for (int j = 0; j < 50; ++j) EXPECT_NEAR(list[2].Values[j], list[1].Values[j] - b[j], 1e-15) << j;
    EXPECT_EQ(list[2].Color, CurveColor(4));  // appended after B, which then left
    EXPECT_EQ(preview.Baseline(), nullptr);
}

TEST(BaselineApply, AllSpectraReplacedAndBRemovedByIdentity) {
    TSpectraList list;
    addRecord(list, "a", 400, 1, wavy(50), SpecXNanometer, 0x11);
    addRecord(list, "b", 400, 1, wavy(50, 1.0), SpecXNanometer, 0x22);
    addRecord(list, "c", 400, 1, wavy(50, 2.0), SpecXNanometer, 0x33);
    TBaselinePreview preview(list);
    TAdvBaselineParams p = baselineParams(BaselineAdaptive, 2);
    p.Settings.AllSpectra = true;
    p.Settings.RemoveOriginal = true;
    ASSERT_EQ(preview.ShowBaseline(TDisplayState{}, p), 3);
    const std::vector<double> b = preview.Baseline()->Values;
    const std::vector<double> a0 = list[0].Values;
    EXPECT_EQ(ApplyAdvBaseline(list, TDisplayState{}, p, preview), 3);
    // B stood between the originals and the results; it is gone, the results keep the old order and
    // colours.
    EXPECT_EQ(titles(list), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(list[0].Color, 0x11u);
    EXPECT_EQ(list[2].Color, 0x33u);
    for (int j = 0; j < 50; ++j) EXPECT_NEAR(list[0].Values[j], a0[j] - b[j], 1e-15);
}

TEST(BaselineApply, KeptBaselineStaysAndShortChoiceDoesNothing) {
    TSpectraList list;
    addRecord(list, "a", 400, 1, wavy(50));
    addRecord(list, "short", 400, 1, {0.1, 0.2});
    {
        TBaselinePreview preview(list);
        TAdvBaselineParams p = baselineParams(BaselineLinear, 0);
        p.Settings.CreateBaselineSpectrum = true;
        EXPECT_EQ(ApplyAdvBaseline(list, TDisplayState{}, p, preview), 1);
    }
    EXPECT_EQ(titles(list), (std::vector<std::string>{"a", "short", "Baseline for: a", "a"}));
    TBaselinePreview preview(list);
    preview.ShowBaseline(TDisplayState{}, baselineParams(BaselineLinear, 0));
    EXPECT_EQ(list.Count(), 5);
    // OK on the two-point spectrum: no subtraction, and the preview made for another spectrum leaves.
    EXPECT_EQ(ApplyAdvBaseline(list, TDisplayState{}, baselineParams(BaselineLinear, 1), preview), 0);
    EXPECT_EQ(list.Count(), 4);
}
