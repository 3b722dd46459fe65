#pragma once
// Delimited text spectra (CSV files and pasted clipboard text): one spectrum, several spectra sharing
// one x column, x/y column pairs, or an excitation-emission matrix. Records are appended to the list.
#include <string>

#include "core/spectra_list.h"

// mode 0: `text` is a file name whose content is read; mode 1: `text` is the data itself.
void LoadTextSpectra(const std::string& text, int mode, TSpectraList& list);
// The Open command's reader for CSV files (format code 15).
void LoadTextSpectraFile(const std::string& path, TSpectraList& list);
// Reads the clipboard's text (mode 1).
void LoadTextSpectraFromClipboard(TSpectraList& list);
// The work of both modes: `data` is the text, `fileName` the file (mode 0), `dateText` the records' date.
void LoadTextSpectraData(const std::string& data, const std::string& fileName, int mode,
                         const std::string& dateText, TSpectraList& list);
