#pragma once
// The display units a computation works in, as a value: the readers, writers, tools and the routines
// of core take it as a parameter, so that they compute for the units they are given and a test states
// the units it means. The program's own display units live in app/ (app/program_state.h).
#include "core/unit_codes.h"

struct TDisplayState {
    SpecXUnit DisplayXUnit = SpecXNanometer;  // nm, 1/cm, eV or µm
    SpecYKind DisplayYMode = SpecYAbsorbance;  // transmittance, absorbance, epsilon, log(epsilon); 5, 6 as stored
};
