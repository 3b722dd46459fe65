#pragma once
// Resampling of x/y pairs onto the equidistant grid that a spectrum record needs. Every text reader uses
// this one routine, so all of them bracket and interpolate the same way.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Appends to `out` the y values at x0 + i * step for i = 0 .. n-1, linearly interpolated between the two
// pairs that bracket each grid point. The search for the bracket starts at pair i and walks from there,
// so pairs roughly in step with the grid cost almost nothing; a grid point within 1e-10 of that pair
// takes the pair's own y. The bracket never leaves pairs 0 .. m-2, so a grid point a rounding error
// beyond the last pair is extrapolated from the last two pairs instead of reading past them.
// Needs at least two pairs (xs and ys of equal size).
void ResampleOntoGrid(std::span<const double> xs, std::span<const double> ys, double x0, double step,
                      int32_t n, std::vector<double>& out);
