#include "errors.h"

#include <cstring>

namespace vx {

std::string ErrorText(int code) {
    switch (code) {
    case kErrNamedPipe: return "Is a named pipe";
    case kErrDevice: return "Is a device";
    case kErrSocket: return "Is a socket";
    default: return std::strerror(code);
    }
}

std::string CannotOpenText(const std::string& path, int code, FileNaming naming) {
    std::string text = naming == FileNaming::Quoted ? "Cannot open file \"" + path + "\"." : "Cannot open file " + path;
    if (code == 0) return text;
    return text + (naming == FileNaming::Quoted ? " " : ". ") + ErrorText(code);
}

void throwCannotOpen(const std::string& path, int code, FileNaming naming) {
    throw FileError(CannotOpenText(path, code, naming));
}

ListIndexError::ListIndexError(long long index)
    : Error("List index out of bounds (" + std::to_string(index) + ")") {}

void throwNotFloat(const std::string& text) {
    throw ConversionError("'" + text + "' is not a valid floating point value");
}
void throwNotInteger(const std::string& text) {
    throw ConversionError("'" + text + "' is not a valid integer value");
}
void throwInvalidFloatOp() { throw FloatError(kInvalidFloatOp); }
void throwDivByZero() { throw FloatError(kDivByZero); }
void throwStreamRead() { throw FileError(kStreamRead); }

}  // namespace vx
