#include <gtest/gtest.h>

#include "platform/codepage.h"

TEST(Codepage, RoundTripsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    std::string utf8 = cp1252::toUtf8(all);
    EXPECT_EQ(cp1252::fromUtf8(utf8), all);
    EXPECT_EQ(cp1252::length(utf8), all.size());
}

TEST(Codepage, KnownCharacters) {
    EXPECT_EQ(cp1252::fromUtf8("\xC2\xB5m"), "\xB5m");      // µ is one byte
    EXPECT_EQ(cp1252::fromUtf8("\xE2\x82\xAC"), "\x80");    // euro sign
    EXPECT_EQ(cp1252::fromUtf8("\xE4\xB8\x80"), "?");       // not in the code page
    EXPECT_EQ(cp1252::toUtf8("\xB0"), "\xC2\xB0");          // degree sign
    EXPECT_EQ(cp1252::fromUtf8("a\xFF" "b"), "a\xFF" "b");  // stray byte kept
}

TEST(Codepage, CutCountsSingleByteCharacters) {
    std::string s = "\xC2\xB5\xC2\xB5\xC2\xB5";  // three µ
    EXPECT_EQ(cp1252::cut(s, 2), "\xC2\xB5\xC2\xB5");
    EXPECT_EQ(cp1252::cut("abc", 5), "abc");
    EXPECT_EQ(cp1252::cut("abc", 0), "");
}
