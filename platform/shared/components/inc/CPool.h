#ifndef CPOOL_H
#define CPOOL_H

#include "CClass.h"

// A pool of fixed-size blocks carved from one chunk, recycled through a free
// list. A growable pool that runs out chains an overflow pool of the same
// geometry; an overflow pool that is last in the chain and empty again
// deletes itself, so the chain shrinks back from its end.
class CPool : public CClass {
public:
    static constexpr uint32_t kClassKey = 0x0016699C;

    CPool();
    CPool(uint32_t blocksPerChunk, uint32_t blockSize, bool growable);
    ~CPool() override;

    CPool(const CPool&) = delete;
    CPool& operator=(const CPool&) = delete;

    // Clears the state and allocates the chunk and its free list. Returns
    // false when either allocation failed; the pool then hands out nothing.
    bool Init(uint32_t blocksPerChunk, uint32_t blockSize, bool growable);

    // A block of `size` bytes (which must be the block size), or null.
    virtual void* Alloc(uint32_t size);
    // Returns a block to the pool of the chain that owns it; null is ignored,
    // and so, with an engine check, is a block that is already free or is
    // no block of the chain.
    virtual void Free(void* block);

    uint32_t GetBlockSize() const { return m_blockSize; }
    uint32_t GetBlocksPerChunk() const { return m_blocksPerChunk; }
    CPool* GetOverflow() const { return m_overflow; }
    bool Owns(const void* block) const;

private:
    explicit CPool(CPool* parent);
    void Release();
    bool IsEmpty() const;
    void* TakeBlock();
    CPool* AddOverflow();
    CPool* FindOwner(const void* block);
    void ReturnBlock(void* block);
    // True for the start of a block this pool has handed out and not had
    // back yet.
    bool IsLive(const void* block) const;
    void MarkFree(const void* block, bool isFree);

    CPool* m_parent = nullptr;
    CPool* m_overflow = nullptr;
    // The primary pool of the chain, and this pool's place in it (0 there).
    CPool* m_root = this;
    uint32_t m_depth = 0;
    // Kept by the primary: the earliest pool of the chain that may still
    // have a block; every pool before it is exhausted. Allocation starts
    // there instead of walking a long chain from its head.
    CPool* m_firstOpen = this;
    uint8_t* m_blockMemory = nullptr;
    void** m_freeList = nullptr;
    // One bit per block of the chunk, set while the block is on the free list.
    uint8_t* m_freeMap = nullptr;
    uint32_t m_freeCount = 0;
    uint32_t m_blocksPerChunk = 0;
    uint32_t m_blockSize = 0;
    uint8_t* m_nextFresh = nullptr;
    uint8_t* m_chunkEnd = nullptr;
    bool m_growable = false;
};

#endif
