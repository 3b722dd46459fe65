#include "core/gauss_params.h"

#include <cmath>

#include "platform/byte_order.h"

using namespace byteorder;

TGaussModelParams GaussDefaultParams() {
    TGaussModelParams p;
    p.GroupCount = 1;
    p.RangeFrom = 25000.0;
    p.RangeTo = 12500.0;
    for (int32_t g = 0; g < kGaussDialogGroups; ++g) {
        TGaussGroup& gr = p.Groups[static_cast<std::size_t>(g)];
        gr.BandCount = 0;
        gr.Position = 0.0;
        gr.Width = 400.0;
        gr.Spacing = 1250.0;
        gr.Amplitudes.fill(0.1);
    }
    return p;
}

GaussBlockImage GaussParamsToImage(const TGaussModelParams& block) {
    GaussBlockImage img{};
    uint8_t* p = img.data();
    putI32LE(p, block.GroupCount);
    putF64LE(p + 4, block.RangeFrom);
    putF64LE(p + 12, block.RangeTo);
    for (std::size_t g = 0; g < block.Groups.size(); ++g) {
        const TGaussGroup& gr = block.Groups[g];
        uint8_t* q = p + 20 + g * kGaussGroupImageSize;
        putI32LE(q, gr.BandCount);
        putF64LE(q + 4, gr.Position);
        putF64LE(q + 12, gr.Width);
        putF64LE(q + 20, gr.Spacing);
        for (std::size_t k = 0; k < gr.Amplitudes.size(); ++k) putF64LE(q + 28 + 8 * k, gr.Amplitudes[k]);
    }
    return img;
}

TGaussModelParams GaussParamsFromImage(const uint8_t* p) {
    TGaussModelParams block;
    block.GroupCount = getI32LE(p);
    block.RangeFrom = getF64LE(p + 4);
    block.RangeTo = getF64LE(p + 12);
    for (std::size_t g = 0; g < block.Groups.size(); ++g) {
        TGaussGroup& gr = block.Groups[g];
        const uint8_t* q = p + 20 + g * kGaussGroupImageSize;
        gr.BandCount = getI32LE(q);
        gr.Position = getF64LE(q + 4);
        gr.Width = getF64LE(q + 12);
        gr.Spacing = getF64LE(q + 20);
        for (std::size_t k = 0; k < gr.Amplitudes.size(); ++k) gr.Amplitudes[k] = getF64LE(q + 28 + 8 * k);
    }
    return block;
}

namespace {
const double kFwhmPerWidth = 2.0 * std::sqrt(std::log(2.0));
}  // namespace

double GaussFwhmOfWidth(double width) { return width * kFwhmPerWidth; }
double GaussWidthOfFwhm(double fwhm) { return fwhm / kFwhmPerWidth; }

long long GaussModelPointCount(const TGaussModelParams& block) {
    double lo = std::fmin(block.RangeFrom, block.RangeTo), hi = std::fmax(block.RangeFrom, block.RangeTo);
    if (!(lo > 0.0) || !std::isfinite(hi)) return -1;
    // Ends so close to 0 that both wavelengths overflow give inf - inf: that count is no number and,
    // like an infinite one, stands for more points than any limit (a cast of it would be undefined).
    const double n = std::nearbyint(1e7 / lo - 1e7 / hi);
    constexpr double kMost = 1e15;
    return n <= kMost ? static_cast<long long>(n) : static_cast<long long>(kMost);
}

std::string GaussParamsProblem(const TGaussModelParams& block) {
    if (block.GroupCount < 0 || block.GroupCount > kGaussMaxGroups)
        return "Number of groups of curves must be 0 to 10 (is " + std::to_string(block.GroupCount) + ")";
    bool finite = std::isfinite(block.RangeFrom) && std::isfinite(block.RangeTo);
    for (std::size_t g = 0; g < block.Groups.size(); ++g) {
        const TGaussGroup& gr = block.Groups[g];
        if (gr.BandCount < 0 || gr.BandCount > kGaussMaxBands)
            return "Group " + std::to_string(g + 1) + ": number of bands must be 0 to 11 (is " +
                   std::to_string(gr.BandCount) + ")";
        finite = finite && std::isfinite(gr.Position) && std::isfinite(gr.Width) && std::isfinite(gr.Spacing);
        for (double a : gr.Amplitudes) finite = finite && std::isfinite(a);
    }
    if (!finite) return "Gauss parameters: a value is not a finite number";
    for (int32_t g = 0; g < block.GroupCount; ++g) {
        const TGaussGroup& gr = block.Groups[static_cast<std::size_t>(g)];
        if (gr.BandCount > 0 && gr.Width == 0.0)
            return "Group " + std::to_string(g + 1) + ": the width must not be 0";
    }
    if (!(block.RangeFrom > 0.0 && block.RangeTo > 0.0) || block.RangeFrom == block.RangeTo)
        return "Fit range: both ends must be greater than 0 and different";
    if (GaussModelPointCount(block) > kGaussMaxModelPoints)
        return "Fit range too wide: the model spectrum would have more than 1000000 points";
    return {};
}
