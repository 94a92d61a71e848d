#include "CPool.h"

#include "CAssert.h"

CPool::CPool() : CClass(kClassKey) {}

CPool::CPool(uint32_t blocksPerChunk, uint32_t blockSize, bool growable) : CClass(kClassKey) {
    Init(blocksPerChunk, blockSize, growable);
}

CPool::CPool(CPool* parent) : CClass(kClassKey) {
    Init(parent->m_blocksPerChunk, parent->m_blockSize, true);
    m_parent = parent;
    m_root = parent->m_root;
    m_depth = parent->m_depth + 1;
}

CPool::~CPool() { Release(); }

void CPool::Release() {
    // The pools after this one go; the primary must not keep pointing at one.
    if (m_root->m_firstOpen->m_depth > m_depth) m_root->m_firstOpen = this;
    // Deleted one at a time from the front, so a long chain needs no deep
    // recursion.
    CPool* pool = m_overflow;
    m_overflow = nullptr;
    while (pool != nullptr) {
        CPool* next = pool->m_overflow;
        pool->m_overflow = nullptr;
        delete pool;
        pool = next;
    }
    MemFreeArray(m_blockMemory);
    MemFreeArray(m_freeList);
    MemFreeArray(m_freeMap);
    m_blockMemory = nullptr;
    m_freeList = nullptr;
    m_freeMap = nullptr;
    m_freeCount = 0;
    m_nextFresh = nullptr;
    m_chunkEnd = nullptr;
}

bool CPool::Init(uint32_t blocksPerChunk, uint32_t blockSize, bool growable) {
    Release();
    m_blocksPerChunk = blocksPerChunk;
    m_blockSize = blockSize;
    m_growable = growable;
    const size_t chunkBytes = ArrayBytes(blocksPerChunk, blockSize);
    const size_t freeListBytes = ArrayBytes(blocksPerChunk, sizeof(void*));
    if (chunkBytes == 0 || freeListBytes == 0) return false;
    const size_t freeMapBytes = (static_cast<size_t>(blocksPerChunk) + 7) / 8;
    m_blockMemory = static_cast<uint8_t*>(MemAllocArray(chunkBytes));
    m_freeList = static_cast<void**>(MemAllocArray(freeListBytes));
    m_freeMap = static_cast<uint8_t*>(MemAllocArray(freeMapBytes));
    if (m_blockMemory == nullptr || m_freeList == nullptr || m_freeMap == nullptr) {
        Release();
        return false;
    }
    MemSet(m_freeMap, 0, freeMapBytes);
    m_nextFresh = m_blockMemory;
    m_chunkEnd = m_blockMemory + chunkBytes;
    return true;
}

bool CPool::Owns(const void* block) const {
    const uint8_t* bytes = static_cast<const uint8_t*>(block);
    return m_blockMemory != nullptr && bytes >= m_blockMemory && bytes < m_chunkEnd;
}

bool CPool::IsEmpty() const {
    return static_cast<size_t>(m_freeCount) * m_blockSize == static_cast<size_t>(m_nextFresh - m_blockMemory);
}

void CPool::MarkFree(const void* block, bool isFree) {
    const size_t index = static_cast<size_t>(static_cast<const uint8_t*>(block) - m_blockMemory) / m_blockSize;
    const uint8_t bit = static_cast<uint8_t>(1u << (index % 8));
    if (isFree) {
        m_freeMap[index / 8] |= bit;
    } else {
        m_freeMap[index / 8] &= static_cast<uint8_t>(~bit);
    }
}

bool CPool::IsLive(const void* block) const {
    const uint8_t* bytes = static_cast<const uint8_t*>(block);
    if (!Owns(block) || bytes >= m_nextFresh) return false;
    const size_t offset = static_cast<size_t>(bytes - m_blockMemory);
    if (offset % m_blockSize != 0) return false;
    const size_t index = offset / m_blockSize;
    return (m_freeMap[index / 8] & (1u << (index % 8))) == 0;
}

void* CPool::TakeBlock() {
    if (m_freeCount > 0) {
        void* block = m_freeList[--m_freeCount];
        MarkFree(block, false);
        return block;
    }
    if (m_nextFresh == m_chunkEnd) return nullptr;
    void* block = m_nextFresh;
    m_nextFresh += m_blockSize;
    return block;
}

CPool* CPool::AddOverflow() {
    if (!m_growable || m_blockMemory == nullptr) return nullptr;
    CPool* overflow = new CPool(this);
    // An overflow pool without its chunk would answer null for ever; drop it
    // so that a later request tries again.
    if (overflow != nullptr && overflow->m_blockMemory == nullptr) {
        delete overflow;
        overflow = nullptr;
    }
    m_overflow = overflow;
    return overflow;
}

void* CPool::Alloc(uint32_t size) {
    if (size != m_blockSize) {
        ASSERT(size == m_blockSize);
        return nullptr;
    }
    // The first pool from here on with a block to spare serves the request;
    // the pools before the primary's first open one are known to be full.
    CPool* const firstOpen = m_root->m_firstOpen;
    const bool startsAtFirstOpen = firstOpen->m_depth >= m_depth;
    CPool* pool = startsAtFirstOpen ? firstOpen : this;
    void* block = pool->TakeBlock();
    while (block == nullptr) {
        CPool* next = pool->m_overflow != nullptr ? pool->m_overflow : pool->AddOverflow();
        if (next == nullptr) break;
        pool = next;
        block = pool->TakeBlock();
    }
    if (startsAtFirstOpen) m_root->m_firstOpen = pool;
    return block;
}

CPool* CPool::FindOwner(const void* block) {
    for (CPool* pool = this; pool != nullptr; pool = pool->m_overflow) {
        if (pool->Owns(block)) return pool;
    }
    return nullptr;
}

void CPool::Free(void* block) {
    if (block == nullptr) return;
    CPool* owner = FindOwner(block);
    if (owner == nullptr) {
        // The block belongs to no pool of the chain from here on.
        ASSERT(owner != nullptr);
        return;
    }
    owner->ReturnBlock(block);
}

void CPool::ReturnBlock(void* block) {
    // A block freed twice would be handed out twice, and could empty an
    // overflow pool that still holds a live block.
    if (!IsLive(block)) {
        DebugPrintf("CPool: block %p is not a live block of the pool\n", block);
        ASSERT(IsLive(block));
        return;
    }
    MarkFree(block, true);
    m_freeList[m_freeCount++] = block;
    CPool* root = m_root;
    if (m_depth < root->m_firstOpen->m_depth) root->m_firstOpen = this;
    if (m_parent != nullptr && m_overflow == nullptr && IsEmpty()) {
        if (root->m_firstOpen == this) root->m_firstOpen = m_parent;
        m_parent->m_overflow = nullptr;
        delete this;
    }
}
