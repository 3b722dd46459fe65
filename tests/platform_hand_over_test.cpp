// The message that hands file names to a running instance, and which names a start hands over.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/hand_over.h"

using namespace handover;

TEST(HandOverMessage, NamesTravelWholeAndComeBackAsTheyWere) {
    const std::vector<std::string> names = {"/data/a b;c.rvx", "/x/\xC3\xA4 ; ;.csv", "/plain"};
    const std::string m = EncodeMessage(names);
    std::vector<std::string> back;
    std::size_t used = 0;
    ASSERT_EQ(DecodeMessage(m, back, used), DecodeStatus::Complete);
    EXPECT_EQ(back, names);
    EXPECT_EQ(used, m.size());
    // No names: the window only comes to the front.
    ASSERT_EQ(DecodeMessage(EncodeMessage({}), back, used), DecodeStatus::Complete);
    EXPECT_TRUE(back.empty());
    EXPECT_EQ(used, kHeaderSize);
    // Bytes that arrive in pieces, and bytes after the message.
    for (std::size_t cut = 0; cut < m.size(); ++cut)
        EXPECT_EQ(DecodeMessage(m.substr(0, cut), back, used), DecodeStatus::Incomplete) << cut;
    ASSERT_EQ(DecodeMessage(m + "more", back, used), DecodeStatus::Complete);
    EXPECT_EQ(used, m.size());
}

TEST(HandOverMessage, LargeAndMalformedMessagesAreRefused) {
    // 64 KiB in all: the header and the names with their zero bytes.
    std::string name(kMaxMessage - kHeaderSize - 1, 'n');
    EXPECT_EQ(EncodeMessage({name}).size(), kMaxMessage);
    EXPECT_EQ(EncodeMessage({name + "n"}), "");
    std::vector<std::string> back;
    std::size_t used = 0;
    std::string header("\x00\x01\x00\x00", 4);  // a body of 64 KiB: too large with its header
    EXPECT_EQ(DecodeMessage(header, back, used), DecodeStatus::Invalid);
    header.assign("\xFF\xFF\xFF\xFF", 4);
    EXPECT_EQ(DecodeMessage(header, back, used), DecodeStatus::Invalid);
    std::string unterminated("\x00\x00\x00\x03" "abc", 7);
    EXPECT_EQ(DecodeMessage(unterminated, back, used), DecodeStatus::Invalid);
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

TEST(HandOverSocket, OneNamePerSettingsFolder) {
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = old ? old : "";
    ::setenv("XDG_RUNTIME_DIR", "/run/user/1234", 1);
    const std::string a = SocketName("/home/u/.config/varolux32");
    EXPECT_EQ(a.rfind("/run/user/1234/varolux32-", 0), 0u) << a;
    EXPECT_EQ(SocketName("/home/u/.config/varolux32/"), a);
    EXPECT_EQ(SocketName("/home/u/.config/x/../varolux32"), a);
    EXPECT_NE(SocketName("/tmp/test-settings"), a);
    // A runtime folder too long for a socket's address, or none: a name in the temporary folder.
    ::setenv("XDG_RUNTIME_DIR", ("/" + std::string(80, 'r')).c_str(), 1);
    EXPECT_EQ(SocketName("/s").find('/'), std::string::npos);
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(SocketName("/s").rfind("varolux32-", 0), 0u);
    if (old) ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
}
