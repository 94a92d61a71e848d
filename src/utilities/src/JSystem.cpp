#include "JSystem.h"

#include "CRuntime.h"

uint32_t JSystem::currentTimeMillis() { return GetTimeMillis(); }
