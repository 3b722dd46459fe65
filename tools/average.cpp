#include "tools/average.h"

#include <algorithm>
#include <memory>

#include "core/spectra_list.h"
#include "core/spectrum_arithmetic.h"
#include "core/units.h"
#include "platform/numtext.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"
#include "tools/verrech.h"

std::string AverageListItemText(const TSpectraList& list, int32_t index) {
    return numtext::IntToStr(index + 1) + "- " + list[index].Title.str();
}

std::string AverageTitleFor(const TSpectraList& list, int32_t index) {
    return list[index].Title + kAveragedSuffix;
}

std::string AverageTitleExtended(const TSpectraList& list, std::string title, int32_t index) {
    const std::string suffix = kAveragedSuffix;
    for (auto p = title.find(suffix); p != std::string::npos; p = title.find(suffix))
        title.erase(p, suffix.size());
    return title + " | " + list[index].Title.str() + suffix;
}

namespace {
std::unique_ptr<TSpectrumRecord> addOverFirstRange(TSpectrumRecord& a, TSpectrumRecord& b,
                                                   const TDisplayState& display) {
    double from = SpecXValue(a, 0, display), to = SpecXValue(a, a.PointCount() - 1, display);
    std::unique_ptr<TSpectrumRecord> sum;
    SpecAdd(sum, a, b, from, to, display);
    return sum;
}
}  // namespace

bool RunAveraging(TSpectraList& list, const TDisplayState& display, std::vector<int32_t> selected,
                  const std::string& title) {
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    std::erase_if(selected, [&](int32_t i) { return !ValidSpectrumIndex(list, i); });
    if (selected.size() < 2) {
        ui::messageBox(kAverageSelectionText);
        return false;
    }
    auto sum = addOverFirstRange(list[selected[0]], list[selected[1]], display);
    for (std::size_t k = 2; sum && sum->PointCount() >= 2 && k < selected.size(); ++k) {
        TSpectrumRecord copy = *sum;
        sum = addOverFirstRange(copy, list[selected[k]], display);
    }
    if (!sum || sum->PointCount() < 2) {
        ui::messageBox(kNoCommonRangeText);
        return false;
    }
    std::unique_ptr<TSpectrumRecord> mean;
    SpecConstArith(mean, *sum, numtext::IntToStr(static_cast<long long>(selected.size())), 0, 3, "÷", display);
    mean->Title = title;
    list.AddWithDefaultColor(std::move(mean));
    return true;
}
