// Any bytes arriving at the running instance's socket are a list whose names encode back to the same
// bytes, an unfinished list, or refused; never more than one list's worth is taken.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/byte_order.h"
#include "platform/hand_over.h"

namespace {

void check(std::string_view bytes) {
    std::vector<std::string> names;
    std::size_t used = 0;
    switch (handover::DecodeMessages(bytes, names, used)) {
    case handover::DecodeStatus::Complete: {
        if (used > bytes.size()) __builtin_trap();
        if (handover::EncodeMessages(names) != bytes.substr(0, used)) __builtin_trap();
        for (const std::string& n : names)
            if (n.find('\0') != std::string::npos) __builtin_trap();
        break;
    }
    case handover::DecodeStatus::Incomplete:
        // Only whole messages and one unfinished one: at most a list and one header per message.
        if (bytes.size() > handover::kMaxList + (handover::kMaxList / handover::kMaxPiece + 2) * handover::kHeaderSize)
            __builtin_trap();
        break;
    case handover::DecodeStatus::Invalid: break;
    }
}

// A list longer than one message needs more than 64 KiB, far more than the inputs the fuzzer makes. So
// the input is also read with its leading headers that say more follows standing for full messages:
// such a header's lowest byte tells how many of the input's bytes after it are repeated to fill the
// message; what follows the last of them stays as it is.
std::string widened(std::string_view bytes) {
    std::string out;
    for (int full = 0; full < 3 && bytes.size() >= handover::kHeaderSize; ++full) {
        const uint32_t header = byteorder::getU32BE(reinterpret_cast<const uint8_t*>(bytes.data()));
        if (!(header & handover::kMoreFollows)) break;
        const std::string_view seed = bytes.substr(handover::kHeaderSize, header & 0xFF);
        uint8_t h[handover::kHeaderSize];
        byteorder::putU32BE(h, handover::kMoreFollows | static_cast<uint32_t>(handover::kMaxPiece));
        out.append(reinterpret_cast<const char*>(h), handover::kHeaderSize);
        const std::size_t at = out.size();
        out.resize(at + handover::kMaxPiece, 'n');
        for (std::size_t i = 0; !seed.empty() && i < handover::kMaxPiece; ++i) out[at + i] = seed[i % seed.size()];
        bytes.remove_prefix(handover::kHeaderSize + seed.size());
    }
    out.append(bytes);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    check(bytes);
    check(widened(bytes));
    return 0;
}
