#pragma once
// Room that is about to be written, made present with one call instead of a page fault per page: for
// lists of many megabytes the faults cost more than the values that fill them.
#include <sys/mman.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it and the pages fault as usual
#endif

namespace vxmem {

// The whole pages inside [p, p + bytes); empty when there are none.
struct PageRange {
    uintptr_t begin = 0, end = 0;
    PageRange(const void* p, std::size_t bytes) {
        constexpr uintptr_t kPage = 4096;
        const auto a = reinterpret_cast<uintptr_t>(p);
        begin = (a + kPage - 1) & ~(kPage - 1);
        end = std::max(begin, (a + bytes) & ~(kPage - 1));
    }
    void* start() const { return reinterpret_cast<void*>(begin); }
    std::size_t size() const { return end - begin; }
};

// Lets the system back a large room with huge pages where it gives them: a fault then serves 2 MiB,
// where it would serve 4 KiB, and faulting, not filling, is what fresh memory costs.
inline void AdviseHugePages(const void* p, std::size_t bytes) {
    const PageRange r(p, bytes);
    if (r.size() >= (std::size_t{2} << 20)) ::madvise(r.start(), r.size(), MADV_HUGEPAGE);
}

// Faults the whole pages of [p, p + bytes) in for writing with one call.
inline void FaultIn(const void* p, std::size_t bytes) {
    const PageRange r(p, bytes);
    if (r.size() > 0) ::madvise(r.start(), r.size(), MADV_POPULATE_WRITE);
}

}  // namespace vxmem
