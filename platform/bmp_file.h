#pragma once
// Windows bitmap files: read any uncompressed or bit-field bitmap of 1, 4, 8, 16, 24 or 32 bits a pixel
// into a frame; write a frame as a 24-bit bitmap.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/frame.h"

// Raises vx::FileError with a clear text when the bytes are no bitmap this reader can take.
TFrame DecodeBitmap(const uint8_t* data, size_t size);
TFrame ReadBitmapFile(const std::string& path);
// The bytes of a 24-bit bitmap file (bottom-up rows, as every program reads them).
std::string EncodeBitmap(const TFrame& frame);
// Written through the safe path: the old file stays when the write fails (vx::FileError).
void WriteBitmapFile(const std::string& path, const TFrame& frame);
