#include "CRegistryAccelerateHandleQuery.h"

#include "CAssert.h"
#include "CHash.h"
#include "CRegistry.h"

CRegistryAccelerateHandleQuery::CRegistryAccelerateHandleQuery(int32_t bucketRequest, uint32_t blocksPerChunk,
                                                               bool growable)
    : CRegistryAccelerator(kClassKey), m_index(new CHash()) {
    ASSERT(m_index != nullptr);
    if (m_index != nullptr && !m_index->Init(bucketRequest, blocksPerChunk, growable)) {
        delete m_index;
        m_index = nullptr;
    }
}

CRegistryAccelerateHandleQuery::~CRegistryAccelerateHandleQuery() { delete m_index; }

bool CRegistryAccelerateHandleQuery::IsReady() const { return GetRegistry() != nullptr && m_index != nullptr; }

void CRegistryAccelerateHandleQuery::Insert(CRegistryItem* item) {
    ASSERT(IsReady());
    ASSERT(item != nullptr && item->GetClassKey() == CRegistryItem::kClassKey);
    if (!IsReady() || item == nullptr) return;
    {
        BusyScope busy(this);
        GetRegistry()->Register(item);
    }
    m_index->Insert(item->GetId(), reinterpret_cast<uintptr_t>(item));
}

bool CRegistryAccelerateHandleQuery::Remove(CRegistryItem* item) {
    ASSERT(IsReady());
    ASSERT(item != nullptr && item->GetClassKey() == CRegistryItem::kClassKey);
    if (!IsReady() || item == nullptr) return false;
    bool removed = false;
    {
        BusyScope busy(this);
        removed = GetRegistry()->Unregister(item);
    }
    if (removed) RemoveIndexEntry(item);
    return removed;
}

// Removes the index node of this very item: with duplicate ids, removing by
// key alone could drop another item's entry and leave this one dangling.
void CRegistryAccelerateHandleQuery::RemoveIndexEntry(const CRegistryItem* item) {
    m_index->RemoveEntry(item->GetId(), reinterpret_cast<uintptr_t>(item));
}

void CRegistryAccelerateHandleQuery::Clear() {
    if (!IsReady()) return;
    {
        BusyScope busy(this);
        GetRegistry()->Clear(0);
    }
    m_index->Clear();
}

bool CRegistryAccelerateHandleQuery::Query(uint32_t type, uint32_t id, CRegistryItem** outItem) {
    if (!IsReady() || (type == 0 && id == 0)) return false;
    if (id == 0) {
        BusyScope busy(this);
        return GetRegistry()->Find(type, 0, outItem);
    }
    uintptr_t found = 0;
    CRegistryItem* item = m_index->Find(id, &found) ? reinterpret_cast<CRegistryItem*>(found) : nullptr;
    if (item != nullptr && type != 0 && item->GetType() != type) item = nullptr;
    if (outItem != nullptr) *outItem = item;
    return item != nullptr;
}

void CRegistryAccelerateHandleQuery::Attach(CRegistry* registry) {
    CRegistryAccelerator::Attach(registry);
    if (!IsReady()) return;
    for (CRegistryItem* item = registry->Begin(); item != registry->End(); item = item->GetNext()) {
        m_index->Insert(item->GetId(), reinterpret_cast<uintptr_t>(item));
    }
}
