#include <gtest/gtest.h>

#include <cmath>

#include "core/units.h"

namespace {

TSpectrumRecord grid(int32_t unit, double first, double step, std::vector<double> values) {
    TSpectrumRecord r;
    r.XUnit = unit;
    r.FirstX = first;
    r.StepX = step;
    r.Values = std::move(values);
    return r;
}

}  // namespace

struct XCase {
    int32_t stored;
    double v;
    int32_t display;
    double expected;
};

class XConversion : public ::testing::TestWithParam<XCase> {};

TEST_P(XConversion, StoredToDisplayAndBack) {
    const XCase& c = GetParam();
    TDisplayState display;
    display.DisplayXUnit = static_cast<uint8_t>(c.display);
    TSpectrumRecord r = grid(c.stored, c.v, 1.0, {0.0, 0.0});
    EXPECT_NEAR(SpecXValue(r, 0, display), c.expected, std::fabs(c.expected) * 1e-14);
    if (c.v != 0.0 && c.expected != 0.0) {
        EXPECT_NEAR(XDisplayToStored(c.expected, c.display, c.stored), c.v, std::fabs(c.v) * 1e-12);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, XConversion,
    ::testing::Values(XCase{1, 500, 1, 500}, XCase{1, 500, 2, 20000}, XCase{1, 500, 3, 20000 / 8065.5409},
                      XCase{1, 500, 4, 0.5}, XCase{4, 2.5, 1, 2500}, XCase{4, 2.5, 2, 4000},
                      XCase{4, 2.5, 3, 4000 / 8065.5409}, XCase{4, 2.5, 4, 2.5}, XCase{2, 20000, 1, 500},
                      XCase{2, 20000, 2, 20000}, XCase{2, 20000, 3, 20000 / 8065.5409},
                      XCase{2, 20000, 4, 0.5}, XCase{5, 1000, 1, 10000}, XCase{5, 1000, 2, 1000},
                      XCase{3, 2.0, 1, 1239.8424512359736 / 2}, XCase{3, 2.0, 2, 2 * 8065.5409},
                      XCase{3, 2.0, 4, 1.2398424512359736 / 2}, XCase{9, 500, 2, 20000},
                      // zero x in reciprocal units gives 0, never a division by zero
                      XCase{2, 0, 1, 0}, XCase{5, 0, 4, 0}, XCase{1, 0, 2, 0}, XCase{4, 0, 3, 0}));

TEST(SpecIndexOfX, ClampsAndRoundsHalvesToEven) {
    TDisplayState display;
    display.DisplayXUnit = 1;
    TSpectrumRecord r = grid(1, 400, 1, std::vector<double>(11, 0.0));
    EXPECT_EQ(SpecIndexOfX(r, 300, display), 0);
    EXPECT_EQ(SpecIndexOfX(r, 500, display), 10);
    EXPECT_EQ(SpecIndexOfX(r, 402.5, display), 2);
    EXPECT_EQ(SpecIndexOfX(r, 403.5, display), 4);
    r.StepX = 0;
    EXPECT_EQ(SpecIndexOfX(r, 405, display), 0);
    TSpectrumRecord wn = grid(2, 25000, -10, std::vector<double>(101, 0.0));  // 25000..24000 1/cm
    EXPECT_EQ(SpecIndexOfX(wn, 1e7 / 24500, display), 50);
}

TEST(SpecYValue, ModesAndGuards) {
    TDisplayState display;
    TSpectrumRecord r = grid(1, 400, 1, {1.0, 2.0});
    r.Concentration = 1e-3;
    r.PathLength = 2;
    display.DisplayYMode = 1;
    EXPECT_DOUBLE_EQ(SpecYValue(r, 0, display), 0.1);
    EXPECT_EQ(SpecYValue(r, -1, display), 1.0);
    EXPECT_EQ(SpecYValue(r, 2, display), 1.0);
    display.DisplayYMode = 2;
    EXPECT_EQ(SpecYValue(r, -1, display), 0.0);
    display.DisplayYMode = 3;
    EXPECT_DOUBLE_EQ(SpecYValue(r, 1, display), 1000.0);
    display.DisplayYMode = 4;
    EXPECT_DOUBLE_EQ(SpecYValue(r, 1, display), 3.0);
    r.Concentration = 0;
    EXPECT_EQ(SpecYValue(r, 1, display), 0.0);  // no concentration: 0
    r.Concentration = 1;
    r.PathLength = 1;
    EXPECT_EQ(SpecYValue(r, 0, display), 0.0);  // epsilon of 1 or less: 0
    r.SourceKind = SpecSourceRaw;
    display.DisplayYMode = 1;
    EXPECT_EQ(SpecYValue(r, 1, display), 2.0);  // raw values bypass every conversion
}

TEST(SpecYToStored, InverseWithClips) {
    TDisplayState display;
    TSpectrumRecord r = grid(1, 400, 1, {0, 0});
    display.DisplayYMode = 1;
    EXPECT_EQ(SpecYToStored(r, 0.0, display), 6.0);
    EXPECT_EQ(SpecYToStored(r, -1.0, display), 6.0);
    EXPECT_DOUBLE_EQ(SpecYToStored(r, 0.01, display), 2.0);
    display.DisplayYMode = 3;
    EXPECT_EQ(SpecYToStored(r, 5.0, display), 0.0);  // c*d = 0
    r.Concentration = 0.5;
    EXPECT_DOUBLE_EQ(SpecYToStored(r, 5.0, display), 2.5);
    EXPECT_DOUBLE_EQ(r.ConcTimesPath, 0.5);
    display.DisplayYMode = 4;
    EXPECT_DOUBLE_EQ(SpecYToStored(r, 2.0, display), 50.0);
}

TEST(SpecYAtX, InterpolationRules) {
    TDisplayState display;
    display.DisplayXUnit = 1;
    display.DisplayYMode = 2;
    TSpectrumRecord r = grid(1, 400, 1, {1.0, 3.0, 5.0});
    EXPECT_DOUBLE_EQ(SpecYAtX(r, 400.5, display), 2.0);
    EXPECT_DOUBLE_EQ(SpecYAtX(r, 401, display), 3.0);
    EXPECT_DOUBLE_EQ(SpecYAtX(r, 399.6, display), 1.0);  // b = -0.4: point 0
    EXPECT_EQ(SpecYAtX(r, 399.4, display), 0.0);         // b = -0.6: outside
    EXPECT_EQ(SpecYAtX(r, 402.6, display), 0.0);
    TSpectrumRecord small = grid(1, 400, 1, {5e-5, 2e-5});
    EXPECT_NEAR(SpecYAtX(small, 400.5, display), std::sqrt(5e-5 * 2e-5), 1e-15);  // geometric
    TSpectrumRecord zero = grid(1, 400, 1, {5e-5, 0.0});
    EXPECT_DOUBLE_EQ(SpecYAtX(zero, 400.5, display), 2.5e-5);  // linear
    TSpectrumRecord flat = grid(1, 400, 0, {7.0, 8.0});
    EXPECT_EQ(SpecYAtX(flat, 400, display), 7.0);
    EXPECT_EQ(SpecYAtX(flat, 401, display), 0.0);
}

TEST(LinInterpol, DegenerateLines) {
    EXPECT_DOUBLE_EQ(LinInterpol(1.5, 1, 10, 2, 20), 15);
    EXPECT_EQ(LinInterpol(5, 1, 10, 1, 20), 10);
    EXPECT_DOUBLE_EQ(LinInterpolInverse(15, 1, 10, 2, 20), 1.5);
    EXPECT_EQ(LinInterpolInverse(15, 1, 10, 1, 20), 1);
    EXPECT_EQ(LinInterpolInverse(15, 1, 10, 2, 10), 2);  // flat: x2, not 0
}
