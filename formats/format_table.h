#pragma once
// The Open command's one table of spectrum file formats. A row describes its format whole: code,
// extensions, the largest file its reader takes, the reader, the file-type tags the reader sets and
// the format's entries in the Open dialog's filter. Looking a reader up, listing the formats and
// building the file-dialog filter all walk it.
#include <cstdint>
#include <string>
#include <vector>

#include "core/spectra_list.h"
#include "formats/file_filter.h"
#include "formats/reader_context.h"

// The Open command's format codes, chosen by the file's extension.
enum class OpenFormat {
    None = 0,  // no spectrum file: skipped
    Rvx = 1,
    Asc = 2,
    JcampDx = 7,
    Spk = 8,
    Prn = 10,
    Fak = 11,
    PerkinElmerSp = 14,
    Csv = 15,
    Ggg = 16,
    Dat = 18,
    Spc = 19,
    AvaSoft = 20,
    WinSpecSpe = 21,
    BeckmanScn = 22,
    Rruff = 23,
    VwrWls = 24,
    Jws = 25,
    ProcSpec = 26,
    AscanisDsp = 27,
    SpectraWiz = 28,
};

// A reader that fills one fresh record; the Open command keeps it only when it is complete. Every reader
// is handed the `maxBytes` of its row (the row, not the reader, knows how large a file may be) and what
// it needs of the program's settings.
using FreshRecordReader = void (*)(TSpectrumRecord& rec, const std::string& path, std::uint64_t maxBytes,
                                   const TReaderContext& context);
// A reader that appends its own complete records to the list.
using OwnRecordsReader = void (*)(const std::string& path, TSpectraList& list, std::uint64_t maxBytes,
                                  const TReaderContext& context);

struct FormatEntry {
    OpenFormat code;
    std::vector<std::string> extensions;  // upper case, without the dot
    // Larger files are refused before they are read, as no file of the format is that large. 0 where
    // the reader has no limit of the whole file: RVX checks every count against the file's size as it
    // goes, a ProcSpec archive limits the spectrum inside it.
    std::uint64_t maxBytes;
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
// The format code of a file name by its extension (ignoring case); None for no spectrum file.
OpenFormat FormatCodeOf(const std::string& path);
const FormatEntry* FormatEntryOf(OpenFormat code);
// The row's largest file (0 for None), for callers outside the Open command that use its reader.
std::uint64_t ReadLimitOf(OpenFormat code);
// The extensions that have a reader, upper case without the dot, in table order.
std::vector<std::string> ReadableExtensions();

// The Open dialog's filter: "all spectral file types" with the patterns of every spectral format in one
// entry, then the rows' own entries in table order.
const std::vector<FilterEntry>& OpenFilter();
