#ifndef COWNINGEXECUTABLEREGISTRY_H
#define COWNINGEXECUTABLEREGISTRY_H

#include "CExecutableRegistry.h"

// An executable registry that owns its items and their objects.
class COwningExecutableRegistry : public CExecutableRegistry {
public:
    static constexpr uint32_t kClassKey = 0xF9720BB7;

    COwningExecutableRegistry() : CExecutableRegistry(kClassKey) {}
    ~COwningExecutableRegistry() override;
};

#endif
