#ifndef CTRACKEDPOOL_H
#define CTRACKEDPOOL_H

#include "CHash.h"
#include "CPool.h"

// A block pool that remembers every live block, so that the engine objects
// built in its blocks can all be destroyed at once. Blocks hold CClass
// objects constructed in place at the start of the block.
class CTrackedPool : public CPool {
public:
    CTrackedPool(int32_t hashBuckets, uint32_t blocksPerChunk, uint32_t blockSize, bool growable);
    ~CTrackedPool() override;

    // A block that is recorded as live, or null (also when it could not be
    // recorded).
    void* Alloc(uint32_t size) override;
    // Forgets the block and returns it to the pool. A block that is not live
    // (freed twice, or foreign) is reported and left alone.
    void Free(void* block) override;
    // Destroys the object in every live block, bucket by bucket, and returns
    // the blocks to the pool.
    virtual void FreeAll();

    bool IsLive(const void* block) const;

protected:
    // Blocks are recorded under the low 32 bits of their address with the
    // full address as the value: on a 64-bit host two blocks 4 GiB apart
    // share a key, so a block is always matched by its full address.
    static uint32_t KeyOf(const void* block);
    // The chain that holds the records of the key, or null.
    CHashNode* ChainOf(uint32_t key) const;
    bool Forget(const void* block);

    CHash m_live;
};

#endif
