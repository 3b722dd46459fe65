#pragma once
// Reordering the spectra list: the entries of the sort list, moving selected entries by drag, the
// automatic sort by name, temperature and excitation wavelength, and the new order applied on OK.
// An entry is the original list index of its spectrum; it keeps it (and its number in the text)
// however often it is moved or sorted, so the entry always names the same spectrum.
#include <cstdint>
#include <string>
#include <vector>

#include "core/spectra_list.h"

struct TSortParams {
    int32_t Direction = 0;     // "Direction": 0 alphabetical, 1 inverse alphabetical
    int32_t Temperature = -1;  // "Temperature": -1 not chosen, 0 decreasing, 1 increasing
    int32_t Wavelength = -1;   // "Wavelength": -1 not chosen, 0 increasing, 1 decreasing
};

// The entries in list order: 0 .. count-1.
std::vector<int32_t> SortEntriesOf(const TSpectraList& list);
// Text of an entry: its list number from 1, "- " and the legend title ("3- water").
std::string SortEntryText(const TSpectraList& list, int32_t entry);

// Moves the entries at the positions `selected` (in their present order) before the entry at
// position `target`. A target that is itself selected moves them before the next unselected entry;
// a target past the last entry, negative, or with no unselected entry after it appends them.
void MoveSortEntries(std::vector<int32_t>& order, const std::vector<int32_t>& selected, int32_t target);

// The keys of the passes: text + "%#&-" + the entry's list index. Temperatures and wavelengths are
// rounded (halves to even); a two-digit temperature gets a leading "0".
std::string SortNameKey(const TSpectrumRecord& rec, int32_t entry);
std::string SortTemperatureKey(const TSpectrumRecord& rec, int32_t entry);
std::string SortWavelengthKey(const TSpectrumRecord& rec, int32_t entry);

// "Sort!": by name, then by temperature and by wavelength when chosen; each pass sorts all entries by
// its key as text without regard to case and reverses them for the inverse / decreasing choices.
void SortSpectraEntries(const TSpectraList& list, std::vector<int32_t>& order, const TSortParams& params);

// OK: the list in the order of the entries (records are only moved). False, and the list unchanged,
// unless `order` holds every list index exactly once.
bool ApplySortOrder(TSpectraList& list, const std::vector<int32_t>& order);
