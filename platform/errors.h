#pragma once
// The one small hierarchy of errors the program raises. The app's top-level handler shows what() in a
// message box; readers and tools throw, never show.
#include <stdexcept>
#include <string>

namespace vx {

// Base of every error the program raises on purpose.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "'%s' is not a valid floating point value" / "'%s' is not a valid integer value".
class ConversionError : public Error {
public:
    using Error::Error;
};

// "List index out of bounds (%d)".
class ListIndexError : public Error {
public:
    explicit ListIndexError(long long index);
};

// "Invalid floating point operation", "Floating point division by zero", "Floating point overflow".
class FloatError : public Error {
public:
    using Error::Error;
};

// A file that cannot be read or written ("Stream read error", a reader's own message, ...).
class FileError : public Error {
public:
    using Error::Error;
};

// The user's cancel in a query that ends the command.
class Cancelled : public Error {
public:
    Cancelled() : Error("Operation aborted") {}
};

// Codes beside the errno values for a file that was opened but is of a kind no file layer reads or
// replaces: the system has no error number of its own for these. A folder is EISDIR.
inline constexpr int kErrNamedPipe = 4001;
inline constexpr int kErrDevice = 4002;
inline constexpr int kErrSocket = 4003;

// The text of an errno value or of one of the codes above ("Is a directory", "Is a named pipe").
std::string ErrorText(int code);

// How "Cannot open file" names the file: in quotes with a closing full stop, or bare as the SPC and
// JWS readers give it ("Cannot open file %s").
enum class FileNaming { Quoted, Bare };
// "Cannot open file "<path>". <reason>" (Bare: "Cannot open file <path>. <reason>"); no reason for code 0.
std::string CannotOpenText(const std::string& path, int code, FileNaming naming = FileNaming::Quoted);
[[noreturn]] void throwCannotOpen(const std::string& path, int code, FileNaming naming = FileNaming::Quoted);

[[noreturn]] void throwNotFloat(const std::string& text);
[[noreturn]] void throwNotInteger(const std::string& text);
[[noreturn]] void throwInvalidFloatOp();
[[noreturn]] void throwDivByZero();
[[noreturn]] void throwStreamRead();

inline constexpr const char* kInvalidFloatOp = "Invalid floating point operation";
inline constexpr const char* kDivByZero = "Floating point division by zero";
inline constexpr const char* kStreamRead = "Stream read error";

}  // namespace vx
