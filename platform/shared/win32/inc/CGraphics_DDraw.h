#ifndef CGRAPHICS_DDRAW_H
#define CGRAPHICS_DDRAW_H

#include "CColorEntry.h"
#include "CGraphicsInterface.h"
#include "CStrChar.h"
#include "WinCeDDraw.h"

class CRenderSurface_DDraw_Window_WinMobile;

// The back end that binds the graphics device to the display driver: it
// holds the DirectDraw object the window surface makes its surfaces with,
// fills the window's back buffer for clears and stretches it onto the
// screen to present. All other drawing goes through the blit routines into
// the locked back buffer.
class CGraphics_DDraw : public CGraphicsInterface {
public:
    static constexpr uint32_t kInfoId = 1;
    static constexpr uint32_t kInfoLimit = 2048;
    static constexpr const char* kDriverName = "DirectDraw";

    CGraphics_DDraw() = default;
    ~CGraphics_DDraw() override;

    // Opens the driver for the applet's window and reads the display mode;
    // false, closed, when any step fails.
    bool Open() override;
    void Close() override;
    CRenderSurface* GetCurrentSurface() const override { return m_currentSurface; }
    void SetCurrentSurface(CRenderSurface* surface) override { m_currentSurface = surface; }
    void BeginFrame() override {}
    void EndFrame() override {}
    // The colour (mask 0x10000) by one fill of the window's back buffer;
    // depth and stencil through the surface.
    void Clear(uint32_t mask) override;
    // Stretches the platform window surface's back buffer onto the screen.
    void Present() override;
    void SetClearColor(uint32_t packedArgb) override;
    void SetClearColor(const RSBFormat_ARGB_fixed& color) override;
    void SetClearColor(int32_t a, int32_t r, int32_t g, int32_t b) override;
    void SetClearDepth(int32_t depth) override { m_clearDepth = depth; }
    void SetClearStencil(uint32_t stencil) override { m_clearStencil = stencil; }
    const CGraphicsInfo* GetInfo(uint32_t id) const override { return id == kInfoId ? &m_info : nullptr; }
    const CStrChar* GetName(uint32_t id) const override { return id == kInfoId ? &m_name : nullptr; }

    bool IsOpen() const { return m_open != 0; }
    // Null while closed.
    IDirectDraw* GetDirectDraw() const { return m_directDraw; }
    const DDSURFACEDESC& GetDisplayMode() const { return m_displayMode; }
    const CColorEntry& GetClearColor() const { return m_clearColor; }
    int32_t GetClearDepth() const { return m_clearDepth; }
    uint32_t GetClearStencil() const { return m_clearStencil; }

    // The clear colour as a pixel of `format` (r5g6b5, x8r8g8b8 or
    // a8r8g8b8); false for other formats.
    static bool FillColorFor(uint32_t format, const RSBFormat_ARGB_fixed& color, uint32_t* pixel);

private:
    // The current surface as a window surface with both DirectDraw
    // surfaces, else null.
    CRenderSurface_DDraw_Window_WinMobile* DrawableWindow() const;
    static HWND AppletWindow();

    CRenderSurface* m_currentSurface = nullptr;
    CColorEntry m_clearColor = {0, {0, 0, 0, 0}};
    int32_t m_clearDepth = 0;
    uint32_t m_clearStencil = 0;
    uint8_t m_open = 0;
    CGraphicsInfo m_info = {0, nullptr, {0, 0, 0, 0, 0, 0, 0, 0}};
    CStrChar m_name;
    IDirectDraw* m_directDraw = nullptr;
    DDSURFACEDESC m_displayMode = {};
};

#endif
