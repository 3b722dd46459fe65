#pragma once
// The small linear-algebra kit of the smoothers, the flank fits and the Gauss band fit: Gauss-Jordan
// elimination with full pivoting, general linear least squares with a power basis, the covariance
// re-spread, a quicksort and a percentile. Matrices and parameter vectors count from 1, as the
// routines' classic formulation does; index 0 is unused.
#include <cstdint>
#include <span>
#include <vector>

// A rows x cols matrix addressed (1..rows, 1..cols), in extended precision.
class NrMatrix {
public:
    NrMatrix() = default;
    NrMatrix(int32_t rows, int32_t cols)
        : rows_(rows), cols_(cols),
          data_(static_cast<std::size_t>(rows + 1) * static_cast<std::size_t>(cols + 1), 0.0L) {}
    long double& operator()(int32_t r, int32_t c) { return data_[index(r, c)]; }
    long double operator()(int32_t r, int32_t c) const { return data_[index(r, c)]; }
    int32_t rows() const { return rows_; }
    int32_t cols() const { return cols_; }

private:
    std::size_t index(int32_t r, int32_t c) const {
        return static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_ + 1) + static_cast<std::size_t>(c);
    }
    int32_t rows_ = 0, cols_ = 0;
    std::vector<long double> data_;
};

// Solves a·x = b for the m right-hand sides in the columns of b, in place: a (n x n) becomes its
// inverse, b (n x m) the solutions. A singular matrix raises vx::Error "pause 1 in GAUSSJ - singular
// matrix" (a pivot column met twice) or "pause 2 in GAUSSJ - singular matrix" (a zero pivot).
void GAUSSJ(NrMatrix& a, int32_t n, NrMatrix& b, int32_t m);

// Basis (1, x, x^2, ..., x^(ma-1)) into afunc[1..ma].
void PolynomialBasis(double x, std::span<long double> afunc, int32_t ma);

// Weighted linear least squares of y against the power basis with ma coefficients. x, y and sig hold
// the ndata points (0-based); a[1..ma] holds the coefficients (those not listed in lista[1..mfit] are
// kept fixed at their values on entry); covar (ma x ma or larger) receives the covariance matrix and
// chisq the sum of squared weighted residues. lista must name each fitted parameter once, otherwise
// vx::Error "pause in routine LFIT" / "improper permutation in LISTA" is raised; a zero sigma raises
// "Floating point division by zero"; solver failures come from GAUSSJ.
void LFIT(std::span<const double> x, std::span<const double> y, std::span<const double> sig,
          int32_t ndata, std::vector<double>& a, int32_t ma, std::vector<int32_t>& lista, int32_t mfit,
          NrMatrix& covar, double& chisq);

// Spreads the mfit x mfit covariance of the fitted parameters onto their ma x ma positions; the rows
// and columns of fixed parameters become 0.
void CovSrtSmall(NrMatrix& covar, int32_t ma, const std::vector<int32_t>& lista, int32_t mfit);

// Convenience: least squares polynomial with ma coefficients and unit weights, coefficients 0-based
// (c[0] + c[1]·x + ...). Errors as LFIT.
std::vector<double> FitPolynomial(std::span<const double> x, std::span<const double> y, int32_t ma);
// c[0] + c[1]·x + ... by Horner's rule.
double EvalPolynomial(const std::vector<double>& c, double x);

// Ascending sort of array[lo..hi] in place (Hoare partition around the middle element).
void QuickSortDoubles(std::vector<double>& array, int32_t lo, int32_t hi);

// Percentile p (0..100, clamped) of array[lo..hi], which is sorted in place first. With N values and
// e = N·p/100: a whole e gives the e-th smallest value (the smallest for p = 0); otherwise, with
// k = floor(e), the mean of the k-th and (k+1)-th smallest (the smallest alone when k = 0).
// An empty range gives 0.
double Percentile(std::vector<double>& array, int32_t lo, int32_t hi, double p);
