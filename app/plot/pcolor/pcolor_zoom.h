#pragma once
// The colour map's zoom window, the pixel-to-data conversion and what a mouse release means.
#include "app/plot/pcolor/pcolor_types.h"

inline constexpr double kMaxZoom = 1000000.0;

// The whole extent at factors 1.
TPColorWindow FullWindow(const TAxesExtent& axes);

// Factors are taken as absolute values within 1..1e6; the centre moves so that the window stays inside
// the axes. False (window unchanged) when factors and edges stay as they are.
bool SetZoom(TPColorWindow& w, const TAxesExtent& axes, double cx, double cy, double fx, double fy);
// Zoom to a rectangle in data units (corners clamped into the axes; equal ends give factor 1e6).
bool ZoomRect(TPColorWindow& w, const TAxesExtent& axes, double x1, double y1, double x2, double y2);

struct TDataPoint {
    double X = 0.0, Y = 0.0;
    bool Inside = false;  // the pixel lay within the image
};
// A control pixel as data: the point is clamped into the image first; a one-pixel-wide (or -high)
// image gives the axes' minimum.
TDataPoint PixelToData(int x, int y, const TPixelRect& image, const TPColorWindow& w, const TAxesExtent& axes);

enum class TMouseButton { Left, Right, Middle };

struct TMouseRelease {
    TMouseButton Button = TMouseButton::Left;  // the button released
    bool LeftHeld = false, RightHeld = false;  // buttons still down after the release
    bool Shift = false, Alt = false, Ctrl = false;
    int StartX = 0, StartY = 0, EndX = 0, EndY = 0;  // the drag start and end
    bool ReleaseInside = false;                      // the release point lies in the image
    int HalfClickW = 2, HalfClickH = 2;              // half the double-click distances
};

enum class TZoomGesture { None, Reset, Rect, Centre, In, Out };

// Both buttons: reset; a drag beyond the click distances (no key held): zoom to its rectangle; a click
// inside the image: Shift+left centres, left zooms in, right zooms out; Alt or Ctrl clicks do nothing.
TZoomGesture ClassifyRelease(const TMouseRelease& m);
