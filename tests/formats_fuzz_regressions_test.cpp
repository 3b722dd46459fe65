// Inputs that once made the text readers ask for far more memory or time than the text's size
// justifies. Each is rebuilt here from its bytes' pattern; the readers must give their normal result.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "formats/dat_reader.h"
#include "formats/resample.h"
#include "formats/text_spectra.h"
#include "platform/numtext.h"
#include "platform/ui.h"

// While a cap is set, one allocation above it fails as an out-of-memory would, so a reader that sizes
// a buffer by a header's promise instead of the text's content fails here rather than swapping.
namespace {
std::size_t gAllocationCap = 0;  // 0: no cap
}

// Out of line, so that the compiler does not pair an inlined free() with the operator new it sees.
[[gnu::noinline]] void* operator new(std::size_t n) {
    if (gAllocationCap != 0 && n > gAllocationCap) throw std::bad_alloc();
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void* operator new[](std::size_t n) { return ::operator new(n); }
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

class AllocationCap {
public:
    explicit AllocationCap(std::size_t bytes) { gAllocationCap = bytes; }
    ~AllocationCap() { gAllocationCap = 0; }
};

constexpr std::size_t kCap = 32u << 20;

std::string repeat(const std::string& s, int n) {
    std::string out;
    out.reserve(s.size() * static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

class FuzzRegressions : public ::testing::Test {
protected:
    void SetUp() override { numtext::setDecimalSeparator('.'); }
    ui::ScopedScriptedBackend ui_;
    TSpectraList list;
};

// A data line promising 4999 columns followed by thousands of short lines: the points were kept in a
// table of lines times promised columns (60 to 120 MB for these 40 KB). Both answers to the layout
// question are read; each spectrum keeps one point per line that holds its field.
TEST_F(FuzzRegressions, WideFirstDataLineWithShortLinesStaysSmall) {
    std::string text = "nm;A;A\n0;5" + std::string(4998, ';') + "\n";
    for (int i = 1; i <= 3000; ++i) text += std::to_string(i) + ";" + std::to_string(i % 7) + ";1\n";
    struct Case {
        const char* choice;
        int records;
    } cases[] = {{"1", 2}, {"0", 1}};  // one x column: two spectra; pairs: only the first pair is present
    for (const auto& c : cases) {
        SCOPED_TRACE(c.choice);
        list.Clear();
        ui_->onAsk = [&](ui::Query& q) {
            q.fields["RadioGroup1"] = c.choice;
            return true;
        };
        {
            AllocationCap cap(kCap);
            LoadTextSpectraData(text, "/d/wide.csv", 0, "date", list);
        }
        ASSERT_EQ(list.Count(), c.records);
        const auto& r = list[0];
        EXPECT_EQ(r.PointCount(), 3001);
        EXPECT_DOUBLE_EQ(r.FirstX, 0.0);
        EXPECT_DOUBLE_EQ(r.StepX, 1.0);
        EXPECT_DOUBLE_EQ(r.Values[0], 5.0);
        EXPECT_DOUBLE_EQ(r.Values[10], 3.0);
        if (c.records == 2) {
            EXPECT_EQ(list[1].PointCount(), 3000);  // the wide line has no value in the third column
            EXPECT_DOUBLE_EQ(list[1].FirstX, 1.0);
            EXPECT_DOUBLE_EQ(list[1].Values[2999], 1.0);
        }
    }
}

// A title line of "Wavelength" with a hundred thousand trailing separators: deciding whether the
// table is an excitation-emission matrix walked the line from its start once per field.
TEST_F(FuzzRegressions, LongTitleLineIsWalkedOnce) {
    const std::string tail(100000, ';');
    const std::string data = "1;2;3;4;5\n2;2;4;4;6\n3;2;5;4;7\n";
    struct Case {
        std::string title;
        bool asked;
        std::vector<std::string> titles;
    } cases[] = {
        {"Wavelength" + tail, true, {"eem", "eem"}},  // no whole numbers: the layout is asked, pairs
        {"Wavelength;300;310;320;330" + tail, false,
         {"EEM Fluorescence, EX=300", "EEM Fluorescence, EX=310", "EEM Fluorescence, EX=320",
          "EEM Fluorescence, EX=330"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title.substr(0, 30));
        list.Clear();
        ui_->asked.clear();
        LoadTextSpectraData(c.title + "\n" + data, "/d/eem.csv", 0, "date", list);
        EXPECT_EQ(ui_->asked.size(), c.asked ? 1u : 0u);
        ASSERT_EQ(list.Count(), static_cast<int>(c.titles.size()));
        for (std::size_t k = 0; k < c.titles.size(); ++k) {
            EXPECT_EQ(list[static_cast<int>(k)].Title.str(), c.titles[k]);
            EXPECT_EQ(list[static_cast<int>(k)].PointCount(), 3);
        }
    }
}

// A DAT table of 40000 columns: every column was found by scanning its line from the start, so a
// 120 KB file took billions of steps. Only the first and the last two columns hold values.
TEST_F(FuzzRegressions, ManyDatColumnsAreReadInOnePass) {
    const int m = 40000;
    std::vector<std::string> lines;
    std::string head = "Wavelength [nm]\tWavenumbers [1/cm]";
    for (int c = 1; c < m; ++c) head += "\tc";
    lines.push_back(head + "\tlast\tend ");  // the last title runs to the line end
    for (int x : {400, 401}) lines.push_back(std::to_string(x) + "\t1\t0.5" + repeat("\t-", m - 2) + "\t0.25\t 0.75");
    lines.push_back("402\t24875.62\t0.5");  // a short line: every missing column counts as "-"
    LoadDatLines(lines, "/d/wide.dat", "date", list);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0].Title.str(), "c");
    EXPECT_EQ(list[0].PointCount(), 3);
    EXPECT_EQ(list[1].Title.str(), "last");
    EXPECT_EQ(list[2].Title.str(), "end ");
    for (int k : {1, 2}) {
        EXPECT_EQ(list[k].PointCount(), 2);
        EXPECT_EQ(list[k].XUnit, SpecXNanometer);
        EXPECT_DOUBLE_EQ(list[k].FirstX, 400.0);
    }
    EXPECT_DOUBLE_EQ(list[2].Values[1], 0.75);
}

// The step-by-step bracket walk, as the resampler did it before it learned to stride; the strided
// search must find the same bracket for pairs in rising order.
std::vector<double> walkedResample(const std::vector<double>& xs, const std::vector<double>& ys, double x0,
                                   double step, int n) {
    const std::size_t m = xs.size(), last = m - 2;
    std::vector<double> out;
    auto interpolate = [](double x, double xa, double ya, double xb, double yb) {
        if (xa == xb) return ya;
        return yb + (yb - ya) / (xb - xa) * (x - xb);
    };
    for (int i = 0; i < n; ++i) {
        const double x = i * step + x0;
        std::size_t j = static_cast<std::size_t>(i) < m ? static_cast<std::size_t>(i) : m - 1;
        if (x - xs[j] > 1e-10) {
            if (j > last) j = last;
            while (j < last && x > xs[j + 1]) ++j;
            out.push_back(interpolate(x, xs[j], ys[j], xs[j + 1], ys[j + 1]));
        } else if (xs[j] - x > 1e-10) {
            while (j > 0 && x < xs[j]) --j;
            if (j > last) j = last;
            out.push_back(interpolate(x, xs[j], ys[j], xs[j + 1], ys[j + 1]));
        } else {
            out.push_back(ys[j]);
        }
    }
    return out;
}

TEST(FuzzResample, StridedSearchFindsTheWalkedBracket) {
    struct Case {
        const char* name;
        std::vector<double> xs;
        double x0, step;
        int n;
    };
    std::vector<Case> cases = {
        {"even", {0, 1, 2, 3, 4, 5, 6, 7}, 0, 1, 8},
        {"crowded low", {0, 0.01, 0.02, 0.03, 0.04, 0.05, 0.06, 0.07, 9, 10}, 0, 1, 11},
        {"crowded high", {0, 9.9, 9.91, 9.92, 9.93, 9.94, 9.95, 9.96, 9.97, 10}, 0, 0.5, 21},
        {"repeated x", {0, 1, 1, 1, 2, 2, 3, 4, 4, 5}, 0, 0.25, 21},
        {"grid beyond pairs", {0, 1, 2}, -1, 0.7, 9},
        {"coarse grid", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, 0, 8, 3},
    };
    // Long tables with a gap, where each grid point's bracket lies far from its own index.
    Case gap{"gap", {}, 0, 0.01, 3000};
    for (int i = 0; i < 2000; ++i) gap.xs.push_back(i * 1e-5);
    for (int i = 0; i < 2000; ++i) gap.xs.push_back(20 + i * 0.005);
    cases.push_back(gap);
    Case lateGap{"late gap", {}, 0, 0.02, 1500};
    for (int i = 0; i < 3000; ++i) lateGap.xs.push_back(i < 10 ? i * 1.0 : 29.99 + i * 1e-6);
    cases.push_back(lateGap);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<double> ys;
        for (std::size_t i = 0; i < c.xs.size(); ++i) ys.push_back(std::sin(static_cast<double>(i)) * 10 + i);
        std::vector<double> out;
        ResampleOntoGrid(c.xs, ys, c.x0, c.step, c.n, out);
        const auto expected = walkedResample(c.xs, ys, c.x0, c.step, c.n);
        ASSERT_EQ(out.size(), expected.size());
        for (std::size_t i = 0; i < out.size(); ++i) EXPECT_EQ(out[i], expected[i]) << "grid point " << i;
    }
}

// Pairs far out of order (a text's spikes of huge x between its first and last line) made every grid
// point walk back to the table's start. The result has no defined shape; it must be finite and whole.
TEST_F(FuzzRegressions, OutOfOrderPairsResampleInReasonableTime) {
    const std::string text = "x;y\n0;1\n" + repeat("1000000;2\n", 60000) + "1;3\n";
    LoadTextSpectraData(text, "/d/spikes.csv", 0, "date", list);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].PointCount(), 60002);
    EXPECT_TRUE(list[0].IsComplete());
}

}  // namespace
