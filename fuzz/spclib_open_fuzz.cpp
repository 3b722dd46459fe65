// Fuzzes the SPC image parser (what OpenFile reads) and writes every accepted document back.
#include <cstddef>
#include <cstdint>

#include "spclib/spc_file.h"
#include "spclib/spc_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static spc::TARNVIK doc;
    if (spc::OpenImage(doc, data, size) == 0) {
        for (uint32_t i = 0; i < doc.count() && i < 4; ++i) {
            std::vector<float> x, y;
            doc.ReadValues(i, &x, &y);
        }
        (void)spc::DetermineTechnique(doc);
        (void)spc::GetLogLine(doc, 3);
        (void)spc::DateValue(doc);
        if (size < 65536) (void)spc::BuildImage(doc, -1);
    }
    return 0;
}
