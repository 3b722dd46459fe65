// The ProcSpec reader on any bytes: an odd first byte hands the rest over as the archive, an even one
// as the member's XML text (the archive library itself is not instrumented, so the scan of the member
// is reached directly too).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/procspectrum_archive.h"
#include "instruments_fuzz_check.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    TSpectrumRecord r;
    try {
        if (data[0] & 1)
            ReadSpecProcSpecBytes(r, rest, "fuzz.procspec", "");
        else
            ReadProcSpecXml(r, rest, "fuzz.procspec", "");
    } catch (const vx::Error&) {
        return 0;
    }
    CheckReaderRecord(r);
    return 0;
}
