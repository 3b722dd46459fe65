#include "tools/peak_table.h"

#include <algorithm>
#include <cmath>

#include "core/peaks.h"
#include "core/units.h"
#include "platform/numtext.h"

using numtext::FloatFormat;
using numtext::FloatToStrF;

namespace {

std::string xTitle(const TDisplayState& display, const TSpectrumRecord& rec) {
    switch (display.DisplayXUnit) {
        case SpecXWavenumber: return rec.XUnit == SpecXRamanShift ? "Raman shift [1/cm]\t" : "wavenumber [1/cm]\t";
        case SpecXElectronVolt: return "electron volts [eV]\t";
        case SpecXMicrometer: return "wavelength [µm]\t";
        default: return "wavelength [nm]\t";
    }
}

std::string yTitle(const TDisplayState& display, const TSpectrumRecord& rec) {
    switch (display.DisplayYMode) {
        case SpecYTransmittance: return "transmittance";
        case SpecYEpsilon: return "molar absorption coefficient [l/(mol*cm)]";
        case SpecYLogEpsilon: return "log(Epsilon)";
        case SpecYIntensity: return "intensity";
        case SpecYReflectance: return "reflectance";
        default: return rec.YKind == SpecYIntensity ? "intensity" : "absorbance";
    }
}

std::string fwhmTitle(const TDisplayState& display) {
    switch (display.DisplayXUnit) {
        case SpecXWavenumber: return "FWHM [1/cm]";
        case SpecXElectronVolt: return "FWHM [eV]";
        case SpecXMicrometer: return "FWHM [µm]";
        default: return "FWHM [nm]";
    }
}

}  // namespace

std::vector<std::string> BuildPeakTable(const TDisplayState& display, TSpectrumRecord& rec, bool inverted,
                                        double thresholdPercent, double visibleMin, double visibleMax) {
    std::vector<std::string> lines = {"Spectrum: " + rec.Title.str(), "",
                                      xTitle(display, rec) + yTitle(display, rec) + "\t" + fwhmTitle(display)};
    const int32_t n = rec.PointCount();
    if (n < 2) return lines;
    double lo = visibleMin, hi = visibleMax;
    if (display.DisplayXUnit == SpecXNanometer || display.DisplayXUnit == SpecXMicrometer) {
        lo = std::max(lo, SpecXValue(rec, 1, display));
        hi = std::min(hi, SpecXValue(rec, n - 1, display));
    } else {
        // x falls with the index in 1/cm and eV.
        hi = std::min(hi, SpecXValue(rec, 1, display));
        lo = std::max(lo, SpecXValue(rec, n - 1, display));
    }
    std::vector<int32_t> peaks;
    if (inverted) FindPeaksTrans(rec, peaks, lo, hi, thresholdPercent, display);
    else FindPeaksAbs(rec, 0, peaks, lo, hi, thresholdPercent, display);

    const std::size_t count = peaks.size();
    for (std::size_t k = 0; k < count; ++k) {
        const int32_t i = peaks[k];
        const double x = SpecXValue(rec, i, display);
        bool showWidth = count == 1;
        if (!showWidth) {
            // Neighbours closer than the half width share their flanks: no width for either.
            const double h = SpecHalfWidthAbs(rec, i, display);
            showWidth = true;
            if (k > 0 && !(std::fabs(x - SpecXValue(rec, peaks[k - 1], display)) > h)) showWidth = false;
            if (k + 1 < count && !(std::fabs(SpecXValue(rec, peaks[k + 1], display) - x) > h))
                showWidth = false;
        }
        std::string width = "--";
        if (showWidth)
            width = FloatToStrF(
                inverted ? SpecHalfWidthTrans(rec, i, display) : SpecHalfWidthAbs(rec, i, display),
                FloatFormat::General, 5, 1);
        lines.push_back(FloatToStrF(x, FloatFormat::General, 5, 1) + "\t\t" +
                        FloatToStrF(SpecYValue(rec, i, display), FloatFormat::Fixed, 4, 4) + "\t\t" + width);
    }
    return lines;
}

std::string PeakTableClipboardText(const std::vector<std::string>& lines) {
    std::string text;
    for (std::string line : lines) {
        for (auto p = line.find("Spectrum: "); p != std::string::npos; p = line.find("Spectrum: "))
            line.erase(p, 10);
        for (auto p = line.find("\t\t"); p != std::string::npos; p = line.find("\t\t", p + 1))
            line.replace(p, 2, "\t");
        text += line + "\r\n";
    }
    return text;
}
