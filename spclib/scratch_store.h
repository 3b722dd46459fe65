#pragma once
// The document's scratch store: an unlinked temporary file that holds the subfiles' values as 4-byte
// floats, so large documents do not stay in memory. When no file can be made, the store is unusable
// and the document keeps its values in memory instead.
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

}  // namespace spc
