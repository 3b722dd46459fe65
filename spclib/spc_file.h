#pragma once
// Reading an SPC image (little-endian, big-endian and old form) into a document, and writing a
// document as a new-form image.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "spclib/spc_document.h"

namespace spc {

// Open results.
enum : int32_t { kOpenOk = 0, kOpenCannot = -1, kOpenNoMemory = -2, kOpenNotSpc = -3, kOpenBadData = -4 };

// Parses an image; the document is reset first. Every count and offset is checked against the image.
// The integrity field is checked only when its outcome is wanted (it costs a digest of the whole file).
int32_t OpenImage(TARNVIK& doc, const uint8_t* data, std::size_t size, bool checkIntegrity = true);
// Opens a file through a read-only mapping of it.
int32_t OpenFileImage(TARNVIK& doc, const std::string& path, bool checkIntegrity = true);

// The file image of the whole document (subfile -1) or of one subfile; nullopt when the index lies
// outside or values cannot be read.
std::optional<std::vector<uint8_t>> BuildImage(const TARNVIK& doc, int32_t subfile);
// The size of that image; nullopt when the index lies outside.
std::optional<uint64_t> ImageSize(const TARNVIK& doc, int32_t subfile);
// Writes the image to a temporary file beside the target and renames it into place once complete;
// bytes written, or -1 (the old file then stays as it was).
int64_t SaveImageFile(const TARNVIK& doc, int32_t subfile, const std::string& path);

// The keyed digest of an image with its integrity field taken as zero.
void IntegrityDigest(const uint8_t* data, std::size_t size, const std::vector<uint8_t>& key, uint8_t out[20]);
uint32_t CheckIntegrity(const uint8_t* data, std::size_t size, const std::vector<uint8_t>& key);

// The factor 2^e of a Y exponent byte.
double ExponentFactor(uint8_t e);

}  // namespace spc
