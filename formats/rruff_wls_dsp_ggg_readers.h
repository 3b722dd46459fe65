#pragma once
// Four small instrument and database text formats, each read into the one record the Open command
// hands over: Raman spectra of the mineral database (RRUFF, code 23), spectrophotometer exports (WLS,
// code 24), spectrometer software files (DSP, code 27) and tagged low-temperature fluorescence files
// (GGG, code 16). A file that gives fewer than two points leaves the record as it was; a number that
// does not convert raises the conversion error. A file larger than `maxBytes` is refused before it is
// read.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/spectrum_record.h"

void LoadSpecRruff(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes);
void LoadSpecVwrWls(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes);
void LoadSpecAscanisDsp(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes);
void LoadGggFile(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes);

// The same on file contents in memory (bytes as stored in a file, or UTF-8 when `utf8`); a date text
// the file does not give is left empty.
enum class SmallTextFormat { Rruff, Wls, Dsp, Ggg };
void ReadSmallTextBytes(SmallTextFormat format, TSpectrumRecord& rec, std::string_view bytes, bool utf8,
                        const std::string& fileName);
