#pragma once
// Resampling of x/y pairs onto the equidistant grid that a spectrum record needs. Every text reader uses
// this one routine, so all of them bracket and interpolate the same way.
#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <vector>

// Storage for the x and y lists a reader fills before resampling: large blocks are mapped directly, so
// a list reserved for more points than a file turns out to hold costs only address space (pages are
// touched as values arrive) and a list never moves while it fills. (Huge pages would save page faults
// but stall on memory compaction now and then, doubling a read's time.)
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
using PairList = std::vector<double, BulkAllocator<double>>;

// Pairs whose first x lies above their last turned to rising order, x and y alike (in place).
void ToRisingPairs(std::span<double> xs, std::span<double> ys);

// Appends to `out` the y values at x0 + i * step for i = 0 .. n-1, linearly interpolated between the two
// pairs that bracket each grid point. The search for the bracket starts at pair i and walks from there,
// so pairs roughly in step with the grid cost almost nothing; a grid point within 1e-10 of that pair
// takes the pair's own y. The bracket never leaves pairs 0 .. m-2, so a grid point a rounding error
// beyond the last pair is extrapolated from the last two pairs instead of reading past them.
// Needs at least two pairs (xs and ys of equal size).
void ResampleOntoGrid(std::span<const double> xs, std::span<const double> ys, double x0, double step,
                      int32_t n, std::vector<double>& out);
