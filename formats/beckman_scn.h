#pragma once
// Binary scan files of DU spectrophotometers (*.scn): a 59-byte header of big-endian singles, then the
// values.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/spectrum_record.h"
#include "platform/byte_order.h"

// The float that 4 bytes in big-endian order hold.
inline float BigEndianSingle(const uint8_t* p) { return byteorder::getF32BE(p); }

// Fills `rec`. A file without the "S_SCAN"/"S_NSCN" signature leaves it without points; a zero or
// non-finite step raises "Invalid floating point operation", values missing from the file "Stream read
// error". A file larger than `maxBytes` is refused before it is read.
void LoadSpecBeckmanScn(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes);
// The same on the file's bytes in memory; `dateText` stands for the file's modification date.
void ReadSpecBeckmanScnBytes(TSpectrumRecord& rec, std::string_view bytes, const std::string& fileName,
                             const std::string& dateText);
