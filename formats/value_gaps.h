#pragma once
// Places of an equidistant table whose values were no numbers: filled in between the values read on
// either side, so that every value read keeps its x.
#include <cstddef>
#include <vector>

// How many places a fill left out at the start and at the end of the table.
struct GapEnds {
    std::size_t lead = 0, trail = 0;
};

// `gaps` are the places (rising) in `values` that were no numbers. A run between two values read is
// joined to them by a straight line, as resampling joins the pairs around a pair left out; a run at
// either end has one neighbour only and is removed. No value is left when every place was a gap.
GapEnds FillValueGaps(std::vector<double>& values, const std::vector<std::size_t>& gaps);

// The same for a table from x `first` (its first place) to x `last` (its last place): both are moved to
// the places kept.
GapEnds CloseValueGaps(std::vector<double>& values, const std::vector<std::size_t>& gaps, double& first, double& last);
