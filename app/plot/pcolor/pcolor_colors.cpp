#include "app/plot/pcolor/pcolor_colors.h"

#include <algorithm>
#include <random>

namespace {

int Channel(double v) { return std::clamp(static_cast<int>(std::nearbyint(v)), 0, 255); }

// Blue through cyan, green and yellow to red in five segments of the scale. Each step is multiplied
// by 1020 before the division by N: the product is exact (q has at most three binary places), so a
// channel that lies on a half rounds to its even neighbour, whereas a precomputed 1020 / N would
// carry its own rounding error and tip such halves either way (N = 50: 127.5 must give 128).
uint32_t Spectral(int i, int n) {
    const double q = n / 8.0;
    auto s = [n](double steps) { return steps * 1020.0 / n; };
    if (i <= static_cast<int>(q)) return RGBColor(0, 0, Channel(127 + std::nearbyint(s(i))));
    if (i <= static_cast<int>(3 * q)) return RGBColor(0, Channel(s(i - q)), 255);
    if (i <= static_cast<int>(5 * q)) return RGBColor(Channel(s(i - 3 * q)), 255, Channel(s(5 * q - i)));
    if (i <= static_cast<int>(7 * q)) return RGBColor(255, Channel(s(7 * q - i)), 0);
    return RGBColor(Channel(s(9 * q - i)), 0, 0);
}

}  // namespace

TColorTable BuildColorTable(const TColorTableRequest& req) {
    TColorTable t{};
    const int n = std::clamp(req.N, 2, kMaxNumbCol);
    std::mt19937 random(req.RandomSeed);
    std::uniform_int_distribution<int> channel(0, 254);
    for (int i = 1; i <= n; ++i) {
        uint32_t c = 0;
        switch (req.Map) {
        case cmLine: {
            auto mix = [&](int lo, int hi) { return lo + static_cast<int>(std::nearbyint((hi - lo) * (i - 1.0) / (n - 1))); };
            c = RGBColor(mix(RedOf(req.MinValue), RedOf(req.MaxValue)), mix(GreenOf(req.MinValue), GreenOf(req.MaxValue)),
                         mix(BlueOf(req.MinValue), BlueOf(req.MaxValue)));
            break;
        }
        case cmSpectr:
            c = Spectral(i, n);
            break;
        case cmRandom: {
            const int r = channel(random), g = channel(random), b = channel(random);
            c = RGBColor(r, g, b);
            break;
        }
        case cmUser:
            c = req.User ? (*req.User)[static_cast<std::size_t>(i - 1)] & 0xFFFFFF : 0;
            break;
        }
        t[static_cast<std::size_t>(i)] = c;
    }
    t[kIndexBackground] = req.ImageFon & 0xFFFFFF;
    t[kIndexLower] = req.Lower & 0xFFFFFF;
    t[kIndexHigher] = req.Higher & 0xFFFFFF;
    t[kIndexContour] = req.Contour & 0xFFFFFF;
    return t;
}
