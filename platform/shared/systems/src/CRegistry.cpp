#include "CRegistry.h"

#include "CAssert.h"
#include "CRegistryAccelerator.h"

CRegistry::CRegistry(uint32_t classKey)
    : CRegistryBase(classKey), m_sentinel(0, nullptr, 0, 0), m_head(&m_sentinel), m_tail(&m_sentinel) {}

CRegistry::~CRegistry() { delete m_accelerator; }

CRegistryItem* CRegistry::NewItem(uint32_t id, int32_t priority) { return new CRegistryItem(id, 0, priority); }

CRegistryItem* CRegistry::NewItem(uint32_t id, CClass* object, uint32_t type, int32_t priority) {
    return new CRegistryItem(id, object, type, priority);
}

bool CRegistry::IsAccelerated() const { return m_accelerator != nullptr && !m_accelerator->IsBusy(); }

void CRegistry::Register(CRegistryItem* item) {
    if (IsAccelerated()) {
        m_accelerator->Insert(item);
    } else {
        RegisterDirect(item);
    }
}

bool CRegistry::Unregister(CRegistryItem* item) {
    return IsAccelerated() ? m_accelerator->Remove(item) : UnregisterDirect(item);
}

void CRegistry::Clear(uint32_t) {
    if (IsAccelerated()) {
        m_accelerator->Clear();
    } else {
        ClearDirect();
    }
}

bool CRegistry::Find(uint32_t type, uint32_t id, CRegistryItem** outItem) {
    return IsAccelerated() ? m_accelerator->Query(type, id, outItem) : FindDirect(type, id, outItem);
}

void CRegistry::LinkBefore(CRegistryItem* item, CRegistryItem* next) {
    CRegistryItem* prev = next == &m_sentinel ? (m_tail == &m_sentinel ? nullptr : m_tail) : next->m_prev;
    item->m_registry = this;
    item->m_prev = prev;
    item->m_next = next;
    if (prev == nullptr) {
        m_head = item;
    } else {
        prev->m_next = item;
    }
    if (next == &m_sentinel) {
        m_tail = item;
        m_sentinel.m_prev = item;
    } else {
        next->m_prev = item;
    }
}

void CRegistry::RegisterDirect(CRegistryItem* item) {
    ASSERT(item != nullptr && item->GetClassKey() == CRegistryItem::kClassKey);
    if (item == nullptr) return;
    // Walk from the tail towards the head past every item of lower priority;
    // the new item goes after the first one that is at least its equal.
    CRegistryItem* after = m_tail == &m_sentinel ? nullptr : m_tail;
    while (after != nullptr && after->GetPriority() < item->GetPriority()) after = after->m_prev;
    LinkBefore(item, after == nullptr ? m_head : after->m_next);
}

bool CRegistry::UnregisterDirect(CRegistryItem* item) {
    ASSERT(item != nullptr && item->GetClassKey() == CRegistryItem::kClassKey);
    if (item == nullptr) return false;
    // Unlinking an item of another list, or none, would cut this one.
    if (item->m_registry != this) {
        DebugPrintf("CRegistry: item %u is not registered here\n", item->GetId());
        ASSERT(item->m_registry == this);
        return false;
    }
    item->m_registry = nullptr;
    CRegistryItem* next = item->m_next;
    if (item->m_prev != nullptr) {
        item->m_prev->m_next = next;
    } else {
        m_head = next;
    }
    if (next == &m_sentinel) {
        m_tail = item->m_prev != nullptr ? item->m_prev : &m_sentinel;
        m_sentinel.m_prev = item->m_prev;
    } else if (next != nullptr) {
        next->m_prev = item->m_prev;
    }
    return true;
}

void CRegistry::ClearDirect() {
    for (CRegistryItem* item = m_head; item != &m_sentinel; item = item->m_next) item->m_registry = nullptr;
    m_head = &m_sentinel;
    m_tail = &m_sentinel;
    m_sentinel.m_prev = nullptr;
}

bool CRegistry::FindDirect(uint32_t type, uint32_t id, CRegistryItem** outItem) const {
    if (type == 0 && id == 0) return false;
    for (CRegistryItem* item = m_head; item != &m_sentinel; item = item->m_next) {
        const bool typeMatches = type == 0 || item->GetType() == type;
        const bool idMatches = id == 0 || item->GetId() == id;
        if (typeMatches && idMatches) {
            if (outItem != nullptr) *outItem = item;
            return true;
        }
    }
    if (outItem != nullptr) *outItem = nullptr;
    return false;
}

void CRegistry::SetQueryAccelerator(CRegistryAccelerator* accelerator) {
    delete m_accelerator;
    m_accelerator = accelerator;
    if (accelerator != nullptr) accelerator->Attach(this);
}
