#pragma once
// Large instrument files of about 100 MB for the read benchmarks (in-process and whole-process): a
// ProcSpec archive and JWS files of both containers.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/byte_order.h"
#include "tests/compound_file_builder.h"
#include "tests/instrument_file_builder.h"

namespace instrument_samples {

// A stored (uncompressed) archive of one ProcSpec member of about 100 MB, `n` wavelengths and as many
// counts (a compressed one would hold more than the 256 MiB a member may have).
inline std::string ProcSpecArchive(int n = 1'800'000) {
    std::string xml = "<?xml version=\"1.0\"?>\n<processedSpectrum>\n  <channelWavelengths>\n";
    xml.reserve(std::size_t(n) * 60 + 200);
    char line[64];
    for (int i = 0; i < n; ++i)
        xml.append(line, std::size_t(std::snprintf(line, sizeof line, "    <double>%.6f</double>\n", 200 + 0.0004 * i)));
    xml += "  </channelWavelengths>\n  <yUnits reference=\"../CountsIntensity\"/>\n  <pixelValues>\n";
    for (int i = 0; i < n; ++i)
        xml.append(line, std::size_t(std::snprintf(line, sizeof line, "    <double>%.4f</double>\n", 1000 + 0.001 * (i % 100000))));
    xml += "  </pixelValues>\n</processedSpectrum>\n";
    return fmt_test::zipArchive({{"ps_1.xml", std::move(xml), false}});
}

// The value i of the JWS samples: an absorbance spectrum.
inline float JwsValue(std::size_t i) { return 0.25f + 1e-8f * float(i % 1'000'000); }

// The data header of a JWS file: the pattern, then count, first and last x, step, axis descriptor
// (wavenumbers), absorbance, x code.
inline std::string JwsDataHeader(uint32_t count) {
    using namespace byteorder;
    std::string b(96, '\0');
    auto* d = reinterpret_cast<uint8_t*>(b.data());
    const uint32_t pattern[] = {3, 1, 0, 1, 1};
    for (int k = 0; k < 5; ++k) putU32LE(d + 4 * k, pattern[k]);
    putU32LE(d + 20, count);
    putF64LE(d + 24, 400.0);
    putF64LE(d + 32, 400.0 + 0.0002 * (count - 1));
    putF64LE(d + 40, 0.0002);
    putU32LE(d + 48, 0x10000100);
    putU32LE(d + 52, 3);
    return b;
}

// A compound JWS file of `count` values (25 million make 100 MB) in sectors of `sector` bytes (512 or
// 4096): the streams DataInfo and Y-Data.
inline std::string JwsCompound(uint32_t count = 25'000'000, unsigned sector = 512) {
    std::string values(std::size_t{4} * count, '\0');
    for (std::size_t i = 0; i < count; ++i) byteorder::putF32LE(reinterpret_cast<uint8_t*>(values.data()) + 4 * i, JwsValue(i));
    cfb_build::Options o;
    o.sectorBytes = sector;
    return cfb_build::CompoundFile({{"DataInfo", JwsDataHeader(count)}, {"Y-Data", std::move(values)}}, o);
}

// A flat JWS file (variant A) of `count` values from offset 1856, as the instruments write them.
inline std::string JwsFlat(uint32_t count = 25'000'000) {
    using namespace byteorder;
    std::string b(1856 + std::size_t{4} * count, '\0');
    auto* d = reinterpret_cast<uint8_t*>(b.data());
    putU32LE(d, 0x20537E4C);
    std::memcpy(d + 32, "R2", 2);
    const std::string header = JwsDataHeader(count);
    std::memcpy(d + 132, header.data() + 20, 36);  // count to y code
    for (std::size_t i = 0; i < count; ++i) putF32LE(d + 1856 + 4 * i, JwsValue(i));
    return b;
}

}  // namespace instrument_samples
