// Any bytes given as a ".gss" file are refused, or give a block whose model and fit stay finite and
// inside the block.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/gauss_params_file.h"
#include "platform/errors.h"
#include "tools/gauss_fit.h"
#include "tools/gauss_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    TGaussModelParams block = GaussDefaultParams();
    try {
        GaussParamsFromBytes(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.gss", block);
    } catch (const vx::Error&) {
        if (!(block == GaussDefaultParams())) __builtin_trap();
        return 0;
    }
    if (!GaussParamsProblem(block).empty()) __builtin_trap();
    for (const auto& p : GaussPreviewPoints(block))
        if (!std::isfinite(p.x)) __builtin_trap();
    const TDisplayState display{SpecXWavenumber, SpecYAbsorbance};
    if (GaussModelPointCount(block) <= 2000) {
        TSpectraList list;
        GaussListParams(list, block, display);
        for (const auto& r : list)
            if (!r->IsComplete()) __builtin_trap();
    }
    // A short measured spectrum over the range: the fit ends, and changes nothing into a non-number.
    TSpectrumRecord measured;
    measured.XUnit = SpecXWavenumber;
    measured.FirstX = block.RangeFrom;
    measured.StepX = (block.RangeTo - block.RangeFrom) / 63.0;
    measured.Values.assign(64, 0.0);
    for (int i = 0; i < 64; ++i) measured.Values[static_cast<std::size_t>(i)] = 1.0 + std::sin(i * 0.3);
    try {
        GaussFitIterate(measured, block, TGaussFitSwitches{}, display);
    } catch (const vx::Error&) {
    }
    for (const auto& g : block.Groups)
        if (!std::isfinite(g.Position) || !std::isfinite(g.Width) || !std::isfinite(g.Spacing)) __builtin_trap();
    return 0;
}
