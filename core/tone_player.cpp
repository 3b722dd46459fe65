#include "core/tone_player.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/units.h"
#include "platform/errors.h"
#include "platform/sound.h"
#include "platform/ui.h"

namespace {

int32_t DurationMs(double step, int32_t count) {
    const double ms = std::nearbyint(std::fabs(step) * 20.0 * count);
    return static_cast<int32_t>(std::min(ms, static_cast<double>(std::numeric_limits<int32_t>::max())));
}

}  // namespace

void CheckTone(int32_t Freq, int32_t MSecs) {
    if (MSecs < -1) throw vx::Error("Bleeper: MSecs < -1");
    if (Freq < kLowestToneHz) throw vx::Error("Bleeper: Freq < " + std::to_string(kLowestToneHz));
    if (Freq > kHighestToneHz) throw vx::Error("Bleeper: Freq > 20000");
}

std::vector<int16_t> ToneSamplesAt(uint16_t Freq, long long first, long long count, int rate) {
    if (count <= 0 || Freq == 0 || rate <= 0 || first < 0) return {};
    std::vector<int16_t> s(static_cast<std::size_t>(count));
    constexpr int16_t amplitude = 6000;
    for (long long k = 0; k < count; ++k) {
        // Half periods counted in integers, so long tones keep their pitch exactly.
        const long long half = (2LL * (first + k) * Freq / rate) % 2;
        s[static_cast<std::size_t>(k)] = half == 0 ? amplitude : static_cast<int16_t>(-amplitude);
    }
    return s;
}

std::vector<int16_t> ToneSamples(uint16_t Freq, int32_t MSecs, int rate) {
    if (MSecs <= 0 || rate <= 0) return {};
    return ToneSamplesAt(Freq, 0, static_cast<long long>(rate) * MSecs / 1000, rate);
}

void PlayTone(uint16_t Freq, int32_t MSecs) {
    CheckTone(Freq, MSecs);
    sound::PlaySamples(ToneSamples(Freq, MSecs == -1 ? 1000 : MSecs, sound::kSampleRate));
}

double PlaybackDivisor(double M) {
    const double e = std::nearbyint(1000.0 * M);
    if (e <= 1) return 0.01;
    if (e <= 19) return 0.1;
    if (e <= 350) return 1.0;
    if (e <= 3000) return 10.0;
    if (e <= 19999) return 100.0;
    if (e <= 200000) return 1000.0;
    return 10000.0;
}

TonePlan PlanSpectrumPlayback(const TSpectrumRecord& rec, double xMin, double xMax, const TDisplayState& display) {
    TonePlan plan;
    const int32_t n = rec.PointCount();
    if (n < 1 || rec.StepX == 0.0 || !std::isfinite(rec.StepX)) return plan;
    int32_t lo = SpecIndexOfX(rec, xMin, display), hi = SpecIndexOfX(rec, xMax, display);
    if (lo > hi) std::swap(lo, hi);
    plan.Lo = lo;
    plan.Hi = hi;
    double M = 0.0;
    for (int32_t i = lo; i <= hi; ++i) M = std::max(M, SpecYValue(rec, i, display));
    plan.Divisor = PlaybackDivisor(M);
    const double seconds = std::nearbyint((hi - lo) * std::fabs(rec.StepX) * 1.15 / 50.0);
    plan.StartText = "In roughly " + std::to_string(static_cast<long long>(seconds)) +
                     " sec this awfoul sounds will stop finally! ";

    auto freqOf = [&](int32_t i) {
        const double f = std::nearbyint(std::fabs(SpecYValue(rec, i, display)) * 15000.0 / plan.Divisor);
        return static_cast<uint16_t>(std::clamp(f, static_cast<double>(kLowestToneHz),
                                                static_cast<double>(kHighestToneHz)));
    };
    if (hi <= lo) return plan;
    uint16_t current = freqOf(lo);
    int32_t count = 1;
    for (int32_t i = lo + 1; i < hi; ++i) {
        const uint16_t f = freqOf(i);
        if (f == current) {
            ++count;
            continue;
        }
        plan.Tones.push_back({current, DurationMs(rec.StepX, count)});
        current = f;
        count = 1;
    }
    if (count > 1) plan.Tones.push_back({current, DurationMs(rec.StepX, count)});
    return plan;
}

bool PlaySpectrum(const TSpectrumRecord& rec, double xMin, double xMax, const TDisplayState& display) {
    const TonePlan plan = PlanSpectrumPlayback(rec, xMin, xMax, display);
    if (plan.StartText.empty()) return true;
    sound::Output out(sound::kSampleRate);
    if (!out.Opened()) {
        ui::setStatus(1, kNoSoundDeviceText);
        return false;
    }
    ui::setStatus(1, plan.StartText);
    constexpr long long kPiece = sound::kSampleRate;  // one second per write
    for (const Tone& t : plan.Tones) {
        const long long total = static_cast<long long>(sound::kSampleRate) * t.MSecs / 1000;
        for (long long first = 0; first < total; first += kPiece)
            out.Write(ToneSamplesAt(t.Freq, first, std::min(kPiece, total - first), sound::kSampleRate));
    }
    ui::setStatus(1, "Task accomplished!");
    return true;
}
