#pragma once
// SpectraWiz text files (*.abs, *.trm, *.ssm, *.irr, *.lib): two header lines, then x/y pairs.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/spectrum_record.h"

// Fills `rec` by the generic two-column reading (see ReadAsciiPairsFromLine) from line 2 on, keeping
// only pairs whose x text has two characters or more; the y kind comes from the third character of
// line 1. Errors as the two-column reader: "List index out of bounds (%d)" for fewer than eleven lines
// or no pair, the conversion error, "Invalid floating point operation" for one pair or no x range.
// A file larger than `maxBytes` is refused before it is read.
void LoadSpecSpectraWiz(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes);
// The same on the file's bytes in memory; `dateText` stands for the file's modification date.
void ReadSpecSpectraWizBytes(TSpectrumRecord& rec, std::string_view bytes, const std::string& fileName,
                             const std::string& dateText);
