#pragma once
// The one way a file is opened for reading: a regular file only, and the open never blocks. The file
// is opened with O_NONBLOCK and its type checked with fstat before a byte of it is read, so that a
// named pipe without a writer, a terminal or a tape standing under a file's name is refused at once
// instead of holding the program (a folder, pipe, device or socket is refused with its own reason).
//
// Errors are codes (0 = success): errno values, or vx::kErrNamedPipe, kErrDevice, kErrSocket, EISDIR
// for a file of another kind; vx::ErrorText gives their text. Callers without exceptions (the SPC
// library, the settings store) take the code; the others use OpenOrThrow.
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/errors.h"

class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens `path` into `file`. 0 or the error code.
    static int Open(const std::string& path, InputFile& file);
    // The same, raising vx::FileError "Cannot open file "<path>". <reason>".
    static InputFile OpenOrThrow(const std::string& path, vx::FileNaming naming = vx::FileNaming::Quoted);

    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    // The size and the rest of the status as the file had them when it was opened.
    std::uint64_t Size() const { return static_cast<std::uint64_t>(status_.st_size); }
    const struct stat& Status() const { return status_; }

    // Reads up to `n` bytes at `offset` (interrupts and short reads retried): the number read, fewer
    // only at the file's end; -1 with errno set on a read error.
    long long ReadAt(std::uint64_t offset, void* dst, std::size_t n) const;
    // Hands the descriptor over (to a FILE, a ZIP reader, a mapping that outlives this object).
    int Release();

private:
    int fd_ = -1;
    struct stat status_ {};
};

// The code for a file of type `mode` that is not a regular file: EISDIR, vx::kErrNamedPipe, ...;
// 0 for a regular file.
int NotRegularFileError(mode_t mode);

// Opens `path` as open(2) does with `flags` and `mode`, adding O_NONBLOCK, O_NOCTTY and O_CLOEXEC, and
// keeps the descriptor only for a regular file: a pipe or device under the name is never waited on.
// Also the way files are opened for writing that must be regular files (a lock, a log). 0 with the
// descriptor in `fd`, or the error code (NotRegularFileError's for a file of another kind) with -1.
// `status`, when given, gets the file's status.
int OpenRegularFile(const char* path, int flags, mode_t mode, int& fd, struct stat* status = nullptr);
