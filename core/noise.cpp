#include "core/noise.h"

#include <cmath>
#include <random>

namespace {

std::mt19937_64& Engine() {
    static std::mt19937_64 engine(0x5eed5eedULL);
    return engine;
}

}  // namespace

void SeedNoise(uint64_t seed) { Engine().seed(seed); }

double NoiseUniform() {
    // 53 random bits: exactly uniform on the doubles of [0, 1).
    return static_cast<double>(Engine()() >> 11) * 0x1.0p-53;
}

double GaussRandom(double mean, double sd) {
    if (sd == 0.0) return mean;
    double u1, u2, s;
    do {
        u1 = 2.0 * NoiseUniform() - 1.0;
        u2 = 2.0 * NoiseUniform() - 1.0;
        s = u1 * u1 + u2 * u2;
    } while (s >= 1.0 || s == 0.0);
    return mean + sd * u1 * std::sqrt(-2.0 * std::log(s) / s);
}

MeanAndSd MeanAndStdDev(std::span<const double> values) {
    MeanAndSd r;
    const std::size_t n = values.size();
    if (n == 0) return r;
    long double sum = 0.0L;
    for (double v : values) sum += v;
    const long double mean = sum / n;
    r.mean = static_cast<double>(mean);
    if (n < 2) return r;
    long double sq = 0.0L;
    for (double v : values) sq += (v - mean) * (v - mean);
    r.sd = static_cast<double>(std::sqrt(sq / (n - 1)));
    return r;
}
