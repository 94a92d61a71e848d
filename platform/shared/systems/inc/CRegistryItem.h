#ifndef CREGISTRYITEM_H
#define CREGISTRYITEM_H

#include "CRegistryItemBase.h"

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
    CRegistryItem* GetNext() const { return m_next; }

private:
    friend class CRegistry;

    uint32_t m_id;
    uint32_t m_type;
    CClass* m_object;
    CRegistryItem* m_prev = nullptr;
    CRegistryItem* m_next = nullptr;
};

#endif
