// Any bytes given to the PerkinElmer reader (its four layouts are told apart by content) end in a
// complete record, a record without points, or one of the reader's errors.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/perkinelmer_sp.h"
#include "instruments_fuzz_check.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    TSpectrumRecord r;
    try {
        ReadSpecPerkinElmerBytes(r, std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.sp", "");
    } catch (const vx::Error&) {
        return 0;
    }
    CheckReaderRecord(r);
    return 0;
}
