#include "platform/list_memory.h"

#include <malloc.h>
#include <unistd.h>

#include <cstdint>

#include "platform/fault_in.h"

namespace vxmem {

void GiveBackFreedMemory() noexcept {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

void AdviseHeapHugePages() noexcept {
#if defined(__GLIBC__)
    // Lists below 4 MiB come from the heap, which grows 32 MiB ahead of them: the room of a growth is
    // mapped before it is written, so it can take large pages (lists from 4 MiB on get mappings of their
    // own, which the large-list code advises itself).
    static const bool setUp = [] {
        ::mallopt(M_MMAP_THRESHOLD, 4 << 20);
        ::mallopt(M_TOP_PAD, 32 << 20);
        return true;
    }();
    (void)setUp;
    // The heap's growth since the last call, advised before its pages are written (only the page the
    // heap wrote its own bookkeeping into may already stand).
    static uintptr_t advisedTo = 0;
    const auto top = reinterpret_cast<uintptr_t>(::sbrk(0));
    if (top == uintptr_t(-1) || top == advisedTo) return;
    const uintptr_t from = advisedTo && advisedTo < top ? advisedTo : top;  // after a trim: from the new top
    advisedTo = top;
    if (from < top) AdviseHugePages(reinterpret_cast<void*>(from), top - from);
#endif
}

}  // namespace vxmem
