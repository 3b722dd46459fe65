#pragma once
// The work of "Choose spectrum to save as RRUFF file" (TRRUFFDia): the header entries preset from a
// spectrum, and the export of the chosen spectrum.
#include <cstdint>
#include <string>

#include "core/display_state.h"
#include "core/spectra_list.h"
#include "formats/rruff_writer.h"

inline constexpr const char* kRruffNoDataText = "no RRUFF data available!";
inline constexpr const char* kRruffNotRamanText = "Spectrum not classified as Raman type!\r\nSave anyways?";

// TRRUFFDia.PresetFields for record `rec`: with `copyValues` and a spectrum read from an RRUFF file
// the entries its header carries (an entry whose marker is missing keeps its text in `fields`);
// otherwise the file name, "none", "SAMP001" and "unknown". `status` gets the dialog's status text
// where the preset sets one.
void PresetFields(const TSpectrumRecord& rec, bool copyValues, TRruffHeader& fields, std::string& status);

// Writes spectrum `index` of `list` with y in the display y mode; the chosen name gets the extension
// ".rruff" (replacing another). Returns the name written. Raises vx::Error for a bad index or a
// file that cannot be written.
std::string SaveRruffExport(const TSpectraList& list, const TDisplayState& display, int32_t index,
                            const std::string& chosenName, const TRruffHeader& fields);
