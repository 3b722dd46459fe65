#include "tools/emission_correction.h"

#include <memory>
#include <string>
#include <vector>

#include "core/spectrum_arithmetic.h"
#include "core/units.h"
#include "platform/errors.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"

void ForceRemoveWhenAllCorrected(TKorrParams& params) {
    if (params.AllSpectra) params.RemoveOriginal = true;
}

namespace {
struct Refusals {
    std::vector<std::string> noOverlap;
    std::string unitError;  // the routine's message for spectra in another x unit than the curve's
    std::vector<std::string> otherUnit;
};

// The corrected form of `spec` over its own range, or nullptr (its title goes to `refused`).
std::unique_ptr<TSpectrumRecord> corrected(TSpectrumRecord& curve, TSpectrumRecord& spec,
                                           const TDisplayState& display, Refusals& refused) {
    std::unique_ptr<TSpectrumRecord> r;
    if (spec.PointCount() >= 2) {
        double from = SpecXValue(spec, 0, display), to = SpecXValue(spec, spec.PointCount() - 1, display);
        try {
            if (SpecCorrect(r, curve, spec, from, to, display) < 2) r.reset();
        } catch (const vx::Error& e) {
            refused.unitError = e.what();
            refused.otherUnit.push_back(spec.Title.str());
            return nullptr;
        }
    }
    if (!r || !r->IsComplete()) {
        refused.noOverlap.push_back(spec.Title.str());
        return nullptr;
    }
    return r;
}

void report(const std::string& head, const std::vector<std::string>& titles) {
    if (titles.empty()) return;
    std::string text = head;
    for (const std::string& t : titles) text += "\r\n" + t;
    ui::messageBox(text);
}
}  // namespace

int32_t RunEmissionCorrection(TSpectraList& list, const TDisplayState& display, const TSpectrumRecord* curve,
                              const TKorrParams& given) {
    TKorrParams params = given;
    ForceRemoveWhenAllCorrected(params);
    if (list.Empty()) {
        ui::messageBox(kNoOriginalsText);
        return 0;
    }
    const bool selected = ValidSpectrumIndex(list, params.Spectrum);
    if (!curve) ui::messageBox(kNoCorrectionCurveText);
    if (!selected) ui::messageBox(kNoOriginalSelectedText);
    if (!curve || !selected) return 0;

    TSpectrumRecord curveCopy = *curve;
    Refusals refused;
    int32_t made = 0;
    if (params.AllSpectra) {
        const int32_t n = list.Count();
        for (int32_t i = 0; i < n; ++i) {
            auto r = corrected(curveCopy, list[i], display, refused);
            if (!r) continue;
            r->Color = list[i].Color;
            r->LineStyle = list[i].LineStyle;
            list.Extract(i);
            list.Insert(i, std::move(r));
            ++made;
        }
    } else {
        TSpectrumRecord& src = list[params.Spectrum];
        if (auto r = corrected(curveCopy, src, display, refused)) {
            const uint32_t colour = src.Color;
            const uint8_t style = src.LineStyle;
            r->LineStyle = params.RemoveOriginal ? style : 0;
            AppendToolResult(list, std::move(r), params.RemoveOriginal, colour);
            if (params.RemoveOriginal) DeleteSpectrum(list, params.Spectrum);
            made = 1;
        }
    }
    report(kNoOverlapText, refused.noOverlap);
    report(refused.unitError, refused.otherUnit);
    return made;
}
