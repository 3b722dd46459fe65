#include "tools/gauss_fit.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

#include "core/units.h"
#include "platform/errors.h"

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

// The model's terms of one group for one parameter vector, set up once per pass over the data.
struct GroupTerms {
    int32_t bands = 0;
    double spacing = 0.0, position = 0.0, width = 0.0;
    bool connected = false;
    int32_t slot = 0;  // first amplitude slot
    int32_t first = 0;  // 3g+1
    std::array<double, kGaussMaxBands> amp{};   // the amplitude of band k
    std::array<double, kGaussMaxBands> base{};  // block amplitudes (derivative of a common factor)
};

std::vector<GroupTerms> termsOf(const TGaussFit& f, const std::vector<double>& a) {
    std::vector<GroupTerms> terms;
    terms.reserve(u(groupsOf(f)));
    for (int32_t g = 0; g < groupsOf(f); ++g) {
        const TGaussGroup& gr = f.block->Groups[u(g)];
        GroupTerms t;
        t.first = 3 * g + 1;
        t.spacing = a[u(t.first)];
        t.position = a[u(t.first + 1)];
        t.width = a[u(t.first + 2)];
        // A band of width 0 contributes nothing, to the value and to the derivatives.
        t.bands = t.width == 0.0 ? 0 : bandsOf(gr);
        t.connected = f.connected[u(g)];
        t.slot = f.ampSlot[u(g)];
        for (int32_t k = 0; k < t.bands; ++k) {
            t.base[u(k)] = gr.Amplitudes[u(k)];
            t.amp[u(k)] = t.connected ? gr.Amplitudes[u(k)] * a[u(t.slot)] : a[u(t.slot + k)];
        }
        terms.push_back(t);
    }
    return terms;
}

// y and dyda[1..ma] at x; dyda is overwritten for every parameter.
void evaluate(const std::vector<GroupTerms>& terms, double x, double& y, double* dyda, int32_t ma) {
    std::fill(dyda, dyda + ma + 1, 0.0);
    y = 0.0;
    for (const GroupTerms& t : terms) {
        double dS = 0.0, dP = 0.0, dW = 0.0;
        for (int32_t k = 0; k < t.bands; ++k) {
            const double c = t.position + k * t.spacing;
            const double s = (x - c) / t.width;
            const double e = std::exp(-s * s);
            const double A = t.amp[u(k)];
            y += A * e;
            if (t.connected) dyda[t.slot] += t.base[u(k)] * e;
            else dyda[t.slot + k] = e;
            const double fac = 2.0 * A * e * s / t.width;
            dP += fac;
            dS += k * fac;
            dW += fac * s;
        }
        dyda[t.first] += dS;
        dyda[t.first + 1] += dP;
        dyda[t.first + 2] += dW;
    }
}

bool faulted() { return std::fetestexcept(kFaults) != 0; }

// Parameters of the list whose derivative is non-zero at some data point: the others have no effect
// on chisq and would make the curvature matrix singular.
std::vector<int32_t> withEffect(const TGaussFit& f, const std::vector<int32_t>& list) {
    const auto terms = termsOf(f, f.a);
    std::vector<double> dyda(u(f.ma) + 1);
    std::vector<bool> seen(u(f.ma) + 1, false);
    double y = 0.0;
    for (double x : f.x) {
        evaluate(terms, x, y, dyda.data(), f.ma);
        for (int32_t p : list)
            if (dyda[u(p)] != 0.0 && std::isfinite(dyda[u(p)])) seen[u(p)] = true;
    }
    std::vector<int32_t> kept;
    for (int32_t p : list)
        if (seen[u(p)]) kept.push_back(p);
    return kept;
}

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
    for (int32_t i = i1; i <= i2; ++i) ymax = std::max(ymax, SpecYValue(spectrum, i, display));
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
    evaluate(termsOf(f, a), x, y, dyda.data(), f.ma);
}

void MrqCof(const TGaussFit& f, const std::vector<double>& a, NrMatrix& alpha, std::vector<double>& beta,
            double& chisq) {
    const int32_t m = f.mfit;
    const auto terms = termsOf(f, a);
    std::vector<double> dyda(u(f.ma) + 1), d(u(m));
    std::vector<double> al(u(m) * u(m), 0.0), be(u(m), 0.0);
    double chi = 0.0;
    const std::size_t n = f.x.size();
    for (std::size_t i = 0; i < n; ++i) {
        double ymod = 0.0;
        evaluate(terms, f.x[i], ymod, dyda.data(), f.ma);
        const double sig2i = 1.0 / (f.sig[i] * f.sig[i]);
        const double dy = f.y[i] - ymod;
        for (int32_t j = 0; j < m; ++j) d[u(j)] = dyda[u(f.lista[u(j + 1)])];
        for (int32_t j = 0; j < m; ++j) {
            const double wt = d[u(j)] * sig2i;
            double* row = &al[u(j) * u(m)];
            for (int32_t k = 0; k <= j; ++k) row[k] += wt * d[u(k)];
            be[u(j)] += dy * wt;
        }
        chi += dy * dy * sig2i;
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

bool MRQMIN(TGaussFit& f) {
    const int32_t m = f.mfit;
    auto fail = [&f] {
        f.alamda = 10.0;
        f.chisq = f.ochisq;
        return false;
    };
    std::feclearexcept(kFaults);
    if (f.alamda < 0.0) {
        std::vector<bool> named(u(f.ma) + 1, false);
        for (int32_t j = 1; j <= m; ++j) {
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
    }
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
    if (!MRQMIN(f)) return 0;  // a fault in the initialisation or the first step ends the run
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
        const std::vector<int32_t> list = withEffect(fit, GaussStageList(fit, stage));
        fit.lista.assign(1, 0);
        fit.lista.insert(fit.lista.end(), list.begin(), list.end());
        fit.mfit = static_cast<int32_t>(list.size());
        r.freeParams = fit.mfit;
        if (fit.mfit > 0) {
            r.steps = GaussFitRun(fit);
            r.chisqStart = fit.chisqInit;
            r.chisqEnd = fit.ochisq;
        }
        reports.push_back(r);
    }
    // The steps accepted after the last write-back belong to the result too.
    GaussParamsFromFit(fit);
    return reports;
}
