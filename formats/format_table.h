#pragma once
// The Open command's one table of spectrum file formats. A row describes its format whole: code,
// extensions, reader, the file-type tags the reader sets and the format's entries in the Open dialog's
// filter. Looking a reader up, listing the formats and building the file-dialog filter all walk it.
#include <string>
#include <vector>

#include "core/spectra_list.h"

// A reader that fills one fresh record; the Open command keeps it only when it is complete.
using FreshRecordReader = void (*)(TSpectrumRecord& rec, const std::string& path);
// A reader that appends its own complete records to the list.
using OwnRecordsReader = void (*)(const std::string& path, TSpectraList& list);

// One entry of a file dialog's filter: the text the user sees and its ";"-separated patterns.
struct FilterEntry {
    std::string description;
    std::string patterns;
};

struct FormatEntry {
    int code;
    std::vector<std::string> extensions;  // upper case, without the dot
    FreshRecordReader fresh;               // at most one of the two is set; neither until the reader exists
    OwnRecordsReader own;
    // The `SpecType` values its reader gives a record, the usual one first; empty where the reader
    // sets none of its own (RVX keeps the stored tags, GGG takes its tag from the file).
    std::vector<std::string> tags;
    // The format's own entries of the Open dialog's filter, in the dialog's order (may be none).
    std::vector<FilterEntry> filters;

    bool HasReader() const { return fresh != nullptr || own != nullptr; }
};

// The rows, in the order their filter entries take in the Open dialog.
const std::vector<FormatEntry>& FormatTable();
// The format code of a file name by its extension (ignoring case); 0 for no spectrum file.
int FormatCodeOf(const std::string& path);
const FormatEntry* FormatEntryOf(int code);

// The Open dialog's filter: "all spectral file types" with the patterns of every spectral format in one
// entry, then the rows' own entries in table order.
const std::vector<FilterEntry>& OpenFilter();
