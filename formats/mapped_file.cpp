#include "formats/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/errors.h"
#include "platform/numtext.h"

namespace {

std::string megabytes(std::uint64_t bytes) {
    return numtext::FloatToStrF(static_cast<double>(bytes) / (1024.0 * 1024.0), numtext::FloatFormat::Fixed, 15,
                                bytes < 10 * 1024 * 1024 ? 1 : 0);
}

}  // namespace

std::string TooLargeMessage(const std::string& path, std::uint64_t size, std::uint64_t maxBytes,
                            std::string_view kind) {
    return "The file \"" + path + "\" (" + megabytes(size) + " MB) is too large to be a " + std::string(kind) +
           " file; files of this kind are read up to " + megabytes(maxBytes) + " MB.";
}

MappedFile::MappedFile(const std::string& path, std::uint64_t maxBytes, std::string_view kind) {
    const auto fail = [&] {
        if (fd_ >= 0) ::close(fd_);
        throw vx::FileError("Cannot open file \"" + path + "\".");
    };
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) fail();
    struct stat st{};
    // Only regular files have a size to trust; a device or pipe could stream without end.
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) fail();
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        ::close(fd_);
        throw vx::FileError(TooLargeMessage(path, static_cast<std::uint64_t>(st.st_size), maxBytes, kind));
    }
    size_ = static_cast<std::size_t>(st.st_size);
    if (size_ == 0) return;
    void* m = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd_, 0);
    if (m == MAP_FAILED) fail();
    data_ = static_cast<const char*>(m);
}

MappedFile::~MappedFile() {
    if (data_) ::munmap(const_cast<char*>(data_), size_);
    if (fd_ >= 0) ::close(fd_);
}
