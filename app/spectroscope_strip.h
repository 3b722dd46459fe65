#pragma once
// Paints the spectroscope strip (the visible range as a hand spectroscope shows it, optionally as a
// chosen spectrum looks through it) with its ticks and labels onto a 24-bit image.
#include <cstdint>

#include "core/display_state.h"
#include "core/spectrum_record.h"

class QImage;

// Labels and ticks every TickStep nm when Labels is on and TickStep > 5; `spectrum` (null for none) as
// it looks in `display`; ReversedX when the plot's x axis runs from right to left.
void DrawSpectroscopeImage(QImage& Bitmap, bool Labels, int32_t TickStep, bool Grey, TSpectrumRecord* spectrum,
                           const TDisplayState& display, bool ReversedX);
