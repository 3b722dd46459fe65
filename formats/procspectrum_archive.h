#pragma once
// Spectrometer software files (*.procspec): a ZIP archive whose "ps_*.xml" member holds the wavelengths
// and the values as one element per line.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/spectrum_record.h"

// The largest member taken into memory.
inline constexpr std::uint64_t kProcSpecMaxMember = std::uint64_t{256} << 20;

// Fills `rec`. Errors leave as exceptions: "Cannot open file <name>. <reason>" for a file that cannot be
// opened or is no regular file, "Cannot open file <name>" for one that is no readable ZIP archive (or
// whose member is damaged), a clear message for a member above kProcSpecMaxMember, "List
// index out of bounds (%d)" for a missing element or closing tag and for x and y lists of different
// length, "Invalid floating point operation" for fewer than two pairs or no x range, the conversion
// error for a value that is no number.
void LoadSpecProcSpec(TSpectrumRecord& rec, const std::string& fileName);
// The same on the archive's bytes in memory; `dateText` stands for the file's modification date.
void ReadSpecProcSpecBytes(TSpectrumRecord& rec, std::string_view archive, const std::string& fileName,
                           const std::string& dateText);
// The spectrum of an extracted member's text.
void ReadProcSpecXml(TSpectrumRecord& rec, std::string_view xml, const std::string& fileName,
                     const std::string& dateText);
