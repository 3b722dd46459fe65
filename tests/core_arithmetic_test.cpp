#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/spectrum_arithmetic.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "core_algos_fixtures.h"

namespace {

// n points from first in steps of step, y = f(i).
template <class F>
TSpectrumRecord Grid(SpecXUnit unit, double first, double step, int32_t n, F f) {
    std::vector<double> v(static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n; ++i) v[i] = f(i);
    return MakeRecord(unit, first, step, v);
}

TSpectrumRecord Flat(double first, double step, int32_t n, double value) {
    return Grid(SpecXNanometer, first, step, n, [value](int32_t) { return value; });
}

}  // namespace

struct RangeCase {
    const char* name;
    SpecXUnit display;
    double aFirst, aStep;
    int32_t aN;
    double bFirst, bStep;
    int32_t bN;
    bool overlap;
    double lo, hi;
};
class CommonRange : public testing::TestWithParam<RangeCase> {};
TEST_P(CommonRange, BoundsMoveInwardsOnTheCoarserGrid) {
    auto c = GetParam();
    const TDisplayState display{c.display, SpecYAbsorbance};
    TSpectrumRecord A = Flat(c.aFirst, c.aStep, c.aN, 1), B = Flat(c.bFirst, c.bStep, c.bN, 1);
    double lo = -7, hi = -7;
    ASSERT_EQ(SpecCommonRange(A, B, lo, hi, display), c.overlap) << c.name;
    if (c.overlap) {
        EXPECT_NEAR(lo, c.lo, 1e-12) << c.name;
        EXPECT_NEAR(hi, c.hi, 1e-12) << c.name;
    } else {
        EXPECT_EQ(lo, -7);
    }
}
INSTANTIATE_TEST_SUITE_P(
    Cases, CommonRange,
    testing::Values(RangeCase{"same grid", SpecXNanometer, 400, 1, 101, 450, 1, 101, true, 450, 500},
                    RangeCase{"coarser B starts earlier", SpecXNanometer, 401, 1, 100, 400, 2, 101, true, 402, 498},
                    RangeCase{"coarser A starts later", SpecXNanometer, 404, 2, 20, 400, 1, 100, true, 404, 442},
                    RangeCase{"micrometre display moves inwards too", SpecXMicrometer, 401, 1, 100, 400, 2, 101,
                              true, 0.402, 0.498},
                    RangeCase{"disjoint", SpecXNanometer, 400, 1, 11, 500, 1, 11, false, 0, 0},
                    RangeCase{"touching in one point", SpecXNanometer, 400, 1, 11, 410, 1, 11, true, 410, 410}));

TEST(TwoSpectra, SubtractingASpectrumFromItselfGivesZeros) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    TSpectrumRecord A = Grid(SpecXNanometer, 400, 1, 50, [](int i) { return std::sin(i * 0.1); });
    A.ExcitationWl = 300;
    A.Comment1 = "keep out";
    std::unique_ptr<TSpectrumRecord> res;
    double from = 0, to = 1000;
    ASSERT_EQ(SpecSubtract(res, A, A, from, to, display), 50);
    EXPECT_EQ(from, 400);
    EXPECT_EQ(to, 449);
    EXPECT_EQ(res->Title.str(), "Subtraction");
    EXPECT_TRUE(res->Comment1.empty());
    EXPECT_DOUBLE_EQ(res->ExcitationWl, 300);
    EXPECT_DOUBLE_EQ(res->FirstX, 400);
    EXPECT_DOUBLE_EQ(res->StepX, 1);
    for (double v : res->Values) EXPECT_DOUBLE_EQ(v, 0.0);
}

TEST(TwoSpectra, OperationsOnACoarserPartner) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    TSpectrumRecord A = Grid(SpecXNanometer, 400, 1, 21, [](int i) { return 1.0 + i; });
    TSpectrumRecord B = Grid(SpecXNanometer, 400, 2, 11, [](int i) { return i == 3 ? 0.0 : 2.0 * i; });
    std::unique_ptr<TSpectrumRecord> res;
    double from = 403, to = 409;
    ASSERT_EQ(SpecAdd(res, A, B, from, to, display), 7);
    // B interpolates linearly between its points: at 403 nm halfway between 2 and 4.
    EXPECT_DOUBLE_EQ(res->FirstX, 403);
    EXPECT_DOUBLE_EQ(res->Values[0], 4.0 + 3.0);
    EXPECT_DOUBLE_EQ(res->Values[1], 5.0 + 4.0);
    from = 404;
    to = 408;
    ASSERT_EQ(SpecDivide(res, A, B, from, to, display), 5);
    EXPECT_DOUBLE_EQ(res->Values[0], 5.0 / 4.0);
    EXPECT_DOUBLE_EQ(res->Values[2], 7.0);  // B is 0 at 406 nm: A's value stays
    ASSERT_EQ(SpecMultiply(res, A, B, from, to, display), 5);
    EXPECT_DOUBLE_EQ(res->Values[4], 9.0 * 8.0);
    EXPECT_EQ(res->Title.str(), "Multiplication");
}

TEST(TwoSpectra, WorkInTheDisplayMode) {
    const TDisplayState display{SpecXNanometer, SpecYTransmittance};
    TSpectrumRecord A = Flat(400, 1, 10, 1.0), B = Flat(400, 1, 10, 2.0);
    std::unique_ptr<TSpectrumRecord> res;
    double from = 400, to = 409;
    SpecAdd(res, A, B, from, to, display);
    EXPECT_NEAR(res->Values[3], -std::log10(0.1 + 0.01), 1e-14);
}

TEST(TwoSpectra, NoCommonRangeGivesNoRecord) {
    const TDisplayState display;
    TSpectrumRecord A = Flat(400, 1, 11, 1), B = Flat(500, 1, 11, 1);
    auto res = std::make_unique<TSpectrumRecord>();
    double from = 0, to = 1000;
    EXPECT_EQ(SpecAdd(res, A, B, from, to, display), 0);
    EXPECT_EQ(res, nullptr);
    // A requested range beside the common one is no range either.
    TSpectrumRecord C = Flat(400, 1, 101, 1);
    from = 600;
    to = 700;
    EXPECT_EQ(SpecSubtract(res, C, C, from, to, display), 0);
    EXPECT_EQ(res, nullptr);
    // Spectra that only touch share one point: no spectrum either.
    TSpectrumRecord D = Flat(410, 1, 11, 1), E = Flat(400, 1, 11, 1);
    from = 0;
    to = 1000;
    EXPECT_EQ(SpecAdd(res, D, E, from, to, display), 0);
    EXPECT_EQ(res, nullptr);
}

TEST(TwoSpectra, ClampsTheRequestedRange) {
    const TDisplayState display;
    TSpectrumRecord A = Flat(400, 1, 101, 1), B = Flat(420, 1, 101, 1);
    std::unique_ptr<TSpectrumRecord> res;
    double from = 450, to = 300;
    EXPECT_EQ(SpecAdd(res, A, B, from, to, display), 31);
    EXPECT_EQ(from, 420);
    EXPECT_EQ(to, 450);
}

TEST(SpecCorrect, DividesOnTheCurveGridAndRefusesOtherUnits) {
    const TDisplayState display{SpecXNanometer, SpecYIntensity};
    TSpectrumRecord curve = Grid(SpecXNanometer, 400, 2, 6, [](int i) { return i == 2 ? 0.0 : 2.0; });
    TSpectrumRecord spec = Grid(SpecXNanometer, 400, 1, 11, [](int i) { return i == 8 ? 0.0 : 10.0; });
    spec.Title = "emission";
    std::unique_ptr<TSpectrumRecord> res;
    double from = 0, to = 1000;
    // Both start at 400 nm; the bound from the finer spectrum moves one curve step inwards.
    ASSERT_EQ(SpecCorrect(res, curve, spec, from, to, display), 5);
    EXPECT_EQ(from, 402);
    EXPECT_EQ(res->Title.str(), "emission corrected");
    EXPECT_DOUBLE_EQ(res->StepX, 2);
    EXPECT_DOUBLE_EQ(res->FirstX, 402);
    EXPECT_EQ(res->Values, (std::vector<double>{5, 0, 5, 0, 5}));
    TSpectrumRecord wn = Flat(400, 1, 11, 1);
    wn.XUnit = SpecXWavenumber;
    EXPECT_THROW(SpecCorrect(res, wn, spec, from, to, display), vx::Error);
    EXPECT_EQ(res, nullptr);
    // Raman shift and wavenumber are the same unit.
    TSpectrumRecord raman = Flat(400, 1, 11, 1);
    raman.XUnit = SpecXRamanShift;
    EXPECT_NO_THROW(SpecCorrect(res, wn, raman, from, to, display));
}

TEST(SpecCutOut, CopiesStoredValuesOfTheRange) {
    const TDisplayState display{SpecXNanometer, SpecYTransmittance};
    TSpectrumRecord s = Grid(SpecXNanometer, 400, 1, 50, [](int i) { return 0.01 * i; });
    s.Title = "film";
    std::unique_ptr<TSpectrumRecord> res;
    double from = 420.4, to = 410;
    ASSERT_EQ(SpecCutOut(res, s, from, to, true, display), 11);
    EXPECT_EQ(from, 410);
    EXPECT_DOUBLE_EQ(res->FirstX, 410);
    EXPECT_DOUBLE_EQ(res->Values[0], 0.10);
    EXPECT_DOUBLE_EQ(res->Values[10], 0.20);
    EXPECT_EQ(res->Title.str(), "\tPart of: film");
    ASSERT_EQ(SpecCutOut(res, s, from, to, false, display), 11);
    EXPECT_EQ(res->Title.str(), "film");
    from = 600;
    to = 700;
    EXPECT_EQ(SpecCutOut(res, s, from, to, false, display), 0);
    EXPECT_EQ(res, nullptr);
    from = to = 420;
    EXPECT_EQ(SpecCutOut(res, s, from, to, false, display), 0);  // one point
    EXPECT_EQ(res, nullptr);
    s.XUnit = SpecXElectronVolt;
    EXPECT_THROW(SpecCutOut(res, s, from, to, false, display), vx::Error);
}

TEST(SpecCutOut, WavenumberGridStartsAtTheHighestWavenumber) {
    const TDisplayState display{SpecXWavenumber, SpecYAbsorbance};
    TSpectrumRecord s = Grid(SpecXWavenumber, 4000, -2, 501, [](int i) { return i; });
    std::unique_ptr<TSpectrumRecord> res;
    double from = 3500, to = 3600;
    ASSERT_EQ(SpecCutOut(res, s, from, to, false, display), 51);
    EXPECT_DOUBLE_EQ(res->FirstX, 3600);
    EXPECT_DOUBLE_EQ(res->StepX, -2);
    EXPECT_DOUBLE_EQ(res->Values[0], 200);
}

struct TermCase {
    const char* term;
    int32_t op;
    double y0, y1;  // expected display values at points 0 (500 nm, stored 0.5) and 1 (501 nm, stored 0)
};
class ConstTerms : public testing::TestWithParam<TermCase> {};
TEST_P(ConstTerms, ComputeInDisplayUnits) {
    auto c = GetParam();
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    numtext::setDecimalSeparator('.');
    TSpectrumRecord s = MakeRecord(SpecXNanometer, 500, 1, {0.5, 0.0});
    std::unique_ptr<TSpectrumRecord> res;
    SpecConstArith(res, s, c.term, 0, c.op, "?", display);
    ASSERT_TRUE(res);
    ASSERT_EQ(res->PointCount(), 2);
    EXPECT_NEAR(res->Values[0], c.y0, 1e-15) << c.term;
    EXPECT_NEAR(res->Values[1], c.y1, 1e-15) << c.term;
}
INSTANTIATE_TEST_SUITE_P(
    Cases, ConstTerms,
    testing::Values(TermCase{"5", ConstOpAdd, 5.5, 5.0}, TermCase{"2,5", ConstOpSubtract, -2.0, -2.5},
                    TermCase{"0", ConstOpDivide, 0.0, 0.0}, TermCase{"4", ConstOpDivide, 0.125, 0.0},
                    TermCase{"x", ConstOpAdd, 1.0, 0.501},
                    TermCase{"x2", ConstOpMultiply, 0.5 * 0.25, 0.0},
                    TermCase{"x0.5", ConstOpMultiply, 0.5 * std::sqrt(0.5), 0.0},
                    TermCase{"y", ConstOpDivide, 1.0, 0.0}, TermCase{"y2", ConstOpAdd, 0.5 + 0.25e-6, 0.0},
                    TermCase{"y0.5", ConstOpAdd, 0.5 + std::sqrt(0.5e-3), 0.0}));

TEST(SpecConstArith, TransmittanceDisplayAddsToT) {
    const TDisplayState display{SpecXNanometer, SpecYTransmittance};
    TSpectrumRecord s = MakeRecord(SpecXNanometer, 500, 1, {1.0, 2.0});
    s.Title = "abs";
    std::unique_ptr<TSpectrumRecord> res;
    SpecConstArith(res, s, "5", 1, ConstOpAdd, "+", display);
    EXPECT_NEAR(res->Values[0], -std::log10(5.1), 1e-14);
    EXPECT_EQ(res->Title.str(), "abs + 5");
}

TEST(SpecConstArith, RefusesBadTermsWithoutARecord) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    numtext::setDecimalSeparator('.');
    TSpectrumRecord s = MakeRecord(SpecXNanometer, 500, 1, {0.5, -0.5, 0.0});
    auto res = std::make_unique<TSpectrumRecord>();
    try {
        SpecConstArith(res, s, "abc", 0, ConstOpAdd, "+", display);
        FAIL();
    } catch (const vx::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
    EXPECT_EQ(res, nullptr);
    EXPECT_THROW(SpecConstArith(res, s, "xy", 0, ConstOpAdd, "+", display), vx::Error);
    try {
        SpecConstArith(res, s, "y0.5", 0, ConstOpAdd, "+", display);  // negative base, fractional power
        FAIL();
    } catch (const vx::FloatError& e) {
        EXPECT_STREQ(e.what(), vx::kInvalidFloatOp);
    }
    EXPECT_EQ(res, nullptr);
    EXPECT_THROW(SpecConstArith(res, s, "y-1", 0, ConstOpAdd, "+", display), vx::FloatError);  // 0^-1
    EXPECT_NO_THROW(SpecConstArith(res, s, "y3", 0, ConstOpAdd, "+", display));                // whole powers are fine
    EXPECT_DOUBLE_EQ(res->Values[1], -0.5 - 1.25e-10);
    EXPECT_THROW(SpecConstArith(res, s, "1", 0, 4, "+", display), vx::Error);
}

TEST(SpecDerivative, DifferencesKeepOnlyComputedValues) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    // y = x^2 / 100 on a 0.5 nm grid: first differences (2x + h)/100, second 2/100.
    TSpectrumRecord s = Grid(SpecXNanometer, 400, 0.5, 40, [](int i) {
        double x = 400 + 0.5 * i;
        return x * x / 100.0;
    });
    s.Title = "q";
    s.Comment2 = "source note";
    std::unique_ptr<TSpectrumRecord> res;
    SpecDerivative(res, s, 1, false, display);
    ASSERT_EQ(res->PointCount(), 39);
    EXPECT_EQ(res->Title.str(), "q 1. derivative");
    EXPECT_TRUE(res->Comment2.empty());
    EXPECT_NEAR(res->Values[0], (2 * 400 + 0.5) / 100.0, 1e-9);
    EXPECT_NEAR(res->Values[38], (2 * 419 + 0.5) / 100.0, 1e-9);
    SpecDerivative(res, s, 2, false, display);
    ASSERT_EQ(res->PointCount(), 37);
    for (double v : res->Values) EXPECT_NEAR(v, 0.02, 1e-8);
    // Smoothing a quadratic changes nothing: one value fewer per pass than without.
    SpecDerivative(res, s, 1, true, display);
    ASSERT_EQ(res->PointCount(), 38);
    EXPECT_NEAR(res->Values[37], (2 * 418.5 + 0.5) / 100.0, 1e-8);
    SpecDerivative(res, s, 3, true, display);
    ASSERT_EQ(res->PointCount(), 34);
    for (double v : res->Values) EXPECT_NEAR(v, 0.0, 1e-6);
}

TEST(SpecDerivative, RefusesZeroStepAndTooShortSpectra) {
    const TDisplayState display;
    std::unique_ptr<TSpectrumRecord> res;
    EXPECT_THROW(SpecDerivative(res, Flat(400, 0, 10, 1), 1, false, display), vx::Error);
    EXPECT_THROW(SpecDerivative(res, Flat(400, 1, 4, 1), 2, false, display), vx::Error);  // one value would be left
    EXPECT_NO_THROW(SpecDerivative(res, Flat(400, 1, 5, 1), 2, false, display));
    EXPECT_EQ(res->PointCount(), 2);
    res.reset();
    EXPECT_THROW(SpecDerivative(res, Flat(400, 1, 10, 1), 0, false, display), vx::Error);
    EXPECT_EQ(res, nullptr);
}

TEST(SpecRamanShift, DropsTheCutOffAndStoresFallingShifts) {
    const TDisplayState display{SpecXNanometer, SpecYIntensity};
    TSpectrumRecord s = Grid(SpecXNanometer, 790, 1, 111, [](int i) { return 790.0 + i; });
    s.Title = "raman";
    std::unique_ptr<TSpectrumRecord> res;
    SpecRamanShift(res, s, 150, 785, display);
    ASSERT_TRUE(res);
    // 794 nm is a shift of 144.4 1/cm, 795 nm of 160.2: the first kept point is 795 nm.
    const double laser = 1e7 / 785.0;
    const double sFirst = laser - 1e7 / 795.0, sLast = laser - 1e7 / 900.0;
    ASSERT_EQ(res->PointCount(), 106);
    EXPECT_EQ(res->XUnit, SpecXRamanShift);
    EXPECT_NEAR(res->FirstX, sLast, 1e-9);
    EXPECT_NEAR(res->StepX, -(sLast - sFirst) / 105.0, 1e-12);
    EXPECT_NEAR(res->Values.front(), 900.0, 1e-9);
    EXPECT_NEAR(res->Values.back(), 795.0, 1e-9);
    // Inside, each grid value lies on the chord between the neighbouring pairs.
    const double xj = res->FirstX + 50 * res->StepX;
    const double wl = 1e7 / (laser - xj);
    EXPECT_NEAR(res->Values[50], wl, 0.01);
    EXPECT_EQ(res->Title.str(), "raman");
}

TEST(SpecRamanShift, RefusesWithoutLaserOrPoints) {
    const TDisplayState display;
    TSpectrumRecord s = Flat(790, 1, 20, 1);
    std::unique_ptr<TSpectrumRecord> res;
    EXPECT_THROW(SpecRamanShift(res, s, 150, 0, display), vx::Error);
    EXPECT_THROW(SpecRamanShift(res, s, 5000, 785, display), vx::Error);
    EXPECT_EQ(res, nullptr);
}

// Which describing fields a result inherits: a sum belongs to neither file, a derivative to its source.
TEST(SpecHeaders, SumAndDerivativeInheritTheirFields) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    TSpectrumRecord a = Flat(400, 1, 20, 0.5), b = Flat(400, 1, 20, 0.25);
    a.FileName = "/d/a.fak";
    a.Comment1 = "c1";
    a.Comment2 = "c2";
    a.SpecType = "ascii_fak";
    a.Solvent = "water";
    a.DateText = "2020-01-02 03:04:05";
    a.Concentration = 1e-5;
    a.PathLength = 2.0;
    a.ExcitationWl = 350;
    a.SourceKind = 11;
    a.LineWidth = 3;
    b.Solvent = "other";
    std::unique_ptr<TSpectrumRecord> res;
    double from = 400, to = 419;
    ASSERT_GT(SpecAdd(res, a, b, from, to, display), 0);
    EXPECT_TRUE(res->FileName.empty() && res->Comment1.empty() && res->Comment2.empty() && res->SpecType.empty());
    EXPECT_EQ(res->Title.str(), "Addition");
    EXPECT_EQ(res->Solvent.str(), "water");
    EXPECT_EQ(res->DateText.str(), "2020-01-02 03:04:05");
    EXPECT_EQ(res->Concentration, 1e-5);
    EXPECT_EQ(res->PathLength, 1.0);
    EXPECT_EQ(res->ExcitationWl, 350);
    EXPECT_EQ(res->SourceKind, 11);
    EXPECT_EQ(res->LineWidth, 3);

    SpecDerivative(res, a, 1, false, display);
    EXPECT_EQ(res->FileName.str(), "/d/a.fak");
    EXPECT_EQ(res->Comment1.str(), "c1");
    EXPECT_TRUE(res->Comment2.empty());
    EXPECT_EQ(res->SpecType.str(), "ascii_fak");
    EXPECT_EQ(res->Solvent.str(), "water");
    EXPECT_NE(res->DateText.str(), "2020-01-02 03:04:05");  // the time of the computation
    EXPECT_EQ(res->Concentration, 1e-5);
    EXPECT_EQ(res->PathLength, 1.0);
    EXPECT_EQ(res->SourceKind, 11);
}
