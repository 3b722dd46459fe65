// The messages that hand file names to a running instance, which names a start hands over, and where
// the socket lives.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/byte_order.h"
#include "platform/hand_over.h"
#include "tests/fault_injection.h"

using namespace handover;

namespace {

namespace fs = std::filesystem;

uint32_t headerAt(const std::string& m, std::size_t at) {
    return byteorder::getU32BE(reinterpret_cast<const uint8_t*>(m.data() + at));
}

std::string header(uint32_t v) {
    uint8_t h[kHeaderSize];
    byteorder::putU32BE(h, v);
    return std::string(reinterpret_cast<const char*>(h), kHeaderSize);
}

// Names of `count` paths of `length` bytes each, all different.
std::vector<std::string> longNames(int count, std::size_t length) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        std::string n = "/data/" + std::to_string(i) + "/";
        n.resize(length, 'p');
        names.push_back(n);
    }
    return names;
}

// The environment variables the socket's place depends on, restored afterwards.
class SocketPlace : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* v : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
            const char* old = std::getenv(v);
            saved_.push_back({v, old ? old : "", old != nullptr});
        }
        dir_ = fs::temp_directory_path() / ("vx_hand_over_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        ::unsetenv("XDG_RUNTIME_DIR");
        ::setenv("TMPDIR", dir_.c_str(), 1);
    }
    void TearDown() override {
        for (const Saved& s : saved_) {
            if (s.had) ::setenv(s.name, s.value.c_str(), 1);
            else ::unsetenv(s.name);
        }
        fs::remove_all(dir_);
    }
    fs::path userFolder() const { return dir_ / ("varolux32-" + std::to_string(::getuid())); }
    struct Saved {
        const char* name;
        std::string value;
        bool had;
    };
    std::vector<Saved> saved_;
    fs::path dir_;
};

}  // namespace

TEST(HandOverMessage, NamesTravelWholeAndComeBackAsTheyWere) {
    const std::vector<std::string> names = {"/data/a b;c.rvx", "/x/\xC3\xA4 ; ;.csv", "/plain"};
    const std::string m = EncodeMessages(names);
    EXPECT_EQ(headerAt(m, 0), m.size() - kHeaderSize);  // one message, nothing follows
    std::vector<std::string> back;
    std::size_t used = 0;
    ASSERT_EQ(DecodeMessages(m, back, used), DecodeStatus::Complete);
    EXPECT_EQ(back, names);
    EXPECT_EQ(used, m.size());
    // No names: the window only comes to the front.
    ASSERT_EQ(DecodeMessages(EncodeMessages({}), back, used), DecodeStatus::Complete);
    EXPECT_TRUE(back.empty());
    EXPECT_EQ(used, kHeaderSize);
    // Bytes that arrive in pieces, and bytes after the list.
    for (std::size_t cut = 0; cut < m.size(); ++cut)
        EXPECT_EQ(DecodeMessages(m.substr(0, cut), back, used), DecodeStatus::Incomplete) << cut;
    ASSERT_EQ(DecodeMessages(m + "more", back, used), DecodeStatus::Complete);
    EXPECT_EQ(used, m.size());
}

TEST(HandOverMessage, AListLongerThanOneMessageGoesInSeveralAndArrivesWhole) {
    // 160 paths of 440 bytes: 70 KB, more than one message holds.
    const std::vector<std::string> names = longNames(160, 440);
    const std::string m = EncodeMessages(names);
    ASSERT_EQ(m.size(), 160 * 441 + 2 * kHeaderSize);
    EXPECT_EQ(headerAt(m, 0), kMoreFollows | kMaxPiece);
    EXPECT_EQ(headerAt(m, kMaxMessage), 160 * 441 - kMaxPiece);
    std::vector<std::string> back;
    std::size_t used = 0;
    ASSERT_EQ(DecodeMessages(m, back, used), DecodeStatus::Complete);
    EXPECT_EQ(back, names);  // the name cut at the end of the first message is whole again
    EXPECT_EQ(used, m.size());
    // Taken only once the last message is there: the first one alone, or a part of the second.
    for (std::size_t cut : {kMaxMessage - 1, kMaxMessage, kMaxMessage + kHeaderSize, m.size() - 1})
        EXPECT_EQ(DecodeMessages(m.substr(0, cut), back, used), DecodeStatus::Incomplete) << cut;
    // A list that fills its message exactly needs no second one; one byte more does.
    const std::vector<std::string> full = {std::string(kMaxPiece - 1, 'n')};
    EXPECT_EQ(EncodeMessages(full).size(), kMaxMessage);
    const std::string two = EncodeMessages({full[0] + "n"});
    ASSERT_EQ(two.size(), kMaxMessage + kHeaderSize + 1);
    EXPECT_EQ(headerAt(two, kMaxMessage), 1u);
    ASSERT_EQ(DecodeMessages(two, back, used), DecodeStatus::Complete);
    EXPECT_EQ(back, std::vector<std::string>{full[0] + "n"});
}

TEST(HandOverMessage, OversizedAndMalformedListsAreRefused) {
    std::vector<std::string> back;
    std::size_t used = 0;
    // A message over 64 KiB, and one that says more follows without being full.
    EXPECT_EQ(DecodeMessages(header(kMaxPiece + 1), back, used), DecodeStatus::Invalid);
    EXPECT_EQ(DecodeMessages(header(0xFFFFFFFFu), back, used), DecodeStatus::Invalid);
    EXPECT_EQ(DecodeMessages(header(kMoreFollows | 3) + "ab" + '\0', back, used), DecodeStatus::Invalid);
    EXPECT_EQ(DecodeMessages(header(kMoreFollows), back, used), DecodeStatus::Invalid);
    // A list that does not end with its zero byte.
    EXPECT_EQ(DecodeMessages(header(3) + "abc", back, used), DecodeStatus::Invalid);
    std::string unterminated = EncodeMessages(longNames(160, 440));
    unterminated.back() = 'x';
    EXPECT_EQ(DecodeMessages(unterminated, back, used), DecodeStatus::Invalid);
    // A list ends only with its zero byte: an empty last message after a full one ends it on a header
    // byte, whether the name the full one cut is unfinished or the list needed no second message.
    const std::string full = header(kMoreFollows | kMaxPiece) + std::string(kMaxPiece, 'n');
    EXPECT_EQ(DecodeMessages(full + header(0), back, used), DecodeStatus::Invalid);
    EXPECT_EQ(DecodeMessages(full.substr(0, kMaxMessage - 1) + '\0' + header(0), back, used), DecodeStatus::Invalid);
    EXPECT_EQ(DecodeMessages(full + header(1) + '\0', back, used), DecodeStatus::Complete);
    EXPECT_EQ(back, std::vector<std::string>{std::string(kMaxPiece, 'n')});
    // More than a list may hold: not encoded, and refused by the receiver as soon as it shows.
    const std::vector<std::string> huge = {std::string(kMaxList, 'h')};
    EXPECT_EQ(EncodeMessages(huge), "");
    EXPECT_FALSE(EncodeMessages({std::string(kMaxList - 1, 'h')}).empty());
    std::string flood;
    for (std::size_t n = 0; n <= kMaxList / kMaxPiece; ++n) flood += header(kMoreFollows | kMaxPiece) + std::string(kMaxPiece, 'f');
    EXPECT_EQ(DecodeMessages(flood, back, used), DecodeStatus::Invalid);
    EXPECT_EQ(DecodeMessages(flood.substr(0, flood.size() - kMaxMessage), back, used), DecodeStatus::Incomplete);
}

TEST(HandOverNames, ExeArgumentsClearWhatCameBeforeAndRelativeNamesBecomeAbsolute) {
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {{"a b;c.rvx", "/abs/d.csv"}, {"/work/here/a b;c.rvx", "/abs/d.csv"}},
        {{"/x/first.rvx", "/opt/vx/varolux32.EXE", "second.rvx"}, {"/work/here/second.rvx"}},
        {{"/x/first.rvx", "tool.Exe"}, {}},
        // ".exe" elsewhere in a name is an ordinary name.
        {{"/x/data.exe.rvx", "/x/.exe/y.rvx"}, {"/x/data.exe.rvx", "/x/.exe/y.rvx"}},
        {{"../up/f.rvx", "./g.rvx", ""}, {"/work/up/f.rvx", "/work/here/g.rvx"}},
        {{}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(HandOverNames(c.args, "/work/here"), c.names);
}

TEST_F(SocketPlace, OneSocketPerSettingsFolderInAFolderOfThisUserAlone) {
    const std::string a = SocketName("/home/u/.config/varolux32");
    EXPECT_EQ(fs::path(a).parent_path(), userFolder());
    EXPECT_EQ(SocketFolder(), userFolder().string());
    struct stat st{};
    ASSERT_EQ(::lstat(userFolder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(SocketName("/home/u/.config/varolux32/"), a);
    EXPECT_EQ(SocketName("/home/u/.config/x/../varolux32"), a);
    EXPECT_NE(SocketName("/tmp/test-settings"), a);
    // With a runtime folder the socket goes into the program's folder there.
    ::setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    EXPECT_EQ(fs::path(SocketName("/s")).parent_path(), dir_ / "varolux32");
    // One too long for a socket's address: the user's folder in /tmp.
    const fs::path deep = dir_ / std::string(90, 'r');
    fs::create_directories(deep);
    ::setenv("XDG_RUNTIME_DIR", deep.c_str(), 1);
    EXPECT_EQ(SocketFolder(), "/tmp/varolux32-" + std::to_string(::getuid()));
    EXPECT_LT(SocketName("/s").size(), sizeof(sockaddr_un::sun_path));
}

TEST_F(SocketPlace, AFolderOthersCanEnterOrThatIsNotThisUsersGivesNoSocket) {
    // Made first by someone else, or left open: anyone could listen in it.
    fs::create_directories(userFolder());
    ::chmod(userFolder().c_str(), 0777);
    EXPECT_EQ(SocketName("/s"), "");
    ::chmod(userFolder().c_str(), 0710);
    EXPECT_EQ(SocketName("/s"), "");
    ::chmod(userFolder().c_str(), 0700);
    EXPECT_NE(SocketName("/s"), "");
    // A link to a private folder, and a file in the folder's place.
    fs::remove_all(userFolder());
    fs::create_directories(dir_ / "elsewhere");
    ::chmod((dir_ / "elsewhere").c_str(), 0700);
    fs::create_directory_symlink(dir_ / "elsewhere", userFolder());
    EXPECT_EQ(SocketName("/s"), "");
    fs::remove(userFolder());
    std::FILE* f = std::fopen(userFolder().c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(SocketName("/s"), "");
    fs::remove(userFolder());
    if (::getuid() != 0) GTEST_SKIP() << "a folder of another user needs root to make";
    fs::create_directories(userFolder());
    ::chmod(userFolder().c_str(), 0700);
    ASSERT_EQ(::chown(userFolder().c_str(), 4321, 4321), 0);
    EXPECT_EQ(SocketName("/s"), "");
}

TEST(HandOverPeer, OnlyAProcessOfThisUserIsTrusted) {
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    EXPECT_TRUE(PeerIsThisUser(pair[0]));
    ::close(pair[0]);
    ::close(pair[1]);
    EXPECT_FALSE(PeerIsThisUser(-1));
    if (::getuid() != 0) GTEST_SKIP() << "a listener of another user needs root to make";
    // A socket that a process of another user listens on (the credentials are those of listen()).
    const fs::path path = fs::temp_directory_path() / ("vx_peer_" + std::to_string(::getpid()));
    fs::remove(path);
    const int server = fault::listenAsUser(path.string(), 4321);
    ASSERT_GE(server, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    const int client = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    EXPECT_FALSE(PeerIsThisUser(client));
    ::close(client);
    ::close(server);
    fs::remove(path);
}
