#pragma once
// The inspector of unknown binary files: the bytes of a file read as eight number types, one row per
// offset, as a tab-separated table for a spreadsheet.
#include <cstdint>
#include <string>

// At most this many bytes from `start` are tabulated; a closing row says when the file goes on.
inline constexpr int64_t kInspectLimit = 1024 * 1024;

// The table of `path` from byte `start` over `length` bytes (negative: to the end of the file) with one
// row every `step` bytes. A cell whose bytes do not all lie in the file stays empty. Raises an error
// for a step below 1 or a negative start, and the file error when the file cannot be read.
std::string BinaryFileTable(const std::string& path, int64_t start, int64_t length, int64_t step);

// Puts that table on the clipboard.
void InspectBinaryFile(const std::string& path, int64_t start, int64_t length, int64_t step);
