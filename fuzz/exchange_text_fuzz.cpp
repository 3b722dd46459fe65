// Any text given to the delimited-text reader, as a file's content (mode 0) and as pasted clipboard
// text (mode 1), ends in complete records or a vx::Error. When the reader asks for the layout, both
// answers are tried.
#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/text_spectra.h"
#include "fuzz/exchange_fuzz_support.h"
#include "platform/errors.h"

namespace {

void runOnce(const std::string& text, int mode) {
    TSpectraList list;
    try {
        LoadTextSpectraData(text, mode == 0 ? "fuzz.csv" : "", mode, "2020-01-02 03:04:05", list);
    } catch (const vx::Error&) {
    }
    fuzzsupport::checkList(list);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    auto& ui = fuzzsupport::installBackend();
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (int mode = 0; mode < 2; ++mode) {
        ui.choice = "0";
        ui.asked = false;
        runOnce(text, mode);
        if (ui.asked) {
            ui.choice = "1";
            runOnce(text, mode);
        }
    }
    return 0;
}
