#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "platform/list_memory.h"

namespace {

using Pairs = std::vector<double, vxmem::BulkAllocator<double>>;

// Lists on either side of the size that takes a mapping of its own keep their values while they grow
// across it, and a list reserved far beyond its values holds only those.
TEST(ListMemory, BulkListsKeepTheirValuesAcrossTheMappedSize) {
    constexpr std::size_t kMapped = vxmem::BulkAllocator<double>::kLarge / sizeof(double);
    Pairs small(100, 1.0);
    Pairs grown;
    for (std::size_t i = 0; i < 2 * kMapped; ++i) grown.push_back(double(i));
    EXPECT_EQ(grown[kMapped - 1], double(kMapped - 1));
    EXPECT_EQ(grown.back(), double(2 * kMapped - 1));
    Pairs roomy;
    roomy.reserve(16 * kMapped);
    roomy.assign({3.0, 4.0});
    EXPECT_EQ(small.back() + roomy[0] + roomy[1], 8.0);
    grown = Pairs();  // the mapping goes back
    EXPECT_TRUE(grown.empty());
}

// Giving freed memory back leaves every list in use as it was.
TEST(ListMemory, GivingBackKeepsListsInUse) {
    std::vector<std::vector<double>> lists(64, std::vector<double>(10'000, 2.5));
    for (std::size_t i = 0; i < lists.size(); i += 2) lists[i] = {};
    vxmem::GiveBackFreedMemory();
    for (std::size_t i = 1; i < lists.size(); i += 2) {
        ASSERT_EQ(lists[i].size(), 10'000u);
        EXPECT_EQ(lists[i].front() + lists[i].back(), 5.0);
    }
}

}  // namespace
