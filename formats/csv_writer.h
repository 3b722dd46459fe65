#pragma once
// CSV: delimited text of all spectra, each in its own units, with the regional list separator.
#include <string>

#include "core/spectra_list.h"

struct TCsvText {
    std::string text;     // the file's text (UTF-8, CR LF), empty when refused
    std::string refusal;  // why nothing can be written (no spectra); empty when the text is good
    std::string notice;   // names the spectra whose values could not be converted; empty when all could
};

// The batch export's variants: `Only` >= 0 writes that spectrum alone, in a table with as many rows as
// the longest spectrum of the list needs; `CapitalYTitles` gives the further spectra the capitalised
// y titles of the first.
struct TCsvLayout {
    int32_t Only = -1;
    bool CapitalYTitles = false;
};

TCsvText CsvExportText(const TSpectraList& list, const TCsvLayout& layout = {});
// Writes the CSV file; a refusal is shown and writes nothing (false); a notice is shown after writing.
bool SaveCsvFile(const std::string& fileName, const TSpectraList& list, const TCsvLayout& layout = {});
