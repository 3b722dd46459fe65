#include "tools/range_commands.h"

#include <cmath>

#include "core/helpers.h"
#include "core/peaks.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/numtext.h"
#include "tools/cut_out.h"

using numtext::FloatFormat;
using numtext::FloatToStrF;

bool RangeCommandUnitAllowed(const TDisplayState& display) {
    return display.DisplayXUnit == SpecXNanometer || display.DisplayXUnit == SpecXWavenumber;
}

std::string DisplayUnitText(const TDisplayState& display) { return CutOutUnitLabel(display.DisplayXUnit); }

namespace {

std::string rangeXText(const TDisplayState& display, double x) {
    if (RangeCommandUnitAllowed(display)) return numtext::IntToStr(static_cast<long long>(x));
    return FloatToStrF(x, FloatFormat::Fixed, 15, 4);
}

std::string general4(double v) { return FloatToStrF(v, FloatFormat::General, 4, 0); }

}  // namespace

std::string IntegrationMessage(const TDisplayState& display, TSpectrumRecord& rec, double from, double to) {
    SortPairAscending(from, to);
    const std::string unit = DisplayUnitText(display);
    std::string sumText = "--", meanText = "--";
    double sum = 0.0;
    // Ratios and other second-axis records have no integral in these units.
    if (std::isfinite(from) && std::isfinite(to)) {
        bool sumDefined = false, meanDefined = false;
        sum = SpecRangeSum(rec, from, to, &sumDefined, display);
        const double mean = SpecRangeMean(rec, from, to, &meanDefined, display);
        if (sumDefined) sumText = general4(sum);
        if (meanDefined) meanText = general4(mean);
    }
    std::string text = "Spectrum: " + rec.Title.str() + "\r\n" + "\r\n" + "integral from " +
                       rangeXText(display, from) + unit + " to " + rangeXText(display, to) + unit +
                       " is: " + sumText +
                       "\r\n" + "Average value is: " + meanText;
    if (display.DisplayXUnit == SpecXWavenumber && display.DisplayYMode == SpecYEpsilon && sumText != "--")
        text += "\r\noscillatory strength=" + general4(4.319e-9 * sum);
    return text;
}

std::optional<double> CenterOfGravity(const TDisplayState& display, TSpectrumRecord& rec, double minX,
                                      double maxX) {
    if (!std::isfinite(minX) || !std::isfinite(maxX)) return std::nullopt;
    const double lo = std::trunc(minX), hi = std::trunc(maxX);
    long double sy = 0, sxy = 0;
    for (double x = lo; x <= hi; x += 1.0) {
        const double y = SpecYAtX(rec, x, display);
        sy += y;
        sxy += static_cast<long double>(y) * x;
    }
    if (sy == 0) return std::nullopt;
    return static_cast<double>(sxy / sy);
}

std::string CenterOfGravityText(const TDisplayState& display, std::optional<double> centre) {
    std::string value = "--";
    if (centre) {
        value = FloatToStrF(*centre, FloatFormat::Fixed, 15, 2);
        while (value.size() < 5) value.insert(value.begin(), ' ');
    }
    std::string unit = DisplayUnitText(display);
    return "center of gravity: " + value + " " + unit;
}

std::string ReadoutText(const TDisplayState& display, const TSpectrumRecord& rec, double x) {
    const int32_t i = SpecIndexOfX(rec, x, display);
    return "Position: " + FloatToStrF(SpecXValue(rec, i, display), FloatFormat::General, 6, 0) + "  |  " +
           FloatToStrF(SpecYValue(rec, i, display), FloatFormat::General, display.DisplayYMode == SpecYEpsilon ? 6 : 4, 0);
}

void BaselineCorrectAll(TSpectraList& list, const TDisplayState& display, double from, double to,
                        const std::function<void(int32_t, int32_t)>& eachSpectrum) {
    const int32_t n = list.Count();
    for (int32_t i = 0; i < n && i < list.Count(); ++i) {
        if (eachSpectrum) eachSpectrum(i + 1, n);
        SubtractRangeMean(list[i], from, to, display);
    }
}

RangeWaitResult WaitForRange(const RangeWaitHooks& hooks, int32_t delayMs) {
    for (;;) {
        if (hooks.eachPass) hooks.eachPass();
        DelayWithMessages(delayMs);
        if (hooks.windowOpen && !hooks.windowOpen()) return RangeWaitResult::Closed;
        if (hooks.abortRequested && hooks.abortRequested()) {
            if (hooks.clearAbort) hooks.clearAbort();
            return RangeWaitResult::Aborted;
        }
        if (hooks.selectionDone && hooks.selectionDone()) return RangeWaitResult::Selected;
    }
}

void RunReadoutLoop(const TSpectraList& list, const TSpectrumRecord* rec, const ReadoutHooks& hooks,
                    int32_t delayMs) {
    bool first = true;
    double lastX = 0.0;
    for (;;) {
        const int32_t k = list.IndexOf(rec);
        if (k < 0 || (hooks.curveCount && k >= hooks.curveCount())) return;
        if (hooks.windowOpen && !hooks.windowOpen()) return;
        if (hooks.stopPressed && hooks.stopPressed()) return;
        const double x = hooks.cursorX ? hooks.cursorX() : 0.0;
        if (first || x != lastX) {
            first = false;
            lastX = x;
            const TDisplayState display = hooks.display ? hooks.display() : TDisplayState{};
            if (hooks.show) hooks.show(rec->Title.str(), ReadoutText(display, *rec, x));
        }
        DelayWithMessages(delayMs);
    }
}
