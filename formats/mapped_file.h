#pragma once
// A whole file mapped read-only, for the binary readers: they check every offset against Bytes().size()
// and take numbers straight from the page cache, without a copy of the file.
#include <cstddef>
#include <string>
#include <string_view>

class MappedFile {
public:
    // Throws vx::FileError "Cannot open file "<path>"." when the file cannot be opened or mapped or is
    // no regular file.
    explicit MappedFile(const std::string& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::string_view Bytes() const { return {data_, size_}; }

private:
    int fd_ = -1;
    const char* data_ = nullptr;
    std::size_t size_ = 0;
};
