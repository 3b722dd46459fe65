#pragma once
// The one ordered list of spectra: list item n is curve n+1 of the plot and item n of every spectrum
// combo box. It owns its records.
#include <cstdint>
#include <memory>
#include <vector>

#include "core/spectrum_record.h"

class TSpectraList {
public:
    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    bool Empty() const { return items_.empty(); }
    // Checked access; raises "List index out of bounds (%d)".
    TSpectrumRecord& operator[](int32_t index);
    const TSpectrumRecord& operator[](int32_t index) const;
    TSpectrumRecord* Get(int32_t index);  // nullptr outside the list
    // Appends and returns the new index.
    int32_t Add(std::unique_ptr<TSpectrumRecord> rec);
    // Appends and gives the record the default colour of its position (`CurveColor`(count)).
    TSpectrumRecord& AddWithDefaultColor(std::unique_ptr<TSpectrumRecord> rec);
    void Insert(int32_t index, std::unique_ptr<TSpectrumRecord> rec);
    std::unique_ptr<TSpectrumRecord> Extract(int32_t index);
    void Move(int32_t from, int32_t to);
    void Clear();
    int32_t IndexOf(const TSpectrumRecord* rec) const;  // -1 when absent
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<std::unique_ptr<TSpectrumRecord>> items_;
};

// Default colour of the n-th spectrum (n = list count after appending): the palette entry n mod 14.
uint32_t CurveColor(int32_t n);
// Removes record `index` from `list`; later records move down. A bad index changes nothing and raises
// "List index out of bounds (%d)".
void DeleteSpectrum(TSpectraList& list, int32_t index);
// Deletes the records at the given indices (any order, duplicates ignored), from the highest down.
void DeleteSpectra(TSpectraList& list, std::vector<int32_t> indices);
