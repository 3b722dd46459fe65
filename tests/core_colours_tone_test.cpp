#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "core/spectra_list.h"
#include "core/tone_player.h"
#include "core/wavelength_colours.h"
#include "platform/errors.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "core_algos_fixtures.h"

struct ColourCase {
    double nm;
    Rgb rgb;
};
class WavelengthColours : public testing::TestWithParam<ColourCase> {};
TEST_P(WavelengthColours, MatchTheHueTableAndFallOff) {
    const TDisplayState display;
    EXPECT_EQ(WavelengthToRgb(nullptr, false, GetParam().nm, display), GetParam().rgb) << GetParam().nm;
}
INSTANTIATE_TEST_SUITE_P(Cases, WavelengthColours,
                         testing::Values(ColourCase{580, {255, 255, 0}},   // yellow
                                         ColourCase{700, {255, 0, 0}},     // red, full intensity
                                         ColourCase{780, {97, 0, 0}},      // red at k = 0.3
                                         ColourCase{400, {131, 0, 181}},   // violet, k = 0.65
                                         ColourCase{510, {0, 255, 0}},
                                         ColourCase{379, {0, 0, 0}},
                                         ColourCase{781, {0, 0, 0}}));

TEST(WavelengthColours, ColourValueAndGrey) {
    const TDisplayState display;
    EXPECT_EQ(WavelengthToColor(510), 0x00FF00u);
    EXPECT_EQ(WavelengthToColor(700), 0x0000FFu);
    EXPECT_EQ(WavelengthToRgb(nullptr, true, 500, display), (Rgb{203, 203, 203}));
    EXPECT_EQ(WavelengthToRgb(nullptr, true, 300, display), (Rgb{0, 0, 0}));  // grey, but outside the visible range
}

TEST(WavelengthColours, SpectrumWeightingStaysWithinAByte) {
    TSpectrumRecord counts = MakeRecord(SpecXNanometer, 380, 1, std::vector<double>(401, 5000.0));
    counts.YKind = SpecYIntensity;
    TSpectrumRecord zero = MakeRecord(SpecXNanometer, 380, 1, std::vector<double>(401, 0.0));
    zero.YKind = SpecYIntensity;
    TSpectrumRecord absorber = MakeRecord(SpecXNanometer, 380, 1, std::vector<double>(401, 1.0));
    {
        const TDisplayState display{SpecXNanometer, SpecYIntensity};
        EXPECT_EQ(WavelengthToRgb(&counts, false, 700, display), (Rgb{255, 0, 0}));  // c·k clamped to 1
        EXPECT_EQ(WavelengthToRgb(&zero, false, 550, display), (Rgb{0, 0, 0}));
    }
    {
        const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
        EXPECT_EQ(WavelengthToRgb(&absorber, false, 700, display), (Rgb{40, 0, 0}));  // k · 10^-1
        EXPECT_EQ(WavelengthToRgb(&zero, false, 700, display), (Rgb{0, 0, 0}));       // intensity kind, v <= 0
    }
    {
        const TDisplayState display{SpecXNanometer, SpecYTransmittance};
        EXPECT_EQ(WavelengthToRgb(&absorber, false, 700, display), (Rgb{40, 0, 0}));  // T = 0.1
    }
}

TEST(SpectroscopeStrip, ColumnsAndTicks) {
    const TDisplayState display;
    SpectroscopeStripLayout s = LayoutSpectroscopeStrip(360, 50, true, 25, false, nullptr, display, false);
    ASSERT_EQ(s.Columns.size(), 360u);
    EXPECT_EQ(s.Columns[0], WavelengthToRgb(nullptr, false, 390, display));
    EXPECT_EQ(s.Columns[190], WavelengthToRgb(nullptr, false, 580, display));
    EXPECT_EQ(s.LineTop, 46);
    ASSERT_EQ(s.Ticks.size(), 15u);  // 400 .. 750; 375 lies before the start
    EXPECT_EQ(s.Ticks.front().Label, 400);
    EXPECT_EQ(s.Ticks.front().X, 10);
    EXPECT_EQ(s.Ticks.back().Label, 750);
    EXPECT_EQ(s.Ticks.back().X, 360);
    for (const StripTick& t : s.Ticks) {
        const bool red = t.Label >= 470 && t.Label <= 600;
        EXPECT_EQ(t.Color, red ? (Rgb{255, 0, 0}) : (Rgb{255, 255, 255})) << t.Label;
    }
    SpectroscopeStripLayout grey = LayoutSpectroscopeStrip(360, 50, true, 25, true, nullptr, display, false);
    for (const StripTick& t : grey.Ticks) EXPECT_EQ(t.Color, (Rgb{255, 255, 255}));
    EXPECT_TRUE(LayoutSpectroscopeStrip(360, 50, false, 25, false, nullptr, display, false).Ticks.empty());
    EXPECT_TRUE(LayoutSpectroscopeStrip(360, 50, true, 5, false, nullptr, display, false).Ticks.empty());
}

TEST(SpectroscopeStrip, ReversedAxisRunsFrom760Down) {
    const TDisplayState display;
    SpectroscopeStripLayout s = LayoutSpectroscopeStrip(360, 40, true, 50, false, nullptr, display, true);
    EXPECT_EQ(s.Columns[0], WavelengthToRgb(nullptr, false, 760, display));
    ASSERT_FALSE(s.Ticks.empty());
    EXPECT_EQ(s.Ticks.front().Label, 750);
    EXPECT_EQ(s.Ticks.front().X, 10);
    EXPECT_EQ(s.Ticks.back().Label, 400);
    EXPECT_EQ(s.Ticks.back().X, 360);
}

TEST(SpectroscopeStrip, ZeroSpectrumPaintsBlack) {
    const TDisplayState display{SpecXNanometer, SpecYIntensity};
    TSpectrumRecord r = MakeRecord(SpecXNanometer, 300, 1, std::vector<double>(600, 0.0));
    r.YKind = SpecYIntensity;
    SpectroscopeStripLayout s = LayoutSpectroscopeStrip(100, 10, false, 25, false, &r, display, false);
    for (const Rgb& c : s.Columns) EXPECT_EQ(c, (Rgb{0, 0, 0}));
    // Shown in transmittance the same spectrum dims nothing: a stored 0 is T = 1.
    const TDisplayState transmittance{SpecXNanometer, SpecYTransmittance};
    EXPECT_EQ(LayoutSpectroscopeStrip(100, 10, false, 25, false, &r, transmittance, false).Columns,
              LayoutSpectroscopeStrip(100, 10, false, 25, false, nullptr, transmittance, false).Columns);
}

TEST(Tones, LimitsRaiseTheirTexts) {
    auto text = [](int32_t f, int32_t ms) -> std::string {
        try {
            CheckTone(f, ms);
        } catch (const vx::Error& e) {
            return e.what();
        }
        return "";
    };
    EXPECT_EQ(text(36, 10), "Bleeper: Freq < 37");
    EXPECT_EQ(text(20001, 10), "Bleeper: Freq > 20000");
    EXPECT_EQ(text(440, -2), "Bleeper: MSecs < -1");
    EXPECT_EQ(text(37, -1), "");
    EXPECT_EQ(text(20000, 0), "");
}

TEST(Tones, SquareWaveSamples) {
    std::vector<int16_t> s = ToneSamples(1000, 10, 44100);
    ASSERT_EQ(s.size(), 441u);
    int transitions = 0;
    for (std::size_t i = 1; i < s.size(); ++i) transitions += s[i] != s[i - 1];
    EXPECT_EQ(transitions, 19);  // 10 periods, two edges each, the last one just outside
    EXPECT_GT(s[0], 0);
    EXPECT_EQ(s[0], -s[30]);
    EXPECT_TRUE(ToneSamples(440, 0, 44100).empty());
    // Pieces of a long tone join without a phase jump.
    std::vector<int16_t> whole = ToneSamples(440, 3000, 44100);
    std::vector<int16_t> joined = ToneSamplesAt(440, 0, 44100, 44100);
    std::vector<int16_t> rest = ToneSamplesAt(440, 44100, 2 * 44100, 44100);
    joined.insert(joined.end(), rest.begin(), rest.end());
    EXPECT_EQ(joined, whole);
}

struct DivisorCase {
    double M, D;
};
class Divisors : public testing::TestWithParam<DivisorCase> {};
TEST_P(Divisors, FollowTheMaximum) { EXPECT_EQ(PlaybackDivisor(GetParam().M), GetParam().D) << GetParam().M; }
INSTANTIATE_TEST_SUITE_P(Cases, Divisors,
                         testing::Values(DivisorCase{0, 0.01}, DivisorCase{0.001, 0.01}, DivisorCase{0.002, 0.1},
                                         DivisorCase{0.019, 0.1}, DivisorCase{0.02, 1}, DivisorCase{0.35, 1},
                                         DivisorCase{0.351, 10}, DivisorCase{3, 10}, DivisorCase{3.001, 100},
                                         DivisorCase{19.999, 100}, DivisorCase{20, 1000}, DivisorCase{200, 1000},
                                         DivisorCase{200.001, 10000}));

TEST(Playback, ConstantSpectrumIsOneTone) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    TSpectrumRecord r = MakeRecord(SpecXNanometer, 400, 1, std::vector<double>(101, 0.5));
    TonePlan plan = PlanSpectrumPlayback(r, 400, 500, display);
    EXPECT_EQ(plan.Divisor, 10.0);
    EXPECT_EQ(plan.StartText, "In roughly 2 sec this awfoul sounds will stop finally! ");
    EXPECT_EQ(plan.Tones, (std::vector<Tone>{{750, 2000}}));
}

TEST(Playback, RunsMergeAndALastSinglePointIsSilent) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    TSpectrumRecord r = MakeRecord(SpecXNanometer, 400, 1, {0.5, 0.5, 0.2, 0.2, 0.2, 0.5, 0.3, 0.3});
    TonePlan plan = PlanSpectrumPlayback(r, 400, 407, display);  // points 0..6 sound
    EXPECT_EQ(plan.Tones, (std::vector<Tone>{{750, 40}, {300, 60}, {750, 20}}));
    TonePlan two = PlanSpectrumPlayback(r, 400, 408, display);  // beyond the end: clamped to the last point
    EXPECT_EQ(two.Hi, 7);
}

TEST(Playback, WavenumberGridsAndLimits) {
    const TDisplayState display{SpecXWavenumber, SpecYAbsorbance};
    // Falling wavenumbers: durations from |StepX|; 0 and huge negative values stay playable.
    TSpectrumRecord r = MakeRecord(SpecXWavenumber, 4000, -2, {0.5, 0.5, 0.0, 0.0, -40, -40, 0.5});
    TonePlan plan = PlanSpectrumPlayback(r, 3988, 4000, display);
    EXPECT_EQ(plan.StartText, "In roughly 0 sec this awfoul sounds will stop finally! ");
    EXPECT_EQ(plan.Tones, (std::vector<Tone>{{750, 80}, {37, 80}, {20000, 80}}));
    for (const Tone& t : plan.Tones) EXPECT_NO_THROW(CheckTone(t.Freq, t.MSecs));
}

TEST(Playback, MicrometreRecordsAndZeroStep) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    TSpectrumRecord um = MakeRecord(SpecXMicrometer, 0.4, 0.001, std::vector<double>(11, 0.1));
    TonePlan plan = PlanSpectrumPlayback(um, 400, 410, display);
    EXPECT_EQ(plan.Lo, 0);
    EXPECT_EQ(plan.Hi, 10);
    ASSERT_EQ(plan.Tones.size(), 1u);
    TSpectrumRecord flat = MakeRecord(SpecXNanometer, 400, 0, {1, 2, 3});
    EXPECT_TRUE(PlanSpectrumPlayback(flat, 400, 500, display).Tones.empty());
}

TEST(Playback, PlaysTheMelodyAndReports) {
    ui::ScopedScriptedBackend ui;
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    std::vector<int16_t> heard;
    std::size_t largest = 0;
    sound::SetSink([&](const std::vector<int16_t>& s, int rate) {
        EXPECT_EQ(rate, sound::kSampleRate);
        heard.insert(heard.end(), s.begin(), s.end());
        largest = std::max(largest, s.size());
    });
    TSpectrumRecord r = MakeRecord(SpecXNanometer, 400, 1, {0.5, 0.5, 0.2, 0.2, 0.2, 0.5, 0.3, 0.3});
    PlaySpectrum(r, 400, 407, display);
    EXPECT_EQ(heard.size(), static_cast<std::size_t>(44100 * 120 / 1000));
    EXPECT_EQ(ui->status[1], "Task accomplished!");
    // The first tone is 750 Hz for 40 ms: its samples lead the melody.
    std::vector<int16_t> first = ToneSamples(750, 40, 44100);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), heard.begin()));
    // A constant 101-point spectrum on a 5 nm grid is one tone of 10 s, written a second at a time.
    heard.clear();
    TSpectrumRecord wide = MakeRecord(SpecXNanometer, 400, 5, std::vector<double>(101, 0.5));
    PlaySpectrum(wide, 400, 900, display);
    sound::SetSink({});
    EXPECT_EQ(heard.size(), static_cast<std::size_t>(44100 * 10));
    EXPECT_EQ(largest, static_cast<std::size_t>(44100));
}

TEST(Playback, WithoutASoundDeviceNothingPlaysAndThePanelSaysSo) {
    ui::ScopedScriptedBackend ui;
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    TSpectrumRecord r = MakeRecord(SpecXNanometer, 400, 1, {0.5, 0.5, 0.2, 0.2, 0.2, 0.5, 0.3, 0.3});
    sound::SetDeviceName("varolux32-no-such-device");
    EXPECT_FALSE(sound::Output().Opened());
    EXPECT_FALSE(PlaySpectrum(r, 400, 407, display));
    // Neither the start text nor success: only why nothing sounded.
    EXPECT_EQ(ui->status, (std::map<int, std::string>{{1, kNoSoundDeviceText}}));
    // A sink takes the samples whatever the device.
    std::size_t heard = 0;
    sound::SetSink([&](const std::vector<int16_t>& s, int) { heard += s.size(); });
    EXPECT_TRUE(sound::Output().Opened());
    EXPECT_TRUE(PlaySpectrum(r, 400, 407, display));
    sound::SetSink({});
    sound::SetDeviceName("");
    EXPECT_EQ(heard, static_cast<std::size_t>(44100 * 120 / 1000));
    EXPECT_EQ(ui->status[1], "Task accomplished!");
}
