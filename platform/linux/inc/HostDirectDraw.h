#ifndef HOSTDIRECTDRAW_H
#define HOSTDIRECTDRAW_H

#include "WinCeDDraw.h"

class HostDDrawSurface;

// The stand-in's display driver: makes memory surfaces at the display's
// size and pixel format (HostSystemInfo, HostDisplay). It lives until its
// last reference and its last surface are released.
class HostDirectDraw : public IDirectDraw {
public:
    // Null when memory is exhausted; the caller holds the one reference.
    static HostDirectDraw* Create();

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT GetDisplayMode(DDSURFACEDESC* desc) override;
    HRESULT GetCaps(DDCAPS* driverCaps, DDCAPS* emulationCaps) override;
    HRESULT CreateSurface(const DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer) override;

    // Called by a primary surface that goes away: another may be made.
    void ForgetPrimary(const HostDDrawSurface* surface);

private:
    HostDirectDraw();
    ~HostDirectDraw() override;

    HRESULT CreatePrimary(IDirectDrawSurface** surface);
    HRESULT CreateOffScreen(const DDSURFACEDESC& desc, IDirectDrawSurface** surface);
    static bool IsDrawableFormat(const DDPIXELFORMAT& format);

    ULONG m_references = 1;
    bool m_cooperative = false;
    HostDDrawSurface* m_primary = nullptr;
};

#endif
