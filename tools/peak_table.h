#pragma once
// The peak table: positions, values and half widths of the peaks of one spectrum in the visible range.
#include <string>
#include <vector>

#include "core/display_state.h"
#include "core/spectrum_record.h"

// The memo lines for spectrum `rec` between the plot's visible x limits, in the display units given.
std::vector<std::string> BuildPeakTable(const TDisplayState& display, TSpectrumRecord& rec, bool inverted,
                                        double thresholdPercent, double visibleMin, double visibleMax);
// The clipboard form: without "Spectrum: ", double tabs made single, lines ending CR LF.
std::string PeakTableClipboardText(const std::vector<std::string>& lines);
