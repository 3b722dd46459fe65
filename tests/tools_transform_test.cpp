#include <gtest/gtest.h>

#include <cmath>

#include "core/units.h"
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
    TSpectraList list;
    TDisplayState display;
    addRecord(list, "a", 400, 1, ramp(10, 1.0));
    // With one spectrum both choices are item 0.
    EXPECT_EQ(RunSpectrumArithmetic(list, display, {0, 0, false, false, 1}), 1);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[1].Title.str(), "Subtraction");
    EXPECT_EQ(list[1].Values, std::vector<double>(10, 0.0));
    EXPECT_EQ(list[1].Color, CurveColor(2));
}

TEST(Arithmetic, AllSpectraCombineEachOtherWithTheSecond) {
    TSpectraList list;
    TDisplayState display;
    addRecord(list, "a", 400, 1, std::vector<double>(5, 1.0));
    addRecord(list, "b", 400, 1, std::vector<double>(5, 2.0));
    addRecord(list, "c", 400, 1, std::vector<double>(5, 3.0));
    EXPECT_EQ(RunSpectrumArithmetic(list, display, {0, 1, true, true, 0}), 2);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"a", "b", "c", "a", "c"}));  // legend kept
    EXPECT_EQ(list[3].Values, std::vector<double>(5, 3.0));
    EXPECT_EQ(list[4].Values, std::vector<double>(5, 5.0));
}

TEST(Arithmetic, BadChoicesAndDisjointRangesGiveMessagesNoRecords) {
    TSpectraList list;
    TDisplayState display;
    ui::ScopedScriptedBackend ui;
    addRecord(list, "a", 400, 1, ramp(5));
    addRecord(list, "far", 900, 1, ramp(5));
    EXPECT_EQ(RunSpectrumArithmetic(list, display, {0, 5, false, false, 0}), 0);
    EXPECT_EQ(RunSpectrumArithmetic(list, display, {-1, 0, false, false, 0}), 0);
    EXPECT_EQ(RunSpectrumArithmetic(list, display, {0, 1, false, false, 3}), 0);
    EXPECT_EQ(ui->messages, (std::vector<std::string>{kArithmeticChoiceText, kArithmeticChoiceText,
                                                      kNoCommonRangeText}));
    EXPECT_EQ(list.Count(), 2);
}

TEST(YConstants, AddsInDisplayUnitsAndNamesTheResult) {
    TSpectraList list;
    TDisplayState display;
    addRecord(list, "a", 400, 1, ramp(4));
    TSimpleParams p;
    p.Operation = 0;
    p.Constant = "5";
    EXPECT_EQ(ApplyYConstant(list, display, p), 1);
    EXPECT_EQ(list[1].Title.str(), "a + 5");
    EXPECT_EQ(list[1].Values, ramp(4, 5.0));
    EXPECT_EQ(list[1].Color, CurveColor(2));
}

TEST(YConstants, ComputesInTheUnitsItIsGiven) {
    TSpectraList list;
    addRecord(list, "a", 400, 1, ramp(4));
    TSimpleParams p;
    p.Operation = 0;
    p.Constant = "0.5";
    ASSERT_EQ(ApplyYConstant(list, TDisplayState{SpecXNanometer, SpecYAbsorbance}, p), 1);
    EXPECT_EQ(list[1].Values, ramp(4, 0.5));
    // In transmittance the constant adds to 10^-A: A' = -log10(10^-A + 0.5).
    ASSERT_EQ(ApplyYConstant(list, TDisplayState{SpecXNanometer, SpecYTransmittance}, p), 1);
    EXPECT_NEAR(list[2].Values[1], -std::log10(0.1 + 0.5), 1e-12);
    // An x term follows the given x unit: x/1000 in nm is 0.401 at point 1.
    p.Constant = "x";
    ASSERT_EQ(ApplyYConstant(list, TDisplayState{SpecXNanometer, SpecYAbsorbance}, p), 1);
    EXPECT_DOUBLE_EQ(list[3].Values[1], 1.0 + 0.401);
}

TEST(YConstants, ByTypeWithRemovalKeepsOrderAndColours) {
    TSpectraList list;
    TDisplayState display;
    const char* tags[] = {"ccdfx", "ascii_dat", "ccdfy", ""};
    for (int i = 0; i < 4; ++i)
        addRecord(list, "s" + std::to_string(i), 400, 1, ramp(4), SpecXNanometer, 0x100 + i).SpecType = tags[i];
    TSimpleParams p;
    p.Operation = 2;
    p.Constant = "2";
    p.RemoveOriginal = true;
    p.AppendToTitle = false;
    p.ByType = true;
    p.Tag = "ccdfx, ccdfy";
    EXPECT_EQ(ApplyYConstant(list, display, p), 2);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"s1", "s3", "s0", "s2"}));
    EXPECT_EQ(list[2].Color, 0x100u);
    EXPECT_EQ(list[3].Color, 0x102u);
    EXPECT_EQ(list[3].Values, ramp(4, 0.0, 2.0));
}

TEST(YConstants, DividingByZeroIsRefusedWithAMessage) {
    SeparatorGuard sep;
    numtext::setDecimalSeparator(',');
    TSpectraList list;
    TDisplayState display;
    ui::ScopedScriptedBackend ui;
    addRecord(list, "a", 400, 1, ramp(4, 1.0)).SpecType = "jcamp_dx";
    TSimpleParams p;
    p.Operation = 3;
    p.RemoveOriginal = true;
    // Every spelling of 0, for one spectrum and for all of a type: nothing made, nothing removed.
    for (const char* zero : {"0", "0.0", "-0", "0,000", " 0 ", "0e5"}) {
        p.Constant = zero;
        p.ByType = !p.ByType;
        p.Tag = "jcamp_dx";
        EXPECT_EQ(ApplyYConstant(list, display, p), 0) << zero;
    }
    EXPECT_EQ(ui->messages, std::vector<std::string>(6, kYConstDivisionByZeroText));
    EXPECT_EQ(titles(list), (std::vector<std::string>{"a"}));
    // Other operations with 0, small divisors and terms in x and y still work.
    p.ByType = false;
    p.RemoveOriginal = false;
    p.Operation = 0;
    p.Constant = "0";
    EXPECT_EQ(ApplyYConstant(list, display, p), 1);
    p.Operation = 3;
    p.Constant = "1e-300";
    EXPECT_EQ(ApplyYConstant(list, display, p), 1);
    p.Constant = "y";
    EXPECT_EQ(ApplyYConstant(list, display, p), 1);
    EXPECT_EQ(list[3].Values, std::vector<double>(4, 1.0));
    EXPECT_EQ(ui->messages.size(), 6u);
    p.Constant = "nought";  // no number: the conversion error, as before
    EXPECT_THROW(ApplyYConstant(list, display, p), vx::ConversionError);
}

TEST(YConstants, ATermThatIsNoNumberChangesNothing) {
    TSpectraList list;
    TDisplayState display;
    addRecord(list, "a", 400, 1, ramp(4)).SpecType = "jcamp_dx";
    addRecord(list, "b", 400, 1, ramp(4)).SpecType = "jcamp_dx";
    TSimpleParams p;
    p.Constant = "abc";
    p.ByType = true;
    p.Tag = "jcamp_dx";
    p.RemoveOriginal = true;
    EXPECT_THROW(ApplyYConstant(list, display, p), vx::ConversionError);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"a", "b"}));
}

TEST(CutOut, KeepsTheRangeAndStoresItInNanometres) {
    TSpectraList list;
    TDisplayState display;
    addRecord(list, "a", 400, 1, ramp(11), SpecXNanometer, 0x55);
    TCutOutParams p;
    EXPECT_TRUE(RunCutOut(list, display, p, 405, 402));
    ASSERT_EQ(list.Count(), 1);  // the original is removed by default
    EXPECT_EQ(list[0].Values, ramp(4, 2.0));
    EXPECT_DOUBLE_EQ(list[0].FirstX, 402);
    EXPECT_EQ(list[0].Color, 0x55u);
    EXPECT_DOUBLE_EQ(p.FromNm, 405);
    EXPECT_DOUBLE_EQ(p.ToNm, 402);
}

TEST(CutOut, ReciprocalUnitsRefuseZeroAndConvertLimits) {
    TSpectraList list;
    TDisplayState display;
    ui::ScopedScriptedBackend ui;
    addRecord(list, "a", 400, 1, ramp(11));
    display.DisplayXUnit = SpecXWavenumber;
    TCutOutParams p;
    EXPECT_FALSE(RunCutOut(list, display, p, 0, 20000));
    EXPECT_FALSE(RunCutOut(list, display, p, -1, 20000));
    display.DisplayXUnit = SpecXElectronVolt;
    EXPECT_FALSE(RunCutOut(list, display, p, 0, 3));
    EXPECT_EQ(ui->messages, std::vector<std::string>(3, kCutOutPositiveText));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(p.FromNm, -1.0);  // nothing kept from a refused attempt

    EXPECT_DOUBLE_EQ(CutOutDisplayToNm(20000, SpecXWavenumber), 500);
    EXPECT_DOUBLE_EQ(CutOutDisplayToNm(2, SpecXElectronVolt), 1e7 / (2 * 8065.5409));
    EXPECT_DOUBLE_EQ(CutOutDisplayToNm(0.5, SpecXMicrometer), 500);
    // Unset limits show 350..700 nm, or 2500..25000 nm in wavenumbers.
    auto nm = CutOutShownLimits(TCutOutParams{}, SpecXNanometer);
    EXPECT_EQ(nm, std::make_pair(350.0, 700.0));
    auto wn = CutOutShownLimits(TCutOutParams{}, SpecXWavenumber);
    EXPECT_DOUBLE_EQ(wn.first, 4000);
    EXPECT_DOUBLE_EQ(wn.second, 400);
    TCutOutParams set;
    set.FromNm = 500;
    set.ToNm = 1000;
    EXPECT_DOUBLE_EQ(CutOutShownLimits(set, SpecXMicrometer).second, 1.0);
    EXPECT_DOUBLE_EQ(CutOutShownLimits(set, SpecXElectronVolt).first, 1239.8424512359736 / 500);
}

// The dialog's unit label and the limits it keeps in nm come from the one unit table, the way the axes
// dialog converts its range.
TEST(CutOut, LabelsAndLimitsComeFromTheUnitTable) {
    TCutOutParams set;
    set.FromNm = 480;
    set.ToNm = 700;
    for (SpecXUnit u : {SpecXNanometer, SpecXWavenumber, SpecXElectronVolt, SpecXMicrometer}) {
        SCOPED_TRACE(CodeOf(u));
        EXPECT_STREQ(CutOutUnitLabel(u), XUnitPowerSymbol(u));
        EXPECT_EQ(CutOutDisplayToNm(2.5, u), ConvertX(2.5, u, SpecXNanometer, EvRoute::FromEvViaWavenumber));
        const auto [from, to] = CutOutShownLimits(set, u);
        EXPECT_EQ(from, ConvertX(480, SpecXNanometer, u, EvRoute::FromEvViaWavenumber));
        EXPECT_NEAR(CutOutDisplayToNm(to, u), 700, 1e-9);
    }
}

TEST(CutOut, ARangeBesideTheSpectrumMakesNoRecord) {
    TSpectraList list;
    TDisplayState display;
    ui::ScopedScriptedBackend ui;
    addRecord(list, "a", 400, 1, ramp(11));
    TCutOutParams p;
    EXPECT_TRUE(RunCutOut(list, display, p, 800, 900));
    EXPECT_EQ(titles(list), (std::vector<std::string>{"a"}));  // the original stays when nothing was made
    EXPECT_EQ(ui->messages, (std::vector<std::string>{kCutOutMissText}));
}

TEST(Averaging, MeanOfThreeAndNothingForOne) {
    TSpectraList list;
    TDisplayState display;
    ui::ScopedScriptedBackend ui;
    addRecord(list, "a", 400, 1, std::vector<double>(6, 1.0));
    addRecord(list, "b", 400, 1, std::vector<double>(6, 2.0));
    addRecord(list, "c", 400, 1, std::vector<double>(6, 6.0));
    EXPECT_FALSE(RunAveraging(list, display, {1}, "x"));
    EXPECT_FALSE(RunAveraging(list, display, {1, 1}, "x"));
    EXPECT_FALSE(RunAveraging(list, display, {}, "x"));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(ui->messages, std::vector<std::string>(3, kAverageSelectionText));  // never silent
    EXPECT_TRUE(RunAveraging(list, display, {2, 0, 1}, "mean"));
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list[3].Title.str(), "mean");
    for (double v : list[3].Values) EXPECT_DOUBLE_EQ(v, 3.0);
    EXPECT_EQ(list[3].Color, CurveColor(4));
}

TEST(Averaging, TitlesOfTheListClicks) {
    TSpectraList list;
    addRecord(list, "a", 400, 1, ramp(3));
    addRecord(list, "b", 400, 1, ramp(3));
    EXPECT_EQ(AverageListItemText(list, 1), "2- b");
    EXPECT_EQ(AverageTitleFor(list, 0), "a - averaged");
    EXPECT_EQ(AverageTitleExtended(list, "a - averaged", 1), "a | b - averaged");
}

TEST(Derivative, AllModeSkipsShortSpectraAndReplacesOriginals) {
    TSpectraList list;
    TDisplayState display;
    addRecord(list, "a", 400, 2, ramp(6, 0.0, 4.0), SpecXNanometer, 0x11);
    addRecord(list, "short", 400, 1, ramp(2), SpecXNanometer, 0x22);
    addRecord(list, "c", 400, 1, ramp(5, 0.0, 3.0), SpecXNanometer, 0x33);
    TDerivativeParams p;
    p.AllSpectra = true;
    p.RemoveOriginal = true;
    p.Smooth = false;
    EXPECT_EQ(RunDerivative(list, display, p), 2);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"short", "a 1. derivative", "c 1. derivative"}));
    EXPECT_EQ(list[1].Values, std::vector<double>(5, 2.0));  // n-1 values of slope 4/2
    EXPECT_EQ(list[1].Color, 0x11u);
    EXPECT_EQ(list[2].Values, std::vector<double>(4, 3.0));
}

TEST(Derivative, OneShortSpectrumGivesNothing) {
    TSpectraList list;
    TDisplayState display;
    addRecord(list, "short", 400, 1, ramp(2));
    TDerivativeParams p;
    EXPECT_EQ(RunDerivative(list, display, p), 0);
    EXPECT_EQ(list.Count(), 1);
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
    TSpectraList list;
    TDisplayState display;
    addRecord(list, "a", 400, 1, spiky(60, 30), SpecXNanometer, 0x1);
    addRecord(list, "ratio", 400, 1, spiky(60, 30), SpecXNanometer, 0x2).SourceKind = SpecSourceRaw;
    addRecord(list, "c", 400, 1, spiky(60, 40), SpecXNanometer, 0x3);
    TSpikeParams p;
    p.AllSpectra = true;
    p.RemoveOriginal = false;  // forced on
    p.AppendToTitle = true;
    std::vector<int> steps;
    EXPECT_EQ(RunSpikeRemoval(list, display, p, [&](int32_t i, int32_t) { steps.push_back(i); }), 2);
    EXPECT_TRUE(p.RemoveOriginal);
    EXPECT_EQ(steps, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(titles(list), (std::vector<std::string>{"a Spikes removed", "ratio", "c Spikes removed"}));
    EXPECT_LT(list[0].Values[30], 2.0);
    EXPECT_EQ(list[1].Values[30], 50.0);
    EXPECT_LT(list[2].Values[40], 2.0);
    EXPECT_EQ(list[0].Color, 0x1u);
    EXPECT_EQ(list[2].Color, 0x3u);
}

TEST(Spikes, OneSpectrumKeepingTheOriginal) {
    TSpectraList list;
    TDisplayState display;
    addRecord(list, "a", 400, 1, spiky(60, 30), SpecXNanometer, 0x1);
    addRecord(list, "ratio", 400, 1, spiky(60, 30)).SourceKind = SpecSourceRaw;
    TSpikeParams p;
    p.AllSpectra = false;
    p.RemoveOriginal = false;
    p.Spectrum = 1;
    EXPECT_EQ(RunSpikeRemoval(list, display, p), 0);  // kind 7 is never treated
    p.Spectrum = 0;
    EXPECT_EQ(RunSpikeRemoval(list, display, p), 1);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[2].Title.str(), "a");
    EXPECT_EQ(list[2].Color, CurveColor(3));
}

TEST(Spikes, TheParametersThresholdDecidesWhatIsASpike) {
    TDisplayState display;
    for (bool backward : {false, true}) {
        TSpectraList list;
        addRecord(list, "a", 400, 1, spiky(60, 30));
        addRecord(list, "b", 400, 1, spiky(60, 30));
        TSpikeParams p;
        p.AllSpectra = false;
        p.RemoveOriginal = false;
        p.Backward = backward;
        p.Threshold = 1e9;  // no slope stands out that far
        EXPECT_EQ(RunSpikeRemoval(list, display, p), 1);
        EXPECT_EQ(list[2].Values[30], 50.0) << backward;
        p.Spectrum = 1;
        p.Threshold = kDefaultSpikeLimitFactor;
        EXPECT_EQ(RunSpikeRemoval(list, display, p), 1);
        EXPECT_LT(list[3].Values[30], 2.0) << backward;
    }
}

TEST(RamanShift, InputsAreRoundedAndSeparatorsAccepted) {
    SeparatorGuard sep;
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
    TSpectraList list;
    TDisplayState display;
    ui::ScopedScriptedBackend ui;
    addRecord(list, "nm", 800, 1, ramp(100, 1.0), SpecXNanometer, 0x7);
    addRecord(list, "wn", 4000, -1, ramp(100, 1.0), SpecXWavenumber);
    addRecord(list, "refl", 800, 1, ramp(100, 1.0)).YKind = SpecYReflectance;
    TRamanParams p;  // all spectra, originals removed
    EXPECT_EQ(RunRamanShift(list, display, p), 1);
    EXPECT_EQ(ui->messages, (std::vector<std::string>{kRamanOnlyText}));
    ASSERT_EQ(titles(list), (std::vector<std::string>{"wn", "refl", "nm"}));
    const auto& r = list[2];
    EXPECT_EQ(r.XUnit, SpecXRamanShift);
    EXPECT_LT(r.StepX, 0);
    EXPECT_EQ(r.Color, 0x7u);
}

TEST(RamanShift, ZeroLaserOrACutOffBeyondTheSpectrumMakesNoRecord) {
    TSpectraList list;
    TDisplayState display;
    ui::ScopedScriptedBackend ui;
    display.DisplayXUnit = SpecXWavenumber;  // the conversion reads wavelengths whatever the display shows
    addRecord(list, "nm", 800, 1, ramp(100, 1.0));
    TRamanParams p;
    p.AllSpectra = false;
    p.RemoveOriginal = false;
    p.LaserNm = 0;
    EXPECT_EQ(RunRamanShift(list, display, p), 0);
    p.LaserNm = 785;
    p.CutOff = 100000;
    EXPECT_EQ(RunRamanShift(list, display, p), 0);
    EXPECT_EQ(ui->messages.size(), 2u);
    EXPECT_EQ(list.Count(), 1);
    p.CutOff = 150;
    EXPECT_EQ(RunRamanShift(list, display, p), 1);
    EXPECT_EQ(display.DisplayXUnit, SpecXWavenumber);
    // 785 nm laser, first point 800 nm: shift 1e7/785 - 1e7/800 = 238.85 1/cm at the low end.
    const auto& r = list[1];
    EXPECT_NEAR(r.XAt(r.PointCount() - 1), 1e7 / 785 - 1e7 / 800, 1e-6);
}

TEST(TransRefl, QuotientAsTransmittanceAndReflectance) {
    TSpectraList list;
    TDisplayState display;
    auto& ref = addRecord(list, "lamp", 400, 1, std::vector<double>(5, 2.0));
    ref.YKind = SpecYIntensity;
    ref.Solvent = "water";
    ref.Temperature = 77;
    std::vector<double> s = {1.0, 2.0, 0.0, 1.0, 1.0};
    addRecord(list, "sample", 400, 1, s).YKind = SpecYIntensity;
    EXPECT_TRUE(RunTransRefl(list, display, {1, 0, 0}));
    ASSERT_EQ(list.Count(), 3);
    const auto& t = list[2];
    EXPECT_EQ(t.Title.str(), "Transmittance: sample / lamp");
    EXPECT_EQ(t.YKind, SpecYTransmittance);
    EXPECT_NEAR(t.Values[0], -std::log10(0.5), 1e-12);
    EXPECT_DOUBLE_EQ(t.Values[1], 0.0);
    EXPECT_DOUBLE_EQ(t.Values[2], 6.0);  // no light at all
    EXPECT_EQ(t.Solvent.str(), "water");
    EXPECT_EQ(t.Temperature, 77);
    EXPECT_EQ(t.Color, CurveColor(3));
    EXPECT_TRUE(RunTransRefl(list, display, {1, 0, 1}));
    EXPECT_EQ(list[3].YKind, SpecYReflectance);
    EXPECT_EQ(list[3].Title.str(), "Reflectance: sample / lamp");
}

TEST(TransRefl, NeedsTwoDistinctSpectra) {
    TSpectraList list;
    TDisplayState display;
    ui::ScopedScriptedBackend ui;
    addRecord(list, "only", 400, 1, ramp(5, 1.0));
    EXPECT_FALSE(RunTransRefl(list, display, {0, 0, 0}));
    EXPECT_FALSE(RunTransRefl(list, display, {1, 0, 0}));  // item 1 of a one-spectrum list
    EXPECT_EQ(ui->messages, std::vector<std::string>(2, kTransReflChoiceText));
    EXPECT_EQ(list.Count(), 1);
}
