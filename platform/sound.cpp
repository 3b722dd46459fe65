#include "platform/sound.h"

#include <alsa/asoundlib.h>

namespace sound {
namespace {

Sink& CurrentSink() {
    static Sink sink;
    return sink;
}

std::string& DeviceName() {
    static std::string name = "default";
    return name;
}

// The library reports a missing card on stderr; the caller tells the user instead.
void QuietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

struct Output::Device {
    snd_pcm_t* pcm = nullptr;
    ~Device() {
        if (pcm != nullptr) {
            snd_pcm_drain(pcm);
            snd_pcm_close(pcm);
        }
    }
};

Output::Output(int rate) : rate_(rate) {
    if (CurrentSink() || rate <= 0) return;
    static const bool quiet = [] {
        snd_lib_error_set_handler(&QuietAlsaErrors);
        return true;
    }();
    (void)quiet;
    snd_pcm_t* pcm = nullptr;
    // Opened without blocking, so a busy or missing device never hangs the program.
    if (snd_pcm_open(&pcm, DeviceName().c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return;
    if (snd_pcm_nonblock(pcm, 0) < 0 ||
        snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                           static_cast<unsigned>(rate), 1, 100000) < 0) {
        snd_pcm_close(pcm);
        return;
    }
    device_ = std::make_unique<Device>();
    device_->pcm = pcm;
}

Output::~Output() = default;

bool Output::Opened() const { return device_ != nullptr || static_cast<bool>(CurrentSink()); }

void Output::Write(const std::vector<int16_t>& samples) {
    if (CurrentSink()) {
        CurrentSink()(samples, rate_);
        return;
    }
    if (!device_ || samples.empty()) return;
    const int16_t* data = samples.data();
    snd_pcm_uframes_t left = samples.size();
    while (left > 0) {
        snd_pcm_sframes_t written = snd_pcm_writei(device_->pcm, data, left);
        if (written < 0) {
            if (snd_pcm_recover(device_->pcm, static_cast<int>(written), 1) < 0) {
                device_.reset();  // the device went away: stay silent from here on
                return;
            }
            continue;
        }
        data += written;
        left -= static_cast<snd_pcm_uframes_t>(written);
    }
}

void PlaySamples(const std::vector<int16_t>& samples, int rate) {
    Output out(rate);
    out.Write(samples);
}

void SetSink(Sink sink) { CurrentSink() = std::move(sink); }

void SetDeviceName(std::string name) { DeviceName() = name.empty() ? "default" : std::move(name); }

}  // namespace sound
