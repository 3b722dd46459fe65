#pragma once
// The Open command's one table of file extensions, format codes and readers. Looking a reader up,
// listing the formats and building the file-dialog filter all walk this table.
#include <string>
#include <vector>

#include "core/spectra_list.h"

// A reader that fills one fresh record; the Open command keeps it only when it is complete.
using FreshRecordReader = void (*)(TSpectrumRecord& rec, const std::string& path);
// A reader that appends its own complete records to the list.
using OwnRecordsReader = void (*)(const std::string& path, TSpectraList& list);

struct FormatEntry {
    int code;
    std::vector<std::string> extensions;  // upper case, without the dot
    FreshRecordReader fresh;               // exactly one of the two is set once the reader exists
    OwnRecordsReader own;
};

const std::vector<FormatEntry>& FormatTable();
// The format code of a file name by its extension (ignoring case); 0 for no spectrum file.
int FormatCodeOf(const std::string& path);
const FormatEntry* FormatEntryOf(int code);

struct FilterEntry {
    std::string description;
    std::string patterns;
};
// The Open dialog's filter entries, in order.
const std::vector<FilterEntry>& OpenFilter();
