#pragma once
// Memory for large lists, of two kinds.
//
// ListAllocator: lists filled once to their length (a plot's curves: 160 KiB for 10,000 points), taken
// from regions that the system backs with 2 MiB pages. A fresh 4 KiB page costs a fault, and on some
// machines those faults cost more than everything else a first re-plot does: a thousand new curves of
// 10,000 points took 40,000 of them. Blocks of a region are kept for reuse by lists of their size
// class; a region that holds no block any more goes back to the system.
#include <sys/mman.h>

#include <cstddef>
#include <memory>
#include <new>

namespace vxmem {

// A block of at least `bytes`, aligned for any value type. Sizes outside the pooled range come from the
// ordinary heap; throws std::bad_alloc.
void* AllocateListMemory(std::size_t bytes);
// Gives back a block of AllocateListMemory with the same `bytes`.
void FreeListMemory(void* block, std::size_t bytes) noexcept;
// The regions held at this moment (for tests).
std::size_t ListMemoryRegions();

template <class T>
struct ListAllocator {
    using value_type = T;
    ListAllocator() = default;
    template <class U>
    ListAllocator(const ListAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(AllocateListMemory(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { FreeListMemory(p, n * sizeof(T)); }
    template <class U>
    bool operator==(const ListAllocator<U>&) const noexcept {
        return true;
    }
};

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
