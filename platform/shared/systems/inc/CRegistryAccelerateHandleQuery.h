#ifndef CREGISTRYACCELERATEHANDLEQUERY_H
#define CREGISTRYACCELERATEHANDLEQUERY_H

#include "CRegistryAccelerator.h"

class CHash;

// Indexes a registry's items by id in a hash table.
class CRegistryAccelerateHandleQuery : public CRegistryAccelerator {
public:
    static constexpr uint32_t kClassKey = 0x21D748FF;

    CRegistryAccelerateHandleQuery(int32_t bucketRequest, uint32_t blocksPerChunk, bool growable);
    ~CRegistryAccelerateHandleQuery() override;

    CRegistryAccelerateHandleQuery(const CRegistryAccelerateHandleQuery&) = delete;
    CRegistryAccelerateHandleQuery& operator=(const CRegistryAccelerateHandleQuery&) = delete;

    void Insert(CRegistryItem* item) override;
    bool Remove(CRegistryItem* item) override;
    void Clear() override;
    bool Query(uint32_t type, uint32_t id, CRegistryItem** outItem) override;
    // Indexes every item already in the registry, head to tail.
    void Attach(CRegistry* registry) override;

private:
    bool IsReady() const;
    void RemoveIndexEntry(const CRegistryItem* item);

    CHash* m_index;
};

#endif
