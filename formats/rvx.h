#pragma once
// RVX, the program's own binary spectrum file: a version, a count, then per spectrum the 864-byte
// record image and its y values. The current layout is read and written; three older ones are read.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/spectra_list.h"

inline constexpr double RvxFileVersion = 64.0;

// The 864-byte record image of the current layout: the record's fields at fixed offsets, little-endian,
// texts in Windows-1252 with their length byte first. The values follow it in the file and are not part
// of it.
inline constexpr std::size_t kRecordImageSize = 864;
using RecordImage = std::array<uint8_t, kRecordImageSize>;
RecordImage RecordToImage(const TSpectrumRecord& rec);
// Fills every field but the values from an image; an x unit or y kind code that no unit has reads as nm
// or absorbance, other invalid codes are left as stored (the reader checks).
void RecordFromImage(const uint8_t* image, TSpectrumRecord& rec);

// Appends every spectrum of the file to `list` in file order (an own-records reader of the Open command,
// also used for blank EEM data sets). A spectrum is appended only when it is complete; a file that ends
// early or holds an impossible count, length or grid raises "Stream read error", and the spectra read
// completely before it stay. Spectra of fewer than two points are passed over.
void LoadRvxFile(const std::string& fileName, TSpectraList& list);
// The same on file contents in memory; `fileDate` (days since 1899-12-30) gives the older layouts their
// date text.
void LoadRvxBytes(std::string_view bytes, double fileDate, TSpectraList& list);

// The file contents for every spectrum of `list`, in list order, in the current layout.
std::string RvxFileImage(const TSpectraList& list);
// Writes RvxFileImage beside the target and renames it over; throws vx::FileError when that fails.
void SaveRvxFile(const std::string& fileName, const TSpectraList& list);

// The 6-byte real of the older layouts and of the version field.
double Real48ToDouble(const uint8_t* p);
// Encodes a finite value whose magnitude fits the format (about 2.9e-39 .. 1.7e38); smaller ones give 0.
void DoubleToReal48(double v, uint8_t* p);
