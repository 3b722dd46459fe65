#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <utility>

#include "core/units.h"

namespace {

// `unit` as the code a file holds (also one no unit has).
TSpectrumRecord grid(int32_t unit, double first, double step, std::vector<double> values) {
    TSpectrumRecord r;
    r.XUnit = static_cast<SpecXUnit>(unit);
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
    display.DisplayXUnit = *XUnitOfCode(c.display);
    TSpectrumRecord r = grid(c.stored, c.v, 1.0, {0.0, 0.0});
    EXPECT_NEAR(SpecXValue(r, 0, display), c.expected, std::fabs(c.expected) * 1e-14);
    if (c.v != 0.0 && c.expected != 0.0) {
        EXPECT_NEAR(XDisplayToStored(c.expected, display.DisplayXUnit, static_cast<SpecXUnit>(c.stored)), c.v,
                    std::fabs(c.v) * 1e-12);
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
    display.DisplayXUnit = SpecXNanometer;
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
    display.DisplayYMode = SpecYTransmittance;
    EXPECT_DOUBLE_EQ(SpecYValue(r, 0, display), 0.1);
    EXPECT_EQ(SpecYValue(r, -1, display), 1.0);
    EXPECT_EQ(SpecYValue(r, 2, display), 1.0);
    display.DisplayYMode = SpecYAbsorbance;
    EXPECT_EQ(SpecYValue(r, -1, display), 0.0);
    display.DisplayYMode = SpecYEpsilon;
    EXPECT_DOUBLE_EQ(SpecYValue(r, 1, display), 1000.0);
    display.DisplayYMode = SpecYLogEpsilon;
    EXPECT_DOUBLE_EQ(SpecYValue(r, 1, display), 3.0);
    r.Concentration = 0;
    EXPECT_EQ(SpecYValue(r, 1, display), 0.0);  // no concentration: 0
    r.Concentration = 1;
    r.PathLength = 1;
    EXPECT_EQ(SpecYValue(r, 0, display), 0.0);  // epsilon of 1 or less: 0
    r.SourceKind = SpecSourceRaw;
    display.DisplayYMode = SpecYTransmittance;
    EXPECT_EQ(SpecYValue(r, 1, display), 2.0);  // raw values bypass every conversion
}

TEST(SpecYToStored, InverseWithClips) {
    TDisplayState display;
    TSpectrumRecord r = grid(1, 400, 1, {0, 0});
    display.DisplayYMode = SpecYTransmittance;
    EXPECT_EQ(SpecYToStored(r, 0.0, display), 6.0);
    EXPECT_EQ(SpecYToStored(r, -1.0, display), 6.0);
    EXPECT_DOUBLE_EQ(SpecYToStored(r, 0.01, display), 2.0);
    display.DisplayYMode = SpecYEpsilon;
    EXPECT_EQ(SpecYToStored(r, 5.0, display), 0.0);  // c*d = 0
    r.Concentration = 0.5;
    EXPECT_DOUBLE_EQ(SpecYToStored(r, 5.0, display), 2.5);
    EXPECT_DOUBLE_EQ(r.ConcTimesPath, 0.5);
    display.DisplayYMode = SpecYLogEpsilon;
    EXPECT_DOUBLE_EQ(SpecYToStored(r, 2.0, display), 50.0);
}

TEST(SpecYAtX, InterpolationRules) {
    TDisplayState display;
    display.DisplayXUnit = SpecXNanometer;
    display.DisplayYMode = SpecYAbsorbance;
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

TEST(UnitCodes, AreTheCodesThatFilesAndSettingsHold) {
    const std::pair<SpecXUnit, int32_t> xs[] = {{SpecXNanometer, 1}, {SpecXWavenumber, 2}, {SpecXElectronVolt, 3},
                                                 {SpecXMicrometer, 4}, {SpecXRamanShift, 5}};
    for (auto [unit, code] : xs) {
        EXPECT_EQ(CodeOf(unit), code);
        EXPECT_EQ(XUnitOfCode(code), unit);
    }
    const std::pair<SpecYKind, int32_t> ys[] = {{SpecYTransmittance, 1}, {SpecYAbsorbance, 2}, {SpecYEpsilon, 3},
                                                 {SpecYLogEpsilon, 4},    {SpecYIntensity, 5},  {SpecYReflectance, 6}};
    for (auto [kind, code] : ys) {
        EXPECT_EQ(CodeOf(kind), code);
        EXPECT_EQ(YKindOfCode(code), kind);
    }
    for (int64_t code : {0LL, 6LL, -1LL, 257LL, 4294967297LL}) EXPECT_FALSE(XUnitOfCode(code)) << code;
    for (int64_t code : {0LL, 7LL, -2LL, 258LL, 4294967298LL}) EXPECT_FALSE(YKindOfCode(code)) << code;
}

namespace {

const SpecXUnit kAllUnits[] = {SpecXNanometer, SpecXMicrometer, SpecXWavenumber, SpecXElectronVolt, SpecXRamanShift};
const EvRoute kRoutes[] = {EvRoute::Direct, EvRoute::ToEvViaWavenumber, EvRoute::FromEvViaWavenumber};

// One value of each unit, all the same light (500 nm).
double sampleOf(SpecXUnit u) {
    switch (u) {
    case SpecXMicrometer: return 0.5;
    case SpecXWavenumber:
    case SpecXRamanShift: return 20000.0;
    case SpecXElectronVolt: return 1239.8424512359736 / 500.0;
    default: return 500.0;
    }
}

bool wavelength(SpecXUnit u) { return u == SpecXNanometer || u == SpecXMicrometer; }

}  // namespace

// Every pair of units there and back, by each route: the same light, up to the last bits.
TEST(ConvertX, RoundTripsForEveryUnitPairAndRoute) {
    for (EvRoute route : kRoutes) {
        for (SpecXUnit a : kAllUnits) {
            for (SpecXUnit b : kAllUnits) {
                SCOPED_TRACE(std::to_string(CodeOf(a)) + "->" + std::to_string(CodeOf(b)) + " route " +
                             std::to_string(static_cast<int>(route)));
                const double x = sampleOf(a);
                const double y = ConvertX(x, a, b, route);
                EXPECT_NEAR(y, sampleOf(b), 1e-12 * sampleOf(b));
                EXPECT_NEAR(ConvertX(y, b, a, route), x, 1e-12 * x);
                // A zero x never divides: it stays 0.
                EXPECT_EQ(ConvertX(0.0, a, b, route), 0.0);
            }
        }
    }
}

// The routes part only between eV and a wavelength, and each takes its given formula there.
TEST(ConvertX, RoutesDifferOnlyBetweenEnergiesAndWavelengths) {
    for (SpecXUnit a : kAllUnits) {
        for (SpecXUnit b : kAllUnits) {
            if ((a == SpecXElectronVolt && wavelength(b)) || (b == SpecXElectronVolt && wavelength(a))) continue;
            const double x = sampleOf(a) * 1.37;
            const double direct = ConvertX(x, a, b, EvRoute::Direct);
            EXPECT_EQ(ConvertX(x, a, b, EvRoute::ToEvViaWavenumber), direct) << CodeOf(a) << "->" << CodeOf(b);
            EXPECT_EQ(ConvertX(x, a, b, EvRoute::FromEvViaWavenumber), direct) << CodeOf(a) << "->" << CodeOf(b);
        }
    }
    const double x = 3.3;
    EXPECT_EQ(ConvertX(x, SpecXNanometer, SpecXElectronVolt, EvRoute::Direct), kNmEv / x);
    EXPECT_EQ(ConvertX(x, SpecXNanometer, SpecXElectronVolt, EvRoute::ToEvViaWavenumber), (1e7 / x) / kWavenumberPerEv);
    EXPECT_EQ(ConvertX(x, SpecXNanometer, SpecXElectronVolt, EvRoute::FromEvViaWavenumber), kNmEv / x);
    EXPECT_EQ(ConvertX(x, SpecXMicrometer, SpecXElectronVolt, EvRoute::ToEvViaWavenumber),
              (10000.0 / x) / kWavenumberPerEv);
    EXPECT_EQ(ConvertX(x, SpecXElectronVolt, SpecXNanometer, EvRoute::Direct), kNmEv / x);
    EXPECT_EQ(ConvertX(x, SpecXElectronVolt, SpecXNanometer, EvRoute::ToEvViaWavenumber), kNmEv / x);
    EXPECT_EQ(ConvertX(x, SpecXElectronVolt, SpecXNanometer, EvRoute::FromEvViaWavenumber),
              1e7 / (x * kWavenumberPerEv));
    EXPECT_EQ(ConvertX(x, SpecXElectronVolt, SpecXMicrometer, EvRoute::FromEvViaWavenumber),
              10000.0 / (x * kWavenumberPerEv));
    // A code that no unit has converts as nm.
    EXPECT_EQ(ConvertX(500, static_cast<SpecXUnit>(9), SpecXWavenumber, EvRoute::Direct), 20000.0);
}

TEST(XUnitNames, OneTableNamesEveryDisplayUnit) {
    const std::tuple<SpecXUnit, std::string, std::string> names[] = {
        {SpecXNanometer, "nm", "nm"},
        {SpecXWavenumber, "1/cm", "cm^-1"},
        {SpecXElectronVolt, "eV", "eV"},
        {SpecXMicrometer, "\xC2\xB5m", "\xC2\xB5m"},
        // Not a display unit: named as nm.
        {SpecXRamanShift, "nm", "nm"},
        {static_cast<SpecXUnit>(0), "nm", "nm"},
    };
    for (const auto& [unit, symbol, power] : names) {
        EXPECT_EQ(XUnitSymbol(unit), symbol) << CodeOf(unit);
        EXPECT_EQ(XUnitPowerSymbol(unit), power) << CodeOf(unit);
    }
}
