#pragma once
// The document's text services: header text fields, the log text (lookup, lines, appending), the
// technique, the names of axis types and techniques, the axis labels and the packed header date.
// Texts are single-byte (Windows-1252) bytes here; the COM layer converts them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "spclib/spc_document.h"

namespace spc {

// Header text fields, each bounded by its width (the NUL included).
struct TextField {
    std::size_t offset;
    std::size_t width;
};
inline constexpr TextField kMethodField{kMethod, 48};
inline constexpr TextField kResolutionField{kResolution, 9};
inline constexpr TextField kSourceField{kSource, 9};
// 160 bytes running on into the catalog text, 130 when the catalog holds custom labels.
TextField CommentField(const TARNVIK& doc);
std::string GetText(const TARNVIK& doc, TextField f);
// Cut to width - 1 bytes; an empty text clears the field.
void SetText(TARNVIK& doc, TextField f, std::string_view text);

// Log text.
std::optional<std::string> GetLogKey(const TARNVIK& doc, std::string_view key, std::size_t capacity = 1024);
std::optional<std::string> GetLogLine(const TARNVIK& doc, int64_t line);
// Appends "KEY=value" CR LF, or "KEY" CR LF without a value; nothing without a key.
void AppendLog(TARNVIK& doc, std::string_view key, const std::string_view* value);
// The text; with fix every LF directly followed by CR becomes CR LF.
std::string LogTextFixed(const TARNVIK& doc, bool fix);

// Names and labels.
std::string XTypeName(int32_t code);
std::string YTypeName(int32_t code);
std::string TechniqueName(int32_t code, bool shortName);
std::string WarningText(int32_t code);
std::string TechniqueLabel(const TARNVIK& doc);
int32_t DetermineTechnique(const TARNVIK& doc);
// which: 0 X, 1 Y, 2 Z.
std::string CustomLabel(const TARNVIK& doc, int which);
void SetCustomLabel(TARNVIK& doc, int which, std::string_view text);
std::string AxisLabel(const TARNVIK& doc, int which);  // 0 X, 1 Y, 2 Z, 3 W

// Date: the packed field as days since 1899-12-30 (nullopt for no or an invalid date).
std::optional<double> DateValue(const TARNVIK& doc);
// False (nothing written) when the value is no valid date.
bool SetDateValue(TARNVIK& doc, double date);
bool SetDateFields(TARNVIK& doc, int year, int month, int day, int hour, int minute);
// Years below 100: 0-29 are 20xx, 30-99 19xx.
int ExpandYear(int year);

// Locale-free decimal text to double: leading blanks and TABs, sign, digits, point, exponent (E or e).
// Returns the end of the number, or nullptr when none starts there. Huge exponents saturate.
const char* TextToDouble(const char* first, const char* last, double& out);

}  // namespace spc
