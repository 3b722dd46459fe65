// Any byte string given to the own-format reader ends in complete spectra or the stream read error.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/rvx.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    TSpectraList list;
    try {
        LoadRvxBytes(std::string_view(reinterpret_cast<const char*>(data), size), 40000.0, list);
    } catch (const vx::Error&) {
    }
    for (const auto& r : list)
        if (r->PointCount() < 2 || r->StepX == 0.0) __builtin_trap();
    return 0;
}
