// The band-group model: values against e^-1 and the cut, the model spectrum's grid, the spectra of
// single groups, and the preview points.
#include <gtest/gtest.h>

#include <cmath>

#include "core/units.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "tools/gauss_model.h"

namespace {

constexpr TDisplayState kWavenumbers{SpecXWavenumber, SpecYAbsorbance};
constexpr TDisplayState kNanometres{SpecXNanometer, SpecYAbsorbance};

// One band of amplitude 0.8 at 20000 1/cm, width 400, in a block of the defaults.
TGaussModelParams oneBand() {
    TGaussModelParams b = GaussDefaultParams();
    TGaussGroup& g = b.Groups[0];
    g.BandCount = 1;
    g.Position = 20000.0;
    g.Amplitudes[0] = 0.8;
    return b;
}

struct SepGuard {
    char sep = numtext::decimalSeparator();
    ~SepGuard() { numtext::setDecimalSeparator(sep); }
};

}  // namespace

TEST(GaussModel, OneBandAgainstEAndTheCut) {
    const TGaussModelParams b = oneBand();
    const double w = 400.0;
    struct {
        double X, expected;
    } cases[] = {
        {20000.0, 0.8},
        {20400.0, 0.8 * std::exp(-1.0)},
        {19600.0, 0.8 * std::exp(-1.0)},
        {20800.0, 0.8 * std::exp(-4.0)},
        {20000.0 + w * std::sqrt(39.999), 0.8 * std::exp(-39.999)},
        {20000.0 + w * std::sqrt(40.001), 0.0},
        {20000.0 - w * 7.0, 0.0},
    };
    for (const auto& c : cases) EXPECT_NEAR(GaussBandSum(b, c.X), c.expected, 1e-13 * c.expected) << c.X;
    // The display in nm: x is a wavelength.
    EXPECT_NEAR(GaussModelValue(b, 500.0, kNanometres), 0.8, 1e-15);
    EXPECT_NEAR(GaussModelValue(b, 1e7 / 20400.0, kNanometres), 0.8 * std::exp(-1.0), 1e-12);
    EXPECT_EQ(GaussModelValue(b, 20400.0, kWavenumbers), GaussBandSum(b, 20400.0));
}

TEST(GaussModel, GroupsBandsAndWidthZero) {
    TGaussModelParams b = oneBand();
    TGaussGroup& g = b.Groups[0];
    g.BandCount = 3;
    g.Spacing = 1000.0;
    g.Amplitudes = {0.8, 0.4, 0.2};
    // Band k lies at Position + k * Spacing.
    EXPECT_NEAR(GaussBandSum(b, 22000.0), 0.2 + 0.4 * std::exp(-6.25) + 0.8 * std::exp(-25.0), 1e-15);
    b.Groups[1] = g;
    b.Groups[1].Position = 15000.0;
    EXPECT_EQ(GaussBandSum(b, 15000.0), 0.0);  // group 2 is not in use yet
    b.GroupCount = 2;
    // Group 1's band at 20000 lies beyond the cut at both places.
    const double at15000 = 0.8 + 0.4 * std::exp(-6.25) + 0.2 * std::exp(-25.0);
    EXPECT_NEAR(GaussBandSum(b, 15000.0), at15000, 1e-15);
    EXPECT_NEAR(GaussBandSum(b, 16000.0), 0.4 + (0.8 + 0.2) * std::exp(-6.25), 1e-15);

    TGaussModelParams none = b;
    none.GroupCount = 0;
    EXPECT_EQ(GaussBandSum(none, 20000.0), 0.0);
    TGaussModelParams bandless = b;
    bandless.Groups[0].BandCount = 0;
    EXPECT_NEAR(GaussBandSum(bandless, 15000.0), at15000, 1e-15);
    // A band of width 0 contributes 0 (never NaN), wherever it is looked at.
    TGaussModelParams flat = b;
    flat.Groups[0].Width = 0.0;
    EXPECT_EQ(GaussBandSum(flat, 20000.0), 0.0);
    EXPECT_NEAR(GaussBandSum(flat, 15000.0), at15000, 1e-15);
    // Counts beyond the block never reach outside it.
    TGaussModelParams wild = b;
    wild.GroupCount = 1000;
    wild.Groups[0].BandCount = 99;
    EXPECT_TRUE(std::isfinite(GaussBandSum(wild, 20000.0)));
}

TEST(GaussModel, SpectrumOnTheNanometreGrid) {
    TGaussModelParams b = oneBand();
    auto rec = GaussModelSpectrum(b, kWavenumbers);
    // 25000 to 12500 1/cm: from 400 nm, round(800 - 400) = 400 points, 400 .. 799 nm.
    EXPECT_EQ(rec->Title.str(), "Gauss Spektrum");
    EXPECT_EQ(rec->SourceKind, SpecSourceGaussModel);
    EXPECT_EQ(rec->XUnit, SpecXNanometer);
    EXPECT_EQ(rec->YKind, SpecYAbsorbance);
    EXPECT_EQ(rec->FirstX, 400.0);
    EXPECT_EQ(rec->StepX, 1.0);
    ASSERT_EQ(rec->PointCount(), 400);
    EXPECT_EQ(rec->XAt(399), 799.0);
    EXPECT_EQ(rec->PathLength, 1.0);
    EXPECT_EQ(rec->ExcitationWl, -1.0);
    EXPECT_EQ(rec->DateText.str().size(), 19u);
    EXPECT_NEAR(rec->Values[100], 0.8, 1e-15);  // 500 nm = 20000 1/cm
    EXPECT_NEAR(rec->Values[10], GaussBandSum(b, 1e7 / 410.0), 1e-15);

    // Shown in nm, the range ends count as nm.
    auto nm = GaussModelSpectrum(b, kNanometres);
    EXPECT_EQ(nm->FirstX, 12500.0);
    EXPECT_EQ(nm->PointCount(), 12500);

    b.RangeFrom = 9.0;  // 1e7/9 - 400: more than a million points
    EXPECT_THROW(GaussModelSpectrum(b, kWavenumbers), vx::Error);
    b.RangeFrom = 0.0;
    EXPECT_THROW(GaussModelSpectrum(b, kWavenumbers), vx::Error);
    b.RangeFrom = 20000.0;
    b.RangeTo = 19990.0;  // 0.25 nm: no point
    EXPECT_EQ(GaussModelSpectrum(b, kWavenumbers)->PointCount(), 0);
}

TEST(GaussModel, OneSpectrumPerGroupWithItsParameters) {
    SepGuard sep;
    numtext::setDecimalSeparator(',');
    TSpectraList list;
    list.Add(std::make_unique<TSpectrumRecord>());
    TGaussModelParams b = oneBand();
    b.GroupCount = 2;
    b.Groups[0].BandCount = 2;
    b.Groups[0].Position = 20000.5;
    b.Groups[0].Amplitudes[1] = 0.123456;
    b.Groups[1].Position = 15000.0;
    EXPECT_EQ(GaussListParams(list, b, kWavenumbers), 2);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[1].Title.str(), "Gauss Pos:20000,5 Width:400 Amp[0]:0,8 Amp[1]:0,1235");
    EXPECT_EQ(list[2].Title.str(), "Gauss Pos:15000 Width:400");
    EXPECT_EQ(list[1].Color, CurveColor(2));
    EXPECT_EQ(list[2].Color, CurveColor(3));
    EXPECT_EQ(list[1].SourceKind, SpecSourceGaussModel);
    EXPECT_EQ(list[1].PointCount(), 400);
    // Group spectra stop at t^2 = 20: at 446 nm band 0 lies at t^2 ~ 37, inside the whole model's
    // cut but outside the group's.
    const double x446 = 1e7 / 446.0;
    const double t = (x446 - 20000.5) / 400.0;
    ASSERT_GT(t * t, 20.0);
    ASSERT_LT(t * t, 40.0);
    EXPECT_EQ(list[1].Values[46], GaussGroupSum(b.Groups[0], x446, kGaussGroupCut));
    EXPECT_NE(list[1].Values[46], GaussGroupSum(b.Groups[0], x446, kGaussModelCut));
    // Groups on a grid of fewer than two points are left out.
    b.RangeFrom = 20000.0;
    b.RangeTo = 19990.0;
    EXPECT_EQ(GaussListParams(list, b, kWavenumbers), 0);
    EXPECT_EQ(list.Count(), 3);
}

TEST(GaussModel, DeleteOnlyModelSpectra) {
    TSpectraList list;
    for (int kind : {4, 28, 4, 4, 11}) {
        auto r = std::make_unique<TSpectrumRecord>();
        r->SourceKind = kind;
        list.Add(std::move(r));
    }
    EXPECT_EQ(DeleteGaussSpectra(list), 3);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].SourceKind, 28);
    EXPECT_EQ(list[1].SourceKind, 11);
}

TEST(GaussModel, PreviewPointsSpanTheRangeInWavenumbers) {
    TGaussModelParams b = oneBand();
    const auto pts = GaussPreviewPoints(b);
    ASSERT_EQ(pts.size(), 301u);
    EXPECT_EQ(pts.front().x, 12500.0);
    EXPECT_EQ(pts.back().x, 25000.0);
    EXPECT_EQ(pts[100].x, 12500.0 + 100 * (12500.0 / 300));
    for (const auto& p : pts) ASSERT_EQ(p.y, GaussBandSum(b, p.x));
    std::swap(b.RangeFrom, b.RangeTo);
    EXPECT_EQ(GaussPreviewPoints(b).front().x, 12500.0);
}
