// Any byte string given to the JWS reader ends in one complete spectrum, none, or an error: flat files,
// compound files through their directory (the container read by libgsf) and by the data pattern.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "exchange_fuzz_support.h"
#include "formats/jws_reader.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzzsupport::installBackend();
    TSpectrumRecord r;
    try {
        ReadJwsBytes(r, std::string_view(reinterpret_cast<const char*>(data), size), "/fuzz/in.jws");
    } catch (const vx::Error&) {
    }
    if (!r.Values.empty() && !r.IsComplete()) __builtin_trap();
    // Every value stands for four bytes of the file.
    if (r.Values.size() > size / 4) __builtin_trap();
    return 0;
}
