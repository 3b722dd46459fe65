#pragma once
// The colour map's 256-entry colour table and the rule that turns a value into a palette index.
#include <array>
#include <cmath>
#include <cstdint>

#include "app/plot/pcolor/pcolor_types.h"

// Colours are 0x00BBGGRR (red in the low byte), as everywhere in the program.
using TColorTable = std::array<uint32_t, 256>;
using TUserColorTable = std::array<uint32_t, kMaxNumbCol>;

inline constexpr uint32_t RGBColor(int r, int g, int b) {
    return static_cast<uint32_t>(r & 0xFF) | (static_cast<uint32_t>(g & 0xFF) << 8) |
           (static_cast<uint32_t>(b & 0xFF) << 16);
}
inline constexpr int RedOf(uint32_t c) { return static_cast<int>(c & 0xFF); }
inline constexpr int GreenOf(uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
inline constexpr int BlueOf(uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }

struct TColorTableRequest {
    TColorMaps Map = cmSpectr;
    int N = 64;                       // NumbCol, 2..252
    uint32_t MinValue = 0x000000;     // ends of cmLine
    uint32_t MaxValue = 0xFFFFFF;
    uint32_t ImageFon = 0xC0C0C0;     // entry 0 (already resolved to RGB)
    uint32_t Lower = 0xFF0000;        // entry 253
    uint32_t Higher = 0x0000FF;       // entry 254
    uint32_t Contour = 0x000000;      // entry 255
    const TUserColorTable* User = nullptr;  // cmUser; black without one
    uint32_t RandomSeed = 0;          // cmRandom
};

TColorTable BuildColorTable(const TColorTableRequest& req);

// Value to palette index over a range: below min 253, above max 254, else Round(k * (v - min)) + 1
// with k = (N - 1) / (max - min) (0 when equal). NaN is the background 0; +inf and -inf fall above and
// below any range.
class TIndexScale {
public:
    TIndexScale(double max, double min, int n)
        : max_(max), min_(min), k_(max == min ? 0.0 : (n - 1) / (max - min)) {}
    uint8_t operator()(double v) const {
        if (v < min_) return kIndexLower;
        if (v > max_) return kIndexHigher;
        if (!(v == v)) return kIndexBackground;
        return static_cast<uint8_t>(std::nearbyint(k_ * (v - min_)) + 1);
    }
    double Max() const { return max_; }
    double Min() const { return min_; }

private:
    double max_, min_, k_;
};
