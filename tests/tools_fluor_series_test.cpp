// Film thickness, polarisation, the excitation series tools and the emission correction, each on
// spectra whose answer is known in closed form.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"
#include "tests/tools_test_support.h"
#include "tools/emission_correction.h"
#include "tools/excitation_series.h"
#include "tools/film_thickness.h"
#include "tools/polarisation.h"

using namespace tooltest;

// ----- film thickness

namespace {
// Fringes of a film of thickness d (µm) and index n at angle θ: maxima every 1e4 / (2 sqrt(n² -
// sin²θ) d) 1/cm. Stored in 1/cm from 10000 down to 2000, a point every 10 1/cm.
TSpectrumRecord& addFringes(TSpectraList& list, double spacing, double phase = 0.0) {
    std::vector<double> v;
    for (int i = 0; i <= 800; ++i) {
        const double nu = 10000.0 - 10.0 * i;
        v.push_back(0.5 + 0.1 * std::cos(2 * std::numbers::pi * (nu - phase) / spacing));
    }
    TSpectrumRecord& r = addRecord(list, "film", 10000, -10, v, SpecXWavenumber);
    r.FileName = "/data/films/f1.dat";
    return r;
}

TFilmThicknessInputs inputs(const char* n, const char* theta, const char* from, const char* to) {
    return {n, theta, from, to, 0};
}
}  // namespace

TEST(FilmThickness, KnownThicknessFromFringes) {
    struct Case {
        const char* index;
        const char* angle;
        SpecXUnit unit;
        const char* from;
        const char* to;
        int maxima;
    };
    // d = 10000 / (2 sqrt(n² - sin²θ) Δν) with Δν = 500 1/cm.
    const Case cases[] = {
        {"1.4914", "0", SpecXWavenumber, "2600", "9400", 13},
        {"1.4914", "30", SpecXWavenumber, "2600", "9400", 13},
        {"2", "60", SpecXWavenumber, "4100", "6900", 5},
        // Shown in nm: the range in nm, the spacing still taken in wavenumbers.
        {"1.4914", "0", SpecXNanometer, "1064", "3846", 13},
    };
    for (const Case& c : cases) {
        TSpectraList list;
        addFringes(list, 500.0);
        TFilmThicknessInputs in = inputs(c.index, c.angle, c.from, c.to);
        const TFilmThicknessResult r = EvaluateFilmThickness(list, TDisplayState{c.unit, SpecYAbsorbance}, in);
        const double n = std::stod(c.index), s = std::sin(std::stod(c.angle) * std::numbers::pi / 180);
        const double d = 10000.0 / (2 * std::sqrt(n * n - s * s) * 500.0);
        ASSERT_TRUE(r.Evaluated) << c.index << " " << c.angle;
        EXPECT_EQ(r.Maxima, c.maxima);
        EXPECT_NEAR(r.Thickness, d, 1e-9);
        EXPECT_NEAR(r.StdDev, 0.0, 1e-9);
        EXPECT_EQ(list.Count(), 1);  // the smoothed copy never joins the list
    }
}

TEST(FilmThickness, MemoAndClipboardTexts) {
    TSpectraList list;
    addFringes(list, 500.0);
    TFilmThicknessInputs in = inputs("1.4914", "0", "2600", "9400");
    const TFilmThicknessResult r = EvaluateFilmThickness(list, TDisplayState{SpecXWavenumber, SpecYAbsorbance}, in);
    EXPECT_EQ(r.Memo, (std::vector<std::string>{
                          "filepath: /data/films/", "filename: f1.dat", "range:   9400 - 2600 cm^-1",
                          "refractive index: 1.4914", "incidence angle: 0°", "no. of evaluated maxima: 13", "",
                          "=>  film thickness:  6.705 µm  <=", "Std.Dev. film thickness: 0 µm"}));
    EXPECT_EQ(r.Clipboard, "f1.dat\t6.705\t0\t µm");
}

TEST(FilmThickness, TwoMaximaOneMaximumAndBadIndex) {
    ui::ScopedScriptedBackend ui;
    TSpectraList list;
    addFringes(list, 500.0);
    // Two maxima (3000 and 3500): a thickness, σ = 0 and no standard deviation line.
    TFilmThicknessInputs two = inputs("1.4914", "0", "2800", "3700");
    TFilmThicknessResult r = EvaluateFilmThickness(list, TDisplayState{SpecXWavenumber, SpecYAbsorbance}, two);
    ASSERT_TRUE(r.Evaluated);
    EXPECT_EQ(r.Maxima, 2);
    EXPECT_EQ(r.StdDev, 0.0);
    EXPECT_EQ(r.Memo.back(), "=>  film thickness:  6.705 µm  <=");

    // One maximum: the message, and the clipboard line keeps its tabs without stale numbers.
    TFilmThicknessInputs one = inputs("1.4914", "0", "2800", "3200");
    r = EvaluateFilmThickness(list, TDisplayState{SpecXWavenumber, SpecYAbsorbance}, one);
    EXPECT_FALSE(r.Evaluated);
    EXPECT_EQ(r.Memo, (std::vector<std::string>{kTooFewMaximaText1, kTooFewMaximaText2}));
    EXPECT_EQ(r.Clipboard, "f1.dat\t\t\t µm");

    // n <= |sin θ| and n = 0 have no result.
    for (const auto& [n, theta] : {std::pair{"0.5", "90"}, std::pair{"1", "90"}, std::pair{"0", "0"}}) {
        TFilmThicknessInputs bad = inputs(n, theta, "2600", "9400");
        r = EvaluateFilmThickness(list, TDisplayState{SpecXWavenumber, SpecYAbsorbance}, bad);
        EXPECT_FALSE(r.Evaluated);
        EXPECT_TRUE(r.Memo.empty());
        EXPECT_TRUE(r.Clipboard.empty());
    }
    EXPECT_EQ(ui->messages, std::vector<std::string>(3, kFilmIndexText));
}

TEST(FilmThickness, NumberTexts) {
    SeparatorGuard g;
    numtext::setDecimalSeparator(',');
    TSpectraList list;
    addFringes(list, 500.0);
    TFilmThicknessInputs in = inputs("1.4914", "0", "2600", "9400");
    EXPECT_TRUE(EvaluateFilmThickness(list, TDisplayState{SpecXWavenumber, SpecYAbsorbance}, in).Evaluated);
    EXPECT_EQ(in.IndexText, "1,4914");
    TFilmThicknessInputs dec = inputs("1.4914", "0", "2600.5", "9400");
    EXPECT_THROW(EvaluateFilmThickness(list, TDisplayState{SpecXWavenumber, SpecYAbsorbance}, dec),
                 vx::ConversionError);
    EXPECT_EQ(FilmRangeText(2600.5), "2600");  // halves to even
    EXPECT_EQ(FilmRangeText(1063.83), "1064");
    EXPECT_EQ(FilmUnitLabel(SpecXWavenumber), "1/cm");
    EXPECT_EQ(FilmUnitLabel(SpecXMicrometer), "µm");
}

// ----- polarisation

namespace {
// A Gaussian band on 400..600 nm; par = ratio × perp.
TSpectrumRecord& addBand(TSpectraList& list, const std::string& title, const std::string& tag, double scale) {
    std::vector<double> v;
    for (int i = 0; i <= 200; ++i) v.push_back(scale * (0.1 + std::exp(-std::pow((400.0 + i - 500) / 40, 2))));
    TSpectrumRecord& r = addRecord(list, title, 400, 1, v);
    r.SpecType = tag;
    r.YKind = SpecYIntensity;
    r.SourceKind = SpecSourceGgg;
    return r;
}
}  // namespace

TEST(Polarisation, KnownRatioGivesDegreeAndReducedSpectrum) {
    struct Case {
        bool reduced;
        double value;  // for par = 3 perp: P = (3 - 1) / (3 + 1), reduced = (3 + 2) perp
        const char* title;
        const char* tag;
        int32_t kind;
    };
    const Case cases[] = {
        {false, 0.5, "run1_polccdf", "polccdf", SpecSourceRaw},
        {true, 5.0, "run1_ccdfg", "ccdfg", SpecSourceReduced},
    };
    for (const Case& c : cases) {
        TSpectraList list;
        addBand(list, "run1_ccdfy", "ccdfy", 3.0);
        TSpectrumRecord& perp = addBand(list, "run1_ccdfx", "ccdfx", 1.0);
        perp.Temperature = 77;
        perp.ExcitationWl = 350;
        perp.Comment1 = "c1";
        // The plot shows transmittance: the tool still computes on the stored intensities.
        EXPECT_EQ(RunPolarisation(list, TDisplayState{SpecXNanometer, SpecYTransmittance}, {0, 1, c.reduced, false}), 1);
        ASSERT_EQ(list.Count(), 3);
        const TSpectrumRecord& r = list[2];
        EXPECT_EQ(r.Title.str(), c.title);
        EXPECT_EQ(r.SpecType.str(), c.tag);
        EXPECT_EQ(r.SourceKind, c.kind);
        EXPECT_EQ(r.Temperature, 77);
        EXPECT_EQ(r.ExcitationWl, 350);
        EXPECT_EQ(r.Comment1.str(), "c1");
        EXPECT_EQ(r.Color, CurveColor(3));
        EXPECT_EQ(r.PointCount(), 201);
        for (int i = 0; i < r.PointCount(); i += 20) {
            const double perpValue = list[1].Values[static_cast<std::size_t>(i)];
            EXPECT_NEAR(r.Values[static_cast<std::size_t>(i)], c.reduced ? c.value * perpValue : c.value, 1e-12);
        }
    }
}

TEST(Polarisation, TagTableAndUnknownTags) {
    EXPECT_EQ(PolResultTag("ccdex", false), "polccde");
    EXPECT_EQ(PolResultTag("fx", true), "fg");
    EXPECT_EQ(PolResultTag("ex", false), "pole");
    EXPECT_EQ(PolResultTag("x", false), "");  // a part of a row is no row
    EXPECT_EQ(PolResultTag("", true), "");
    TSpectraList list;
    addBand(list, "p", "", 2.0);
    addBand(list, "s", "x", 1.0);
    EXPECT_EQ(RunPolarisation(list, TDisplayState{}, {0, 1, false, false}), 1);
    EXPECT_EQ(RunPolarisation(list, TDisplayState{}, {0, 1, true, false}), 1);
    EXPECT_EQ(list[2].Title.str(), "s degree of polarization");
    EXPECT_EQ(list[3].Title.str(), "s reduced spectrum");
    EXPECT_EQ(list[3].SpecType.str(), "");
}

TEST(Polarisation, AllPairsByTagTemperatureAndExcitation) {
    TSpectraList list;
    addBand(list, "a_ccdfy", "ccdfy", 3.0).Temperature = 77;
    addBand(list, "a_ccdfx", "ccdfx", 1.0).Temperature = 77;
    addBand(list, "b_ccdfx", "ccdfx", 1.0).Temperature = 295;  // another temperature
    addBand(list, "c_ccdfx", "ccdfx", 1.0).Temperature = 77;
    TSpectrumRecord& notKind = addBand(list, "d_ccdey", "ccdey", 3.0);
    notKind.Temperature = 77;
    notKind.SourceKind = 11;
    addBand(list, "d_ccdex", "ccdex", 1.0).Temperature = 77;
    EXPECT_EQ(RunPolarisation(list, TDisplayState{}, {0, 0, false, true}), 2);
    ASSERT_EQ(list.Count(), 8);
    EXPECT_EQ(list[6].Title.str(), "a_polccdf");
    EXPECT_EQ(list[7].Title.str(), "c_polccdf");

    // No parallel spectrum of kind 22: nothing.
    TSpectraList none;
    addBand(none, "x", "ccdfx", 1.0);
    EXPECT_EQ(RunPolarisation(none, TDisplayState{}, {0, 0, false, true}), 0);
    EXPECT_EQ(none.Count(), 1);
}

TEST(Polarisation, DisjointPairGivesMessageNoRecord) {
    ui::ScopedScriptedBackend ui;
    TSpectraList list;
    addBand(list, "p", "ccdfy", 2.0);
    addRecord(list, "far", 900, 1, std::vector<double>(50, 1.0)).SpecType = "ccdfx";
    EXPECT_EQ(RunPolarisation(list, TDisplayState{}, {0, 1, false, false}), 0);
    EXPECT_EQ(RunPolarisation(list, TDisplayState{}, {0, 1, true, false}), 0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(ui->messages.size(), 2u);
}

// ----- excitation series

namespace {
// An EEM of n spectra excited at 300, 310, ...; value at (ex, em) = ex / 100 + em / 1000.
void addLinearEEM(TSpectraList& list, int n, const std::string& tag = "") {
    for (int k = 0; k < n; ++k) {
        const double ex = 300 + 10 * k;
        std::vector<double> v;
        for (int i = 0; i <= 400; ++i) v.push_back(ex / 100 + (400.0 + i) / 1000);
        TSpectrumRecord& r = addRecord(list, "s" + std::to_string(k), 400, 1, v);
        r.ExcitationWl = ex;
        r.SpecType = tag;
        r.YKind = SpecYIntensity;
    }
}
}  // namespace

TEST(ExcitationWavelengths, AssignmentAndStartTexts) {
    ui::ScopedScriptedBackend ui;
    TSpectraList list;
    for (int i = 0; i < 8; ++i) addRecord(list, "s", 400, 1, ramp(5));
    EXPECT_TRUE(AssignExcitationWavelengths(list, {3, 6, 300, 315, 5, true}));
    EXPECT_EQ(list[3].ExcitationWl, 300);
    EXPECT_EQ(list[6].ExcitationWl, 315);
    EXPECT_EQ(list[6].Title.str(), "315");
    EXPECT_EQ(list[2].ExcitationWl, -1);
    EXPECT_EQ(ExWlEndOf(300, 5, 3, 6), 315);
    EXPECT_EQ(ExWlStartOf(315, 5, 3, 6), 300);

    EXPECT_FALSE(AssignExcitationWavelengths(list, {0, 7, 0, 35, 5, false}));
    EXPECT_FALSE(AssignExcitationWavelengths(list, {0, 7, 300, -5, -50, false}));
    EXPECT_EQ(ui->messages, std::vector<std::string>(2, kNoExWlSetText));
    EXPECT_FALSE(AssignExcitationWavelengths(list, {5, 9, 300, 320, 5, false}));  // past the list

    // Start and end from the first and last spectrum; the step as the whole number OK reads.
    TSpectraList s;
    addRecord(s, "a", 400, 1, ramp(3)).ExcitationWl = 300.4;
    addRecord(s, "b", 400, 1, ramp(3));
    addRecord(s, "c", 400, 1, ramp(3));
    addRecord(s, "d", 400, 1, ramp(3)).ExcitationWl = 310;
    TExWlStartTexts t = ExWlStartTexts(s);
    EXPECT_EQ(t.Start, "300");
    EXPECT_EQ(t.End, "310");
    EXPECT_EQ(t.Step, "3");  // 10 / 3
    s[3].ExcitationWl = -1;
    t = ExWlStartTexts(s);
    EXPECT_EQ(t.End, "");
    EXPECT_EQ(t.Step, "");
}

TEST(ExcitationSpectra, CutAtDetectionWavelengths) {
    TSpectraList list;
    addLinearEEM(list, 5);
    auto spectra = CalculateExcitationSpectra(list, TDisplayState{}, {500, 750, 5});
    ASSERT_EQ(spectra.size(), 51u);
    for (std::size_t j = 0; j < spectra.size(); j += 10) {
        const TSpectrumRecord& r = *spectra[j];
        const double w = 500 + 5.0 * static_cast<double>(j);
        EXPECT_EQ(r.PointCount(), 5);
        EXPECT_EQ(r.FirstX, 300);
        EXPECT_EQ(r.StepX, 10);
        EXPECT_EQ(r.ExcitationWl, w);
        EXPECT_EQ(r.Comment1.str(), "295");
        EXPECT_EQ(r.Title.str(), "excitation spectrum, detection wavelength: " + numtext::IntToStr(std::lround(w)) + "nm");
        for (int k = 0; k < 5; ++k)
            EXPECT_NEAR(r.Values[static_cast<std::size_t>(k)], (300 + 10 * k) / 100.0 + w / 1000, 1e-12);
    }
    // A step that does not divide the range stops at the last w <= to.
    EXPECT_EQ(CalculateExcitationSpectra(list, TDisplayState{}, {500, 512, 5}).size(), 3u);

    EXPECT_EQ(StoreExcitationSpectra(list, spectra, true), kExSpectraDeletedText);
    EXPECT_EQ(list.Count(), 51);
    EXPECT_EQ(list[50].Color, CurveColor(51));
}

TEST(ExcitationSpectra, TagsAndTheCleanedTitle) {
    TSpectraList list;
    addLinearEEM(list, 3, "ccdfx");
    list[0].Title = "probe ccdfx 300 nm";
    list[0].Comment2 = "300";
    list[0].Temperature = 77;
    list[0].SourceKind = 16;
    auto spectra = CalculateExcitationSpectra(list, TDisplayState{}, {500, 510, 10});
    ASSERT_EQ(spectra.size(), 2u);
    EXPECT_EQ(list[0].Title.str(), "probe ccdfx ");  // cleaned in place
    EXPECT_EQ(spectra[1]->Title.str(), "probe ccdex  510nm");
    EXPECT_EQ(spectra[1]->SpecType.str(), "ccdex");
    EXPECT_EQ(spectra[1]->Comment1.str(), "77");
    EXPECT_EQ(spectra[1]->SourceKind, 17);

    TSpectraList flask;
    addLinearEEM(flask, 3, "ccd_flasche");
    EXPECT_EQ(CalculateExcitationSpectra(flask, TDisplayState{}, {500, 510, 10})[0]->SpecType.str(), "ccd_flasche");
}

TEST(ExcitationSpectra, WrongRangesComputeNothing) {
    ui::ScopedScriptedBackend ui;
    TSpectraList list;
    addLinearEEM(list, 3);
    const TExcitationSpectraParams bad[] = {{750, 500, 5}, {500, 500, 5}, {500, 750, 0}, {500, 750, -5},
                                            {0, 2000000000, 1}};
    for (const auto& p : bad) EXPECT_TRUE(CalculateExcitationSpectra(list, TDisplayState{}, p).empty());
    TSpectraList one;
    addLinearEEM(one, 1);
    EXPECT_TRUE(CalculateExcitationSpectra(one, TDisplayState{}, {500, 750, 5}).empty());
    list[1].ExcitationWl = 300;  // no excitation step
    EXPECT_TRUE(CalculateExcitationSpectra(list, TDisplayState{}, {500, 750, 5}).empty());
    EXPECT_EQ(ui->messages, std::vector<std::string>(7, kWrongRangeText));

    EXPECT_EQ(ReadDetectionStep("10", 5), 10);
    EXPECT_EQ(ReadDetectionStep("2.5", 5), 5);
    EXPECT_EQ(ui->messages.back(), kWholeStepsText);
}

TEST(ExcitationIntensity, DividesByTheLampAtEachExcitation) {
    TSpectraList list;
    addLinearEEM(list, 4);
    list[1].SourceKind = SpecSourcePrn;
    list[2].Color = 0x77;
    // Lamp intensity rising linearly: 1 + (λ - 250) / 100.
    auto lamp = makeRecord("lamp", 250, 1, ramp(201, 1.0, 0.01));
    lamp->YKind = SpecYIntensity;
    auto out = CorrectExcitationIntensity(list, TDisplayState{}, lamp.get(), 1, 3);
    ASSERT_EQ(out.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        const TSpectrumRecord& r = *out[static_cast<std::size_t>(k)];
        const double ex = 310 + 10 * k, l = 1 + (ex - 250) / 100;
        EXPECT_NEAR(r.Values[100], (ex / 100 + 0.5) / l, 1e-12);
        EXPECT_EQ(r.Title.str(), "s" + std::to_string(k + 1) + " Excitation intensity corrected");
        EXPECT_EQ(r.Comment2.str(), numtext::IntToStr(std::lround(ex)));
    }
    EXPECT_EQ(out[0]->SourceKind, 16);
    EXPECT_EQ(out[1]->Color, 0x77u);
    ReplaceByCorrected(list, out);
    EXPECT_EQ(list.Count(), 3);  // only the chosen range stays

    // Outside the lamp's range its intensity is 0: the values become 0, never inf.
    TSpectraList far;
    addLinearEEM(far, 2);
    far[1].ExcitationWl = 600;
    auto z = CorrectExcitationIntensity(far, TDisplayState{}, lamp.get(), 0, 1);
    ASSERT_EQ(z.size(), 2u);
    EXPECT_EQ(z[1]->Values, std::vector<double>(401, 0.0));
}

TEST(ExcitationIntensity, Refusals) {
    ui::ScopedScriptedBackend ui;
    TSpectraList list;
    addLinearEEM(list, 3);
    auto lamp = makeRecord("lamp", 250, 1, std::vector<double>(201, 2.0));
    EXPECT_TRUE(CorrectExcitationIntensity(list, TDisplayState{}, nullptr, 0, 2).empty());
    EXPECT_TRUE(CorrectExcitationIntensity(list, TDisplayState{}, lamp.get(), 2, 2).empty());
    EXPECT_TRUE(CorrectExcitationIntensity(list, TDisplayState{}, lamp.get(), 2, 1).empty());
    list[1].ExcitationWl = -1;
    EXPECT_TRUE(CorrectExcitationIntensity(list, TDisplayState{}, lamp.get(), 0, 2).empty());
    EXPECT_EQ(ui->messages,
              (std::vector<std::string>{kNoLampText, kWrongRangeText, kWrongRangeText, kNoWavelengthText}));
}

// ----- emission correction

TEST(EmissionCorrection, FlatCurveHalvesOverTheCommonRange) {
    auto curve = makeRecord("curve", 450, 1, std::vector<double>(101, 2.0));  // 450..550 nm
    TSpectraList list;
    addRecord(list, "a", 400, 1, std::vector<double>(201, 4.0), SpecXNanometer, 0x11).LineStyle = 2;
    EXPECT_EQ(RunEmissionCorrection(list, TDisplayState{}, curve.get(), {0, false, false}), 1);
    ASSERT_EQ(list.Count(), 2);
    const TSpectrumRecord& r = list[1];
    EXPECT_EQ(r.Title.str(), "a corrected");
    EXPECT_EQ(r.FirstX, 450);
    EXPECT_EQ(r.Values, std::vector<double>(101, 2.0));
    EXPECT_EQ(r.Color, CurveColor(2));
    EXPECT_EQ(r.LineStyle, 0);

    EXPECT_EQ(RunEmissionCorrection(list, TDisplayState{}, curve.get(), {0, false, true}), 1);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"a corrected", "a corrected"}));
    EXPECT_EQ(list[1].Color, 0x11u);
    EXPECT_EQ(list[1].LineStyle, 2);
}

TEST(EmissionCorrection, AllSpectraReplaceInPlaceAndKeepThoseWithoutOverlap) {
    ui::ScopedScriptedBackend ui;
    auto curve = makeRecord("curve", 450, 1, std::vector<double>(101, 4.0));
    TSpectraList list;
    addRecord(list, "a", 400, 1, std::vector<double>(201, 8.0), SpecXNanometer, 0x11);
    addRecord(list, "far", 700, 1, std::vector<double>(50, 8.0), SpecXNanometer, 0x22);
    addRecord(list, "in 1/cm", 20000, -10, std::vector<double>(50, 8.0), SpecXWavenumber, 0x33);
    addRecord(list, "b", 500, 1, std::vector<double>(201, 2.0), SpecXNanometer, 0x44);
    EXPECT_EQ(RunEmissionCorrection(list, TDisplayState{}, curve.get(), {0, true, false}), 2);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"a corrected", "far", "in 1/cm", "b corrected"}));
    EXPECT_EQ(list[0].Values, std::vector<double>(101, 2.0));
    EXPECT_EQ(list[3].Values, std::vector<double>(51, 0.5));
    EXPECT_EQ(list[3].Color, 0x44u);
    EXPECT_EQ(list[1].Values, std::vector<double>(50, 8.0));  // kept, not emptied
    ASSERT_EQ(ui->messages.size(), 2u);
    EXPECT_EQ(ui->messages[0], std::string(kNoOverlapText) + "\r\nfar");
    EXPECT_NE(ui->messages[1].find("in 1/cm"), std::string::npos);
}

TEST(EmissionCorrection, MessagesWithoutCurveSelectionOrSpectra) {
    ui::ScopedScriptedBackend ui;
    auto curve = makeRecord("curve", 450, 1, std::vector<double>(101, 4.0));
    TSpectraList empty;
    EXPECT_EQ(RunEmissionCorrection(empty, TDisplayState{}, nullptr, {-1, false, false}), 0);
    EXPECT_EQ(ui->messages, std::vector<std::string>{kNoOriginalsText});
    ui->messages.clear();
    TSpectraList list;
    addRecord(list, "a", 400, 1, std::vector<double>(201, 8.0));
    EXPECT_EQ(RunEmissionCorrection(list, TDisplayState{}, nullptr, {-1, false, false}), 0);
    EXPECT_EQ(ui->messages, (std::vector<std::string>{kNoCorrectionCurveText, kNoOriginalSelectedText}));
    EXPECT_EQ(RunEmissionCorrection(list, TDisplayState{}, curve.get(), {-1, true, false}), 0);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].Values, std::vector<double>(201, 8.0));
}
