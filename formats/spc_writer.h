#pragma once
// Saving one spectrum as an SPC file through the SPC library.
#include <string>

#include "core/spectrum_record.h"

// The SPC case of the save dispatcher: takes the only spectrum of SpectraList or asks for one
// (query "TAuswDia", field "SpekBox" = list index); false when nothing was chosen.
bool SaveSpecSpc(const std::string& fileName);
// Writes one record as an evenly spaced single-subfile SPC file.
void SaveSpectrumSpc(const TSpectrumRecord& rec, const std::string& fileName);
