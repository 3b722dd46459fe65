#pragma once
// The message by which a second start hands its file names to the running instance, over a local
// socket of this user: a 4-byte big-endian length, then every name followed by a zero byte (a name
// can hold blanks and ";", never a zero byte). A message without names only asks the running window
// to come to the front. The receiver answers at once with one byte.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace handover {

// Larger messages are dropped unread; the sender never sends one.
inline constexpr std::size_t kMaxMessage = 64 * 1024;
inline constexpr std::size_t kHeaderSize = 4;
// The answers: the names were taken, or this instance lets several instances run (start your own).
inline constexpr char kAccepted = 'A';
inline constexpr char kDeclined = 'N';

// The message for `names`; names are never split or joined. Empty when it would exceed kMaxMessage.
std::string EncodeMessage(const std::vector<std::string>& names);

enum class DecodeStatus { Incomplete, Complete, Invalid };
// Reads a message from the bytes received so far. Complete: `names` holds them and `used` the bytes
// of the message. Invalid: longer than kMaxMessage, or not a list of zero-terminated names.
DecodeStatus DecodeMessage(std::string_view bytes, std::vector<std::string>& names, std::size_t& used);

// The names a start hands over, from its command-line arguments (after the program name): an
// argument ending in ".exe" (any case) clears those collected before it and is not taken itself;
// relative names are made absolute from `workingFolder`, since the running instance has its own.
std::vector<std::string> HandOverNames(const std::vector<std::string>& args, const std::string& workingFolder);

// The socket's name: one running instance per user and settings folder, so that starts with another
// settings folder (VAROLUX32_REGISTRY_DIR) never meet. With a runtime folder the name is a path in it.
std::string SocketName(const std::string& settingsFolder);

}  // namespace handover
