#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/errors.h"
#include "platform/safe_file.h"
#include "tests/fault_injection.h"

namespace fs = std::filesystem;
using fault::inChild;
using fault::plant;
using fault::slurp;

namespace {

unsigned modeOf(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::lstat(p.c_str(), &st), 0) << p;
    return st.st_mode & 07777u;
}

class SafeFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("vxsafe" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Everything in the folder, to see that no temporary file is left behind.
    std::vector<std::string> entries(const fs::path& folder) const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<std::string> entries() const { return entries(dir_); }

    fs::path dir_;
};

TEST_F(SafeFileTest, NewFileTakesUmaskAndReplacedFileKeepsItsBits) {
    const mode_t old = ::umask(027);
    const fs::path target = dir_ / "a.dat";
    ASSERT_EQ(safefile::WriteFileSafely(target, "first"), 0);
    EXPECT_EQ(modeOf(target), 0640u);
    EXPECT_EQ(safefile::NewFileMode(), 0640u);
    ::umask(old);

    ASSERT_EQ(::chmod(target.c_str(), 0604), 0);
    ASSERT_EQ(safefile::WriteFileSafely(target, std::vector<std::string_view>{"sec", "ond"}), 0);
    EXPECT_EQ(slurp(target), "second");
    EXPECT_EQ(modeOf(target), 0604u);
    EXPECT_EQ(entries(), std::vector<std::string>{"a.dat"});
}

TEST_F(SafeFileTest, TemporaryIsPrivateFreshAndUniquePerSave) {
    const fs::path target = dir_ / "b.rvx";
    safefile::SafeFileWriter one, two;
    ASSERT_EQ(one.open(target), 0);
    ASSERT_EQ(two.open(target), 0);
    EXPECT_NE(one.temporaryPath(), two.temporaryPath());
    EXPECT_EQ(fs::path(one.temporaryPath()).parent_path(), dir_);
    struct stat st {};
    ASSERT_EQ(::lstat(one.temporaryPath().c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777u, 0600u);
    EXPECT_EQ(st.st_nlink, 1u);
    ASSERT_EQ(one.write("one"), 0);
    ASSERT_EQ(two.write("two"), 0);
    ASSERT_EQ(two.commit(), 0);
    ASSERT_EQ(one.commit(), 0);
    EXPECT_EQ(slurp(target), "one");
    EXPECT_EQ(entries(), std::vector<std::string>{"b.rvx"});
}

TEST_F(SafeFileTest, PlantedLinksAtOldTemporaryNamesRedirectNothing) {
    const fs::path victim = dir_ / "victim";
    plant(victim, "precious");
    const fs::path target = dir_ / "c.csv";
    // The names the earlier writers used, each a link to another file.
    for (const std::string& suffix : {".vxtmp" + std::to_string(::getpid()), ".tmp" + std::to_string(::getpid())})
        fs::create_symlink(victim, dir_ / ("c.csv" + suffix));
    ASSERT_EQ(safefile::WriteFileSafely(target, "new data"), 0);
    EXPECT_EQ(slurp(victim), "precious");
    EXPECT_EQ(slurp(target), "new data");
    EXPECT_FALSE(fs::is_symlink(target));
}

TEST_F(SafeFileTest, LinkThatIsTheTargetIsWrittenThrough) {
    fs::create_directories(dir_ / "real");
    const fs::path file = dir_ / "real" / "spec.dx";
    plant(file, "old");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    fs::create_symlink("real/spec.dx", dir_ / "hop1");  // relative, from the link's folder
    fs::create_symlink(dir_ / "hop1", dir_ / "hop2");   // a chain
    ASSERT_EQ(safefile::WriteFileSafely(dir_ / "hop2", "new"), 0);
    EXPECT_TRUE(fs::is_symlink(dir_ / "hop1"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "hop2"));
    EXPECT_EQ(slurp(file), "new");
    EXPECT_EQ(modeOf(file), 0640u);
    EXPECT_EQ(entries(dir_ / "real"), std::vector<std::string>{"spec.dx"});

    // A dangling link creates the file it names.
    fs::create_symlink("made.dx", dir_ / "dangling");
    ASSERT_EQ(safefile::WriteFileSafely(dir_ / "dangling", "made"), 0);
    EXPECT_TRUE(fs::is_symlink(dir_ / "dangling"));
    EXPECT_EQ(slurp(dir_ / "made.dx"), "made");
}

TEST_F(SafeFileTest, RefusedTargetsLeaveNothingBehind) {
    fs::create_symlink("loop2", dir_ / "loop1");
    fs::create_symlink("loop1", dir_ / "loop2");
    fs::create_directories(dir_ / "folder");
    struct Case {
        fs::path target;
        int error;
    } cases[] = {
        {dir_ / "loop1", ELOOP},
        {dir_ / "folder", EISDIR},
        {dir_ / "missing" / "x.dat", ENOENT},
        {"", ENOENT},
    };
    const auto before = entries();
    for (const auto& c : cases) EXPECT_EQ(safefile::WriteFileSafely(c.target, "x"), c.error) << c.target;
    EXPECT_EQ(entries(), before);
    EXPECT_TRUE(fs::is_empty(dir_ / "folder"));
}

TEST_F(SafeFileTest, WrongLengthAndDiscardKeepTheOldFile) {
    const fs::path target = dir_ / "d.rvx";
    plant(target, "old content");
    {
        safefile::SafeFileWriter w;
        ASSERT_EQ(w.open(target), 0);
        ASSERT_EQ(::write(w.fd(), "abc", 3), 3);
        EXPECT_EQ(w.commit(4), EIO);  // the caller expected more than reached the file
    }
    {
        safefile::SafeFileWriter w;
        ASSERT_EQ(w.open(target), 0);
        ASSERT_EQ(w.write("half"), 0);
    }  // dropped without commit
    EXPECT_EQ(slurp(target), "old content");
    EXPECT_EQ(entries(), std::vector<std::string>{"d.rvx"});

    safefile::SafeFileWriter w;
    ASSERT_EQ(w.open(target), 0);
    ASSERT_EQ(::write(w.fd(), "abcd", 4), 4);
    EXPECT_EQ(w.commit(4), 0);
    EXPECT_EQ(slurp(target), "abcd");
}

TEST_F(SafeFileTest, FullDiskFailsCleanly) {
    // A device is written in place: /dev/full is a disk with no space left.
    safefile::SafeFileWriter dev;
    ASSERT_EQ(dev.open("/dev/full"), 0);
    EXPECT_TRUE(dev.temporaryPath().empty());
    EXPECT_EQ(dev.write(std::string(5000, 'x')), ENOSPC);
    EXPECT_EQ(dev.commit(), ENOSPC);

    // A file size limit stops the temporary file part-way; the old file stays, nothing is left over.
    const fs::path target = dir_ / "e.dat";
    plant(target, "old");
    const int code = inChild([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit lim{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &lim);
        return safefile::WriteFileSafely(target, std::string(100000, 'y'));
    });
    EXPECT_EQ(code, EFBIG);
    EXPECT_EQ(slurp(target), "old");
    EXPECT_EQ(entries(), std::vector<std::string>{"e.dat"});
    EXPECT_THROW(safefile::WriteFileOrThrow("/dev/full", {"x"}), vx::FileError);
}

TEST_F(SafeFileTest, KilledSaveNeitherBlocksNorIsReused) {
    const fs::path target = dir_ / "f.rvx";
    plant(target, "old");
    for (int round = 0; round < 2; ++round) {
        const int code = inChild([&] {
            safefile::SafeFileWriter w;
            if (w.open(target) != 0 || w.write("partial") != 0) return 1;
            ::raise(SIGKILL);
            return 2;
        });
        EXPECT_EQ(code, 128 + SIGKILL);
    }
    EXPECT_EQ(slurp(target), "old");
    const auto leftovers = entries();
    ASSERT_EQ(leftovers.size(), 3u);  // the target and two orphaned temporaries

    ASSERT_EQ(safefile::WriteFileSafely(target, "complete"), 0);
    EXPECT_EQ(slurp(target), "complete");
    EXPECT_EQ(entries(), leftovers);  // the orphans were not taken over
    for (const auto& name : leftovers) {
        if (name == "f.rvx") continue;
        EXPECT_EQ(slurp(dir_ / name), "partial");
    }
}

TEST_F(SafeFileTest, LongNamesAndOwnership) {
    const fs::path target = dir_ / std::string(250, 'n');
    ASSERT_EQ(safefile::WriteFileSafely(target, "long"), 0);
    EXPECT_EQ(slurp(target), "long");
    EXPECT_EQ(entries().size(), 1u);
    if (::geteuid() != 0) GTEST_SKIP() << "keeping another user's ownership needs root";
    ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
    ASSERT_EQ(safefile::WriteFileSafely(target, "again"), 0);
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
}

TEST(SafeFileMessage, NamesTheReason) {
    try {
        safefile::WriteFileOrThrow("/no-such-folder-vx/x.dat", {"x"});
        FAIL();
    } catch (const vx::FileError& e) {
        EXPECT_STREQ(e.what(), "Cannot create file \"/no-such-folder-vx/x.dat\". No such file or directory");
    }
}

}  // namespace

namespace {

// A batch of saves synced once at its end: each file is complete under its name as soon as its save
// returns, a failed save still leaves the target as it was, and after the batch saves sync alone again.
TEST_F(SafeFileTest, DeferredSyncBatch) {
    const fs::path sub = dir_ / "sub";
    fs::create_directories(sub);
    {
        safefile::DeferredSync batch;
        EXPECT_EQ(safefile::DeferredSync::active(), &batch);
        for (int i = 0; i < 20; ++i) {
            const fs::path f = (i % 2 ? dir_ : sub) / ("f" + std::to_string(i));
            ASSERT_EQ(safefile::WriteFileSafely(f.string(), "content " + std::to_string(i)), 0);
            EXPECT_EQ(slurp(f), "content " + std::to_string(i));
        }
        {
            safefile::DeferredSync inner;
            EXPECT_EQ(safefile::DeferredSync::active(), &inner);
            EXPECT_EQ(inner.finish(), 0);
            EXPECT_EQ(safefile::DeferredSync::active(), &batch);
        }
        // A folder as target fails as always and leaves nothing behind.
        EXPECT_EQ(safefile::WriteFileSafely(sub.string(), "x"), EISDIR);
        EXPECT_EQ(batch.finish(), 0);
        EXPECT_EQ(batch.finish(), 0);
        EXPECT_EQ(safefile::DeferredSync::active(), nullptr);
    }
    EXPECT_EQ(entries(sub).size(), 10u);
    EXPECT_EQ(entries().size(), 10u + 1u);
    ASSERT_EQ(safefile::WriteFileSafely((dir_ / "after").string(), "alone"), 0);
    EXPECT_EQ(slurp(dir_ / "after"), "alone");
}

}  // namespace
