#include <gtest/gtest.h>

#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

#include "platform/errors.h"
#include "platform/safe_file.h"
#include "tests/fault_injection.h"
#include "tests/stopped_saves.h"

namespace fs = std::filesystem;
using fault::inChild;
using fault::plant;
using fault::slurp;
using stopped::NamedTemporaries;

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
    for (bool named : {false, true}) {
        SCOPED_TRACE(named ? "named" : "unnamed");
        std::optional<NamedTemporaries> asWithoutUnnamedFiles;
        if (named) asWithoutUnnamedFiles.emplace();
        safefile::SafeFileWriter one, two;
        ASSERT_EQ(one.open(target), 0);
        ASSERT_EQ(two.open(target), 0);
        struct stat st {};
        ASSERT_EQ(::fstat(one.fd(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777u, 0600u);
        if (named) {
            EXPECT_NE(one.temporaryPath(), two.temporaryPath());
            EXPECT_EQ(fs::path(one.temporaryPath()).parent_path(), dir_);
            EXPECT_EQ(st.st_nlink, 1u);
        } else {
            // Nothing in the folder while the save is written.
            EXPECT_EQ(one.temporaryPath(), "");
            EXPECT_EQ(st.st_nlink, 0u);
            EXPECT_TRUE(entries().empty());
        }
        ASSERT_EQ(one.write("one"), 0);
        ASSERT_EQ(two.write("two"), 0);
        ASSERT_EQ(two.commit(), 0);
        ASSERT_EQ(one.commit(), 0);
        EXPECT_EQ(slurp(target), "one");
        EXPECT_EQ(entries(), std::vector<std::string>{"b.rvx"});
    }
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

TEST_F(SafeFileTest, FileSizeLimitFailsCleanlyWithTheSystemsText) {
    // A file size limit stops the temporary file part-way; the old file stays, nothing is left over.
    const fs::path target = dir_ / "e.dat";
    plant(target, "old");
    const int code = inChild([&] {
        safefile::IgnoreFileSizeSignal();  // as the program does at start
        rlimit lim{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &lim);
        const int e = safefile::WriteFileSafely(target, std::string(100000, 'y'));
        try {
            safefile::WriteFileOrThrow(target, {std::string(100000, 'z')});
        } catch (const vx::FileError& err) {
            if (std::string(err.what()) != "Cannot write file \"" + target.string() + "\". File too large") return 100;
        }
        return e;
    });
    EXPECT_EQ(code, EFBIG);
    EXPECT_EQ(slurp(target), "old");
    EXPECT_EQ(entries(), std::vector<std::string>{"e.dat"});
}

// Code that may not change the process's signal handling holds SIGXFSZ off while it writes: without the
// hold the process is killed, with it the write fails and the thread's mask is as before.
TEST_F(SafeFileTest, FileSizeSignalHeldOffForOneThread) {
    const fs::path target = dir_ / "held.dat";
    auto limited = [&](bool hold) {
        return inChild([&] {
            ::signal(SIGXFSZ, SIG_DFL);
            rlimit lim{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &lim);
            int e = 0;
            {
                std::optional<safefile::FileSizeSignalHold> held;
                if (hold) held.emplace();
                e = safefile::WriteFileSafely(target, std::string(100000, 'y'));
            }
            sigset_t now;
            ::pthread_sigmask(SIG_SETMASK, nullptr, &now);
            if (sigismember(&now, SIGXFSZ)) return 101;
            // Nothing is left pending that would still end the process.
            ::signal(SIGXFSZ, SIG_DFL);
            return e;
        });
    };
    EXPECT_EQ(limited(false), 128 + SIGXFSZ);
    EXPECT_EQ(limited(true), EFBIG);
    EXPECT_FALSE(fs::exists(target));
    // Nested holds and a mask that held the signal already are left as they were.
    sigset_t set, old;
    sigemptyset(&set);
    sigaddset(&set, SIGXFSZ);
    ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, &set, &old), 0);
    { safefile::FileSizeSignalHold outer; }
    sigset_t now;
    ::pthread_sigmask(SIG_SETMASK, nullptr, &now);
    EXPECT_TRUE(sigismember(&now, SIGXFSZ));
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

// Only a regular file is replaced: a pipe would hold the save, and a device, socket or folder would be
// dropped by the rename. Each stays as it is, and no temporary file is left.
TEST_F(SafeFileTest, PipesDevicesSocketsAndFoldersAreRefusedAsTargets) {
    const auto planted = fault::plantNonRegularFiles(dir_);
    fs::create_symlink(planted[0], dir_ / "to-pipe");
    struct Case {
        fs::path target;
        int error;
    } cases[] = {
        {planted[0], vx::kErrNamedPipe}, {dir_ / "to-pipe", vx::kErrNamedPipe}, {planted[1], vx::kErrSocket},
        {planted[2], EISDIR},            {"/dev/null", vx::kErrDevice},         {"/dev/full", vx::kErrDevice},
    };
    const auto before = entries();
    const int code = fault::inChildWithin(10, [&] {
        for (const Case& c : cases)
            if (safefile::WriteFileSafely(c.target, "x") != c.error) return 1;
        return 0;
    });
    EXPECT_EQ(code, 0);
    for (const Case& c : cases) EXPECT_EQ(safefile::WriteFileSafely(c.target, "x"), c.error) << c.target;
    EXPECT_EQ(entries(), before);
    EXPECT_TRUE(fs::is_fifo(planted[0]));
    EXPECT_TRUE(fs::is_socket(planted[1]));
    try {
        safefile::WriteFileOrThrow(planted[0], {"x"});
        FAIL() << "no error";
    } catch (const vx::FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + planted[0].string() + "\". Is a named pipe");
    }
}

// A file without write permission is refused as one in a read-only folder is, though the folder would
// let the rename replace it.
TEST_F(SafeFileTest, ReadOnlyFileIsNotReplaced) {
    const fs::path target = dir_ / "locked.rvx";
    plant(target, "kept");
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(dir_.c_str(), 65534, 65534), 0);
    }
    const int code = inChild([&] {
        if (!fault::actAsOrdinaryUser()) return 99;
        if (::access(dir_.c_str(), W_OK) != 0) return 98;  // the folder itself is writable
        const int e = safefile::WriteFileSafely(target, "replaced");
        try {
            safefile::WriteFileOrThrow(target, {"replaced"});
            return 97;
        } catch (const vx::FileError& err) {
            if (std::string(err.what()) != "Cannot create file \"" + target.string() + "\". Permission denied") return 96;
        }
        // A new file beside it is still written.
        if (safefile::WriteFileSafely(dir_ / "new.rvx", "new") != 0) return 95;
        return e;
    });
    EXPECT_EQ(code, EACCES);
    EXPECT_EQ(slurp(target), "kept");
    EXPECT_EQ(modeOf(target), 0444u);
    EXPECT_EQ(entries(), (std::vector<std::string>{"locked.rvx", "new.rvx"}));
}

// A save killed while it writes leaves the old file and no temporary: an unnamed one goes with the
// process; a named one (where the file system has no unnamed files) is removed by the next save of the
// same file, and nothing else is.
TEST_F(SafeFileTest, KilledSaveLeavesNoTemporary) {
    const fs::path target = dir_ / "f.rvx";
    const std::string piece(1 << 20, 'p');
    const std::vector<std::string_view> pieces(8, piece);
    for (bool named : {false, true}) {
        SCOPED_TRACE(named ? "named" : "unnamed");
        std::optional<NamedTemporaries> asWithoutUnnamedFiles;
        if (named) asWithoutUnnamedFiles.emplace();
        plant(target, "old");
        for (int round = 0; round < 2; ++round) {
            const int code = inChild([&] {
                stopped::killAtStep(3);  // with three of eight pieces written
                return 100 + safefile::WriteFileSafely(target, pieces);
            });
            EXPECT_EQ(code, 128 + SIGKILL);
        }
        EXPECT_EQ(slurp(target), "old");
        const auto left = entries();
        if (!named) {
            EXPECT_EQ(left, std::vector<std::string>{"f.rvx"});
        } else {
            // The target and the second killed save's temporary: it removed the first one's.
            ASSERT_EQ(left.size(), 2u);
            for (const auto& name : left) {
                if (name == "f.rvx") continue;
                EXPECT_EQ(fs::file_size(dir_ / name), 3u << 20) << name;
            }
            // Names like a temporary's that are none of this target's stay.
            plant(dir_ / "g.rvx.vxtmp-aaaaaaaaaaaa", "another file's");
            plant(dir_ / "f.rvx.vxtmp-short", "no temporary's name");
            fs::create_symlink("g.rvx.vxtmp-aaaaaaaaaaaa", dir_ / "f.rvx.vxtmp-bbbbbbbbbbbb");
        }
        ASSERT_EQ(safefile::WriteFileSafely(target, "complete"), 0);
        EXPECT_EQ(slurp(target), "complete");
        const std::vector<std::string> others = {"f.rvx.vxtmp-bbbbbbbbbbbb", "f.rvx.vxtmp-short",
                                                 "g.rvx.vxtmp-aaaaaaaaaaaa"};
        std::vector<std::string> want = {"f.rvx"};
        if (named) want.insert(want.end(), others.begin(), others.end());
        EXPECT_EQ(entries(), want);
        for (const auto& name : others) fs::remove(dir_ / name);
    }
}

// A save killed in the instant between giving its whole unnamed file a name and renaming that over
// the target leaves the name behind: the next save of the target removes it.
TEST_F(SafeFileTest, SaveKilledBetweenLinkAndRenameLeavesNothingAfterTheNextSave) {
    const fs::path target = dir_ / "h.dat";
    plant(target, "old");
    const int code = inChild([&] {
        stopped::killAtStep(3);  // two pieces written, then placed under its name
        return 100 + safefile::WriteFileSafely(target, std::vector<std::string_view>{"new ", "data"});
    });
    EXPECT_EQ(code, 128 + SIGKILL);
    EXPECT_EQ(slurp(target), "old");
    EXPECT_EQ(entries().size(), 2u);
    ASSERT_EQ(safefile::WriteFileSafely(target, "complete"), 0);
    EXPECT_EQ(entries(), std::vector<std::string>{"h.dat"});
}

// The named temporary of a save still being written is no stale one: two saves of one file at once
// both complete, the later rename winning.
TEST_F(SafeFileTest, NamedTemporaryOfASaveInProgressStays) {
    NamedTemporaries asWithoutUnnamedFiles;
    const fs::path target = dir_ / "g.csv";
    plant(target, "old");
    int ready[2], go[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(go), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        safefile::SafeFileWriter w;
        char c = 0;
        if (w.open(target) != 0 || w.write("theirs") != 0) ::_exit(1);
        if (::write(ready[1], "r", 1) != 1 || ::read(go[0], &c, 1) != 1) ::_exit(2);
        ::_exit(w.commit() == 0 ? 0 : 3);
    }
    char c = 0;
    const bool theirsOpen = ::read(ready[0], &c, 1) == 1;
    EXPECT_TRUE(theirsOpen);
    EXPECT_EQ(safefile::WriteFileSafely(target, "ours"), 0);
    EXPECT_EQ(slurp(target), "ours");
    EXPECT_EQ(entries().size(), 2u);  // theirs is still there
    EXPECT_EQ(::write(go[1], "g", 1), 1);
    int status = 0;
    ::waitpid(pid, &status, 0);
    for (int fd : {ready[0], ready[1], go[0], go[1]}) ::close(fd);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(slurp(target), "theirs");
    EXPECT_EQ(entries(), std::vector<std::string>{"g.csv"});
}

// Files saved together replace their targets in their order: wherever the save is stopped, a later file
// is new only when the earlier one is, and a temporary has a name only at the instant before its rename.
// A file that cannot be made stops the save before anything is replaced.
TEST_F(SafeFileTest, FilesSavedTogetherReplaceInTheirOrder) {
    const fs::path data = dir_ / "p.tat", command = dir_ / "p.plt";
    const std::vector<safefile::FileContent> files = {{data.string(), {"new data"}},
                                                      {command.string(), {"new ", "command"}}};
    // The steps: three pieces written, then per file its placing and its replacing.
    for (int step = 1; step <= 7; ++step) {
        SCOPED_TRACE(step);
        plant(data, "old data");
        plant(command, "old command");
        const int code = inChild([&] {
            stopped::killAtStep(step);
            safefile::WriteFilesOrThrow(files);
            return 0;
        });
        EXPECT_EQ(code, 128 + SIGKILL);
        EXPECT_EQ(slurp(data), step >= 5 ? "new data" : "old data");
        EXPECT_EQ(slurp(command), step >= 7 ? "new command" : "old command");
        const bool placing = step == 4 || step == 6;
        EXPECT_EQ(entries().size(), placing ? 3u : 2u);
        for (const auto& name : entries())
            if (name != "p.tat" && name != "p.plt") fs::remove(dir_ / name);
    }
    fs::create_directories(dir_ / "folder.plt");
    plant(data, "old data");
    try {
        safefile::WriteFilesOrThrow({{data.string(), {"new data"}}, {(dir_ / "folder.plt").string(), {"x"}}});
        FAIL() << "no error";
    } catch (const vx::FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + (dir_ / "folder.plt").string() + "\". Is a directory");
    }
    EXPECT_EQ(slurp(data), "old data");
    EXPECT_EQ(entries(), (std::vector<std::string>{"folder.plt", "p.plt", "p.tat"}));
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
