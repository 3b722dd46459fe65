#include <gtest/gtest.h>

#include <limits>

#include "tests/tools_test_support.h"
#include "tools/range_commands.h"

using namespace tooltest;

TEST(CenterOfGravity, ConstantSpectrumOverThePlotRange) {
    SeparatorGuard sep;
    TSpectraList list;
    TDisplayState display;
    auto& r = addRecord(list, "one", 300, 1, std::vector<double>(601, 1.0));
    auto c = CenterOfGravity(display, r, 400, 700);
    ASSERT_TRUE(c);
    EXPECT_NEAR(*c, 550.0, 1e-9);
    EXPECT_EQ(CenterOfGravityText(display, c), "center of gravity: 550.00 nm");
    numtext::setDecimalSeparator(',');
    EXPECT_EQ(CenterOfGravityText(display, c), "center of gravity: 550,00 nm");
}

TEST(CenterOfGravity, ZeroSumGivesDashesNotADivision) {
    TSpectraList list;
    TDisplayState display;
    auto& zero = addRecord(list, "zero", 400, 1, std::vector<double>(301, 0.0));
    EXPECT_FALSE(CenterOfGravity(display, zero, 400, 700));
    // Symmetric positive and negative values sum to zero too.
    std::vector<double> v(11);
    for (int i = 0; i < 11; ++i) v[i] = i - 5;
    auto& sym = addRecord(list, "sym", 400, 1, v);
    EXPECT_FALSE(CenterOfGravity(display, sym, 400, 410));
    EXPECT_EQ(CenterOfGravityText(display, std::nullopt), "center of gravity: -- nm");
    display.DisplayXUnit = SpecXWavenumber;
    EXPECT_EQ(CenterOfGravityText(display, std::nullopt), "center of gravity: -- cm^-1");
}

TEST(RangeCommands, OnlyNmAndWavenumbersSampleWholeX) {
    TDisplayState display;
    const bool allowed[] = {true, true, false, false};
    for (int u = 1; u <= 4; ++u) {
        display.DisplayXUnit = *XUnitOfCode(u);
        EXPECT_EQ(RangeCommandUnitAllowed(display), allowed[u - 1]) << u;
    }
}

TEST(Integration, MessageTextSumAndMean) {
    TSpectraList list;
    TDisplayState display;
    auto& r = addRecord(list, "abs", 400, 1, ramp(11));  // y = x - 400
    // 400.4 .. 402.6 samples 400, 401, 402, 403.
    EXPECT_EQ(IntegrationMessage(display, r, 402.6, 400.4),
              "Spectrum: abs\r\n\r\nintegral from 400nm to 402nm is: 6\r\nAverage value is: 1.5");
}

TEST(Integration, WavenumbersWithEpsilonAddTheOscillatorStrength) {
    TSpectraList list;
    TDisplayState display;
    display.DisplayXUnit = SpecXWavenumber;
    display.DisplayYMode = SpecYEpsilon;
    auto& r = addRecord(list, "eps", 20010, -1, std::vector<double>(21, 2.0), SpecXWavenumber);
    r.Concentration = 1e-3;
    r.PathLength = 1.0;  // epsilon = 2 / 1e-3 = 2000
    const std::string text = IntegrationMessage(display, r, 20000, 20009);
    EXPECT_NE(text.find("integral from 20000cm^-1 to 20009cm^-1 is: 2E+4"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\noscillatory strength=0.00008638"), std::string::npos) << text;
}

TEST(Integration, SecondAxisSpectraAndEmptyRangesShowDashes) {
    TSpectraList list;
    TDisplayState display;
    auto& ratio = addRecord(list, "ratio", 400, 1, ramp(11));
    ratio.SourceKind = SpecSourceRaw;
    EXPECT_NE(IntegrationMessage(display, ratio, 400, 405).find("is: --\r\nAverage value is: --"),
              std::string::npos);
    auto& r = addRecord(list, "abs", 400, 1, ramp(11));
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_NE(IntegrationMessage(display, r, -inf, 405).find("is: --\r\nAverage value is: --"), std::string::npos);
}

TEST(Readout, NearestPointInDisplayUnits) {
    TSpectraList list;
    TDisplayState display;
    auto& r = addRecord(list, "t", 400, 0.5, {0.0, 1.0, 2.0, 0.30103});
    EXPECT_EQ(ReadoutText(display, r, 400.6), "Position: 400.5  |  1");
    display.DisplayYMode = SpecYTransmittance;
    EXPECT_EQ(ReadoutText(display, r, 402), "Position: 401.5  |  0.5");
    display.DisplayYMode = SpecYEpsilon;
    r.Concentration = 3;
    EXPECT_EQ(ReadoutText(display, r, 400.5), "Position: 400.5  |  0.333333");
}

TEST(Baseline, SubtractsTheStoredMeanOfTheRangeExceptKindSeven) {
    TSpectraList list;
    TDisplayState display;
    addRecord(list, "a", 400, 1, ramp(10));
    addRecord(list, "b", 400, 1, std::vector<double>(10, 5.0));
    addRecord(list, "ratio", 400, 1, ramp(10)).SourceKind = SpecSourceRaw;
    std::vector<std::pair<int, int>> passes;
    BaselineCorrectAll(list, display, 403, 401, [&](int32_t i, int32_t n) { passes.emplace_back(i, n); });
    EXPECT_EQ(passes, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
    EXPECT_DOUBLE_EQ(list[0].Values[2], 0.0);  // mean of 1, 2, 3 is 2
    EXPECT_DOUBLE_EQ(list[0].Values[9], 7.0);
    EXPECT_EQ(list[1].Values, std::vector<double>(10, 0.0));
    EXPECT_EQ(list[2].Values, ramp(10));
}

TEST(RangeWait, EndsOnSelectionEscapeOrClosing) {
    int passes = 0;
    bool abort = false, open = true, done = false;
    RangeWaitHooks h{[&] { return done; }, [&] { return abort; }, [&] { abort = false; },
                     [&] { return open; }, [&] {
                         if (++passes == 3) done = true;
                     }};
    EXPECT_EQ(WaitForRange(h, 0), RangeWaitResult::Selected);
    EXPECT_EQ(passes, 3);

    done = false;
    h.eachPass = [&] { abort = true; };
    EXPECT_EQ(WaitForRange(h, 0), RangeWaitResult::Aborted);
    EXPECT_FALSE(abort);  // the request is used up

    h.eachPass = [&] { open = false; };
    EXPECT_EQ(WaitForRange(h, 0), RangeWaitResult::Closed);
}

TEST(ReadoutLoop, EndsWhenItsSpectrumGoesOrTheButtonIsPressed) {
    TSpectraList list;
    TDisplayState display;
    addRecord(list, "first", 400, 1, ramp(10));
    const TSpectrumRecord* watched = &addRecord(list, "second", 400, 1, ramp(10));
    std::vector<std::string> shown;
    int pass = 0;
    double x = 401;
    ReadoutHooks h;
    h.display = [&] { return display; };
    h.curveCount = [&] { return list.Count(); };
    h.cursorX = [&] {
        if (++pass == 3) x = 405;
        if (pass == 5) DeleteSpectrum(list, 0);  // the record moves to index 0 and is still found
        if (pass == 7) DeleteSpectrum(list, 0);  // now it is gone
        return x;
    };
    h.show = [&](const std::string& caption, const std::string& text) {
        shown.push_back(caption + ": " + text);
    };
    RunReadoutLoop(list, watched, h, 0);
    EXPECT_EQ(shown, (std::vector<std::string>{"second: Position: 401  |  1",
                                               "second: Position: 405  |  5"}));
    EXPECT_EQ(pass, 7);

    auto* rec = &addRecord(list, "third", 400, 1, ramp(10));
    pass = 0;
    h.cursorX = [&] { ++pass; return 400.0; };
    h.stopPressed = [&] { return pass >= 2; };
    RunReadoutLoop(list, rec, h, 0);
    EXPECT_EQ(pass, 2);
}
