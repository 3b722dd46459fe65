#include "formats/resample.h"

#include <algorithm>
#include <cmath>

#include "formats/binary_values.h"
#include "platform/errors.h"

namespace {

constexpr double kTolerance = 1e-10;

// Grid point i, computed in one place so that every test of a pair against it sees the same value.
inline double gridX(int32_t i, double x0, double step) { return i * step + x0; }

// Through (xa, ya) and (xb, yb), taken from (xb, yb); a vertical pair gives ya.
inline double interpolate(double x, double xa, double ya, double xb, double yb) {
    if (xa == xb) return ya;
    double slope = (yb - ya) / (xb - xa);
    return yb + slope * (x - xb);
}

// The first j' from j on (at most `last`) with x <= xs[j' + 1]: what a step-by-step walk upwards
// finds. Strides double and a bisection ends the search, so pairs crowded far from their grid points,
// or pairs out of order, cost a logarithm per grid point rather than the whole table.
inline std::size_t walkUp(std::span<const double> xs, double x, std::size_t j, std::size_t last) {
    if (j >= last || !(x > xs[j + 1])) return j;
    std::size_t lo = j, hi = last, stride = 1;  // x > xs[lo + 1]; hi is where the walk stops at the latest
    while (stride < last - lo) {
        const std::size_t probe = lo + stride;
        if (!(x > xs[probe + 1])) {
            hi = probe;
            break;
        }
        lo = probe;
        stride *= 2;
    }
    while (hi - lo > 1) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (x > xs[mid + 1])
            lo = mid;
        else
            hi = mid;
    }
    return hi;
}

// The last j' down from j (at least 0) with x >= xs[j']: what a step-by-step walk downwards finds.
inline std::size_t walkDown(std::span<const double> xs, double x, std::size_t j) {
    if (j == 0 || !(x < xs[j])) return j;
    std::size_t hi = j, lo = 0, stride = 1;  // x < xs[hi]; lo is where the walk stops at the latest
    while (stride < hi) {
        const std::size_t probe = hi - stride;
        if (!(x < xs[probe])) {
            lo = probe;
            break;
        }
        hi = probe;
        stride *= 2;
    }
    while (hi - lo > 1) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (x < xs[mid])
            hi = mid;
        else
            lo = mid;
    }
    return lo;
}

}  // namespace

void ToRisingPairs(std::span<double> xs, std::span<double> ys) {
    if (xs.size() >= 2 && xs.front() > xs.back()) {
        std::reverse(xs.begin(), xs.end());
        std::reverse(ys.begin(), ys.end());
    }
}

void ResampleOntoGrid(std::span<const double> xs, std::span<const double> ys, double x0, double step,
                      int32_t n, std::vector<double>& out) {
    const std::size_t m = xs.size();
    if (m < 2 || ys.size() != m) throw vx::ListIndexError(static_cast<long long>(m));
    const std::size_t last = m - 2;  // highest index whose pair still has a right neighbour
    binvalues::ReserveFaultedIn(out, static_cast<std::size_t>(n > 0 ? n : 0));
    for (int32_t i = 0; i < n; ++i) {
        const double x = gridX(i, x0, step);
        std::size_t j = static_cast<std::size_t>(i) < m ? static_cast<std::size_t>(i) : m - 1;
        double y;
        if (x - xs[j] > kTolerance) {
            if (j > last) j = last;
            j = walkUp(xs, x, j, last);
            y = interpolate(x, xs[j], ys[j], xs[j + 1], ys[j + 1]);
        } else if (xs[j] - x > kTolerance) {
            j = walkDown(xs, x, j);
            if (j > last) j = last;
            y = interpolate(x, xs[j], ys[j], xs[j + 1], ys[j + 1]);
        } else {
            y = ys[j];
        }
        out.push_back(y);
    }
}

void TrimRoom(std::vector<double>& list) {
    if (list.capacity() - list.size() > list.size() / 8) list.shrink_to_fit();
}

void ResampleInPlace(std::span<const double> xs, std::vector<double>& ys, double x0, double step) {
    const std::size_t m = xs.size();
    if (m < 2 || ys.size() != m) throw vx::ListIndexError(static_cast<long long>(m));
    // The test ResampleOntoGrid makes first for grid point i against pair i; passed by every point,
    // each takes its pair's own y.
    bool own = true;
    for (std::size_t i = 0; i < m && own; ++i) {
        const double x = gridX(static_cast<int32_t>(i), x0, step);
        own = !(x - xs[i] > kTolerance) && !(xs[i] - x > kTolerance);
    }
    if (own) {
        TrimRoom(ys);
        return;
    }
    std::vector<double> out;
    ResampleOntoGrid(xs, ys, x0, step, static_cast<int32_t>(m), out);
    ys = std::move(out);
}

bool MovePairsOntoGrid(PairColumns& pairs, TSpectrumRecord& rec) {
    std::vector<double>& xs = pairs.xs;
    std::vector<double>& ys = pairs.ys;
    const std::size_t n = xs.size();
    if (n < 2 || ys.size() != n) return false;
    ToRisingPairs(xs, ys);
    const double first = xs.front();
    const double step = (xs.back() - first) / static_cast<double>(n - 1);
    if (!std::isfinite(first) || !std::isfinite(step) || step == 0.0) return false;
    ResampleInPlace(xs, ys, first, step);
    rec.FirstX = first;
    rec.StepX = step;
    rec.Values = std::move(ys);
    return true;
}
