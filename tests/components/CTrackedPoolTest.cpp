#include "CTrackedPool.h"

#include "AssertCounter.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

// An engine object that counts its destructions.
class Counted : public CClass {
public:
    explicit Counted(int* destroyed) : m_destroyed(destroyed) {}
    ~Counted() override { ++*m_destroyed; }

private:
    int* m_destroyed;
};

Counted* Build(CTrackedPool& pool, int* destroyed) {
    void* block = pool.Alloc(sizeof(Counted));
    return block != nullptr ? new (block) Counted(destroyed) : nullptr;
}

TEST(CTrackedPool, FreeAllDestroysEveryObjectAndRecyclesTheBlocks) {
    int destroyed = 0;
    CTrackedPool pool(3, 3, sizeof(Counted), true);
    std::set<void*> blocks;
    for (int i = 0; i < 8; ++i) blocks.insert(Build(pool, &destroyed));  // spans overflow pools
    ASSERT_EQ(blocks.size(), 8u);
    ASSERT_EQ(blocks.count(nullptr), 0u);
    pool.Free(*blocks.begin());  // storage only: the caller destroys what it frees itself
    pool.FreeAll();
    EXPECT_EQ(destroyed, 7);
    for (void* block : blocks) EXPECT_FALSE(pool.IsLive(block));
    pool.FreeAll();
    EXPECT_EQ(destroyed, 7);  // nothing is destroyed twice
    void* again = pool.Alloc(sizeof(Counted));
    EXPECT_EQ(blocks.count(again), 1u);
    pool.Free(again);
}

TEST(CTrackedPool, DestructorDestroysWhatIsStillLive) {
    int destroyed = 0;
    {
        CTrackedPool pool(5, 4, sizeof(Counted), false);
        Build(pool, &destroyed);
        Counted* freed = Build(pool, &destroyed);
        freed->~Counted();
        pool.Free(freed);
        Build(pool, &destroyed);
        EXPECT_EQ(destroyed, 1);
    }
    EXPECT_EQ(destroyed, 3);
}

TEST(CTrackedPool, BlockFreedTwiceIsNotHandedOutTwice) {
    CTrackedPool pool(3, 2, 8, false);
    void* a = pool.Alloc(8);
    pool.Free(a);
    AssertCounter counter;
    pool.Free(a);
    EXPECT_EQ(counter.Count(), 1);
    void* first = pool.Alloc(8);
    void* second = pool.Alloc(8);
    EXPECT_EQ(first, a);
    EXPECT_NE(second, a);
    EXPECT_NE(second, nullptr);
    EXPECT_EQ(pool.Alloc(8), nullptr);
    pool.Free(first);
    pool.Free(second);
}

// Reaches the record table to plant records whose key collides with a real
// block's, as blocks 4 GiB apart would.
class CollidingPool : public CTrackedPool {
public:
    CollidingPool() : CTrackedPool(1, 4, 8, false) {}
    void Plant(const void* block) { m_live.Insert(KeyOf(block), reinterpret_cast<uintptr_t>(block)); }
    using CTrackedPool::Forget;
};

TEST(CTrackedPool, BlocksSharingTheLow32BitsStayApart) {
    if (sizeof(uintptr_t) < 8) GTEST_SKIP() << "addresses have no high half";
    CollidingPool pool;
    uint8_t* real = static_cast<uint8_t*>(pool.Alloc(8));
    ASSERT_NE(real, nullptr);
    const uintptr_t fourGiB = uintptr_t{1} << 32;
    const void* older = reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(real) + fourGiB);
    const void* newer = reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(real) + 2 * fourGiB);
    pool.Plant(older);
    pool.Plant(newer);

    EXPECT_TRUE(pool.Forget(older));  // neither the newest nor the oldest of the key
    EXPECT_TRUE(pool.IsLive(newer));
    EXPECT_TRUE(pool.IsLive(real));
    EXPECT_FALSE(pool.IsLive(older));

    pool.Free(real);  // the newer record of the key must survive
    EXPECT_FALSE(pool.IsLive(real));
    EXPECT_TRUE(pool.IsLive(newer));
    EXPECT_EQ(pool.Alloc(8), real);
    pool.Free(real);
    EXPECT_TRUE(pool.Forget(newer));
    EXPECT_FALSE(pool.Forget(newer));
}

}  // namespace
