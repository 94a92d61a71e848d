#include "CGraphics_DDraw.h"

#include "CAppletBase.h"
#include "CAssert.h"
#include "CColor.h"
#include "CGraphics_WinMobile.h"
#include "CRenderSurface_DDraw_Window_WinMobile.h"

namespace {

constexpr DWORD kClearBltFlags = DDBLT_COLORFILL | DDBLT_WAITNOTBUSY;
constexpr DWORD kPresentBltFlags = DDBLT_WAITNOTBUSY;
constexpr uint32_t kAuxPlanes = CGraphicsInterface::kClearDepth | CGraphicsInterface::kClearStencil;

}  // namespace

CGraphics_DDraw::~CGraphics_DDraw() { Close(); }

HWND CGraphics_DDraw::AppletWindow() {
    // Through the base, so the display does not pull in the whole shell.
    const CAppletBase* applet = CAppletBase::GetCurrent();
    return applet != nullptr ? applet->GetWindowHandle() : nullptr;
}

bool CGraphics_DDraw::Open() {
    // Opening again starts from a closed device rather than losing the driver.
    if (m_directDraw != nullptr) Close();
    if (DirectDrawCreate(nullptr, &m_directDraw, nullptr) != DD_OK ||
        m_directDraw->SetCooperativeLevel(AppletWindow(), DDSCL_NORMAL) != DD_OK) {
        Close();
        return false;
    }
    m_displayMode = DDSURFACEDESC{};
    m_displayMode.dwSize = sizeof(DDSURFACEDESC);
    if (m_directDraw->GetDisplayMode(&m_displayMode) != DD_OK) {
        Close();
        return false;
    }
    m_name = kDriverName;
    m_info.id = kInfoId;
    m_info.name = &m_name;
    for (uint32_t& limit : m_info.limits) limit = kInfoLimit;
    m_open = 1;
    return true;
}

void CGraphics_DDraw::Close() {
    if (m_directDraw != nullptr) m_directDraw->Release();
    m_directDraw = nullptr;
    m_currentSurface = nullptr;
    m_displayMode = DDSURFACEDESC{};
    m_name = "";
    m_info = {0, nullptr, {0, 0, 0, 0, 0, 0, 0, 0}};
    m_open = 0;
}

CRenderSurface_DDraw_Window_WinMobile* CGraphics_DDraw::DrawableWindow() const {
    if (m_currentSurface == nullptr) return nullptr;
    ASSERT((m_currentSurface->GetFlags() & CRenderSurface::kFlagWindow) != 0);
    auto* window = dynamic_cast<CRenderSurface_DDraw_Window_WinMobile*>(m_currentSurface);
    if (window == nullptr || window->GetPrimary() == nullptr || window->GetBackBuffer() == nullptr) return nullptr;
    return window;
}

bool CGraphics_DDraw::FillColorFor(uint32_t format, const RSBFormat_ARGB_fixed& color, uint32_t* pixel) {
    switch (format) {
        case RSBFormat_R5G6B5:
            *pixel = CColor::ToR5G6B5(RSBFormat_ARGB_FIXED, &color);
            return true;
        case RSBFormat_X8R8G8B8:
            *pixel = CColor::ToX8R8G8B8(RSBFormat_ARGB_FIXED, &color);
            return true;
        case RSBFormat_A8R8G8B8:
            *pixel = CColor::ToA8R8G8B8(RSBFormat_ARGB_FIXED, &color);
            return true;
        default:
            return false;
    }
}

// Only a clear that asks for the colour fills it: a depth or stencil clear
// leaves the picture alone.
void CGraphics_DDraw::Clear(uint32_t mask) {
    if (m_currentSurface == nullptr) return;
    CRenderSurface_DDraw_Window_WinMobile* window = DrawableWindow();
    uint32_t pixel = 0;
    if (window != nullptr && (mask & kClearColor) != 0 &&
        FillColorFor(window->GetFormat(), m_clearColor.fixed, &pixel)) {
        DDBLTFX effects{};
        effects.dwSize = sizeof(DDBLTFX);
        effects.dwFillColor = pixel;
        window->GetBackBuffer()->Blt(nullptr, nullptr, nullptr, kClearBltFlags, &effects);
        window->NoteChange();
    }
    if ((mask & kAuxPlanes) != 0) {
        m_currentSurface->Clear(mask & kAuxPlanes, &m_clearColor.fixed, static_cast<uint32_t>(m_clearDepth),
                                m_clearStencil);
    }
}

void CGraphics_DDraw::Present() {
    CRenderSurface_DDraw_Window_WinMobile* window = DrawableWindow();
    if (window == nullptr || (window->GetFlags() & CRenderSurface::kFlagOnScreen) == 0) return;
    const CGraphics_WinMobile* device = dynamic_cast<CGraphics_WinMobile*>(CGraphics::GetInstance());
    if (device == nullptr || device->GetWindowSurface() != window) return;
    window->GetPrimary()->Blt(nullptr, window->GetBackBuffer(), nullptr, kPresentBltFlags, nullptr);
}

void CGraphics_DDraw::SetClearColor(uint32_t packedArgb) { m_clearColor.SetPacked(packedArgb); }

void CGraphics_DDraw::SetClearColor(const RSBFormat_ARGB_fixed& color) { m_clearColor.SetFixed(color); }

void CGraphics_DDraw::SetClearColor(int32_t a, int32_t r, int32_t g, int32_t b) {
    m_clearColor.SetChannels(a, r, g, b);
}
