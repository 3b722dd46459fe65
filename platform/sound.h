#pragma once
// Sound output of generated 16-bit mono samples through ALSA's default device. Where no device opens
// the samples are dropped silently. Tests install a sink that receives the samples instead.
#include <cstdint>
#include <functional>
#include <vector>

namespace sound {

inline constexpr int kSampleRate = 44100;

// Plays the samples and returns when they have sounded (or at once when there is no device).
void PlaySamples(const std::vector<int16_t>& samples, int rate = kSampleRate);

// Replaces the output (tests); an empty function restores the sound device.
using Sink = std::function<void(const std::vector<int16_t>& samples, int rate)>;
void SetSink(Sink sink);

}  // namespace sound
