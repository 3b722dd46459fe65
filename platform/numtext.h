#pragma once
// Locale-independent number texts: the regional decimal separator, parsing with the conversion errors,
// and the one fixed / general / exponent conversion that every writer uses.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace numtext {

// The regional decimal separator, read from the C locale at start (initFromLocale) or set by tests.
char decimalSeparator();
void setDecimalSeparator(char sep);
void initFromLocale();
// ";" when the decimal separator is ",", else ",".
char listSeparator();

enum class FloatFormat { General, Exponent, Fixed };

// Decimal rounding of the exact binary value (ties away from zero) to `precision` significant digits
// (1..18).
//  Fixed: exactly `digits` decimals (0..18); exponent notation (as General) when the integer part has
//         more than `precision` digits.
//  General: shortest form without trailing zeros; exponent notation when the decimal exponent is below
//         -5 or not below the precision; `digits` unused.
//  Exponent: d.ddd with precision digits, "E", sign and at least `digits` exponent digits (0..4).
// A value that rounds to zero has no "-". NaN gives "NAN", infinities "INF" and "-INF".
std::string FloatToStrF(double value, FloatFormat format, int precision, int digits,
                        char decimalSep);
std::string FloatToStrF(double value, FloatFormat format, int precision, int digits);
// General format whose exponent has at least `minExpDigits` digits ("1.5E-07"): the number text of
// the program's formatted read-outs ("%1.2g" has precision 2 and three exponent digits).
std::string GeneralText(double value, int precision, int minExpDigits);
// General format, precision 15.
std::string FloatToStr(double value);
std::string FloatToStr(double value, char decimalSep);
std::string IntToStr(long long value);

// Parse with the given decimal separator: blanks around the number are accepted; tabs, other trailing
// characters, "nan", "inf" and hex forms are refused. An out-of-range magnitude is refused too.
std::optional<double> TryStrToFloat(std::string_view text, char decimalSep);
std::optional<double> TryStrToFloat(std::string_view text);
// Throws vx::ConversionError "'%s' is not a valid floating point value".
double StrToFloat(std::string_view text, char decimalSep);
double StrToFloat(std::string_view text);
std::optional<int32_t> TryStrToInt(std::string_view text);
// Throws vx::ConversionError "'%s' is not a valid integer value".
int32_t StrToInt(std::string_view text);

// The shortest text that reads back to the same float / double ("NAN", "INF", "-INF" for non-numbers).
std::string ShortestFloat(float value);
std::string ShortestDouble(double value);
// The same with `decimalSep` in place of the ".".
std::string ShortestFloat(float value, char decimalSep);
std::string ShortestDouble(double value, char decimalSep);

// Fast parse of a plain decimal number at [first, last) with '.' or ',' as separator, for bulk readers.
// Returns the end of the number or nullptr when none starts there.
const char* ParseNumber(const char* first, const char* last, char decimalSep, double& out);

}  // namespace numtext
