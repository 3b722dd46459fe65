// Any bytes given to the DU scan reader end in a complete record, a record without points, or one of
// its errors.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/beckman_scn.h"
#include "instruments_fuzz_check.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    TSpectrumRecord r;
    try {
        ReadSpecBeckmanScnBytes(r, std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.scn", "");
    } catch (const vx::Error&) {
        return 0;
    }
    CheckReaderRecord(r);
    return 0;
}
