#include <gtest/gtest.h>

#include <cmath>

#include "platform/errors.h"
#include "platform/ui.h"
#include "tests/tools_test_support.h"
#include "tools/average.h"
#include "tools/cut_out.h"
#include "tools/derivative.h"
#include "tools/raman_shift.h"
#include "tools/simple_y.h"
#include "tools/spikes.h"
#include "tools/trans_refl.h"
#include "tools/verrech.h"

using namespace tooltest;

TEST(Arithmetic, SubtractingASpectrumFromItselfWorksWithOneSpectrumLoaded) {
    ListGuard g;
    addRecord("a", 400, 1, ramp(10, 1.0));
    // With one spectrum both choices are item 0.
    EXPECT_EQ(RunSpectrumArithmetic({0, 0, false, false, 1}), 1);
    ASSERT_EQ(SpectraList.Count(), 2);
    EXPECT_EQ(SpectraList[1].Title.str(), "Subtraction");
    EXPECT_EQ(SpectraList[1].Values, std::vector<double>(10, 0.0));
    EXPECT_EQ(SpectraList[1].Color, CurveColor(2));
}

TEST(Arithmetic, AllSpectraCombineEachOtherWithTheSecond) {
    ListGuard g;
    addRecord("a", 400, 1, std::vector<double>(5, 1.0));
    addRecord("b", 400, 1, std::vector<double>(5, 2.0));
    addRecord("c", 400, 1, std::vector<double>(5, 3.0));
    EXPECT_EQ(RunSpectrumArithmetic({0, 1, true, true, 0}), 2);
    EXPECT_EQ(titles(), (std::vector<std::string>{"a", "b", "c", "a", "c"}));  // legend kept
    EXPECT_EQ(SpectraList[3].Values, std::vector<double>(5, 3.0));
    EXPECT_EQ(SpectraList[4].Values, std::vector<double>(5, 5.0));
}

TEST(Arithmetic, BadChoicesAndDisjointRangesGiveMessagesNoRecords) {
    ListGuard g;
    ui::ScopedScriptedBackend ui;
    addRecord("a", 400, 1, ramp(5));
    addRecord("far", 900, 1, ramp(5));
    EXPECT_EQ(RunSpectrumArithmetic({0, 5, false, false, 0}), 0);
    EXPECT_EQ(RunSpectrumArithmetic({-1, 0, false, false, 0}), 0);
    EXPECT_EQ(RunSpectrumArithmetic({0, 1, false, false, 3}), 0);
    EXPECT_EQ(ui->messages, (std::vector<std::string>{kArithmeticChoiceText, kArithmeticChoiceText,
                                                      kNoCommonRangeText}));
    EXPECT_EQ(SpectraList.Count(), 2);
}

TEST(YConstants, AddsInDisplayUnitsAndNamesTheResult) {
    ListGuard g;
    addRecord("a", 400, 1, ramp(4));
    TSimpleParams p;
    p.Operation = 0;
    p.Constant = "5";
    EXPECT_EQ(ApplyYConstant(p), 1);
    EXPECT_EQ(SpectraList[1].Title.str(), "a + 5");
    EXPECT_EQ(SpectraList[1].Values, ramp(4, 5.0));
    EXPECT_EQ(SpectraList[1].Color, CurveColor(2));
}

TEST(YConstants, ByTypeWithRemovalKeepsOrderAndColours) {
    ListGuard g;
    const char* tags[] = {"ccdfx", "ascii_dat", "ccdfy", ""};
    for (int i = 0; i < 4; ++i)
        addRecord("s" + std::to_string(i), 400, 1, ramp(4), 1, 0x100 + i).SpecType = tags[i];
    TSimpleParams p;
    p.Operation = 2;
    p.Constant = "2";
    p.RemoveOriginal = true;
    p.AppendToTitle = false;
    p.ByType = true;
    p.Tag = "ccdfx, ccdfy";
    EXPECT_EQ(ApplyYConstant(p), 2);
    EXPECT_EQ(titles(), (std::vector<std::string>{"s1", "s3", "s0", "s2"}));
    EXPECT_EQ(SpectraList[2].Color, 0x100u);
    EXPECT_EQ(SpectraList[3].Color, 0x102u);
    EXPECT_EQ(SpectraList[3].Values, ramp(4, 0.0, 2.0));
}

TEST(YConstants, ATermThatIsNoNumberChangesNothing) {
    ListGuard g;
    addRecord("a", 400, 1, ramp(4)).SpecType = "jcamp_dx";
    addRecord("b", 400, 1, ramp(4)).SpecType = "jcamp_dx";
    TSimpleParams p;
    p.Constant = "abc";
    p.ByType = true;
    p.Tag = "jcamp_dx";
    p.RemoveOriginal = true;
    EXPECT_THROW(ApplyYConstant(p), vx::ConversionError);
    EXPECT_EQ(titles(), (std::vector<std::string>{"a", "b"}));
}

TEST(CutOut, KeepsTheRangeAndStoresItInNanometres) {
    ListGuard g;
    addRecord("a", 400, 1, ramp(11), 1, 0x55);
    TCutOutParams p;
    EXPECT_TRUE(RunCutOut(p, 405, 402));
    ASSERT_EQ(SpectraList.Count(), 1);  // the original is removed by default
    EXPECT_EQ(SpectraList[0].Values, ramp(4, 2.0));
    EXPECT_DOUBLE_EQ(SpectraList[0].FirstX, 402);
    EXPECT_EQ(SpectraList[0].Color, 0x55u);
    EXPECT_DOUBLE_EQ(p.FromNm, 405);
    EXPECT_DOUBLE_EQ(p.ToNm, 402);
}

TEST(CutOut, ReciprocalUnitsRefuseZeroAndConvertLimits) {
    ListGuard g;
    ui::ScopedScriptedBackend ui;
    addRecord("a", 400, 1, ramp(11));
    DisplayXUnit = 2;
    TCutOutParams p;
    EXPECT_FALSE(RunCutOut(p, 0, 20000));
    EXPECT_FALSE(RunCutOut(p, -1, 20000));
    DisplayXUnit = 3;
    EXPECT_FALSE(RunCutOut(p, 0, 3));
    EXPECT_EQ(ui->messages, std::vector<std::string>(3, kCutOutPositiveText));
    EXPECT_EQ(SpectraList.Count(), 1);
    EXPECT_EQ(p.FromNm, -1.0);  // nothing kept from a refused attempt

    EXPECT_DOUBLE_EQ(CutOutDisplayToNm(20000, 2), 500);
    EXPECT_DOUBLE_EQ(CutOutDisplayToNm(2, 3), 1e7 / (2 * 8065.5409));
    EXPECT_DOUBLE_EQ(CutOutDisplayToNm(0.5, 4), 500);
    // Unset limits show 350..700 nm, or 2500..25000 nm in wavenumbers.
    auto nm = CutOutShownLimits(TCutOutParams{}, 1);
    EXPECT_EQ(nm, std::make_pair(350.0, 700.0));
    auto wn = CutOutShownLimits(TCutOutParams{}, 2);
    EXPECT_DOUBLE_EQ(wn.first, 4000);
    EXPECT_DOUBLE_EQ(wn.second, 400);
    TCutOutParams set;
    set.FromNm = 500;
    set.ToNm = 1000;
    EXPECT_DOUBLE_EQ(CutOutShownLimits(set, 4).second, 1.0);
    EXPECT_DOUBLE_EQ(CutOutShownLimits(set, 3).first, 1239.8424512359736 / 500);
}

TEST(CutOut, ARangeBesideTheSpectrumMakesNoRecord) {
    ListGuard g;
    ui::ScopedScriptedBackend ui;
    addRecord("a", 400, 1, ramp(11));
    TCutOutParams p;
    EXPECT_TRUE(RunCutOut(p, 800, 900));
    EXPECT_EQ(titles(), (std::vector<std::string>{"a"}));  // the original stays when nothing was made
    EXPECT_EQ(ui->messages, (std::vector<std::string>{kCutOutMissText}));
}

TEST(Averaging, MeanOfThreeAndNothingForOne) {
    ListGuard g;
    addRecord("a", 400, 1, std::vector<double>(6, 1.0));
    addRecord("b", 400, 1, std::vector<double>(6, 2.0));
    addRecord("c", 400, 1, std::vector<double>(6, 6.0));
    EXPECT_FALSE(RunAveraging({1}, "x"));
    EXPECT_FALSE(RunAveraging({1, 1}, "x"));
    EXPECT_EQ(SpectraList.Count(), 3);
    EXPECT_TRUE(RunAveraging({2, 0, 1}, "mean"));
    ASSERT_EQ(SpectraList.Count(), 4);
    EXPECT_EQ(SpectraList[3].Title.str(), "mean");
    for (double v : SpectraList[3].Values) EXPECT_DOUBLE_EQ(v, 3.0);
    EXPECT_EQ(SpectraList[3].Color, CurveColor(4));
}

TEST(Averaging, TitlesOfTheListClicks) {
    ListGuard g;
    addRecord("a", 400, 1, ramp(3));
    addRecord("b", 400, 1, ramp(3));
    EXPECT_EQ(AverageListItemText(1), "2- b");
    EXPECT_EQ(AverageTitleFor(0), "a - averaged");
    EXPECT_EQ(AverageTitleExtended("a - averaged", 1), "a | b - averaged");
}

TEST(Derivative, AllModeSkipsShortSpectraAndReplacesOriginals) {
    ListGuard g;
    addRecord("a", 400, 2, ramp(6, 0.0, 4.0), 1, 0x11);
    addRecord("short", 400, 1, ramp(2), 1, 0x22);
    addRecord("c", 400, 1, ramp(5, 0.0, 3.0), 1, 0x33);
    TDerivativeParams p;
    p.AllSpectra = true;
    p.RemoveOriginal = true;
    p.Smooth = false;
    EXPECT_EQ(RunDerivative(p), 2);
    EXPECT_EQ(titles(), (std::vector<std::string>{"short", "a 1. derivative", "c 1. derivative"}));
    EXPECT_EQ(SpectraList[1].Values, std::vector<double>(5, 2.0));  // n-1 values of slope 4/2
    EXPECT_EQ(SpectraList[1].Color, 0x11u);
    EXPECT_EQ(SpectraList[2].Values, std::vector<double>(4, 3.0));
}

TEST(Derivative, OneShortSpectrumGivesNothing) {
    ListGuard g;
    addRecord("short", 400, 1, ramp(2));
    TDerivativeParams p;
    EXPECT_EQ(RunDerivative(p), 0);
    EXPECT_EQ(SpectraList.Count(), 1);
}

namespace {
std::vector<double> spiky(int n, int at) {
    std::vector<double> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) v[static_cast<std::size_t>(i)] = 1.0 + 0.01 * std::sin(i * 0.7);
    v[static_cast<std::size_t>(at)] = 50.0;
    return v;
}
}  // namespace

TEST(Spikes, AllModeLeavesKindSevenInPlaceAndForcesRemoval) {
    ListGuard g;
    addRecord("a", 400, 1, spiky(60, 30), 1, 0x1);
    addRecord("ratio", 400, 1, spiky(60, 30), 1, 0x2).SourceKind = SpecSourceRaw;
    addRecord("c", 400, 1, spiky(60, 40), 1, 0x3);
    TSpikeParams p;
    p.AllSpectra = true;
    p.RemoveOriginal = false;  // forced on
    p.AppendToTitle = true;
    std::vector<int> steps;
    EXPECT_EQ(RunSpikeRemoval(p, [&](int32_t i, int32_t) { steps.push_back(i); }), 2);
    EXPECT_TRUE(p.RemoveOriginal);
    EXPECT_EQ(steps, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(titles(), (std::vector<std::string>{"a Spikes removed", "ratio", "c Spikes removed"}));
    EXPECT_LT(SpectraList[0].Values[30], 2.0);
    EXPECT_EQ(SpectraList[1].Values[30], 50.0);
    EXPECT_LT(SpectraList[2].Values[40], 2.0);
    EXPECT_EQ(SpectraList[0].Color, 0x1u);
    EXPECT_EQ(SpectraList[2].Color, 0x3u);
}

TEST(Spikes, OneSpectrumKeepingTheOriginal) {
    ListGuard g;
    addRecord("a", 400, 1, spiky(60, 30), 1, 0x1);
    addRecord("ratio", 400, 1, spiky(60, 30)).SourceKind = SpecSourceRaw;
    TSpikeParams p;
    p.AllSpectra = false;
    p.RemoveOriginal = false;
    p.Spectrum = 1;
    EXPECT_EQ(RunSpikeRemoval(p), 0);  // kind 7 is never treated
    p.Spectrum = 0;
    EXPECT_EQ(RunSpikeRemoval(p), 1);
    ASSERT_EQ(SpectraList.Count(), 3);
    EXPECT_EQ(SpectraList[2].Title.str(), "a");
    EXPECT_EQ(SpectraList[2].Color, CurveColor(3));
}

TEST(RamanShift, InputsAreRoundedAndSeparatorsAccepted) {
    ListGuard g;
    numtext::setDecimalSeparator('.');
    struct Case {
        std::string cut, laser;
        int32_t cutOff;
        double laserNm;
        std::string laserBack;
    };
    const Case cases[] = {{"150", "785", 150, 785, "785"},
                          {"150.5", "785,5", 150, 785.5, "785.5"},  // halves to even
                          {"-151.5", "532.1", 152, 532.1, "532.1"},
                          {"3", "633", 10, 633, "633"}};
    for (const auto& c : cases) {
        TRamanParams p;
        std::string laser = c.laser;
        ReadRamanInputs(p, c.cut, laser);
        EXPECT_EQ(p.CutOff, c.cutOff) << c.cut;
        EXPECT_DOUBLE_EQ(p.LaserNm, c.laserNm) << c.laser;
        EXPECT_EQ(laser, c.laserBack);
    }
    TRamanParams p;
    std::string laser = "x";
    EXPECT_THROW(ReadRamanInputs(p, "150", laser), vx::ConversionError);
}

TEST(RamanShift, OnlyWavelengthSpectraOfAbsorbanceOrIntensity) {
    ListGuard g;
    ui::ScopedScriptedBackend ui;
    addRecord("nm", 800, 1, ramp(100, 1.0), SpecXNanometer, 0x7);
    addRecord("wn", 4000, -1, ramp(100, 1.0), SpecXWavenumber);
    addRecord("refl", 800, 1, ramp(100, 1.0)).YKind = SpecYReflectance;
    TRamanParams p;  // all spectra, originals removed
    EXPECT_EQ(RunRamanShift(p), 1);
    EXPECT_EQ(ui->messages, (std::vector<std::string>{kRamanOnlyText}));
    ASSERT_EQ(titles(), (std::vector<std::string>{"wn", "refl", "nm"}));
    const auto& r = SpectraList[2];
    EXPECT_EQ(r.XUnit, SpecXRamanShift);
    EXPECT_LT(r.StepX, 0);
    EXPECT_EQ(r.Color, 0x7u);
}

TEST(RamanShift, ZeroLaserOrACutOffBeyondTheSpectrumMakesNoRecord) {
    ListGuard g;
    ui::ScopedScriptedBackend ui;
    DisplayXUnit = 2;  // the conversion reads wavelengths whatever the display shows
    addRecord("nm", 800, 1, ramp(100, 1.0));
    TRamanParams p;
    p.AllSpectra = false;
    p.RemoveOriginal = false;
    p.LaserNm = 0;
    EXPECT_EQ(RunRamanShift(p), 0);
    p.LaserNm = 785;
    p.CutOff = 100000;
    EXPECT_EQ(RunRamanShift(p), 0);
    EXPECT_EQ(ui->messages.size(), 2u);
    EXPECT_EQ(SpectraList.Count(), 1);
    p.CutOff = 150;
    EXPECT_EQ(RunRamanShift(p), 1);
    EXPECT_EQ(DisplayXUnit, 2);
    // 785 nm laser, first point 800 nm: shift 1e7/785 - 1e7/800 = 238.85 1/cm at the low end.
    const auto& r = SpectraList[1];
    EXPECT_NEAR(r.XAt(r.PointCount() - 1), 1e7 / 785 - 1e7 / 800, 1e-6);
}

TEST(TransRefl, QuotientAsTransmittanceAndReflectance) {
    ListGuard g;
    auto& ref = addRecord("lamp", 400, 1, std::vector<double>(5, 2.0));
    ref.YKind = SpecYIntensity;
    ref.Solvent = "water";
    ref.Temperature = 77;
    std::vector<double> s = {1.0, 2.0, 0.0, 1.0, 1.0};
    addRecord("sample", 400, 1, s).YKind = SpecYIntensity;
    EXPECT_TRUE(RunTransRefl({1, 0, 0}));
    ASSERT_EQ(SpectraList.Count(), 3);
    const auto& t = SpectraList[2];
    EXPECT_EQ(t.Title.str(), "Transmittance: sample / lamp");
    EXPECT_EQ(t.YKind, SpecYTransmittance);
    EXPECT_NEAR(t.Values[0], -std::log10(0.5), 1e-12);
    EXPECT_DOUBLE_EQ(t.Values[1], 0.0);
    EXPECT_DOUBLE_EQ(t.Values[2], 6.0);  // no light at all
    EXPECT_EQ(t.Solvent.str(), "water");
    EXPECT_EQ(t.Temperature, 77);
    EXPECT_EQ(t.Color, CurveColor(3));
    EXPECT_TRUE(RunTransRefl({1, 0, 1}));
    EXPECT_EQ(SpectraList[3].YKind, SpecYReflectance);
    EXPECT_EQ(SpectraList[3].Title.str(), "Reflectance: sample / lamp");
}

TEST(TransRefl, NeedsTwoDistinctSpectra) {
    ListGuard g;
    ui::ScopedScriptedBackend ui;
    addRecord("only", 400, 1, ramp(5, 1.0));
    EXPECT_FALSE(RunTransRefl({0, 0, 0}));
    EXPECT_FALSE(RunTransRefl({1, 0, 0}));  // item 1 of a one-spectrum list
    EXPECT_EQ(ui->messages, std::vector<std::string>(2, kTransReflChoiceText));
    EXPECT_EQ(SpectraList.Count(), 1);
}
