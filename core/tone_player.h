#pragma once
// Tones of a given frequency and duration, and the Play command that turns the visible part of a
// spectrum into a sequence of tones whose pitch follows its y values. The sequence and the samples
// are plain data, so they can be checked without a sound card.
#include <cstdint>
#include <string>
#include <vector>

#include "core/display_state.h"
#include "core/spectrum_record.h"

inline constexpr int32_t kLowestToneHz = 37;
inline constexpr int32_t kHighestToneHz = 20000;

// Raises vx::Error "Bleeper: MSecs < -1", "Bleeper: Freq < 37" or "Bleeper: Freq > 20000".
void CheckTone(int32_t Freq, int32_t MSecs);
// Square wave of Freq Hz lasting MSecs ms at the given sample rate (as a speaker driven by a timer).
std::vector<int16_t> ToneSamples(uint16_t Freq, int32_t MSecs, int rate);
// Samples first .. first+count-1 of that square wave, for writing a long tone piece by piece.
std::vector<int16_t> ToneSamplesAt(uint16_t Freq, long long first, long long count, int rate);
// Plays Freq Hz for MSecs ms and returns when it has sounded. MSecs -1, a tone with no set end, sounds
// for one second; nothing in the program asks for one.
void PlayTone(uint16_t Freq, int32_t MSecs);

struct Tone {
    uint16_t Freq = 0;
    int32_t MSecs = 0;
    friend bool operator==(const Tone&, const Tone&) = default;
};

struct TonePlan {
    int32_t Lo = 0, Hi = 0;    // point range played (Hi itself is not)
    double Divisor = 1.0;      // y scale: f = round(|y| · 15000 / Divisor)
    std::string StartText;     // "In roughly ... sec this awfoul sounds will stop finally! "
    std::vector<Tone> Tones;
};

// Frequency divisor for the largest display value M over the range (e = round(1000·M)).
double PlaybackDivisor(double M);
// The tones for the part of rec between display x xMin and xMax (the plot's visible range), its y values
// in `display`. Runs of equal frequency merge into one tone of round(|StepX|·20·count) ms; frequencies
// are kept within 37..20000 Hz; a last run of one point is not played. A zero step plays nothing.
TonePlan PlanSpectrumPlayback(const TSpectrumRecord& rec, double xMin, double xMax, const TDisplayState& display);
// What the Play command says instead of its start text when no sound device opens.
inline constexpr const char* kNoSoundDeviceText = "No sound device could be opened!";
// The Play command: writes the start text into the second status panel (ui panel 1), plays the
// tones one after another (written piece by piece, so a long spectrum needs little memory) and writes
// "Task accomplished!" there. Without a sound device it plays nothing, writes kNoSoundDeviceText there
// and returns false.
bool PlaySpectrum(const TSpectrumRecord& rec, double xMin, double xMax, const TDisplayState& display);
