#include "platform/scratch_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/errors.h"

namespace {

// Closes the descriptor on every way out.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

[[noreturn]] void fail(const char* what, const std::string& path, const char* reason) {
    throw vx::FileError(std::string(what) + " \"" + path + "\". " + reason);
}

constexpr char kNotRegular[] = "It is not a regular file.";

}  // namespace

void WriteScratchFile(const std::string& path, std::string_view bytes) {
    // O_NONBLOCK: a FIFO in the file's place must not hang the program until someone reads it.
    Descriptor d{::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666)};
    // ENXIO: a FIFO that no one reads.
    if (d.fd < 0) fail("Cannot create file", path, errno == ENXIO ? kNotRegular : std::strerror(errno));
    struct stat st{};
    if (::fstat(d.fd, &st) != 0) fail("Cannot write file", path, std::strerror(errno));
    if (!S_ISREG(st.st_mode)) fail("Cannot write file", path, kNotRegular);
    // Written over from the start rather than truncated first: a file truncated to nothing and written
    // anew is flushed by some file systems (ext4) when it is closed, which costs what the sync would.
    for (std::size_t at = 0; at < bytes.size();) {
        const ssize_t n = ::pwrite(d.fd, bytes.data() + at, bytes.size() - at, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail("Cannot write file", path, std::strerror(n < 0 ? errno : EIO));
        at += static_cast<std::size_t>(n);
    }
    if (st.st_size > static_cast<off_t>(bytes.size()) && ::ftruncate(d.fd, static_cast<off_t>(bytes.size())) != 0)
        fail("Cannot write file", path, std::strerror(errno));
    const int fd = d.fd;
    d.fd = -1;
    if (::close(fd) != 0) fail("Cannot write file", path, std::strerror(errno));
}
