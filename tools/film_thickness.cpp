#include "tools/film_thickness.h"

#include <cmath>
#include <memory>
#include <numbers>

#include "core/date_time.h"
#include "core/file_names.h"
#include "core/peaks.h"
#include "core/smoothing.h"
#include "core/units.h"
#include "platform/numtext.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"

using numtext::FloatFormat;

namespace {
std::string general(double v, int precision) { return numtext::FloatToStrF(v, FloatFormat::General, precision, 1); }

// The temporary smoothed copy the maxima are searched in.
std::unique_ptr<TSpectrumRecord> smoothedCopy(const TSpectrumRecord& s, const TDisplayState& display) {
    auto c = std::make_unique<TSpectrumRecord>();
    c->FileName = s.FileName;
    c->Comment1 = s.Comment1;
    c->Comment2 = s.Comment2;
    c->SpecType = s.SpecType;
    c->Solvent = s.Solvent;
    c->DateText = DateTimeToText(NowDateTime());
    c->Title = s.Title + kFilmSmoothedSuffix;
    c->ExcitationWl = s.ExcitationWl;
    c->Temperature = s.Temperature;
    c->ExposureTime = s.ExposureTime;
    c->LineStyle = s.LineStyle;
    c->LineWidth = s.LineWidth;
    c->XUnit = s.XUnit;
    c->YKind = s.YKind;
    c->SourceKind = s.SourceKind;
    c->Concentration = s.Concentration;
    c->PathLength = 1.0;
    c->FirstX = s.FirstX;
    c->StepX = s.StepX;
    const std::vector<double> v = SmoothValues(s, SmoothModePolynomial, 10, 3, display);
    c->Values.resize(v.size());
    for (std::size_t i = 0; i < v.size(); ++i) c->Values[i] = SpecYToStored(*c, v[i], display);
    return c;
}
}  // namespace

std::string FilmRangeText(double x) {
    if (!std::isfinite(x) || std::fabs(x) > 2e9) return "0";
    return numtext::IntToStr(static_cast<long long>(std::nearbyint(x)));
}

std::string FilmUnitLabel(SpecXUnit displayXUnit) { return XUnitSymbol(displayXUnit); }

TFilmThicknessResult EvaluateFilmThickness(const TSpectraList& list, const TDisplayState& display,
                                           TFilmThicknessInputs& in) {
    TFilmThicknessResult res;
    const double n = DialogFloat(in.IndexText);
    const double thetaDeg = DialogFloat(in.AngleText);
    const int32_t from = numtext::StrToInt(in.FromText);
    const int32_t to = numtext::StrToInt(in.ToText);
    if (!ValidSpectrumIndex(list, in.Spectrum)) return res;
    const double sinTheta = std::sin(thetaDeg * std::numbers::pi / 180.0);
    const double q2 = n * n - sinTheta * sinTheta;
    // n <= |sin θ| has no real root; n = 0 would divide by zero.
    if (!(n > 0.0) || !(q2 > 0.0) || !std::isfinite(q2)) {
        ui::messageBox(kFilmIndexText);
        return res;
    }
    const TSpectrumRecord& s = list[in.Spectrum];
    const std::string name = NameWithoutFolder(s.FileName);
    auto c = smoothedCopy(s, display);
    std::vector<int32_t> maxima;
    FindPeaksAbs(*c, 0, maxima, from, to, 5, display);
    res.Maxima = static_cast<int32_t>(maxima.size());
    if (maxima.size() < 2) {
        res.Memo = {kTooFewMaximaText1, kTooFewMaximaText2};
        res.Clipboard = name + "\t\t\t µm";
        return res;
    }
    // Spacings in wavenumbers, whatever the display shows.
    TDisplayState wn = display;
    wn.DisplayXUnit = SpecXWavenumber;
    std::vector<double> spacing;
    for (std::size_t k = 0; k + 1 < maxima.size(); ++k)
        spacing.push_back(std::fabs(SpecXValue(*c, maxima[k + 1], wn) - SpecXValue(*c, maxima[k], wn)));
    double mean = 0.0;
    for (double v : spacing) mean += v;
    mean /= static_cast<double>(spacing.size());
    double sigma = 0.0;
    if (spacing.size() >= 2) {
        double ss = 0.0;
        for (double v : spacing) ss += (v - mean) * (v - mean);
        sigma = std::sqrt(ss / static_cast<double>(spacing.size() - 1));
    }
    const double q = 2.0 * std::sqrt(q2);
    if (!(mean > 0.0)) {
        res.Memo = {kTooFewMaximaText1, kTooFewMaximaText2};
        res.Clipboard = name + "\t\t\t µm";
        return res;
    }
    res.Evaluated = true;
    res.Thickness = 10000.0 / (q * mean);
    res.StdDev = 10000.0 * sigma / (mean * mean * q);

    res.Memo.push_back("filepath: " + FolderOf(s.FileName));
    res.Memo.push_back("filename: " + name);
    if (display.DisplayXUnit == SpecXNanometer)
        res.Memo.push_back("range:   " + numtext::IntToStr(from) + " - " + numtext::IntToStr(to) + " nm");
    else if (display.DisplayXUnit == SpecXWavenumber)
        res.Memo.push_back("range:   " + numtext::IntToStr(to) + " - " + numtext::IntToStr(from) + " cm^-1");
    res.Memo.push_back("refractive index: " + numtext::FloatToStr(n));
    res.Memo.push_back("incidence angle: " + numtext::FloatToStr(thetaDeg) + "°");
    res.Memo.push_back("no. of evaluated maxima: " + numtext::IntToStr(res.Maxima));
    res.Memo.push_back("");
    res.Memo.push_back("=>  film thickness:  " + general(res.Thickness, 4) + " µm  <=");
    if (res.Maxima > 2) res.Memo.push_back("Std.Dev. film thickness: " + general(res.StdDev, 1) + " µm");
    res.Clipboard = name + "\t" + general(res.Thickness, 4) + "\t" + general(res.StdDev, 1) + "\t µm";
    return res;
}
