#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/noise.h"
#include "core/spikes_scatter.h"
#include "platform/errors.h"
#include "core_algos_fixtures.h"

namespace {

TSpectrumRecord FlatWith(int32_t n, std::initializer_list<std::pair<int32_t, double>> changes, double base = 1.0) {
    std::vector<double> v(static_cast<std::size_t>(n), base);
    for (auto [i, y] : changes) v[i] = y;
    return MakeRecord(SpecXNanometer, 500, 1, v);
}

std::vector<double> Clean(const TSpectrumRecord& src, const TDisplayState& display, bool backward = false) {
    std::unique_ptr<TSpectrumRecord> res;
    if (backward)
        SpecRemoveSpikesBackward(res, src, 0, kDefaultSpikeLimitFactor, display);
    else
        SpecRemoveSpikes(res, src, 0, kDefaultSpikeLimitFactor, display);
    return res->Values;
}

}  // namespace

TEST(SpikeRemoval, OnePointSpikeBecomesTheLineAcrossIt) {
    const TDisplayState display{SpecXNanometer, SpecYIntensity};
    TSpectrumRecord src = FlatWith(60, {{30, 50.0}});
    std::vector<double> out = Clean(src, display);
    ASSERT_EQ(out.size(), 60u);
    std::vector<double> expect(60, 1.0);
    EXPECT_EQ(out, expect);
}

TEST(SpikeRemoval, AStepReplacesTheTwoPointsAfterIt) {
    const TDisplayState display{SpecXNanometer, SpecYIntensity};
    std::vector<double> v(60, 0.0);
    for (int i = 31; i < 60; ++i) v[i] = 5.0;
    TSpectrumRecord src = MakeRecord(SpecXNanometer, 500, 1, v);
    std::vector<double> out = Clean(src, display);
    // The line from point 29 (0) to point 33 (5).
    EXPECT_DOUBLE_EQ(out[31], 2.5);
    EXPECT_DOUBLE_EQ(out[32], 3.75);
    out[31] = v[31];
    out[32] = v[32];
    EXPECT_EQ(out, v);
}

TEST(SpikeRemoval, BroadFeaturesAreNotSpikes) {
    const TDisplayState display{SpecXNanometer, SpecYIntensity};
    std::vector<double> v(60, 0.0);
    for (int i = 31; i < 60; ++i) v[i] = std::min(i - 30, 10);  // a ramp over ten slopes
    TSpectrumRecord src = MakeRecord(SpecXNanometer, 500, 1, v);
    EXPECT_EQ(Clean(src, display), v);
}

TEST(SpikeRemoval, SmoothSpectraComeBackUnchanged) {
    const TDisplayState display{SpecXNanometer, SpecYIntensity};
    std::vector<double> v(200);
    for (int i = 0; i < 200; ++i) v[i] = 100 + 20 * std::sin(i * 0.05);
    TSpectrumRecord src = MakeRecord(SpecXNanometer, 500, 1, v);
    src.Title = "em";
    std::unique_ptr<TSpectrumRecord> res;
    SpecRemoveSpikes(res, src, 1, kDefaultSpikeLimitFactor, display);
    EXPECT_EQ(res->Values, v);
    EXPECT_EQ(res->Title.str(), "em Spikes removed");
    EXPECT_DOUBLE_EQ(res->PathLength, 1.0);
}

TEST(SpikeRemoval, BackwardScanReachesSpikesNearTheStart) {
    const TDisplayState display{SpecXNanometer, SpecYIntensity};
    TSpectrumRecord src = FlatWith(60, {{5, 40.0}});
    EXPECT_EQ(Clean(src, display)[5], 40.0);  // the forward scan tests slopes from 10 on
    std::vector<double> back = Clean(src, display, true);
    EXPECT_EQ(back, std::vector<double>(60, 1.0));
}

TEST(SpikeRemoval, NoisyRepairIsRepeatableWithASeed) {
    const TDisplayState display{SpecXNanometer, SpecYIntensity};
    std::vector<double> v(120);
    for (int i = 0; i < 120; ++i) v[i] = 10 + 0.05 * ((i * 7919) % 11);
    v[60] = 90;
    v[61] = 70;
    TSpectrumRecord src = MakeRecord(SpecXNanometer, 500, 1, v);
    SeedNoise(42);
    std::vector<double> a = Clean(src, display);
    SeedNoise(42);
    std::vector<double> b = Clean(src, display);
    EXPECT_EQ(a, b);
    // The repaired points lie near the local level, within a few noise widths.
    EXPECT_NEAR(a[60], 10.25, 1.0);
    EXPECT_NEAR(a[61], 10.25, 1.0);
    EXPECT_EQ(a[0], v[0]);
    EXPECT_EQ(a[119], v[119]);
}

TEST(SpikeRemoval, ZeroStepIsRefused) {
    const TDisplayState display;
    std::unique_ptr<TSpectrumRecord> res;
    TSpectrumRecord src = FlatWith(30, {});
    src.StepX = 0;
    EXPECT_THROW(SpecRemoveSpikes(res, src, 0, kDefaultSpikeLimitFactor, display), vx::Error);
    EXPECT_EQ(res, nullptr);
}

struct RunCase {
    std::vector<int32_t> flagged;
    std::vector<int32_t> points;
};
class SpikeRuns : public testing::TestWithParam<RunCase> {};
TEST_P(SpikeRuns, GiveThePointsToReplace) { EXPECT_EQ(SpikePointsToReplace(GetParam().flagged), GetParam().points); }
INSTANTIATE_TEST_SUITE_P(
    Cases, SpikeRuns,
    testing::Values(RunCase{{30}, {31, 32}},                           // isolated slope: a step
                    RunCase{{29, 30}, {30}},                           // one-point spike
                    RunCase{{20, 22}, {21, 22}},                       // gap 2
                    RunCase{{20, 23}, {21, 23, 24}},                   // gap 3
                    RunCase{{20, 23, 24, 40}, {21, 23, 24, 41, 42}},   // 24 named twice: later points still come
                    RunCase{{10, 11, 12, 13, 14, 15, 16}, {11, 12, 13, 14, 15, 16}},  // seven slopes
                    RunCase{{10, 11, 12, 13, 14, 15, 16, 17}, {}},     // eight: a broad feature
                    RunCase{{}, {}}));

TEST(SpikeDetection, FlagsTheSlopesOfASpike) {
    std::vector<double> d(40, 0.0);
    d[20] = 9;
    d[21] = -9;
    EXPECT_EQ(DetectSpikeSlopes(d, 5.6, false), (std::vector<int32_t>{20, 21}));
    EXPECT_EQ(DetectSpikeSlopes(d, 5.6, true), (std::vector<int32_t>{20, 21}));
}

namespace {

// 300..900 nm in 1 nm steps, a gentle line 1 + i/1000 in intensity.
TSpectrumRecord Emission(double excitation) {
    std::vector<double> v(601);
    for (int i = 0; i <= 600; ++i) v[i] = 1.0 + i / 1000.0;
    TSpectrumRecord r = MakeRecord(SpecXNanometer, 300, 1, v);
    r.YKind = SpecYIntensity;
    r.ExcitationWl = excitation;
    return r;
}

TScatterRemovalSettings Settings(bool r1, bool raman, bool r2, int32_t fill, double w = 10) {
    TScatterRemovalSettings s;
    s.Rayleigh1 = r1;
    s.Raman = raman;
    s.Rayleigh2 = r2;
    s.FillMode = fill;
    s.HalfWidth = w;
    s.RamanShift = 3378;
    return s;
}

// Scatter removal of an emission spectrum, shown in nm and intensity.
std::vector<double> Descatter(const TSpectrumRecord& src, const TScatterRemovalSettings& s, int32_t q = 5) {
    std::unique_ptr<TSpectrumRecord> res;
    SpecRemoveScatter(res, src, q, 4, s, TDisplayState{SpecXNanometer, SpecYIntensity});
    EXPECT_EQ(res->PointCount(), src.PointCount());
    return res->Values;
}

}  // namespace

TEST(ScatterRemoval, AllSwitchesOffCopies) {
    TSpectrumRecord src = Emission(400);
    EXPECT_EQ(Descatter(src, Settings(false, false, false, 0)), src.Values);
}

TEST(ScatterRemoval, ZeroFillCoversTheWholeBands) {
    TSpectrumRecord src = Emission(400);
    std::vector<double> out = Descatter(src, Settings(true, true, true, ScatterFillZeros));
    // Rayleigh 390..410 nm, Raman 1e7/(25000 - 3378) = 462.49 nm ± 10, second order 790..810 nm.
    auto zeroFrom = [&](int a, int b) {
        for (int i = a; i <= b; ++i) EXPECT_EQ(out[i], 0.0) << i;
        EXPECT_NE(out[a - 1], 0.0);
        EXPECT_NE(out[b + 1], 0.0);
    };
    zeroFrom(90, 110);
    zeroFrom(152, 172);
    zeroFrom(490, 510);
    EXPECT_EQ(out[300], src.Values[300]);
}

TEST(ScatterRemoval, LineAndPolynomialFillsFollowTheFlanks) {
    TSpectrumRecord src = Emission(400);
    for (int i = 95; i <= 105; ++i) src.Values[i] = 50;  // the scatter line
    std::vector<double> line = Descatter(src, Settings(true, false, false, ScatterFillLine));
    // From (90, y90) to (110, y110) in the index.
    EXPECT_DOUBLE_EQ(line[100], (src.Values[90] + src.Values[110]) / 2);
    SeedNoise(7);
    std::vector<double> poly = Descatter(src, Settings(true, false, false, ScatterFillPolynomial));
    // The flanks lie on a straight line: the cubic reproduces it, the noise level is 0.
    for (int i = 90; i <= 110; ++i) EXPECT_NEAR(poly[i], 1.0 + i / 1000.0, 1e-9) << i;
}

TEST(ScatterRemoval, BandsOutsideAreSkippedAndPartialOnesClipped) {
    // Excitation at 1000 nm: every band lies beyond the spectrum's end, the end point stays.
    TSpectrumRecord far = Emission(1000);
    EXPECT_EQ(Descatter(far, Settings(true, true, true, ScatterFillZeros)), far.Values);
    // Excitation at 305 nm: the band 295..315 nm starts before the spectrum; only 300..315 nm is filled.
    TSpectrumRecord edge = Emission(305);
    std::vector<double> out = Descatter(edge, Settings(true, false, false, ScatterFillZeros));
    for (int i = 0; i <= 15; ++i) EXPECT_EQ(out[i], 0.0);
    EXPECT_EQ(out[16], edge.Values[16]);
    SeedNoise(3);
    std::vector<double> poly = Descatter(edge, Settings(true, false, false, ScatterFillPolynomial));
    // Right flank only (points 15..19, no noise on the line): its level, not an extrapolation.
    for (int i = 0; i <= 15; ++i) EXPECT_NEAR(poly[i], 1.017, 1e-9) << i;
}

// A Rayleigh line of height 1e5 on a flat background of 50, the band reaching past an end of the
// spectrum (300..900 nm): the part inside is filled from the flank on the other side, in every mode.
TEST(ScatterRemoval, BandsPastAnEndAreFilledFromTheOtherFlank) {
    auto withLine = [](double excitation) {
        TSpectrumRecord r = Emission(excitation);
        for (int i = 0; i <= 600; ++i) {
            const double d = 300 + i - excitation;
            r.Values[i] = 50 + 1e5 * std::exp(-d * d / 8);
        }
        return r;
    };
    struct Case {
        double excitation;
        int first, last;  // the band's points inside the spectrum
    };
    // 295..315 nm begins before the first point; 885..905 nm ends after the last.
    for (const Case c : {Case{305, 0, 15}, Case{895, 585, 600}}) {
        SCOPED_TRACE(c.excitation);
        const TSpectrumRecord src = withLine(c.excitation);
        // The flank side's edge point, where the line has decayed to the background.
        const double edge = c.first == 0 ? src.Values[c.last] : src.Values[c.first];
        ASSERT_NEAR(edge, 50, 0.5);
        const std::vector<double> line = Descatter(src, Settings(true, false, false, ScatterFillLine));
        SeedNoise(5);
        const std::vector<double> poly = Descatter(src, Settings(true, false, false, ScatterFillPolynomial));
        for (int i = c.first; i <= c.last; ++i) {
            EXPECT_DOUBLE_EQ(line[i], edge) << i;
            EXPECT_NEAR(poly[i], 50, 1) << i;
        }
        // Outside the band the spectrum stays.
        const int outside = c.first == 0 ? c.last + 1 : c.first - 1;
        EXPECT_EQ(line[outside], src.Values[outside]);
        EXPECT_EQ(poly[outside], src.Values[outside]);
    }
}

TEST(ScatterRemoval, OverlappingBandsFillOnceInPlace) {
    TSpectrumRecord src = Emission(400);
    std::vector<double> out = Descatter(src, Settings(true, true, false, ScatterFillZeros, 40));
    // 360..440 and 422.5..502.5 nm overlap: one zero stretch 60..202.
    for (int i = 60; i <= 202; ++i) EXPECT_EQ(out[i], 0.0) << i;
    EXPECT_EQ(out[59], src.Values[59]);
    EXPECT_EQ(out[203], src.Values[203]);
}

TEST(ScatterRemoval, UnusableExcitationOrShiftSkipsBands) {
    TSpectrumRecord none = Emission(-1);
    EXPECT_EQ(Descatter(none, Settings(true, true, true, ScatterFillZeros)), none.Values);
    // 1e7/e below the solvent's shift: no Raman band, the Rayleigh band is still removed.
    TSpectrumRecord ir = Emission(3000);
    ir.FirstX = 2900;
    std::vector<double> out = Descatter(ir, Settings(true, true, false, ScatterFillZeros));
    EXPECT_EQ(out[100], 0.0);
    EXPECT_EQ(out[300], ir.Values[300]);
}

TEST(ScatterRemoval, FewFlankPointsFallBackToTheLine) {
    TSpectrumRecord src = Emission(400);
    SeedNoise(11);
    // One flank point either side cannot carry a cubic.
    std::vector<double> out = Descatter(src, Settings(true, false, false, ScatterFillPolynomial), 1);
    for (int i = 90; i <= 110; ++i) EXPECT_NEAR(out[i], 1.0 + i / 1000.0, 1e-9) << i;
}
