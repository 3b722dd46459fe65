// The Levenberg-Marquardt fit of the band-group model: known parameters recovered from spectra made by
// the model, the stage lists, the activation and connect switches, and the rules for steps that
// cannot be made.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>

#include "core/units.h"
#include "platform/errors.h"
#include "tools/gauss_fit.h"
#include "tools/gauss_model.h"

namespace {

constexpr TDisplayState kWavenumbers{SpecXWavenumber, SpecYAbsorbance};
constexpr double kNoCut = std::numeric_limits<double>::infinity();

// A measured spectrum in 1/cm (25000 down to 12500, step 2.5) made by the model without its cut.
TSpectrumRecord spectrumOf(const TGaussModelParams& truth, int points = 5001) {
    TSpectrumRecord r;
    r.XUnit = SpecXWavenumber;
    r.FirstX = 25000.0;
    r.StepX = -12500.0 / (points - 1);
    r.Values.resize(static_cast<std::size_t>(points));
    for (int i = 0; i < points; ++i) r.Values[static_cast<std::size_t>(i)] = GaussBandSum(truth, r.XAt(i), kNoCut);
    return r;
}

TGaussGroup group(int bands, double position, double width, double spacing, std::vector<double> amps) {
    TGaussGroup g;
    g.BandCount = bands;
    g.Position = position;
    g.Width = width;
    g.Spacing = spacing;
    for (std::size_t k = 0; k < amps.size(); ++k) g.Amplitudes[k] = amps[k];
    return g;
}

TGaussModelParams blockOf(std::vector<TGaussGroup> groups) {
    TGaussModelParams b = GaussDefaultParams();
    b.GroupCount = static_cast<int32_t>(groups.size());
    for (std::size_t g = 0; g < groups.size(); ++g) b.Groups[g] = groups[g];
    return b;
}

void expectGroupNear(const TGaussGroup& got, const TGaussGroup& want, double rel, const char* what) {
    SCOPED_TRACE(what);
    EXPECT_NEAR(got.Position, want.Position, rel * want.Position);
    EXPECT_NEAR(got.Width, want.Width, rel * want.Width);
    if (want.BandCount > 1) {
        EXPECT_NEAR(got.Spacing, want.Spacing, rel * want.Spacing);
    }
    for (int k = 0; k < want.BandCount; ++k)
        EXPECT_NEAR(got.Amplitudes[static_cast<std::size_t>(k)], want.Amplitudes[static_cast<std::size_t>(k)],
                    rel * want.Amplitudes[static_cast<std::size_t>(k)])
            << "amplitude " << k;
}

const TGaussGroup kTrue = group(3, 15000.0, 600.0, 1300.0, {0.8, 0.5, 0.2});

}  // namespace

TEST(GaussFit, AllStagesRecoverKnownParameters) {
    const TSpectrumRecord spec = spectrumOf(blockOf({kTrue}));
    TGaussModelParams start = blockOf({group(3, 15150.0, 540.0, 1250.0, {0.6, 0.6, 0.3})});
    std::vector<std::string> legends;
    int previews = 0;
    TGaussFitHooks hooks;
    hooks.stageLegend = [&](const std::string& l) { legends.push_back(l); };
    hooks.preview = [&](const TGaussModelParams& b) {
        ++previews;
        EXPECT_EQ(b.Groups[0].BandCount, 3);
    };
    const auto reports = GaussFitIterate(spec, start, TGaussFitSwitches{}, kWavenumbers, hooks);
    expectGroupNear(start.Groups[0], kTrue, 1e-6, "fitted");
    EXPECT_EQ(legends, (std::vector<std::string>{"1. Iteration  Maxima", "2. Iteration  Maxima",
                                                 "1. glob. Iteration  Maxima", "3. Iteration  Maxima",
                                                 "2. glob. Iteration  Maxima", "4. Iteration  Maxima",
                                                 "3. glob. Iteration  Maxima"}));
    ASSERT_EQ(reports.size(), 7u);
    const int freeParams[] = {3, 1, 6, 1, 6, 1, 6};
    for (int s = 0; s < 7; ++s) {
        EXPECT_EQ(reports[static_cast<std::size_t>(s)].freeParams, freeParams[s]) << "stage " << s + 1;
        EXPECT_LE(reports[static_cast<std::size_t>(s)].chisqEnd, reports[static_cast<std::size_t>(s)].chisqStart);
        EXPECT_LE(reports[static_cast<std::size_t>(s)].steps, 10);
    }
    EXPECT_GT(previews, 7);
    // The range and the groups not in use stay as they were.
    EXPECT_EQ(start.RangeFrom, 25000.0);
    EXPECT_EQ(start.Groups[1], GaussDefaultParams().Groups[1]);
}

TEST(GaussFit, SpectrumOfTheModelItselfStopsUnchanged) {
    const TGaussModelParams truth = blockOf({kTrue});
    const TSpectrumRecord spec = spectrumOf(truth);
    TGaussModelParams b = truth;
    const auto reports = GaussFitIterate(spec, b, TGaussFitSwitches{}, kWavenumbers);
    EXPECT_EQ(b, truth);
    for (const auto& r : reports) {
        EXPECT_EQ(r.chisqStart, 0.0) << r.legend;
        EXPECT_EQ(r.steps, 1) << r.legend;  // the first rejected step ends the run
    }
}

TEST(GaussFit, OnlyAmplitudesIsOneStage) {
    const TSpectrumRecord spec = spectrumOf(blockOf({kTrue}));
    TGaussModelParams b = blockOf({group(3, 15100.0, 600.0, 1300.0, {0.6, 0.6, 0.3})});
    TGaussFitSwitches sw;
    sw.OnlyAmplitudes = true;
    const auto reports = GaussFitIterate(spec, b, sw, kWavenumbers);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].legend, "1. Iteration  Maxima");
    EXPECT_EQ(b.Groups[0].Position, 15100.0);
    EXPECT_EQ(b.Groups[0].Width, 600.0);
    EXPECT_EQ(b.Groups[0].Spacing, 1300.0);
    EXPECT_NE(b.Groups[0].Amplitudes[1], 0.6);
    // With the shapes right the amplitudes are a linear problem: one stage finds them.
    TGaussModelParams shapes = blockOf({group(3, 15000.0, 600.0, 1300.0, {0.6, 0.6, 0.3})});
    GaussFitIterate(spec, shapes, sw, kWavenumbers);
    expectGroupNear(shapes.Groups[0], kTrue, 1e-9, "amplitudes");
}

TEST(GaussFit, DeactivatedGroupIsUntouched) {
    const TGaussGroup second = group(2, 21500.0, 450.0, 1000.0, {0.4, 0.3});
    const TSpectrumRecord spec = spectrumOf(blockOf({kTrue, second}));
    const TGaussGroup secondStart = group(2, 21400.0, 480.0, 1050.0, {0.35, 0.2});
    TGaussModelParams b = blockOf({group(3, 15100.0, 560.0, 1280.0, {0.7, 0.55, 0.25}), secondStart});
    TGaussFitSwitches sw;
    sw.Active[1] = false;
    const auto reports = GaussFitIterate(spec, b, sw, kWavenumbers);
    EXPECT_EQ(b.Groups[1], secondStart);
    EXPECT_NE(b.Groups[0].Position, 15100.0);
    EXPECT_EQ(reports[2].freeParams, 6);
    // Activated again, both groups are found.
    TGaussModelParams both = b;
    GaussFitIterate(spec, both, TGaussFitSwitches{}, kWavenumbers);
    expectGroupNear(both.Groups[0], kTrue, 1e-5, "group 1");
    expectGroupNear(both.Groups[1], second, 1e-5, "group 2");
}

TEST(GaussFit, ConnectedAmplitudesKeepTheirRatio) {
    const TSpectrumRecord spec = spectrumOf(blockOf({kTrue}));
    // The true shape and ratios at half the height: one common factor of 2 explains the spectrum.
    TGaussModelParams b = blockOf({group(3, 15080.0, 620.0, 1290.0, {0.4, 0.25, 0.1})});
    TGaussFitSwitches sw;
    sw.Connect[0] = true;
    const auto reports = GaussFitIterate(spec, b, sw, kWavenumbers);
    EXPECT_EQ(reports[0].freeParams, 1);  // one factor slot
    EXPECT_EQ(reports[2].freeParams, 4);
    const auto& a = b.Groups[0].Amplitudes;
    EXPECT_NEAR(a[1] / a[0], 0.625, 1e-12);
    EXPECT_NEAR(a[2] / a[0], 0.25, 1e-12);
    expectGroupNear(b.Groups[0], kTrue, 1e-6, "connected");
}

TEST(GaussFit, StageListsCountSlotsOverAllGroups) {
    // Group 1: three separate amplitudes, group 2 (deactivated): two, group 3 connected: one slot.
    TGaussModelParams b = blockOf({group(3, 15000, 500, 1000, {1, 1, 1}), group(2, 19000, 500, 1000, {1, 1}),
                                   group(4, 22000, 500, 1000, {1, 1, 1, 1})});
    TGaussFitSwitches sw;
    sw.Active[1] = false;
    sw.Connect[2] = true;
    TGaussFit fit;
    GaussFitInit(fit, b, sw, nullptr);
    EXPECT_EQ(fit.ma, 15);
    EXPECT_EQ(fit.a[15], 1.0);  // the factor starts at 1
    EXPECT_EQ(fit.a[2], 15000.0);
    EXPECT_EQ(fit.a[9], 500.0);
    using L = std::vector<int32_t>;
    EXPECT_EQ(GaussStageList(fit, 1), (L{10, 11, 12, 15}));
    EXPECT_EQ(GaussStageList(fit, 2), (L{2, 8}));
    EXPECT_EQ(GaussStageList(fit, 3), (L{10, 11, 12, 15, 1, 2, 3, 7, 8, 9}));
    EXPECT_EQ(GaussStageList(fit, 4), (L{3, 9}));
    EXPECT_EQ(GaussStageList(fit, 6), (L{1, 7}));
    EXPECT_EQ(GaussStageList(fit, 7), GaussStageList(fit, 5));
    fit.lista = {0, 2, 2};
    fit.mfit = 2;
    EXPECT_THROW(MRQMIN(fit), vx::Error);
}

TEST(GaussFit, ManyParametersAndParametersWithoutEffect) {
    // Five groups of six separate amplitudes: 45 parameters, beyond a fixed capacity of 30.
    std::vector<TGaussGroup> groups;
    for (int g = 0; g < 5; ++g)
        groups.push_back(group(6, 13000.0 + 2000.0 * g, 150.0, 300.0, {0.5, 0.4, 0.3, 0.2, 0.1, 0.05}));
    const TGaussModelParams truth = blockOf(groups);
    TGaussModelParams b = truth;
    b.Groups[2].Position += 20.0;
    const auto reports = GaussFitIterate(spectrumOf(truth), b, TGaussFitSwitches{}, kWavenumbers);
    EXPECT_EQ(reports[2].freeParams, 45);
    expectGroupNear(b.Groups[2], truth.Groups[2], 1e-6, "group 3");

    // The defaults: a group without bands has nothing to fit; no singular matrix, nothing changes.
    TGaussModelParams defaults = GaussDefaultParams();
    const auto none = GaussFitIterate(spectrumOf(truth), defaults, TGaussFitSwitches{}, kWavenumbers);
    for (const auto& r : none) EXPECT_EQ(r.freeParams, 0) << r.legend;
    EXPECT_EQ(defaults, GaussDefaultParams());

    // A single band has no spacing to fit, and a group far outside the data nothing at all.
    TGaussModelParams single = blockOf({group(1, 15000.0, 600.0, 1300.0, {0.5}),
                                        group(2, 900000.0, 100.0, 1000.0, {0.5, 0.5})});
    const auto one = GaussFitIterate(spectrumOf(blockOf({kTrue})), single, TGaussFitSwitches{}, kWavenumbers);
    EXPECT_EQ(one[0].freeParams, 1);
    EXPECT_EQ(one[5].freeParams, 0);
    EXPECT_EQ(one[6].freeParams, 3);
    EXPECT_EQ(single.Groups[1].Position, 900000.0);
}

TEST(GaussFit, ParametersWithoutEffectLeaveTheListAndSingularStepsAreRejected) {
    // Group 2's band lies far outside the data: its amplitude has no effect and leaves the free list.
    TGaussModelParams b = blockOf({kTrue, group(1, 900000.0, 100.0, 1000.0, {0.3})});
    TGaussFit fit;
    const TSpectrumRecord spec = spectrumOf(blockOf({kTrue}));
    GaussFitData(spec, b, kWavenumbers, fit.x, fit.y, fit.sig);
    GaussFitInit(fit, b, TGaussFitSwitches{}, nullptr);
    ASSERT_EQ(fit.ma, 10);
    fit.lista = {0, 10, 7};  // group 2's amplitude, group 1's first
    fit.mfit = 2;
    fit.alamda = -1.0;
    EXPECT_TRUE(MRQMIN(fit));
    EXPECT_EQ(fit.lista, (std::vector<int32_t>{0, 7}));
    EXPECT_EQ(fit.mfit, 1);

    // A curvature matrix with a zero row (an amplitude that became 0 takes its position's effect
    // along): the step cannot be solved and counts as rejected, with alamda 10.
    fit.lista = {0, 7, 2};
    fit.mfit = 2;
    fit.alamda = 0.01;
    fit.alpha = NrMatrix(2, 2);
    fit.alpha(1, 1) = 4.0;
    fit.beta = {0.0, 1.0, 0.0};
    fit.chisq = fit.ochisq = 5.0;
    const std::vector<double> before = fit.a;
    EXPECT_FALSE(MRQMIN(fit));
    EXPECT_EQ(fit.alamda, 10.0);
    EXPECT_EQ(fit.a, before);
    EXPECT_EQ(fit.chisq, 5.0);
}

TEST(GaussFit, FloatingPointFaultsEndTheRunQuietly) {
    // Values so large that chisq overflows: no step can be judged, the parameters stay.
    TSpectrumRecord spec = spectrumOf(blockOf({kTrue}));
    for (double& v : spec.Values) v *= 1e200;
    TGaussModelParams b = blockOf({group(3, 15100.0, 560.0, 1280.0, {0.7, 0.55, 0.25})});
    const TGaussModelParams before = b;
    const auto reports = GaussFitIterate(spec, b, TGaussFitSwitches{}, kWavenumbers);
    EXPECT_EQ(b, before);
    for (const auto& r : reports) EXPECT_EQ(r.steps, 0) << r.legend;
    // No trap was switched on for it.
    EXPECT_EQ(fegetexcept(), 0);
}

TEST(GaussFit, NoDataIsRefusedAndThePreviewAlwaysGoes) {
    int added = 0, removed = 0;
    TGaussFitHooks hooks;
    hooks.addPreview = [&] { ++added; };
    hooks.removePreview = [&] { ++removed; };
    TGaussModelParams b = blockOf({kTrue});
    TSpectrumRecord flat = spectrumOf(blockOf({}));  // all zero: nothing above 5 % of the maximum
    EXPECT_THROW(GaussFitIterate(flat, b, TGaussFitSwitches{}, kWavenumbers, hooks), vx::Error);
    TSpectrumRecord empty;
    EXPECT_THROW(GaussFitIterate(empty, b, TGaussFitSwitches{}, kWavenumbers, hooks), vx::Error);
    EXPECT_EQ(b, blockOf({kTrue}));
    EXPECT_EQ(added, removed);

    // An error while the fit runs still removes the preview.
    hooks.preview = [](const TGaussModelParams&) { throw vx::Error("window gone"); };
    EXPECT_THROW(GaussFitIterate(spectrumOf(blockOf({kTrue})), b, TGaussFitSwitches{}, kWavenumbers, hooks),
                 vx::Error);
    EXPECT_EQ(added, 1);
    EXPECT_EQ(removed, 1);

    TGaussModelParams unusable = blockOf({kTrue});
    unusable.Groups[0].Width = 0.0;
    EXPECT_THROW(GaussFitIterate(spectrumOf(blockOf({kTrue})), unusable, TGaussFitSwitches{}, kWavenumbers),
                 vx::Error);
}

TEST(GaussFit, InfiniteValuesAreNamedNotTakenForNoData) {
    const TGaussModelParams start = blockOf({group(3, 15100.0, 560.0, 1280.0, {0.7, 0.55, 0.25})});
    struct Case {
        const char* what;
        double value;
        int index;
        const char* message;  // "" = the fit runs
    } cases[] = {
        {"infinite in the range", HUGE_VAL, 2000,
         "Gauss fit: the spectrum holds a value that is infinite or not a number at 20000 in the fit range"},
        {"minus infinite", -HUGE_VAL, 4000,
         "Gauss fit: the spectrum holds a value that is infinite or not a number at 15000 in the fit range"},
        {"no number", std::nan(""), 3000, ""},
        {"infinite beyond the range", HUGE_VAL, 4999, ""},
    };
    for (const Case& c : cases) {
        TSpectrumRecord spec = spectrumOf(blockOf({kTrue}));
        spec.Values[static_cast<std::size_t>(c.index)] = c.value;
        TGaussModelParams b = start;
        b.RangeFrom = 24000.0;
        b.RangeTo = 13000.0;
        const TGaussModelParams before = b;
        try {
            GaussFitIterate(spec, b, TGaussFitSwitches{}, kWavenumbers);
            EXPECT_STREQ(c.message, "") << c.what;
        } catch (const vx::Error& e) {
            EXPECT_EQ(std::string(e.what()), c.message) << c.what;
            EXPECT_EQ(b, before) << c.what;
        }
    }
}

TEST(GaussFit, PointsThatAreNoNumberAreSkipped) {
    const TSpectrumRecord clean = spectrumOf(blockOf({kTrue}));
    TSpectrumRecord holed = clean;
    for (std::size_t i = 0; i < holed.Values.size(); i += 7) holed.Values[i] = std::nan("");
    TGaussModelParams b = blockOf({group(3, 15100.0, 560.0, 1280.0, {0.7, 0.55, 0.25})});
    std::vector<double> x, y, sig, xh, yh, sigh;
    GaussFitData(clean, b, kWavenumbers, x, y, sig);
    GaussFitData(holed, b, kWavenumbers, xh, yh, sigh);
    // Exactly the points that are no number are gone; the threshold is that of the clean data.
    std::size_t holes = 0;
    for (std::size_t i = 0, j = 0; i < x.size(); ++i) {
        if (j < xh.size() && xh[j] == x[i]) {
            EXPECT_EQ(yh[j++], y[i]);
        } else {
            ++holes;
        }
    }
    EXPECT_EQ(holes + xh.size(), x.size());
    EXPECT_NEAR(static_cast<double>(holes), static_cast<double>(x.size()) / 7.0, 1.0);

    TGaussModelParams fromHoled = b;
    GaussFitIterate(holed, fromHoled, TGaussFitSwitches{}, kWavenumbers);
    GaussFitIterate(clean, b, TGaussFitSwitches{}, kWavenumbers);
    EXPECT_NEAR(fromHoled.Groups[0].Position, b.Groups[0].Position, 1e-6);
    expectGroupNear(fromHoled.Groups[0], kTrue, 1e-6, "with holes");

    // A range of nothing but holes has no data.
    TSpectrumRecord allHoles = clean;
    for (double& v : allHoles.Values) v = std::nan("");
    EXPECT_THROW(GaussFitIterate(allHoles, b, TGaussFitSwitches{}, kWavenumbers), vx::Error);
}

TEST(GaussFit, DataAreThePointsAboveFivePercentInTheRange) {
    TSpectrumRecord r;
    r.XUnit = SpecXNanometer;
    r.FirstX = 400.0;
    r.StepX = 100.0;
    r.Values = {0.04, 1.0, 0.06, 0.05, 2.0, -1.0};  // 400 .. 900 nm
    TGaussModelParams b = GaussDefaultParams();
    b.RangeFrom = 1e7 / 800.0;  // 12500 1/cm: index 4
    b.RangeTo = 1e7 / 500.0;    // index 1
    std::vector<double> x, y, sig;
    GaussFitData(r, b, kWavenumbers, x, y, sig);
    // ymax 2.0 over indices 1..4: more than 0.1 qualifies.
    EXPECT_EQ(y, (std::vector<double>{1.0, 2.0}));
    EXPECT_EQ(x, (std::vector<double>{1e7 / 500.0, 1e7 / 800.0}));
    EXPECT_EQ(sig, (std::vector<double>{0.01, 0.01}));
}

namespace {

// A spectrum of `truth` from 13000 to 21000 1/cm with a small fixed noise.
TSpectrumRecord noisySpectrumOf(const TGaussModelParams& truth, int points) {
    TSpectrumRecord r;
    r.XUnit = SpecXWavenumber;
    r.FirstX = 13000.0;
    r.StepX = 8000.0 / (points - 1);
    r.Values.resize(static_cast<std::size_t>(points));
    for (int i = 0; i < points; ++i)
        r.Values[static_cast<std::size_t>(i)] =
            GaussBandSum(truth, r.XAt(i)) + 0.002 * (static_cast<double>((i * 7919L) % 101) / 50.0 - 1.0);
    return r;
}

}  // namespace

// Two fits of noisy data whose results are pinned: a change of the fit's arithmetic that moves them
// by more than rounding shows here (the steps may differ where rounding decides whether a last step
// is taken). The second runs out of steps in two stages.
TEST(GaussFit, NoisyFitsKeepTheirResults) {
    struct Case {
        const char* what;
        TGaussModelParams truth, start;
        TGaussFitSwitches sw;
        std::vector<TGaussGroup> result;
    };
    TGaussFitSwitches connected;
    connected.Connect[1] = true;
    const Case cases[] = {
        {"three overlapping bands", blockOf({group(3, 15000.0, 1500.0, 2000.0, {0.8, 0.5, 0.3})}),
         blockOf({group(3, 15150.0, 1400.0, 1950.0, {0.7, 0.45, 0.35})}), TGaussFitSwitches{},
         {group(3, 15000.002916223908, 1499.9933532733471, 2000.00769247311,
                {0.80000330273920495, 0.50000417898309335, 0.29999880237745891})}},
        {"two groups, the second connected",
         blockOf({group(3, 14500.0, 700.0, 1300.0, {0.6, 0.45, 0.2}), group(2, 17800.0, 900.0, 1700.0, {0.35, 0.25})}),
         blockOf({group(3, 14600.0, 650.0, 1250.0, {0.5, 0.5, 0.25}), group(2, 17700.0, 950.0, 1650.0, {0.3, 0.2})}),
         connected,
         {group(3, 14499.392265399661, 699.37848003876275, 1295.8015852163951,
                {0.59955544821409867, 0.4487270893959393, 0.15110279732092866}),
          group(2, 17716.841954528529, 931.52195916973824, 1768.1989878662616,
                {0.3716609092186362, 0.24777393947909085})}},
    };
    for (const Case& c : cases) {
        TGaussModelParams b = c.start;
        b.RangeFrom = 13000.0;
        b.RangeTo = 21000.0;
        const auto reports = GaussFitIterate(noisySpectrumOf(c.truth, 4001), b, c.sw, kWavenumbers);
        ASSERT_EQ(reports.size(), 7u) << c.what;
        for (std::size_t g = 0; g < c.result.size(); ++g)
            expectGroupNear(b.Groups[g], c.result[g], 1e-8, c.what);
    }
}

TEST(GaussFitPass, ExponentialAgainstTheLibrary) {
    // Within about one unit in the last place down to -708, over a fine walk and the edges of its
    // reduction.
    double worst = 0.0;
    for (int i = 0; i <= 708000; ++i) {
        const double x = std::max(-0.001 * i - 1e-7 * (i % 7), -708.0);
        const double want = std::exp(x);
        worst = std::max(worst, std::fabs(GaussBandExp(x) - want) / want);
    }
    EXPECT_LT(worst, 2.3e-16);
    const double ln2 = std::log(2.0);
    for (double x : {-0.0, -1e-300, -0.5 * ln2, -0.5 * ln2 - 1e-16, -1.5 * ln2, -700.0 * ln2, -708.0})
        EXPECT_NEAR(GaussBandExp(x), std::exp(x), 2.3e-16 * std::exp(x)) << x;
    // Below -708 (subnormal results) it is 0, never negative, NaN or a large number.
    for (double x : {-708.0001, -745.2, -1e6, -HUGE_VAL}) EXPECT_EQ(GaussBandExp(x), 0.0) << x;
    EXPECT_TRUE(std::isnan(GaussBandExp(std::nan(""))));
}

TEST(GaussFitPass, SumsOfEveryInstructionSetAgainstThePlainModel) {
    // Separate amplitudes, a common factor, and a narrow band whose exponential runs down to 0 on the
    // data; 1003 points leave a part of eight lanes.
    TGaussModelParams b = blockOf({group(3, 15000.0, 600.0, 1300.0, {0.8, 0.5, 0.2}),
                                   group(2, 18000.0, 900.0, 1500.0, {0.3, 0.2}), group(1, 16000.0, 20.0, 0.0, {0.4})});
    TGaussFitSwitches sw;
    sw.Connect[1] = true;
    TGaussFit fit;
    GaussFitInit(fit, b, sw, nullptr);
    ASSERT_EQ(fit.ma, 14);
    fit.a[13] = 1.3;  // the common factor
    const int n = 1003;
    for (int i = 0; i < n; ++i) {
        fit.x.push_back(13000.0 + 8.0 * i);
        fit.y.push_back(0.4 + 0.3 * std::sin(0.01 * i));
        fit.sig.push_back(i % 3 == 0 ? 0.01 : 0.02);
    }
    fit.lista = {0};
    for (int p = fit.ma; p >= 1; --p) fit.lista.push_back(p);  // columns in reverse order
    fit.mfit = fit.ma;
    const int m = fit.mfit;

    // The sums from the model value by value, with the library's exponential.
    std::vector<double> alpha(static_cast<std::size_t>(m * m), 0.0), beta(static_cast<std::size_t>(m), 0.0);
    double chisq = 0.0, ysum = 0.0;
    std::vector<double> dyda;
    for (int i = 0; i < n; ++i) {
        double model = 0.0;
        GaussGroupModel(fit, fit.a, fit.x[static_cast<std::size_t>(i)], model, dyda);
        const double w = 1.0 / (fit.sig[static_cast<std::size_t>(i)] * fit.sig[static_cast<std::size_t>(i)]);
        const double r = fit.y[static_cast<std::size_t>(i)] - model;
        for (int j = 0; j < m; ++j) {
            const double dj = dyda[static_cast<std::size_t>(fit.lista[static_cast<std::size_t>(j + 1)])];
            beta[static_cast<std::size_t>(j)] += r * dj * w;
            for (int k = 0; k < m; ++k)
                alpha[static_cast<std::size_t>(j * m + k)] +=
                    dj * dyda[static_cast<std::size_t>(fit.lista[static_cast<std::size_t>(k + 1)])] * w;
        }
        chisq += r * r * w;
        ysum += (r * r + model * model) * w;
    }
    int ran = 0;
    for (TGaussPassIsa isa : {TGaussPassIsa::Base, TGaussPassIsa::X86_64_V3, TGaussPassIsa::X86_64_V4}) {
        if (!GaussPassRuns(isa)) continue;
        ++ran;
        SCOPED_TRACE(static_cast<int>(isa));
        fit.passIsa = isa;
        NrMatrix al;
        std::vector<double> be;
        double chi = 0.0;
        MrqCof(fit, fit.a, al, be, chi);
        EXPECT_NEAR(chi, chisq, 1e-13 * chisq);
        for (int j = 0; j < m; ++j) {
            const double ajj = alpha[static_cast<std::size_t>(j * m + j)];
            EXPECT_NEAR(be[static_cast<std::size_t>(j + 1)], beta[static_cast<std::size_t>(j)], 1e-12 * std::sqrt(ajj * ysum))
                << "beta " << j;
            for (int k = 0; k < m; ++k)
                EXPECT_NEAR(static_cast<double>(al(j + 1, k + 1)), alpha[static_cast<std::size_t>(j * m + k)],
                            1e-12 * std::sqrt(ajj * alpha[static_cast<std::size_t>(k * m + k)]))
                    << "alpha " << j << ' ' << k;
        }
        // A spectrum of the model itself: every set reproduces it exactly.
        TGaussFit exact = fit;
        exact.a[13] = 1.0;
        for (int i = 0; i < n; ++i)
            exact.y[static_cast<std::size_t>(i)] = GaussBandSum(b, exact.x[static_cast<std::size_t>(i)], kNoCut);
        MrqCof(exact, exact.a, al, be, chi);
        EXPECT_EQ(chi, 0.0);
    }
    EXPECT_GE(ran, 1);
}
