#ifndef CRENDERSURFACE_DDRAW_WINDOW_WINMOBILE_H
#define CRENDERSURFACE_DDRAW_WINDOW_WINMOBILE_H

#include "CRenderSurface_SW.h"
#include "WinCeDDraw.h"

// The surface frames are drawn into on the handset: the screen (the
// DirectDraw primary surface) and an off-screen back buffer of half the
// screen's width and height. While locked, the back buffer's memory is the
// colour plane, so the blit routines write straight into it; presenting
// stretches it onto the screen (CGraphics_DDraw::Present). Stylus
// coordinates reach the game at the same half resolution.
class CRenderSurface_DDraw_Window_WinMobile : public CRenderSurface_SW {
public:
    static constexpr uint32_t kTypeWindow = 1;
    // What the factory is asked for to get a window surface.
    static constexpr uint32_t kBuffered = 1;

    CRenderSurface_DDraw_Window_WinMobile();
    ~CRenderSurface_DDraw_Window_WinMobile() override;

    uint32_t GetType() const override { return kTypeWindow; }
    // Keys 3 (double buffering, required), 4, 6 (colour format, required;
    // 0 takes the display's), 7 and 8 (depth and stencil: recorded, not
    // made); keys 1, 2 and a true 5 are refused. Creating again replaces
    // the DirectDraw surfaces, at the display's size of the moment.
    bool Create(const CRenderSurfaceAttribute* attributes) override;
    void Destroy() override;
    // Only a surface with both DirectDraw surfaces becomes current.
    void MakeCurrent() override;
    // Locks are counted: the back buffer is locked by the first and
    // unlocked by the last. Every lock hands out the pixels (at the
    // rectangle's top-left pixel) and the pitch; false, and no lock taken,
    // when the driver refuses or the rectangle is not inside.
    bool Lock(uint8_t** pixels, int32_t* pitch, uint32_t lockFlags, const CRect* rect) override;
    void Unlock(uint32_t lockFlags) override;
    // The back buffer's size: half the display's.
    bool GetSize(uint32_t* width, uint32_t* height) const override;

    // r5g6b5 or x8r8g8b8 for the display formats that are drawn, else 0.
    static uint32_t CheckPixelFormat(const DDPIXELFORMAT& format);

    // A new window surface, not yet created, when the graphics device's
    // driver is DirectDraw and `buffering` is kBuffered; else null.
    static CRenderSurface_DDraw_Window_WinMobile* CreateForDevice(uint32_t buffering);

    IDirectDrawSurface* GetPrimary() const { return m_primary; }
    IDirectDrawSurface* GetBackBuffer() const { return m_backBuffer; }
    int32_t GetLockCount() const { return m_lockCount; }

private:
    // False at the first refused key.
    bool ReadAttributes(const CRenderSurfaceAttribute* attributes, uint32_t* colorFormat);
    bool TakeAttribute(const CRenderSurfaceAttribute& attribute, uint32_t* colorFormat);
    // The primary, its description and the back buffer; `displayFormat`
    // receives the pixel-format id of the screen.
    bool CreateDirectDrawSurfaces(uint32_t* displayFormat);
    // The colour plane, at the back buffer's size without memory; false when
    // a format was asked for that the display does not have.
    bool CreateColorPlane(uint32_t requestedFormat, uint32_t format);
    // Locks the back buffer and points the colour plane at its memory.
    bool LockBackBuffer();
    // Unlocks the back buffer and points the colour plane nowhere.
    void UnlockBackBuffer();
    // The colour plane over `pixels`, keeping its format and size.
    void PointColorPlane(int16_t pitch, void* pixels);
    void ReleaseDirectDrawSurfaces();
    static IDirectDraw* DeviceDirectDraw();

    IDirectDrawSurface* m_primary = nullptr;
    IDirectDrawSurface* m_backBuffer = nullptr;
    int32_t m_lockCount = 0;
};

#endif
