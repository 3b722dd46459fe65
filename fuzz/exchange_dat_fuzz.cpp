// Any text given to the DAT reader ends in complete records or a vx::Error.
#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/dat_reader.h"
#include "fuzz/exchange_fuzz_support.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzzsupport::installBackend();
    TSpectraList list;
    try {
        LoadDatText(std::string(reinterpret_cast<const char*>(data), size), "fuzz.dat", "2020-01-02 03:04:05", list);
    } catch (const vx::Error&) {
    }
    fuzzsupport::checkList(list);
    return 0;
}
