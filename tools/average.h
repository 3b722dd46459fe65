#pragma once
// Averaging selected spectra into one new spectrum.
#include <cstdint>
#include <string>
#include <vector>

#include "core/display_state.h"
#include "core/spectra_list.h"

inline constexpr const char* kAveragedSuffix = " - averaged";

// "n- title" with n counted from 1.
std::string AverageListItemText(const TSpectraList& list, int32_t index);
std::string AverageTitleFor(const TSpectraList& list, int32_t index);
// A right click: drops " - averaged" and appends " | " + the item's title + " - averaged".
std::string AverageTitleExtended(const TSpectraList& list, std::string title, int32_t index);

// Needs more than one selection (list indices, any order); false when nothing was made.
bool RunAveraging(TSpectraList& list, const TDisplayState& display, std::vector<int32_t> selected,
                  const std::string& title);
