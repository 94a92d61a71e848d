#include <gtest/gtest.h>

#include <vector>

#include "AssertCounter.h"
#include "MGLGuestMemory.h"

TEST(MGLGuestMemory, RegionsGetAlignedBasesWithUnmappedGaps) {
    MGLGuestMemory memory;
    std::vector<uint8_t> a(100), b(0x10000), c(8);
    const uint32_t baseA = memory.Map(a.data(), a.size());
    const uint32_t baseB = memory.Map(b.data(), b.size());
    const uint32_t baseC = memory.Map(c.data(), c.size());
    EXPECT_EQ(baseA, 0x10000u);
    EXPECT_EQ(baseB, 0x30000u);  // A's 64 KiB, then a 64 KiB gap
    EXPECT_EQ(baseC, 0x50000u);

    EXPECT_EQ(memory.ToHost(baseA, 100), a.data());
    EXPECT_EQ(memory.ToHost(baseA + 96, 4), a.data() + 96);
    EXPECT_EQ(memory.ToHost(baseA + 97, 4), nullptr);  // straddles the end
    EXPECT_EQ(memory.ToHost(baseA + 100, 1), nullptr);
    EXPECT_EQ(memory.ToHost(baseA - 1, 1), nullptr);
    EXPECT_EQ(memory.ToHost(0, 1), nullptr);
    EXPECT_EQ(memory.ToHost(baseB + 0xFFFF, 1), b.data() + 0xFFFF);
    EXPECT_EQ(memory.ToHost(baseB + 0x10000, 1), nullptr);
    EXPECT_EQ(memory.ToHost(0xFFFFFFFF, 2), nullptr);

    EXPECT_EQ(memory.ToGuest(c.data() + 5), baseC + 5);
    EXPECT_EQ(memory.ToGuest(c.data() + 8), 0u);

    // A freed range is reused; its old addresses fault meanwhile.
    EXPECT_TRUE(memory.Unmap(baseB));
    EXPECT_FALSE(memory.Unmap(baseB));
    EXPECT_EQ(memory.ToHost(baseB, 1), nullptr);
    EXPECT_EQ(memory.ToHost(baseC, 1), c.data());  // after the cache saw B
    std::vector<uint8_t> d(16);
    EXPECT_EQ(memory.Map(d.data(), d.size()), baseB);
    EXPECT_EQ(memory.ToHost(baseB, 16), d.data());
    EXPECT_EQ(memory.RegionCount(), 3u);
}

TEST(MGLGuestMemory, RefusesWhatCannotBeMapped) {
    AssertCounter log;
    MGLGuestMemory memory;
    uint8_t byte = 0;
    EXPECT_EQ(memory.Map(nullptr, 16), 0u);
    EXPECT_EQ(memory.Map(&byte, 0), 0u);
    // The address space runs out: the host block is never touched by Map,
    // so a large claimed size is enough to fill it.
    EXPECT_NE(memory.Map(&byte, 0xF0000000u), 0u);
    EXPECT_EQ(memory.Map(&byte, 0x10000000u), 0u);
    EXPECT_TRUE(log.Logged("no guest room"));
    EXPECT_EQ(memory.RegionCount(), 1u);
}
