#ifndef CEXECUTABLEREGISTRY_H
#define CEXECUTABLEREGISTRY_H

#include "CRegistry.h"

// A registry whose action runs every executable it holds, head to tail.
// An item without an object names a resource by its id; the loaded
// resource's object runs in its place.
class CExecutableRegistry : public CRegistry {
public:
    static constexpr uint32_t kClassKey = 0x773D40D7;

    explicit CExecutableRegistry(uint32_t classKey = kClassKey) : CRegistry(classKey) {}

    void Execute() override;

private:
    CExecutable* ExecutableOf(CRegistryItem* item);
};

#endif
