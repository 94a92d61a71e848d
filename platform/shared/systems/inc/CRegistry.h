#ifndef CREGISTRY_H
#define CREGISTRY_H

#include "CRegistryBase.h"
#include "CRegistryItem.h"

class CRegistryAccelerator;

// A keyed, priority-ordered list of items: descending priority from head to
// tail, a new item after its equals. The end of the list is the embedded
// sentinel. With an idle accelerator attached, Register, Unregister, Clear
// and Find go through it.
class CRegistry : public CRegistryBase {
public:
    static constexpr uint32_t kClassKey = 0x431E438F;

    explicit CRegistry(uint32_t classKey = kClassKey);
    ~CRegistry() override;

    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    void Execute() override {}
    CRegistryItem* NewItem(uint32_t id, int32_t priority) override;
    CRegistryItem* NewItem(uint32_t id, CClass* object, uint32_t type, int32_t priority) override;
    void Register(CRegistryItem* item) override;
    bool Unregister(CRegistryItem* item) override;
    void Clear(uint32_t argument) override;
    bool Find(uint32_t type, uint32_t id, CRegistryItem** outItem) override;

    // Deletes the accelerator attached before; null detaches.
    void SetQueryAccelerator(CRegistryAccelerator* accelerator);
    CRegistryAccelerator* GetQueryAccelerator() const { return m_accelerator; }

    // Iteration: from Begin() through GetNext() until End().
    CRegistryItem* Begin() const { return m_head; }
    const CRegistryItem* End() const { return &m_sentinel; }
    bool IsEmpty() const { return m_head == &m_sentinel; }

    // The plain list operations, bypassing any accelerator.
    void RegisterDirect(CRegistryItem* item);
    bool UnregisterDirect(CRegistryItem* item);
    void ClearDirect();
    bool FindDirect(uint32_t type, uint32_t id, CRegistryItem** outItem) const;

private:
    bool IsAccelerated() const;
    void LinkBefore(CRegistryItem* item, CRegistryItem* next);

    CRegistryItem m_sentinel;
    CRegistryItem* m_head;
    CRegistryItem* m_tail;
    CRegistryAccelerator* m_accelerator = nullptr;
};

#endif
