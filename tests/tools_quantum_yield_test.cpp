// Quantum yields and effective absorbance on spectra whose answer is known in closed form: flat and
// linear spectra, where the excitation band returns the value at its centre.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/peaks.h"
#include "platform/errors.h"
#include "platform/ui.h"
#include "tests/tools_test_support.h"
#include "tools/aux_curve.h"
#include "tools/quantum_yield.h"

using namespace tooltest;

namespace {

const TDisplayState kNmAbs{SpecXNanometer, SpecYAbsorbance};

// f(A) written out, to check the routine against.
double fraction(double a, double l, double f) { return (1.0 - std::pow(10.0, -a * l)) * std::pow(10.0, -a * f); }

// Flat spectrum from 300 to 900 nm in steps of 1 nm.
TSpectrumRecord& flat(TSpectraList& list, const std::string& title, double value, double first = 300.0) {
    return addRecord(list, title, first, 1.0, std::vector<double>(static_cast<std::size_t>(901 - first), value));
}

struct Fixture : ::testing::Test {
    TSpectraList list;
    TQYSettings p;
    TBandpass band;
    ui::ScopedScriptedBackend ui_;
};

}  // namespace

TEST(AbsorbedFraction, ClosedForm) {
    struct Case {
        double a, l, f, expected;
    } cases[] = {
        {0.0, 0.00625, 0.0922, 0.0},
        {1.0, 1.0, 0.0, 0.9},
        {1.0, 1.0, 1.0, 0.09},
        {2.0, 0.5, 0.5, 0.09},
        {0.1, 0.00625, 0.0922, fraction(0.1, 0.00625, 0.0922)},
    };
    for (const Case& c : cases) EXPECT_NEAR(AbsorbedFraction(c.a, c.l, c.f), c.expected, 1e-15) << c.a;
    // A power beyond the number range is an error, never inf in a result.
    EXPECT_THROW(AbsorbedFraction(-1e6, 1.0, 1.0), vx::FloatError);
}

TEST_F(Fixture, NormalSameSpectrumGivesTheReferenceYield) {
    flat(list, "fl", 2.0);
    const TQYOutcome o = QuantumYieldNormal(list, kNmAbs, p);
    ASSERT_TRUE(o.Computed);
    EXPECT_NEAR(o.Yield, 0.95 * 1.4459 * 1.4459 / (1.3611 * 1.3611) * 301.0 / 241.0, 1e-12);
    p.SampleN = p.RefN;
    p.SampleFrom = p.RefFrom;
    p.SampleTo = p.RefTo;
    EXPECT_NEAR(QuantumYieldNormal(list, kNmAbs, p).Yield, 0.95, 1e-12);
    EXPECT_EQ(QuantumYieldReport(0.95), "fluorescence quantum yield: 95%");
}

TEST_F(Fixture, NormalFollowsEachFactor) {
    flat(list, "sample", 3.0);
    flat(list, "reference", 1.5);
    p.SampleFlIndex = 0;
    p.RefFlIndex = 1;
    p.SampleFrom = p.RefFrom = 500;
    p.SampleTo = p.RefTo = 800;
    p.SampleN = 1.5;
    p.RefN = 1.0;
    p.SamplePower = 2.0;
    p.SampleSlit = 0.5;
    p.SampleAbsorbance = 0.2;
    p.RefAbsorbance = 0.05;
    const double fs = fraction(0.2, p.DetectionPath, p.InnerFilter), fr = fraction(0.05, p.DetectionPath, p.InnerFilter);
    const TQYOutcome o = QuantumYieldNormal(list, kNmAbs, p);
    EXPECT_NEAR(o.Yield, 0.95 * 2.0 * 2.25 * (fr / fs) / (2.0 * 0.5), 1e-12);
    EXPECT_NEAR(o.SampleValue, 2.25 * 903.0 / fs / 1.0, 1e-6);
    // No absorbance, no power: 0, not a division error.
    p.SampleAbsorbance = 0.0;
    EXPECT_EQ(QuantumYieldNormal(list, kNmAbs, p).Yield, 0.0);
    p.SampleAbsorbance = 0.2;
    p.RefPower = 0.0;
    EXPECT_EQ(QuantumYieldNormal(list, kNmAbs, p).Yield, 0.0);
    // A spectrum choice outside the list is the list's index error.
    p.RefFlIndex = 5;
    EXPECT_THROW(QuantumYieldNormal(list, kNmAbs, p), vx::ListIndexError);
}

// Values no yield can come from are refused, naming the field; the yield is not computed.
TEST_F(Fixture, NormalRefusesNegativeAbsorbanceAndValuesThatMakeTheYieldInfinite) {
    const std::string tail = ": no quantum yield calculated!";
    struct Case {
        const char* what;
        void (*change)(TQYSettings&, TSpectraList&);
        std::string message;  // "" = computed
    } cases[] = {
        {"negative sample absorbance", [](TQYSettings& q, TSpectraList&) { q.SampleAbsorbance = -0.5; },
         "The sample's Absorbance is negative" + tail},
        {"huge sample index", [](TQYSettings& q, TSpectraList&) { q.SampleN = 1e200; },
         "The sample's Refraction Index makes the quantum yield infinite" + tail},
        {"tiny reference index", [](TQYSettings& q, TSpectraList&) { q.RefN = 1e-160; },
         "The reference's Refraction Index makes the quantum yield infinite" + tail},
        {"infinite sample intensity", [](TQYSettings&, TSpectraList& l) { l[0].Values[300] = HUGE_VAL; },
         "The sample's Fluorescence Spectrum gives an intensity that is not a finite number" + tail},
        // Once hidden: an infinite reference made the yield 0.
        {"infinite reference intensity", [](TQYSettings&, TSpectraList& l) { l[1].Values[300] = -HUGE_VAL; },
         "The reference's Fluorescence Spectrum gives an intensity that is not a finite number" + tail},
        // Large but finite on both sides: the ratio is what counts.
        {"equal huge indices", [](TQYSettings& q, TSpectraList&) { q.SampleN = q.RefN = 1e200; }, ""},
        // No absorbance is a yield of 0 whatever the other values.
        {"zero absorbance, huge index", [](TQYSettings& q, TSpectraList&) { q.SampleAbsorbance = 0, q.SampleN = 1e200; },
         ""},
    };
    for (const Case& c : cases) {
        list.Clear();
        ui_->messages.clear();
        flat(list, "sample", 3.0);
        flat(list, "reference", 1.5);
        TQYSettings q;
        q.SampleFlIndex = 0;
        q.RefFlIndex = 1;
        c.change(q, list);
        const TQYOutcome o = QuantumYieldNormal(list, kNmAbs, q);
        if (c.message.empty()) {
            EXPECT_TRUE(o.Computed) << c.what;
            EXPECT_TRUE(std::isfinite(o.Yield) && o.Yield >= 0.0) << c.what << ": " << o.Yield;
            EXPECT_TRUE(ui_->messages.empty()) << c.what;
        } else {
            EXPECT_FALSE(o.Computed) << c.what;
            EXPECT_EQ(o.Yield, 0.0) << c.what;
            EXPECT_EQ(ui_->messages, std::vector<std::string>{c.message}) << c.what;
        }
    }
}

TEST_F(Fixture, SpecialRefusesNegativeAndNonFiniteCurveValues) {
    const std::string tail = ": no quantum yield calculated!";
    auto lamp = makeRecord("lamp", 300, 1, std::vector<double>(601, 2.0));
    lamp->YKind = SpecYIntensity;
    struct Case {
        const char* what;
        void (*change)(TQYSettings&, TSpectraList&, TSpectrumRecord&);
        std::string message;
    } cases[] = {
        {"sample absorbs negatively",
         [](TQYSettings&, TSpectraList& l, TSpectrumRecord&) {
             for (double& v : l[0].Values) v = -0.1;
         },
         "The sample's Absorption Spectrum gives a negative absorbance at 500 nm" + tail},
        {"reference absorption holds inf",
         [](TQYSettings& q, TSpectraList& l, TSpectrumRecord&) {
             q.RefExcitation = 450;
             l[1].Values[150] = HUGE_VAL;
         },
         "The reference's Absorption Spectrum gives an absorbance that is not a finite number at 450 nm" + tail},
        {"lamp no number at the sample's wavelength",
         [](TQYSettings&, TSpectraList&, TSpectrumRecord& lampRec) { lampRec.Values[200] = std::nan(""); },
         "The Lamp Spectrum gives an intensity that is not a finite number at 500 nm" + tail},
        // Once hidden: an infinite lamp made the sample side, and so the yield, 0.
        {"lamp infinite at the reference's wavelength",
         [](TQYSettings& q, TSpectraList&, TSpectrumRecord& lampRec) {
             q.RefExcitation = 400;
             lampRec.Values[100] = HUGE_VAL;
         },
         "The Lamp Spectrum gives an intensity that is not a finite number at 400 nm" + tail},
        // A sample without absorbance at its wavelength keeps its yield of 0.
        {"no sample absorbance",
         [](TQYSettings&, TSpectraList& l, TSpectrumRecord&) { l[0].FirstX = 600; }, ""},
    };
    for (const Case& c : cases) {
        list.Clear();
        ui_->messages.clear();
        flat(list, "sample abs", 0.2);
        flat(list, "ref abs", 0.1);
        flat(list, "sample fl", 4.0);
        flat(list, "ref fl", 1.0);
        TSpectrumRecord lampRec = *lamp;
        TQYSettings q;
        q.SampleAbsIndex = 0;
        q.RefAbsIndex = 1;
        q.SampleFlIndex = 2;
        q.RefFlIndex = 3;
        c.change(q, list, lampRec);
        const TQYOutcome o = QuantumYieldSpecial(list, kNmAbs, q, &lampRec, band);
        if (c.message.empty()) {
            EXPECT_TRUE(o.Computed) << c.what;
            EXPECT_EQ(o.Yield, 0.0) << c.what;
            EXPECT_TRUE(ui_->messages.empty()) << c.what;
        } else {
            EXPECT_FALSE(o.Computed) << c.what;
            EXPECT_EQ(ui_->messages, std::vector<std::string>{c.message}) << c.what;
        }
    }
}

TEST_F(Fixture, SpecialWithoutLampNeedsEqualWavelengths) {
    flat(list, "sample abs", 0.2);
    flat(list, "ref abs", 0.1);
    flat(list, "sample fl", 4.0);
    flat(list, "ref fl", 1.0);
    p.SampleAbsIndex = 0;
    p.RefAbsIndex = 1;
    p.SampleFlIndex = 2;
    p.RefFlIndex = 3;
    p.SampleFrom = p.RefFrom = 500;
    p.SampleTo = p.RefTo = 799;
    p.SampleN = p.RefN = 1.4;
    p.SampleExposure = 5.0;
    p.RefExposure = 10.0;
    p.BandWidth = 4;
    const double fs = fraction(0.2, p.DetectionPath, p.InnerFilter), fr = fraction(0.1, p.DetectionPath, p.InnerFilter);
    TQYOutcome o = QuantumYieldSpecial(list, kNmAbs, p, nullptr, band);
    ASSERT_TRUE(o.Computed);
    EXPECT_NEAR(o.SampleAbsorbance, 0.2, 1e-12);
    EXPECT_NEAR(o.RefAbsorbance, 0.1, 1e-12);
    EXPECT_EQ(o.SamplePower, 1.0);
    EXPECT_NEAR(o.Yield, 0.95 * 4.0 * (fr / fs) * (10.0 / 5.0), 1e-12);

    p.RefExcitation = 510;
    o = QuantumYieldSpecial(list, kNmAbs, p, nullptr, band);
    EXPECT_FALSE(o.Computed);
    EXPECT_EQ(ui_->messages, std::vector<std::string>{kNoLampCurveText});
}

TEST_F(Fixture, SpecialTakesThePowerFromTheLamp) {
    flat(list, "abs", 0.1);
    flat(list, "fl", 1.0);
    p.SampleFlIndex = p.RefFlIndex = 1;
    p.SampleFrom = p.RefFrom;
    p.SampleTo = p.RefTo;
    p.SampleN = p.RefN;
    p.SampleExcitation = 500;
    p.RefExcitation = 400;
    // A lamp rising as x / 100: 5 at the sample's wavelength, 4 at the reference's.
    auto lamp = makeRecord("lamp", 300, 1, ramp(601, 3.0, 0.01));
    lamp->YKind = SpecYIntensity;
    TQYOutcome o = QuantumYieldSpecial(list, kNmAbs, p, lamp.get(), band);
    EXPECT_NEAR(o.SamplePower, 5.0, 1e-12);
    EXPECT_NEAR(o.RefPower, 4.0, 1e-12);
    EXPECT_NEAR(o.Yield, 0.95 * 4.0 / 5.0, 1e-12);
    // A sample that does not absorb at its wavelength gives 0.
    list[0].FirstX = 600;
    EXPECT_EQ(QuantumYieldSpecial(list, kNmAbs, p, lamp.get(), band).Yield, 0.0);
}

TEST_F(Fixture, BandWidthsOutsideOneToThousandAreRefused) {
    flat(list, "abs", 0.1);
    for (int32_t w : {0, -3, 1001}) {
        p.BandWidth = w;
        EXPECT_THROW(QuantumYieldSpecial(list, kNmAbs, p, nullptr, band), vx::Error) << w;
        EXPECT_THROW(EffectiveAbsorbance(list, kNmAbs, {0, 500.0, w}, band), vx::Error) << w;
    }
}

TEST_F(Fixture, EffectiveAbsorbanceOfFlatAndLinearSpectra) {
    flat(list, "flat", 0.5);
    // A straight line: the symmetric band returns its value at the centre.
    addRecord(list, "line", 300, 1, ramp(601, 0.3, 0.001));
    EXPECT_NEAR(EffectiveAbsorbance(list, kNmAbs, {0, 500.0, 8}, band), 0.5, 1e-12);
    EXPECT_NEAR(EffectiveAbsorbance(list, kNmAbs, {1, 500.0, 8}, band), 0.5, 1e-12);
    EXPECT_NEAR(EffectiveAbsorbance(list, kNmAbs, {1, 650.0, 1}, band), 0.65, 1e-12);
    EXPECT_EQ(band.BandpassCentre, 650.0);
    EXPECT_EQ(band.BandpassWidth, 1);
    EXPECT_EQ(EffectiveAbsorbanceReport(500, 8, 0.123456), "effect. abs. at 500nm is 0.12346 (bandpass 8nm)");
    // A centre that is no wavelength (a corrupt excitation wavelength) meets nothing, at once.
    EXPECT_EQ(EffectiveAbsorbance(list, kNmAbs, {0, 1e300, 8}, band), 0.0);
    EXPECT_EQ(EffectiveAbsorbance(list, kNmAbs, {0, std::nan(""), 8}, band), 0.0);
}

TEST(RoundedBandWidth, HalvesToEvenAndTheRange) {
    struct Case {
        double typed;
        int32_t width;  // 0: refused
    } cases[] = {{0.4, 0}, {0.5, 0}, {1.5, 2}, {2.5, 2}, {8.0, 8}, {1000.4, 1000}, {1000.6, 0}, {-3, 0}, {1e300, 0}};
    for (const Case& c : cases) {
        if (c.width) EXPECT_EQ(RoundedBandWidth(c.typed), c.width) << c.typed;
        else EXPECT_THROW(RoundedBandWidth(c.typed), vx::Error) << c.typed;
    }
}

namespace {

// A 1D series: fluorescence spectra k = 0..n-1 excited at the given wavelengths, flat at 1 + k; the
// sample and reference absorb flat 0.1, the lamp is flat 2, the reference fluoresces flat 1.
struct Series : Fixture {
    std::unique_ptr<TSpectrumRecord> lamp = makeRecord("lamp", 300, 1, std::vector<double>(601, 2.0));
    TQY1DParams s;
    void build(const std::vector<double>& wavelengths) {
        flat(list, "sample abs", 0.1);
        flat(list, "ref abs", 0.1);
        flat(list, "ref fl", 1.0);
        for (std::size_t k = 0; k < wavelengths.size(); ++k)
            flat(list, "fl", 1.0 + static_cast<double>(k)).ExcitationWl = wavelengths[k];
        p.SampleAbsIndex = 0;
        p.RefAbsIndex = 1;
        p.RefFlIndex = 2;
        p.SampleN = p.RefN;
        p.SampleFrom = p.RefFrom;
        p.SampleTo = p.RefTo;
        p.RefExcitation = 500;
        s.First = 3;
        s.Last = 2 + static_cast<int32_t>(wavelengths.size());
        s.RefExcitationText = "500";
    }
};

}  // namespace

TEST_F(Series, OneValuePerExcitationWavelength) {
    build({400, 410, 420, 430});
    TQY1DResult r = QuantumYield1D(list, kNmAbs, p, lamp.get(), s, band);
    ASSERT_TRUE(r.Spectrum);
    const TSpectrumRecord& q = *r.Spectrum;
    EXPECT_EQ(q.FirstX, 400);
    EXPECT_EQ(q.StepX, 10);
    ASSERT_EQ(q.PointCount(), 4);
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(q.Values[k], 0.95 * (1.0 + k), 1e-12) << k;
    EXPECT_EQ(q.Title.str(), "QY of \"sample abs\"; Ref.: \"ref abs\" excited at 500nm");
    EXPECT_EQ(q.Comment2.str(), "exc. wavelength of ref.: 500nm");
    EXPECT_EQ(q.SourceKind, SpecSourceQySeries);
    EXPECT_EQ(q.ExcitationWl, 500.0);
    EXPECT_EQ(q.Temperature, -1.0);
    EXPECT_EQ(q.XUnit, SpecXNanometer);
    EXPECT_EQ(q.YKind, SpecYAbsorbance);
    EXPECT_TRUE(ui_->messages.empty());
}

TEST_F(Series, LeadingSpectraWithoutAbsorbanceAreLeftOut) {
    build({400, 410, 420, 430});
    // The sample absorbs only from 405 nm on: the band at 400 nm sees nothing.
    list[0].FirstX = 405;
    TQY1DResult r = QuantumYield1D(list, kNmAbs, p, lamp.get(), s, band);
    ASSERT_TRUE(r.Spectrum);
    EXPECT_EQ(r.Spectrum->FirstX, 410);
    EXPECT_EQ(r.Spectrum->StepX, 10);
    ASSERT_EQ(r.Spectrum->PointCount(), 3);
    EXPECT_NEAR(r.Spectrum->Values[0], 0.95 * 2.0, 1e-12);
}

TEST_F(Series, DescendingSeriesGivesRisingWavelengths) {
    build({430, 420, 410, 400});
    TQY1DResult r = QuantumYield1D(list, kNmAbs, p, lamp.get(), s, band);
    ASSERT_TRUE(r.Spectrum);
    EXPECT_EQ(r.Spectrum->FirstX, 400);
    EXPECT_EQ(r.Spectrum->StepX, 10);
    EXPECT_NEAR(r.Spectrum->Values[0], 0.95 * 4.0, 1e-12);
    EXPECT_NEAR(r.Spectrum->Values[3], 0.95 * 1.0, 1e-12);
}

TEST_F(Series, RefusalsGiveNoRecord) {
    struct Case {
        const char* what;
        std::vector<double> wavelengths;
        bool lamp;
        int32_t last;  // 0: the whole series
        std::vector<std::string> messages;
    } cases[] = {
        {"no lamp", {400, 410}, false, 0, {kNoLampCurveText}},
        {"first not below last", {400, 410}, true, 3, {kWrongSeriesText}},
        {"both", {400, 410}, false, 3, {kNoLampCurveText, kWrongSeriesText}},
        {"one spectrum left", {300, 410}, true, 0, {kSeriesTooShortText}},
        {"none left", {-1, -1, -1}, true, 0, {kSeriesTooShortText}},
        {"no step", {410, 410, 420}, true, 0, {kSeriesNoStepText}},
        // Once the third value was placed at 420 nm.
        {"not equally spaced", {400, 410, 430}, true, 0,
         {"The excitation wavelengths of the series are not equally spaced (430 nm where the step of 10 nm gives "
          "420 nm): no 1D-QY calculated!"}},
        {"a tenth of a nm off", {400, 410, 420, 430.1}, true, 0,
         {"The excitation wavelengths of the series are not equally spaced (430.1 nm where the step of 10 nm gives "
          "430 nm): no 1D-QY calculated!"}},
    };
    for (const Case& c : cases) {
        list.Clear();
        ui_->messages.clear();
        build(c.wavelengths);
        // Below 301 nm the band reaches past the start of the flat sample: the spectrum at 300 nm
        // sees nothing of it.
        list[0].FirstX = 305;
        if (c.last) s.Last = c.last;
        TQY1DResult r = QuantumYield1D(list, kNmAbs, p, c.lamp ? lamp.get() : nullptr, s, band);
        EXPECT_FALSE(r.Spectrum) << c.what;
        EXPECT_EQ(ui_->messages, c.messages) << c.what;
    }
}

TEST_F(Series, WavelengthsAsTypedOrKeptAsFloatsAreEquallySpaced) {
    // 4-byte floats of typed tenths and a typing within a few hundredths stay on the grid.
    const std::vector<double> kept = {static_cast<float>(400.1), static_cast<float>(410.1), static_cast<float>(420.1),
                                      static_cast<float>(430.1), static_cast<float>(440.1)};
    for (const std::vector<double>& w : {kept, std::vector<double>{400, 410, 420.04, 429.97}}) {
        list.Clear();
        build(w);
        TQY1DResult r = QuantumYield1D(list, kNmAbs, p, lamp.get(), s, band);
        ASSERT_TRUE(r.Spectrum) << w[1];
        EXPECT_EQ(r.Spectrum->FirstX, w[0]);
        EXPECT_EQ(r.Spectrum->StepX, w[1] - w[0]);
        EXPECT_EQ(r.Spectrum->PointCount(), static_cast<int32_t>(w.size()));
    }
    EXPECT_TRUE(ui_->messages.empty());
}

TEST_F(Series, ABadValueOfAnySpectrumRefusesTheSeries) {
    const std::string tail = ": no quantum yield calculated!";
    struct Case {
        const char* what;
        void (*change)(TSpectraList&);
        std::string message;
    } cases[] = {
        {"sample absorbs negatively at 420 nm",
         [](TSpectraList& l) {
             for (int x = 415; x <= 425; ++x) l[0].Values[static_cast<std::size_t>(x - 300)] = -0.1;
         },
         "The sample's Absorption Spectrum gives a negative absorbance at 420 nm" + tail},
        {"third spectrum holds inf", [](TSpectraList& l) { l[5].Values[300] = HUGE_VAL; },
         "The sample's Fluorescence Spectrum excited at 420 nm gives an intensity that is not a finite number" +
             tail},
    };
    for (const Case& c : cases) {
        list.Clear();
        ui_->messages.clear();
        build({400, 410, 420, 430});
        c.change(list);
        TQY1DResult r = QuantumYield1D(list, kNmAbs, p, lamp.get(), s, band);
        EXPECT_FALSE(r.Spectrum) << c.what;
        EXPECT_EQ(ui_->messages, std::vector<std::string>{c.message}) << c.what;
    }
}

TEST(LampCurve, LoadCancelAndBadFile) {
    ui::ScopedScriptedBackend ui_;
    const std::string dir = ::testing::TempDir();
    const std::string good = dir + "qy_lamp.fak", bad = dir + "qy_bad.fak";
    {
        std::string text = "Wavelength\tIntensity\r\n";
        for (int x = 300; x <= 320; ++x) text += std::to_string(x) + "\t" + std::to_string(x - 290) + "\r\n";
        FILE* f = std::fopen(good.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
        f = std::fopen(bad.c_str(), "wb");
        std::fputs("no curve here\r\n", f);
        std::fclose(f);
    }
    TAuxCurve lamp;
    std::string folder = "/keep/";
    EXPECT_TRUE(LoadLampCurve(lamp, good, folder));
    EXPECT_EQ(folder, dir);
    ASSERT_TRUE(lamp.Loaded());
    EXPECT_EQ(lamp.Record->PointCount(), 21);
    EXPECT_EQ(lamp.Record->Values[10], 20.0);
    // A file that gives no curve keeps the lamp that was there, and says why.
    folder = "/keep/";
    EXPECT_TRUE(LoadLampCurve(lamp, bad, folder));
    EXPECT_EQ(folder, "/keep/");
    EXPECT_EQ(lamp.FileName, good);
    EXPECT_EQ(ui_->messages.size(), 1u);
    // Cancel clears it.
    EXPECT_FALSE(LoadLampCurve(lamp, "", folder));
    EXPECT_FALSE(lamp.Loaded());
    std::remove(good.c_str());
    std::remove(bad.c_str());
}
