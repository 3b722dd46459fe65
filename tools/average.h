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

// What averaging says when fewer than two different spectra are selected.
inline constexpr const char* kAverageSelectionText = "Averaging needs at least two spectra: select them in the list.";

// Needs more than one selection (list indices, any order); false when nothing was made, after saying
// why.
bool RunAveraging(TSpectraList& list, const TDisplayState& display, std::vector<int32_t> selected,
                  const std::string& title);
