#pragma once
// The streams of a compound file (structured storage: a small file system of sectors inside one file,
// with a directory of named streams), read through libgsf from bytes in memory. The container's
// details (sector sizes, versions, the allocation tables and the short-stream area) stay with the
// library; a reader asks for a stream by name and reads it in pieces.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace compound {

// Releases a GObject reference (the library's objects are counted references).
struct Unref {
    void operator()(void* object) const;
};
using Handle = std::unique_ptr<void, Unref>;

// One stream of the container, read from its start on.
class Stream {
public:
    std::uint64_t Size() const { return size_; }
    std::uint64_t Remaining() const;
    // The next n bytes (1 <= n <= Remaining()); null when the container's sectors do not give them.
    // The view lasts until the next read: contiguous sectors are given in place, others copied first.
    const std::uint8_t* Next(std::size_t n);
    // Moves the reading position to `offset` (at most Size()), also after a read that failed.
    bool Seek(std::uint64_t offset);

private:
    friend class File;
    Stream(Handle input, std::uint64_t size) : input_(std::move(input)), size_(size) {}
    Handle input_;
    std::uint64_t size_;
};

class File {
public:
    // Opens the container held in `bytes` (which must outlive this object and its streams). Empty when
    // the bytes are no compound file the library can read (a damaged header, allocation table or
    // directory).
    static std::optional<File> Open(std::string_view bytes);

    // The stream named `name` (compared without regard to case, as the format's names are) at the top
    // of the directory. Empty when there is none; a named stream whose sectors cannot be followed gives
    // nothing too, with `damaged` set.
    std::optional<Stream> TopStream(std::string_view name, bool& damaged) const;

private:
    explicit File(Handle root) : root_(std::move(root)) {}
    Handle root_;
};

}  // namespace compound
