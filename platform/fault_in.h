#pragma once
// Room that is about to be written, made present with one call instead of a page fault per page: for
// lists of many megabytes the faults cost more than the values that fill them.
#include <sys/mman.h>

#include <cstddef>
#include <cstdint>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it and the pages fault as usual
#endif

namespace vxmem {

// The whole pages inside [begin, begin + bytes) become present and writable. Ranges below a few pages
// are left alone (they mostly lie in memory already in use, and the call would cost more).
inline void FaultInForWrite(void* begin, std::size_t bytes) {
    constexpr uintptr_t kPage = 4096;
    if (bytes < 2 * kPage) return;
    const auto a = reinterpret_cast<uintptr_t>(begin);
    const uintptr_t b = (a + kPage - 1) & ~(kPage - 1), e = (a + bytes) & ~(kPage - 1);
    if (e > b) ::madvise(reinterpret_cast<void*>(b), e - b, MADV_POPULATE_WRITE);
}

}  // namespace vxmem
