#pragma once
// Spectrometer files with the extension JWS (format code 25): the compound-file container, whose data
// streams are found through its directory (or, where it names none, the data block by its byte
// pattern), and the older flat layout in its two variants.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/spectrum_record.h"

// The message shown, after the file name and two line breaks, for a file of neither container kind or
// a container without the data block.
inline constexpr const char* kJwsNotRecognized = "is no recognized JASCO file!!";

// The message, after the file name and two line breaks, for a file whose values end before the count
// its header gives; the values it holds are kept.
std::string JwsShortValuesText(std::size_t read, std::uint64_t count);

// Fills `rec` with the file's spectrum; the record is left as it was when the file gives no complete
// spectrum (an unknown file shows the message above). A file shorter than the fields read raises
// "Stream read error"; a compound file whose data streams cannot be followed raises an error naming
// the stream. A file larger than `maxBytes` is refused before it is read.
void LoadJwsFile(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes);
// The same on file contents in memory; the date text is left empty.
void ReadJwsBytes(TSpectrumRecord& rec, std::string_view bytes, const std::string& fileName);
