#ifndef CREGISTRYBASE_H
#define CREGISTRYBASE_H

#include "CExecutable.h"

class CRegistryItem;

// The registry interface. A registry is itself an executable, so registries
// nest: running one runs what it holds.
class CRegistryBase : public CExecutable {
public:
    static constexpr uint32_t kClassKey = 0x364E423D;

    explicit CRegistryBase(uint32_t classKey = kClassKey) : CExecutable(classKey) {}

    // New unregistered items; null when memory runs out.
    virtual CRegistryItem* NewItem(uint32_t, int32_t) { return nullptr; }
    virtual CRegistryItem* NewItem(uint32_t, CClass*, uint32_t, int32_t) { return nullptr; }
    virtual void Register(CRegistryItem* item) = 0;
    virtual bool Unregister(CRegistryItem* item) = 0;
    virtual void Clear(uint32_t argument) = 0;
    // Type 0 or id 0 means any; both 0 finds nothing and leaves outItem.
    virtual bool Find(uint32_t type, uint32_t id, CRegistryItem** outItem) = 0;
};

#endif
