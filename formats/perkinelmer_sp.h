#pragma once
// PerkinElmer spectrum files (*.sp, and *.asc files whose first line names a PE spectrum): the old fixed
// binary header, the "PEPE" block layout, the "PE " text layout in its ASCII and BINARY variants and the
// headerless fluorescence text whose first line is the point count.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/spectrum_record.h"

// Fills `rec` (the Open command's fresh record; its x unit and y kind are the start values of layouts
// that give none). A file of none of the layouts shows the error box "<file>\r\n\r\nis not the Perkin
// Elmer ASCII file format!!" and leaves the record without points; so does a file whose data give fewer
// than two points or no usable grid. Errors leave as exceptions: "Stream read error" for a binary file
// shorter than its counts and blocks say, "Invalid floating point operation" for a zero divisor, "List
// index out of bounds (%d)" for a missing text line, the conversion errors for a field that is no number.
// A file larger than `maxBytes` is refused before it is read.
void LoadSpecPerkinElmer(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes);
// The same on the file's bytes in memory; `dateText` stands for the file's modification date.
void ReadSpecPerkinElmerBytes(TSpectrumRecord& rec, std::string_view bytes, const std::string& fileName,
                              const std::string& dateText);
