#include "platform/list_memory.h"

#include <sys/mman.h>

#include <bit>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace vxmem {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kRegionBytes = std::size_t{64} << 20;
// Smaller lists mostly live in memory the heap already holds; larger ones are rare and take the heap's
// own mapping.
constexpr std::size_t kSmallest = std::size_t{32} << 10;
constexpr std::size_t kLargest = std::size_t{32} << 20;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPooled = false;  // the address checker watches the heap's blocks, not ours
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPooled = false;
#else
constexpr bool kPooled = true;
#endif
#else
constexpr bool kPooled = true;
#endif

bool pooledSize(std::size_t bytes) { return kPooled && bytes >= kSmallest && bytes <= kLargest; }

// Eight classes per doubling, so a block wastes at most an eighth of itself and lists of one length
// share a class; at least whole pages.
std::size_t sizeClass(std::size_t bytes) {
    const int top = std::bit_width(bytes - 1);  // 2^top >= bytes
    const std::size_t step = std::max<std::size_t>(4096, std::size_t{1} << (top - 4));
    return (bytes + step - 1) & ~(step - 1);
}

struct Region {
    void* mapping = nullptr;  // what munmap takes back
    std::size_t mappedBytes = 0;
    char* base = nullptr;  // 2 MiB aligned
    std::size_t used = 0;  // bytes handed out from base on, in use or free
    std::size_t live = 0;  // blocks in use
    std::unordered_map<std::size_t, std::vector<char*>> freeBlocks;  // by size class

    bool holds(const void* p) const {
        const auto* c = static_cast<const char*>(p);
        return c >= base && c < base + kRegionBytes;
    }
};

struct Pool {
    std::mutex lock;
    std::vector<std::unique_ptr<Region>> regions;

    char* take(std::size_t size) {
        for (auto& r : regions) {
            auto it = r->freeBlocks.find(size);
            if (it != r->freeBlocks.end() && !it->second.empty()) {
                char* p = it->second.back();
                it->second.pop_back();
                ++r->live;
                return p;
            }
        }
        for (auto& r : regions)
            if (kRegionBytes - r->used >= size) return carve(*r, size);
        auto r = std::make_unique<Region>();
        r->mappedBytes = kRegionBytes + kHugePage;
        r->mapping = ::mmap(nullptr, r->mappedBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (r->mapping == MAP_FAILED) throw std::bad_alloc();
        const auto a = reinterpret_cast<uintptr_t>(r->mapping);
        r->base = reinterpret_cast<char*>((a + kHugePage - 1) & ~(kHugePage - 1));
        ::madvise(r->base, kRegionBytes, MADV_HUGEPAGE);
        regions.push_back(std::move(r));
        return carve(*regions.back(), size);
    }

    static char* carve(Region& r, std::size_t size) {
        char* p = r.base + r.used;
        r.used += size;
        ++r.live;
        return p;
    }

    void give(void* block, std::size_t size) {
        for (auto it = regions.begin(); it != regions.end(); ++it) {
            Region& r = **it;
            if (!r.holds(block)) continue;
            if (--r.live == 0) {
                ::munmap(r.mapping, r.mappedBytes);
                regions.erase(it);
            } else {
                r.freeBlocks[size].push_back(static_cast<char*>(block));
            }
            return;
        }
    }
};

Pool& pool() {
    static Pool* p = new Pool;  // never destroyed: lists of static objects may outlive it otherwise
    return *p;
}

}  // namespace

void* AllocateListMemory(std::size_t bytes) {
    if (!pooledSize(bytes)) return ::operator new(bytes);
    Pool& p = pool();
    std::lock_guard<std::mutex> hold(p.lock);
    return p.take(sizeClass(bytes));
}

void FreeListMemory(void* block, std::size_t bytes) noexcept {
    if (!block) return;
    if (!pooledSize(bytes)) {
        ::operator delete(block);
        return;
    }
    Pool& p = pool();
    std::lock_guard<std::mutex> hold(p.lock);
    p.give(block, sizeClass(bytes));
}

std::size_t ListMemoryRegions() {
    Pool& p = pool();
    std::lock_guard<std::mutex> hold(p.lock);
    return p.regions.size();
}

}  // namespace vxmem
