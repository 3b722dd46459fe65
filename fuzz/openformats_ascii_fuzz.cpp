// Any text given to the two-column reader ends in a complete record or one of its errors.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/ascii_reader.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    TSpectrumRecord r;
    try {
        ReadSpecAsciiBytes(r, std::string_view(reinterpret_cast<const char*>(data), size), false, "fuzz.fak", nullptr);
    } catch (const vx::Error&) {
        return 0;
    }
    if (!r.IsComplete()) __builtin_trap();
    return 0;
}
