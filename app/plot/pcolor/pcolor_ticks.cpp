#include "app/plot/pcolor/pcolor_ticks.h"

#include <cmath>

#include "platform/numtext.h"

std::vector<double> AxisTicks(double lo, double hi, int maxCount) {
    std::vector<double> ticks;
    if (!std::isfinite(lo) || !std::isfinite(hi)) return ticks;
    if (lo > hi) std::swap(lo, hi);
    const double span = hi - lo;
    if (!(span > 0)) {
        ticks.push_back(lo);
        return ticks;
    }
    if (maxCount < 2) maxCount = 2;
    const double raw = span / maxCount;
    const double mag = std::pow(10.0, std::floor(std::log10(raw)));
    double step = mag;
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        step = m * mag;
        if (span / step <= maxCount) break;
    }
    const double first = std::ceil(lo / step - 1e-9) * step;
    for (double v = first; v <= hi + step * 1e-9 && ticks.size() < 1000; v = first + step * static_cast<double>(ticks.size()))
        ticks.push_back(std::fabs(v) < step * 1e-9 ? 0.0 : v);
    return ticks;
}

std::string TickText(double value, double step) {
    if (std::fabs(value) < std::fabs(step) * 1e-9) value = 0.0;
    return numtext::FloatToStrF(value, numtext::FloatFormat::General, 6, 0);
}

int XPixel(double x, const TPixelRect& im, const TPColorWindow& w) {
    return im.Left + static_cast<int>(std::lround((x - w.Left) / (w.Right - w.Left) * (im.Width - 1)));
}

int YPixel(double y, const TPixelRect& im, const TPColorWindow& w) {
    return im.Top + static_cast<int>(std::lround((w.Top - y) / (w.Top - w.Bottom) * (im.Height - 1)));
}

int BarPixel(double v, double max, double min, int n, const TPixelRect& bar, bool vertical) {
    const double k = max == min ? 0.0 : (n - 1) / (max - min);
    const double cell = k * (v - min);  // 0 at the centre of entry 1, n - 1 at the centre of entry n
    const double u = (vertical ? bar.Height : bar.Width) / (n + 2.0);
    if (vertical) return bar.Top + static_cast<int>(std::lround((n + 0.5 - cell) * u));
    return bar.Left + static_cast<int>(std::lround((cell + 1.5) * u));
}
