#ifndef CREGISTRYACCELERATOR_H
#define CREGISTRYACCELERATOR_H

#include "CClass.h"

class CRegistry;
class CRegistryItem;

// An index a registry hands its operations to. While the accelerator calls
// back into its registry it is busy, so that call takes the plain path.
class CRegistryAccelerator : public CClass {
public:
    static constexpr uint32_t kClassKey = 0x786E96C9;

    explicit CRegistryAccelerator(uint32_t classKey = kClassKey) : CClass(classKey) {}

    virtual void Insert(CRegistryItem* item) = 0;
    virtual bool Remove(CRegistryItem* item) = 0;
    virtual void Clear() = 0;
    virtual bool Query(uint32_t type, uint32_t id, CRegistryItem** outItem) = 0;
    virtual void Attach(CRegistry* registry) { m_registry = registry; }

    bool IsBusy() const { return m_busy != 0; }
    CRegistry* GetRegistry() const { return m_registry; }

protected:
    // Marks the accelerator busy for the lifetime of a call into its registry.
    class BusyScope {
    public:
        explicit BusyScope(CRegistryAccelerator* owner) : m_owner(owner) { m_owner->m_busy = 1; }
        ~BusyScope() { m_owner->m_busy = 0; }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        CRegistryAccelerator* m_owner;
    };

private:
    uint8_t m_busy = 0;
    CRegistry* m_registry = nullptr;
};

#endif
