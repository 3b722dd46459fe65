#include "spclib/scratch_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/com.h"
#include "platform/safe_file.h"

namespace spc {

bool ReadExactly(int fd, uint64_t offset, void* data, std::size_t bytes) {
    if (fd < 0) {
        SetLastError(EBADF);
        return false;
    }
    auto* p = static_cast<char*>(data);
    while (bytes > 0) {
        ssize_t n = pread(fd, p, bytes, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            SetLastError(static_cast<uint32_t>(n < 0 ? errno : EIO));
            return false;
        }
        p += n;
        bytes -= static_cast<std::size_t>(n);
        offset += static_cast<uint64_t>(n);
    }
    return true;
}

ScratchStore::ScratchStore() {
    const char* dir = std::getenv("TMPDIR");
    const std::string folder = dir && *dir ? dir : "/tmp";
    // A file without a name, so that nothing is left in the folder whenever the program ends; where the
    // file system has none, a named one unlinked at once.
    fd_ = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd_ >= 0) return;
    std::string path = folder + "/SPCXXXXXX";
    fd_ = mkostemp(path.data(), O_CLOEXEC);
    if (fd_ >= 0) unlink(path.c_str());  // gone from the folder; freed when closed
}

ScratchStore::~ScratchStore() {
    if (fd_ >= 0) close(fd_);
}

bool ScratchStore::write(uint64_t offset, const void* data, std::size_t bytes) {
    if (fd_ < 0) {
        SetLastError(EBADF);
        return false;
    }
    // A write past the file-size limit fails with EFBIG instead of ending the program we run in.
    safefile::FileSizeSignalHold sizeSignal;
    const auto* p = static_cast<const char*>(data);
    while (bytes > 0) {
        ssize_t n = pwrite(fd_, p, bytes, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // No space, the file size limit, a quota: the caller reports the system's text.
            SetLastError(static_cast<uint32_t>(n < 0 ? errno : ENOSPC));
            return false;
        }
        p += n;
        bytes -= static_cast<std::size_t>(n);
        offset += static_cast<uint64_t>(n);
    }
    if (offset > end_) end_ = offset;
    return true;
}

bool ScratchStore::append(const void* data, std::size_t bytes, uint64_t& offset) {
    offset = end_;
    return write(end_, data, bytes);
}

bool ScratchStore::read(uint64_t offset, void* data, std::size_t bytes) const {
    return ReadExactly(fd_, offset, data, bytes);
}

void ScratchStore::clear() {
    if (fd_ >= 0 && ftruncate(fd_, 0) != 0) {
        // The old bytes stay unused; offsets restart at 0 and overwrite them.
    }
    end_ = 0;
}

void SourceFile::adopt(int fd) {
    close();
    fd_ = fd;
}

void SourceFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool SourceFile::read(uint64_t offset, void* data, std::size_t bytes) const {
    return ReadExactly(fd_, offset, data, bytes);
}

}  // namespace spc
