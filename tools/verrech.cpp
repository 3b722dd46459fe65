#include "tools/verrech.h"

#include <memory>

#include "core/spectra_list.h"
#include "core/spectrum_arithmetic.h"
#include "core/units.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"

namespace {

using Operation = int32_t (*)(std::unique_ptr<TSpectrumRecord>&, TSpectrumRecord&, TSpectrumRecord&,
                              double&, double&);
constexpr Operation kOperations[4] = {SpecAdd, SpecSubtract, SpecMultiply, SpecDivide};

}  // namespace

int32_t RunSpectrumArithmetic(const TVerrechParams& params) {
    if (params.Operation < 0 || params.Operation > 3) return 0;
    if (!ValidSpectrumIndex(params.Second) || (!params.AllSpectra && !ValidSpectrumIndex(params.First))) {
        ui::messageBox(kArithmeticChoiceText);
        return 0;
    }
    std::vector<int32_t> firsts;
    if (params.AllSpectra) {
        const int32_t n = SpectraList.Count();
        for (int32_t i = 0; i < n; ++i)
            if (i != params.Second) firsts.push_back(i);
    } else {
        firsts.push_back(params.First);
    }
    int32_t made = 0;
    bool missed = false;
    for (int32_t i : firsts) {
        TSpectrumRecord& a = SpectraList[i];
        TSpectrumRecord& b = SpectraList[params.Second];
        // Over the first spectrum's full x range.
        double from = SpecXValue(a, 0), to = SpecXValue(a, a.PointCount() - 1);
        std::unique_ptr<TSpectrumRecord> result;
        kOperations[params.Operation](result, a, b, from, to);
        if (!result || result->PointCount() < 2) {
            missed = true;
            continue;
        }
        if (params.KeepLegend) result->Title = a.Title.str();
        SpectraList.AddWithDefaultColor(std::move(result));
        ++made;
    }
    if (missed) ui::messageBox(kNoCommonRangeText);
    return made;
}
