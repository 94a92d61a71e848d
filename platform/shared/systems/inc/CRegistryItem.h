#ifndef CREGISTRYITEM_H
#define CREGISTRYITEM_H

#include "CRegistryItemBase.h"

class CRegistry;

// One entry of a CRegistry: {id, type, object} at a priority. The object is
// not owned; the item is owned by whoever created it, the registry only
// links it.
class CRegistryItem : public CRegistryItemBase {
public:
    static constexpr uint32_t kClassKey = 0xB79257B5;

    CRegistryItem(uint32_t id, CClass* object, uint32_t type, int32_t priority)
        : CRegistryItemBase(kClassKey, priority), m_id(id), m_type(type), m_object(object) {}
    CRegistryItem(uint32_t id, uint32_t type, int32_t priority) : CRegistryItem(id, nullptr, type, priority) {}
    CRegistryItem(CClass* object, uint32_t type, int32_t priority) : CRegistryItem(0, object, type, priority) {}

    CRegistryItem(const CRegistryItem&) = delete;
    CRegistryItem& operator=(const CRegistryItem&) = delete;

    uint32_t GetId() const { return m_id; }
    uint32_t GetType() const { return m_type; }
    CClass* GetObject() const { return m_object; }
    void SetObject(CClass* object) { m_object = object; }
    CRegistryItem* GetPrev() const { return m_prev; }
    // After the item leaves its registry these still name its old
    // neighbours, so a walk can go on past an item it removed.
    CRegistryItem* GetNext() const { return m_next; }
    bool IsRegistered() const { return m_registry != nullptr; }

private:
    friend class CRegistry;

    uint32_t m_id;
    uint32_t m_type;
    CClass* m_object;
    // The registry whose list holds the item, or null.
    const CRegistry* m_registry = nullptr;
    CRegistryItem* m_prev = nullptr;
    CRegistryItem* m_next = nullptr;
};

#endif
