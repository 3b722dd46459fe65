#include "tools/gauss_fit.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

#include "core/units.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "tools/gauss_fit_pass.h"

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

// What a pass needs of each group with bands for parameter vector `a`; col[p] is the column of
// parameter p among the free ones, -1 for one that is not free.
void passGroupsOf(const TGaussFit& f, const std::vector<double>& a, const std::vector<int32_t>& col,
                  std::vector<TGaussPassGroup>& groups) {
    groups.clear();
    for (int32_t g = 0; g < groupsOf(f); ++g) {
        const TGaussGroup& gr = f.block->Groups[u(g)];
        const int32_t first = 3 * g + 1;
        const double spacing = a[u(first)], position = a[u(first + 1)], width = a[u(first + 2)];
        // A band of width 0 contributes nothing, to the value and to the derivatives.
        TGaussPassGroup t;
        t.bands = width == 0.0 ? 0 : bandsOf(gr);
        if (t.bands == 0) continue;
        t.invWidth = 1.0 / width;
        t.twoOverWidth = 2.0 / width;
        t.colSpacing = col[u(first)];
        t.colPosition = col[u(first + 1)];
        t.colWidth = col[u(first + 2)];
        const bool connected = f.connected[u(g)];
        const int32_t slot = f.ampSlot[u(g)];
        for (int32_t k = 0; k < t.bands; ++k) {
            t.centre[u(k)] = position + k * spacing;
            t.amp[u(k)] = connected ? gr.Amplitudes[u(k)] * a[u(slot)] : a[u(slot + k)];
            t.ampDerivative[u(k)] = connected ? gr.Amplitudes[u(k)] : 1.0;
            t.colAmp[u(k)] = col[u(connected ? slot : slot + k)];
        }
        groups.push_back(t);
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
    const std::size_t most = static_cast<std::size_t>(i2 - i1) + 1;
    x.reserve(most);
    y.reserve(most);
    sig.reserve(most);
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
    dyda.assign(u(f.ma) + 1, 0.0);
    y = 0.0;
    for (int32_t g = 0; g < groupsOf(f); ++g) {
        const TGaussGroup& gr = f.block->Groups[u(g)];
        const int32_t first = 3 * g + 1;
        const double spacing = a[u(first)], position = a[u(first + 1)], width = a[u(first + 2)];
        if (width == 0.0) continue;
        const int32_t slot = f.ampSlot[u(g)];
        for (int32_t k = 0; k < bandsOf(gr); ++k) {
            const double t = (x - (position + k * spacing)) / width;
            const double e = std::exp(-t * t);
            const double A = f.connected[u(g)] ? gr.Amplitudes[u(k)] * a[u(slot)] : a[u(slot + k)];
            y += A * e;
            if (f.connected[u(g)]) dyda[u(slot)] += gr.Amplitudes[u(k)] * e;
            else dyda[u(slot + k)] += e;
            const double fac = 2.0 * A * e * t / width;
            dyda[u(first + 1)] += fac;
            dyda[u(first)] += k * fac;
            dyda[u(first + 2)] += fac * t;
        }
    }
}

void MrqCof(TGaussFit& f, const std::vector<double>& a, NrMatrix& alpha, std::vector<double>& beta,
            double& chisq) {
    const int32_t m = f.mfit;
    f.col.assign(u(f.ma) + 1, -1);
    for (int32_t j = 1; j <= m; ++j) f.col[u(f.lista[u(j)])] = j - 1;
    passGroupsOf(f, a, f.col, f.passGroups);
    GaussFitPass(f.passGroups, m, f.x.data(), f.y.data(), f.sig.data(), f.x.size(), f.sums, f.passIsa);
    if (alpha.rows() != m || alpha.cols() != m) alpha = NrMatrix(m, m);
    beta.assign(u(m) + 1, 0.0);
    for (int32_t j = 0; j < m; ++j) {
        for (int32_t k = 0; k < m; ++k) alpha(j + 1, k + 1) = f.sums.alpha[u(j) * u(m) + u(k)];
        beta[u(j + 1)] = f.sums.beta[u(j)];
    }
    chisq = f.sums.chisq;
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
