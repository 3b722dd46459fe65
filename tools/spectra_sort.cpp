#include "tools/spectra_sort.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>

#include "core/helpers.h"
#include "platform/numtext.h"

namespace {

constexpr const char* kKeySeparator = "%#&-";

// Rounded value as integer text; values beyond the 64-bit range are clamped before the conversion.
std::string RoundedText(double v) {
    if (!std::isfinite(v)) v = 0.0;
    const double r = std::clamp(std::nearbyint(v), -9.0e18, 9.0e18);
    return numtext::IntToStr(static_cast<long long>(r));
}

// A string-list sort: keys compared without regard to case; the exact text breaks ties so that the
// order never depends on the sort algorithm.
void SortByKey(std::vector<int32_t>& order, const std::vector<std::string>& keyOfEntry) {
    std::vector<std::pair<std::string, int32_t>> keyed;
    keyed.reserve(order.size());
    for (int32_t e : order) keyed.emplace_back(LowerAscii(keyOfEntry[static_cast<std::size_t>(e)]), e);
    std::sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return keyOfEntry[static_cast<std::size_t>(a.second)] < keyOfEntry[static_cast<std::size_t>(b.second)];
    });
    for (std::size_t k = 0; k < keyed.size(); ++k) order[k] = keyed[k].second;
}

template <typename KeyFn>
void Pass(const TSpectraList& list, std::vector<int32_t>& order, bool reverse, KeyFn key) {
    std::vector<std::string> keys(static_cast<std::size_t>(list.Count()));
    for (int32_t e : order) keys[static_cast<std::size_t>(e)] = key(list[e], e);
    SortByKey(order, keys);
    if (reverse) std::reverse(order.begin(), order.end());
}

bool IsPermutation(const std::vector<int32_t>& order, int32_t count) {
    if (static_cast<int32_t>(order.size()) != count) return false;
    std::vector<bool> seen(static_cast<std::size_t>(count), false);
    for (int32_t e : order) {
        if (e < 0 || e >= count || seen[static_cast<std::size_t>(e)]) return false;
        seen[static_cast<std::size_t>(e)] = true;
    }
    return true;
}

}  // namespace

std::vector<int32_t> SortEntriesOf(const TSpectraList& list) {
    std::vector<int32_t> order(static_cast<std::size_t>(list.Count()));
    std::iota(order.begin(), order.end(), 0);
    return order;
}

std::string SortEntryText(const TSpectraList& list, int32_t entry) {
    return numtext::IntToStr(entry + 1) + "- " + list[entry].Title.str();
}

void MoveSortEntries(std::vector<int32_t>& order, const std::vector<int32_t>& selected, int32_t target) {
    const int32_t n = static_cast<int32_t>(order.size());
    std::vector<bool> isSelected(static_cast<std::size_t>(n), false);
    for (int32_t p : selected)
        if (p >= 0 && p < n) isSelected[static_cast<std::size_t>(p)] = true;
    // The entry the moved ones go before: the target, or the next unselected one after it.
    int32_t before = -1;
    for (int32_t p = target; p >= 0 && p < n; ++p)
        if (!isSelected[static_cast<std::size_t>(p)]) {
            before = p;
            break;
        }
    std::vector<int32_t> moved, result;
    for (int32_t p = 0; p < n; ++p)
        if (isSelected[static_cast<std::size_t>(p)]) moved.push_back(order[static_cast<std::size_t>(p)]);
    if (moved.empty()) return;
    result.reserve(order.size());
    for (int32_t p = 0; p < n; ++p) {
        if (p == before) result.insert(result.end(), moved.begin(), moved.end());
        if (!isSelected[static_cast<std::size_t>(p)]) result.push_back(order[static_cast<std::size_t>(p)]);
    }
    if (before < 0) result.insert(result.end(), moved.begin(), moved.end());
    order = std::move(result);
}

std::string SortNameKey(const TSpectrumRecord& rec, int32_t entry) {
    return rec.Title.str() + kKeySeparator + numtext::IntToStr(entry);
}

std::string SortTemperatureKey(const TSpectrumRecord& rec, int32_t entry) {
    std::string t = RoundedText(rec.Temperature);
    const double r = std::nearbyint(rec.Temperature);
    if (r >= 10.0 && r <= 99.0) t = "0" + t;
    return t + kKeySeparator + numtext::IntToStr(entry);
}

std::string SortWavelengthKey(const TSpectrumRecord& rec, int32_t entry) {
    return RoundedText(rec.ExcitationWl) + kKeySeparator + numtext::IntToStr(entry);
}

void SortSpectraEntries(const TSpectraList& list, std::vector<int32_t>& order, const TSortParams& params) {
    if (!IsPermutation(order, list.Count())) return;
    Pass(list, order, params.Direction == 1, SortNameKey);
    if (params.Temperature >= 0) Pass(list, order, params.Temperature == 0, SortTemperatureKey);
    if (params.Wavelength >= 0) Pass(list, order, params.Wavelength == 1, SortWavelengthKey);
}

bool ApplySortOrder(TSpectraList& list, const std::vector<int32_t>& order) {
    if (!IsPermutation(order, list.Count())) return false;
    std::vector<std::unique_ptr<TSpectrumRecord>> records;
    records.reserve(order.size());
    for (int32_t i = list.Count() - 1; i >= 0; --i) records.push_back(list.Extract(i));
    std::reverse(records.begin(), records.end());
    for (int32_t e : order) list.Add(std::move(records[static_cast<std::size_t>(e)]));
    return true;
}
