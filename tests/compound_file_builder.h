#pragma once
// Writes small and large compound files (structured storage) for the tests and benchmarks of the
// readers that take them: a header, the allocation tables (with the extension sectors a large file
// needs), a directory of streams at the top level, the short-stream area for streams below 4096 bytes,
// and the other streams in sectors of their own. Version 3 for 512-byte sectors, 4 for 4096.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/byte_order.h"

namespace cfb_build {

struct Stream {
    std::string name;  // ASCII
    std::string bytes;
};

struct Options {
    unsigned sectorBytes = 512;  // 512 or 4096
    // The sectors of each large stream chained from the last of its range to the first, so that no two
    // follow each other in the file (a reader must follow the chain, not the file order).
    bool backwardChains = false;
};

namespace detail {

constexpr uint32_t kFree = 0xFFFFFFFF, kEnd = 0xFFFFFFFE, kFatSector = 0xFFFFFFFD, kDifatSector = 0xFFFFFFFC;
constexpr uint32_t kNoEntry = 0xFFFFFFFF;
constexpr std::size_t kMiniCutoff = 4096, kMini = 64;

inline std::size_t sectorsFor(std::size_t bytes, std::size_t unit) { return (bytes + unit - 1) / unit; }

}  // namespace detail

inline std::string CompoundFile(const std::vector<Stream>& streams, const Options& o = {}) {
    using namespace detail;
    using namespace byteorder;
    const std::size_t S = o.sectorBytes;
    const std::size_t perSector = S / 4;

    // The short streams, one after the other in 64-byte units, and the large ones.
    std::string mini;
    std::vector<uint32_t> miniFat;
    std::vector<uint32_t> start(streams.size(), kEnd);
    std::size_t bigSectors = 0;
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const std::string& b = streams[i].bytes;
        if (b.empty()) continue;
        if (b.size() < kMiniCutoff) {
            const std::size_t first = miniFat.size(), n = sectorsFor(b.size(), kMini);
            start[i] = static_cast<uint32_t>(first);
            for (std::size_t k = 0; k < n; ++k)
                miniFat.push_back(k + 1 < n ? static_cast<uint32_t>(first + k + 1) : kEnd);
            mini += b;
            mini.resize((first + n) * kMini, '\0');
        } else {
            bigSectors += sectorsFor(b.size(), S);
        }
    }
    const std::size_t dirSectors = sectorsFor((streams.size() + 1) * 128, S);
    const std::size_t miniFatSectors = sectorsFor(miniFat.size() * 4, S);
    const std::size_t miniSectors = sectorsFor(mini.size(), S);
    const std::size_t rest = dirSectors + miniFatSectors + miniSectors + bigSectors;
    // Allocation-table sectors cover every sector, themselves and their extension sectors included.
    std::size_t fatSectors = 1, difatSectors = 0;
    for (;;) {
        difatSectors = fatSectors > 109 ? sectorsFor(fatSectors - 109, perSector - 1) : 0;
        const std::size_t need = sectorsFor(difatSectors + fatSectors + rest, perSector);
        if (need <= fatSectors) break;
        fatSectors = need;
    }
    const std::size_t total = difatSectors + fatSectors + rest;
    std::vector<uint32_t> fat(fatSectors * perSector, kFree);
    std::size_t next = 0;
    auto chain = [&](std::size_t n) {  // n sectors in file order, chained forward; the first
        const std::size_t first = next;
        for (std::size_t k = 0; k < n; ++k) fat[first + k] = k + 1 < n ? static_cast<uint32_t>(first + k + 1) : kEnd;
        next += n;
        return static_cast<uint32_t>(first);
    };
    for (std::size_t k = 0; k < difatSectors; ++k) fat[next++] = kDifatSector;
    const std::size_t firstFat = next;
    for (std::size_t k = 0; k < fatSectors; ++k) fat[next++] = kFatSector;
    const uint32_t dirStart = chain(dirSectors);
    const uint32_t miniFatStart = miniFatSectors ? chain(miniFatSectors) : kEnd;
    const uint32_t miniStart = miniSectors ? chain(miniSectors) : kEnd;
    std::vector<std::size_t> bigAt(streams.size(), 0);
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const std::string& b = streams[i].bytes;
        if (b.size() < kMiniCutoff) continue;
        const std::size_t n = sectorsFor(b.size(), S);
        bigAt[i] = next;
        if (!o.backwardChains) {
            start[i] = chain(n);
            continue;
        }
        for (std::size_t k = 0; k < n; ++k)
            fat[next + n - 1 - k] = k + 1 < n ? static_cast<uint32_t>(next + n - 2 - k) : kEnd;
        start[i] = static_cast<uint32_t>(next + n - 1);
        next += n;
    }

    std::string out((total + 1) * S, '\0');
    auto* d = reinterpret_cast<uint8_t*>(out.data());
    auto sector = [&](std::size_t n) { return d + (n + 1) * S; };
    // Header.
    const uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    for (int k = 0; k < 8; ++k) d[k] = signature[k];
    putU16LE(d + 24, 0x3E);
    putU16LE(d + 26, S == 512 ? 3 : 4);
    putU16LE(d + 28, 0xFFFE);
    putU16LE(d + 30, S == 512 ? 9 : 12);
    putU16LE(d + 32, 6);
    putU32LE(d + 40, S == 512 ? 0 : static_cast<uint32_t>(dirSectors));
    putU32LE(d + 44, static_cast<uint32_t>(fatSectors));
    putU32LE(d + 48, dirStart);
    putU32LE(d + 56, static_cast<uint32_t>(kMiniCutoff));
    putU32LE(d + 60, miniFatStart);
    putU32LE(d + 64, static_cast<uint32_t>(miniFatSectors));
    putU32LE(d + 68, difatSectors ? 0u : kEnd);
    putU32LE(d + 72, static_cast<uint32_t>(difatSectors));
    for (std::size_t k = 0; k < 109; ++k)
        putU32LE(d + 76 + 4 * k, k < fatSectors ? static_cast<uint32_t>(firstFat + k) : kFree);
    // Extension sectors: the allocation-table sectors beyond the header's 109, then the next one.
    for (std::size_t s = 0, k = 109; s < difatSectors; ++s) {
        uint8_t* p = sector(s);
        for (std::size_t e = 0; e + 1 < perSector; ++e, ++k)
            putU32LE(p + 4 * e, k < fatSectors ? static_cast<uint32_t>(firstFat + k) : kFree);
        putU32LE(p + 4 * (perSector - 1), s + 1 < difatSectors ? static_cast<uint32_t>(s + 1) : kEnd);
    }
    for (std::size_t k = 0; k < fat.size(); ++k) putU32LE(sector(firstFat) + 4 * k, fat[k]);
    // Directory: the root, then each stream as the right sibling of the one before.
    auto entry = [&](std::size_t index, const std::string& name, uint8_t type, uint32_t right, uint32_t child,
                     uint32_t first, uint64_t size) {
        uint8_t* e = sector(dirStart) + 128 * index;
        for (std::size_t k = 0; k < name.size() && k < 31; ++k) putU16LE(e + 2 * k, static_cast<uint8_t>(name[k]));
        putU16LE(e + 64, static_cast<uint16_t>(2 * (std::min<std::size_t>(name.size(), 31) + 1)));
        e[66] = type;
        e[67] = 1;  // black
        putU32LE(e + 68, kNoEntry);
        putU32LE(e + 72, right);
        putU32LE(e + 76, child);
        putU32LE(e + 116, first);
        putU32LE(e + 120, static_cast<uint32_t>(size));
        putU32LE(e + 124, static_cast<uint32_t>(size >> 32));
    };
    entry(0, "Root Entry", 5, kNoEntry, streams.empty() ? kNoEntry : 1, miniStart, mini.size());
    for (std::size_t i = 0; i < streams.size(); ++i)
        entry(i + 1, streams[i].name, 2, i + 1 < streams.size() ? static_cast<uint32_t>(i + 2) : kNoEntry, kNoEntry,
              streams[i].bytes.empty() ? kEnd : start[i], streams[i].bytes.size());
    for (std::size_t k = 0; k < miniFatSectors * perSector; ++k)
        putU32LE(sector(miniFatStart) + 4 * k, k < miniFat.size() ? miniFat[k] : kFree);
    if (miniSectors) out.replace((miniStart + 1) * S, mini.size(), mini);
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const std::string& b = streams[i].bytes;
        if (b.size() < kMiniCutoff) continue;
        const std::size_t n = sectorsFor(b.size(), S);
        for (std::size_t k = 0; k < n; ++k) {
            // Piece k of the stream lies in the k-th sector of its chain.
            const std::size_t at = o.backwardChains ? bigAt[i] + n - 1 - k : bigAt[i] + k;
            const std::size_t len = std::min(S, b.size() - k * S);
            out.replace((at + 1) * S, len, b, k * S, len);
        }
    }
    return out;
}

}  // namespace cfb_build
