#include "formats/dat_writer.h"

#include <algorithm>
#include <cmath>

#include "core/helpers.h"
#include "core/units.h"
#include "formats/file_writer.h"
#include "platform/numtext.h"
#include "platform/ui.h"

namespace {

using numtext::FloatFormat;

// More lines than any plot range needs; a step this fine is a mistake, not a wish.
constexpr long long kMaxLines = 10'000'000;

std::string fixed(double v, int digits) { return numtext::FloatToStrF(v, FloatFormat::Fixed, 7, digits); }

std::string header(SpecXUnit displayX) {
    switch (displayX) {
    case SpecXElectronVolt: return "Wavelength [nm]\tWavenumbers [1/cm]\tElectron Volts [eV]";
    case SpecXMicrometer: return "Wavelength [nm]\tWavelength [\xC2\xB5m]\tWavenumbers [1/cm]";
    default: return "Wavelength [nm]\tWavenumbers [1/cm]";
    }
}

// The nm column and the wavenumber column of a display x; eV reaches nm through its wavenumber, and µm
// its wavenumber through its nm.
std::string xColumns(SpecXUnit displayX, double x) {
    const auto to = [](double v, SpecXUnit from, SpecXUnit unit) {
        return ConvertX(v, from, unit, EvRoute::FromEvViaWavenumber);
    };
    switch (displayX) {
    case SpecXWavenumber: return fixed(to(x, SpecXWavenumber, SpecXNanometer), 3) + "\t" + fixed(x, 2);
    case SpecXElectronVolt:
        return fixed(to(x, SpecXElectronVolt, SpecXNanometer), 3) + "\t" +
               fixed(to(x, SpecXElectronVolt, SpecXWavenumber), 2) + "\t" + fixed(x, 4);
    case SpecXMicrometer: {
        const double nm = to(x, SpecXMicrometer, SpecXNanometer);
        return fixed(nm, 3) + "\t" + fixed(x, 4) + "\t" + fixed(to(nm, SpecXNanometer, SpecXWavenumber), 2);
    }
    default: return fixed(x, 3) + "\t" + fixed(to(x, SpecXNanometer, SpecXWavenumber), 2);
    }
}

}  // namespace

TDatText DatExportText(TSpectraList& list, const TDisplayState& display, double lower, double upper,
                       int stepChoice) {
    TDatText out;
    if (list.Empty()) {
        out.refusal = "There are no spectra to save.";
        return out;
    }
    const SpecXUnit dx = display.DisplayXUnit;

    // The smallest and the biggest step of all spectra, each with the spectrum it comes from.
    double small = std::fabs(list[0].StepX), big = small;
    int32_t smallSource = 0, bigSource = 0;
    for (int32_t i = 0; i < list.Count(); ++i) {
        const double s = std::fabs(list[i].StepX);
        if (s <= small) {
            small = s;
            smallSource = i;
        }
        if (s >= big) {
            big = s;
            bigSource = i;
        }
    }
    double step = 1.0;
    int32_t source = 0;
    if (stepChoice == 1) {
        step = small;
        source = smallSource;
    } else if (stepChoice == 2) {
        step = big;
        source = bigSource;
    }
    const TSpectrumRecord& grid = list[source];
    const SpecXUnit sourceUnit = grid.XUnit == SpecXRamanShift ? SpecXWavenumber : grid.XUnit;
    if (stepChoice != 0 && sourceUnit == SpecXMicrometer) step *= 1000.0;  // a µm step in nm
    const bool wavelengthSource = sourceUnit == SpecXNanometer || sourceUnit == SpecXMicrometer;
    const bool wavenumberSource = sourceUnit == SpecXWavenumber;

    // The mean step of the grid source in display units, whatever the direction of its data.
    const int32_t p = grid.PointCount();
    const long double meanStep =
        p >= 2 ? std::fabs(static_cast<long double>(SpecXValue(grid, p - 1, display)) - SpecXValue(grid, 0, display)) /
                     (p - 1)
               : 0.0L;

    long double st = step;
    long double lines = 0;
    const long double range = static_cast<long double>(upper) - lower;
    switch (dx) {
    case SpecXWavenumber:
        if (wavelengthSource) st = meanStep;
        if (st > 0) lines = std::trunc(range / st);
        break;
    case SpecXElectronVolt:
        st = wavelengthSource ? meanStep : step / static_cast<long double>(kWavenumberPerEv);
        if (st > 0) lines = std::trunc(range * kWavenumberPerEv / (st * kWavenumberPerEv));
        break;
    case SpecXMicrometer:
        st = wavenumberSource ? meanStep : step / 1000.0L;
        if (st > 0) lines = std::trunc(range * 1000.0L / (st * 1000.0L));
        break;
    default:
        if (wavenumberSource) st = meanStep;
        if (st > 0) lines = std::nearbyint(range / st);
        break;
    }
    if (!(st > 0) || !std::isfinite(static_cast<double>(st))) {
        out.refusal = "The data cannot be saved as DAT file: the x step of the spectra is zero.";
        return out;
    }
    if (!(lines > 0)) {
        out.refusal = "The data cannot be saved as DAT file: the plotted x range holds no data line.";
        return out;
    }
    if (lines > kMaxLines) {
        out.refusal = "The data cannot be saved as DAT file: the x step is too small for the plotted x range.";
        return out;
    }
    const bool falling = dx == SpecXWavenumber || dx == SpecXElectronVolt;

    // The x range that each spectrum covers in display units, in either direction.
    std::vector<std::pair<double, double>> cover;
    cover.reserve(static_cast<std::size_t>(list.Count()));
    for (const auto& r : list) {
        const int32_t n = r->PointCount();
        const double a = n > 0 ? SpecXValue(*r, 0, display) : 0.0, b = n > 0 ? SpecXValue(*r, n - 1, display) : 0.0;
        cover.emplace_back(n > 0 ? std::min(a, b) : 1.0, n > 0 ? std::max(a, b) : 0.0);
    }

    std::string text = header(dx);
    // A title's tab (the smoothing tools append "\t smoothed") or line break would split the header:
    // they become blanks, so that every file written reads back.
    for (const auto& r : list) text += "\t" + ControlCharsToBlanks(r->Title.str());
    text += "\r\n";
    std::string previous, line;
    const long long count = static_cast<long long>(lines);
    for (long long k = 0; k < count; ++k) {
        const double x = falling ? static_cast<double>(upper - k * st) : static_cast<double>(lower + k * st);
        line = xColumns(dx, x);
        for (int32_t i = 0; i < list.Count(); ++i) {
            line += '\t';
            const auto& [lo, hi] = cover[static_cast<std::size_t>(i)];
            if (x >= lo && x <= hi)
                line += numtext::FloatToStrF(SpecYAtX(list[i], x, display), FloatFormat::General, 4, 0);
            else
                line += '-';
        }
        if (falling && k > 0 && line == previous) continue;
        text += line;
        text += "\r\n";
        previous.swap(line);
    }
    out.text = std::move(text);
    return out;
}

bool SaveDatFile(const std::string& fileName, TSpectraList& list, const TDisplayState& display, double lower,
                 double upper, int stepChoice) {
    TDatText dat = DatExportText(list, display, lower, upper, stepChoice);
    if (!dat.refusal.empty()) {
        ui::showMessage(dat.refusal);
        return false;
    }
    WriteTextFileAnsi(fileName, dat.text);
    return true;
}
