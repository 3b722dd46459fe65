#pragma once
// DAT reader: the instrument export with a fixed header (one percent-transmittance spectrum) and the
// tab-separated multi-column layout of our own DAT writer (x columns, then one column per spectrum).
#include <cstdint>
#include <string>
#include <vector>

#include "core/spectra_list.h"

// Reads the file and appends its spectra (format code 18); a file larger than `maxBytes` is refused
// before it is read.
void LoadDatFile(const std::string& path, TSpectraList& list, std::uint64_t maxBytes);
// The same for text already in memory (UTF-8); `dateText` is the records' date.
void LoadDatText(const std::string& text, const std::string& path, const std::string& dateText, TSpectraList& list);
// The same for lines in memory, as if each ended with CR LF.
void LoadDatLines(const std::vector<std::string>& lines, const std::string& path, const std::string& dateText,
                  TSpectraList& list);
