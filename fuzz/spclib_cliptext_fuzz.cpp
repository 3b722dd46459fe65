// Fuzzes the reader of the SPC clipboard text and writes the result back as text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "spclib/spc_clip_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static spc::TARNVIK doc;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (spc::OpenSubfileText(doc, text) == 0) (void)spc::SubfileText(doc);
    return 0;
}
