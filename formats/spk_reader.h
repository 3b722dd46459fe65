#pragma once
// SPK text spectra: a header of fixed lines (its length on line 1), then x/y lines.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/spectrum_record.h"

// Fills `rec` (its kind code and y kind stay as the caller set them unless the y code says
// transmittance). Files whose x code is not 1 (nm) or whose y code is 3 or 5 are refused with a
// vx::FileError naming the code; a header line without its integer is the conversion error, as is a
// data field that is no number. Fewer than two values leave the record without points. A file larger
// than `maxBytes` is refused before it is read.
void LoadSpecSpk(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes);
// The same on the file's bytes in memory.
void ReadSpecSpkBytes(TSpectrumRecord& rec, std::string_view bytes, const std::string& fileName);
