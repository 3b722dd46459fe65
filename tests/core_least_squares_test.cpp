#include <gtest/gtest.h>

#include "core/least_squares.h"
#include "platform/errors.h"
#include "core_algos_fixtures.h"

namespace {

NrMatrix FromRows(std::initializer_list<std::initializer_list<double>> rows) {
    int32_t n = static_cast<int32_t>(rows.size());
    int32_t m = static_cast<int32_t>(rows.begin()->size());
    NrMatrix a(n, m);
    int32_t r = 1;
    for (auto& row : rows) {
        int32_t c = 1;
        for (double v : row) a(r, c++) = v;
        ++r;
    }
    return a;
}

std::string ErrorText(const std::function<void()>& f) {
    try {
        f();
    } catch (const vx::Error& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(Gaussj, SolvesAndInvertsWithPivoting) {
    // The first column's largest entry is not on the diagonal, so rows and columns are exchanged.
    NrMatrix a = FromRows({{2, 1, -1}, {-3, -1, 2}, {-2, 1, 2}});
    NrMatrix b = FromRows({{8}, {-11}, {-3}});
    GAUSSJ(a, 3, b, 1);
    EXPECT_NEAR(static_cast<double>(b(1, 1)), 2.0, 1e-14);
    EXPECT_NEAR(static_cast<double>(b(2, 1)), 3.0, 1e-14);
    EXPECT_NEAR(static_cast<double>(b(3, 1)), -1.0, 1e-14);
    const double inv[3][3] = {{4, 3, -1}, {-2, -2, 1}, {5, 4, -1}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(static_cast<double>(a(r + 1, c + 1)), inv[r][c], 1e-14);
}

TEST(Gaussj, SingularMatricesRaiseTheirTexts) {
    NrMatrix zero(2, 2), b(2, 1);
    EXPECT_EQ(ErrorText([&] { GAUSSJ(zero, 2, b, 1); }), "pause 2 in GAUSSJ - singular matrix");
    NrMatrix dup = FromRows({{1, 2}, {2, 4}});
    NrMatrix b2(2, 1);
    EXPECT_EQ(ErrorText([&] { GAUSSJ(dup, 2, b2, 1); }), "pause 2 in GAUSSJ - singular matrix");
}

TEST(Lfit, QuadraticAgreesWithIndependentFit) {
    std::vector<double> y = WavySignal(10), x(10), sig(10, 1.0);
    for (int i = 0; i < 10; ++i) x[i] = i;
    std::vector<double> a(4, 0.0);
    std::vector<int32_t> lista{0, 1, 2, 3};
    NrMatrix covar(3, 3);
    double chisq = 0;
    LFIT(x, y, sig, 10, a, 3, lista, 3, covar, chisq);
    EXPECT_NEAR(a[1], -0.03928894876204932, 1e-12);
    EXPECT_NEAR(a[2], 0.41674365665790725, 1e-12);
    EXPECT_NEAR(a[3], -0.04019418824249284, 1e-12);
    EXPECT_NEAR(chisq, 0.010138782357399307, 1e-12);
    const double cov[3][3] = {{0.6181818181818162, -0.2590909090909076, 0.02272727272727259},
                              {-0.2590909090909077, 0.16553030303030214, -0.01704545454545445},
                              {0.02272727272727258, -0.01704545454545445, 0.00189393939393938}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(static_cast<double>(covar(r + 1, c + 1)), cov[r][c], 1e-12);
}

TEST(Lfit, FixedParameterStaysAndItsCovarianceIsZero) {
    // y = 1 + 2x + 3x^2 with the constant held at 1: the fit finds 2 and 3 exactly.
    std::vector<double> x{-2, -1, 0, 1, 2, 3}, y, sig(6, 0.5);
    for (double v : x) y.push_back(1 + 2 * v + 3 * v * v);
    std::vector<double> a{0, 1.0, 0, 0};
    std::vector<int32_t> lista{0, 2, 3, 0};
    NrMatrix covar(3, 3);
    double chisq = -1;
    LFIT(x, y, sig, 6, a, 3, lista, 2, covar, chisq);
    EXPECT_DOUBLE_EQ(a[1], 1.0);
    EXPECT_NEAR(a[2], 2.0, 1e-12);
    EXPECT_NEAR(a[3], 3.0, 1e-12);
    EXPECT_NEAR(chisq, 0.0, 1e-20);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(covar(1, k), 0.0L);
        EXPECT_EQ(covar(k, 1), 0.0L);
    }
    EXPECT_GT(covar(2, 2), 0.0L);
}

TEST(Lfit, BadListAndDegenerateDataRaiseInsteadOfPrinting) {
    std::vector<double> x{0, 1, 2}, y{1, 2, 3}, sig(3, 1.0);
    std::vector<double> a(3, 0.0);
    std::vector<int32_t> lista{0, 1, 1};
    NrMatrix covar(2, 2);
    double chisq;
    testing::internal::CaptureStdout();
    EXPECT_EQ(ErrorText([&] { LFIT(x, y, sig, 3, a, 2, lista, 2, covar, chisq); }),
              "pause in routine LFIT\r\nimproper permutation in LISTA");
    // All x equal: the normal equations have no inverse.
    std::vector<double> same{4, 4, 4};
    std::vector<int32_t> ok{0, 1, 2};
    EXPECT_NE(ErrorText([&] { LFIT(same, y, sig, 3, a, 2, ok, 2, covar, chisq); }).find("in GAUSSJ - singular matrix"),
              std::string::npos);
    std::vector<double> zeroSig{1, 0, 1};
    EXPECT_EQ(ErrorText([&] { LFIT(x, y, zeroSig, 3, a, 2, ok, 2, covar, chisq); }), vx::kDivByZero);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

struct PercentileCase {
    std::vector<double> values;
    double p;
    double expected;
};

class PercentileTable : public testing::TestWithParam<PercentileCase> {};

TEST_P(PercentileTable, FollowsTheRankRule) {
    auto c = GetParam();
    EXPECT_DOUBLE_EQ(Percentile(c.values, 0, static_cast<int32_t>(c.values.size()) - 1, c.p), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PercentileTable,
    testing::Values(PercentileCase{{5, 3, 1, 4, 2}, 50, 2.5},   // e = 2.5: mean of 2nd and 3rd
                    PercentileCase{{5, 3, 1, 4, 2}, 40, 2.0},   // e = 2: the 2nd
                    PercentileCase{{5, 3, 1, 4, 2}, 0, 1.0},    // p 0: the smallest
                    PercentileCase{{5, 3, 1, 4, 2}, 100, 5.0},  // e = N: the largest
                    PercentileCase{{5, 3, 1, 4, 2}, 10, 1.0},   // e = 0.5: nothing before the first
                    PercentileCase{{5, 3, 1, 4, 2}, 150, 5.0},  // p clamped to 100
                    PercentileCase{{5, 3, 1, 4, 2}, -20, 1.0},  // and to 0
                    PercentileCase{{7}, 50, 7.0}));

TEST(QuickSortDoubles, SortsWithDuplicatesAndSubranges) {
    std::vector<double> v{3, 1, 2, 3, -1, 0, 3, 2};
    QuickSortDoubles(v, 2, 5);
    EXPECT_EQ(v, (std::vector<double>{3, 1, -1, 0, 2, 3, 3, 2}));
    QuickSortDoubles(v, 0, 7);
    EXPECT_TRUE(std::is_sorted(v.begin(), v.end()));
    std::vector<double> big(10000);
    for (int i = 0; i < 10000; ++i) big[i] = (i * 7919) % 101;
    QuickSortDoubles(big, 0, 9999);
    EXPECT_TRUE(std::is_sorted(big.begin(), big.end()));
}
