#include "ICCore.h"

#include "CAssert.h"

namespace {

ICCore* g_core = nullptr;

// The direction `steps` quarter turns on from `direction`.
uint32_t Turn(uint32_t direction, uint32_t steps) {
    const bool valid = direction >= ICCore::kFirstDirection && direction <= ICCore::kLastDirection;
    ASSERT(valid);
    if (!valid) return 0;
    return (direction - 1 + steps) % 4 + 1;
}

}  // namespace

uint32_t ICCore::RotateDirection90(uint32_t direction) { return Turn(direction, 1); }

uint32_t ICCore::RotateDirection270(uint32_t direction) { return Turn(direction, 3); }

uint32_t ICCore::RotateDirection180(uint32_t direction) { return Turn(direction, 2); }

ICCore* GetCore() { return g_core; }

void SetCore(ICCore* core) { g_core = core; }
