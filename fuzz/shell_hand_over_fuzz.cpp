// Any bytes arriving at the running instance's socket are a list whose names encode back to the same
// bytes, an unfinished list, or refused; never more than one list's worth is taken.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/hand_over.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> names;
    std::size_t used = 0;
    switch (handover::DecodeMessages(bytes, names, used)) {
    case handover::DecodeStatus::Complete: {
        if (used > size) __builtin_trap();
        if (handover::EncodeMessages(names) != bytes.substr(0, used)) __builtin_trap();
        for (const std::string& n : names)
            if (n.find('\0') != std::string::npos) __builtin_trap();
        break;
    }
    case handover::DecodeStatus::Incomplete:
        // Only whole messages and one unfinished one: at most a list and one header per message.
        if (size > handover::kMaxList + (handover::kMaxList / handover::kMaxPiece + 2) * handover::kHeaderSize)
            __builtin_trap();
        break;
    case handover::DecodeStatus::Invalid: break;
    }
    return 0;
}
