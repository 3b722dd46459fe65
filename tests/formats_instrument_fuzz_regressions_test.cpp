// Instrument files that once made a reader, or a library under it, misbehave. Each is rebuilt here from
// the pattern of its bytes; the reader must give its normal result, and in the sanitizer build nothing
// of ours may leak.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compound_file_builder.h"
#include "formats/jws_reader.h"
#include "platform/byte_order.h"
#include "platform/ui.h"

namespace {

std::string floatBytes(const std::vector<float>& v) {
    std::string s(4 * v.size(), '\0');
    for (std::size_t i = 0; i < v.size(); ++i) byteorder::putF32LE(reinterpret_cast<uint8_t*>(s.data()) + 4 * i, v[i]);
    return s;
}

// The data header stream: the pattern 3, 1, 0, 1, 1, then count, first x, last x and step (nm,
// absorbance).
std::string dataInfo(uint32_t count, double first, double last) {
    std::string s(96, '\0');
    auto* d = reinterpret_cast<uint8_t*>(s.data());
    const uint32_t pattern[] = {3, 1, 0, 1, 1};
    for (int i = 0; i < 5; ++i) byteorder::putU32LE(d + 4 * i, pattern[i]);
    byteorder::putU32LE(d + 20, count);
    byteorder::putF64LE(d + 24, first);
    byteorder::putF64LE(d + 32, last);
    byteorder::putF64LE(d + 40, 1.0);
    byteorder::putU32LE(d + 48, 0x10000103);
    byteorder::putU32LE(d + 52, 3);
    byteorder::putU32LE(d + 60, 3);
    return s;
}

}  // namespace

// A compound file whose root entry links to siblings, as no sound root does: the container library
// reads them into entries it never frees (a leak of its own, excused in tests/lsan.supp). The streams
// reached from the root's children are still read.
TEST(InstrumentFuzzRegressions, JwsRootEntryWithSiblings) {
    ui::ScopedScriptedBackend ui;
    const std::vector<cfb_build::Stream> streams = {{"Header", std::string(1024, '\x11')},
                                                    {"Y-Data", floatBytes({0.5f, 0.25f, 0.125f})},
                                                    {"DataInfo", dataInfo(3, 400, 402)},
                                                    {"MeasInfo", std::string(8, '\x01')}};
    std::string file = cfb_build::CompoundFile(streams);
    auto* bytes = reinterpret_cast<uint8_t*>(file.data());
    const uint32_t directory = byteorder::getU32LE(bytes + 48);
    uint8_t* root = bytes + 512 * (directory + 1);
    byteorder::putU32LE(root + 68, 4);  // left: MeasInfo, also the right sibling of DataInfo
    byteorder::putU32LE(root + 72, 4);
    TSpectrumRecord r;
    ReadJwsBytes(r, file, "/fuzz/root.jws");
    EXPECT_EQ(r.Values, (std::vector<double>{0.5, 0.25, 0.125}));
    EXPECT_EQ(r.FirstX, 400.0);
    EXPECT_TRUE(ui->messages.empty());
}
