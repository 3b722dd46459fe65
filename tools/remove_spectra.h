#pragma once
// Removing spectra: by hand from the remove dialog's list, by file-type tag, all, or the last one.
#include <cstdint>
#include <string>
#include <vector>

// The file-type tags the remove dialog offers.
const std::vector<std::string>& RemoveDialogTags();

// One list item of the remove dialog: number (list position + 1), "- ", title.
std::string RemoveListItemText(int32_t index);

// Deletes every spectrum whose non-empty tag occurs within `tagText`, from the last down.
int32_t RemoveSpectraOfType(const std::string& tagText);

// Deletes the spectra whose numbers stand before the "-" of the given list items, highest first. Items
// without a number in range are skipped.
int32_t RemoveSpectraByItems(const std::vector<std::string>& items);

// Remove All: deletes every spectrum.
void RemoveAllSpectra();
// Remove Last Spectrum: false when the list was empty.
bool RemoveLastSpectrum();
// Whether any record is plotted on the second y axis (kind 7).
bool AnySecondAxisSpectrum();
