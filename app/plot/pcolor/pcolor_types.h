#pragma once
// Plain value types of the colour map: its enumerations, the data extent of the axes, the visible
// (zoom) window and pixel rectangles.
#include <cstdint>

enum TColorMaps { cmLine, cmSpectr, cmRandom, cmUser };
enum TDrawTypes { dtFlat, dtInterp, dtContour, dtInterpContour };
enum TImageModes { imNormal, imGradient };
enum TScrollBarKind { sbHorizontal, sbVertical };

// The full data extent of the axes; the grid nodes are evenly spaced over it.
struct TAxesExtent {
    double XMin = 0.0, XMax = 100.0;
    double YMin = 0.0, YMax = 100.0;
};

// The visible part of the axes (data units) with its centre and zoom factors (1 = the whole extent).
struct TPColorWindow {
    double Left = 0.0, Right = 100.0;
    double Top = 100.0, Bottom = 0.0;
    double CentreX = 50.0, CentreY = 50.0;
    double ZoomX = 1.0, ZoomY = 1.0;
};

// A pixel rectangle of the control: Left, Top inclusive, Width x Height pixels.
struct TPixelRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    int Right() const { return Left + Width; }    // first column past the rectangle
    int Bottom() const { return Top + Height; }   // first row past the rectangle
    bool Empty() const { return Width <= 0 || Height <= 0; }
    bool operator==(const TPixelRect&) const = default;
};

// Keeps a data value inside [lo, hi]; NaN goes to lo.
inline double ClampInto(double v, double lo, double hi) {
    if (!(v >= lo)) return lo;
    return v > hi ? hi : v;
}

// The four palette entries beyond the colour scale.
inline constexpr uint8_t kIndexBackground = 0;
inline constexpr uint8_t kIndexLower = 253;
inline constexpr uint8_t kIndexHigher = 254;
inline constexpr uint8_t kIndexContour = 255;
inline constexpr int kMaxNumbCol = 252;
