#pragma once
// Tick spacing, range rounding and tick labels of the XY plot's four axes. Plain functions over plain
// values, so the figures can be checked without a window.
#include <array>
#include <string>

#include "core/unit_codes.h"

namespace xyticks {

inline constexpr int kMaxTicks = 51;      // room in the label and offset tables
inline constexpr int kMaxAutoTicks = 50;  // the automatic rules make ticks 0..49

struct TickSet {
    double DrawnMin = 0.0;  // the range as drawn (rounded to whole steps where the rule says so)
    double DrawnMax = 0.0;
    double Scale = 0.0;     // pixels per data unit
    double Step = 0.0;
    int Count = 0;
    std::array<int, kMaxTicks> Offsets{};  // pixels from the axis origin
    std::array<std::string, kMaxTicks> Labels;
};

// What every axis rule reads.
struct AxisRequest {
    double Min = 0.0;
    double Max = 1.0;
    int Pixels = 0;          // width or height of the plot area
    bool AutoTics = true;
    int MajorTics = 10;      // tick count for manual ticks
    bool AutoText = true;    // labels are generated (else the old labels stay)
    bool Alternate = false;  // every odd automatic label is blank (X axis only)
};

// 10^k from exact decimal literals (k within -30..30; beyond, computed).
long double Pow10(int k);
// Trunc of a quotient that may carry binary rounding: within 1e-9 of an integer it is that integer.
long double TruncQuotient(long double q);
// Round halves to even into the 16-bit-ish offset range, never undefined for huge or non-finite input.
int RoundOffset(long double v);
// A label text: general format, `precision` significant digits, cut at 15 characters.
std::string TickLabel(double value, int precision);

// The bottom axis in the display unit. keepRange: show Min..Max exactly.
void CalcXTicks(const AxisRequest& req, SpecXUnit displayXUnit, bool autoscaling, bool keepRange, TickSet& out);
// The left or the right axis; `fixed` rounds the minimum toward zero instead of outward. The two differ
// only for ranges up to about 0.5, where the left axis takes finer steps.
enum class YAxis { Left, Right };
void CalcYTicks(const AxisRequest& req, YAxis axis, bool fixed, TickSet& out);

// The top axis in the reciprocal unit of the bottom one. Offsets end up measured from the right end of
// the bottom axis; ticks that fall outside 0..Pixels (or at values <= 0) get offset -1 and keep their
// labels. minX2 and maxX2 receive the top axis range.
void CalcX2Ticks(double xDrawnMin, double xDrawnMax, SpecXUnit displayXUnit, int pixels, bool autoText,
                 TickSet& out, double& minX2, double& maxX2);

}  // namespace xyticks
