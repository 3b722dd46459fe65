#include "tools/derivative.h"

#include <memory>

#include "core/spectra_list.h"
#include "core/spectrum_arithmetic.h"
#include "platform/errors.h"
#include "tools/dialog_support.h"

int32_t RunDerivative(TSpectraList& list, const TDisplayState& display, const TDerivativeParams& params) {
    if (params.Order < 1 || params.Order > 4) return 0;
    std::vector<int32_t> sources;
    if (params.AllSpectra) {
        for (int32_t i = 0; i < list.Count(); ++i) sources.push_back(i);
    } else if (ValidSpectrumIndex(list, params.Spectrum)) {
        sources.push_back(params.Spectrum);
    }
    std::vector<std::unique_ptr<TSpectrumRecord>> results;
    for (int32_t i : sources) {
        const TSpectrumRecord& src = list[i];
        std::unique_ptr<TSpectrumRecord> r;
        if (src.PointCount() >= 3) {
            try {
                SpecDerivative(r, src, params.Order, params.Smooth, display);
            } catch (const vx::Error&) {
                // Too few points for the order: one spectrum reports it, "all" passes it by.
                if (!params.AllSpectra) throw;
            }
        }
        results.push_back(std::move(r));
    }
    return AppendToolResults(list, results, sources, params.RemoveOriginal);
}
