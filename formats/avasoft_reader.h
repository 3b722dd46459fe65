#pragma once
// Text exports of a spectrometer software with the extensions TRT, TAT, TTT and TIT (format code 20):
// seven header lines (more in later exports, which end them with the units row of the column titles),
// then x;y lines or lines of several ";"-separated columns.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/spectrum_record.h"

// Fills `rec`; the record is left as it was when the file holds fewer than two pairs. A number that
// does not convert raises the conversion error. A file larger than `maxBytes` is refused before it is
// read.
void LoadSpecAvaSoft(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes);
// The same on file contents in memory (bytes as stored; `utf8` when already UTF-8); the date text is
// left empty. The y kind follows the extension of `fileName`.
void ReadAvaSoftBytes(TSpectrumRecord& rec, std::string_view bytes, bool utf8, const std::string& fileName);
