#pragma once
// The display units a computation works in, as a value: the readers, writers, tools and the routines
// of core take it as a parameter, so that they compute for the units they are given and a test states
// the units it means. The program's own display units live in app/ (app/program_state.h).
#include <cstdint>

struct TDisplayState {
    uint8_t DisplayXUnit = 1;  // 1 nm, 2 1/cm, 3 eV, 4 µm
    uint8_t DisplayYMode = 2;  // 1 transmittance, 2 absorbance, 3 epsilon, 4 log(epsilon), 5, 6
};
