#pragma once
// What every processing dialog shares behind its controls: help pages, typed numbers, and how new
// records are added and originals removed.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/spectrum_record.h"

inline constexpr const char* kHelpFailedText = "Help files could not be opened!";

// The folder the manual folder "html" lies in: the program folder unless set (tests set it).
const std::string& HelpBaseFolder();
void SetHelpBaseFolder(const std::string& folder);

// Opens "html/<page>#<anchor>" below the help base folder; shows kHelpFailedText when that fails.
// `page` is given as the dialogs name it ("html\\varolux_man_spek_en.html#peak").
bool OpenDialogHelp(const std::string& page);

// The number rule of typed decimals: every "." becomes the regional decimal separator; `text` gets the
// corrected form back (the dialog writes it into its edit). Raises the conversion error.
double DialogFloat(std::string& text);
int32_t DialogInt(const std::string& text);

// Appends a tool's new record. When its original is removed it takes the original's colour, else the
// default colour of its new position.
void AppendToolResult(std::unique_ptr<TSpectrumRecord> rec, bool originalRemoved,
                      uint32_t originalColor);

// A spectrum choice that names an existing record.
bool ValidSpectrumIndex(int32_t index);

// Collects the indices of originals during an "all spectra" loop and deletes them afterwards, highest
// index first, so that the indices collected stay valid until then.
class OriginalsToRemove {
public:
    void Add(int32_t index) { indices_.push_back(index); }
    bool Empty() const { return indices_.empty(); }
    void DeleteAll();

private:
    std::vector<int32_t> indices_;
};
