#pragma once
// Synthetic noise for the spike and scatter repairs: one seedable pseudo-random generator, Gaussian
// numbers by the polar method, and the mean and sample standard deviation of a set of values.
#include <cstdint>
#include <span>

// Restarts the generator from a seed, so that a repair can be repeated exactly (tests).
void SeedNoise(uint64_t seed);
// Uniform in [0, 1).
double NoiseUniform();
// Gaussian number of the given mean and standard deviation (polar method); sd 0 gives the mean.
double GaussRandom(double mean, double sd);

struct MeanAndSd {
    double mean = 0.0;
    double sd = 0.0;
};
// Mean and sample standard deviation (divisor n - 1); sd is 0 for fewer than 2 values, the mean 0
// for none.
MeanAndSd MeanAndStdDev(std::span<const double> values);
