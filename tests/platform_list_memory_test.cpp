#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/list_memory.h"

namespace {

using Points = std::vector<double, vxmem::ListAllocator<double>>;

// Lists in the pooled range: every block is its own, keeps what was written into it, and is reused by a
// list of the same size once freed; the regions go back when no block is left in them.
TEST(ListMemory, BlocksAreDistinctKeepTheirValuesAndGoBack) {
    const std::size_t regionsBefore = vxmem::ListMemoryRegions();
    {
        std::vector<Points> lists;
        for (int k = 0; k < 600; ++k) {  // 600 x 160 KB: more than one region
            Points p;
            p.reserve(20000);
            for (int i = 0; i < 20000; ++i) p.push_back(k * 100000.0 + i);
            lists.push_back(std::move(p));
        }
        for (int k = 0; k < 600; ++k) {
            ASSERT_EQ(lists[k].size(), 20000u);
            EXPECT_EQ(lists[k].front(), k * 100000.0);
            EXPECT_EQ(lists[k].back(), k * 100000.0 + 19999);
            EXPECT_EQ(reinterpret_cast<uintptr_t>(lists[k].data()) % alignof(std::max_align_t), 0u);
        }
#if !defined(__SANITIZE_ADDRESS__)
        EXPECT_GT(vxmem::ListMemoryRegions(), regionsBefore + 1);
#endif
        // A freed block serves the next list of its size.
        const double* freed = lists[7].data();
        lists[7] = Points();
        Points again;
        again.reserve(20000);
#if !defined(__SANITIZE_ADDRESS__)
        EXPECT_EQ(again.data(), freed);
#endif
        // Growing lists move through several size classes and keep their values.
        Points grown;
        for (int i = 0; i < 3'000'000; ++i) grown.push_back(i);
        EXPECT_EQ(grown[2'999'999], 2'999'999.0);
        EXPECT_EQ(grown[12345], 12345.0);
    }
    EXPECT_EQ(vxmem::ListMemoryRegions(), regionsBefore);
}

TEST(ListMemory, SmallAndHugeListsUseTheHeap) {
    const std::size_t regionsBefore = vxmem::ListMemoryRegions();
    Points small(100, 1.0);
    Points huge(std::size_t{5} << 20, 2.0);  // 40 MB
    EXPECT_EQ(vxmem::ListMemoryRegions(), regionsBefore);
    EXPECT_EQ(small[99] + huge.back(), 3.0);
}

}  // namespace
