#include "MSpace.h"

#include "AssertCounter.h"
#include "CMSpaceChecker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <set>
#include <vector>

namespace {

// Layout figures as a 32-bit space states them: the control chunk plus the
// 40-byte fence is 496 bytes; chunks are n + 4 bytes rounded up to 8, at
// least 16.
constexpr size_t kOverheadBytes = 496;
constexpr uint32_t kFirstBlockOffset = 456 + 8;

uint32_t ExpectedChunk(size_t n) { return std::max<uint32_t>(16, static_cast<uint32_t>((n + 11) & ~size_t{7})); }

uint32_t HeadOf(const void* block) {
    uint32_t head;
    std::memcpy(&head, static_cast<const uint8_t*>(block) - 4, sizeof head);
    return head;
}

uint32_t ChunkOf(const void* block) { return HeadOf(block) & ~7u; }
bool InUse(const void* block) { return (HeadOf(block) & 2u) != 0; }

uint8_t* Bytes(void* block) { return static_cast<uint8_t*>(block); }

class MSpaceTest : public ::testing::Test {
protected:
    MSpace Make(size_t capacity) {
        m_memory.assign((capacity + 7) / 8 + 1, 0);
        m_base = reinterpret_cast<uint8_t*>(m_memory.data());
        m_capacity = capacity;
        return MSpaceCreate(m_base, capacity, 0);
    }

    MSpaceCensus Census(MSpace space) {
        MSpaceCensus census;
        EXPECT_EQ(CMSpaceChecker::Check(space, &census), 0u);
        return census;
    }

    bool InRegion(const void* block, size_t bytes) const {
        const uint8_t* p = static_cast<const uint8_t*>(block);
        return p >= m_base && p + bytes <= m_base + m_capacity;
    }

    std::vector<uint64_t> m_memory;
    uint8_t* m_base = nullptr;
    size_t m_capacity = 0;
};

TEST_F(MSpaceTest, CreationLimits) {
    EXPECT_EQ(Make(0), nullptr);
    EXPECT_EQ(Make(kOverheadBytes), nullptr);
    // Less than an 8-byte top chunk would overlap the fence.
    EXPECT_EQ(Make(kOverheadBytes + 7), nullptr);
    EXPECT_EQ(MSpaceCreate(nullptr, 4096, 0), nullptr);
    uint8_t oneByte = 0;
    EXPECT_EQ(MSpaceCreate(&oneByte, 0x100000000ull - kOverheadBytes - 4096, 0), nullptr);
    EXPECT_EQ(MSpaceCreate(&oneByte, 0x200000000ull, 0), nullptr);

    MSpace tiny = Make(kOverheadBytes + 8);
    ASSERT_NE(tiny, nullptr);
    EXPECT_EQ(Census(tiny).topSize, 8u);
    EXPECT_EQ(MSpaceMalloc(tiny, 1), nullptr);  // a 16-byte chunk must leave some top

    MSpace small = Make(kOverheadBytes + 24);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(static_cast<uint8_t*>(small), m_base + 8);
    void* block = MSpaceMalloc(small, 1);
    EXPECT_EQ(block, m_base + kFirstBlockOffset);
    EXPECT_EQ(MSpaceMalloc(small, 1), nullptr);
}

TEST_F(MSpaceTest, MisalignedBaseIsAlignedInside) {
    m_memory.assign(512, 0);
    m_base = reinterpret_cast<uint8_t*>(m_memory.data()) + 3;
    m_capacity = 4000;
    MSpace space = MSpaceCreate(m_base, m_capacity, 1);
    ASSERT_NE(space, nullptr);
    EXPECT_EQ(static_cast<uint8_t*>(space), m_base + 5 + 8);
    std::vector<void*> blocks;
    while (void* block = MSpaceMalloc(space, 100)) blocks.push_back(block);
    ASSERT_FALSE(blocks.empty());
    for (void* block : blocks) EXPECT_TRUE(InRegion(block, 100));
    EXPECT_EQ(Census(space).inUseChunks, blocks.size() + 1);
}

TEST_F(MSpaceTest, ChunkSizesAndAlignment) {
    MSpace space = Make(1 << 20);
    ASSERT_NE(space, nullptr);
    uint8_t* expected = m_base + kFirstBlockOffset;
    for (size_t n = 0; n < 600; ++n) {
        void* block = MSpaceMalloc(space, n);
        ASSERT_EQ(block, expected) << n;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 8, 0u);
        EXPECT_EQ(ChunkOf(block), ExpectedChunk(n)) << n;
        EXPECT_TRUE(InUse(block));
        expected += ExpectedChunk(n);
    }
    EXPECT_EQ(Census(space).topSize, m_capacity - kOverheadBytes - (expected - (m_base + kFirstBlockOffset)));
}

TEST_F(MSpaceTest, SmallRequestsReuseExactAndNearFits) {
    MSpace space = Make(1 << 16);
    void* a = MSpaceMalloc(space, 100);  // 104-byte chunk
    MSpaceMalloc(space, 8);
    void* b = MSpaceMalloc(space, 108);  // 112-byte chunk
    MSpaceMalloc(space, 8);
    MSpaceFree(space, a);
    MSpaceFree(space, b);
    EXPECT_EQ(MSpaceMalloc(space, 97), a);
    // Only the 112-byte chunk is left: 8 bytes over is handed out whole.
    void* c = MSpaceMalloc(space, 100);
    EXPECT_EQ(c, b);
    EXPECT_EQ(ChunkOf(c), 112u);
    EXPECT_EQ(Census(space).freeChunks, 0u);
}

TEST_F(MSpaceTest, SplitSmallChunkLeavesAVictimUsedNext) {
    MSpace space = Make(1 << 16);
    void* big = MSpaceMalloc(space, 200);  // 208-byte chunk
    MSpaceMalloc(space, 8);
    MSpaceFree(space, big);
    void* first = MSpaceMalloc(space, 40);  // 48 bytes, cut from the front
    EXPECT_EQ(first, big);
    void* second = MSpaceMalloc(space, 60);  // 64 bytes, from the remainder
    EXPECT_EQ(second, Bytes(big) + 48);
    const MSpaceCensus census = Census(space);
    EXPECT_EQ(census.freeChunks, 1u);
    EXPECT_EQ(census.freeBytes, 208u - 48 - 64);
}

TEST_F(MSpaceTest, LargeRequestsTakeTheBestFit) {
    MSpace space = Make(1 << 18);
    const size_t sizes[] = {2000, 1500, 3000, 1400};
    void* blocks[4];
    for (int i = 0; i < 4; ++i) {
        blocks[i] = MSpaceMalloc(space, sizes[i]);
        MSpaceMalloc(space, 8);
    }
    for (void* block : blocks) MSpaceFree(space, block);
    EXPECT_EQ(MSpaceMalloc(space, 1390), blocks[3]);
    EXPECT_EQ(MSpaceMalloc(space, 1450), blocks[1]);
    EXPECT_EQ(MSpaceMalloc(space, 1800), blocks[0]);
    // 3000 untouched, and the rests of the 1504- and 2008-byte chunks.
    EXPECT_EQ(Census(space).freeChunks, 3u);
}

TEST_F(MSpaceTest, LargeRequestsWeighTheVictimAgainstTheTrees) {
    MSpace space = Make(1 << 16);
    uint8_t* big = Bytes(MSpaceMalloc(space, 1000));  // 1008-byte chunk
    MSpaceMalloc(space, 8);
    void* mid = MSpaceMalloc(space, 300);  // 304
    MSpaceMalloc(space, 8);
    void* huge = MSpaceMalloc(space, 2000);  // 2008
    MSpaceMalloc(space, 8);
    MSpaceFree(space, big);
    EXPECT_EQ(MSpaceMalloc(space, 40), big);  // the 960-byte rest becomes the victim
    MSpaceFree(space, mid);
    MSpaceFree(space, huge);
    EXPECT_EQ(MSpaceMalloc(space, 300), mid);         // exact tree fit beats the victim
    EXPECT_EQ(MSpaceMalloc(space, 900), big + 48);    // the victim fits closer than 2008
    EXPECT_EQ(Census(space).freeBytes, 2008u + 56u);  // the chunk of 2000 and the victim's rest
}

TEST_F(MSpaceTest, FreeingEverythingCoalescesBackIntoOneTop) {
    MSpace space = Make(200000);
    const uint32_t initialTop = Census(space).topSize;
    EXPECT_EQ(initialTop, 200000 - kOverheadBytes);
    std::vector<void*> blocks;
    std::mt19937 random(7);
    for (;;) {
        void* block = MSpaceMalloc(space, random() % 3000);
        if (block == nullptr) break;
        blocks.push_back(block);
    }
    ASSERT_GT(blocks.size(), 100u);
    EXPECT_EQ(MSpaceMalloc(space, initialTop / 2), nullptr);
    std::shuffle(blocks.begin(), blocks.end(), random);
    for (void* block : blocks) MSpaceFree(space, block);
    const MSpaceCensus census = Census(space);
    EXPECT_EQ(census.freeChunks, 0u);
    EXPECT_EQ(census.inUseChunks, 1u);
    EXPECT_EQ(census.topSize, initialTop);
    // The largest request: its chunk must stay below the top chunk's size.
    EXPECT_EQ(MSpaceMalloc(space, initialTop - 11), nullptr);
    EXPECT_EQ(MSpaceMalloc(space, initialTop - 12), m_base + kFirstBlockOffset);
}

TEST_F(MSpaceTest, ReallocShrinksGrowsIntoTopOrMoves) {
    MSpace space = Make(1 << 16);
    uint8_t* block = Bytes(MSpaceMalloc(space, 100));
    for (int i = 0; i < 100; ++i) block[i] = static_cast<uint8_t>(i);
    const uint32_t top = Census(space).topSize;

    EXPECT_EQ(MSpaceRealloc(space, block, 5000), block);
    EXPECT_EQ(ChunkOf(block), ExpectedChunk(5000));
    EXPECT_EQ(Census(space).topSize, top + ExpectedChunk(100) - ExpectedChunk(5000));

    EXPECT_EQ(MSpaceRealloc(space, block, 10), block);
    EXPECT_EQ(ChunkOf(block), 16u);
    EXPECT_EQ(Census(space).topSize, top + ExpectedChunk(100) - 16);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(block[i], i);

    MSpaceMalloc(space, 8);  // the block no longer borders the top
    uint8_t* moved = Bytes(MSpaceRealloc(space, block, 400));
    ASSERT_NE(moved, nullptr);
    EXPECT_NE(moved, block);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(moved[i], i);
    EXPECT_EQ(Census(space).freeChunks, 1u);

    EXPECT_EQ(MSpaceRealloc(space, moved, 0xFFFFFFC0u), nullptr);
    EXPECT_TRUE(InUse(moved));
    EXPECT_EQ(MSpaceRealloc(space, moved, 1 << 17), nullptr);  // no room: left as it was
    EXPECT_TRUE(InUse(moved));
    for (int i = 0; i < 10; ++i) EXPECT_EQ(moved[i], i);
    void* fresh = MSpaceRealloc(space, nullptr, 24);
    EXPECT_NE(fresh, nullptr);
    EXPECT_EQ(ChunkOf(fresh), 32u);
}

TEST_F(MSpaceTest, MemalignRoundsAlignmentAndGivesBackSpareRoom) {
    MSpace space = Make(1 << 18);
    const size_t cases[][2] = {{24, 32}, {16, 16}, {64, 64}, {100, 128}, {4096, 4096}, {9, 16}};
    for (int lead = 0; lead < 4; ++lead) {
        MSpaceMalloc(space, 1);  // shifts where the next block would start
        for (const auto& [asked, applied] : cases) {
            void* block = MSpaceMemalign(space, asked, 50);
            ASSERT_NE(block, nullptr);
            EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % applied, 0u) << asked;
            // Spare room of a whole chunk or more goes back to the space.
            EXPECT_GE(ChunkOf(block), ExpectedChunk(50)) << asked;
            EXPECT_LT(ChunkOf(block), ExpectedChunk(50) + 16) << asked;
        }
    }
    const MSpaceCensus census = Census(space);
    EXPECT_EQ(census.inUseChunks, 1 + 4 * (1 + std::size(cases)));
    EXPECT_EQ(MSpaceMemalign(space, 0x80000001u, 8), nullptr);
    EXPECT_EQ(MSpaceMemalign(space, 0x80000000u, 8), nullptr);
    EXPECT_EQ(MSpaceMemalign(space, 64, 0xFFFFFFC0u - 70), nullptr);

    MSpace fresh = Make(1 << 12);
    void* plain = MSpaceMalloc(fresh, 8);
    EXPECT_EQ(MSpaceMemalign(fresh, 8, 8), Bytes(plain) + 16);
}

TEST_F(MSpaceTest, CallocZeroesAndRefusesOverflowingProducts) {
    MSpace space = Make(1 << 16);
    uint8_t* dirty = Bytes(MSpaceMalloc(space, 400));
    std::memset(dirty, 0xAA, 400);
    MSpaceMalloc(space, 8);
    MSpaceFree(space, dirty);
    uint8_t* clean = Bytes(MSpaceCalloc(space, 50, 8));
    ASSERT_EQ(clean, dirty);
    EXPECT_TRUE(std::all_of(clean, clean + 400, [](uint8_t b) { return b == 0; }));

    AssertCounter asserts;
    EXPECT_EQ(MSpaceCalloc(space, 0x10000, 0x10000), nullptr);
    EXPECT_EQ(MSpaceCalloc(space, 0x10001, 0xFFFF1), nullptr);
    EXPECT_EQ(MSpaceCalloc(space, 3, SIZE_MAX / 2), nullptr);
    EXPECT_NE(MSpaceCalloc(space, 0, 0x10000), nullptr);
    EXPECT_EQ(asserts.Count(), 0);
}

TEST_F(MSpaceTest, IndependentComallocCarvesSeparatelyFreeableBlocks) {
    MSpace space = Make(1 << 16);
    const uint32_t top = Census(space).topSize;
    const size_t sizes[] = {1, 20, 300, 8};
    void** blocks = MSpaceIndependentComalloc(space, 4, sizes, nullptr);
    ASSERT_NE(blocks, nullptr);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Bytes(blocks[i + 1]), Bytes(blocks[i]) + ExpectedChunk(sizes[i])) << i;
        EXPECT_EQ(ChunkOf(blocks[i]), ExpectedChunk(sizes[i]));
    }
    EXPECT_EQ(reinterpret_cast<uint8_t*>(blocks), Bytes(blocks[3]) + ExpectedChunk(8));
    EXPECT_EQ(Census(space).inUseChunks, 6u);
    void* toFree[] = {blocks[1], blocks[3], blocks, blocks[0], blocks[2]};
    for (void* block : toFree) MSpaceFree(space, block);
    EXPECT_EQ(Census(space).topSize, top);

    void* callerArray[3] = {};
    EXPECT_EQ(MSpaceIndependentComalloc(space, 3, sizes, callerArray), callerArray);
    EXPECT_EQ(Bytes(callerArray[1]), Bytes(callerArray[0]) + 16);
    EXPECT_EQ(MSpaceIndependentComalloc(space, 0, sizes, callerArray), callerArray);
    EXPECT_NE(MSpaceIndependentComalloc(space, 0, sizes, nullptr), nullptr);
    const size_t huge[] = {16, 0xFFFFFFF0u};
    EXPECT_EQ(MSpaceIndependentComalloc(space, 2, huge, nullptr), nullptr);
}

TEST_F(MSpaceTest, IndependentCallocZeroesEveryBlockAndRefusesWrappingTotals) {
    MSpace space = Make(1 << 16);
    uint8_t* dirty = Bytes(MSpaceMalloc(space, 2000));
    std::memset(dirty, 0x5C, 2000);
    MSpaceFree(space, dirty);
    void** blocks = MSpaceIndependentCalloc(space, 5, 40, nullptr);
    ASSERT_NE(blocks, nullptr);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(ChunkOf(blocks[i]), 48u);
        EXPECT_TRUE(std::all_of(Bytes(blocks[i]), Bytes(blocks[i]) + 40, [](uint8_t b) { return b == 0; }));
    }
    // 0x10000001 chunks of 16 bytes: the total wraps to 16 in 32 bits.
    EXPECT_EQ(MSpaceIndependentCalloc(space, 0x10000001, 1, nullptr), nullptr);
    EXPECT_EQ(MSpaceIndependentCalloc(space, 0x40000000, 1, nullptr), nullptr);
    EXPECT_EQ(Census(space).inUseChunks, 7u);
}

TEST_F(MSpaceTest, ForeignAndRepeatedFreesAreReportedAndIgnored) {
    MSpace space = Make(1 << 16);
    uint8_t* block = Bytes(MSpaceMalloc(space, 64));
    MSpaceMalloc(space, 64);
    const MSpaceCensus before = Census(space);
    uint64_t local = 0;
    void* strays[] = {&local, m_base + m_capacity + 64, m_base + 4, block + 8, block + 3,
                      static_cast<uint8_t*>(space)};
    for (void* stray : strays) {
        AssertCounter asserts;
        MSpaceFree(space, stray);
        EXPECT_EQ(asserts.Count(), 1);
        EXPECT_TRUE(asserts.Logged("MSpace free"));
        const MSpaceCensus after = Census(space);
        EXPECT_EQ(after.inUseChunks, before.inUseChunks);
        EXPECT_EQ(after.topSize, before.topSize);
    }
    MSpaceFree(space, block);
    {
        AssertCounter asserts;
        MSpaceFree(space, block);
        EXPECT_EQ(asserts.Count(), 1);
        EXPECT_TRUE(asserts.Logged("not in use"));
        EXPECT_EQ(MSpaceRealloc(space, block, 10), nullptr);
        EXPECT_EQ(asserts.Count(), 2);
        EXPECT_EQ(MSpaceMalloc(nullptr, 8), nullptr);
        uint64_t notASpace[8] = {};
        EXPECT_EQ(MSpaceMalloc(notASpace, 8), nullptr);
        EXPECT_EQ(asserts.Count(), 4);
    }
    EXPECT_EQ(Census(space).freeChunks, 1u);
    EXPECT_EQ(MSpaceTrim(space, 0), 0);
}

TEST_F(MSpaceTest, DamagedHeadersAndLinksStayInsideTheRegion) {
    MSpace space = Make(1 << 14);
    uint8_t* a = Bytes(MSpaceMalloc(space, 24));
    uint8_t* b = Bytes(MSpaceMalloc(space, 24));
    uint8_t* c = Bytes(MSpaceMalloc(space, 24));
    MSpaceMalloc(space, 24);
    {
        // An overrun of a writes a huge size into b's head.
        AssertCounter asserts;
        const uint32_t hugeHead = 0xFFFFFFF3u;
        std::memcpy(a + 28, &hugeHead, 4);
        MSpaceFree(space, b);
        EXPECT_EQ(asserts.Count(), 1);
        EXPECT_TRUE(asserts.Logged("damaged size"));
        EXPECT_TRUE(asserts.Logged("MSpace check"));
    }
    {
        // c's free-list link now points past the region's end.
        MSpaceFree(space, c);
        const uint32_t farLink = 0xFFFFFF00u;
        std::memcpy(c, &farLink, 4);
        AssertCounter asserts;
        EXPECT_EQ(MSpaceMalloc(space, 24), nullptr);
        EXPECT_EQ(asserts.Count(), 1);
        EXPECT_GT(CMSpaceChecker::Check(space, nullptr), 0u);
    }
}

// A live block of the randomized run and the pattern it holds.
struct LiveBlock {
    uint8_t* data;
    size_t size;
    uint8_t seed;
};

void Fill(const LiveBlock& block) {
    for (size_t i = 0; i < block.size; ++i) block.data[i] = static_cast<uint8_t>(block.seed + i * 31);
}

bool Holds(const LiveBlock& block, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i) {
        if (block.data[i] != static_cast<uint8_t>(block.seed + i * 31)) return false;
    }
    return true;
}

class MSpaceRandomRun : public MSpaceTest {
protected:
    size_t RandomSize() {
        const uint32_t kind = m_random() % 16;
        if (kind < 10) return m_random() % 256;
        if (kind < 15) return 256 + m_random() % 4000;
        return 4096 + m_random() % 40000;
    }

    void Allocate(MSpace space) {
        const size_t size = RandomSize();
        void* data = nullptr;
        switch (m_random() % 8) {
            case 0: data = MSpaceMemalign(space, size_t{16} << (m_random() % 6), size); break;
            case 1: data = MSpaceCalloc(space, 1 + size / 8, 8); break;
            default: data = MSpaceMalloc(space, size); break;
        }
        if (data == nullptr) {
            ++m_failures;
            return;
        }
        m_live.push_back({Bytes(data), size, static_cast<uint8_t>(m_random())});
        Fill(m_live.back());
        Track(m_live.back());
    }

    void Reallocate(MSpace space, size_t index) {
        LiveBlock& block = m_live[index];
        const size_t size = RandomSize();
        void* data = MSpaceRealloc(space, block.data, size);
        if (data == nullptr) {
            ASSERT_TRUE(Holds(block, block.size));
            return;
        }
        const LiveBlock old = block;
        block.data = Bytes(data);
        block.size = size;
        ASSERT_TRUE(Holds(block, std::min(old.size, size)));
        Fill(block);
        m_order.erase(old.data);
        Track(block);
    }

    void Release(MSpace space, size_t index) {
        ASSERT_TRUE(Holds(m_live[index], m_live[index].size));
        MSpaceFree(space, m_live[index].data);
        m_order.erase(m_live[index].data);
        m_live[index] = m_live.back();
        m_live.pop_back();
    }

    // A block is a live chunk of the region that holds its size; blocks are
    // checked against their neighbours in address order whenever they are
    // placed, so no two live blocks ever overlap.
    void Track(const LiveBlock& block) {
        const uint32_t chunk = ChunkOf(block.data);
        ASSERT_TRUE(InRegion(block.data - 8, chunk));
        ASSERT_TRUE(InUse(block.data));
        ASSERT_LE(block.size + 4, chunk);
        const auto [place, added] = m_order.insert(block.data);
        ASSERT_TRUE(added);
        if (place != m_order.begin()) {
            ASSERT_NO_FATAL_FAILURE(ExpectApart(*std::prev(place), block.data));
        }
        if (std::next(place) != m_order.end()) {
            ASSERT_NO_FATAL_FAILURE(ExpectApart(block.data, *std::next(place)));
        }
    }

    static void ExpectApart(const uint8_t* lower, const uint8_t* upper) {
        ASSERT_LE(lower + ChunkOf(lower), upper);
    }

    void ExpectAllApartAndIntact() {
        for (auto it = m_order.begin(); it != m_order.end() && std::next(it) != m_order.end(); ++it) {
            ASSERT_NO_FATAL_FAILURE(ExpectApart(*it, *std::next(it)));
        }
        for (const LiveBlock& block : m_live) ASSERT_TRUE(Holds(block, block.size));
    }

    void ExpectConsistent(MSpace space) {
        MSpaceCensus census;
        ASSERT_EQ(CMSpaceChecker::Check(space, &census), 0u);
        ASSERT_EQ(census.inUseChunks, m_live.size() + 1);
        ASSERT_EQ(m_order.size(), m_live.size());
    }

    std::mt19937 m_random{20240611};
    std::vector<LiveBlock> m_live;
    std::set<const uint8_t*> m_order;
    uint32_t m_failures = 0;
};

TEST_F(MSpaceRandomRun, MixedOperationsKeepTheRegionSound) {
    MSpace space = Make(300000);
    ASSERT_NE(space, nullptr);
    const uint32_t initialTop = Census(space).topSize;
    for (int step = 0; step < 20000; ++step) {
        const uint32_t choice = m_random() % 10;
        if (m_live.empty() || choice < 4) {
            ASSERT_NO_FATAL_FAILURE(Allocate(space));
        } else if (choice < 7) {
            ASSERT_NO_FATAL_FAILURE(Release(space, m_random() % m_live.size()));
        } else {
            ASSERT_NO_FATAL_FAILURE(Reallocate(space, m_random() % m_live.size()));
        }
        ASSERT_NO_FATAL_FAILURE(ExpectConsistent(space)) << "step " << step;
        if (step % 1000 == 0) {
            ASSERT_NO_FATAL_FAILURE(ExpectAllApartAndIntact());
        }
    }
    EXPECT_GT(m_failures, 0u);  // the run did reach the region's end
    while (!m_live.empty()) Release(space, m_live.size() - 1);
    const MSpaceCensus census = Census(space);
    EXPECT_EQ(census.freeChunks, 0u);
    EXPECT_EQ(census.topSize, initialTop);
}

}  // namespace
