#include "CHash.h"

#include "CAssert.h"
#include "CPool.h"
#include "CStringToKey.h"

CHash::CHash() : CClass(kClassKey) {}

CHash::~CHash() { Destroy(); }

int32_t CHash::NextPrime(int32_t n) {
    int64_t candidate = (n & 1) != 0 ? n : static_cast<int64_t>(n) + 1;
    if (candidate < 1) candidate = 1;
    for (;; candidate += 2) {
        bool rejected = false;
        for (int64_t divisor = 3; divisor * divisor <= candidate; divisor += 2) {
            if (candidate % divisor == 0) {
                rejected = true;
                break;
            }
        }
        if (!rejected) return static_cast<int32_t>(candidate);
    }
}

bool CHash::Init(int32_t requestedBuckets, uint32_t nodesPerChunk, bool growable) {
    Destroy();
    const int32_t bucketCount = NextPrime(requestedBuckets < 0 ? 0 : requestedBuckets);
    const size_t bucketBytes = ArrayBytes(static_cast<size_t>(bucketCount), sizeof(CHashNode*));
    m_buckets = bucketBytes != 0 ? static_cast<CHashNode**>(MemAllocArray(bucketBytes)) : nullptr;
    m_nodePool = new CPool(nodesPerChunk, sizeof(CHashNode), growable);
    if (m_buckets == nullptr || m_nodePool == nullptr || m_nodePool->GetBlocksPerChunk() == 0) {
        Destroy();
        return false;
    }
    MemSet(m_buckets, 0, bucketBytes);
    m_bucketCount = bucketCount;
    // 2^64 / count rounded up; wraps to 0 for a single bucket, which still
    // maps every key to bucket 0.
    m_bucketReciprocal = UINT64_MAX / static_cast<uint32_t>(bucketCount) + 1;
    return true;
}

bool CHash::Insert(uint32_t key, uintptr_t value) {
    if (m_bucketCount == 0) return false;
    CHashNode* node = static_cast<CHashNode*>(m_nodePool->Alloc(sizeof(CHashNode)));
    if (node == nullptr) return false;
    CHashNode*& head = m_buckets[BucketOf(key)];
    node->key = key;
    node->value = value;
    node->next = head;
    head = node;
    return true;
}

bool CHash::InsertByName(const char* name, uintptr_t value, uint32_t* outKey) {
    const uint32_t key = CStringToKey::Hash(name, false);
    if (outKey != nullptr) *outKey = key;
    return Insert(key, value);
}

bool CHash::Find(uint32_t key, uintptr_t* outValue) const {
    if (m_bucketCount == 0) return false;
    for (const CHashNode* node = m_buckets[BucketOf(key)]; node != nullptr; node = node->next) {
        if (node->key == key) {
            if (outValue != nullptr) *outValue = node->value;
            return true;
        }
    }
    return false;
}

void CHash::Remove(uint32_t key) {
    if (m_bucketCount == 0) return;
    for (CHashNode** link = &m_buckets[BucketOf(key)]; *link != nullptr; link = &(*link)->next) {
        CHashNode* node = *link;
        if (node->key == key) {
            *link = node->next;
            m_nodePool->Free(node);
            return;
        }
    }
}

bool CHash::RemoveEntry(uint32_t key, uintptr_t value) {
    if (m_bucketCount == 0) return false;
    for (CHashNode** link = &m_buckets[BucketOf(key)]; *link != nullptr; link = &(*link)->next) {
        CHashNode* node = *link;
        if (node->key == key && node->value == value) {
            *link = node->next;
            m_nodePool->Free(node);
            return true;
        }
    }
    return false;
}

void CHash::Clear() {
    for (int32_t i = 0; i < m_bucketCount; ++i) {
        CHashNode* node = m_buckets[i];
        while (node != nullptr) {
            CHashNode* next = node->next;
            m_nodePool->Free(node);
            node = next;
        }
        m_buckets[i] = nullptr;
    }
}

void CHash::Destroy() {
    MemFreeArray(m_buckets);
    m_buckets = nullptr;
    m_bucketCount = 0;
    delete m_nodePool;
    m_nodePool = nullptr;
}

CHashNode* CHash::GetBucket(int32_t index) const {
    ASSERT(index >= 0 && index < m_bucketCount);
    if (index < 0 || index >= m_bucketCount) return nullptr;
    return m_buckets[index];
}
