#pragma once
// Records and display settings shared by the algorithm suites.
#include <cmath>
#include <vector>

#include "core/spectrum_record.h"
#include "core/units.h"

inline TSpectrumRecord MakeRecord(SpecXUnit unit, double first, double step, std::vector<double> values,
                                  int32_t kind = 0) {
    TSpectrumRecord r;
    r.Title = "sample";
    r.XUnit = unit;
    r.FirstX = first;
    r.StepX = step;
    r.SourceKind = kind;
    r.Values = std::move(values);
    return r;
}

// A reproducible wavy test signal: sin(0.3 i) + 0.1 ((7919 i) mod 13) / 13.
inline std::vector<double> WavySignal(int32_t n) {
    std::vector<double> y(static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n; ++i) y[i] = std::sin(i * 0.3) + 0.1 * ((i * 7919) % 13) / 13.0;
    return y;
}
