#include "tools/verrech.h"

#include <memory>

#include "core/spectra_list.h"
#include "core/spectrum_arithmetic.h"
#include "core/units.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"

namespace {

using Operation = int32_t (*)(std::unique_ptr<TSpectrumRecord>&, TSpectrumRecord&, TSpectrumRecord&,
                              double&, double&, const TDisplayState&);
constexpr Operation kOperations[4] = {SpecAdd, SpecSubtract, SpecMultiply, SpecDivide};

}  // namespace

int32_t RunSpectrumArithmetic(TSpectraList& list, const TDisplayState& display, const TVerrechParams& params) {
    if (params.Operation < 0 || params.Operation > 3) return 0;
    if (!ValidSpectrumIndex(list, params.Second) ||
        (!params.AllSpectra && !ValidSpectrumIndex(list, params.First))) {
        ui::messageBox(kArithmeticChoiceText);
        return 0;
    }
    std::vector<int32_t> firsts;
    if (params.AllSpectra) {
        const int32_t n = list.Count();
        for (int32_t i = 0; i < n; ++i)
            if (i != params.Second) firsts.push_back(i);
    } else {
        firsts.push_back(params.First);
    }
    int32_t made = 0;
    bool missed = false;
    for (int32_t i : firsts) {
        TSpectrumRecord& a = list[i];
        TSpectrumRecord& b = list[params.Second];
        // Over the first spectrum's full x range.
        double from = SpecXValue(a, 0, display), to = SpecXValue(a, a.PointCount() - 1, display);
        std::unique_ptr<TSpectrumRecord> result;
        kOperations[params.Operation](result, a, b, from, to, display);
        if (!result || result->PointCount() < 2) {
            missed = true;
            continue;
        }
        if (params.KeepLegend) result->Title = a.Title.str();
        list.AddWithDefaultColor(std::move(result));
        ++made;
    }
    if (missed) ui::messageBox(kNoCommonRangeText);
    return made;
}
