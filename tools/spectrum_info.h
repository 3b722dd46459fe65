#pragma once
// The text of the spectra information window: what is stored for one spectrum, one line per field.
#include <string>
#include <vector>

#include "core/spectrum_record.h"

// The lines for `rec`; fields that are not set show "--". Numbers in the regional decimal separator.
std::vector<std::string> BuildInfoText(const TSpectrumRecord& rec);
