#pragma once
// Paints the spectroscope strip (the visible range as a hand spectroscope shows it, optionally as a
// chosen spectrum looks through it) with its ticks and labels onto a 24-bit image.
#include <cstdint>

class QImage;

// Labels and ticks every TickStep nm when Labels is on and TickStep > 5; SpectrumIndex -1 for none;
// ReversedX when the plot's x axis runs from right to left.
void DrawSpectroscopeImage(QImage& Bitmap, bool Labels, int32_t TickStep, bool Grey, int32_t SpectrumIndex,
                           bool ReversedX);
