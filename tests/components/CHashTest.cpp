#include "CHash.h"
#include "CPool.h"

#include "AssertCounter.h"

#include <gtest/gtest.h>

#include <cstring>

#include <unordered_map>

namespace {

TEST(CHash, NextPrimeFollowsTheOddCandidateRule) {
    const int32_t requests[] = {0, 1, 2, 9, 20, 100, 500};
    const int32_t primes[] = {1, 1, 3, 11, 23, 101, 503};
    for (size_t i = 0; i < std::size(requests); ++i) EXPECT_EQ(CHash::NextPrime(requests[i]), primes[i]);
}

TEST(CHash, DuplicateKeysAreLastInFirstOut) {
    CHash table;
    ASSERT_TRUE(table.Init(0, 4, true));
    EXPECT_EQ(table.GetBucketCount(), 1);
    table.Insert(7, 100);
    table.Insert(7, 200);
    uintptr_t value = 0;
    ASSERT_TRUE(table.Find(7, &value));
    EXPECT_EQ(value, 200u);
    table.Remove(7);
    ASSERT_TRUE(table.Find(7, &value));
    EXPECT_EQ(value, 100u);
    table.Remove(7);
    EXPECT_FALSE(table.Find(7, nullptr));
}

TEST(CHash, KeepsFullPointersAndGrowsPastItsFirstChunk) {
    CHash table;
    ASSERT_TRUE(table.Init(20, 20, true));
    std::unordered_map<uint32_t, uintptr_t> expected;
    for (uint32_t i = 0; i < 5000; ++i) {
        const uint32_t key = i * 2654435761u;
        const uintptr_t value = (static_cast<uintptr_t>(0xABCD0000u) << 16) | i;
        ASSERT_TRUE(table.Insert(key, value));
        expected[key] = value;
    }
    for (const auto& [key, value] : expected) {
        uintptr_t found = 0;
        ASSERT_TRUE(table.Find(key, &found));
        EXPECT_EQ(found, value);
    }
    size_t walked = 0;
    for (int32_t b = 0; b < table.GetBucketCount(); ++b) {
        for (CHashNode* node = table.GetBucket(b); node != nullptr; node = node->next) ++walked;
    }
    EXPECT_EQ(walked, expected.size());
    table.Clear();
    EXPECT_FALSE(table.Find(expected.begin()->first, nullptr));
}

TEST(CHash, UninitialisedTableAnswersNothing) {
    CHash table;
    EXPECT_FALSE(table.Insert(1, 2));
    EXPECT_FALSE(table.Find(1, nullptr));
    table.Remove(1);
}

TEST(CPool, FixedPoolRunsOutAndReusesTheLastFreedBlock) {
    CPool pool(2, 16, false);
    void* a = pool.Alloc(16);
    void* b = pool.Alloc(16);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(pool.Alloc(16), nullptr);
    pool.Free(a);
    EXPECT_EQ(pool.Alloc(16), a);
}

TEST(CPool, OverflowPoolsComeAndGoFromTheEndOfTheChain) {
    CPool pool(2, 8, true);
    void* blocks[6];
    for (void*& block : blocks) block = pool.Alloc(8);
    CPool* second = pool.GetOverflow();
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second->GetOverflow(), nullptr);
    // Emptying the middle pool keeps it: only the last pool may go.
    pool.Free(blocks[2]);
    pool.Free(blocks[3]);
    EXPECT_EQ(pool.GetOverflow(), second);
    // Freeing through the primary reaches the third pool, which then goes.
    pool.Free(blocks[4]);
    pool.Free(blocks[5]);
    EXPECT_EQ(second->GetOverflow(), nullptr);
    pool.Free(blocks[0]);
    pool.Free(blocks[1]);
}

TEST(CPool, ForeignAndWrongSizedRequestsAreReported) {
    AssertCounter counter;
    CPool pool(2, 8, false);
    int outside = 0;
    pool.Free(&outside);
    EXPECT_EQ(counter.Count(), 1);
    EXPECT_EQ(pool.Alloc(4), nullptr);
    EXPECT_EQ(counter.Count(), 2);
    void* block = pool.Alloc(8);
    pool.Free(block);
    pool.Free(block);
    pool.Free(block);
    EXPECT_EQ(counter.Count(), 4);
    // Inside a block, or a block never handed out, is no block to free.
    void* first = pool.Alloc(8);
    pool.Free(static_cast<uint8_t*>(first) + 4);
    pool.Free(static_cast<uint8_t*>(first) + 8);
    EXPECT_EQ(counter.Count(), 6);
    EXPECT_NE(pool.Alloc(8), first);
}

// Well below a full free list a second free must still be caught: the
// block would be handed out twice, and an overflow pool could count itself
// empty and go while one of its blocks is in use.
TEST(CPool, BlockFreedTwiceIsRefused) {
    AssertCounter counter;
    CPool pool(4, 8, true);
    void* blocks[6];
    for (void*& block : blocks) block = pool.Alloc(8);
    CPool* overflow = pool.GetOverflow();
    ASSERT_NE(overflow, nullptr);
    pool.Free(blocks[0]);
    pool.Free(blocks[0]);
    EXPECT_EQ(counter.Count(), 1);
    void* again = pool.Alloc(8);
    EXPECT_EQ(again, blocks[0]);
    void* extra = pool.Alloc(8);
    EXPECT_NE(extra, again);
    pool.Free(extra);

    pool.Free(blocks[4]);
    pool.Free(blocks[4]);
    EXPECT_EQ(counter.Count(), 2);
    EXPECT_EQ(pool.GetOverflow(), overflow);  // blocks[5] still lives in it
    std::memset(blocks[5], 0x5A, 8);
    pool.Free(blocks[5]);
    EXPECT_EQ(pool.GetOverflow(), nullptr);
}

}  // namespace
