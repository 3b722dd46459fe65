#pragma once
// Display units and the accessors through which all code reads and writes points of a record.
#include <cstdint>

#include "core/display_state.h"
#include "core/spectrum_record.h"

// The work of the tools compiles with VX_NO_PROGRAM_STATE: there the program's display units, the
// accessors that read them and the default display parameter of the routines of core do not exist,
// so a tool computes in the units it is given and nothing else.
#ifndef VX_NO_PROGRAM_STATE
// The plot's display units: x 1 nm, 2 1/cm, 3 eV, 4 µm; y 1 transmittance, 2 absorbance,
// 3 molar absorption coefficient, 4 its logarithm (5 intensity, 6 reflectance as stored kinds).
extern uint8_t DisplayXUnit;
extern uint8_t DisplayYMode;

// The program's display units as a value.
inline TDisplayState CurrentDisplayState() { return {DisplayXUnit, DisplayYMode}; }
#define VX_DEFAULT_DISPLAY = CurrentDisplayState()
#else
#define VX_DEFAULT_DISPLAY
#endif

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

// The point accessors, in the display units given; the forms without them use the program's.
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

#ifndef VX_NO_PROGRAM_STATE
inline double SpecXValue(const TSpectrumRecord& rec, int32_t i) {
    return SpecXValue(rec, i, CurrentDisplayState());
}
inline int32_t SpecIndexOfX(const TSpectrumRecord& rec, double x) {
    return SpecIndexOfX(rec, x, CurrentDisplayState());
}
inline double SpecYValue(const TSpectrumRecord& rec, int32_t i) {
    return SpecYValue(rec, i, CurrentDisplayState());
}
inline double SpecYToStored(TSpectrumRecord& rec, double y) {
    return SpecYToStored(rec, y, CurrentDisplayState());
}
inline double SpecYAtX(TSpectrumRecord& rec, double x) { return SpecYAtX(rec, x, CurrentDisplayState()); }
#endif
// Display conversion of a stored value (what SpecYValue does to a value in range).
double StoredToDisplayY(const TSpectrumRecord& rec, double stored, int32_t mode);

double LinInterpol(double x, double x1, double y1, double x2, double y2);
double LinInterpolInverse(double y, double x1, double y1, double x2, double y2);

// 10^x and log10 in extended precision, rounded to double.
double Pow10Ext(double x);
double Log10Ext(double x);
