#pragma once
// Advanced baselines: a baseline record built for one spectrum (straight line, adaptive lower envelope
// or scattering curve), shown in the plot as a preview while the dialog is open, and subtracted from
// that spectrum or from every spectrum on OK.
#include <cstdint>
#include <vector>

#include "core/display_state.h"
#include "core/program_settings.h"
#include "core/spectra_list.h"

struct TAdvBaselineParams {
    TAdvBaselineSettings Settings;  // flags, method (tab), sliders and power
    int32_t Spectrum = 0;
};

// Baseline methods (the dialog's tabs).
enum : int32_t { BaselineLinear = 0, BaselineAdaptive = 1, BaselineScattering = 2 };

// Where the baseline is anchored in values y (n >= 3): the lowest points of the first and of the last
// fifth (first occurrence each); when the overall minimum lies between them it replaces the nearer
// one (the right one on a tie).
struct TBaselineAnchors {
    int32_t Left = 0, Right = 0, Min = 0;
    double YLeft = 0, YRight = 0, YMin = 0, YMax = 0;
};
TBaselineAnchors BaselineAnchors(const std::vector<double>& y);

// The baseline's values for spectrum S, computed from S's absorbance (x in the display x unit given).
// Raises "Floating point overflow" when a value would not be finite. S needs at least 3 points.
std::vector<double> BaselineValues(const TSpectrumRecord& S, const TDisplayState& display,
                                   const TAdvBaselineSettings& settings);

// The preview record B of one opening of the dialog. It is appended to the list by the first
// ShowBaseline and is known by its identity, wherever later changes move it in the list; the
// destructor removes it unless Keep() was called.
class TBaselinePreview {
public:
    explicit TBaselinePreview(TSpectraList& list) : list_(list) {}
    ~TBaselinePreview() { Remove(); }
    TBaselinePreview(const TBaselinePreview&) = delete;
    TBaselinePreview& operator=(const TBaselinePreview&) = delete;

    // Recomputes B for the chosen spectrum: header from the spectrum ("Baseline for: " + its title,
    // its grid, texts and parameters, line width + 1, colour CurveColor(2)) and the baseline's values.
    // Returns B's list index, or -1 when the chosen spectrum is missing or has fewer than 3 points
    // (B is then left as it was).
    int32_t ShowBaseline(const TDisplayState& display, const TAdvBaselineParams& params);
    // B while it is in the list, else nullptr.
    TSpectrumRecord* Baseline() const;
    int32_t Index() const;
    // Takes B out of the list (Cancel).
    void Remove();
    // B stays in the list as a spectrum of its own.
    void Keep() { b_ = nullptr; }

private:
    TSpectraList& list_;
    const TSpectrumRecord* b_ = nullptr;
};

// OK: the baseline for the chosen spectrum (recomputed, so it always belongs to it) is subtracted in
// absorbance from the chosen spectrum over its full range, or from every spectrum but B; legends kept
// or extended by " (baseline corrected)"; originals replaced or results appended by the common rules.
// Afterwards B is removed unless the settings create a baseline spectrum. When the chosen spectrum has
// fewer than 3 points nothing is subtracted and B is removed. Returns the number of new spectra.
int32_t ApplyAdvBaseline(TSpectraList& list, const TDisplayState& display, const TAdvBaselineParams& params,
                         TBaselinePreview& preview);
