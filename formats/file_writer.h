#pragma once
// Writes a file without ever destroying the old one first: the content goes to a temporary file beside
// the target, its length is checked, and only then is it renamed over the target.
#include <string>
#include <string_view>

// Throws vx::FileError with a clear message when the file cannot be written; the old file then stays.
void WriteFileAtomically(const std::string& path, std::string_view bytes);
// Text in the program's UTF-8 written as Windows-1252 (line ends as given).
void WriteTextFileAnsi(const std::string& path, std::string_view utf8Text);
