#ifndef CREGISTRYITEMBASE_H
#define CREGISTRYITEMBASE_H

#include "CPrioritizedObject.h"

// The common root of registry entries.
class CRegistryItemBase : public CPrioritizedObject {
public:
    static constexpr uint32_t kClassKey = 0x99C757B7;

    explicit CRegistryItemBase(uint32_t classKey = kClassKey, int32_t priority = kDefaultPriority)
        : CPrioritizedObject(classKey, priority) {}
};

#endif
