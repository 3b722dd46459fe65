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

int OpenRegularFile(const char* path, int flags, mode_t mode, int& fd, struct stat* status) {
    fd = ::open(path, flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode);
    if (fd < 0) return errno;
    struct stat own {};
    struct stat& st = status ? *status : own;
    int e = ::fstat(fd, &st) != 0 ? errno : NotRegularFileError(st.st_mode);
    if (e) {
        ::close(fd);
        fd = -1;
    }
    return e;
}

int InputFile::Open(const std::string& path, InputFile& file) {
    file = InputFile();
    if (path.empty()) return ENOENT;
    InputFile opened;
    if (int e = OpenRegularFile(path.c_str(), O_RDONLY, 0, opened.fd_, &opened.status_)) return e;
    // Reading a regular file never waits anyway; the descriptor goes on as an ordinary one, so that
    // whoever takes it over (stdio, a ZIP reader) sees the usual flags.
    const int flags = ::fcntl(opened.fd_, F_GETFL);
    if (flags >= 0) (void)::fcntl(opened.fd_, F_SETFL, flags & ~O_NONBLOCK);
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
