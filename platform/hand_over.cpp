#include "platform/hand_over.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/byte_order.h"

namespace handover {

std::string EncodeMessage(const std::vector<std::string>& names) {
    std::size_t size = kHeaderSize;
    for (const std::string& n : names) size += n.size() + 1;
    if (size > kMaxMessage) return {};
    std::string m(kHeaderSize, '\0');
    byteorder::putU32BE(reinterpret_cast<uint8_t*>(m.data()), static_cast<uint32_t>(size - kHeaderSize));
    m.reserve(size);
    for (const std::string& n : names) {
        m += n;
        m += '\0';
    }
    return m;
}

DecodeStatus DecodeMessage(std::string_view bytes, std::vector<std::string>& names, std::size_t& used) {
    if (bytes.size() < kHeaderSize) return DecodeStatus::Incomplete;
    const uint32_t length = byteorder::getU32BE(reinterpret_cast<const uint8_t*>(bytes.data()));
    if (length > kMaxMessage - kHeaderSize) return DecodeStatus::Invalid;
    if (bytes.size() - kHeaderSize < length) return DecodeStatus::Incomplete;
    const std::string_view body = bytes.substr(kHeaderSize, length);
    if (!body.empty() && body.back() != '\0') return DecodeStatus::Invalid;
    names.clear();
    for (std::size_t b = 0; b < body.size();) {
        const std::size_t z = body.find('\0', b);
        names.emplace_back(body.substr(b, z - b));
        b = z + 1;
    }
    used = kHeaderSize + length;
    return DecodeStatus::Complete;
}

std::vector<std::string> HandOverNames(const std::vector<std::string>& args, const std::string& workingFolder) {
    std::vector<std::string> names;
    for (const std::string& a : args) {
        std::string lower = a.size() >= 4 ? a.substr(a.size() - 4) : std::string();
        for (char& c : lower)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (lower == ".exe") {
            names.clear();
            continue;
        }
        if (a.empty()) continue;
        names.push_back(a.front() == '/' || workingFolder.empty()
                            ? a
                            : (std::filesystem::path(workingFolder) / a).lexically_normal().string());
    }
    return names;
}

std::string SocketName(const std::string& settingsFolder) {
    std::string folder = settingsFolder;
    std::error_code ec;
    if (auto abs = std::filesystem::absolute(folder, ec); !ec) folder = abs.lexically_normal().string();
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    uint64_t h = 1469598103934665603ULL;  // FNV-1a
    for (unsigned char c : folder) h = (h ^ c) * 1099511628211ULL;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    // A socket's path must fit the 108 bytes of its address.
    if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run == '/' && std::string_view(run).size() < 60)
        return std::string(run) + "/varolux32-" + hex + ".socket";
    return "varolux32-" + std::to_string(::getuid()) + "-" + hex;
}

}  // namespace handover
