#pragma once
// The batch export's writer: every spectrum into one file, or one spectrum into a file of its own, as
// SPC (through the SPC library), JCAMP-DX or CSV, by the save table's row of the file's extension.
#include <cstdint>
#include <string>

#include "core/spectra_list.h"

// multi = 1 writes all spectra of `list` into `fileName` (an SPC multi-file, a linked JCAMP-DX file,
// one CSV table); multi = 0 writes spectrum `index` alone. The extension "SPC", "DX" or "CSV" (any
// case) selects the format, the rows of the save table with batch writers; any other writes nothing.
// False when nothing was written (another extension, or an SPC multi-file of spectra of different
// dimensions, after its message). Errors of the library or of the file raise vx::Error. The SPC library
// is found in `programFolder`.
bool SaveSpectraMulti(const TSpectraList& list, const std::string& fileName, int multi, int32_t index,
                      const std::string& programFolder);
