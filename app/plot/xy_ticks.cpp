#include "app/plot/xy_ticks.h"

#include <cmath>
#include <limits>

#include "core/spectrum_record.h"
#include "platform/numtext.h"

namespace xyticks {

namespace {

constexpr long double kPow10[] = {
    1e-30L, 1e-29L, 1e-28L, 1e-27L, 1e-26L, 1e-25L, 1e-24L, 1e-23L, 1e-22L, 1e-21L, 1e-20L,
    1e-19L, 1e-18L, 1e-17L, 1e-16L, 1e-15L, 1e-14L, 1e-13L, 1e-12L, 1e-11L, 1e-10L,
    1e-9L,  1e-8L,  1e-7L,  1e-6L,  1e-5L,  1e-4L,  1e-3L,  1e-2L,  1e-1L,  1e0L,
    1e1L,   1e2L,   1e3L,   1e4L,   1e5L,   1e6L,   1e7L,   1e8L,   1e9L,   1e10L,
    1e11L,  1e12L,  1e13L,  1e14L,  1e15L,  1e16L,  1e17L,  1e18L,  1e19L,  1e20L,
    1e21L,  1e22L,  1e23L,  1e24L,  1e25L,  1e26L,  1e27L,  1e28L,  1e29L,  1e30L};

constexpr long double kNearInteger = 1e-9L;

long double CeilQuotient(long double q) {
    const long double r = std::nearbyint(q);
    if (std::fabs(q - r) < kNearInteger) return r;
    return std::ceil(q);
}

// Multiplier of the bottom and top axis rules.
int XMultiplier(long double n, bool fourForThirtySix) {
    if (fourForThirtySix && (n == 36 || n == 37)) return 4;
    if (n <= 15) return 1;
    if (n <= 30) return 2;
    if (n <= 70) return 5;
    return 10;
}

struct Decade {
    long double base;
    long double n;  // Trunc(range / base) + 1
    int c;          // Trunc(10 * log10(range))
};

Decade DecadeOf(long double range) {
    const long double lg = std::log10(range);
    Decade d;
    d.c = static_cast<int>(std::trunc(10.0L * lg));
    d.base = Pow10(static_cast<int>(std::trunc(lg)) - 1);
    d.n = TruncQuotient(range / d.base) + 1.0L;
    return d;
}

// Ticks every `step` from `newMin`, offsets counted from the axis origin, none at the far end.
void MakeTicks(long double newMin, long double newMax, long double step, int pixels, bool autoText,
               bool alternate, TickSet& out) {
    out.DrawnMin = static_cast<double>(newMin);
    out.DrawnMax = static_cast<double>(newMax);
    out.Step = static_cast<double>(step);
    out.Count = 0;
    const long double span = newMax - newMin;
    if (!(span > 0.0L) || !std::isfinite(span) || !(step > 0.0L)) {
        out.Scale = 0.0;
        return;
    }
    const long double scale = pixels / span;
    out.Scale = static_cast<double>(scale);
    const long double end = span * scale - 1e-9L;
    const long double zeroBand = std::fabs(span / 100000.0L);
    out.Offsets[0] = 0;
    int i = 0;
    for (; i < kMaxAutoTicks; ++i) {
        if (out.Offsets[static_cast<std::size_t>(i)] >= end) break;
        long double value = newMin + i * step;
        if (std::fabs(value) < zeroBand) value = 0.0L;
        if (autoText) {
            out.Labels[static_cast<std::size_t>(i)] =
                (alternate && (i % 2 == 1)) ? std::string("  ") : TickLabel(static_cast<double>(value), 5);
        }
        out.Offsets[static_cast<std::size_t>(i) + 1] = RoundOffset((i + 1) * step * scale);
    }
    out.Count = i;
}

void ManualTicks(const AxisRequest& req, bool alternate, TickSet& out) {
    const long double range = std::fabs(static_cast<long double>(req.Max) - req.Min);
    const int count = req.MajorTics < 0 ? 0 : (req.MajorTics > kMaxTicks ? kMaxTicks : req.MajorTics);
    out.DrawnMin = req.Min;
    out.DrawnMax = req.Max;
    out.Count = 0;
    out.Scale = (range > 0.0L && std::isfinite(range)) ? static_cast<double>(req.Pixels / range) : 0.0;
    if (count == 0 || out.Scale == 0.0) return;
    const long double step = range / count;
    out.Step = static_cast<double>(step);
    for (int i = 0; i < count; ++i) {
        out.Offsets[static_cast<std::size_t>(i)] = RoundOffset(i * step * out.Scale);
        if (req.AutoText) {
            out.Labels[static_cast<std::size_t>(i)] =
                (alternate && (i % 2 == 1)) ? std::string("  ") : TickLabel(static_cast<double>(req.Min + i * step), 6);
        }
    }
    out.Count = count;
}

// Rounding of the y minimum: outward, or toward zero for a fixed axis and positive minima.
long double RoundYMin(long double min, long double step, bool fixed) {
    const long double q = TruncQuotient(min / step);
    return (min > 0.0L || fixed) ? step * q : step * (q - 1.0L);
}

void YTicks(const AxisRequest& req, bool fixed, long double step, TickSet& out) {
    const long double min = req.Min, max = req.Max;
    const long double newMin = RoundYMin(min, step, fixed);
    const long double newMax = step * (TruncQuotient(max / step) + 1.0L);
    MakeTicks(newMin, newMax, step, req.Pixels, req.AutoText, false, out);
}

bool Finite(double a, double b) { return std::isfinite(a) && std::isfinite(b); }

}  // namespace

long double Pow10(int k) {
    if (k >= -30 && k <= 30) return kPow10[k + 30];
    return std::pow(10.0L, static_cast<long double>(k));
}

long double TruncQuotient(long double q) {
    const long double r = std::nearbyint(q);
    if (std::fabs(q - r) < kNearInteger) return r;
    return std::trunc(q);
}

int RoundOffset(long double v) {
    if (!std::isfinite(v)) return 0;
    constexpr long double kLimit = 1e9L;
    if (v > kLimit) return static_cast<int>(kLimit);
    if (v < -kLimit) return -static_cast<int>(kLimit);
    return static_cast<int>(std::nearbyint(v));
}

std::string TickLabel(double value, int precision) {
    std::string s = numtext::FloatToStrF(value, numtext::FloatFormat::General, precision, 1);
    if (s.size() > 15) s.resize(15);
    return s;
}

void CalcXTicks(const AxisRequest& req, SpecXUnit displayXUnit, bool autoscaling, bool keepRange, TickSet& out) {
    if (!req.AutoTics || !Finite(req.Min, req.Max)) {
        ManualTicks(req, req.Alternate, out);
        return;
    }
    long double range = std::fabs(static_cast<long double>(req.Max) - req.Min);
    if (range < 1e-10L) range = 1e-10L;
    const Decade d = DecadeOf(range);
    long double step = d.base * XMultiplier(d.n, true);
    if (step == 0.0L) step = d.base;

    long double min = req.Min, max = req.Max;
    long double newMin = min, newMax = max;
    if (!keepRange) {
        // Minima at or below zero round outward in every unit, so no data is cut off.
        const long double q = TruncQuotient(min / step);
        newMin = min > 0.0L ? step * q : step * (q - 1.0L);
        if (displayXUnit == SpecXNanometer || displayXUnit == SpecXMicrometer) {
            newMax = step * (TruncQuotient(max / step) + 1.0L);
        } else {
            if (autoscaling && std::fabs(min - 400.0L) < 3.0L && std::fabs(max - 4000.0L) < 3.0L) {
                newMin = 400.0L;
                max = 4000.0L;
            }
            newMax = step * CeilQuotient(max / step);
        }
    }
    MakeTicks(newMin, newMax, step, req.Pixels, req.AutoText, req.Alternate, out);
}

void CalcYTicks(const AxisRequest& req, YAxis axis, bool fixed, TickSet& out) {
    if (!req.AutoTics || !Finite(req.Min, req.Max)) {
        ManualTicks(req, false, out);
        return;
    }
    long double range = std::fabs(static_cast<long double>(req.Max) - req.Min);
    if (range < 1e-20L) range = 1e-20L;
    const Decade d = DecadeOf(range);
    const long long n = static_cast<long long>(d.n);
    long double step;
    // Only the left axis steps in tenths and quarters of the decade below small ranges.
    if (axis == YAxis::Left && d.c < -6)
        step = d.base * n / 10.0L;
    else if (axis == YAxis::Left && d.c < -2)
        step = d.base * ((4 * n) / 10) / 4.0L;
    else
        step = d.base * (n / 10);
    if (step == 0.0L) step = d.base;
    YTicks(req, fixed, step, out);
}

void CalcX2Ticks(double xDrawnMin, double xDrawnMax, SpecXUnit displayXUnit, int pixels, bool autoText,
                 TickSet& out, double& minX2, double& maxX2) {
    out.Count = 0;
    out.Scale = 0.0;
    long double a = xDrawnMin, b = xDrawnMax;
    if (displayXUnit == SpecXElectronVolt) {
        a *= 8065.5409L;
        b *= 8065.5409L;
    } else if (displayXUnit == SpecXMicrometer) {
        a *= 1000.0L;
        b *= 1000.0L;
    }
    const long double lo = b != 0.0L ? 1e7L / b : 0.0L;
    const long double hi = a != 0.0L ? 1e7L / a : 0.0L;
    minX2 = static_cast<double>(lo);
    maxX2 = static_cast<double>(hi);
    const long double span = hi - lo;
    if (span == 0.0L || !std::isfinite(span) || b == a || !std::isfinite(a) || !std::isfinite(b)) return;

    long double range = std::fabs(span);
    if (range < 1e-10L) range = 1e-10L;
    const Decade d = DecadeOf(range);
    long double step = d.base * XMultiplier(d.n, false);
    if (step == 0.0L) step = d.base;
    const long double scale = pixels / span;
    out.Scale = static_cast<double>(scale);
    out.Step = static_cast<double>(step);
    out.DrawnMin = minX2;
    out.DrawnMax = maxX2;
    const long double divisor = (displayXUnit == SpecXNanometer || displayXUnit == SpecXMicrometer) ? 1000.0L : 1.0L;
    const long double first = step * TruncQuotient(lo / step);
    const long double end = span * scale - 1e-9L;
    const long double zeroBand = std::fabs(span / 100000.0L);

    int i = 0;
    for (; i < kMaxAutoTicks; ++i) {
        const int offset = RoundOffset(i * step * scale);
        if (offset >= end) break;
        long double value = first + i * step;
        if (std::fabs(value) < zeroBand) value = 0.0L;
        if (autoText) out.Labels[static_cast<std::size_t>(i)] = TickLabel(static_cast<double>(value / divisor), 5);
        // Where the value falls on the bottom axis, from its right end. Values <= 0 have no place there.
        const long double v = first + i * step;
        int moved = -1;
        if (v > 0.0L) {
            const long double e = 1e7L / v;
            const long double px = (b - e) / (b - a) * span * scale;
            if (px >= 0.0L && px <= pixels) moved = RoundOffset(px);
        }
        out.Offsets[static_cast<std::size_t>(i)] = moved;
    }
    out.Count = i;
}

}  // namespace xyticks
