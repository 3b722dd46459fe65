#include "tools/gauss_fit_pass.h"

#include <algorithm>
#include <cstring>

// The pass runs on several points at a time in vector registers: two in the base instruction set,
// and on x86-64 with GCC also four and eight in the wider sets, the widest the processor has being
// used. (More lanes than the registers hold would spill the exponential's terms to memory.)
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VX_PASS_WIDE 1
#else
#define VX_PASS_WIDE 0
#endif

namespace {

// Vectors of L doubles and of L 64-bit words (spelt out per size: GCC drops a vector size given to
// an alias template).
template <std::size_t L>
struct LaneTypes;
template <>
struct LaneTypes<2> {
    typedef double Values __attribute__((vector_size(16)));
    typedef std::uint64_t Bits __attribute__((vector_size(16)));
};
template <>
struct LaneTypes<4> {
    typedef double Values __attribute__((vector_size(32)));
    typedef std::uint64_t Bits __attribute__((vector_size(32)));
};
template <>
struct LaneTypes<8> {
    typedef double Values __attribute__((vector_size(64)));
    typedef std::uint64_t Bits __attribute__((vector_size(64)));
};

// 1/j! for j = 0..13.
constexpr std::array<double, 14> kInverseFactorials = [] {
    std::array<double, 14> c{};
    double f = 1.0;
    for (std::size_t j = 0; j < c.size(); ++j) {
        if (j > 0) f *= static_cast<double>(j);
        c[j] = 1.0 / f;
    }
    return c;
}();

// exp(x) for x <= 0 in place, for one double (Bits std::uint64_t) or for lanes of them: 2^k exp(r)
// with k the nearest integer to x / ln 2 and |r| <= ln 2 / 2, exp(r) by its Taylor series up to
// r^13 (the rest is below 1e-17). Below -708, where exp(x) is subnormal and too small for any sum of
// the fit to notice, the result is 0; 2^k then stays a normal number. Written without a call and
// without a branch so that the compiler keeps it in vector registers.
template <class V, class Bits>
[[gnu::always_inline]] inline void expNonPositive(V& x) {
    constexpr double kLog2e = 1.4426950408889634074;
    // ln 2 in two parts: k * kLn2Hi is exact for the k that occur here.
    constexpr double kLn2Hi = 6.93147180369123816490e-01;
    constexpr double kLn2Lo = 1.90821492927058770002e-10;
    // Added to a value below 2^51 in magnitude it rounds that value to an integer, which the low bits
    // of the sum then hold.
    constexpr double kShift = 0x1.8p52;
    constexpr double kLowest = -708.0;
    const auto under = x < kLowest;
    const V xc = under ? V{} + kLowest : x;
    const V shifted = xc * kLog2e + kShift;
    const V k = shifted - kShift;
    V r = xc - k * kLn2Hi;
    r = r - k * kLn2Lo;
    // 1 + (r + r^2 (1/2! + r/3! + ...)): the small part first, so that adding 1 rounds once. The
    // bracket in Estrin's order (pairs, then pairs of pairs), so that few steps wait on each other.
    constexpr const auto& c = kInverseFactorials;
    const V r2 = r * r, r4 = r2 * r2, r8 = r4 * r4;
    const V q0 = c[2] + c[3] * r, q1 = c[4] + c[5] * r, q2 = c[6] + c[7] * r;
    const V q3 = c[8] + c[9] * r, q4 = c[10] + c[11] * r, q5 = c[12] + c[13] * r;
    const V higher = ((q0 + q1 * r2) + (q2 + q3 * r2) * r4) + (q4 + q5 * r2) * r8;
    const V p = 1.0 + (r + r2 * higher);
    const Bits exponent = __builtin_bit_cast(Bits, shifted) - __builtin_bit_cast(std::uint64_t, kShift);
    const V scale = __builtin_bit_cast(V, (exponent + 1023) << 52);
    x = under ? V{} : p * scale;
}

template <class V>
[[gnu::always_inline]] inline void load(V& v, const double* p) {
    std::memcpy(&v, p, sizeof v);
}

template <class V>
[[gnu::always_inline]] inline void addTo(double* p, const V& v) {
    V s;
    std::memcpy(&s, p, sizeof s);
    s += v;
    std::memcpy(p, &s, sizeof s);
}

// A pass's input and its sums in lanes: alpha's lower triangle row by row (row j holds columns
// 0..j), then beta, then chisq; d holds the m derivatives of the lanes' points.
struct PassArgs {
    const TGaussPassGroup* groups;
    std::size_t groupCount, m;
    const double *x, *y, *sig;
    std::size_t n;
    double *sums, *d;
};

template <std::size_t kLanes>
[[gnu::always_inline]] inline void sumPoints(const PassArgs& a) {
    using V = typename LaneTypes<kLanes>::Values;
    static_assert(sizeof(V) == kLanes * sizeof(double));
    const TGaussPassGroup* const groups = a.groups;
    const std::size_t groupCount = a.groupCount, m = a.m, n = a.n;
    const double *const x = a.x, *const y = a.y, *const sig = a.sig;
    double *const sums = a.sums, *const d = a.d;
    double* betaAt = sums + m * (m + 1) / 2 * kLanes;
    double* chisqAt = betaAt + m * kLanes;
    for (std::size_t start = 0; start < n; start += kLanes) {
        V xv, yv, sv, w;
        if (start + kLanes <= n) {
            load(xv, x + start);
            load(yv, y + start);
            load(sv, sig + start);
            w = 1.0 / (sv * sv);
        } else {
            // The last lanes repeat the last point with weight 0: they add nothing, and raise no
            // floating-point fault that the point itself does not.
            double xb[kLanes], yb[kLanes], sb[kLanes], live[kLanes];
            for (std::size_t l = 0; l < kLanes; ++l) {
                const std::size_t i = std::min(start + l, n - 1);
                xb[l] = x[i];
                yb[l] = y[i];
                sb[l] = sig[i];
                live[l] = start + l < n ? 1.0 : 0.0;
            }
            load(xv, xb);
            load(yv, yb);
            load(sv, sb);
            V liveLanes;
            load(liveLanes, live);
            w = 1.0 / (sv * sv);
            w = liveLanes > 0.0 ? w : V{};
        }
        std::fill(d, d + m * kLanes, 0.0);
        V model{};
        for (std::size_t gi = 0; gi < groupCount; ++gi) {
            const TGaussPassGroup& g = groups[gi];
            // The group's sum first, then the model's, as the model's band sum adds them.
            V groupSum{}, dS{}, dP{}, dW{};
            for (int32_t k = 0; k < g.bands; ++k) {
                const std::size_t b = static_cast<std::size_t>(k);
                const V s = (xv - g.centre[b]) * g.invWidth;
                V e = -(s * s);
                expNonPositive<V, typename LaneTypes<kLanes>::Bits>(e);
                const V ae = g.amp[b] * e;
                groupSum += ae;
                if (g.colAmp[b] >= 0) addTo(d + static_cast<std::size_t>(g.colAmp[b]) * kLanes, g.ampDerivative[b] * e);
                const V fac = ae * s * g.twoOverWidth;
                dP += fac;
                dS += static_cast<double>(k) * fac;
                dW += fac * s;
            }
            model += groupSum;
            if (g.colSpacing >= 0) addTo(d + static_cast<std::size_t>(g.colSpacing) * kLanes, dS);
            if (g.colPosition >= 0) addTo(d + static_cast<std::size_t>(g.colPosition) * kLanes, dP);
            if (g.colWidth >= 0) addTo(d + static_cast<std::size_t>(g.colWidth) * kLanes, dW);
        }
        const V r = yv - model;
        addTo(chisqAt, r * r * w);
        double* at = sums;
        for (std::size_t j = 0; j < m; ++j) {
            V dj;
            load(dj, d + j * kLanes);
            const V dw = dj * w;
            addTo(betaAt + j * kLanes, dw * r);
            for (std::size_t k = 0; k <= j; ++k, at += kLanes) {
                V dk;
                load(dk, d + k * kLanes);
                addTo(at, dw * dk);
            }
        }
    }
}

void sumPointsBase(const PassArgs& a) { sumPoints<2>(a); }
#if VX_PASS_WIDE
__attribute__((target("arch=x86-64-v3"))) void sumPointsV3(const PassArgs& a) { sumPoints<4>(a); }
__attribute__((target("arch=x86-64-v4"))) void sumPointsV4(const PassArgs& a) { sumPoints<8>(a); }
#endif

struct Pass {
    void (*run)(const PassArgs&);
    std::size_t lanes;
};

Pass passFor(TGaussPassIsa isa) {
#if VX_PASS_WIDE
    static const TGaussPassIsa best = __builtin_cpu_supports("x86-64-v4")   ? TGaussPassIsa::X86_64_V4
                                      : __builtin_cpu_supports("x86-64-v3") ? TGaussPassIsa::X86_64_V3
                                                                            : TGaussPassIsa::Base;
    if (isa == TGaussPassIsa::Best || !GaussPassRuns(isa)) isa = best;
    if (isa == TGaussPassIsa::X86_64_V4) return {sumPointsV4, 8};
    if (isa == TGaussPassIsa::X86_64_V3) return {sumPointsV3, 4};
#else
    (void)isa;
#endif
    return {sumPointsBase, 2};
}

// The lanes' partial sums added pairwise.
double laneSum(const double* p, std::size_t lanes) {
    if (lanes == 1) return p[0];
    return laneSum(p, lanes / 2) + laneSum(p + lanes / 2, lanes / 2);
}

}  // namespace

bool GaussPassRuns(TGaussPassIsa isa) {
    switch (isa) {
    case TGaussPassIsa::Best:
    case TGaussPassIsa::Base: return true;
#if VX_PASS_WIDE
    case TGaussPassIsa::X86_64_V3: return __builtin_cpu_supports("x86-64-v3");
    case TGaussPassIsa::X86_64_V4: return __builtin_cpu_supports("x86-64-v4");
#endif
    default: return false;
    }
}

void GaussFitPass(const std::vector<TGaussPassGroup>& groups, int32_t m, const double* x, const double* y,
                  const double* sig, std::size_t n, TGaussPassSums& sums, TGaussPassIsa isa) {
    const std::size_t mm = static_cast<std::size_t>(std::max(m, 0));
    const Pass pass = passFor(isa);
    const std::size_t L = pass.lanes;
    const std::size_t slots = (mm * (mm + 1) / 2 + mm + 1) * L;
    sums.work.assign(slots + mm * L, 0.0);
    double* lanes = sums.work.data();
    pass.run({groups.data(), groups.size(), mm, x, y, sig, n, lanes, lanes + slots});

    sums.m = static_cast<int32_t>(mm);
    sums.alpha.assign(mm * mm, 0.0);
    sums.beta.assign(mm, 0.0);
    const double* at = lanes;
    for (std::size_t j = 0; j < mm; ++j)
        for (std::size_t k = 0; k <= j; ++k, at += L) sums.alpha[j * mm + k] = sums.alpha[k * mm + j] = laneSum(at, L);
    for (std::size_t j = 0; j < mm; ++j, at += L) sums.beta[j] = laneSum(at, L);
    sums.chisq = laneSum(at, L);
}

double GaussBandExp(double x) {
    expNonPositive<double, std::uint64_t>(x);
    return x;
}
