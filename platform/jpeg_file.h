#pragma once
// JPEG pictures through libjpeg: spectrum images loaded by the user and the frames of webcams that
// deliver MJPEG.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/frame.h"

// Decodes one JPEG picture (colour or grey); raises vx::FileError with a clear text otherwise.
TFrame DecodeJpeg(const uint8_t* data, size_t size);
TFrame ReadJpegFile(const std::string& path);
// Loads a JPEG file and saves it as a Windows bitmap file.
void JpegFileToBitmap(const std::string& bitmapPath, const std::string& jpegPath);
