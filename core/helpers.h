#pragma once
// The shared small routines: number tests and conversions, text clean-up, file loading, waiting,
// opening documents, sorting lists of numbers.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_names.h"  // FolderOf, NameWithoutExtension, ChangeFileExt, FileExists, ...

bool IsNanDouble(double d);
void SortPairAscending(double& a, double& b);
void SortPairAscending(int32_t& a, int32_t& b);
// exp(exponent * ln base) in extended precision; base 0 with a positive exponent gives 0; any other
// base <= 0 raises "Invalid floating point operation".
long double PowerReal(long double base, long double exponent);
// x^n by repeated multiplication; 1 for n = 0; 1/x^|n| for negative n.
long double IntPowerReal(long double x, int32_t n);
// ln x / ln 10; x <= 0 raises "Invalid floating point operation".
long double Log10Real(long double x);
// dividend / divisor, 0 when the divisor is 0.
long double SafeDivide(long double divisor, long double dividend);

// Not empty after trimming blanks, digits only, one leading sign, and within the 32-bit range.
bool IsIntegerText(const std::string& s);
// Digits, one decimal separator, a sign first or right after the last E/e.
bool IsRealText(const std::string& s);
// With "," as separator the first "." becomes ","; with "." the first "," becomes ".".
void FixDecimalSeparator(std::string& s);
void CommaToPoint(std::string& s);
// Dialog rule: every "." becomes the regional decimal separator.
std::string DotsToDecimalSeparator(std::string s);

void StripLeadingBlanks(std::string& s);
void StripTrailingBlanks(std::string& s);
std::string Trim(const std::string& s);
int32_t CountChar(char c, const std::string& s);
int32_t CountSubstring(std::string_view sub, std::string_view s);  // an empty sub never matches
std::string ReplaceInvalidChars(const std::string& s);
std::string ControlCharsToBlanks(const std::string& s);
// Case-sensitive substring test in which an empty search text never matches.
bool ContainsText(const std::string& s, const std::string& sub);
std::string UpperAscii(std::string s);
std::string LowerAscii(std::string s);

// Modification time of the file as a date-time value (days since 1899-12-30), 0 when absent.
double FileDateTimeOf(const std::string& path);
// Whole file as UTF-8 text; FF FE / FE FF files are read as UTF-16 (LE / BE) after the mark,
// everything else as Windows-1252. Throws vx::FileError when the file cannot be read.
std::string LoadFileText(const std::string& path);
// Raw bytes of a file; throws vx::FileError when it cannot be read.
std::string LoadFileBytes(const std::string& path);
// Lines of a file (Windows-1252 converted to UTF-8); a line ends at CR, LF or CR LF.
std::vector<std::string> LoadStringsShared(const std::string& path);
std::vector<std::string> SplitLines(const std::string& text);
// A fixed-width text field of a binary file: the n bytes at `offset` of `bytes`, up to the first zero
// byte, appended to `text` as Windows-1252 characters. A field whose first byte is zero is empty. Raises
// "Stream read error" when the field does not lie inside the bytes.
void ReadBinaryField(std::string& text, std::string_view bytes, std::size_t offset, std::size_t n);

// Waits ms milliseconds while the program keeps processing its events. The app installs the handler;
// without one the wait simply sleeps.
void DelayWithMessages(int32_t ms);
void SetDelayHandler(std::function<void(int32_t)> handler);

// Opens a help page "html/<file>#<anchor>" below the program folder (or any path) through the ui
// layer; false when it could not be opened. Callers show "Help files could not be opened!".
bool OpenHtmlPage(const std::string& path);
// Opens a document (a path to an existing file) or a web address with the desktop's opener; false when
// that failed and for a path with "#".
bool ShellOpenPath(const std::string& path);

void HeapSortDoubles(std::vector<double>& list);
void HeapSortDoublesWith(std::vector<double>& list, std::vector<double>& companion);

// Sorting of file names: ignoring case, case-sensitive tie-break; exact duplicates dropped.
void SortFileNames(std::vector<std::string>& names);
