#pragma once
// The commands that work on an x range marked on the plot (Baseline Correction, Integration), the
// value read-out under the mouse (Display Values) and the centre of gravity. The waits are plain loops
// over hooks, so that the app connects them to the plot and tests drive them without a display.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/display_state.h"
#include "core/spectra_list.h"
#include "core/spectrum_record.h"

inline constexpr const char* kRangeUnitRefusedText =
    "Center of Gravity and Integration are only possible with the x axis in nm or cm^-1!";

// nm and 1/cm sample whole-number x values densely enough; eV and µm do not.
bool RangeCommandUnitAllowed(const TDisplayState& display);
// "nm", "cm^-1", "eV" or "µm" after the display x unit.
std::string DisplayUnitText(const TDisplayState& display);

// The message of Integration for one spectrum over [from, to] (display units): sum and mean of the
// values at whole x, "--" where they have no meaning (kind 7, limits that are no numbers).
std::string IntegrationMessage(const TDisplayState& display, TSpectrumRecord& rec, double from, double to);

// Centre of gravity over the whole x values trunc(minX)..trunc(maxX); none when the y values sum to 0.
std::optional<double> CenterOfGravity(const TDisplayState& display, TSpectrumRecord& rec, double minX,
                                      double maxX);
// "center of gravity: " + the centre (or "--") + the unit.
std::string CenterOfGravityText(const TDisplayState& display, std::optional<double> centre);

// "Position: " + x + "  |  " + y of the point nearest to display x.
std::string ReadoutText(const TDisplayState& display, const TSpectrumRecord& rec, double x);

// Baseline correction of every spectrum of the list: the mean of its stored values between from and to
// is subtracted (kind 7 left alone). `eachSpectrum(i, n)` runs before spectrum i (1-based) of n.
void BaselineCorrectAll(TSpectraList& list, const TDisplayState& display, double from, double to,
                        const std::function<void(int32_t, int32_t)>& eachSpectrum = {});

// Waiting for a range on the plot.
enum class RangeWaitResult { Selected, Aborted, Closed };
struct RangeWaitHooks {
    std::function<bool()> selectionDone;    // the plot stored a dragged rectangle
    std::function<bool()> abortRequested;   // Escape was pressed
    std::function<void()> clearAbort;
    std::function<bool()> windowOpen;       // the main window still exists and is not closing
    std::function<void()> eachPass;         // status text, repaint
};
RangeWaitResult WaitForRange(const RangeWaitHooks& hooks, int32_t delayMs = 200);

// The Display Values loop for one record of the list, found again by identity after every wait. The
// display units are asked for at every pass: a command run during the wait may change them.
struct ReadoutHooks {
    std::function<TDisplayState()> display;
    std::function<int32_t()> curveCount;
    std::function<double()> cursorX;        // the plot's read-out x
    std::function<bool()> stopPressed;      // the read-out window's button
    std::function<bool()> windowOpen;
    std::function<void(const std::string& caption, const std::string& text)> show;
};
void RunReadoutLoop(const TSpectraList& list, const TSpectrumRecord* rec, const ReadoutHooks& hooks,
                    int32_t delayMs = 100);
