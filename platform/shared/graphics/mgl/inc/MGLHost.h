#ifndef MGLHOST_H
#define MGLHOST_H

#include <cstdint>

class CGraphics;

// The renderer's one way to the graphics device: the device whose current
// surface is the render target and which keeps the renderer-context slot.
// By default that is the registered device; a host or a test may put its own
// device in its place.
class MGLHost {
public:
    // The installed device while it lives, else the registered one; null
    // when there is none.
    static CGraphics* Graphics();
    // Installs a device for the renderer to use; null goes back to the
    // registered device. A surface that ends stops being the current one of
    // every device, and a context that ends leaves every device's slot, so
    // devices may be installed and changed in any order.
    static void InstallGraphics(CGraphics* device);

private:
    static CGraphics* s_installed;
    static uint64_t s_installedSerial;
};

#endif
