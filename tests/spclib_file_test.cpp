// SPC documents and the files they are opened from and saved to: values left in the opened file,
// saves that replace files safely, and files that cannot be mapped.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/com.h"
#include "platform/errors.h"
#include "spclib/scratch_store.h"
#include "spclib/spc_file.h"
#include "tests/fault_injection.h"
#include "tests/spclib_fixture.h"

using namespace spc;
namespace fs = std::filesystem;

namespace {

class SpcFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("vxspcfile" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    static void Write(const std::string& path, const SpcBytes& s) {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(s.b.data()), std::streamsize(s.b.size()));
    }
    fs::path dir_;
};

// An Even document of `nsub` subfiles of n points; subfile k holds base + k * 1000 + i.
void Fill(TARNVIK& doc, uint32_t n, uint32_t nsub, float base) {
    doc.Create(kEven);
    std::vector<float> y(n);
    for (uint32_t k = 0; k < nsub; ++k) {
        for (uint32_t i = 0; i < n; ++i) y[i] = base + float(k * 1000 + i);
        ASSERT_TRUE(doc.AddSubFile(y, nullptr, float(k), float(k)));
    }
}

std::vector<float> Y(const TARNVIK& doc, uint32_t i) {
    std::vector<float> y;
    EXPECT_TRUE(doc.ReadValues(i, nullptr, &y));
    return y;
}

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mode & 0777u;
}

// In a child process: address space for what the process has now and 32 MB more, so that the file
// does not fit; opens the file and reads the last subfile.
[[noreturn]] void OpenWithLittleAddressSpace(const std::string& file, uint32_t points, uint32_t subfiles) {
    std::ifstream status("/proc/self/status");
    std::string line;
    unsigned long vmKb = 0;
    while (std::getline(status, line))
        if (line.rfind("VmSize:", 0) == 0) vmKb = std::stoul(line.substr(7));
    const rlim_t limit = (vmKb + 32 * 1024) * 1024;
    rlimit lim{limit, limit};
    setrlimit(RLIMIT_AS, &lim);
    TARNVIK doc;
    const int32_t r = OpenFileImage(doc, file, true);
    std::vector<float> y(points);
    const bool ok = r == kOpenOk && doc.count() == subfiles && doc.ReadY(subfiles - 1, y.data()) && y[978] == 1.0f;
    std::fprintf(stderr, "open %d, %s", r, ok ? "values read" : "failed");
    std::fflush(stderr);
    _exit(ok ? 0 : 1);
}

}  // namespace

TEST_F(SpcFiles, SavesKeepTheReplacedFilesModeAndFollowLinks) {
    TARNVIK doc;
    Fill(doc, 8, 2, 0);
    const std::string file = Path("a.spc");

    // A new file gets the umask's bits.
    const mode_t old = ::umask(027);
    EXPECT_GT(SaveImageFile(doc, -1, file), 0);
    ::umask(old);
    EXPECT_EQ(ModeOf(file), 0640u);

    // A replaced file keeps its own.
    ::chmod(file.c_str(), 0604);
    EXPECT_GT(SaveImageFile(doc, 0, file), 0);
    EXPECT_EQ(ModeOf(file), 0604u);

    // Through a symbolic link: the file it names is replaced, the link stays a link.
    const std::string link = Path("link.spc");
    fs::create_symlink("a.spc", link);
    EXPECT_GT(SaveImageFile(doc, -1, link), 0);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ModeOf(file), 0604u);
    TARNVIK back;
    ASSERT_EQ(OpenFileImage(back, file), kOpenOk);
    EXPECT_EQ(back.count(), 2u);

    // No temporary file is left beside it, and a folder as target fails with its error.
    for (const auto& e : fs::directory_iterator(dir_)) EXPECT_EQ(e.path().filename().string().find("vxtmp"), std::string::npos);
    SetLastError(0);
    EXPECT_EQ(SaveImageFile(doc, -1, dir_.string()), -1);
    EXPECT_EQ(GetLastError(), uint32_t(EISDIR));
}

TEST_F(SpcFiles, ValuesLeftInTheOpenedFileSurviveItsReplacement) {
    const std::string file = Path("src.spc");
    TARNVIK writer;
    Fill(writer, 1000, 3, 0);
    ASSERT_GT(SaveImageFile(writer, -1, file), 0);

    TARNVIK doc;
    ASSERT_EQ(OpenFileImage(doc, file, false), kOpenOk);
    ASSERT_TRUE(doc.source.isOpen());
    EXPECT_TRUE(doc.dir[1].flags & kInSource);

    // Another document saves over the file: this one still reads what it opened.
    TARNVIK other;
    Fill(other, 1000, 3, 0.5f);
    ASSERT_GT(SaveImageFile(other, -1, file), 0);
    EXPECT_FLOAT_EQ(Y(doc, 2)[7], 2007.0f);

    // Saved over its own file and opened again, it gives the same values.
    ASSERT_GT(SaveImageFile(doc, -1, file), 0);
    TARNVIK again;
    ASSERT_EQ(OpenFileImage(again, file, true), kOpenOk);
    EXPECT_EQ(again.integrity, kIntegrityNull);
    for (uint32_t k = 0; k < 3; ++k) EXPECT_EQ(Y(again, k), Y(doc, k)) << k;
}

TEST_F(SpcFiles, ChangedSubfilesNeverWriteIntoTheOpenedFile) {
    const std::string file = Path("keep.spc");
    TARNVIK writer;
    Fill(writer, 4, 2, 0);
    ASSERT_GT(SaveImageFile(writer, -1, file), 0);
    const std::string before = Read(file);

    TARNVIK doc;
    ASSERT_EQ(OpenFileImage(doc, file, false), kOpenOk);
    // Subfile 1 replaced by values of the same size: they go to the store, the file stays as it was.
    doc.current = 1;
    const float y[] = {9, 9, 9, 9};
    ASSERT_EQ(doc.Store(nullptr, nullptr, nullptr, y, 4), 4u);
    EXPECT_FALSE(doc.dir[1].flags & kInSource);
    EXPECT_EQ(Y(doc, 1), (std::vector<float>{9, 9, 9, 9}));
    EXPECT_EQ(Y(doc, 0), (std::vector<float>{0, 1, 2, 3}));
    EXPECT_EQ(Read(file), before);
}

TEST_F(SpcFiles, AFileCutShortWhileOpenGivesAReadErrorNotOtherValues) {
    const std::string file = Path("cut.spc");
    TARNVIK writer;
    Fill(writer, 100, 2, 0);
    ASSERT_GT(SaveImageFile(writer, -1, file), 0);
    TARNVIK doc;
    ASSERT_EQ(OpenFileImage(doc, file, false), kOpenOk);
    ASSERT_EQ(::truncate(file.c_str(), 600), 0);  // written in place by someone else
    std::vector<float> y(100);
    SetLastError(0);
    EXPECT_FALSE(doc.ReadY(1, y.data()));
    EXPECT_EQ(GetLastError(), uint32_t(EIO));
    EXPECT_FALSE(BuildImage(doc, -1));
}

// A file larger than the address space left to the process opens all the same: it is read piece by
// piece, never mapped or held whole.
TEST_F(SpcFiles, FilesThatCannotBeMappedAreReadPieceByPiece) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's shadow memory needs the address space";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "the sanitizer's shadow memory needs the address space";
#endif
#endif
    // A 'L' file (decoded into the store) of 16 subfiles of 1,000,000 points: 64 MB.
    constexpr uint32_t kPoints = 1'000'000, kSubfiles = 16;
    const std::string file = Path("large.spc");
    {
        SpcBytes head = NewFormHeader('L', 0x04, kPoints, 0, 1, kSubfiles);
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(head.b.data()), 512);
        std::vector<uint8_t> values(std::size_t(kPoints) * 4);
        for (uint32_t i = 0; i < kPoints; ++i) {
            const float v = float(i % 977);
            uint32_t u;
            std::memcpy(&u, &v, 4);
            for (int b = 0; b < 4; ++b) values[4 * i + b] = uint8_t(u >> (24 - 8 * b));
        }
        for (uint32_t k = 0; k < kSubfiles; ++k) {
            SpcBytes sub(0, true);
            AddSubHeader(sub, uint16_t(k), float(k), float(k));
            sub.u8(1, 0x80);
            out.write(reinterpret_cast<const char*>(sub.b.data()), 32);
            out.write(reinterpret_cast<const char*>(values.data()), std::streamsize(values.size()));
        }
    }
    EXPECT_EXIT(OpenWithLittleAddressSpace(file, kPoints, kSubfiles), ::testing::ExitedWithCode(0), "values read");
}

// Past the file-size limit the save fails with EFBIG, even in a program that keeps the signal's default
// (which would end it): the library holds the signal off while it writes. The old file stays.
TEST_F(SpcFiles, SaveBeyondTheFileSizeLimitFailsWithoutEndingTheProgram) {
    const std::string file = Path("limit.spc");
    {
        std::ofstream(file, std::ios::binary) << "old";
    }
    const int code = fault::inChild([&] {
        ::signal(SIGXFSZ, SIG_DFL);
        TARNVIK doc;
        Fill(doc, 50'000, 2, 0);
        rlimit lim{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &lim);
        SetLastError(0);
        if (SaveImageFile(doc, -1, file) != -1) return 1;
        if (GetLastError() != uint32_t(EFBIG)) return 2;
        return systemMessage(HRESULT_FROM_WIN32(GetLastError())) == "File too large" ? 0 : 3;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Read(file), "old");
    for (const auto& e : fs::directory_iterator(dir_)) EXPECT_EQ(e.path().filename().string().find("vxtmp"), std::string::npos);
}

// Values that go to the scratch store past the file-size limit fail with EFBIG too, in a program that
// keeps the signal's default: added ones, and those decoded from a file being opened.
TEST_F(SpcFiles, ScratchStoreBeyondTheFileSizeLimitFailsWithoutEndingTheProgram) {
    const std::string file = Path("big-endian.spc");
    {
        SpcBytes s = NewFormHeader('L', 0, 50'000, 0, 1, 1);
        AddSubHeader(s, 0, 0, 0);
        s.b.resize(s.b.size() + 200'000, 0x01);
        Write(file, s);
    }
    const int code = fault::inChild([&] {
        ::signal(SIGXFSZ, SIG_DFL);
        rlimit lim{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &lim);
        TARNVIK doc;
        doc.Create(kEven);
        SetLastError(0);
        if (doc.AddSubFile(std::vector<float>(50'000, 1.0f), nullptr, 0, 0)) return 1;
        if (GetLastError() != uint32_t(EFBIG)) return 2;
        SetLastError(0);
        if (OpenFileImage(doc, file, false) != kOpenCannot) return 3;
        return GetLastError() == uint32_t(EFBIG) ? 0 : 4;
    });
    EXPECT_EQ(code, 0);
}

// The scratch store never has a name in its folder, so that a program killed at any moment leaves
// nothing behind in TMPDIR; it still holds what is written to it.
TEST_F(SpcFiles, ScratchStoreHasNoNameInItsFolder) {
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    ::setenv("TMPDIR", dir_.c_str(), 1);
    {
        spc::ScratchStore store;
        ASSERT_TRUE(store.usable());
        const float values[3] = {1.5f, 2.5f, 3.5f};
        uint64_t at = 0;
        ASSERT_TRUE(store.append(values, sizeof values, at));
        float back[3] = {};
        ASSERT_TRUE(store.read(at, back, sizeof back));
        EXPECT_EQ(std::memcmp(back, values, sizeof back), 0);
        EXPECT_TRUE(fs::is_empty(dir_));
        // Nothing the process holds open was ever named like the store's named fallback.
        for (const auto& e : fs::directory_iterator("/proc/self/fd")) {
            std::error_code ec;
            const std::string target = fs::read_symlink(e.path(), ec).string();
            EXPECT_EQ(target.find(dir_.string() + "/SPC"), std::string::npos) << target;
        }
    }
    if (old) ::setenv("TMPDIR", saved.c_str(), 1);
    else ::unsetenv("TMPDIR");
}

// A pipe under the name is neither waited on when opened nor replaced when saved to; a device is not
// written either. The error texts name the kind of file.
TEST_F(SpcFiles, PipesAndDevicesAreNeitherOpenedNorReplaced) {
    const auto planted = fault::plantNonRegularFiles(dir_);
    const int code = fault::inChildWithin(10, [&] {
        TARNVIK doc;
        SetLastError(0);
        if (OpenFileImage(doc, planted[0].string()) != kOpenCannot || GetLastError() != uint32_t(vx::kErrNamedPipe))
            return 1;
        Fill(doc, 8, 1, 0);
        if (SaveImageFile(doc, -1, planted[0].string()) != -1 || GetLastError() != uint32_t(vx::kErrNamedPipe))
            return 2;
        if (SaveImageFile(doc, -1, "/dev/null") != -1 || GetLastError() != uint32_t(vx::kErrDevice)) return 3;
        if (OpenFileImage(doc, (dir_ / "loop").string()) != kOpenCannot || GetLastError() != uint32_t(ELOOP)) return 4;
        return systemMessage(HRESULT_FROM_WIN32(vx::kErrNamedPipe)) == "Is a named pipe" ? 0 : 5;
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(fs::is_fifo(planted[0]));
}
