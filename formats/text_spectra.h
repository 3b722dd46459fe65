#pragma once
// Delimited text spectra (CSV files and pasted clipboard text): one spectrum, several spectra sharing
// one x column, x/y column pairs, or an excitation-emission matrix. Records are appended to the list.
#include <cstdint>
#include <string>

#include "core/spectra_list.h"

// mode 0: `text` is a file name whose content is read, a file larger than `maxBytes` refused before it
// is read; mode 1: `text` is the data itself, which no limit of a file concerns.
void LoadTextSpectra(const std::string& text, int mode, TSpectraList& list, std::uint64_t maxBytes);
// The Open command's reader for CSV files (format code 15).
void LoadTextSpectraFile(const std::string& path, TSpectraList& list, std::uint64_t maxBytes);
// Reads the clipboard's text (mode 1).
void LoadTextSpectraFromClipboard(TSpectraList& list);
// The work of both modes: `data` is the text, `fileName` the file (mode 0), `dateText` the records' date.
void LoadTextSpectraData(const std::string& data, const std::string& fileName, int mode,
                         const std::string& dateText, TSpectraList& list);
