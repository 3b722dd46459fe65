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

// Lone surrogates cannot be written in UTF-8; each becomes U+FFFD, a proper pair one character.
TEST(Unicode, Utf16ToUtf8ReplacesLoneSurrogates) {
    const std::string fffd = "\xEF\xBF\xBD";
    struct Case {
        std::u16string in;
        std::string out;
    } cases[] = {
        {u"a\u00B5\u20AC", "a\xC2\xB5\xE2\x82\xAC"},
        {std::u16string{0xD83D, 0xDE00}, "\xF0\x9F\x98\x80"},
        {std::u16string{0xD83D}, fffd},                         // high at the end
        {std::u16string{0xD83D, u'x'}, fffd + "x"},             // high before a non-surrogate
        {std::u16string{0xDE00, 0xD83D}, fffd + fffd},          // low before high: no pair
        {std::u16string{0xD83D, 0xD83D, 0xDE00}, fffd + "\xF0\x9F\x98\x80"},
        {std::u16string{0xDC00}, fffd},
        {u"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(unicode::utf16ToUtf8(c.in), c.out);

    // Bytes in either order give the same text; an odd last byte is dropped.
    EXPECT_EQ(unicode::utf16BytesToUtf8(std::string("\x3D\xD8\x00\xDE" "A\0\x00\xD8" "Z", 9), false),
              "\xF0\x9F\x98\x80" "A" + fffd);
    EXPECT_EQ(unicode::utf16BytesToUtf8(std::string("\xD8\x3D\xDE\x00\0A\xD8\x00", 8), true),
              "\xF0\x9F\x98\x80" "A" + fffd);

    std::string s;
    unicode::appendUtf8(s, 0xD800);
    unicode::appendUtf8(s, 0x110000);
    unicode::appendUtf8(s, 0x10FFFF);
    EXPECT_EQ(s, fffd + fffd + "\xF4\x8F\xBF\xBF");
}
