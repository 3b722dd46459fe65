#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/registry.h"
#include "platform/ui.h"
#include "tests/temp_registry_fixture.h"
#include "tests/fault_injection.h"

namespace fs = std::filesystem;
using fault::inChild;
using fault::plant;
using fault::slurp;

class RegistryTest : public TempRegistryTest {
protected:
    RegistryTest() : TempRegistryTest("vxreg") {}
};

TEST_F(RegistryTest, TypedValuesRoundTripAcrossHives) {
    using registry::Hive;
    const std::string key = "SOFTWARE\\Brightmoor\\Varolux32\\Dateien";
    EXPECT_FALSE(registry::readString(Hive::CurrentUser, key, "MRU0"));
    ASSERT_TRUE(registry::writeString(Hive::CurrentUser, key, "MRU0", "/tmp/a \"b\"\\c\r\nd.rvx"));
    ASSERT_TRUE(registry::writeDword(Hive::CurrentUser, key, "Top", 0xFFFFFFF0u));
    ASSERT_TRUE(registry::writeBinary(Hive::CurrentUser, key, "Blob", {0, 1, 0xFE}));
    ASSERT_TRUE(registry::writeString(Hive::LocalMachine, "SOFTWARE\\X", "TraceFile", "t.log"));

    EXPECT_EQ(*registry::readString(Hive::CurrentUser, key, "MRU0"), "/tmp/a \"b\"\\c\r\nd.rvx");
    EXPECT_EQ(*registry::readDword(Hive::CurrentUser, key, "top"), 0xFFFFFFF0u);  // names ignore case
    EXPECT_EQ(*registry::readBinary(Hive::CurrentUser, "software\\brightmoor\\varolux32\\dateien", "Blob"),
              (std::vector<uint8_t>{0, 1, 0xFE}));
    EXPECT_FALSE(registry::readDword(Hive::CurrentUser, key, "MRU0"));  // wrong type
    EXPECT_FALSE(registry::readString(Hive::CurrentUser, "SOFTWARE\\X", "TraceFile"));
    EXPECT_EQ(*registry::readString(Hive::LocalMachine, "SOFTWARE\\X", "TraceFile"), "t.log");
    EXPECT_TRUE(fs::exists(dir_ / "current-user.reg"));
    EXPECT_TRUE(fs::exists(dir_ / "local-machine.reg"));
}

TEST_F(RegistryTest, KeysValuesAndDeletion) {
    using registry::Hive;
    registry::writeString(Hive::CurrentUser, "A\\B\\C", "v", "1");
    registry::writeString(Hive::CurrentUser, "A\\B\\D", "w", "2");
    EXPECT_TRUE(registry::keyExists(Hive::CurrentUser, "A\\B"));
    auto subs = registry::subKeys(Hive::CurrentUser, "A\\B");
    EXPECT_EQ(subs, (std::vector<std::string>{"C", "D"}));
    EXPECT_EQ(registry::valueNames(Hive::CurrentUser, "A\\B\\C"), std::vector<std::string>{"v"});
    EXPECT_TRUE(registry::deleteValue(Hive::CurrentUser, "A\\B\\C", "v"));
    EXPECT_FALSE(registry::deleteValue(Hive::CurrentUser, "A\\B\\C", "v"));
    EXPECT_TRUE(registry::deleteKey(Hive::CurrentUser, "A\\B"));
    EXPECT_FALSE(registry::keyExists(Hive::CurrentUser, "A\\B\\D"));
    EXPECT_TRUE(registry::keyExists(Hive::CurrentUser, "A"));
}

TEST_F(RegistryTest, UnwritableFolderReportsFailureAndOneMessageForTheExit) {
    EXPECT_EQ(registry::unsavedSettingsMessage(), "");
    ASSERT_TRUE(registry::writeString(registry::Hive::CurrentUser, "K", "n", "v"));
    EXPECT_EQ(registry::unsavedSettingsMessage(), "");
    setenv("VAROLUX32_REGISTRY_DIR", "/proc/no-such-place/x", 1);
    EXPECT_FALSE(registry::writeString(registry::Hive::CurrentUser, "K", "n", "v"));
    {
        registry::WriteBatch batch(registry::Hive::CurrentUser);
        EXPECT_TRUE(registry::writeDword(registry::Hive::CurrentUser, "K", "d", 1));  // kept for the batch
        EXPECT_FALSE(batch.commit());
    }
    EXPECT_EQ(registry::unsavedSettingsMessage(),
              "The settings could not be saved to \"/proc/no-such-place/x/current-user.reg\" (No such file or "
              "directory); the changes made to them in this session are lost.");
    // A store in another folder (the next test's) starts without that failure.
    setenv("VAROLUX32_REGISTRY_DIR", dir_.c_str(), 1);
    EXPECT_EQ(registry::unsavedSettingsMessage(), "");
}

// ------------------------------------------------------------------ damaged, unreadable and shared stores

namespace {

using registry::Hive;

ino_t inodeOf(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::lstat(p.c_str(), &st), 0) << p;
    return st.st_ino;
}

std::vector<fs::path> asideCopies(const fs::path& dir) {
    std::vector<fs::path> out;
    if (!fs::exists(dir)) return out;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string().find(".damaged-") != std::string::npos) out.push_back(e.path());
    return out;
}

}  // namespace

TEST_F(RegistryTest, DamagedStoreKeepsWhatCouldBeReadWarnsOnceAndIsKeptAside) {
    const std::string kKey = "SOFTWARE\\Brightmoor\\Varolux32\\Dateien";
    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"bare CR", "; varolux32 settings store\r[" + kKey + "]\r\"MRU0\"=\"/d/a.rvx\"\r\"Flags\"=dword:0000000a\r",
         "bare carriage return"},
        {"garbage", "[" + kKey + "]\n\"MRU0\"=\"/d/a.rvx\"\n\x01\x02\xff\xfe junk\n\"Flags\"=dword:0000000a\n" +
                        std::string("\"x\"=\"a\0b\"\n", 11) + "\"y\"=dword:12345678trailing\n",
         "3 lines are no settings"},
        {"cut short", "[" + kKey + "]\n\"MRU0\"=\"/d/a.rvx\"\n\"Flags\"=dword:0000000a\n\"Blob\"=hex:01,02,0", "cut short"},
        {"broken key", "[Other\n\"lost\"=\"1\"\n[" + kKey + "]\n\"MRU0\"=\"/d/a.rvx\"\n\"Flags\"=dword:0000000a\n",
         "2 lines are no settings"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir_);
        const fs::path file = dir_ / "current-user.reg";
        plant(file, c.bytes);
        const ino_t original = fs::status(file).type() == fs::file_type::regular ? inodeOf(file) : 0;
        ui::ScopedScriptedBackend ui;
        EXPECT_EQ(registry::readString(Hive::CurrentUser, kKey, "MRU0"), "/d/a.rvx");
        EXPECT_EQ(registry::readDword(Hive::CurrentUser, kKey, "Flags"), 10u);
        EXPECT_FALSE(registry::readString(Hive::CurrentUser, kKey, "lost"));
        EXPECT_FALSE(registry::readBinary(Hive::CurrentUser, kKey, "Blob"));  // may have lost bytes
        const auto copies = asideCopies(dir_);
        ASSERT_EQ(copies.size(), 1u);
        EXPECT_EQ(slurp(copies[0]), c.bytes);
        EXPECT_EQ(inodeOf(copies[0]), original);  // the file itself, renamed: no copy was written
        // What could be read is the store again, for the other processes that read it.
        const std::string clean = slurp(file);
        EXPECT_NE(clean.find("\"MRU0\"=\"/d/a.rvx\"\n"), std::string::npos) << clean;
        EXPECT_EQ(clean.find("junk"), std::string::npos) << clean;
        ASSERT_EQ(ui->messages.size(), 1u);
        EXPECT_NE(ui->messages[0].find(file.string()), std::string::npos) << ui->messages[0];
        EXPECT_NE(ui->messages[0].find(copies[0].string()), std::string::npos) << ui->messages[0];
        EXPECT_NE(ui->messages[0].find(c.reason), std::string::npos) << ui->messages[0];

        // The next write (the window placement at exit) keeps every value that could be read.
        ASSERT_TRUE(registry::writeString(Hive::CurrentUser, kKey, "NormPos", "1,2,3,4"));
        const std::string now = slurp(file);
        EXPECT_NE(now.find("\"MRU0\"=\"/d/a.rvx\"\n"), std::string::npos) << now;
        EXPECT_NE(now.find("\"Flags\"=dword:0000000a\n"), std::string::npos) << now;
        EXPECT_NE(now.find("\"NormPos\"=\"1,2,3,4\"\n"), std::string::npos) << now;
        EXPECT_EQ(registry::readString(Hive::CurrentUser, kKey, "MRU0"), "/d/a.rvx");
        EXPECT_EQ(ui->messages.size(), 1u);
        EXPECT_EQ(asideCopies(dir_).size(), 1u);
    }
}

TEST_F(RegistryTest, UnreadableStoreIsMovedAsideNotOverwritten) {
    const fs::path file = dir_ / "current-user.reg";
    const std::string original = "[K]\n\"v\"=\"precious\"\n";
    plant(file, original);
    ASSERT_EQ(::chmod(file.c_str(), 0), 0);
    // Root reads any file: the check then runs as an ordinary user.
    const bool drop = ::geteuid() == 0;
    if (drop) {
        ASSERT_EQ(::chown(dir_.c_str(), 65534, 65534), 0);
    }
    const int code = inChild([&] {
        if (drop && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 10;
        ui::ScopedScriptedBackend ui;
        if (registry::readString(Hive::CurrentUser, "K", "v")) return 11;
        if (ui->messages.size() != 1 || ui->messages[0].find("could not be read (Permission denied)") == std::string::npos)
            return 12;
        if (!registry::writeString(Hive::CurrentUser, "K", "w", "new")) return 13;
        if (registry::readString(Hive::CurrentUser, "K", "w") != "new") return 14;
        return ui->messages.size() == 1 ? 0 : 15;
    });
    EXPECT_EQ(code, 0);
    const auto copies = asideCopies(dir_);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(slurp(copies[0]), original);  // the old store, byte for byte
    const std::string now = slurp(file);
    EXPECT_EQ(now.find("precious"), std::string::npos);
    EXPECT_NE(now.find("\"w\"=\"new\""), std::string::npos);
}

TEST_F(RegistryTest, StoreThatCannotBeKeptAsideIsNeverWritten) {
    const fs::path file = dir_ / "current-user.reg";
    const std::string damaged = "[K]\n\"v\"=\"1\"\ngarbage\n";
    plant(file, damaged);
    // Every name a copy could take is already used by something else.
    const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    time_t t = 1000000000;
    tm local{};
    localtime_r(&t, &local);
    char when[32];
    ::strftime(when, sizeof when, "%Y%m%d-%H%M%S", &local);
    for (int n = 1; n <= 100; ++n)
        fs::create_directories(file.string() + ".damaged-" + when + (n > 1 ? "-" + std::to_string(n) : ""));
    ui::ScopedScriptedBackend ui;
    EXPECT_EQ(registry::readString(Hive::CurrentUser, "K", "v"), "1");
    EXPECT_FALSE(registry::writeString(Hive::CurrentUser, "K", "w", "2"));
    EXPECT_FALSE(registry::deleteKey(Hive::CurrentUser, "K"));
    {
        registry::WriteBatch batch(Hive::CurrentUser);
        EXPECT_FALSE(registry::writeDword(Hive::CurrentUser, "K", "d", 1));
    }
    EXPECT_EQ(slurp(file), damaged);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_NE(ui->messages[0].find("nothing is saved"), std::string::npos) << ui->messages[0];
}

TEST_F(RegistryTest, FolderInPlaceOfTheStoreIsMovedAside) {
    fs::create_directories(dir_ / "current-user.reg" / "inside");
    ui::ScopedScriptedBackend ui;
    EXPECT_FALSE(registry::keyExists(Hive::CurrentUser, "K"));
    ASSERT_EQ(ui->messages.size(), 1u);
    ASSERT_TRUE(registry::writeString(Hive::CurrentUser, "K", "v", "1"));
    EXPECT_TRUE(fs::is_regular_file(dir_ / "current-user.reg"));
    const auto copies = asideCopies(dir_);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_TRUE(fs::exists(copies[0] / "inside"));
}

TEST_F(RegistryTest, ParsedOnceAndReadAgainOnlyWhenAnotherWriterChangedIt) {
    const std::string key = "SOFTWARE\\Brightmoor\\Varolux32\\Optionen";
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(registry::writeString(Hive::CurrentUser, key, "v" + std::to_string(i), "x"));
    const std::size_t reads = registry::fileReads();
    for (int round = 0; round < 20; ++round)
        for (int i = 0; i < 50; ++i) ASSERT_EQ(registry::readString(Hive::CurrentUser, key, "v" + std::to_string(i)), "x");
    EXPECT_EQ(registry::fileReads(), reads);  // our own saves need no re-read either

    // Another process (a second instance, the SPC library's own copy) replaces the file.
    plant(dir_ / "current-user.reg", "[" + key + "]\n\"v0\"=\"changed elsewhere\"\n");
    EXPECT_EQ(registry::readString(Hive::CurrentUser, key, "v0"), "changed elsewhere");
    EXPECT_FALSE(registry::readString(Hive::CurrentUser, key, "v1"));
    EXPECT_EQ(registry::fileReads(), reads + 1);
}

TEST_F(RegistryTest, WritersInOtherProcessesLoseNothing) {
    ASSERT_TRUE(registry::writeString(Hive::CurrentUser, "K", "mine", "1"));  // read and cached here
    // A second instance that read the store at the same time writes its own value.
    EXPECT_EQ(inChild([] { return registry::writeString(Hive::CurrentUser, "K", "theirs", "2") ? 0 : 1; }), 0);
    ASSERT_TRUE(registry::writeString(Hive::CurrentUser, "K", "mine2", "3"));
    EXPECT_EQ(registry::readString(Hive::CurrentUser, "K", "theirs"), "2");
    const std::string text = slurp(dir_ / "current-user.reg");
    for (const char* v : {"\"mine\"", "\"theirs\"", "\"mine2\""}) EXPECT_NE(text.find(v), std::string::npos) << v;
}

TEST_F(RegistryTest, BatchSavesOnceAndHoldsOtherWritersOff) {
    ASSERT_TRUE(registry::writeString(Hive::CurrentUser, "K", "before", "0"));
    const fs::path file = dir_ / "current-user.reg";
    const std::string start = slurp(file);
    {
        registry::WriteBatch batch(Hive::CurrentUser);
        {
            registry::WriteBatch inner(Hive::CurrentUser);
            for (int i = 0; i < 30; ++i) EXPECT_TRUE(registry::writeDword(Hive::CurrentUser, "K", "d" + std::to_string(i), i));
        }
        EXPECT_TRUE(registry::deleteValue(Hive::CurrentUser, "K", "before"));
        EXPECT_EQ(registry::readDword(Hive::CurrentUser, "K", "d7"), 7u);  // seen here at once
        EXPECT_EQ(slurp(file), start);                                    // saved only at the end
        // Another writer cannot take the lock meanwhile.
        EXPECT_EQ(inChild([&] {
                      const int fd = ::open((file.string() + ".lock").c_str(), O_RDWR);
                      return fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0 ? 0 : 1;
                  }),
                  0);
        EXPECT_TRUE(batch.commit());
    }
    const std::string text = slurp(file);
    EXPECT_EQ(text.find("\"before\""), std::string::npos);
    EXPECT_NE(text.find("\"d29\"=dword:0000001d\n"), std::string::npos);
}

TEST_F(RegistryTest, KeyPathWithLineBreakIsRefused) {
    EXPECT_FALSE(registry::writeString(Hive::CurrentUser, "A\nB", "v", "1"));
    EXPECT_FALSE(registry::createKey(Hive::CurrentUser, "A\r"));
    EXPECT_FALSE(fs::exists(dir_ / "current-user.reg"));
}

// A hive file that its owner made read-only is not replaced, and the exit message says so.
TEST_F(RegistryTest, ReadOnlyStoreIsNotReplaced) {
    ASSERT_TRUE(registry::writeString(Hive::CurrentUser, "K", "v", "old"));
    const fs::path file = dir_ / "current-user.reg";
    const std::string before = slurp(file);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(dir_.c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
    }
    const int code = inChild([&] {
        if (!fault::actAsOrdinaryUser()) return 10;
        if (registry::writeString(Hive::CurrentUser, "K", "v", "new")) return 11;
        return registry::unsavedSettingsMessage().find("(Permission denied)") != std::string::npos ? 0 : 12;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(slurp(file), before);
}

// A store larger than any settings file is never read (nor copied): a sparse gigabyte is moved aside by
// its name at once, and the settings start from their defaults.
TEST_F(RegistryTest, StoreAboveTheSizeLimitIsMovedAsideUnread) {
    fs::create_directories(dir_);
    const fs::path file = dir_ / "current-user.reg";
    plant(file, "[K]\n\"v\"=\"1\"\n");
    fs::resize_file(file, uint64_t{1} << 30);
    const ino_t original = inodeOf(file);
    ui::ScopedScriptedBackend ui;
    EXPECT_FALSE(registry::readString(Hive::CurrentUser, "K", "v"));
    const auto copies = asideCopies(dir_);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(inodeOf(copies[0]), original);
    struct stat st {};
    ASSERT_EQ(::stat(copies[0].c_str(), &st), 0);
    EXPECT_LT(st.st_blocks * 512, 1 << 20);  // still sparse: nothing was written into it
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_NE(ui->messages[0].find("1024.0 MB, more than the 4.0 MB a settings file may hold"), std::string::npos)
        << ui->messages[0];
    ASSERT_TRUE(registry::writeString(Hive::CurrentUser, "K", "w", "2"));
    EXPECT_LT(fs::file_size(file), 100u);

    // Exactly at the limit is read; a save that would pass it fails instead of writing a file that
    // would not be read again.
    EXPECT_FALSE(registry::writeString(Hive::CurrentUser, "K", "big", std::string(registry::kMaxStoreBytes, 'x')));
    EXPECT_NE(registry::unsavedSettingsMessage().find("(File too large)"), std::string::npos);
    EXPECT_EQ(registry::readString(Hive::CurrentUser, "K", "w"), "2");
    std::string exact = "[K]\n\"v\"=\"";
    exact += std::string(registry::kMaxStoreBytes - exact.size() - 2, 'y') + "\"\n";
    plant(file, exact);
    ASSERT_EQ(fs::file_size(file), registry::kMaxStoreBytes);
    EXPECT_EQ(registry::readString(Hive::CurrentUser, "K", "v")->size(), registry::kMaxStoreBytes - 11);
    EXPECT_EQ(ui->messages.size(), 1u);

    // Just past the limit both sizes would read 4.0 MB: they are told in bytes.
    plant(file, exact + std::string(41, '\n'));
    EXPECT_FALSE(registry::readString(Hive::CurrentUser, "K", "v"));
    ASSERT_EQ(ui->messages.size(), 2u);
    EXPECT_NE(ui->messages[1].find("(it holds 4194345 bytes, more than the 4194304 bytes a settings file may hold)"),
              std::string::npos)
        << ui->messages[1];
}

// A pipe in place of the store (or of its lock) held the program at its start; now it is refused at
// once and moved aside like any file that cannot be read.
TEST_F(RegistryTest, PipeInPlaceOfTheStoreOrItsLockIsNotWaitedOn) {
    fs::create_directories(dir_);
    ASSERT_EQ(::mkfifo((dir_ / "current-user.reg").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir_ / "local-machine.reg.lock").c_str(), 0600), 0);
    const int code = fault::inChildWithin(20, [] {
        ui::ScopedScriptedBackend ui;
        registry::checkStore(Hive::CurrentUser);
        if (ui->messages.size() != 1 || ui->messages[0].find("could not be read (Is a named pipe)") == std::string::npos)
            return 1;
        if (!registry::writeString(Hive::CurrentUser, "K", "v", "1")) return 2;
        if (!registry::writeString(Hive::LocalMachine, "K", "v", "1")) return 3;  // saved without the lock
        return registry::readString(Hive::LocalMachine, "K", "v") == "1" ? 0 : 4;
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(fs::is_regular_file(dir_ / "current-user.reg"));
    const auto copies = asideCopies(dir_);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_TRUE(fs::is_fifo(copies[0]));
}

// The SPC library reads the local-machine store with no one to tell: a damaged file stays in place for
// the program, which moves it aside and says so at its start (checkStore), as for its own store.
TEST_F(RegistryTest, DamagedStoreIsLeftToTheProcessThatCanSaySo) {
    const fs::path file = dir_ / "local-machine.reg";
    const std::string damaged = "[T]\n\"TraceLevel\"=\"2\"\ngarbage\n";
    plant(file, damaged);
    const int library = inChild([&] {
        // The silent default: nothing could be shown.
        if (registry::readString(Hive::LocalMachine, "T", "TraceLevel") != "2") return 1;
        if (registry::writeString(Hive::LocalMachine, "T", "x", "1")) return 2;  // never written over
        return 0;
    });
    EXPECT_EQ(library, 0);
    EXPECT_EQ(slurp(file), damaged);
    EXPECT_TRUE(asideCopies(dir_).empty());

    ui::ScopedScriptedBackend ui;
    registry::checkStore(Hive::LocalMachine);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_NE(ui->messages[0].find(file.string()), std::string::npos) << ui->messages[0];
    ASSERT_EQ(asideCopies(dir_).size(), 1u);
    EXPECT_EQ(slurp(asideCopies(dir_)[0]), damaged);
    // The library, started after the program, finds the settings that could be read.
    EXPECT_EQ(inChild([] {
                  ui::setBackend(nullptr);
                  return registry::readString(Hive::LocalMachine, "T", "TraceLevel") == "2" ? 0 : 1;
              }),
              0);
}
