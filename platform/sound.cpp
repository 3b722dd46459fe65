#include "platform/sound.h"

#include <alsa/asoundlib.h>

namespace sound {
namespace {

Sink& CurrentSink() {
    static Sink sink;
    return sink;
}

void PlayOnDevice(const std::vector<int16_t>& samples, int rate) {
    snd_pcm_t* pcm = nullptr;
    // Opened without blocking, so a busy or missing device never hangs the program.
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return;
    struct Closer {
        snd_pcm_t* p;
        ~Closer() { snd_pcm_close(p); }
    } closer{pcm};
    snd_pcm_nonblock(pcm, 0);
    if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                           static_cast<unsigned>(rate), 1, 100000) < 0)
        return;
    const int16_t* data = samples.data();
    snd_pcm_uframes_t left = samples.size();
    while (left > 0) {
        snd_pcm_sframes_t written = snd_pcm_writei(pcm, data, left);
        if (written < 0) {
            if (snd_pcm_recover(pcm, static_cast<int>(written), 1) < 0) return;
            continue;
        }
        data += written;
        left -= static_cast<snd_pcm_uframes_t>(written);
    }
    snd_pcm_drain(pcm);
}

}  // namespace

void PlaySamples(const std::vector<int16_t>& samples, int rate) {
    if (CurrentSink()) {
        CurrentSink()(samples, rate);
        return;
    }
    if (samples.empty() || rate <= 0) return;
    PlayOnDevice(samples, rate);
}

void SetSink(Sink sink) { CurrentSink() = std::move(sink); }

}  // namespace sound
