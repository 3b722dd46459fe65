#pragma once
// PRN text files of a CCD spectrometer: x/y columns, or the single-column variant of 576 pixels.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/spectrum_record.h"

// Fills `rec`. A field that is no number is the conversion error; a file with fewer than two data
// lines, or whose first two x are equal, leaves the record without points. A file larger than
// `maxBytes` is refused before it is read.
void LoadSpecPrn(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes);
// The same on the file's bytes in memory; `dateText` stands for the file's modification date.
void ReadSpecPrnBytes(TSpectrumRecord& rec, std::string_view bytes, const std::string& fileName,
                      const std::string& dateText);
