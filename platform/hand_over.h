#pragma once
// How a second start hands its file names to the running instance, over a local socket of this user.
// The names, each followed by a zero byte (a name can hold blanks and ";", never a zero byte), form
// one run of bytes that travels in messages of at most 64 KiB: a 4-byte big-endian header with the
// length of the piece that follows, its top bit set on every message but the last. Every message but
// the last is full, so a list has exactly one encoding and a sender cannot make the receiver collect
// headers without names. The receiver answers with one byte once the last message has arrived. A list
// without names only asks the running window to come to the front.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace handover {

inline constexpr std::size_t kMaxMessage = 64 * 1024;
inline constexpr std::size_t kHeaderSize = 4;
inline constexpr std::size_t kMaxPiece = kMaxMessage - kHeaderSize;
inline constexpr uint32_t kMoreFollows = 0x80000000u;
// The longest list a start hands over (the names with their zero bytes); a larger one is refused unread.
inline constexpr std::size_t kMaxList = 16 * 1024 * 1024;
// The answers: the names were taken, or this instance lets several instances run (start your own).
inline constexpr char kAccepted = 'A';
inline constexpr char kDeclined = 'N';

// The messages for `names`, one after the other; names are never joined. Empty when the list exceeds
// kMaxList.
std::string EncodeMessages(const std::vector<std::string>& names);

enum class DecodeStatus { Incomplete, Complete, Invalid };
// Reads the list from the bytes received so far. Complete: `names` holds it and `used` the bytes of
// its messages. Invalid: a message longer than kMaxMessage, one marked as followed that is not full, a
// list longer than kMaxList, or a list whose last message does not end with a zero byte (an empty last
// message after others included).
DecodeStatus DecodeMessages(std::string_view bytes, std::vector<std::string>& names, std::size_t& used);

// The names a start hands over, from its command-line arguments (after the program name): an
// argument ending in ".exe" (any case) clears those collected before it and is not taken itself;
// relative names are made absolute from `workingFolder`, since the running instance has its own.
std::vector<std::string> HandOverNames(const std::vector<std::string>& args, const std::string& workingFolder);

// The folder of the socket: the per-user temporary folder (platform/private_folder.h), or
// /tmp/varolux32-<uid> when that one's path leaves no room for the socket's name in an address.
std::string SocketFolder();
// The socket's path in SocketFolder(), which is made and checked first: one running instance per user
// and settings folder, so that starts with another settings folder (VAROLUX32_REGISTRY_DIR) never
// meet. "" when the folder is not a private folder of this user (anyone else could listen there).
std::string SocketName(const std::string& settingsFolder);

// Whether the process at the other end of the connected local socket `fd` runs as this user.
bool PeerIsThisUser(int fd);

}  // namespace handover
