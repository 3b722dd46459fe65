#pragma once
// Sound output of generated 16-bit mono samples through ALSA's default device. Where no device opens
// the samples are dropped and Output::Opened says so. Tests install a sink that receives the samples
// instead, or name a device that does not exist.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sound {

inline constexpr int kSampleRate = 44100;

// One open output for a sequence of writes, so that consecutive tones follow without gaps and a
// long melody never has to be held in memory at once. The destructor waits until everything written
// has sounded.
class Output {
public:
    explicit Output(int rate = kSampleRate);
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;
    void Write(const std::vector<int16_t>& samples);
    int rate() const { return rate_; }
    // Whether the samples go anywhere: a device opened, or a sink is installed.
    bool Opened() const;

private:
    struct Device;
    std::unique_ptr<Device> device_;
    int rate_;
};

// Plays the samples and returns when they have sounded (or at once when there is no device).
void PlaySamples(const std::vector<int16_t>& samples, int rate = kSampleRate);

// Replaces the output (tests): every Write goes to the sink; an empty function restores the device.
using Sink = std::function<void(const std::vector<int16_t>& samples, int rate)>;
void SetSink(Sink sink);

// The ALSA device that outputs open; an empty name restores "default" (tests: a name that does not
// exist shows the program without a sound device).
void SetDeviceName(std::string name);

}  // namespace sound
