#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/plot/xy_ticks.h"
#include "platform/numtext.h"

using namespace xyticks;

namespace {

struct XCase {
    const char* what;
    double min, max;
    int unit;
    bool autoscaling;
    double wantStep, wantMin, wantMax;
    int wantCount;
    const char* firstLabel;
    const char* lastLabel;
};

class PlotTicks : public ::testing::Test {
protected:
    void SetUp() override { numtext::setDecimalSeparator('.'); }
};

TEST_F(PlotTicks, BottomAxisSpacingAndRounding) {
    const std::vector<XCase> cases = {
        {"nm 300..900", 300, 900, 1, true, 50, 300, 950, 13, "300", "900"},
        {"1/cm 400..4000 kept exact", 400, 4000, 2, true, 400, 400, 4000, 9, "400", "3600"},
        {"1/cm 399..4001 snapped", 399, 4001, 2, true, 400, 400, 4000, 9, "400", "3600"},
        {"1/cm 399..4001 without autoscaling", 399, 4001, 2, false, 400, 0, 4400, 11, "0", "4000"},
        {"width 3.55 gives step 0.4", 1.0, 4.55, 1, true, 0.4, 0.8, 4.8, 10, "0.8", "4.4"},
        {"Raman from -200 keeps its data", -200, 3000, 2, true, 500, -500, 3000, 7, "-500", "2500"},
        {"1/cm minimum 0 rounds outward", 0, 3000, 2, true, 500, -500, 3000, 7, "-500", "2500"},
        {"eV 1.5..3.5", 1.5, 3.5, 3, true, 0.2, 1.4, 3.6, 11, "1.4", "3.4"},
        {"um 0.3..0.9", 0.3, 0.9, 4, true, 0.1, 0.3, 1.0, 7, "0.3", "0.9"},
        {"nm maximum on a step still gains one", 400, 800, 1, true, 50, 400, 850, 9, "400", "800"},
    };
    for (const XCase& c : cases) {
        AxisRequest req;
        req.Min = c.min;
        req.Max = c.max;
        req.Pixels = 1000;
        TickSet t;
        CalcXTicks(req, *XUnitOfCode(c.unit), c.autoscaling, false, t);
        EXPECT_NEAR(t.Step, c.wantStep, 1e-12) << c.what;
        EXPECT_NEAR(t.DrawnMin, c.wantMin, 1e-9) << c.what;
        EXPECT_NEAR(t.DrawnMax, c.wantMax, 1e-9) << c.what;
        ASSERT_EQ(t.Count, c.wantCount) << c.what;
        EXPECT_EQ(t.Labels[0], c.firstLabel) << c.what;
        EXPECT_EQ(t.Labels[static_cast<std::size_t>(t.Count - 1)], c.lastLabel) << c.what;
        for (int i = 0; i < t.Count; ++i) {
            EXPECT_GE(t.Offsets[i], 0) << c.what;
            EXPECT_LT(t.Offsets[i], req.Pixels) << c.what << " tick " << i;
        }
    }
}

TEST_F(PlotTicks, NearZeroTickIsLabelledZeroAndAlternateLabelsBlank) {
    AxisRequest req;
    req.Min = -0.3;
    req.Max = 0.9;
    req.Pixels = 800;
    req.Alternate = true;
    TickSet t;
    CalcXTicks(req, SpecXMicrometer, true, false, t);
    EXPECT_NEAR(t.DrawnMin, -0.4, 1e-12);
    ASSERT_GE(t.Count, 5);
    EXPECT_EQ(t.Labels[4], "0");  // -0.4 + 4 * 0.1 carries binary rounding
    EXPECT_EQ(t.Labels[1], "  ");
    EXPECT_EQ(t.Labels[3], "  ");
}

TEST_F(PlotTicks, KeptRangeIsNotRounded) {
    AxisRequest req;
    req.Min = 400;
    req.Max = 750;
    req.Pixels = 700;
    TickSet t;
    CalcXTicks(req, SpecXNanometer, true, true, t);
    EXPECT_DOUBLE_EQ(t.DrawnMin, 400);
    EXPECT_DOUBLE_EQ(t.DrawnMax, 750);
    EXPECT_DOUBLE_EQ(t.Scale, 2.0);
}

TEST_F(PlotTicks, LabelsUseTheRegionalSeparator) {
    numtext::setDecimalSeparator(',');
    AxisRequest req;
    req.Min = 1.5;
    req.Max = 3.5;
    req.Pixels = 500;
    TickSet t;
    CalcXTicks(req, SpecXElectronVolt, true, false, t);
    EXPECT_EQ(t.Labels[0], "1,4");
}

struct YCase {
    const char* what;
    double min, max;
    bool fixed;
    bool right;
    double wantStep, wantMin;
    int wantCount;
    const char* firstLabel;
};

TEST_F(PlotTicks, LeftAndRightAxisRules) {
    const std::vector<YCase> cases = {
        {"absorbance 1e-6..1.05 starts at 0", 1e-6, 1.05, false, false, 0.1, 0.0, 11, "0"},
        {"fixed minimum rounds toward zero", -0.35, 1.0, true, false, 0.1, -0.3, 14, "-0.3"},
        {"free minimum rounds outward", -0.35, 1.0, false, false, 0.1, -0.4, 15, "-0.4"},
        {"flat curve widened by one", 2.0, 3.0, false, false, 0.1, 2.0, 11, "2"},
        {"small range tenth steps", 0.0, 0.004, false, false, 0.0005, -0.0005, 10, "-0.0005"},
        {"half range quarter steps", 0.0, 0.5, false, false, 0.05, -0.05, 12, "-0.05"},
        {"tiny range tenth steps", 0.0, 2e-7, false, false, 3e-8, -3e-8, 8, "-3E-8"},
        {"fixed second axis -0.6..0.6", -0.6, 0.6, true, true, 0.1, -0.6, 13, "-0.6"},
        {"large ratio range", 0, 52000, false, true, 5000, -5000, 12, "-5000"},
        {"right axis whole steps on a small range", 0.0, 0.004, false, true, 0.001, -0.001, 6, "-0.001"},
        {"right axis whole steps on half a unit", 0.0, 0.5, false, true, 0.1, -0.1, 7, "-0.1"},
    };
    for (const YCase& c : cases) {
        AxisRequest req;
        req.Min = c.min;
        req.Max = c.max;
        req.Pixels = 600;
        TickSet t;
        CalcYTicks(req, c.right ? YAxis::Right : YAxis::Left, c.fixed, t);
        EXPECT_NEAR(t.Step, c.wantStep, c.wantStep * 1e-9) << c.what;
        EXPECT_NEAR(t.DrawnMin, c.wantMin, c.wantStep * 1e-9) << c.what;
        EXPECT_EQ(t.Count, c.wantCount) << c.what;
        EXPECT_EQ(t.Labels[0], c.firstLabel) << c.what;
        EXPECT_GE(t.DrawnMax, c.max) << c.what;
    }
}

TEST_F(PlotTicks, ManualTicksClampTheirCount) {
    AxisRequest req;
    req.Min = 0;
    req.Max = 100;
    req.Pixels = 500;
    req.AutoTics = false;
    TickSet t;
    for (int count : {0, -3}) {
        req.MajorTics = count;
        CalcYTicks(req, YAxis::Left, false, t);
        EXPECT_EQ(t.Count, 0);
        EXPECT_DOUBLE_EQ(t.Scale, 5.0);
    }
    req.MajorTics = 60;
    CalcXTicks(req, SpecXNanometer, true, false, t);
    EXPECT_EQ(t.Count, kMaxTicks);
    req.MajorTics = 4;
    CalcXTicks(req, SpecXNanometer, true, false, t);
    ASSERT_EQ(t.Count, 4);
    EXPECT_EQ(t.Offsets[3], 375);
    EXPECT_EQ(t.Labels[3], "75");
}

TEST_F(PlotTicks, TopAxisStandsAboveTheWavelengthItEquals) {
    TickSet t;
    double lo = 0, hi = 0;
    CalcX2Ticks(400, 800, SpecXNanometer, 800, true, t, lo, hi);
    EXPECT_DOUBLE_EQ(lo, 12500);
    EXPECT_DOUBLE_EQ(hi, 25000);
    EXPECT_DOUBLE_EQ(t.Step, 1000);
    ASSERT_EQ(t.Count, 13);
    EXPECT_EQ(t.Labels[0], "12");   // 12000 1/cm lies beyond 800 nm: kept in the list, not drawn
    EXPECT_EQ(t.Offsets[0], -1);
    EXPECT_EQ(t.Labels[8], "20");
    // 20000 1/cm = 500 nm: 300 nm from the right end of a 400 nm axis of 800 pixels.
    EXPECT_EQ(t.Offsets[8], 600);
}

TEST_F(PlotTicks, TopAxisInWavenumbersAndElectronVolts) {
    TickSet t;
    double lo = 0, hi = 0;
    CalcX2Ticks(10000, 25000, SpecXWavenumber, 600, true, t, lo, hi);  // 400..1000 nm
    EXPECT_DOUBLE_EQ(lo, 400);
    EXPECT_DOUBLE_EQ(hi, 1000);
    ASSERT_GT(t.Count, 0);
    EXPECT_EQ(t.Labels[0], "400");  // labels in nm
    // 400 nm = 25000 1/cm is the right end of the bottom axis.
    EXPECT_EQ(t.Offsets[0], 0);
    CalcX2Ticks(1.5, 3.0, SpecXElectronVolt, 600, true, t, lo, hi);
    EXPECT_NEAR(lo, 1e7 / (3.0 * 8065.5409), 1e-9);
    EXPECT_NEAR(hi, 1e7 / (1.5 * 8065.5409), 1e-9);
    for (int i = 0; i < t.Count; ++i) EXPECT_TRUE(t.Offsets[i] == -1 || (t.Offsets[i] >= 0 && t.Offsets[i] <= 600));
}

TEST_F(PlotTicks, TopAxisNeverDividesByZero) {
    TickSet t;
    double lo = 0, hi = 0;
    CalcX2Ticks(0, 3000, SpecXWavenumber, 900, true, t, lo, hi);  // Raman data from 0 1/cm
    EXPECT_DOUBLE_EQ(hi, 0.0);
    for (int i = 0; i < t.Count; ++i) {
        EXPECT_TRUE(t.Offsets[i] == -1 || (t.Offsets[i] >= 0 && t.Offsets[i] <= 900)) << i;
        EXPECT_EQ(t.Labels[i].find("INF"), std::string::npos);
    }
    CalcX2Ticks(-500, 3000, SpecXWavenumber, 900, true, t, lo, hi);
    for (int i = 0; i < t.Count; ++i) EXPECT_TRUE(t.Offsets[i] == -1 || (t.Offsets[i] >= 0 && t.Offsets[i] <= 900));
    CalcX2Ticks(500, 500, SpecXNanometer, 900, true, t, lo, hi);
    EXPECT_EQ(t.Count, 0);
}

TEST_F(PlotTicks, QuotientsNearIntegersAreIntegers) {
    EXPECT_EQ(TruncQuotient(-5.9999999999), -6);
    EXPECT_EQ(TruncQuotient(5.99), 5);
    EXPECT_EQ(TruncQuotient(-5.99), -5);
    EXPECT_EQ(Pow10(-1), 0.1L);
    EXPECT_EQ(Pow10(3), 1000.0L);
    EXPECT_EQ(RoundOffset(2.5L), 2);
    EXPECT_EQ(RoundOffset(3.5L), 4);
    EXPECT_EQ(RoundOffset(std::nanl("")), 0);
    EXPECT_EQ(RoundOffset(1e300L), 1000000000);
}

}  // namespace
