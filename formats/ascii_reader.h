#pragma once
// The generic two-column text reader (*.fak and the tools' lamp, correction and solvent curves).
#include <cstdint>
#include <string>
#include <string_view>

#include "core/spectrum_record.h"
#include "formats/reader_context.h"

class MappedText;

// The query raised for a headerless file opened by the Open command: dialog "TAchsenFrageDia" with the
// fields below ("XUnit" / "YKind" hold the codes as decimal text, in and out).
inline constexpr const char* kAxisQueryDialog = "TAchsenFrageDia";
inline constexpr const char* kAxisQueryFileLabel = "Label1";
inline constexpr const char* kAxisQueryPathLabel = "Label2";
inline constexpr const char* kAxisQueryXUnit = "XUnit";
inline constexpr const char* kAxisQueryYKind = "YKind";

// Reads the x/y pairs of a text file into `rec`, resampled onto an equidistant grid, and fills the
// reader's fields. With `axisQuery` (the Open command's reading) a headerless file asks for its axis
// types, preselecting and updating *axisQuery; without it (the tools' curves) it is nm and intensity.
// A file larger than `maxBytes` is refused before it is read.
// On any error the record is left as it was and the error leaves as an exception ("List index out of
// bounds (%d)" for too short a file, "Invalid floating point operation" for a single pair or a zero x
// range, the conversion error for a field that is no number). Colour and line style of `rec` are kept.
void LoadSpecAscii(TSpectrumRecord& rec, const std::string& fileName, TAxisQueryChoice* axisQuery,
                   std::uint64_t maxBytes);
// The Open command's reader: the same with the program's last query choice.
void LoadSpecAsciiFromOpen(TSpectrumRecord& rec, const std::string& fileName, TAxisQueryChoice& axisQuery,
                           std::uint64_t maxBytes);
// The same on file contents in memory (bytes as stored in the file; `utf8` when they are already UTF-8
// rather than Windows-1252). The date text is left empty.
void ReadSpecAsciiBytes(TSpectrumRecord& rec, std::string_view bytes, bool utf8, const std::string& fileName,
                        TAxisQueryChoice* axisQuery);

// The two-column reading other readers share (no header count, no label line, no query): the separator
// guessed from the eleventh line, pairs from line `firstLine` on up to the first line without a
// separator (only those whose x text has at least `minXChars` characters), then rising order, the grid,
// resampling, the y conversion of rec's y kind (transmittance percent above 4.0, reflectance above
// 1.2), direction and unit folding. The other fields of `rec` are kept; errors as LoadSpecAscii.
void ReadAsciiPairsFromLine(TSpectrumRecord& rec, const MappedText& text, std::size_t firstLine,
                            std::size_t minXChars);
