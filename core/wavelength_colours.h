#pragma once
// Colours of visible wavelengths, optionally dimmed by a spectrum's intensity there, and the layout of
// the spectroscope strip (column colours, ticks and labels) that the app paints.
#include <cstdint>
#include <vector>

#include "core/display_state.h"
#include "core/spectrum_record.h"

struct Rgb {
    uint8_t R = 0, G = 0, B = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Colour of wavelength w (nm): the visible hues from 380 to 780 nm with their intensity fall-off at
// both ends, grey (0.75) in Grey mode, black outside. With a spectrum, the colour is dimmed by the
// spectrum's value at w in `display` (transmittance, absorbance or intensity display; the spectrum is
// read at w as a display x). Components are round(255 · (c·k)^0.8) with c·k clamped to 0..1.
Rgb WavelengthToRgb(TSpectrumRecord* spectrum, bool Grey, double Wavelength, const TDisplayState& display);
// Colour value 0x00BBGGRR of a wavelength without spectrum, not grey.
uint32_t WavelengthToColor(double Wavelength);

struct StripTick {
    int32_t X = 0;      // column of the tick line
    int32_t Label = 0;  // wavelength printed above it
    Rgb Color;          // white, red between 470 and 600 nm (white in Grey mode)
};

struct SpectroscopeStripLayout {
    double Start = 390.0;  // wavelength of column 0
    double End = 750.0;    // wavelength at the right edge
    std::vector<Rgb> Columns;      // one colour per column
    std::vector<StripTick> Ticks;  // empty without labels
    int32_t LineTop = 0;           // first row of the tick lines (they run to the bottom row)
};

// The strip for an image of Width x Height: 390..750 nm left to right, or 760 down to 400 nm when the
// plot's x axis is reversed; ticks every TickStep nm (only when Labels is on and TickStep > 5), none
// before the strip's start. `spectrum` (may be null) dims the colours as in WavelengthToRgb.
SpectroscopeStripLayout LayoutSpectroscopeStrip(int32_t Width, int32_t Height, bool Labels, int32_t TickStep,
                                                bool Grey, TSpectrumRecord* spectrum, const TDisplayState& display,
                                                bool ReversedX);
