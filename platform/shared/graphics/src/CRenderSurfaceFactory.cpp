#include "CRenderSurfaceFactory.h"

#include "CRenderSurface_DDraw_Window_WinMobile.h"
#include "CRenderSurface_SW_OffScreen.h"

namespace {
constexpr uint32_t kCapabilityDriver = 2;
constexpr uint32_t kCapabilityInitialisedDriver = 3;
}  // namespace

// Off-screen surfaces are software surfaces made without buffering and
// without the driver bit; every other kind is the device's window surface,
// which only a DirectDraw device can make.
CRenderSurface* CreateRenderSurface(uint32_t kind, uint32_t buffering, uint32_t capabilities) {
    if (kind != kRenderSurfaceKindOffScreen) return CRenderSurface_DDraw_Window_WinMobile::CreateForDevice(buffering);
    if (buffering != 0 || capabilities == kCapabilityDriver || capabilities == kCapabilityInitialisedDriver) {
        return nullptr;
    }
    return new CRenderSurface_SW_OffScreen();
}
