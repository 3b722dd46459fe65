#pragma once
// Display units and the accessors through which all code reads and writes points of a record.
#include <cstdint>

#include "core/display_state.h"
#include "core/spectrum_record.h"

inline constexpr double kNmEv = 1239.8424512359736;   // nm <-> eV
inline constexpr double kUmEv = 1.2398424512359736;   // µm <-> eV
inline constexpr double kWavenumberPerEv = 8065.5409;  // 1/cm per eV

// Division that gives 0 for a zero divisor (conversions of x = 0 between reciprocal units).
inline double SafeRecip(double numerator, double v) { return v == 0.0 ? 0.0 : numerator / v; }

// x in stored unit `stored` shown in display unit `display` (Raman shift counts as 1/cm; a stored eV
// converts by the inverse of the eV column; unknown stored codes count as nm).
double XStoredToDisplay(double v, int32_t stored, int32_t display);
// Display x in the record's unit.
double XDisplayToStored(double x, int32_t display, int32_t stored);

// The point accessors, in the display units given (the caller's: core holds no units of its own).
// x of point i in the display x unit (i extrapolates the grid).
double SpecXValue(const TSpectrumRecord& rec, int32_t i, const TDisplayState& display);
// Index of the grid point nearest to display x, clamped to 0..PointCount-1 (0 for a zero step).
int32_t SpecIndexOfX(const TSpectrumRecord& rec, double x, const TDisplayState& display);
// y of point i in the display y mode; outside the values 1.0 in modes 1 and 6, else 0.
double SpecYValue(const TSpectrumRecord& rec, int32_t i, const TDisplayState& display);
// The stored value of a display y (inverse of SpecYValue).
double SpecYToStored(TSpectrumRecord& rec, double y, const TDisplayState& display);
// y at an arbitrary display x, interpolated; 0 outside the spectrum.
double SpecYAtX(TSpectrumRecord& rec, double x, const TDisplayState& display);

// Display conversion of a stored value (what SpecYValue does to a value in range).
double StoredToDisplayY(const TSpectrumRecord& rec, double stored, int32_t mode);

double LinInterpol(double x, double x1, double y1, double x2, double y2);
double LinInterpolInverse(double y, double x1, double y1, double x2, double y2);

// 10^x and log10 in extended precision, rounded to double.
double Pow10Ext(double x);
double Log10Ext(double x);
