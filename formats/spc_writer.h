#pragma once
// Saving one spectrum as an SPC file through the SPC library.
#include <string>

#include "core/spectra_list.h"
#include "core/spectrum_record.h"

// Writes one record as an evenly spaced single-subfile SPC file. `programFolder` (ending with "/")
// holds the library, registered from there when it is not yet.
void SaveSpectrumSpc(const TSpectrumRecord& rec, const std::string& fileName, const std::string& programFolder);

// The multi-file's test: every spectrum has the first one's point count, first x and step (within
// 1e-4 of the larger magnitude) and its x unit and y kind.
bool SameSpcDimensions(const TSpectraList& list);
// Writes all spectra of `list` as the subfiles of one evenly spaced multi-file (z values from the
// excitation wavelengths). Spectra of different dimensions are refused with a message: false,
// nothing written.
bool SaveSpectraSpcMultiFile(const TSpectraList& list, const std::string& fileName, const std::string& programFolder);
