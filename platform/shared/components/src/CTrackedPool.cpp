#include "CTrackedPool.h"

#include "CAssert.h"

CTrackedPool::CTrackedPool(int32_t hashBuckets, uint32_t blocksPerChunk, uint32_t blockSize, bool growable) {
    CPool::Init(blocksPerChunk, blockSize, growable);
    m_live.Init(hashBuckets, blocksPerChunk, growable);
}

CTrackedPool::~CTrackedPool() { FreeAll(); }

uint32_t CTrackedPool::KeyOf(const void* block) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(block));
}

CHashNode* CTrackedPool::ChainOf(uint32_t key) const {
    const int32_t buckets = m_live.GetBucketCount();
    if (buckets == 0) return nullptr;
    return m_live.GetBucket(static_cast<int32_t>(key % static_cast<uint32_t>(buckets)));
}

void* CTrackedPool::Alloc(uint32_t size) {
    void* block = CPool::Alloc(size);
    if (block == nullptr) return nullptr;
    if (!m_live.Insert(KeyOf(block), reinterpret_cast<uintptr_t>(block))) {
        CPool::Free(block);
        return nullptr;
    }
    return block;
}

void CTrackedPool::Free(void* block) {
    if (block == nullptr) return;
    const bool wasLive = Forget(block);
    ASSERT(wasLive);
    if (wasLive) CPool::Free(block);
}

bool CTrackedPool::IsLive(const void* block) const {
    const uint32_t key = KeyOf(block);
    for (const CHashNode* node = ChainOf(key); node != nullptr; node = node->next) {
        if (node->key == key && node->value == reinterpret_cast<uintptr_t>(block)) return true;
    }
    return false;
}

bool CTrackedPool::Forget(const void* block) {
    const uint32_t key = KeyOf(block);
    CHashNode* newest = nullptr;
    for (CHashNode* node = ChainOf(key); node != nullptr; node = node->next) {
        if (node->key != key) continue;
        if (newest == nullptr) newest = node;
        if (node->value == reinterpret_cast<uintptr_t>(block)) {
            // The table only removes the newest record of a key; that record
            // takes over this one's block before it goes.
            node->value = newest->value;
            m_live.Remove(key);
            return true;
        }
    }
    return false;
}

void CTrackedPool::FreeAll() {
    for (int32_t b = 0; b < m_live.GetBucketCount(); ++b) {
        // The head is the newest record of its key, the one Remove takes.
        // It leaves the table before its object is destroyed, so a
        // destructor that frees other blocks of this pool finds a sound table.
        while (CHashNode* head = m_live.GetBucket(b)) {
            void* block = reinterpret_cast<void*>(head->value);
            m_live.Remove(head->key);
            static_cast<CClass*>(block)->~CClass();
            CPool::Free(block);
        }
    }
}
