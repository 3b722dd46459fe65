#include "formats/value_gaps.h"

#include <cstddef>

GapEnds FillValueGaps(std::vector<double>& values, const std::vector<std::size_t>& gaps) {
    const std::size_t n = values.size();
    GapEnds ends;
    if (gaps.empty() || n == 0) return ends;
    for (std::size_t g = 0; g < gaps.size();) {
        std::size_t h = g;  // gaps[g..h] is one run of places
        while (h + 1 < gaps.size() && gaps[h + 1] == gaps[h] + 1) ++h;
        const std::size_t from = gaps[g], to = gaps[h] + 1;  // [from, to) left out
        if (from == 0) {
            ends.lead = to;
        } else if (to == n) {
            ends.trail = n - from;
        } else {
            const double a = values[from - 1], b = values[to];
            const double span = static_cast<double>(to - from + 1);
            for (std::size_t k = from; k < to; ++k) values[k] = a + (b - a) * (static_cast<double>(k - from + 1) / span);
        }
        g = h + 1;
    }
    if (ends.lead + ends.trail >= n) {
        values.clear();
        return ends;
    }
    values.erase(values.end() - static_cast<std::ptrdiff_t>(ends.trail), values.end());
    values.erase(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(ends.lead));
    return ends;
}

GapEnds CloseValueGaps(std::vector<double>& values, const std::vector<std::size_t>& gaps, double& first, double& last) {
    const std::size_t n = values.size();
    const GapEnds ends = FillValueGaps(values, gaps);
    if (values.empty() || (ends.lead == 0 && ends.trail == 0)) return ends;
    const double step = (last - first) / static_cast<double>(n - 1);
    const double x0 = first;
    if (ends.lead > 0) first = x0 + static_cast<double>(ends.lead) * step;
    if (ends.trail > 0) last = x0 + static_cast<double>(n - 1 - ends.trail) * step;
    return ends;
}
