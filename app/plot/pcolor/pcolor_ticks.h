#pragma once
// Tick values of the colour map's axes and of its colour bar: round steps of 1, 2 or 5 times a power
// of ten, and where a value lies in pixels.
#include <string>
#include <vector>

#include "app/plot/pcolor/pcolor_types.h"

// Round values in [lo, hi], at most `maxCount` of them (at least one step is always tried).
std::vector<double> AxisTicks(double lo, double hi, int maxCount);
// The text of a tick value (general format, regional decimal separator); `step` keeps values that
// are zero up to rounding from showing as 1E-15.
std::string TickText(double value, double step);

// Pixel of a data x within the image: Left .. Right map to the first and last pixel column (the
// inverse of the pixel-to-data rule); data y alike, Top at the first row.
int XPixel(double x, const TPixelRect& image, const TPColorWindow& w);
int YPixel(double y, const TPixelRect& image, const TPColorWindow& w);
// Pixel of a value along the colour bar: the centre of its colour cell, continuous between cells.
int BarPixel(double v, double max, double min, int n, const TPixelRect& bar, bool vertical);
