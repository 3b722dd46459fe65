#include "core/spectra_list.h"

#include <algorithm>
#include <array>

#include "platform/errors.h"

TSpectrumRecord& TSpectraList::operator[](int32_t i) {
    if (i < 0 || i >= Count()) throw vx::ListIndexError(i);
    return *items_[static_cast<std::size_t>(i)];
}

const TSpectrumRecord& TSpectraList::operator[](int32_t i) const {
    if (i < 0 || i >= Count()) throw vx::ListIndexError(i);
    return *items_[static_cast<std::size_t>(i)];
}

TSpectrumRecord* TSpectraList::Get(int32_t i) {
    if (i < 0 || i >= Count()) return nullptr;
    return items_[static_cast<std::size_t>(i)].get();
}

int32_t TSpectraList::Add(std::unique_ptr<TSpectrumRecord> rec) {
    items_.push_back(std::move(rec));
    return Count() - 1;
}

TSpectrumRecord& TSpectraList::AddWithDefaultColor(std::unique_ptr<TSpectrumRecord> rec) {
    items_.push_back(std::move(rec));
    items_.back()->Color = CurveColor(Count());
    return *items_.back();
}

void TSpectraList::Insert(int32_t i, std::unique_ptr<TSpectrumRecord> rec) {
    if (i < 0 || i > Count()) throw vx::ListIndexError(i);
    items_.insert(items_.begin() + i, std::move(rec));
}

std::unique_ptr<TSpectrumRecord> TSpectraList::Extract(int32_t i) {
    if (i < 0 || i >= Count()) throw vx::ListIndexError(i);
    auto rec = std::move(items_[static_cast<std::size_t>(i)]);
    items_.erase(items_.begin() + i);
    return rec;
}

void TSpectraList::Move(int32_t from, int32_t to) {
    if (from < 0 || from >= Count()) throw vx::ListIndexError(from);
    if (to < 0 || to >= Count()) throw vx::ListIndexError(to);
    auto rec = std::move(items_[static_cast<std::size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(rec));
}

void TSpectraList::Clear() { items_.clear(); }

int32_t TSpectraList::IndexOf(const TSpectrumRecord* rec) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == rec) return static_cast<int32_t>(i);
    return -1;
}

uint32_t CurveColor(int32_t n) {
    static constexpr std::array<uint32_t, 14> kPalette = {
        0x777700, 0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0xFFFF00, 0xFF00FF,
        0x0077FF, 0x007777, 0x770000, 0x770077, 0x000077, 0x007700, 0x777777};
    if (n < 0) n = -n;
    return kPalette[static_cast<std::size_t>(n % 14)];
}

void DeleteSpectrum(TSpectraList& list, int32_t index) { list.Extract(index); }

void DeleteSpectra(TSpectraList& list, std::vector<int32_t> indices) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    for (auto it = indices.rbegin(); it != indices.rend(); ++it)
        if (*it >= 0 && *it < list.Count()) DeleteSpectrum(list, *it);
}
