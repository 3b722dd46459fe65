#pragma once
// JCAMP-DX reader: single and compound files, "(XY..XY)" and "(X++(Y..Y))" tables in plain or packed
// number form. One record per data block is appended to the list.
#include <cstdint>
#include <string>

#include "core/spectra_list.h"

// Reads the file and appends one record per readable block (format code 7, DX and JDX); a file larger
// than `maxBytes` is refused before it is read.
void LoadSpecJcamp(const std::string& path, TSpectraList& list, std::uint64_t maxBytes);
// The same for text already in memory; `path` names the records, `fileDateText` is the date used when
// the file has no date labels.
void LoadSpecJcampText(const std::string& text, const std::string& path, const std::string& fileDateText,
                       TSpectraList& list);
