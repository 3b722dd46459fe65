#pragma once
// The x units' one conversion and one label table, and the accessors through which all code reads and
// writes points of a record in display units.
#include <cstdint>

#include "core/display_state.h"
#include "core/spectrum_record.h"
#include "core/unit_codes.h"

inline constexpr double kNmEv = 1239.8424512359736;   // nm <-> eV
inline constexpr double kUmEv = 1.2398424512359736;   // µm <-> eV
inline constexpr double kWavenumberPerEv = 8065.5409;  // 1/cm per eV

// Division that gives 0 for a zero divisor (conversions of x = 0 between reciprocal units).
inline double SafeRecip(double numerator, double v) { return v == 0.0 ? 0.0 : numerator / v; }

// Between nm, µm and 1/cm every conversion is one formula (1e7/x, 10000/x, ×1000); eV joins them by
// 8065.5409 1/cm per eV and, to the wavelengths, also directly by 1239.8424512359736 nm·eV. The two
// ways between eV and a wavelength agree but for the rounding of the last bit; each of the program's
// three uses keeps the way it has always taken, so that its numbers stay the same to the bit:
enum class EvRoute {
    Direct,                // eV <-> nm, µm both ways directly: a display x into a record's unit
    ToEvViaWavenumber,     // nm, µm -> eV through 1/cm, eV -> nm, µm directly: a record's x shown
    FromEvViaWavenumber,   // eV -> nm, µm through 1/cm, nm, µm -> eV directly: a range the display
                           // unit changes under
};
// x in unit `from` as a value in unit `to` (Raman shift converts as 1/cm; any other code as nm).
double ConvertX(double x, SpecXUnit from, SpecXUnit to, EvRoute route);

// x in stored unit `stored` shown in display unit `display`.
inline double XStoredToDisplay(double v, SpecXUnit stored, SpecXUnit display) {
    return ConvertX(v, stored, display, EvRoute::ToEvViaWavenumber);
}
// Display x in the record's unit.
inline double XDisplayToStored(double x, SpecXUnit display, SpecXUnit stored) {
    return ConvertX(x, display, stored, EvRoute::Direct);
}

// The names of the display x units: "nm", "1/cm", "eV", "µm"; and with the wavenumber written
// "cm^-1". A unit that the display does not take is named as nm.
const char* XUnitSymbol(SpecXUnit display);
const char* XUnitPowerSymbol(SpecXUnit display);

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
double StoredToDisplayY(const TSpectrumRecord& rec, double stored, SpecYKind mode);

double LinInterpol(double x, double x1, double y1, double x2, double y2);
double LinInterpolInverse(double y, double x1, double y1, double x2, double y2);

// 10^x and log10 in extended precision, rounded to double.
double Pow10Ext(double x);
double Log10Ext(double x);
