// The trace file: settings from the local-machine store, line format and cutting.
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/registry.h"
#include "spclib/trace.h"
#include "tests/fault_injection.h"

namespace fs = std::filesystem;

namespace {

class SpcTrace : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("vxtrace" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        setenv("VAROLUX32_REGISTRY_DIR", dir_.c_str(), 1);
    }
    void TearDown() override {
        fs::remove_all(dir_);
        unsetenv("VAROLUX32_REGISTRY_DIR");
    }
    void Settings(const std::string& file, const std::string& level) {
        registry::writeString(registry::Hive::LocalMachine, spc::kTraceKey, "TraceFile", file);
        registry::writeString(registry::Hive::LocalMachine, spc::kTraceKey, "TraceLevel", level);
    }
    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    fs::path dir_;
};

}  // namespace

TEST_F(SpcTrace, LinesCarryTimeProcessAndModuleAndAreCutAtTheBuffer) {
    fs::path log = dir_ / "trace.log";
    Settings(log.string(), "1");
    spc::TraceModule t;
    t.Init("GTARNVIK");
    EXPECT_EQ(t.Level(), 1);
    t.Print("[x] %d\n", 42);
    std::string first = Read(log);
    ASSERT_GT(first.size(), 24u);
    EXPECT_EQ(first.substr(4, 1), "/");  // yyyy/mm/dd hh:nn:ss.zzz
    EXPECT_EQ(first.substr(19, 1), ".");
    EXPECT_EQ(first.substr(24, 1), "(");
    EXPECT_NE(first.find(" {GTARNVIK} [x] 42\n"), std::string::npos);

    t.Print("%s", std::string(3000, 'a').c_str());
    std::string all = Read(log);
    std::string second = all.substr(first.size());
    EXPECT_EQ(second.size(), 1023u);
    EXPECT_EQ(second.substr(1018), " ...\n");
}

// A trace file at the file-size limit loses its lines; a program that keeps the signal's default is
// not ended by them.
TEST_F(SpcTrace, TraceFileAtTheFileSizeLimitDoesNotEndTheProgram) {
    const fs::path log = dir_ / "full.log";
    Settings(log.string(), "1");
    const int code = fault::inChild([&] {
        ::signal(SIGXFSZ, SIG_DFL);
        spc::TraceModule t;
        t.Init("GTARNVIK");
        rlimit lim{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &lim);
        for (int i = 0; i < 10; ++i) t.Print("%s\n", std::string(900, 'x').c_str());
        return 0;
    });
    EXPECT_EQ(code, 0);
    EXPECT_LE(fs::file_size(log), 4096u);
}

TEST_F(SpcTrace, LevelsAndFilesThatDoNotWork) {
    Settings((dir_ / "t.log").string(), "high");
    spc::TraceModule t;
    t.Init("PELMAR");
    EXPECT_EQ(t.Level(), 0);

    Settings((dir_ / "no" / "such" / "t.log").string(), "3");
    t.Init("PELMAR");
    EXPECT_EQ(t.Level(), 3);
    t.Print("x\n");
    EXPECT_EQ(t.Level(), 0);  // a file that cannot be opened ends tracing

    // A pipe as trace file would hold every line until someone reads it: tracing ends at once instead.
    const fs::path pipe = dir_ / "trace.pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    Settings(pipe.string(), "3");
    t.Init("PELMAR");
    EXPECT_EQ(fault::inChildWithin(10, [&] {
                  t.Print("x\n");
                  return t.Level();
              }),
              0);
    // Also with a reader waiting at the other end.
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    t.Print("x\n");
    EXPECT_EQ(t.Level(), 0);
    char byte;
    EXPECT_LE(::read(reader, &byte, 1), 0);
    ::close(reader);

    registry::deleteKey(registry::Hive::LocalMachine, spc::kTraceKey);
    t.Init("PELMAR");
    EXPECT_EQ(t.Level(), 0);
}

// Loading and unloading the library (as every registration does) leaves none of its trace state on
// the heap, even with a long trace file path configured.
TEST_F(SpcTrace, UnloadingTheLibraryLeavesNothingBehind) {
    Settings((dir_ / std::string(2000, 'x') / "t.log").string(), "2");
    auto cycle = [] {
        void* lib = dlopen(VX_SPCLIB_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(lib, nullptr) << dlerror();
        dlclose(lib);
    };
    cycle();  // the loader's own first-time allocations
    cycle();
    if (void* still = dlopen(VX_SPCLIB_PATH, RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD)) {
        dlclose(still);
        GTEST_SKIP() << "the library stays loaded here";
    }
    constexpr int kCycles = 16;
    const std::size_t before = mallinfo2().uordblks;
    for (int i = 0; i < kCycles; ++i) cycle();
    const std::size_t after = mallinfo2().uordblks;
    // Two modules keeping a copy of the path would hold 2 x 2000 bytes per cycle.
    EXPECT_LT(after > before ? after - before : 0, std::size_t(kCycles) * 1000);
}
