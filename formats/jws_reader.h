#pragma once
// Spectrometer files with the extension JWS (format code 25): the compound-file container, whose data
// block is found by its byte pattern, and the older flat layout in its two variants.
#include <string>
#include <string_view>

#include "core/spectrum_record.h"

// The message shown, after the file name and two line breaks, for a file of neither container kind or
// a container without the data block.
inline constexpr const char* kJwsNotRecognized = "is no recognized JASCO file!!";

// Fills `rec` with the file's spectrum; the record is left as it was when the file gives no complete
// spectrum (an unknown file shows the message above). A file shorter than the fields read raises
// "Stream read error".
void LoadJwsFile(TSpectrumRecord& rec, const std::string& fileName);
// The same on file contents in memory; the date text is left empty.
void ReadJwsBytes(TSpectrumRecord& rec, std::string_view bytes, const std::string& fileName);
