#include "platform/input_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

int NotRegularFileError(mode_t mode) {
    if (S_ISREG(mode)) return 0;
    if (S_ISDIR(mode)) return EISDIR;
    if (S_ISFIFO(mode)) return vx::kErrNamedPipe;
    if (S_ISSOCK(mode)) return vx::kErrSocket;
    return vx::kErrDevice;  // character and block devices
}

InputFile::~InputFile() {
    if (fd_ >= 0) ::close(fd_);
}

InputFile::InputFile(InputFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)), status_(other.status_) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        status_ = other.status_;
    }
    return *this;
}

int InputFile::Open(const std::string& path, InputFile& file) {
    file = InputFile();
    if (path.empty()) return ENOENT;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno;
    InputFile opened;
    opened.fd_ = fd;
    if (::fstat(fd, &opened.status_) != 0) return errno;
    if (int e = NotRegularFileError(opened.status_.st_mode)) return e;
    // Reading a regular file never waits anyway; the descriptor goes on as an ordinary one, so that
    // whoever takes it over (stdio, a ZIP reader) sees the usual flags.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    file = std::move(opened);
    return 0;
}

InputFile InputFile::OpenOrThrow(const std::string& path, vx::FileNaming naming) {
    InputFile file;
    if (int e = Open(path, file)) vx::throwCannotOpen(path, e, naming);
    return file;
}

long long InputFile::ReadAt(std::uint64_t offset, void* dst, std::size_t n) const {
    auto* out = static_cast<char*>(dst);
    std::size_t got = 0;
    while (got < n) {
        const ssize_t r = ::pread(fd_, out + got, n - got, static_cast<off_t>(offset + got));
        if (r < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
    }
    return static_cast<long long>(got);
}

int InputFile::Release() { return std::exchange(fd_, -1); }
