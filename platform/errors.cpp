#include "errors.h"

namespace vx {

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
