#include "CPool.h"

#include "CAssert.h"

CPool::CPool() : CClass(kClassKey) {}

CPool::CPool(uint32_t blocksPerChunk, uint32_t blockSize, bool growable) : CClass(kClassKey) {
    Init(blocksPerChunk, blockSize, growable);
}

CPool::CPool(CPool* parent) : CClass(kClassKey) {
    Init(parent->m_blocksPerChunk, parent->m_blockSize, true);
    m_parent = parent;
}

CPool::~CPool() { Release(); }

void CPool::Release() {
    delete m_overflow;
    m_overflow = nullptr;
    MemFreeArray(m_blockMemory);
    MemFreeArray(m_freeList);
    m_blockMemory = nullptr;
    m_freeList = nullptr;
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
    m_blockMemory = static_cast<uint8_t*>(MemAllocArray(chunkBytes));
    m_freeList = static_cast<void**>(MemAllocArray(freeListBytes));
    if (m_blockMemory == nullptr || m_freeList == nullptr) {
        Release();
        return false;
    }
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

void* CPool::Alloc(uint32_t size) {
    ASSERT(size == m_blockSize);
    if (size != m_blockSize) return nullptr;
    return AllocFromChain(size);
}

void* CPool::AllocFromChain(uint32_t size) {
    if (m_freeCount > 0) return m_freeList[--m_freeCount];
    if (m_nextFresh != nullptr && m_nextFresh < m_chunkEnd) {
        void* block = m_nextFresh;
        m_nextFresh += m_blockSize;
        return block;
    }
    if (m_overflow == nullptr && m_growable && m_blockMemory != nullptr) {
        CPool* overflow = new CPool(this);
        // An overflow pool without its chunk would answer null for ever;
        // drop it so that a later request tries again.
        if (overflow != nullptr && overflow->m_blockMemory == nullptr) {
            delete overflow;
            overflow = nullptr;
        }
        m_overflow = overflow;
    }
    return m_overflow != nullptr ? m_overflow->AllocFromChain(size) : nullptr;
}

void CPool::Free(void* block) {
    if (block == nullptr) return;
    if (!Owns(block)) {
        ASSERT(m_overflow != nullptr);
        if (m_overflow != nullptr) m_overflow->Free(block);
        return;
    }
    // A block freed twice would overrun the free list.
    ASSERT(m_freeCount < m_blocksPerChunk);
    if (m_freeCount >= m_blocksPerChunk) return;
    m_freeList[m_freeCount++] = block;
    if (m_parent != nullptr && m_overflow == nullptr && IsEmpty()) {
        m_parent->m_overflow = nullptr;
        delete this;
    }
}
