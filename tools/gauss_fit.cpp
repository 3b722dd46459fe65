#include "tools/gauss_fit.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

#include "core/units.h"
#include "platform/errors.h"
#include "platform/numtext.h"

namespace {

constexpr int kFaults = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

constexpr const char* kStageTexts[7] = {"1. Iteration ", "2. Iteration ",      "1. glob. Iteration ",
                                        "3. Iteration ", "2. glob. Iteration ", "4. Iteration ",
                                        "3. glob. Iteration "};

std::size_t u(int32_t i) { return static_cast<std::size_t>(i); }

int32_t groupsOf(const TGaussFit& f) { return static_cast<int32_t>(f.ampSlot.size()); }
int32_t bandsOf(const TGaussGroup& gr) { return std::clamp(gr.BandCount, 0, kGaussMaxBands); }
int32_t slotsOf(const TGaussFit& f, int32_t g) {
    return f.connected[u(g)] ? 1 : bandsOf(f.block->Groups[u(g)]);
}

// The model's terms of one group for one parameter vector, set up once per pass over the data. The
// column fields say where each derivative goes (-1: not wanted).
struct GroupTerms {
    int32_t group = 0;
    int32_t bands = 0;
    double spacing = 0.0, position = 0.0, width = 0.0, twoOverWidth = 0.0;
    bool connected = false;
    int32_t colS = -1, colP = -1, colW = -1;
    std::array<int32_t, kGaussMaxBands> colAmp{};  // connected: all the factor's column
    std::array<double, kGaussMaxBands> amp{};      // the amplitude of band k
    std::array<double, kGaussMaxBands> base{};     // block amplitudes (derivative of a common factor)
    std::array<double, 3> shape() const { return {spacing, position, width}; }
};

// col[p] is the column of parameter p in the derivative vector, -1 for derivatives not wanted.
std::vector<GroupTerms> termsOf(const TGaussFit& f, const std::vector<double>& a, const std::vector<int32_t>& col) {
    std::vector<GroupTerms> terms;
    terms.reserve(u(groupsOf(f)));
    for (int32_t g = 0; g < groupsOf(f); ++g) {
        const TGaussGroup& gr = f.block->Groups[u(g)];
        const int32_t first = 3 * g + 1;
        GroupTerms t;
        t.group = g;
        t.spacing = a[u(first)];
        t.position = a[u(first + 1)];
        t.width = a[u(first + 2)];
        // A band of width 0 contributes nothing, to the value and to the derivatives.
        t.bands = t.width == 0.0 ? 0 : bandsOf(gr);
        if (t.bands == 0) continue;
        t.twoOverWidth = 2.0 / t.width;
        t.colS = col[u(first)];
        t.colP = col[u(first + 1)];
        t.colW = col[u(first + 2)];
        t.connected = f.connected[u(g)];
        const int32_t slot = f.ampSlot[u(g)];
        for (int32_t k = 0; k < t.bands; ++k) {
            t.base[u(k)] = gr.Amplitudes[u(k)];
            t.amp[u(k)] = t.connected ? gr.Amplitudes[u(k)] * a[u(slot)] : a[u(slot + k)];
            t.colAmp[u(k)] = col[u(t.connected ? slot : slot + k)];
        }
        terms.push_back(t);
    }
    return terms;
}

// Every band of the group at `len` points, point by point: t = (x - centre)/Width and exp(-t^2) at
// out[2 (i * bands + k)] and the entry after it.
void bandValues(const GroupTerms& t, const double* x, std::size_t len, double* out) {
    for (std::size_t i = 0; i < len; ++i)
        for (int32_t k = 0; k < t.bands; ++k) {
            const double s = (x[i] - (t.position + k * t.spacing)) / t.width;
            double* o = out + 2 * (i * u(t.bands) + u(k));
            o[0] = s;
            o[1] = std::exp(-(s * s));
        }
}

// Adds the group's value at x to y and its derivatives to d, from its band values at one point.
[[gnu::always_inline]] inline void accumulate(const GroupTerms& t, const double* e, double& y, double* d) {
    double dS = 0.0, dP = 0.0, dW = 0.0;
    for (int32_t k = 0; k < t.bands; ++k) {
        const double s = e[2 * k];
        const double ek = e[2 * k + 1];
        const double A = t.amp[u(k)];
        y += A * ek;
        if (const int32_t c = t.colAmp[u(k)]; c >= 0) d[c] += t.connected ? t.base[u(k)] * ek : ek;
        const double fac = A * ek * s * t.twoOverWidth;
        dP += fac;
        dS += k * fac;
        dW += fac * s;
    }
    if (t.colS >= 0) d[t.colS] += dS;
    if (t.colP >= 0) d[t.colP] += dP;
    if (t.colW >= 0) d[t.colW] += dW;
}

// Points per block of a pass: the band values of a block are computed, then used.
constexpr std::size_t kBlock = 256;
// Band values kept per set (accepted, trial) at most; beyond, every pass computes them afresh.
constexpr std::size_t kBandValueBudget = std::size_t{1} << 22;

// Sum of a[i] * b[i], in four interleaved partial sums.
double dot(const double* a, const double* b, std::size_t n) {
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        s0 += a[i] * b[i];
        s1 += a[i + 1] * b[i + 1];
        s2 += a[i + 2] * b[i + 2];
        s3 += a[i + 3] * b[i + 3];
    }
    for (; i < n; ++i) s0 += a[i] * b[i];
    return (s0 + s1) + (s2 + s3);
}

// The trial's band values become those of the accepted parameters.
void keepTrialBandValues(TGaussFit& f) {
    for (std::size_t g = 0; g < f.trial.size(); ++g)
        if (f.trial[g].valid) {
            std::swap(f.accepted[g], f.trial[g]);
            f.trial[g].valid = false;
        }
}

bool faulted() { return std::fetestexcept(kFaults) != 0; }

}  // namespace

void GaussFitData(const TSpectrumRecord& spectrum, const TGaussModelParams& block, const TDisplayState& display,
                  std::vector<double>& x, std::vector<double>& y, std::vector<double>& sig) {
    x.clear();
    y.clear();
    sig.clear();
    if (spectrum.PointCount() == 0) return;
    int32_t i1 = SpecIndexOfX(spectrum, block.RangeFrom, display);
    int32_t i2 = SpecIndexOfX(spectrum, block.RangeTo, display);
    if (i1 > i2) std::swap(i1, i2);
    double ymax = 0.0;
    for (int32_t i = i1; i <= i2; ++i) {
        const double v = SpecYValue(spectrum, i, display);
        // A point that is no number is skipped like one below the threshold (the comparisons below
        // are false for it); an infinite value would make 5 % of the maximum infinite and leave no
        // point at all, so it is named.
        if (std::isinf(v))
            throw vx::Error("Gauss fit: the spectrum holds a value that is infinite or not a number at " +
                            numtext::FloatToStr(SpecXValue(spectrum, i, display)) + " in the fit range");
        if (v > ymax) ymax = v;
    }
    for (int32_t i = i1; i <= i2; ++i) {
        const double v = SpecYValue(spectrum, i, display);
        if (!(v > 0.05 * ymax)) continue;
        x.push_back(SpecXValue(spectrum, i, display));
        y.push_back(v);
        sig.push_back(0.01);
    }
}

void GaussFitInit(TGaussFit& f, TGaussModelParams& block, const TGaussFitSwitches& switches,
                  const TGaussFitHooks* hooks) {
    f.block = &block;
    f.switches = switches;
    f.hooks = hooks;
    const int32_t groups = std::clamp(block.GroupCount, 0, kGaussMaxGroups);
    f.connected.assign(u(groups), false);
    f.ampSlot.assign(u(groups), 0);
    f.ma = 3 * groups;
    for (int32_t g = 0; g < groups; ++g) {
        f.connected[u(g)] = g < kGaussDialogGroups && switches.Connect[u(g)];
        f.ampSlot[u(g)] = f.ma + 1;
        f.ma += slotsOf(f, g);
    }
    f.a.assign(u(f.ma) + 1, 0.0);
    for (int32_t g = 0; g < groups; ++g) {
        const TGaussGroup& gr = block.Groups[u(g)];
        f.a[u(3 * g + 1)] = gr.Spacing;
        f.a[u(3 * g + 2)] = gr.Position;
        f.a[u(3 * g + 3)] = gr.Width;
        const int32_t s = f.ampSlot[u(g)];
        if (f.connected[u(g)]) f.a[u(s)] = 1.0;
        else
            for (int32_t k = 0; k < bandsOf(gr); ++k) f.a[u(s + k)] = gr.Amplitudes[u(k)];
    }
    f.atry = f.a;
    f.lista.assign(1, 0);
    f.mfit = 0;
}

std::vector<int32_t> GaussStageList(const TGaussFit& f, int32_t stage) {
    std::vector<int32_t> list;
    auto active = [&](int32_t g) { return g >= kGaussDialogGroups || f.switches.Active[u(g)]; };
    auto amplitudes = [&] {
        for (int32_t g = 0; g < groupsOf(f); ++g)
            if (active(g))
                for (int32_t s = 0; s < slotsOf(f, g); ++s) list.push_back(f.ampSlot[u(g)] + s);
    };
    auto each = [&](int32_t offset) {
        for (int32_t g = 0; g < groupsOf(f); ++g)
            if (active(g)) list.push_back(3 * g + offset);
    };
    switch (stage) {
    case 1: amplitudes(); break;
    case 2: each(2); break;
    case 4: each(3); break;
    case 6: each(1); break;
    case 3:
    case 5:
    case 7:
        amplitudes();
        for (int32_t g = 0; g < groupsOf(f); ++g)
            if (active(g))
                for (int32_t o = 1; o <= 3; ++o) list.push_back(3 * g + o);
        break;
    default: break;
    }
    return list;
}

void GaussGroupModel(const TGaussFit& f, const std::vector<double>& a, double x, double& y,
                     std::vector<double>& dyda) {
    std::vector<int32_t> col(u(f.ma) + 1);
    for (int32_t p = 0; p <= f.ma; ++p) col[u(p)] = p;
    dyda.assign(u(f.ma) + 1, 0.0);
    y = 0.0;
    std::array<double, 2 * kGaussMaxBands> e{};
    for (const GroupTerms& t : termsOf(f, a, col)) {
        bandValues(t, &x, 1, e.data());
        accumulate(t, e.data(), y, dyda.data());
    }
}

void MrqCof(TGaussFit& f, const std::vector<double>& a, NrMatrix& alpha, std::vector<double>& beta,
            double& chisq) {
    const int32_t m = f.mfit;
    std::vector<int32_t> col(u(f.ma) + 1, -1);
    for (int32_t j = 1; j <= m; ++j) col[u(f.lista[u(j)])] = j - 1;
    const auto terms = termsOf(f, a, col);
    const std::size_t n = f.x.size();

    // Where each group's band values come from: kept from the accepted parameters when its shape is
    // the same, else computed into the trial set (or, beyond the budget, into a block scratch).
    if (f.accepted.size() != u(groupsOf(f))) {
        std::size_t bands = 0;
        for (int32_t g = 0; g < groupsOf(f); ++g) bands += u(bandsOf(f.block->Groups[u(g)]));
        f.keepBandValues = 2 * n * bands <= kBandValueBudget;
        f.accepted.assign(u(groupsOf(f)), {});
        f.trial.assign(u(groupsOf(f)), {});
    }
    std::vector<const double*> kept(terms.size(), nullptr);
    std::vector<double*> into(terms.size(), nullptr);
    std::vector<std::size_t> scratchAt(terms.size(), 0);
    std::size_t scratchBands = 0;
    for (std::size_t ti = 0; ti < terms.size(); ++ti) {
        const GroupTerms& t = terms[ti];
        TGaussFit::TBandValues& acc = f.accepted[u(t.group)];
        TGaussFit::TBandValues& tr = f.trial[u(t.group)];
        tr.valid = false;
        if (!f.keepBandValues) {
            scratchAt[ti] = 2 * scratchBands * kBlock;
            scratchBands += u(t.bands);
        } else if (acc.valid && acc.shape == t.shape()) {
            kept[ti] = acc.values.data();
        } else {
            tr.values.resize(2 * n * u(t.bands));
            tr.shape = t.shape();
            tr.valid = true;
            into[ti] = tr.values.data();
        }
    }
    std::vector<double> scratch(2 * scratchBands * kBlock);
    std::vector<const double*> e(terms.size());

    std::vector<double> d(u(m) + 1), D(u(m) * kBlock), DW(u(m) * kBlock), R(kBlock);
    std::vector<double> al(u(m) * u(m), 0.0), be(u(m), 0.0);
    double chi = 0.0;
    for (std::size_t start = 0; start < n; start += kBlock) {
        const std::size_t len = std::min(kBlock, n - start);
        for (std::size_t ti = 0; ti < terms.size(); ++ti) {
            const std::size_t at = 2 * start * u(terms[ti].bands);
            if (kept[ti]) {
                e[ti] = kept[ti] + at;
            } else {
                double* out = into[ti] ? into[ti] + at : scratch.data() + scratchAt[ti];
                bandValues(terms[ti], &f.x[start], len, out);
                e[ti] = out;
            }
        }
        // The derivatives of the block, parameter by parameter, weighted once; then the sums.
        for (std::size_t i = start; i < start + len; ++i) {
            for (int32_t j = 0; j < m; ++j) d[u(j)] = 0.0;
            double ymod = 0.0;
            for (std::size_t ti = 0; ti < terms.size(); ++ti)
                accumulate(terms[ti], e[ti] + 2 * (i - start) * u(terms[ti].bands), ymod, d.data());
            const double sig2i = 1.0 / (f.sig[i] * f.sig[i]);
            const double dy = f.y[i] - ymod;
            for (int32_t j = 0; j < m; ++j) {
                D[u(j) * kBlock + (i - start)] = d[u(j)];
                DW[u(j) * kBlock + (i - start)] = d[u(j)] * sig2i;
            }
            R[i - start] = dy;
            chi += dy * dy * sig2i;
        }
        for (int32_t j = 0; j < m; ++j) {
            const double* wj = &DW[u(j) * kBlock];
            for (int32_t k = 0; k <= j; ++k) al[u(j) * u(m) + u(k)] += dot(wj, &D[u(k) * kBlock], len);
            be[u(j)] += dot(wj, R.data(), len);
        }
    }
    alpha = NrMatrix(m, m);
    beta.assign(u(m) + 1, 0.0);
    for (int32_t j = 0; j < m; ++j) {
        for (int32_t k = 0; k <= j; ++k) {
            alpha(j + 1, k + 1) = al[u(j) * u(m) + u(k)];
            alpha(k + 1, j + 1) = al[u(j) * u(m) + u(k)];
        }
        beta[u(j + 1)] = be[u(j)];
    }
    chisq = chi;
}

namespace {

// Parameters without effect (a zero diagonal: the derivative is 0 at every data point) would make
// the matrix singular; they leave the free list.
void dropWithoutEffect(TGaussFit& f) {
    std::vector<int32_t> keep;
    for (int32_t j = 1; j <= f.mfit; ++j)
        if (f.alpha(j, j) != 0.0L) keep.push_back(j);
    const int32_t m = static_cast<int32_t>(keep.size());
    if (m == f.mfit) return;
    NrMatrix alpha(m, m);
    std::vector<double> beta(u(m) + 1, 0.0);
    std::vector<int32_t> lista(u(m) + 1, 0);
    for (int32_t j = 1; j <= m; ++j) {
        for (int32_t k = 1; k <= m; ++k) alpha(j, k) = f.alpha(keep[u(j - 1)], keep[u(k - 1)]);
        beta[u(j)] = f.beta[u(keep[u(j - 1)])];
        lista[u(j)] = f.lista[u(keep[u(j - 1)])];
    }
    f.alpha = std::move(alpha);
    f.beta = std::move(beta);
    f.lista = std::move(lista);
    f.mfit = m;
}

}  // namespace

bool MRQMIN(TGaussFit& f) {
    auto fail = [&f] {
        f.alamda = 10.0;
        f.chisq = f.ochisq;
        return false;
    };
    std::feclearexcept(kFaults);
    if (f.alamda < 0.0) {
        std::vector<bool> named(u(f.ma) + 1, false);
        for (int32_t j = 1; j <= f.mfit; ++j) {
            const int32_t p = f.lista[u(j)];
            if (p < 1 || p > f.ma) throw vx::Error("pause 2 in routine MRQMIN\r\nImproper permutation in LISTA");
            if (named[u(p)]) throw vx::Error("pause 1 in routine MRQMIN\r\nImproper permutation in LISTA");
            named[u(p)] = true;
        }
        f.alamda = 0.001;
        f.atry = f.a;
        MrqCof(f, f.a, f.alpha, f.beta, f.chisq);
        keepTrialBandValues(f);
        f.ochisq = f.chisqInit = f.chisq;
        if (faulted() || !std::isfinite(f.chisq)) return fail();
        dropWithoutEffect(f);
        if (f.mfit == 0) return true;
    }
    const int32_t m = f.mfit;
    f.covar = NrMatrix(m, m);
    NrMatrix oneda(m, 1);
    for (int32_t j = 1; j <= m; ++j) {
        for (int32_t k = 1; k <= m; ++k) f.covar(j, k) = f.alpha(j, k);
        f.covar(j, j) = f.alpha(j, j) * (1.0L + f.alamda);
        oneda(j, 1) = f.beta[u(j)];
    }
    try {
        GAUSSJ(f.covar, m, oneda, 1);
    } catch (const vx::Error&) {
        return fail();
    }
    for (int32_t j = 1; j <= m; ++j) {
        const int32_t p = f.lista[u(j)];
        f.atry[u(p)] = f.a[u(p)] + static_cast<double>(oneda(j, 1));
    }
    NrMatrix trialAlpha;
    std::vector<double> trialBeta;
    double trialChisq = 0.0;
    MrqCof(f, f.atry, trialAlpha, trialBeta, trialChisq);
    bool finite = std::isfinite(trialChisq);
    for (int32_t j = 1; j <= m; ++j) finite = finite && std::isfinite(f.atry[u(f.lista[u(j)])]);
    if (faulted() || !finite) return fail();
    if (trialChisq < f.ochisq) {
        f.alamda *= 0.1;
        f.ochisq = f.chisq = trialChisq;
        f.alpha = std::move(trialAlpha);
        f.beta = std::move(trialBeta);
        keepTrialBandValues(f);
        for (int32_t j = 1; j <= m; ++j) f.a[u(f.lista[u(j)])] = f.atry[u(f.lista[u(j)])];
    } else {
        f.alamda *= 10.0;
        f.chisq = f.ochisq;
    }
    return true;
}

void GaussParamsFromFit(TGaussFit& f) {
    TGaussModelParams& block = *f.block;
    for (int32_t g = 0; g < groupsOf(f); ++g) {
        TGaussGroup& gr = block.Groups[u(g)];
        gr.Spacing = f.a[u(3 * g + 1)];
        gr.Position = f.a[u(3 * g + 2)];
        gr.Width = f.a[u(3 * g + 3)];
        const int32_t s = f.ampSlot[u(g)];
        if (f.connected[u(g)]) {
            for (int32_t k = 0; k < bandsOf(gr); ++k) gr.Amplitudes[u(k)] *= f.a[u(s)];
            f.a[u(s)] = 1.0;
        } else {
            for (int32_t k = 0; k < bandsOf(gr); ++k) gr.Amplitudes[u(k)] = f.a[u(s + k)];
        }
    }
    if (f.hooks && f.hooks->preview) f.hooks->preview(block);
}

int32_t GaussFitRun(TGaussFit& f) {
    f.alamda = -1.0;
    // A fault in the initialisation or the first step ends the run, and so does a free list without
    // a parameter that has an effect.
    if (!MRQMIN(f) || f.mfit == 0) return 0;
    GaussParamsFromFit(f);
    int32_t i = 0;
    for (;;) {
        if (f.hooks && f.hooks->processMessages) f.hooks->processMessages();
        ++i;
        const double before = f.alamda;
        MRQMIN(f);  // a failed step leaves alamda at 10, which ends the run below
        if (i % 3 == 0) GaussParamsFromFit(f);
        if (i >= f.switches.MaxIterations || f.alamda >= 1.0 || f.alamda == before * 10.0) break;
    }
    return i;
}

std::vector<TGaussStageReport> GaussFitIterate(const TSpectrumRecord& spectrum, TGaussModelParams& block,
                                               const TGaussFitSwitches& switches, const TDisplayState& display,
                                               const TGaussFitHooks& hooks) {
    if (std::string problem = GaussParamsProblem(block); !problem.empty()) throw vx::Error(problem);
    TGaussFit fit;
    GaussFitData(spectrum, block, display, fit.x, fit.y, fit.sig);
    if (fit.x.empty()) throw vx::Error("Gauss fit: no data points in the fit range");
    GaussFitInit(fit, block, switches, &hooks);

    struct PreviewGuard {
        const TGaussFitHooks& h;
        ~PreviewGuard() {
            if (h.removePreview) h.removePreview();
        }
    } guard{hooks};
    if (hooks.addPreview) hooks.addPreview();

    std::vector<TGaussStageReport> reports;
    for (int32_t stage = 1; stage <= 7; ++stage) {
        if (stage > 1 && switches.OnlyAmplitudes) break;
        TGaussStageReport r;
        r.legend = std::string(kStageTexts[stage - 1]) + " Maxima";
        if (hooks.stageLegend) hooks.stageLegend(r.legend);
        GaussParamsFromFit(fit);
        const std::vector<int32_t> list = GaussStageList(fit, stage);
        fit.lista.assign(1, 0);
        fit.lista.insert(fit.lista.end(), list.begin(), list.end());
        fit.mfit = static_cast<int32_t>(list.size());
        if (fit.mfit > 0) {
            r.steps = GaussFitRun(fit);
            r.freeParams = fit.mfit;
            r.chisqStart = fit.chisqInit;
            r.chisqEnd = fit.ochisq;
        }
        reports.push_back(r);
    }
    // The steps accepted after the last write-back belong to the result too.
    GaussParamsFromFit(fit);
    return reports;
}
