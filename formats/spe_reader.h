#pragma once
// CCD spectrograph data files with the extension SPE (format code 21): a 4100-byte header and the
// pixel data of every frame, one record per frame and stripe (detector row).
#include <cstdint>
#include <string>
#include <string_view>

#include "core/spectra_list.h"

inline constexpr const char* kSpeWrongFormat = "Wrong File Format!";

// Appends one record per frame and stripe, frames outer. A file that is no such file, or whose data
// type or calibration cannot be used, shows "Wrong File Format!" and adds nothing; a file shorter than
// its header or than the data it announces raises "Stream read error" before anything is added. A file
// larger than `maxBytes` is refused before it is read.
void LoadSpecWinSpecSpe(const std::string& fileName, TSpectraList& list, std::uint64_t maxBytes);
// The same on file contents in memory; every record gets `dateText`.
void ReadSpeBytes(std::string_view bytes, const std::string& fileName, const std::string& dateText,
                  TSpectraList& list);
