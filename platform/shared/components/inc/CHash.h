#ifndef CHASH_H
#define CHASH_H

#include "CClass.h"

class CPool;

// One entry of a CHash bucket chain. Values are pointer-sized: most tables
// keep object pointers in them.
struct CHashNode {
    uint32_t key;
    uintptr_t value;
    CHashNode* next;
};

// A chained hash table from 32-bit keys to pointer-sized values, with a prime
// number of buckets and nodes taken from a block pool. Duplicate keys are
// allowed; Find and Remove act on the latest insert.
class CHash : public CClass {
public:
    static constexpr uint32_t kClassKey = 0x0017E658;

    CHash();
    ~CHash() override;

    CHash(const CHash&) = delete;
    CHash& operator=(const CHash&) = delete;

    // Bucket count NextPrime(requested); false when the buckets or the node
    // pool could not be created.
    bool Init(int32_t requestedBuckets, uint32_t nodesPerChunk, bool growable);
    // The smallest odd number >= n (n + 1 for even n) with no odd divisor
    // up to its square root: 0 and 1 give 1, 20 gives 23.
    static int32_t NextPrime(int32_t n);

    // Returns false (table unchanged) when no node could be allocated.
    bool Insert(uint32_t key, uintptr_t value);
    bool InsertByName(const char* name, uintptr_t value, uint32_t* outKey);
    // On the first node of the key, stores its value (when outValue is not
    // null) and returns true.
    bool Find(uint32_t key, uintptr_t* outValue) const;
    void Remove(uint32_t key);
    // Removes the latest node holding both the key and the value; false
    // when there is none.
    bool RemoveEntry(uint32_t key, uintptr_t value);
    void Clear();
    void Destroy();

    int32_t GetBucketCount() const { return m_bucketCount; }
    // Head of bucket i, or null; walk the chain through `next`.
    CHashNode* GetBucket(int32_t index) const;

private:
    // key mod bucket count, through a reciprocal fixed at Init: exact for
    // every 32-bit key and count, and without a division on each lookup.
    uint32_t BucketOf(uint32_t key) const {
        const unsigned __int128 fraction = m_bucketReciprocal * key;
        return static_cast<uint32_t>((fraction * static_cast<uint32_t>(m_bucketCount)) >> 64);
    }

    CPool* m_nodePool = nullptr;
    int32_t m_bucketCount = 0;
    uint64_t m_bucketReciprocal = 0;
    CHashNode** m_buckets = nullptr;
};

#endif
