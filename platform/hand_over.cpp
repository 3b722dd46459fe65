#include "platform/hand_over.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/byte_order.h"
#include "platform/private_folder.h"

namespace handover {

namespace {

constexpr char kSocketPrefix[] = "/hand-over-";
constexpr std::size_t kSocketNameSize = sizeof kSocketPrefix - 1 + 16;  // the prefix and 16 hex digits

}  // namespace

std::string EncodeMessages(const std::vector<std::string>& names) {
    std::size_t list = 0;
    for (const std::string& n : names) list += n.size() + 1;
    if (list > kMaxList) return {};
    std::string bytes;
    bytes.reserve(list);
    for (const std::string& n : names) {
        bytes += n;
        bytes += '\0';
    }
    std::string m;
    m.reserve(list + (list / kMaxPiece + 1) * kHeaderSize);
    std::size_t at = 0;
    do {
        const std::size_t piece = std::min(kMaxPiece, bytes.size() - at);
        const bool more = at + piece < bytes.size();
        uint8_t header[kHeaderSize];
        byteorder::putU32BE(header, static_cast<uint32_t>(piece) | (more ? kMoreFollows : 0));
        m.append(reinterpret_cast<const char*>(header), kHeaderSize);
        m.append(bytes, at, piece);
        at += piece;
    } while (at < bytes.size());
    return m;
}

DecodeStatus DecodeMessages(std::string_view bytes, std::vector<std::string>& names, std::size_t& used) {
    // The headers first: nothing is copied before the last message is there.
    std::size_t at = 0, list = 0, piece = 0;
    for (;;) {
        if (bytes.size() - at < kHeaderSize) return DecodeStatus::Incomplete;
        const uint32_t header = byteorder::getU32BE(reinterpret_cast<const uint8_t*>(bytes.data() + at));
        const bool more = (header & kMoreFollows) != 0;
        piece = header & ~kMoreFollows;
        if (piece > kMaxPiece || (more && piece != kMaxPiece)) return DecodeStatus::Invalid;
        list += piece;
        if (list > kMaxList) return DecodeStatus::Invalid;
        if (bytes.size() - at - kHeaderSize < piece) return DecodeStatus::Incomplete;
        at += kHeaderSize + piece;
        if (!more) break;
    }
    // The last message carries the list's terminating zero byte: an empty one after others would end
    // the list on a header byte.
    if (list > 0 && (piece == 0 || bytes[at - 1] != '\0')) return DecodeStatus::Invalid;
    names.clear();
    std::string name;
    for (std::size_t m = 0; m < at;) {
        const std::size_t piece = byteorder::getU32BE(reinterpret_cast<const uint8_t*>(bytes.data() + m)) & ~kMoreFollows;
        for (std::string_view rest = bytes.substr(m + kHeaderSize, piece); !rest.empty();) {
            const std::size_t z = rest.find('\0');
            name.append(rest.substr(0, z));
            if (z == std::string_view::npos) break;  // the name goes on in the next message
            names.push_back(std::move(name));
            name.clear();
            rest.remove_prefix(z + 1);
        }
        m += kHeaderSize + piece;
    }
    used = at;
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

std::string SocketFolder() {
    const std::string dir = PerUserTempFolderPath();
    if (dir.size() + kSocketNameSize < sizeof(sockaddr_un::sun_path)) return dir;
    return "/tmp/varolux32-" + std::to_string(::getuid());
}

std::string SocketName(const std::string& settingsFolder) {
    const std::string dir = SocketFolder();
    if (!MakePrivateFolder(dir)) return {};
    std::string folder = settingsFolder;
    std::error_code ec;
    if (auto abs = std::filesystem::absolute(folder, ec); !ec) folder = abs.lexically_normal().string();
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return dir + kSocketPrefix + HashedName(folder);
}

bool PeerIsThisUser(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer &&
           peer.uid == ::getuid();
}

}  // namespace handover
