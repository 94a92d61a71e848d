#ifndef CGRAPHICS_WINMOBILE_H
#define CGRAPHICS_WINMOBILE_H

#include "CGraphics_HAL.h"

class CEvent;
class CEventListener;
class CGraphics2d_Lite;
class CGraphics_DDraw;
class CRenderSurface;

// The graphics device the application creates on the handset: it opens
// the DirectDraw back end, creates the window surface every frame is drawn
// into and presents it, and builds that surface anew when the screen
// turns. Clears, colours and information go to the back end through the
// HAL.
class CGraphics_WinMobile : public CGraphics_HAL {
public:
    static constexpr int32_t kListenerPriority = 0x3FFFFFFF;
    static constexpr int32_t kDefaultClearDepth = 0x10000;
    static constexpr uint32_t kDefaultClearStencil = 0;
    // Capabilities handed to the surface factory.
    static constexpr uint32_t kCapabilityInitialised = 1;
    static constexpr uint32_t kCapabilityDriver = 2;

    // Null when memory is exhausted.
    static CGraphics_WinMobile* Create();
    ~CGraphics_WinMobile() override;

    // Listener, blitters, driver and window surface; the surface becomes
    // current and gives the display format. False, with everything
    // released, when any of them cannot be had: the game needs the driver.
    bool Open() override;
    void Close() override;
    // Shows the current window surface; a software surface is not shown.
    void Present() override;

    // The "Graphics" listener's handler: re-creates the window surface when
    // the screen has turned; other events are not handled.
    static bool OnEvent(CEvent* message, CEventListener* listener);
    // Creates and opens the DirectDraw back end; the driver-open flag.
    bool OpenDriver();
    void CloseDriver();
    // Creates the surface as the window's: double buffered, colour plane in
    // the display's format.
    static bool CreateSurface(CRenderSurface* surface);

    // Opaque black.
    static const RSBFormat_ARGB_fixed& GetDefaultClearColor();

    CRenderSurface* GetWindowSurface() const { return m_windowSurface; }
    bool IsDriverOpen() const { return m_driverOpen != 0; }
    const CEventListener* GetListener() const { return m_listener; }

private:
    CGraphics_WinMobile() = default;

    bool Listen();
    void OnOrientationChanged();

    uint8_t m_driverOpen = 0;
    CEventListener* m_listener = nullptr;
    CRenderSurface* m_windowSurface = nullptr;
    CGraphics_DDraw* m_driver = nullptr;
};

// The 2D renderer for the application's getter; null when memory is
// exhausted.
CGraphics2d_Lite* CreateGraphics2d();

#endif
