// Opening files for reading: only regular files, never waiting on a pipe or device, and every refusal
// with its reason.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/errors.h"
#include "platform/input_file.h"
#include "tests/fault_injection.h"

namespace fs = std::filesystem;

namespace {

class InputFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("vxin" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(InputFileTest, RegularFileOpensWithItsSizeAndReadsAtOffsets) {
    fault::plant(dir_ / "a.dat", "0123456789");
    InputFile f;
    ASSERT_EQ(InputFile::Open((dir_ / "a.dat").string(), f), 0);
    EXPECT_EQ(f.Size(), 10u);
    char buf[8] = {};
    EXPECT_EQ(f.ReadAt(6, buf, sizeof buf), 4);  // short only at the end
    EXPECT_EQ(std::string(buf, 4), "6789");
    EXPECT_EQ(f.ReadAt(10, buf, 1), 0);
    // The descriptor is an ordinary one again once the type is known.
    EXPECT_EQ(::fcntl(f.Fd(), F_GETFL) & O_NONBLOCK, 0);
    const int fd = f.Release();
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(::close(fd), 0);
}

// A pipe without a writer would hold a plain open for ever; each kind is refused at once, with its name.
TEST_F(InputFileTest, EveryOtherKindOfFileIsRefusedWithoutWaiting) {
    const auto planted = fault::plantNonRegularFiles(dir_);
    struct Case {
        fs::path path;
        int code;
        const char* text;
    } cases[] = {
        {planted[0], vx::kErrNamedPipe, "Is a named pipe"},
        {planted[1], ENXIO, "No such device or address"},  // a socket does not open at all
        {planted[2], EISDIR, "Is a directory"},
        {dir_ / "loop", ELOOP, "Too many levels of symbolic links"},
        {"/dev/null", vx::kErrDevice, "Is a device"},
        {dir_ / "missing", ENOENT, "No such file or directory"},
        {"", ENOENT, "No such file or directory"},
    };
    const int code = fault::inChildWithin(10, [&] {
        for (const Case& c : cases) {
            InputFile f;
            if (InputFile::Open(c.path.string(), f) != c.code || f.IsOpen()) return 1;
            if (vx::ErrorText(c.code) != c.text) return 2;
        }
        return 0;
    });
    EXPECT_EQ(code, 0);
    for (const Case& c : cases) {
        InputFile f;
        EXPECT_EQ(InputFile::Open(c.path.string(), f), c.code) << c.path;
    }
}

// Files opened for writing that must be regular (the settings lock, the trace file): a pipe, with or
// without a reader, is refused without waiting and without a byte reaching it.
TEST_F(InputFileTest, OpenRegularFileForWritingRefusesPipesAndDevices) {
    const auto planted = fault::plantNonRegularFiles(dir_);
    const int reader = ::open(planted[0].c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const int code = fault::inChildWithin(10, [&] {
        int fd = 0;
        if (OpenRegularFile(planted[0].c_str(), O_WRONLY | O_APPEND, 0, fd) != vx::kErrNamedPipe || fd != -1) return 1;
        if (OpenRegularFile("/dev/null", O_WRONLY, 0, fd) != vx::kErrDevice || fd != -1) return 2;
        if (OpenRegularFile(planted[2].c_str(), O_WRONLY, 0, fd) != EISDIR || fd != -1) return 3;
        return 0;
    });
    EXPECT_EQ(code, 0);
    char byte;
    EXPECT_LE(::read(reader, &byte, 1), 0);
    ::close(reader);

    // A missing file is created with the mode given; the status is that of the open file.
    const fs::path log = dir_ / "new.log";
    int fd = -1;
    struct stat st {};
    ASSERT_EQ(OpenRegularFile(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600, fd, &st), 0);
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777u, 0600u);
    EXPECT_EQ(::write(fd, "x", 1), 1);
    EXPECT_EQ(::close(fd), 0);
    EXPECT_EQ(fault::slurp(log), "x");
}

// The SPC and JWS readers name the file without quotes.
TEST_F(InputFileTest, CannotOpenNamesTheFileAndTheReason) {
    fs::create_directories(dir_ / "d.csv");
    const std::string d = (dir_ / "d.csv").string();
    try {
        InputFile::OpenOrThrow(d, vx::FileNaming::Bare);
        FAIL() << "no error";
    } catch (const vx::FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + d + ". Is a directory");
    }
    EXPECT_EQ(vx::CannotOpenText("/x", 0), "Cannot open file \"/x\".");
    EXPECT_EQ(vx::CannotOpenText("/x", 0, vx::FileNaming::Bare), "Cannot open file /x");
    EXPECT_EQ(vx::ErrorText(EFBIG), "File too large");
}

}  // namespace
