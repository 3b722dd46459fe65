#pragma once
// A whole file mapped read-only, for the binary readers: they check every offset against Bytes().size()
// and take numbers straight from the page cache, without a copy of the file.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

class MappedFile {
public:
    // Throws vx::FileError "Cannot open file "<path>"." when the file cannot be opened or mapped or is
    // no regular file, and TooLargeMessage when it holds more than `maxBytes` bytes (checked before a
    // byte is read); `kind` names the format in that message.
    explicit MappedFile(const std::string& path,
                        std::uint64_t maxBytes = std::numeric_limits<std::uint64_t>::max(),
                        std::string_view kind = {});
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::string_view Bytes() const { return {data_, size_}; }

private:
    int fd_ = -1;
    const char* data_ = nullptr;
    std::size_t size_ = 0;
};

// The message of a file refused for its size.
std::string TooLargeMessage(const std::string& path, std::uint64_t size, std::uint64_t maxBytes,
                            std::string_view kind);
