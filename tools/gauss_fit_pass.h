#pragma once
// One pass of the Gauss band-group fit over its data: at every point the model and its derivatives
// by the free parameters, from one exponential per band, summed at once into the curvature matrix,
// the gradient and chisq (no derivative is stored beyond the point being summed).
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/gauss_params.h"

// One group for one parameter vector. The column fields name the free parameter that receives a
// derivative (0-based), -1 when it is not free.
struct TGaussPassGroup {
    int32_t bands = 0;
    double invWidth = 0.0, twoOverWidth = 0.0;
    std::array<double, kGaussMaxBands> centre{};  // Position + k Spacing
    std::array<double, kGaussMaxBands> amp{};     // the amplitude of band k
    // d(model)/d(amplitude slot) per unit of the band's exponential: 1 for a band's own amplitude,
    // the block amplitude for a common factor.
    std::array<double, kGaussMaxBands> ampDerivative{};
    std::array<int32_t, kGaussMaxBands> colAmp{};
    int32_t colSpacing = -1, colPosition = -1, colWidth = -1;
};

// The sums of a pass over m free parameters: alpha m x m (row by row, both halves), beta m.
struct TGaussPassSums {
    int32_t m = 0;
    std::vector<double> alpha, beta;
    double chisq = 0.0;
    std::vector<double> work;  // the running sums, kept from pass to pass
};

// The instruction sets a pass is built for: the widest the processor has, or one named (x86-64 only
// beside the base set). All give the same sums up to rounding.
enum class TGaussPassIsa { Best, Base, X86_64_V3, X86_64_V4 };
// Whether this processor and build run a pass in that set (Best and Base always).
bool GaussPassRuns(TGaussPassIsa isa);

// Sums over the n points x, y with standard deviations sig: alpha(j,k) = sum d_j d_k / sig^2,
// beta(j) = sum (y - model) d_j / sig^2, chisq = sum (y - model)^2 / sig^2. A set that does not run
// here stands for Best.
void GaussFitPass(const std::vector<TGaussPassGroup>& groups, int32_t m, const double* x, const double* y,
                  const double* sig, std::size_t n, TGaussPassSums& sums, TGaussPassIsa isa = TGaussPassIsa::Best);

// exp(x) for x <= 0 as the pass computes it, for the model's values outside the fit: within about one
// unit in the last place of exp(x) down to -708, 0 below (where exp(x) is subnormal); no number
// stays no number. The pass's model at a point is then bit for bit the model's band sum without cut.
double GaussBandExp(double x);
