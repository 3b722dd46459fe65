// Any byte string given to the SPE reader ends in complete records, none, or the stream error; never
// more values than the file holds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "exchange_fuzz_support.h"
#include "formats/spe_reader.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzzsupport::installBackend();
    TSpectraList list;
    try {
        ReadSpeBytes(std::string_view(reinterpret_cast<const char*>(data), size), "/fuzz/in.spe", "", list);
    } catch (const vx::Error&) {
    }
    fuzzsupport::checkList(list);
    std::size_t values = 0;
    for (const auto& r : list) values += r->Values.size();
    if (values > size / 2) __builtin_trap();
    return 0;
}
