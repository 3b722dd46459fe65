#pragma once
// Export of one spectrum in the layout of the RRUFF mineral database: four header entries, then one
// "x, y" line per point from the last point down to the first, always with decimal points.
#include <string>

#include "core/display_state.h"
#include "core/spectrum_record.h"

struct TRruffHeader {
    std::string Name;       // "##NAMES="
    std::string Locality;   // "##LOCALITY="
    std::string Sample;     // "##RRUFFID=", the sample identifier
    std::string Chemistry;  // "##CHEMISTRY="
};

// The file's text (UTF-8, CR LF): x in the record's own unit, y in the display y mode of `display`.
std::string RruffExportText(const TSpectrumRecord& rec, const TRruffHeader& header, const TDisplayState& display);
// Writes it in the ANSI code page; the old file stays when it cannot be written (vx::FileError).
void SaveSpecRruff(const std::string& fileName, const TSpectrumRecord& rec, const TRruffHeader& header,
                   const TDisplayState& display);
