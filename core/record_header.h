#pragma once
// The header a processed record inherits from its source.
#include "core/spectrum_record.h"

// Copies the describing fields of `src` into `dst`: file name, comments, type, solvent, date,
// concentration, excitation, temperature, exposure, source kind, units and line look. Title, path
// length, grid, colour and values are left to the caller, which sets them as its result needs.
void CopyRecordHeader(const TSpectrumRecord& src, TSpectrumRecord& dst);
