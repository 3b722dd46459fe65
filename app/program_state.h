#pragma once
// The program's own state, held once, here: the spectra list the main window shows, the plot's display
// units and axis-title switches, and the Gauss band-group block. The readers, writers, tools and the
// routines of core take the list and a TDisplayState as parameters; only app/ passes these in.
#include <cstdint>
#include <string>

#include "core/display_state.h"
#include "core/gauss_params.h"
#include "core/spectra_list.h"
#include "core/spectrum_record.h"
#include "core/units.h"

#ifdef VX_NO_PROGRAM_STATE
#error "core/, formats/, tools/ and the plot controls work on the list and display units they are given"
#endif

// Every loaded spectrum: list item n is curve n+1 of the plot and item n of every spectrum combo box.
extern TSpectraList SpectraList;

// The plot's display units: x 1 nm, 2 1/cm, 3 eV, 4 µm; y 1 transmittance, 2 absorbance,
// 3 molar absorption coefficient, 4 its logarithm (5 intensity, 6 reflectance as stored kinds).
extern uint8_t DisplayXUnit;
extern uint8_t DisplayYMode;

// The axis-title switches of the options.
extern uint8_t ShowXTitle;
extern uint8_t CustomXTitleOn;
extern std::string CustomXTitle;
extern uint8_t ShowYTitle;
extern uint8_t CustomYTitleOn;
extern std::string CustomYTitle;

// The program's one Gauss block (starts as the defaults).
extern TGaussModelParams GaussModelParams;

// The program's display units as a value, and back.
inline TDisplayState CurrentDisplayState() { return {DisplayXUnit, DisplayYMode}; }
void SetDisplayState(const TDisplayState& display);

// The start of the display state: nm, absorbance, both axis titles on, no own titles.
void SetDefaultDisplay();

// The point accessors of core/units.h in the program's display units.
inline double SpecXValue(const TSpectrumRecord& rec, int32_t i) { return SpecXValue(rec, i, CurrentDisplayState()); }
inline int32_t SpecIndexOfX(const TSpectrumRecord& rec, double x) {
    return SpecIndexOfX(rec, x, CurrentDisplayState());
}
inline double SpecYValue(const TSpectrumRecord& rec, int32_t i) { return SpecYValue(rec, i, CurrentDisplayState()); }
inline double SpecYToStored(TSpectrumRecord& rec, double y) { return SpecYToStored(rec, y, CurrentDisplayState()); }
inline double SpecYAtX(TSpectrumRecord& rec, double x) { return SpecYAtX(rec, x, CurrentDisplayState()); }
