#include "CPool.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

namespace {

// The pool chain as plainly described: the first pool in chain order with a
// freed block (newest first) or a fresh one serves a request; a full chain
// grows by one pool; an overflow pool that is last and empty again goes.
class ChainModel {
public:
    explicit ChainModel(int32_t blocksPerPool) : m_blocksPerPool(blocksPerPool) { m_pools.emplace_back(); }

    // The pool and slot that the next Alloc must hand out; grows the chain.
    std::pair<size_t, int32_t> Alloc(bool* fresh) {
        for (size_t p = 0; p < m_pools.size(); ++p) {
            Pool& pool = m_pools[p];
            *fresh = pool.freeSlots.empty();
            if (!*fresh) {
                const int32_t slot = pool.freeSlots.back();
                pool.freeSlots.pop_back();
                return {p, slot};
            }
            if (pool.fresh < m_blocksPerPool) return {p, pool.fresh++};
        }
        m_pools.emplace_back();
        *fresh = true;
        return {m_pools.size() - 1, m_pools.back().fresh++};
    }

    // Returns true when the pool went away.
    bool Free(size_t p, int32_t slot) {
        m_pools[p].freeSlots.push_back(slot);
        const bool empty = static_cast<int32_t>(m_pools[p].freeSlots.size()) == m_pools[p].fresh;
        if (p == 0 || p + 1 != m_pools.size() || !empty) return false;
        m_pools.pop_back();
        return true;
    }

    size_t PoolCount() const { return m_pools.size(); }

private:
    struct Pool {
        std::vector<int32_t> freeSlots;
        int32_t fresh = 0;
    };
    int32_t m_blocksPerPool;
    std::vector<Pool> m_pools;
};

CPool* PoolAt(CPool& primary, size_t depth) {
    CPool* pool = &primary;
    for (size_t i = 0; i < depth && pool != nullptr; ++i) pool = pool->GetOverflow();
    return pool;
}

size_t ChainLength(CPool& primary) {
    size_t length = 0;
    for (CPool* pool = &primary; pool != nullptr; pool = pool->GetOverflow()) ++length;
    return length;
}

TEST(CPoolChain, LongChainsHandOutBlocksInChainOrder) {
    constexpr int32_t kBlocks = 3;
    CPool primary(kBlocks, 16, true);
    ChainModel model(kBlocks);
    std::map<std::pair<size_t, int32_t>, void*> blockOf;
    std::vector<std::pair<size_t, int32_t>> live;
    std::mt19937 random(1234);
    for (int32_t step = 0; step < 20000; ++step) {
        // Grow for a while, then shrink, then grow again.
        const bool growing = (step / 2500) % 2 == 0;
        const bool alloc = live.empty() || random() % 100 < (growing ? 70u : 30u);
        if (alloc) {
            bool fresh = false;
            const auto expected = model.Alloc(&fresh);
            void* block = primary.Alloc(16);
            ASSERT_NE(block, nullptr);
            if (fresh) {
                ASSERT_TRUE(PoolAt(primary, expected.first)->Owns(block)) << "step " << step;
                blockOf[expected] = block;
            } else {
                ASSERT_EQ(block, blockOf[expected]) << "step " << step;
            }
            live.push_back(expected);
        } else {
            const size_t index = random() % live.size();
            const auto victim = live[index];
            live[index] = live.back();
            live.pop_back();
            primary.Free(blockOf[victim]);
            if (model.Free(victim.first, victim.second)) {
                for (int32_t slot = 0; slot < kBlocks; ++slot) blockOf.erase({victim.first, slot});
            }
        }
        ASSERT_EQ(ChainLength(primary), model.PoolCount()) << "step " << step;
    }
    for (const auto& entry : live) {
        primary.Free(blockOf[entry]);
        model.Free(entry.first, entry.second);
    }
    EXPECT_EQ(ChainLength(primary), model.PoolCount());
}

TEST(CPoolChain, AllocationThroughAnOverflowPoolStaysBehindIt) {
    CPool primary(1, 8, true);
    void* first = primary.Alloc(8);
    void* second = primary.Alloc(8);
    void* third = primary.Alloc(8);
    CPool* middle = primary.GetOverflow();
    ASSERT_NE(middle, nullptr);
    ASSERT_TRUE(middle->Owns(second));
    primary.Free(first);
    // The primary has room again, but a request made of the middle pool is
    // served from the middle pool onward.
    void* fourth = middle->Alloc(8);
    EXPECT_FALSE(primary.Owns(fourth));
    EXPECT_EQ(primary.Alloc(8), first);
    primary.Free(fourth);
    primary.Free(third);
    primary.Free(second);
    primary.Free(first);
    EXPECT_EQ(primary.GetOverflow(), nullptr);
}

}  // namespace
