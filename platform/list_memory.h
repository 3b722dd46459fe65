#pragma once
// Memory of large lists: plain heap memory, or a mapping of its own per large list, and nothing kept
// for reuse, so that what deleted spectra held goes back to the system, and the sanitizer build runs
// the same allocations as the program.
#include <sys/mman.h>

#include <cstddef>
#include <memory>
#include <new>

namespace vxmem {

// Hands the heap's free memory back to the system. The heap keeps the freed blocks of deleted spectra
// (tens of kilobytes each, amid blocks still in use) resident until it is asked; run after deleting.
void GiveBackFreedMemory() noexcept;

// Lets lists of up to a few megabytes come from heap memory backed by 2 MiB pages: call before and after
// taking a list's room, before writing it. Fresh 4 KiB pages cost a fault each, and on some machines
// those faults cost more than everything else a first re-plot does; a large page serves 512 of them.
void AdviseHeapHugePages() noexcept;

// BulkAllocator: lists reserved for more values than they may get (a reader's pairs, one room per line
// of the file): large blocks are mapped directly, so the room a list does not fill costs only address
// space (pages are touched as values arrive) and a list never moves while it fills.
template <class T>
struct BulkAllocator {
    using value_type = T;
    static constexpr std::size_t kLarge = std::size_t{4} << 20;
    BulkAllocator() = default;
    template <class U>
    BulkAllocator(const BulkAllocator<U>&) {}
    T* allocate(std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kLarge) return std::allocator<T>().allocate(n);
        void* m = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (m == MAP_FAILED) throw std::bad_alloc();
        return static_cast<T*>(m);
    }
    void deallocate(T* p, std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kLarge)
            std::allocator<T>().deallocate(p, n);
        else
            ::munmap(p, bytes);
    }
    template <class U>
    bool operator==(const BulkAllocator<U>&) const { return true; }
};

}  // namespace vxmem
