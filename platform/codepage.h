#pragma once
// Windows-1252 <-> UTF-8. Text is UTF-8 inside the program and Windows-1252 in files and record images.
#include <cstddef>
#include <string>
#include <string_view>

namespace cp1252 {

// Each byte becomes its UTF-8 character (the five undefined bytes map to U+FFFD-free C1 controls).
std::string toUtf8(std::string_view bytes);
// Each character becomes one byte; characters outside the code page become '?'. Invalid UTF-8 bytes
// are taken as Windows-1252 bytes themselves, so no byte is lost.
std::string fromUtf8(std::string_view utf8);
// Number of single-byte characters the text takes in Windows-1252.
std::size_t length(std::string_view utf8);
// The text cut to at most maxChars single-byte characters, never inside a UTF-8 sequence.
std::string cut(std::string_view utf8, std::size_t maxChars);
// True when every byte is ASCII (no conversion needed).
bool isAscii(std::string_view s);

}  // namespace cp1252

namespace unicode {

// Appends the UTF-8 form of one code point (1 to 4 bytes); a surrogate or a value beyond U+10FFFF,
// which UTF-8 cannot carry, becomes U+FFFD.
void appendUtf8(std::string& out, char32_t c);
// UTF-16 text as UTF-8: a high surrogate followed by a low one is one character, every other
// surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view s);
// The same for UTF-16 code units stored as bytes, big-endian when `bigEndian`; an odd last byte is ignored.
std::string utf16BytesToUtf8(std::string_view bytes, bool bigEndian);

}  // namespace unicode
