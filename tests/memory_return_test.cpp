// Memory of deleted spectra goes back to the system: the list's records and the plot's curves as the
// program holds them, measured as the process's resident size. Each test runs in a process of its own
// (ctest starts one per test), and the fresh-process figure comes from a child process of this binary.
#include <gtest/gtest.h>

#include <QApplication>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "app/replot.h"
#include "core/spectra_list.h"
#include "core/units.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // freed blocks wait in the checker's quarantine: no resident figure holds
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Under the checker the same allocations run for fewer spectra: its slow heap would take minutes.
constexpr int kSpectra = kSanitized ? 100 : 1000;
constexpr double kMB = 1024.0 * 1024.0;
constexpr const char* kFreshOut = "VX_FRESH_RSS_OUT";

double residentMB() {
    std::ifstream statm("/proc/self/statm");
    long long total = 0, resident = 0;
    statm >> total >> resident;
    return double(resident) * double(::sysconf(_SC_PAGESIZE)) / kMB;
}

QApplication& app() {
    static int argc = 1;
    static char name[] = "memory_return_test";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);  // outlives every widget
    return *a;
}

// Appends `count` spectra of `points` values as a reader leaves them: values reserved once and filled.
void loadSpectra(int count, int points) {
    for (int s = 0; s < count; ++s) {
        auto r = std::make_unique<TSpectrumRecord>();
        r->FirstX = 200;
        r->StepX = 600.0 / points;
        r->Values.reserve(static_cast<std::size_t>(points));
        for (int i = 0; i < points; ++i) r->Values.push_back(0.5 + 0.4 * std::sin(i * 0.001 * (s % 50 + 1)));
        SpectraList.AddWithDefaultColor(std::move(r));
    }
}

struct LoadedPlot {
    LoadedPlot() {
        SpectraList.Clear();
        DisplayXUnit = SpecXNanometer;
        DisplayYMode = SpecYAbsorbance;
        plot.resize(1600, 900);
        ReplotCurves(plot, SpectraList);
    }
    ~LoadedPlot() {
        SpectraList.Clear();
        plot.SetKurvenAnzahl(0);
    }
    QApplication& application = app();  // before the plot
    TXYPlot plot;
};

// 1,000 spectra of 12,500 points loaded and plotted in a fresh process: where it ends.
double freshLoadEndsAtMB(LoadedPlot& s) {
    loadSpectra(kSpectra, 12'500);
    ReplotCurves(s.plot, SpectraList);
    return residentMB();
}

// What the same load ends at in a process of its own: this binary run for the test below.
double freshProcessMB() {
    const std::string out = ::testing::TempDir() + "fresh_rss_" + std::to_string(::getpid());
    const std::string command = std::string(kFreshOut) + "=" + out + " /proc/" + std::to_string(::getpid()) +
                                "/exe --gtest_filter=MemoryReturn.FreshLoadOfLongerSpectra >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return 0;
    double mb = 0;
    std::ifstream(out) >> mb;
    std::remove(out.c_str());
    return mb;
}

TEST(MemoryReturn, FreshLoadOfLongerSpectra) {
    LoadedPlot s;
    const double start = residentMB();
    const double end = freshLoadEndsAtMB(s);
    if (const char* out = std::getenv(kFreshOut)) {
        std::ofstream(out) << end;
    }
    ASSERT_EQ(s.plot.KurvenAnzahl(), kSpectra);
    EXPECT_EQ(s.plot.Curve(kSpectra).Points.size(), 12'500u);
    // Records (8 bytes a point) and curves (16) stand in memory: some 286 MB.
    if (!kSanitized) {
        EXPECT_GT(end - start, 250.0);
    }
}

// Deleting 997 of 1,000 spectra gives back at least half of what their load took, and a later load of
// another length ends near where it ends in a fresh process.
TEST(MemoryReturn, DeletedSpectraGiveTheirMemoryBack) {
    LoadedPlot s;
    const double start = residentMB();
    loadSpectra(kSpectra, 10'000);
    ReplotCurves(s.plot, SpectraList);
    const double loaded = residentMB();

    std::vector<int32_t> gone;
    const int32_t middle = kSpectra / 2 - 1, last = kSpectra - 1;
    for (int32_t i = 0; i < kSpectra; ++i)
        if (i != 0 && i != middle && i != last) gone.push_back(i);  // the three kept lie apart
    DeleteSpectra(SpectraList, gone);
    ReplotCurves(s.plot, SpectraList);
    const double afterDelete = residentMB();
    ASSERT_EQ(s.plot.KurvenAnzahl(), 3);
    EXPECT_EQ(s.plot.Curve(3).Points.size(), 10'000u);

    const double later = freshLoadEndsAtMB(s);
    ASSERT_EQ(SpectraList.Count(), kSpectra + 3);
    EXPECT_EQ(s.plot.Curve(kSpectra + 3).Points.size(), 12'500u);

    if (kSanitized) GTEST_SKIP() << "resident sizes mean nothing under the address checker";
    const double fresh = freshProcessMB();
    std::printf("resident: start %.0f MB, loaded %.0f MB, after deleting %.0f MB, later load %.0f MB, "
                "the same load fresh %.0f MB\n", start, loaded, afterDelete, later, fresh);
    const double added = loaded - start;
    EXPECT_GT(added, 200.0) << "1,000 spectra of 10,000 points take some 240 MB";
    EXPECT_GE(loaded - afterDelete, added / 2) << "start " << start << " MB, loaded " << loaded
                                               << " MB, after deleting " << afterDelete << " MB";
    ASSERT_GT(fresh, 0.0) << "the fresh process did not report";
    EXPECT_LE(later, 1.25 * fresh) << "later load ends at " << later << " MB, a fresh process at " << fresh << " MB";
}

}  // namespace
