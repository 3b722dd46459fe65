#pragma once
// *.asc files, told apart by their first line: PerkinElmer text spectra (read by the PerkinElmer
// reader), DU ASCII exports, spectral-library files and, by default, the ASCII export of the
// Spectronic 3000.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/spectrum_record.h"

// Fills `rec`. Errors leave as exceptions: "List index out of bounds (%d)" for a file shorter than its
// kind's fixed lines or a DU file without its read mode or the empty line after it, the conversion
// error for a field that is no number. Fewer than three data pairs leave the record without points.
// A file larger than `maxBytes` is refused before it is read.
void LoadAscFile(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes);
// The same on the file's bytes in memory; `dateText` stands for the file's modification date.
void ReadAscBytes(TSpectrumRecord& rec, std::string_view bytes, const std::string& fileName,
                  const std::string& dateText);
