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

[[noreturn]] void throwNotFloat(const std::string& text);
[[noreturn]] void throwNotInteger(const std::string& text);
[[noreturn]] void throwInvalidFloatOp();
[[noreturn]] void throwDivByZero();
[[noreturn]] void throwStreamRead();

inline constexpr const char* kInvalidFloatOp = "Invalid floating point operation";
inline constexpr const char* kDivByZero = "Floating point division by zero";
inline constexpr const char* kStreamRead = "Stream read error";

}  // namespace vx
