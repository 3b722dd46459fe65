#include "core/least_squares.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/errors.h"

void GAUSSJ(NrMatrix& a, int32_t n, NrMatrix& b, int32_t m) {
    std::vector<int32_t> indxc(static_cast<std::size_t>(n) + 1), indxr(static_cast<std::size_t>(n) + 1),
        ipiv(static_cast<std::size_t>(n) + 1, 0);
    int32_t irow = 0, icol = 0;
    for (int32_t i = 1; i <= n; ++i) {
        long double big = 0.0L;
        for (int32_t j = 1; j <= n; ++j) {
            if (ipiv[j] == 1) continue;
            for (int32_t k = 1; k <= n; ++k) {
                if (ipiv[k] == 0) {
                    if (std::fabs(a(j, k)) >= big) {
                        big = std::fabs(a(j, k));
                        irow = j;
                        icol = k;
                    }
                } else if (ipiv[k] > 1) {
                    throw vx::Error("pause 1 in GAUSSJ - singular matrix");
                }
            }
        }
        if (icol == 0) throw vx::Error("pause 1 in GAUSSJ - singular matrix");
        ++ipiv[icol];
        if (irow != icol) {
            for (int32_t l = 1; l <= n; ++l) std::swap(a(irow, l), a(icol, l));
            for (int32_t l = 1; l <= m; ++l) std::swap(b(irow, l), b(icol, l));
        }
        indxr[i] = irow;
        indxc[i] = icol;
        // A zero (or unusable) pivot: the matrix has no inverse.
        if (a(icol, icol) == 0.0L || !std::isfinite(a(icol, icol)))
            throw vx::Error("pause 2 in GAUSSJ - singular matrix");
        long double pivinv = 1.0L / a(icol, icol);
        a(icol, icol) = 1.0L;
        for (int32_t l = 1; l <= n; ++l) a(icol, l) *= pivinv;
        for (int32_t l = 1; l <= m; ++l) b(icol, l) *= pivinv;
        for (int32_t ll = 1; ll <= n; ++ll) {
            if (ll == icol) continue;
            long double dum = a(ll, icol);
            a(ll, icol) = 0.0L;
            for (int32_t l = 1; l <= n; ++l) a(ll, l) -= a(icol, l) * dum;
            for (int32_t l = 1; l <= m; ++l) b(ll, l) -= b(icol, l) * dum;
        }
    }
    for (int32_t l = n; l >= 1; --l) {
        if (indxr[l] != indxc[l])
            for (int32_t k = 1; k <= n; ++k) std::swap(a(k, indxr[l]), a(k, indxc[l]));
    }
}

void PolynomialBasis(double x, std::span<long double> afunc, int32_t ma) {
    long double p = 1.0L;
    for (int32_t j = 1; j <= ma; ++j) {
        afunc[static_cast<std::size_t>(j)] = p;
        p *= x;
    }
}

void CovSrtSmall(NrMatrix& covar, int32_t ma, const std::vector<int32_t>& lista, int32_t mfit) {
    for (int32_t j = 1; j < ma; ++j)
        for (int32_t i = j + 1; i <= ma; ++i) covar(i, j) = 0.0L;
    for (int32_t i = 1; i < mfit; ++i)
        for (int32_t j = i + 1; j <= mfit; ++j) {
            if (lista[j] > lista[i])
                covar(lista[j], lista[i]) = covar(i, j);
            else
                covar(lista[i], lista[j]) = covar(i, j);
        }
    long double swap = covar(1, 1);
    for (int32_t j = 1; j <= ma; ++j) {
        covar(1, j) = covar(j, j);
        covar(j, j) = 0.0L;
    }
    covar(lista[1], lista[1]) = swap;
    for (int32_t j = 2; j <= mfit; ++j) covar(lista[j], lista[j]) = covar(1, j);
    for (int32_t j = 2; j <= ma; ++j)
        for (int32_t i = 1; i < j; ++i) covar(i, j) = covar(j, i);
}

void LFIT(std::span<const double> x, std::span<const double> y, std::span<const double> sig,
          int32_t ndata, std::vector<double>& a, int32_t ma, std::vector<int32_t>& lista, int32_t mfit,
          NrMatrix& covar, double& chisq) {
    auto badList = [] { throw vx::Error("pause in routine LFIT\r\nimproper permutation in LISTA"); };
    if (ma < 1 || mfit < 1 || mfit > ma || static_cast<int32_t>(a.size()) < ma + 1 ||
        static_cast<int32_t>(lista.size()) < ma + 1)
        badList();
    if (ndata < 0 || static_cast<std::size_t>(ndata) > x.size() || static_cast<std::size_t>(ndata) > y.size() ||
        static_cast<std::size_t>(ndata) > sig.size())
        throw vx::ListIndexError(ndata);
    if (covar.rows() < ma || covar.cols() < ma) covar = NrMatrix(ma, ma);
    // Every fitted parameter once; the fixed ones follow in lista[mfit+1..ma].
    int32_t kk = mfit + 1;
    for (int32_t j = 1; j <= ma; ++j) {
        int32_t ihit = 0;
        for (int32_t k = 1; k <= mfit; ++k)
            if (lista[k] == j) ++ihit;
        if (ihit == 0) {
            if (kk > ma) badList();
            lista[kk++] = j;
        } else if (ihit > 1) {
            badList();
        }
    }
    if (kk != ma + 1) badList();

    NrMatrix beta(mfit, 1);
    for (int32_t j = 1; j <= mfit; ++j)
        for (int32_t k = 1; k <= mfit; ++k) covar(j, k) = 0.0L;
    std::vector<long double> afunc(static_cast<std::size_t>(ma) + 1);
    for (int32_t i = 0; i < ndata; ++i) {
        PolynomialBasis(x[i], afunc, ma);
        long double ym = y[i];
        for (int32_t j = mfit + 1; j <= ma; ++j) ym -= a[lista[j]] * afunc[lista[j]];
        if (sig[i] == 0.0) vx::throwDivByZero();
        long double sig2i = 1.0L / (static_cast<long double>(sig[i]) * sig[i]);
        for (int32_t j = 1; j <= mfit; ++j) {
            long double wt = afunc[lista[j]] * sig2i;
            for (int32_t k = 1; k <= j; ++k) covar(j, k) += wt * afunc[lista[k]];
            beta(j, 1) += ym * wt;
        }
    }
    for (int32_t j = 2; j <= mfit; ++j)
        for (int32_t k = 1; k < j; ++k) covar(k, j) = covar(j, k);
    GAUSSJ(covar, mfit, beta, 1);
    for (int32_t j = 1; j <= mfit; ++j) a[lista[j]] = static_cast<double>(beta(j, 1));
    long double chi = 0.0L;
    for (int32_t i = 0; i < ndata; ++i) {
        PolynomialBasis(x[i], afunc, ma);
        long double sum = 0.0L;
        for (int32_t j = 1; j <= ma; ++j) sum += a[j] * afunc[j];
        long double r = (y[i] - sum) / sig[i];
        chi += r * r;
    }
    chisq = static_cast<double>(chi);
    CovSrtSmall(covar, ma, lista, mfit);
}

std::vector<double> FitPolynomial(std::span<const double> x, std::span<const double> y, int32_t ma) {
    int32_t n = static_cast<int32_t>(std::min(x.size(), y.size()));
    std::vector<double> sig(static_cast<std::size_t>(n), 1.0);
    std::vector<double> a(static_cast<std::size_t>(ma) + 1, 0.0);
    std::vector<int32_t> lista(static_cast<std::size_t>(ma) + 1);
    for (int32_t j = 1; j <= ma; ++j) lista[j] = j;
    NrMatrix covar(ma, ma);
    double chisq = 0.0;
    LFIT(x, y, sig, n, a, ma, lista, ma, covar, chisq);
    return std::vector<double>(a.begin() + 1, a.end());
}

double EvalPolynomial(const std::vector<double>& c, double x) {
    long double r = 0.0L;
    for (auto it = c.rbegin(); it != c.rend(); ++it) r = r * x + *it;
    return static_cast<double>(r);
}

void QuickSortDoubles(std::vector<double>& array, int32_t lo, int32_t hi) {
    while (lo < hi) {
        double pivot = array[static_cast<std::size_t>((lo + hi) / 2)];
        int32_t i = lo, j = hi;
        while (i <= j) {
            while (array[i] < pivot) ++i;
            while (pivot < array[j]) --j;
            if (i <= j) {
                std::swap(array[i], array[j]);
                ++i;
                --j;
            }
        }
        // Recurse into the smaller part, loop on the larger, so the depth stays logarithmic.
        if (j - lo < hi - i) {
            if (lo < j) QuickSortDoubles(array, lo, j);
            lo = i;
        } else {
            if (i < hi) QuickSortDoubles(array, i, hi);
            hi = j;
        }
    }
}

double Percentile(std::vector<double>& array, int32_t lo, int32_t hi, double p) {
    lo = std::max(lo, 0);
    hi = std::min(hi, static_cast<int32_t>(array.size()) - 1);
    if (hi < lo) return 0.0;
    QuickSortDoubles(array, lo, hi);
    p = std::clamp(p, 0.0, 100.0);
    const int32_t count = hi - lo + 1;
    const double e = count * p / 100.0;
    const double k = std::floor(e);
    const int32_t ki = static_cast<int32_t>(k);
    if (e == k) {
        if (ki == 0) return array[lo];
        return array[lo + ki - 1];
    }
    if (ki == 0) return array[lo];  // no value before the first
    if (count >= ki + 1) return (array[lo + ki - 1] + array[lo + ki]) / 2.0;
    return array[lo + std::min(ki, count - 1)];
}
