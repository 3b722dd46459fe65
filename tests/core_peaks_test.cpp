#include <gtest/gtest.h>

#include <cmath>

#include "core/peaks.h"
#include "platform/errors.h"
#include "core_algos_fixtures.h"

namespace {

template <class F>
TSpectrumRecord Curve(int32_t n, F f, double first = 400, double step = 1) {
    std::vector<double> v(static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n; ++i) v[i] = f(i);
    return MakeRecord(SpecXNanometer, first, step, v);
}

double Gauss(int32_t i, double centre, double width, double height = 1.0) {
    const double t = (i - centre) / width;
    return height * std::exp(-t * t);
}

std::vector<int32_t> AbsPeaks(const TSpectrumRecord& r, int32_t sens, double thr, const TDisplayState& display) {
    std::vector<int32_t> p;
    FindPeaksAbs(r, sens, p, SpecXValue(r, 0, display), SpecXValue(r, r.PointCount() - 1, display), thr, display);
    return p;
}

}  // namespace

TEST(PeakWindow, FollowsTheSensitivity) {
    const std::pair<int32_t, int32_t> table[] = {{1, 9}, {2, 11}, {3, 21}, {4, 39}, {5, 65},
                                                 {10, 315}, {0, 10}, {11, 10}, {-3, 10}};
    for (auto [s, w] : table) EXPECT_EQ(PeakWindowHalfWidth(s), w) << s;
}

TEST(FindPeaksAbs, FindsSeparatePeaksOnce) {
    const TDisplayState display{SpecXNanometer, SpecYTransmittance};
    TSpectrumRecord r = Curve(400, [](int i) { return 0.1 + Gauss(i, 100, 8) + 0.6 * Gauss(i, 250, 12); });
    EXPECT_EQ(AbsPeaks(r, 3, 5, display), (std::vector<int32_t>{100, 250}));
    // A threshold of 70 % of the span leaves the smaller peak out.
    EXPECT_EQ(AbsPeaks(r, 3, 70, display), (std::vector<int32_t>{100}));
    // Only the requested range is searched, and its upper end is no candidate.
    std::vector<int32_t> p;
    FindPeaksAbs(r, 3, p, 900, 600, 5, display);
    EXPECT_EQ(p, (std::vector<int32_t>{250}));
    p.clear();
    FindPeaksAbs(r, 3, p, 300, 500, 5, display);  // ends exactly at the first peak
    EXPECT_TRUE(p.empty());
}

TEST(FindPeaksAbs, EqualMaximaWithinTheWindowGiveTheFirst) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    TSpectrumRecord r = Curve(300, [](int i) { return (i == 100 || i == 110) ? 1.0 : (i > 95 && i < 115 ? 0.5 : 0.0); });
    EXPECT_EQ(AbsPeaks(r, 3, 5, display), (std::vector<int32_t>{100}));  // w = 21
    EXPECT_EQ(AbsPeaks(r, 1, 5, display), (std::vector<int32_t>{100, 110}));  // w = 9
}

TEST(FindPeaksAbs, FlatAndRawSpectraHaveNoPeaks) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    EXPECT_TRUE(AbsPeaks(Curve(100, [](int) { return 0.7; }), 3, 5, display).empty());
    EXPECT_TRUE(AbsPeaks(Curve(100, [](int) { return 0.0; }), 0, 0, display).empty());
    TSpectrumRecord raw = Curve(200, [](int i) { return Gauss(i, 100, 5); });
    raw.SourceKind = SpecSourceRaw;
    EXPECT_TRUE(AbsPeaks(raw, 3, 5, display).empty());
}

TEST(FindPeaksAbs, ProminenceTestRejectsShallowBumps) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    // A bump of 1 % on a high baseline: (1 + w/1500)·min is not below it for w = 21.
    TSpectrumRecord r = Curve(300, [](int i) { return 1.0 + 0.01 * Gauss(i, 150, 5); });
    std::vector<int32_t> p;
    FindPeaksAbs(r, 3, p, 500, 600, 0, display);
    EXPECT_TRUE(p.empty());
    TSpectrumRecord tall = Curve(300, [](int i) { return 1.0 + 0.05 * Gauss(i, 150, 5); });
    FindPeaksAbs(tall, 3, p, 500, 600, 0, display);
    EXPECT_EQ(p, (std::vector<int32_t>{150}));
}

TEST(FindPeaksTrans, FindsAbsorbanceMinima) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    TSpectrumRecord r = Curve(300, [](int i) { return 1.0 - 0.8 * Gauss(i, 120, 6); });
    std::vector<int32_t> p;
    FindPeaksTrans(r, p, 400, 699, 50, display);
    EXPECT_EQ(p, (std::vector<int32_t>{120}));
    // Within 10 points of an end the outside reads T = 1.0, which beats any real transmittance.
    TSpectrumRecord edge = Curve(100, [](int i) { return 0.5 + 0.004 * i; });
    p.clear();
    FindPeaksTrans(edge, p, 400, 499, 0, display);
    EXPECT_TRUE(p.empty());
}

TEST(HalfWidth, TriangleOfHalfHeightAtPlusMinusTwo) {
    const TDisplayState display{SpecXNanometer, SpecYTransmittance};
    TSpectrumRecord r = Curve(100, [](int i) { return std::max(0.0, 1.0 - std::abs(i - 50) / 4.0); });
    EXPECT_DOUBLE_EQ(SpecHalfWidthAbs(r, 50, display), 4.0);
    TSpectrumRecord fine = Curve(100, [](int i) { return std::max(0.0, 1.0 - std::abs(i - 50) / 4.0); }, 400, 0.5);
    EXPECT_DOUBLE_EQ(SpecHalfWidthAbs(fine, 50, display), 2.0);
}

TEST(HalfWidth, AsymmetricPeakUsesBothCrossings) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    // Falls by 0.25 per point to the right and 0.125 to the left: crossings at +2 and -4.
    TSpectrumRecord r = Curve(100, [](int i) {
        return i >= 50 ? std::max(0.0, 1.0 - (i - 50) / 4.0) : std::max(0.0, 1.0 - (50 - i) / 8.0);
    });
    EXPECT_DOUBLE_EQ(SpecHalfWidthAbs(r, 50, display), 6.0);
}

TEST(HalfWidth, TransmittanceWidthOfAnAbsorbanceDip) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    // T = 1 - triangle: a transmittance peak of height 1 at 50 falling to T = 0.5 at ±2 (A = log10 2).
    TSpectrumRecord r = Curve(100, [](int i) {
        const double t = std::max(0.02, 1.0 - std::abs(i - 50) / 4.0);
        return -std::log10(t);
    });
    EXPECT_NEAR(SpecHalfWidthTrans(r, 50, display), 4.0, 1e-12);
}

TEST(HalfWidth, PlateauToTheEndGivesNoWidth) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    TSpectrumRecord r = Curve(60, [](int i) { return i < 30 ? i / 30.0 : 1.0; });
    EXPECT_EQ(SpecHalfWidthAbs(r, 40, display), 0.0);
}

TEST(NormalizeSpectrum, ScalesTheVisibleMaximumToOne) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    TSpectrumRecord r = Curve(100, [](int i) { return i == 80 ? 4.0 : 0.02 * i; });
    NormalizeSpectrum(r, 400, 450, display);  // the visible maximum is 1.0 at 450 nm; 80 lies outside
    EXPECT_DOUBLE_EQ(r.Values[50], 1.0);
    EXPECT_DOUBLE_EQ(r.Values[80], 4.0);
    TSpectrumRecord neg = Curve(10, [](int i) { return -0.5 - 0.1 * i; });
    NormalizeSpectrum(neg, 400, 409, display);
    EXPECT_DOUBLE_EQ(neg.Values[9], -1.0);
    EXPECT_DOUBLE_EQ(neg.Values[0], -0.5 / 1.4);
    TSpectrumRecord raw = Curve(10, [](int i) { return i; });
    raw.SourceKind = SpecSourceRaw;
    NormalizeSpectrum(raw, 400, 409, display);
    EXPECT_EQ(raw.Values[9], 9.0);
    TSpectrumRecord one = Curve(10, [](int i) { return i; });
    NormalizeSpectrum(one, 403, 403.2, display);  // one visible point: nothing happens
    EXPECT_EQ(one.Values[9], 9.0);
}

TEST(NormalizeSpectrum, TransmittanceDisplayScalesT) {
    const TDisplayState display{SpecXNanometer, SpecYTransmittance};
    TSpectrumRecord r = Curve(3, [](int i) { return 1.0 + i; });  // T = 0.1, 0.01, 0.001
    NormalizeSpectrum(r, 400, 402, display);
    EXPECT_NEAR(r.Values[0], 0.0, 1e-15);
    EXPECT_NEAR(r.Values[2], 2.0, 1e-14);
}

TEST(RangeSums, WholeXStepsBetweenRoundedBounds) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    TSpectrumRecord r = Curve(20, [](int i) { return 1.0 + i; });
    bool ok = false;
    EXPECT_DOUBLE_EQ(SpecRangeSum(r, 400.4, 402.6, &ok, display), 1 + 2 + 3 + 4);
    EXPECT_TRUE(ok);
    EXPECT_DOUBLE_EQ(SpecRangeMean(r, 400.4, 402.6, &ok, display), 2.5);
    EXPECT_TRUE(ok);
    EXPECT_DOUBLE_EQ(SpecRangeSum(r, 405, 404, nullptr, display), 0.0);
    // Far beyond the spectrum every term is 0; the mean still counts them all.
    EXPECT_DOUBLE_EQ(SpecRangeSum(r, -1e12, 1e12, nullptr, display), 210.0);
    EXPECT_DOUBLE_EQ(SpecRangeMean(r, 399.6, 439.4, nullptr, display), 210.0 / 40);  // 400..439
    EXPECT_DOUBLE_EQ(SpecRangeMean(r, 405, 404, &ok, display), 0.0);
    EXPECT_FALSE(ok);
    TSpectrumRecord raw = r;
    raw.SourceKind = SpecSourceRaw;
    EXPECT_DOUBLE_EQ(SpecRangeSum(raw, 400, 405, &ok, display), 0.0);
    EXPECT_FALSE(ok);
}

TEST(SubtractRangeMean, SubtractsTheStoredMean) {
    const TDisplayState display{SpecXNanometer, SpecYTransmittance};
    TSpectrumRecord r = Curve(10, [](int i) { return 1.0 + i; });
    SubtractRangeMean(r, 401, 403, display);  // stored 2, 3, 4
    EXPECT_DOUBLE_EQ(r.Values[0], -2.0);
    EXPECT_DOUBLE_EQ(r.Values[9], 7.0);
}

TEST(BandpassApply, WeightsTheSpectrumWithTheTriangle) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    TSpectrumRecord flat = Curve(600, [](int) { return 0.5; }, 300);
    TBandpass last;
    EXPECT_NEAR(BandpassApply(flat, 8, 500, last, display), 0.5, 1e-14);
    EXPECT_EQ(last.BandpassWidth, 8);
    EXPECT_EQ(last.BandpassCentre, 500);
    EXPECT_NEAR(last.BandpassResult, 0.5, 1e-14);
    // A straight line is averaged to its value at the centre.
    TSpectrumRecord line = Curve(600, [](int i) { return (300.0 + i) / 1000.0; }, 300);
    EXPECT_NEAR(BandpassApply(line, 5, 450, last, display), 0.45, 1e-14);
    EXPECT_NEAR(BandpassApply(flat, 3, 480, last, display), 0.5, 1e-14);
    EXPECT_NEAR(BandpassApply(flat, 1, 480, last, display), 0.5, 1e-14);
}

TEST(BandpassApply, RefusesWidthsOutsideOneToThousandNm) {
    const TDisplayState display;
    TSpectrumRecord flat = Curve(600, [](int) { return 0.5; }, 300);
    TBandpass last;
    last.BandpassResult = 0.25;
    EXPECT_THROW(BandpassApply(flat, 0, 500, last, display), vx::Error);
    EXPECT_THROW(BandpassApply(flat, 1001, 500, last, display), vx::Error);
    EXPECT_EQ(last.BandpassResult, 0.25);
}
