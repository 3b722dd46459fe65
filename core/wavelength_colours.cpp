#include "core/wavelength_colours.h"

#include <algorithm>
#include <cmath>

#include "core/units.h"

namespace {

uint8_t Component(double c, double k) {
    if (c == 0.0) return 0;
    const double v = std::clamp(c * k, 0.0, 1.0);
    if (v == 0.0) return 0;
    return static_cast<uint8_t>(std::nearbyint(255.0 * std::pow(v, 0.8)));
}

}  // namespace

Rgb WavelengthToRgb(TSpectrumRecord* spectrum, bool Grey, double w, const TDisplayState& display) {
    const double f = std::trunc(w);
    double r = 0.0, g = 0.0, b = 0.0;
    if (Grey) {
        r = g = b = 0.75;
    } else if (f >= 380 && f <= 439) {
        r = (440.0 - w) / 60.0;
        b = 1.0;
    } else if (f >= 440 && f <= 489) {
        g = (w - 440.0) / 50.0;
        b = 1.0;
    } else if (f >= 490 && f <= 509) {
        g = 1.0;
        b = (510.0 - w) / 20.0;
    } else if (f >= 510 && f <= 579) {
        r = (w - 510.0) / 70.0;
        g = 1.0;
    } else if (f >= 580 && f <= 644) {
        r = 1.0;
        g = (645.0 - w) / 65.0;
    } else if (f >= 645 && f <= 780) {
        r = 1.0;
    }
    double k = 0.0;
    if (f >= 380 && f <= 419)
        k = 0.3 + 0.7 * (w - 380.0) / 40.0;
    else if (f >= 420 && f <= 700)
        k = 1.0;
    else if (f >= 701 && f <= 780)
        k = 0.3 + 0.7 * (780.0 - w) / 80.0;

    if (spectrum != nullptr) {
        const double v = SpecYAtX(*spectrum, w, display);
        switch (display.DisplayYMode) {
        case SpecYTransmittance:
            if (v > 0.0) k *= v;
            break;
        case SpecYAbsorbance:
            if (spectrum->YKind == SpecYIntensity)
                k = v > 0.0 ? k * v : 0.0;
            else if (v > 0.0)
                k *= Pow10Ext(-v);
            break;
        case SpecYIntensity: k = v > 0.0 ? k * v : 0.0; break;
        default: break;
        }
    }
    return Rgb{Component(r, k), Component(g, k), Component(b, k)};
}

uint32_t WavelengthToColor(double Wavelength) {
    const Rgb c = WavelengthToRgb(nullptr, false, Wavelength, TDisplayState{});
    return static_cast<uint32_t>(c.R) | (static_cast<uint32_t>(c.G) << 8) | (static_cast<uint32_t>(c.B) << 16);
}

SpectroscopeStripLayout LayoutSpectroscopeStrip(int32_t Width, int32_t Height, bool Labels, int32_t TickStep,
                                                bool Grey, TSpectrumRecord* spectrum, const TDisplayState& display,
                                                bool ReversedX) {
    SpectroscopeStripLayout s;
    if (ReversedX) {
        s.Start = 760.0;
        s.End = 400.0;
    }
    Width = std::max(Width, 0);
    s.Columns.resize(static_cast<std::size_t>(Width));
    for (int32_t p = 0; p < Width; ++p)
        s.Columns[p] = WavelengthToRgb(spectrum, Grey, s.Start + (s.End - s.Start) * p / Width, display);
    s.LineTop = Height * 92 / 100;
    if (!Labels || TickStep <= 5 || Width <= 0) return s;
    const int32_t dir = s.End > s.Start ? 1 : -1;
    auto passed = [&](int32_t t) { return dir > 0 ? t > s.End : t < s.End; };
    auto before = [&](int32_t t) { return dir > 0 ? t < s.Start : t > s.Start; };
    for (int32_t t = static_cast<int32_t>(std::nearbyint(s.Start)) / TickStep * TickStep; !passed(t);
         t += dir * TickStep) {
        if (before(t)) continue;
        StripTick tick;
        tick.X = static_cast<int32_t>(std::nearbyint(Width * (t - s.Start) / (s.End - s.Start)));
        tick.Label = t;
        tick.Color = (!Grey && t >= 470 && t <= 600) ? Rgb{255, 0, 0} : Rgb{255, 255, 255};
        s.Ticks.push_back(tick);
    }
    return s;
}
