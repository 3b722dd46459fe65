#pragma once
// The work of "Export spectral data" (TMultiSaveDia's Export!): every spectrum of the list as SPC,
// JCAMP-DX or CSV, one file each or all in one multi-file, with the file names built from the
// spectra's files, their legends or a numbered base name. Files that exist are never replaced: the
// first free "name(k).ext" is taken instead.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/program_settings.h"
#include "core/spectra_list.h"

// What the dialog shows while the export runs: lines for its memo (one at a time, or for many spectra
// in a few batches) and the progress of the single files (c of n; hidden again with c = -1).
struct TBatchExportReport {
    std::function<void(const std::vector<std::string>& lines)> Lines;
    std::function<void(int32_t c, int32_t n)> Progress;
};

struct TBatchExportResult {
    std::string BaseName;         // the base name used ("my_file_name" for an empty one)
    std::vector<std::string> Files;  // the paths written, in order
    bool Finished = false;        // false when the export was refused (nothing more written)
};

// The extension of the file type (0 ".spc", 1 ".dx", 2 ".csv").
std::string BatchExtension(int32_t fileType);
// The numbering text of spectrum c of n: c + 1 after as many "0" as n has decimal digits less one
// (12 spectra give "01" .. "09", "010", "011", "012").
std::string BatchNumberText(int32_t c, int32_t n);
// The name a file gets in `folder` (ending with "/"): `name` with the extension `ext` (replacing the
// name's own when `hasOwnExtension`, else appended unless the name already ends in it), or, when that
// or the name itself exists there, the first free "<stem>(k)<ext>" with k from 1. A stem too long
// for a file name is cut (between UTF-8 characters) so that the whole name fits.
std::string FreeExportName(const std::string& folder, const std::string& name, const std::string& ext,
                           bool hasOwnExtension);

// Export! with the dialog's settings and its folder text. A base name in use (multi-file or numbering)
// that holds "/" or ".." is refused with a message before anything is written (Finished false).
// Errors of the library or of a file raise vx::Error and end the export; the files written before stay.
// The SPC library is found in `programFolder`.
TBatchExportResult SaveSpectraBatch(const TSpectraList& list, const TMultiSave& settings, const std::string& folder,
                                    const std::string& programFolder, const TBatchExportReport& report = {});
