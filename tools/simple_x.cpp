#include "tools/simple_x.h"

#include <cmath>
#include <memory>

#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/errors.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"

bool ApplyXConstant(TSpectraList& list, const TDisplayState& display, TSimpleXParams& params) {
    const double c = DialogFloat(params.Constant);
    if (!ValidSpectrumIndex(list, params.Spectrum)) return false;
    if (params.Operation < 0 || params.Operation > 3) return false;
    const TSpectrumRecord& src = list[params.Spectrum];
    if (src.XUnit != display.DisplayXUnit && src.XUnit != SpecXRamanShift) {
        ui::messageBox(kXTypeMismatchText);
        return false;
    }
    auto rec = std::make_unique<TSpectrumRecord>(src);
    rec->PathLength = 1.0;
    std::string title = src.Title + " " + kSimpleXOps[params.Operation] + " " + params.Constant;
    switch (params.Operation) {
        case 0: rec->FirstX += c; break;
        case 1: rec->FirstX -= c; break;
        case 2:
        case 3:
            if (c == 0.0) {
                title += " (stupid operation => unchanged!)";
            } else if (params.Operation == 2) {
                rec->FirstX *= c;
                rec->StepX *= c;
            } else {
                rec->FirstX /= c;
                rec->StepX /= c;
            }
            break;
    }
    if (!std::isfinite(rec->FirstX) || !std::isfinite(rec->StepX))
        throw vx::FloatError("Floating point overflow");
    // A factor so small that the step vanishes leaves no grid.
    if (rec->StepX == 0.0 && src.StepX != 0.0) vx::throwInvalidFloatOp();
    rec->Title = title;
    list.AddWithDefaultColor(std::move(rec));
    return true;
}
