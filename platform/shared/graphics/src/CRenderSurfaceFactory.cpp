#include "CRenderSurfaceFactory.h"

#include "CRenderSurface_SW_OffScreen.h"

namespace {
constexpr uint32_t kCapabilityDriver = 2;
constexpr uint32_t kCapabilityInitialisedDriver = 3;
}  // namespace

CRenderSurface* CreateRenderSurface(uint32_t kind, uint32_t buffering, uint32_t capabilities) {
    if (kind != kRenderSurfaceKindOffScreen) return nullptr;
    if (buffering != 0 || capabilities == kCapabilityDriver || capabilities == kCapabilityInitialisedDriver) {
        return nullptr;
    }
    return new CRenderSurface_SW_OffScreen();
}
