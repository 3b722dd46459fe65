#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "tests/tools_test_support.h"
#include "tools/peak_table.h"

using namespace tooltest;

namespace {
// Gaussian bands of height h at centre c with sigma s on a 1 nm grid from 400 nm.
std::vector<double> bands(int n, std::vector<std::array<double, 3>> list) {
    std::vector<double> v(static_cast<std::size_t>(n), 0.0);
    for (int i = 0; i < n; ++i)
        for (const auto& [h, c, s] : list)
            v[static_cast<std::size_t>(i)] += h * std::exp(-0.5 * std::pow((400 + i - c) / s, 2));
    return v;
}
}  // namespace

TEST(PeakTable, OnePeakWithItsWidth) {
    TSpectraList list;
    TDisplayState display;
    auto& r = addRecord(list, "band", 400, 1, bands(201, {{{1.0, 500, 10}}}));
    const double inf = std::numeric_limits<double>::infinity();
    auto lines = BuildPeakTable(display, r, false, 5, -inf, inf);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Spectrum: band");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "wavelength [nm]\tabsorbance\tFWHM [nm]");
    // FWHM of a Gaussian: 2.3548 sigma.
    EXPECT_TRUE(lines[3].rfind("500\t\t1.0000\t\t23.5", 0) == 0) << lines[3];
}

TEST(PeakTable, NoPeakGivesTheHeaderOnlyAndTitlesFollowTheUnits) {
    TSpectraList list;
    TDisplayState display;
    display.DisplayXUnit = SpecXWavenumber;
    display.DisplayYMode = SpecYAbsorbance;
    auto& r = addRecord(list, "flat", 20000, -10, std::vector<double>(50, 0.2), SpecXRamanShift);
    r.YKind = SpecYIntensity;
    auto lines = BuildPeakTable(display, r, false, 5, 0, 1e6);
    EXPECT_EQ(lines, (std::vector<std::string>{"Spectrum: flat", "",
                                               "Raman shift [1/cm]\tintensity\tFWHM [1/cm]"}));
    display.DisplayXUnit = SpecXElectronVolt;
    display.DisplayYMode = SpecYTransmittance;
    r.XUnit = SpecXNanometer;
    EXPECT_EQ(BuildPeakTable(display, r, false, 5, 0, 1e6)[2], "electron volts [eV]\ttransmittance\tFWHM [eV]");
}

TEST(PeakTable, PeaksCloserThanTheirHalfWidthShowDashes) {
    TSpectraList list;
    TDisplayState display;
    // Two bands 12 nm apart (sigma 4: distinct maxima within each other's half width) and one far
    // away, which keeps its width.
    auto& r = addRecord(list, "three", 400, 1, bands(400, {{{1.0, 480, 4}}, {{1.0, 492, 4}}, {{0.8, 700, 5}}}));
    const double inf = std::numeric_limits<double>::infinity();
    auto lines = BuildPeakTable(display, r, false, 5, -inf, inf);
    ASSERT_EQ(lines.size(), 6u);
    auto width = [](const std::string& l) { return l.substr(l.rfind('\t') + 1); };
    EXPECT_EQ(width(lines[3]), "--");
    EXPECT_EQ(width(lines[4]), "--");
    EXPECT_EQ(width(lines[5]), "11.779");
    // The visible range limits the search.
    EXPECT_EQ(BuildPeakTable(display, r, false, 5, 650, 750).size(), 4u);
}

TEST(PeakTable, ClipboardTextDropsTheLabelAndDoubleTabs) {
    std::vector<std::string> lines = {"Spectrum: x", "", "wavelength [nm]\tabsorbance\tFWHM [nm]",
                                      "500\t\t1.0000\t\t23.548"};
    EXPECT_EQ(PeakTableClipboardText(lines),
              "x\r\n\r\nwavelength [nm]\tabsorbance\tFWHM [nm]\r\n500\t1.0000\t23.548\r\n");
}
