#pragma once
// Large instrument files of about 100 MB for the read benchmarks (in-process and whole-process): a
// ProcSpec archive, JWS files of both containers, PerkinElmer SP files of both layouts, a DU scan and a
// WinSpec SPE file of many frames; with each, where its values lie (the runs the floors convert).
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/byte_order.h"
#include "reader_floors.h"
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

// The values of the JWS compound sample: its one large stream fills the file's last sectors.
inline bench_floors::Runs JwsCompoundRuns(std::size_t fileBytes, uint32_t count = 25'000'000, unsigned sector = 512) {
    const std::size_t streamBytes = (std::size_t{4} * count + sector - 1) / sector * sector;
    return {fileBytes - streamBytes, 1, count, 0};
}
inline bench_floors::Runs JwsFlatRuns(uint32_t count = 25'000'000) { return {1856, 1, count, 0}; }

constexpr int kSpValues = 25'000'000;  // 100 MB of 4-byte values

// A PerkinElmer SP file of the old binary header: 32-bit integer values from offset 512.
inline std::string OldSp() {
    using namespace byteorder;
    std::string b(512 + std::size_t{4} * kSpValues, '\0');
    auto* d = reinterpret_cast<uint8_t*>(b.data());
    putI32LE(d + 10, kSpValues);
    putI32LE(d + 14, 20000 + (kSpValues - 1));
    putI32LE(d + 18, 20000);
    putI16LE(d + 22, 1);
    d[25] = 1;
    putI32LE(d + 28, 100000);
    putU16LE(d + 80, 502);
    std::memcpy(d + 150, "NM", 2);
    for (int i = 0; i < kSpValues; ++i) putI32LE(d + 512 + 4 * std::size_t(i), i % 150000);
    return b;
}
inline bench_floors::Runs OldSpRuns() { return {512, 1, kSpValues, 0}; }

// A PerkinElmer SP file of the block layout: 12.5 million doubles in the data block, which ends the
// file.
inline std::string BlockSp() {
    using namespace byteorder;
    const int n = kSpValues / 2;
    std::string b = "PEPE" + std::string(40, ' ');
    auto block = [&](uint16_t tag, std::size_t len) {
        const std::size_t at = b.size();
        b.resize(at + 6 + len, '\0');
        auto* d = reinterpret_cast<uint8_t*>(b.data() + at);
        putU16LE(d, tag);
        putI32LE(d + 2, static_cast<int32_t>(len));
        return d + 6;
    };
    uint8_t* p = block(0x8B72, 18);
    putF64LE(p + 2, 4000);
    putF64LE(p + 10, 4000 - 0.0002 * (n - 1));
    putF64LE(block(0x8B74, 10) + 2, 0.0002);
    putI32LE(block(0x8B75, 6) + 2, n);
    std::memcpy(block(0x8B77, 8) + 4, "CM-1", 4);
    std::memcpy(block(0x8B78, 5) + 4, "A", 1);
    p = block(0x8B7C, 6 + std::size_t{8} * n) + 6;
    for (int i = 0; i < n; ++i) putF64LE(p + 8 * std::size_t(i), 0.5 + 1e-7 * i);
    return b;
}
inline bench_floors::Runs BlockSpRuns(std::size_t fileBytes) {
    const std::size_t n = kSpValues / 2;
    return {fileBytes - 8 * n, 1, n, 0};
}

// A DU scan of 25 million big-endian single values. Single-precision x cannot say exactly where such a
// scan ends: a few values more than the range asks for stand behind the others.
inline std::string Scan() {
    using namespace byteorder;
    std::string b(59 + std::size_t{4} * (kSpValues + 16), '\0');
    auto* d = reinterpret_cast<uint8_t*>(b.data());
    std::memcpy(d, "S_SCAN", 6);
    putF32BE(d + 38, 190.0f);
    putF32BE(d + 42, 190.0f + 0.5f * (kSpValues - 1));
    putF32BE(d + 51, 0.5f);
    for (int i = 0; i < kSpValues; ++i) putF32BE(d + 59 + 4 * std::size_t(i), 0.001f * float(i % 3000));
    return b;
}
inline bench_floors::Runs ScanRuns() { return {59, 1, kSpValues, 0}; }

// A WinSpec SPE file of 373 frames of 100 stripes of 1340 pixels, 16-bit, on a linear wavelength
// calibration: 100 MB, a record per stripe.
constexpr int kSpePixels = 1340, kSpeStripes = 100, kSpeFrames = 373;
inline std::string SpeFrames() {
    using namespace byteorder;
    std::string b(4100 + std::size_t{2} * kSpePixels * kSpeStripes * kSpeFrames, '\0');
    auto* d = reinterpret_cast<uint8_t*>(b.data());
    putF32LE(d + 10, 0.25f);
    putU16LE(d + 42, kSpePixels);
    putI16LE(d + 108, 3);
    putU16LE(d + 656, kSpeStripes);
    putU32LE(d + 1446, kSpeFrames);
    putU16LE(d + 1512, 1);
    putU16LE(d + 1516, 1);
    putU32LE(d + 2996, 0x01234567);
    std::memcpy(d + 3018, "Wavelength", 10);
    d[3101] = 1;
    putF64LE(d + 3263, 500);
    putF64LE(d + 3271, 0.05);
    for (std::size_t i = 4100; i + 1 < b.size(); i += 2) putU16LE(d + i, static_cast<uint16_t>(i * 7));
    return b;
}
inline bench_floors::Runs SpeRuns() { return {4100, std::size_t{kSpeFrames} * kSpeStripes, kSpePixels, 0}; }

}  // namespace instrument_samples
