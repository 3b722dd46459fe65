// Any text given to the AvaSoft, RRUFF, WLS, DSP and GGG readers (the first byte chooses which) ends in
// a complete spectrum, none, or one of the program's errors.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "exchange_fuzz_support.h"
#include "formats/avasoft_reader.h"
#include "formats/rruff_wls_dsp_ggg_readers.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    fuzzsupport::installBackend();
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    TSpectrumRecord r;
    try {
        switch (data[0] % 6) {
        case 0: ReadAvaSoftBytes(r, text, false, "/fuzz/in.ttt"); break;
        case 1: ReadAvaSoftBytes(r, text, false, "/fuzz/in.tat"); break;
        case 2: ReadSmallTextBytes(SmallTextFormat::Rruff, r, text, false, "/fuzz/in.rruff"); break;
        case 3: ReadSmallTextBytes(SmallTextFormat::Wls, r, text, false, "/fuzz/in.wls"); break;
        case 4: ReadSmallTextBytes(SmallTextFormat::Dsp, r, text, false, "/fuzz/in.dsp"); break;
        default: ReadSmallTextBytes(SmallTextFormat::Ggg, r, text, false, "/fuzz/in.ggg"); break;
        }
    } catch (const vx::Error&) {
    }
    if (!r.Values.empty() && !r.IsComplete()) __builtin_trap();
    // Every value stands for at least two bytes of the text (a digit and a line end).
    if (r.Values.size() > size / 2 + 1) __builtin_trap();
    return 0;
}
