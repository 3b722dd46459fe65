#include "formats/resample.h"

#include <cmath>

#include "platform/errors.h"

namespace {

// Through (xa, ya) and (xb, yb), taken from (xb, yb); a vertical pair gives ya.
inline double interpolate(double x, double xa, double ya, double xb, double yb) {
    if (xa == xb) return ya;
    double slope = (yb - ya) / (xb - xa);
    return yb + slope * (x - xb);
}

}  // namespace

void ResampleOntoGrid(std::span<const double> xs, std::span<const double> ys, double x0, double step,
                      int32_t n, std::vector<double>& out) {
    const std::size_t m = xs.size();
    if (m < 2 || ys.size() != m) throw vx::ListIndexError(static_cast<long long>(m));
    constexpr double kTolerance = 1e-10;
    const std::size_t last = m - 2;  // highest index whose pair still has a right neighbour
    out.reserve(out.size() + static_cast<std::size_t>(n > 0 ? n : 0));
    for (int32_t i = 0; i < n; ++i) {
        const double x = i * step + x0;
        std::size_t j = static_cast<std::size_t>(i) < m ? static_cast<std::size_t>(i) : m - 1;
        double y;
        if (x - xs[j] > kTolerance) {
            if (j > last) j = last;
            while (j < last && x > xs[j + 1]) ++j;
            y = interpolate(x, xs[j], ys[j], xs[j + 1], ys[j + 1]);
        } else if (xs[j] - x > kTolerance) {
            while (j > 0 && x < xs[j]) --j;
            if (j > last) j = last;
            y = interpolate(x, xs[j], ys[j], xs[j + 1], ys[j + 1]);
        } else {
            y = ys[j];
        }
        out.push_back(y);
    }
}
