// The work behind the EEM display without a display: the grid from a spectra list, its orientation,
// the logarithm and the read-out line.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/tools_test_support.h"
#include "tools/eem_display.h"

using namespace tooltest;

namespace {

const TDisplayState kNm{SpecXNanometer, SpecYAbsorbance};

// Emission spectra at excitation 300, 310, 320: spectrum i holds 10 i + (x - 400) on x 400..404.
TSpectraList EmissionSeries() {
    TSpectraList list;
    for (int i = 0; i < 3; ++i) {
        auto& r = addRecord(list, "s", 400, 1, ramp(5, 10.0 * i, 1.0));
        r.ExcitationWl = 300 + 10 * i;
        r.SourceKind = 21;
        r.SpecType = "generic_csv";
        r.YKind = SpecYIntensity;
    }
    return list;
}

}  // namespace

TEST(EEMGrid, EmissionSeriesRunsSpectraAlongX) {
    TSpectraList list = EmissionSeries();
    TEEMGrid g;
    ASSERT_EQ(BuildEEMGrid(list, kNm, 399.6, 403.4, g), TEEMBuild::Built);
    EXPECT_FALSE(g.ExcitationType);
    EXPECT_EQ(g.Lo, 400);  // Round(399.6)
    EXPECT_EQ(g.Hi, 403);
    EXPECT_EQ(g.Nx, 3);
    EXPECT_EQ(g.Ny, 4);
    EXPECT_EQ(g.X1, 300.0);
    EXPECT_EQ(g.X2, 320.0);
    EXPECT_EQ(g.Y1, 400.0);
    EXPECT_EQ(g.Y2, 403.0);
    ASSERT_EQ(g.Data.size(), 3u);
    // Row 0 (400 nm) lies before each spectrum's second point: left 0.
    EXPECT_EQ(g.Data[0], (std::vector<double>{0, 1, 2, 3}));
    EXPECT_EQ(g.Data[2], (std::vector<double>{0, 21, 22, 23}));
}

TEST(EEMGrid, RowsAreClippedToTheSpectrasRange) {
    TSpectraList list = EmissionSeries();
    TEEMGrid g;
    ASSERT_EQ(BuildEEMGrid(list, kNm, -1e9, 1e9, g), TEEMBuild::Built);
    EXPECT_EQ(g.Lo, 400);
    EXPECT_EQ(g.Hi, 404);
    EXPECT_EQ(BuildEEMGrid(list, kNm, 500, 600, g), TEEMBuild::NoOverlap);
    EXPECT_EQ(g.Nx, 0);
}

TEST(EEMGrid, ShortSpectraLeaveZeros) {
    TSpectraList list = EmissionSeries();
    list[1].Values.resize(3);  // 400..402
    TEEMGrid g;
    ASSERT_EQ(BuildEEMGrid(list, kNm, 400, 404, g), TEEMBuild::Built);
    EXPECT_EQ(g.Data[1], (std::vector<double>{0, 11, 12, 0, 0}));
}

TEST(EEMGrid, ExcitationTypeRunsSpectraAlongY) {
    TSpectraList list = EmissionSeries();
    list[0].SpecType = "ccdex";
    TEEMGrid g;
    ASSERT_EQ(BuildEEMGrid(list, kNm, 400, 404, g), TEEMBuild::Built);
    EXPECT_TRUE(g.ExcitationType);
    EXPECT_EQ(g.Nx, 5);
    EXPECT_EQ(g.Ny, 3);
    EXPECT_EQ(g.X1, 400.0);
    EXPECT_EQ(g.X2, 404.0);
    // The spectra's axis comes from their (detection) wavelengths, first to last.
    EXPECT_EQ(g.Y1, 300.0);
    EXPECT_EQ(g.Y2, 320.0);
    EXPECT_EQ(g.Data[2], (std::vector<double>{2, 12, 22}));
}

TEST(EEMGrid, ExcitationTypesByTagOrKind) {
    const struct {
        const char* tag;
        int32_t kind;
        bool excitation;
    } cases[] = {{"ccdey", 21, true},  {"polccde", 21, true}, {"cary50_csv", 21, true}, {"ex", 0, true},
                 {"generic_csv", 21, false}, {"", 0, false},     {"", 15, true},           {"", 25, true},
                 {"ccdfx", 16, false}};
    for (const auto& c : cases) {
        TSpectrumRecord r;
        r.SpecType = c.tag;
        r.SourceKind = c.kind;
        EXPECT_EQ(IsExcitationTypeSet(r), c.excitation) << c.tag << " " << c.kind;
    }
}

TEST(EEMGrid, DescendingSeriesRunUpwardInBothLayouts) {
    for (const char* tag : {"generic_csv", "ccdex"}) {
        TSpectraList list = EmissionSeries();
        for (int i = 0; i < 3; ++i) list[i].ExcitationWl = 320 - 10 * i;  // 320, 310, 300
        list[0].SpecType = tag;
        TEEMGrid g;
        ASSERT_EQ(BuildEEMGrid(list, kNm, 400, 404, g), TEEMBuild::Built) << tag;
        EXPECT_EQ(g.SpectraFirst, 320.0);
        const bool ex = g.ExcitationType;
        EXPECT_EQ(ex ? g.Y1 : g.X1, 300.0) << tag;
        EXPECT_EQ(ex ? g.Y2 : g.X2, 320.0) << tag;
        // The node at 300 nm holds the spectrum taken at 300 nm (the last one, 20 + (x - 400)).
        const double at300 = ex ? g.Data[2][0] : g.Data[0][2];
        const double at320 = g.Data[2][2];  // 402 nm of the spectrum at 320 nm, either way round
        EXPECT_EQ(at300, 22.0) << tag;
        EXPECT_EQ(at320, 2.0) << tag;
    }
}

TEST(EEMGrid, MissingExcitationWavelengthsCountSpectra) {
    TSpectraList list = EmissionSeries();
    for (auto& r : list) r->ExcitationWl = -1;
    TEEMGrid g;
    ASSERT_EQ(BuildEEMGrid(list, kNm, 400, 404, g), TEEMBuild::Built);
    EXPECT_EQ(g.X1, 0.0);
    EXPECT_EQ(g.X2, 2.0);  // count - 1
}

TEST(EEMGrid, RefusedOutsideNanometresAndBeyondTenMillionCells) {
    TSpectraList list = EmissionSeries();
    TEEMGrid g;
    EXPECT_EQ(BuildEEMGrid(list, TDisplayState{SpecXWavenumber, SpecYAbsorbance}, 400, 404, g), TEEMBuild::NotNm);
    TSpectraList empty;
    EXPECT_EQ(BuildEEMGrid(empty, kNm, 400, 404, g), TEEMBuild::NoSpectra);
    TSpectraList wide;
    addRecord(wide, "a", 0, 5e6, {1, 2, 3});  // 0 .. 1e7 nm
    addRecord(wide, "b", 0, 5e6, {1, 2, 3});
    EXPECT_EQ(BuildEEMGrid(wide, kNm, 0, 1e7, g), TEEMBuild::TooLarge);  // 2 x 10000001 cells
    EXPECT_EQ(BuildEEMGrid(wide, kNm, 0, 4999999, g), TEEMBuild::Built);  // 2 x 5000000
    TSpectraList single;
    addRecord(single, "one", 0, 3e6, {1, 2, 3});  // shown as two columns of 6000001 rows
    EXPECT_EQ(BuildEEMGrid(single, kNm, 0, 6e6, g), TEEMBuild::TooLarge);
}

TEST(EEMGrid, TransposedExchangesAxesAndIndices) {
    TSpectraList list = EmissionSeries();
    TEEMGrid g;
    BuildEEMGrid(list, kNm, 400, 404, g);
    const TEEMGrid t = Transposed(g);
    EXPECT_EQ(t.Nx, 5);
    EXPECT_EQ(t.Ny, 3);
    EXPECT_EQ(t.X1, 400.0);
    EXPECT_EQ(t.Y2, 320.0);
    EXPECT_EQ(t.Data[3][2], g.Data[2][3]);
    EXPECT_EQ(Transposed(t).Data, g.Data);
}

TEST(EEMGrid, LogarithmNeedsAPositiveMaximum) {
    const TEEMMatrix m = {{100, 0}, {-5, 1000}};
    TEEMMatrix out;
    ASSERT_TRUE(LogarithmOf(m, 1000, out));
    EXPECT_DOUBLE_EQ(out[0][0], 2.0);
    EXPECT_DOUBLE_EQ(out[0][1], 0.0);  // log10(1000 / 1000) for a value that is not positive
    EXPECT_DOUBLE_EQ(out[1][0], 0.0);
    EXPECT_DOUBLE_EQ(out[1][1], 3.0);
    out = {{7}};
    EXPECT_FALSE(LogarithmOf(m, 0, out));
    EXPECT_FALSE(LogarithmOf(m, -3, out));
    EXPECT_EQ(out, (TEEMMatrix{{7}}));  // untouched
}

TEST(EEMGrid, ReadoutAndLimitTexts) {
    SeparatorGuard sep;
    numtext::setDecimalSeparator('.');
    EXPECT_EQ(EEMReadoutText(350.04, 439.96, 1234.5), "EX: 350.0   EM: 440.0   INT: 1.2E+003");
    EXPECT_EQ(EEMReadoutText(300, 410.25, 0.25), "EX: 300.0   EM: 410.3   INT: 0.25");  // halves away from zero
    EXPECT_EQ(EEMLimitText(3.4771212547), "3.4771");
    numtext::setDecimalSeparator(',');
    EXPECT_EQ(EEMReadoutText(300, 410.375, 0.5), "EX: 300,0   EM: 410,4   INT: 0,5");
}
