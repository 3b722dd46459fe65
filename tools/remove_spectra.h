#pragma once
// Removing spectra: by hand from the remove dialog's list, by file-type tag, all, or the last one.
#include <cstdint>
#include <string>
#include <vector>

#include "core/spectra_list.h"

// The file-type tags the remove dialog offers.
const std::vector<std::string>& RemoveDialogTags();

// One list item of the remove dialog: number (list position + 1), "- ", title.
std::string RemoveListItemText(const TSpectraList& list, int32_t index);

// Deletes every spectrum whose non-empty tag occurs within `tagText`, from the last down.
int32_t RemoveSpectraOfType(TSpectraList& list, const std::string& tagText);

// Deletes the spectra whose numbers stand before the "-" of the given list items, highest first. Items
// without a number in range are skipped.
int32_t RemoveSpectraByItems(TSpectraList& list, const std::vector<std::string>& items);

// Remove All: deletes every spectrum.
void RemoveAllSpectra(TSpectraList& list);
// Remove Last Spectrum: false when the list was empty.
bool RemoveLastSpectrum(TSpectraList& list);
// Whether any record is plotted on the second y axis (kind 7).
bool AnySecondAxisSpectrum(const TSpectraList& list);
