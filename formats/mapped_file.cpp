#include "formats/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/errors.h"

MappedFile::MappedFile(const std::string& path) {
    const auto fail = [&] {
        if (fd_ >= 0) ::close(fd_);
        throw vx::FileError("Cannot open file \"" + path + "\".");
    };
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) fail();
    struct stat st{};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) fail();
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
