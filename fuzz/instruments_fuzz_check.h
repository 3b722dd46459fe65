#pragma once
// What every instrument reader target checks: a record that comes back is either without points or
// complete (two or more points on a finite, non-zero grid, every value finite).
#include "core/spectrum_record.h"

inline void CheckReaderRecord(const TSpectrumRecord& r) {
    if (r.PointCount() != 0 && !r.IsComplete()) __builtin_trap();
}
