// Scatter removal, blank EEM subtraction and the Raman band table.
#include <gtest/gtest.h>

#include <cmath>

#include <functional>

#include "formats/rvx.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"
#include "tests/formats_test_util.h"
#include "tests/tools_test_support.h"
#include "tools/blank_eem.h"
#include "tools/raman_bands.h"
#include "tools/scatter_removal.h"

using namespace tooltest;

namespace {
// An emission spectrum 300..700 nm, step 1, flat at `level`, excited at `ex`.
TSpectrumRecord& addEmission(TSpectraList& list, const std::string& title, double ex, double level = 1.0,
                             int n = 401, double first = 300.0, double step = 1.0) {
    TSpectrumRecord& r = addRecord(list, title, first, step, std::vector<double>(n, level));
    r.ExcitationWl = ex;
    r.YKind = SpecYIntensity;
    return r;
}

double at(const TSpectrumRecord& r, double nm) { return r.Values[static_cast<std::size_t>(std::lround((nm - r.FirstX) / r.StepX))]; }
}  // namespace

TEST(RamanBands, ShippedTableHoldsWaterAndReadsNameAndShift) {
    const TRamanBandTable t = LoadRamanBands(std::string(VX_SOURCE_DIR) + "/tables/" + kRamanBandsFileName);
    ASSERT_TRUE(t.Found);
    ASSERT_GE(t.Bands.size(), 5u);
    const int32_t w = RamanBandIndex(t, "Water");
    ASSERT_GE(w, 0);
    EXPECT_EQ(ReadRamanBandShift(t.Bands[static_cast<std::size_t>(w)].ShiftText), 3378);
    for (const TRamanBand& b : t.Bands) {
        const int32_t s = ReadRamanBandShift(b.ShiftText);  // every line a whole number
        EXPECT_GT(s, 100) << b.Name;
        EXPECT_LT(s, 4000) << b.Name;
    }
    EXPECT_EQ(RamanBandIndex(t, "Unobtainium"), -1);
}

TEST(RamanBands, MissingFileAndOddLines) {
    EXPECT_FALSE(LoadRamanBands("/nonexistent/RamanBands.csv").Found);
    fmt_test::TempDir dir;
    const TRamanBandTable t = LoadRamanBands(dir.write("RamanBands.csv", "Water;3378\r\n\r\nOdd\r\nA;b;c"));
    ASSERT_TRUE(t.Found);
    ASSERT_EQ(t.Bands.size(), 3u);
    EXPECT_EQ(t.Bands[1].Name, "Odd");
    EXPECT_EQ(t.Bands[1].ShiftText, "");
    EXPECT_EQ(t.Bands[2].ShiftText, "b;c");
    EXPECT_THROW(ReadRamanBandShift(t.Bands[2].ShiftText), vx::ConversionError);
}

// Which points a band fill touches, on a flat spectrum whose answer is known exactly.
TEST(ScatterRemoval, BandsLandWhereTheyBelong) {
    struct Case {
        const char* name;
        bool r1, r2, raman;
        double ex;
        double zeroAt, keptAt;
    };
    // Water's band excited at 350 nm lies at 1e7 / (1e7/350 - 3378) = 396.93 nm.
    const Case cases[] = {
        {"first order", true, false, false, 400, 400, 415},
        {"second order", false, true, false, 300, 600, 400},
        {"raman", false, false, true, 350, 397, 360},
    };
    for (const Case& c : cases) {
        TSpectraList list;
        addEmission(list, "e", c.ex);
        TScatterParams p;
        p.Rayleigh1 = c.r1;
        p.Rayleigh2 = c.r2;
        p.Raman = c.raman;
        p.FillMode = 0;
        p.BandWidth = 10;
        ASSERT_EQ(RunScatterRemoval(list, TDisplayState{}, p), 1) << c.name;
        ASSERT_EQ(list.Count(), 1);
        const TSpectrumRecord& r = list[0];
        EXPECT_EQ(r.PointCount(), 401);
        EXPECT_EQ(at(r, c.zeroAt), 0.0) << c.name;
        EXPECT_EQ(at(r, c.zeroAt - 9), 0.0) << c.name;
        EXPECT_EQ(at(r, c.keptAt), 1.0) << c.name;
    }
}

TEST(ScatterRemoval, FillModesOnAGaussianBandWithAScatterPeak) {
    // Baseline 0.2, emission band at 550 nm, a narrow scatter line at the excitation wavelength 450.
    const auto make = [](TSpectraList& list) {
        TSpectrumRecord& r = addEmission(list, "g", 450);
        for (int i = 0; i < r.PointCount(); ++i) {
            const double x = r.XAt(i);
            r.Values[static_cast<std::size_t>(i)] = 0.2 + std::exp(-std::pow((x - 550) / 30, 2)) +
                                                    5.0 * std::exp(-std::pow((x - 450) / 2, 2));
        }
    };
    for (int mode : {1, 2}) {
        TSpectraList list;
        make(list);
        TScatterParams p;
        p.Rayleigh1 = true;
        p.FillMode = mode;
        ASSERT_EQ(RunScatterRemoval(list, TDisplayState{}, p), 1);
        const TSpectrumRecord& r = list[0];
        // Under the scatter line the band's own wing is tiny: what is left is near the baseline.
        const double expected = 0.2 + std::exp(-std::pow((450.0 - 550) / 30, 2));
        EXPECT_NEAR(at(r, 450), expected, mode == 1 ? 1e-3 : 0.02) << mode;
        EXPECT_DOUBLE_EQ(at(r, 550), 1.2);  // the band itself untouched
    }
}

TEST(ScatterRemoval, AllSpectraKeepOrderAndColoursOrFollowWithDefaults) {
    TSpectraList list;
    addEmission(list, "a", 400).Color = 0x11;
    addEmission(list, "b", 410).Color = 0x22;
    TScatterParams p;
    p.Rayleigh1 = true;
    p.FillMode = 0;
    EXPECT_EQ(RunScatterRemoval(list, TDisplayState{}, p), 2);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(list[0].Color, 0x11u);
    EXPECT_EQ(list[1].Color, 0x22u);
    EXPECT_EQ(at(list[1], 410), 0.0);

    p.RemoveOriginal = false;
    EXPECT_EQ(RunScatterRemoval(list, TDisplayState{}, p), 2);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list[2].Color, CurveColor(3));
    EXPECT_EQ(list[3].Color, CurveColor(4));
}

TEST(ScatterRemoval, RefusalsChangeNothing) {
    ui::ScopedScriptedBackend ui;
    TSpectraList list;
    addEmission(list, "a", 400);
    addEmission(list, "no excitation", -1);
    TScatterParams p;
    EXPECT_EQ(RunScatterRemoval(list, TDisplayState{}, p), 0);  // no band checked: nothing, silently
    p.Rayleigh1 = true;
    EXPECT_EQ(RunScatterRemoval(list, TDisplayState{}, p), 0);  // one does not qualify
    p.AllSpectra = false;
    p.Spectrum = 1;
    EXPECT_EQ(RunScatterRemoval(list, TDisplayState{}, p), 0);
    p.Spectrum = 0;
    for (double w : {0.0, 0.5, -3.0, 5000.0, std::nan("")}) {
        p.BandWidth = w;
        EXPECT_EQ(RunScatterRemoval(list, TDisplayState{}, p), 0) << w;
    }
    EXPECT_EQ(ui->messages.size(), 7u);
    EXPECT_EQ(ui->messages[0], kScatterOnlyText);
    EXPECT_EQ(ui->messages[2], kScatterBandWidthText);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].Values, std::vector<double>(401, 1.0));

    // Two points, a spectrum in 1/cm and one stored as transmittance do not qualify either.
    TSpectrumRecord two;
    two.ExcitationWl = 400;
    two.Values = {1, 2};
    EXPECT_FALSE(ScatterQualifies(two));
    two.Values = {1, 2, 3};
    EXPECT_TRUE(ScatterQualifies(two));
    two.XUnit = SpecXWavenumber;
    EXPECT_FALSE(ScatterQualifies(two));
    two.XUnit = SpecXNanometer;
    two.YKind = SpecYTransmittance;
    EXPECT_FALSE(ScatterQualifies(two));
}

TEST(ScatterRemoval, WidthEditTakesPointOrComma) {
    SeparatorGuard g;
    numtext::setDecimalSeparator(',');
    std::string t = "2.5";
    EXPECT_DOUBLE_EQ(ReadScatterBandWidth(t), 2.5);
    EXPECT_EQ(t, "2,5");
    numtext::setDecimalSeparator('.');
    t = "7,5";
    EXPECT_DOUBLE_EQ(ReadScatterBandWidth(t), 7.5);
    t = "wide";
    EXPECT_THROW(ReadScatterBandWidth(t), vx::ConversionError);
}

// ----- blank EEM subtraction

namespace {
// An EEM of `n` spectra excited at 300, 310, ... with emission 400..`400 + points - 1` nm.
void addEEM(TSpectraList& list, int n, double level, int points = 101, double emFirst = 400.0, double emStep = 1.0) {
    for (int k = 0; k < n; ++k)
        addEmission(list, "ex" + std::to_string(300 + 10 * k), 300 + 10 * k, level, points, emFirst, emStep);
}

std::string blankFile(const fmt_test::TempDir& dir, const TSpectraList& blank) {
    const std::string name = dir.file("blank.rvx");
    SaveRvxFile(name, blank);
    return name;
}
}  // namespace

TEST(BlankEEM, DescriptionAndTheEEMTest) {
    TSpectraList list;
    addEEM(list, 3, 1.0);
    const TEEMDescription d = DescribeEEM(list, 0, 3);
    EXPECT_EQ(d.ExStart, 300);
    EXPECT_EQ(d.ExEnd, 320);
    EXPECT_EQ(d.ExStep, 10);
    EXPECT_DOUBLE_EQ(d.EmStart, 400);
    EXPECT_DOUBLE_EQ(d.EmEnd, 500);
    EXPECT_DOUBLE_EQ(d.EmStep, 1);
    EXPECT_TRUE(IsEEMData(d));

    // One spectrum: no step is read from a second one, and it is no EEM.
    TSpectraList one;
    addEEM(one, 1, 1.0);
    EXPECT_EQ(DescribeEEM(one, 0, 1).ExStep, 0);
    EXPECT_FALSE(IsEEMData(DescribeEEM(one, 0, 1)));
    EXPECT_FALSE(IsEEMData(DescribeEEM(TSpectraList{}, 0, 0)));
    list[0].ExcitationWl = -1;
    EXPECT_FALSE(IsEEMData(DescribeEEM(list, 0, 3)));
}

TEST(BlankEEM, FittingBlankIsSubtractedAndRemoved) {
    fmt_test::TempDir dir;
    ui::ScopedScriptedBackend ui;
    TSpectraList blank;
    // The blank's emission grid differs by less than 0.01 %: it still fits.
    addEEM(blank, 3, 1.5, 101, 400.02, 1.00005);
    blank[1].Values[10] = 2.0;
    const std::string file = blankFile(dir, blank);

    TSpectraList list;
    addEEM(list, 3, 5.0);
    ASSERT_EQ(LoadBlankDataset(list, 3, file), BlankLoad::Fits);
    EXPECT_EQ(list.Count(), 6);
    EXPECT_TRUE(SubtractBlankEEM(list, 3, true));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0].Values, std::vector<double>(101, 3.5));
    EXPECT_DOUBLE_EQ(list[1].Values[10], 3.0);
    EXPECT_EQ(list[2].Title.str(), "ex320, blank subtracted");
    EXPECT_TRUE(ui->messages.empty());
}

TEST(BlankEEM, BlanksThatDoNotFitAreRemovedUnsubtracted) {
    struct Case {
        const char* name;
        std::function<void(TSpectraList&)> blank;
    };
    const Case cases[] = {
        {"one more spectrum", [](TSpectraList& b) { addEEM(b, 4, 1.0); }},
        {"one fewer", [](TSpectraList& b) { addEEM(b, 2, 1.0); }},
        {"other excitation step", [](TSpectraList& b) {
             addEEM(b, 3, 1.0);
             b[1].ExcitationWl = 315;
             b[2].ExcitationWl = 330;
         }},
        {"emission start off by 0.1 %", [](TSpectraList& b) { addEEM(b, 3, 1.0, 101, 400.4); }},
        // The first pair matches; a later blank spectrum is shorter and would be read past its end.
        {"a later pair of another length", [](TSpectraList& b) {
             addEEM(b, 3, 1.0);
             b[2].Values.resize(60);
         }},
        {"a later pair on another grid", [](TSpectraList& b) {
             addEEM(b, 3, 1.0);
             b[1].FirstX = 401;
         }},
    };
    for (const Case& c : cases) {
        fmt_test::TempDir dir;
        ui::ScopedScriptedBackend ui;
        TSpectraList blank;
        c.blank(blank);
        const std::string file = blankFile(dir, blank);
        TSpectraList list;
        addEEM(list, 3, 5.0);
        EXPECT_EQ(LoadBlankDataset(list, 3, file), BlankLoad::DoesNotFit) << c.name;
        EXPECT_EQ(ui->messages, std::vector<std::string>{kBlankNoFitText}) << c.name;
        ASSERT_EQ(list.Count(), 3) << c.name;
        EXPECT_FALSE(SubtractBlankEEM(list, 3, false));
        EXPECT_EQ(list[2].Values, std::vector<double>(101, 5.0)) << c.name;
    }
}

TEST(BlankEEM, OtherFilesAndCancelLoadNothing) {
    fmt_test::TempDir dir;
    ui::ScopedScriptedBackend ui;
    TSpectraList list;
    addEEM(list, 3, 5.0);
    EXPECT_EQ(LoadBlankDataset(list, 3, ""), BlankLoad::NotLoaded);
    EXPECT_EQ(LoadBlankDataset(list, 3, dir.write("blank.dat", "1 2\n3 4\n")), BlankLoad::NotLoaded);
    // A damaged RVX file: its error, and nothing of it stays.
    EXPECT_EQ(LoadBlankDataset(list, 3, dir.write("broken.RVX", std::string(40, '\x07'))), BlankLoad::NotLoaded);
    EXPECT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(list.Count(), 3);

    // Loading again replaces the blank loaded before.
    TSpectraList blank;
    addEEM(blank, 3, 1.0);
    const std::string file = blankFile(dir, blank);
    ASSERT_EQ(LoadBlankDataset(list, 3, file), BlankLoad::Fits);
    ASSERT_EQ(LoadBlankDataset(list, 3, file), BlankLoad::Fits);
    EXPECT_EQ(list.Count(), 6);
    RemoveBlank(list, 3);
    EXPECT_EQ(list.Count(), 3);
}
