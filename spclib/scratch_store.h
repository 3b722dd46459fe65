#pragma once
// Where a document's subfile values live. The scratch store is a temporary file without a name that
// holds values as 4-byte floats, so large documents do not stay in memory; when no file can be made,
// the store is unusable and the document keeps its values in memory instead. Values that an opened file
// already holds in that form stay in the file: the document reads them from its source file.
//
// A failed read or write leaves the system's error code as the thread's last error.
#include <cstddef>
#include <cstdint>

namespace spc {

class ScratchStore {
public:
    ScratchStore();
    ~ScratchStore();
    ScratchStore(const ScratchStore&) = delete;
    ScratchStore& operator=(const ScratchStore&) = delete;

    bool usable() const { return fd_ >= 0; }
    uint64_t end() const { return end_; }
    // Appends bytes at the end; false on a short write.
    bool append(const void* data, std::size_t bytes, uint64_t& offset);
    bool write(uint64_t offset, const void* data, std::size_t bytes);
    bool read(uint64_t offset, void* data, std::size_t bytes) const;
    void clear();

private:
    int fd_ = -1;
    uint64_t end_ = 0;
};

// The file a document was opened from, kept open while the document reads values from it. Saves
// replace a file by renaming a new one over it, so the open file keeps its bytes meanwhile.
class SourceFile {
public:
    SourceFile() = default;
    ~SourceFile() { close(); }
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;

    // Takes over an open descriptor.
    void adopt(int fd);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    // False on an error or when the file has become shorter.
    bool read(uint64_t offset, void* data, std::size_t bytes) const;

private:
    int fd_ = -1;
};

// pread of exactly `bytes` (interrupts and short reads retried); false with the error as last error,
// EIO at the file's end.
bool ReadExactly(int fd, uint64_t offset, void* data, std::size_t bytes);

}  // namespace spc
