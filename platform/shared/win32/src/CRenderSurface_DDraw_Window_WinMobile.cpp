#include "CRenderSurface_DDraw_Window_WinMobile.h"

#include "CAssert.h"
#include "CColor.h"
#include "CGraphics_DDraw.h"
#include "CGraphics_HAL.h"
#include "CRenderSurfaceBuffer.h"
#include "CRuntime.h"

namespace {

constexpr DWORD kLockFlags = DDLOCK_KEEPCONTENTS | DDLOCK_WAITNOTBUSY;
constexpr DWORD kFullDescription = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
constexpr DWORD kSizeDescription = DDSD_HEIGHT | DDSD_WIDTH;

// While unlocked the colour plane points here, with a pitch of 1: at no
// memory of its own and into none of the driver's.
uint8_t g_unlockedPixels[1];
constexpr int16_t kUnlockedPitch = 1;

bool IsTrue(uintptr_t value) { return (value & 0xFFu) != 0; }

DDSURFACEDESC BlankDescription(DWORD flags) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(DDSURFACEDESC);
    desc.dwFlags = flags;
    return desc;
}

}  // namespace

CRenderSurface_DDraw_Window_WinMobile::CRenderSurface_DDraw_Window_WinMobile() {
    RemoveFlags(kFlagSoftware);
    AddFlags(kFlagBuffering2 | kFlagWindow | kFlagOnScreen);
}

CRenderSurface_DDraw_Window_WinMobile::~CRenderSurface_DDraw_Window_WinMobile() {
    CRenderSurface_DDraw_Window_WinMobile::Destroy();
}

CRenderSurface_DDraw_Window_WinMobile* CRenderSurface_DDraw_Window_WinMobile::CreateForDevice(uint32_t buffering) {
    const CGraphics* device = CGraphics::GetInstance();
    const CStrChar* name = device != nullptr ? device->GetName(CGraphics_HAL::kBackEndInfoId) : nullptr;
    const bool directDraw = name != nullptr && name->GetBuffer() != nullptr &&
                            StrCompare(name->GetBuffer(), CGraphics_DDraw::kDriverName) == 0;
    if (!directDraw) return nullptr;
    return buffering == kBuffered ? new CRenderSurface_DDraw_Window_WinMobile() : nullptr;
}

uint32_t CRenderSurface_DDraw_Window_WinMobile::CheckPixelFormat(const DDPIXELFORMAT& format) {
    if (format.dwRGBBitCount == 16 && format.dwRBitMask == 0xF800 && format.dwGBitMask == 0x07E0 &&
        format.dwBBitMask == 0x001F) {
        return RSBFormat_R5G6B5;
    }
    if (format.dwRGBBitCount == 32 && format.dwRBitMask == 0xFF0000 && format.dwGBitMask == 0xFF00 &&
        format.dwBBitMask == 0xFF) {
        return RSBFormat_X8R8G8B8;
    }
    return 0;
}

IDirectDraw* CRenderSurface_DDraw_Window_WinMobile::DeviceDirectDraw() {
    const CGraphics_HAL* device = dynamic_cast<CGraphics_HAL*>(CGraphics::GetInstance());
    const CGraphics_DDraw* driver = device != nullptr ? dynamic_cast<CGraphics_DDraw*>(device->GetBackEnd()) : nullptr;
    return driver != nullptr ? driver->GetDirectDraw() : nullptr;
}

bool CRenderSurface_DDraw_Window_WinMobile::Create(const CRenderSurfaceAttribute* attributes) {
    Destroy();
    uint32_t requestedFormat = 0;
    const bool requested = attributes != nullptr && ReadAttributes(attributes, &requestedFormat) &&
                           (GetFlags() & kFlagColorRequested) != 0 && (GetFlags() & kFlagDoubleBuffered) != 0;
    uint32_t displayFormat = 0;
    if (!requested || !CreateDirectDrawSurfaces(&displayFormat) || !CreateColorPlane(requestedFormat, displayFormat)) {
        Destroy();
        return false;
    }
    AddFlags(kFlagCreated);
    m_lockCount = 0;
    return true;
}

bool CRenderSurface_DDraw_Window_WinMobile::ReadAttributes(const CRenderSurfaceAttribute* attributes,
                                                           uint32_t* colorFormat) {
    for (const CRenderSurfaceAttribute* pair = attributes; pair->key != kSurfaceAttrEnd; ++pair) {
        if (!TakeAttribute(*pair, colorFormat)) return false;
    }
    return true;
}

bool CRenderSurface_DDraw_Window_WinMobile::TakeAttribute(const CRenderSurfaceAttribute& attribute,
                                                          uint32_t* colorFormat) {
    switch (attribute.key) {
        case kSurfaceAttrWidth:
        case kSurfaceAttrHeight:
            return false;
        case kSurfaceAttrDoubleBuffered:
            if (IsTrue(attribute.value)) AddFlags(kFlagDoubleBuffered);
            return true;
        case kSurfaceAttrCapability:
            if (IsTrue(attribute.value)) AddFlags(kFlagCapability);
            return true;
        case kSurfaceAttrExtendedColor:
            return !IsTrue(attribute.value);
        case kSurfaceAttrColorFormat:
            AddFlags(kFlagColorRequested);
            *colorFormat = static_cast<uint32_t>(attribute.value);
            return true;
        case kSurfaceAttrDepthFormat:
            AddFlags(kFlagDepthRequested);
            return true;
        case kSurfaceAttrStencilFormat:
            AddFlags(kFlagStencilRequested);
            return true;
        default:
            return true;
    }
}

bool CRenderSurface_DDraw_Window_WinMobile::CreateDirectDrawSurfaces(uint32_t* displayFormat) {
    IDirectDraw* directDraw = DeviceDirectDraw();
    if (directDraw == nullptr) return false;
    DDCAPS driverCaps{};
    driverCaps.dwSize = sizeof(DDCAPS);
    DDCAPS emulationCaps = driverCaps;
    if (directDraw->GetCaps(&driverCaps, &emulationCaps) != DD_OK) return false;

    DDSURFACEDESC screen = BlankDescription(DDSD_CAPS);
    screen.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (directDraw->CreateSurface(&screen, &m_primary, nullptr) != DD_OK) return false;
    screen = BlankDescription(kFullDescription);
    if (m_primary->GetSurfaceDesc(&screen) != DD_OK) return false;
    *displayFormat = CheckPixelFormat(screen.ddpfPixelFormat);

    DDSURFACEDESC back = BlankDescription(kFullDescription);
    back.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    back.dwHeight = screen.dwHeight / 2;
    back.dwWidth = screen.dwWidth / 2;
    back.ddpfPixelFormat = screen.ddpfPixelFormat;
    if (directDraw->CreateSurface(&back, &m_backBuffer, nullptr) != DD_OK) return false;

    // A first lock lets the driver settle the back buffer's memory.
    DDSURFACEDESC probe = BlankDescription(0);
    if (m_backBuffer->Lock(nullptr, &probe, kLockFlags, nullptr) == DD_OK) m_backBuffer->Unlock(nullptr);
    return true;
}

// A display of another format gives a surface of format 0, which no blit
// routine draws on.
bool CRenderSurface_DDraw_Window_WinMobile::CreateColorPlane(uint32_t requestedFormat, uint32_t format) {
    if (requestedFormat != 0 && requestedFormat != format) return false;
    AddFlags(kFlagPresentGroupA | kFlagPresentVariant2);
    uint32_t width = 0;
    uint32_t height = 0;
    if (!GetSize(&width, &height)) return false;
    const uint32_t formats[kPlaneCount] = {format, 0, 0};
    const bool made = CreatePlanes(formats, static_cast<uint16_t>(width), static_cast<uint16_t>(height), nullptr,
                                   nullptr, CRenderSurfaceBuffer::kPitchExplicit, kUnlockedPitch, g_unlockedPixels);
    return made || (format == 0 && GetPlane(kPlaneColor) != nullptr);
}

void CRenderSurface_DDraw_Window_WinMobile::Destroy() {
    ReleaseCurrent();
    // However many locks are outstanding, the back buffer is not released locked.
    if (IsLocked()) UnlockBackBuffer();
    ReleaseDirectDrawSurfaces();
    CRenderSurface::Destroy();
    m_lockCount = 0;
}

void CRenderSurface_DDraw_Window_WinMobile::ReleaseDirectDrawSurfaces() {
    if (m_backBuffer != nullptr) m_backBuffer->Release();
    m_backBuffer = nullptr;
    if (m_primary != nullptr) m_primary->Release();
    m_primary = nullptr;
}

void CRenderSurface_DDraw_Window_WinMobile::MakeCurrent() {
    if (m_primary != nullptr && m_backBuffer != nullptr) CRenderSurface::MakeCurrent();
}

bool CRenderSurface_DDraw_Window_WinMobile::Lock(uint8_t** pixels, int32_t* pitch, uint32_t lockFlags,
                                                 const CRect* rect) {
    const bool first = !IsLocked();
    if (first && !LockBackBuffer()) return false;
    const bool placed = GetPlanePointer(kPlaneColor, pixels, pitch, rect) && (pixels == nullptr || *pixels != nullptr);
    if (!placed) {
        // A refused first lock must not keep the driver's lock either.
        if (first) UnlockBackBuffer();
        return false;
    }
    ++m_lockCount;
    AddFlags(kLockBits);
    NoteWriteLock(lockFlags);
    return true;
}

void CRenderSurface_DDraw_Window_WinMobile::Unlock(uint32_t) {
    if (!IsLocked()) return;
    if (--m_lockCount > 0) return;
    UnlockBackBuffer();
}

bool CRenderSurface_DDraw_Window_WinMobile::LockBackBuffer() {
    if (m_primary == nullptr || m_backBuffer == nullptr || GetPlane(kPlaneColor) == nullptr) return false;
    DDSURFACEDESC desc = BlankDescription(0);
    if (m_backBuffer->Lock(nullptr, &desc, kLockFlags, nullptr) != DD_OK) return false;
    // Plane pitches are 16-bit.
    if (desc.lPitch < INT16_MIN || desc.lPitch > INT16_MAX) {
        DebugPrintf("CRenderSurface_DDraw_Window_WinMobile: pitch %d does not fit a plane\n", desc.lPitch);
        m_backBuffer->Unlock(nullptr);
        return false;
    }
    PointColorPlane(static_cast<int16_t>(desc.lPitch), desc.lpSurface);
    return true;
}

void CRenderSurface_DDraw_Window_WinMobile::UnlockBackBuffer() {
    ASSERT(GetPlane(kPlaneColor) != nullptr && m_primary != nullptr);
    if (m_backBuffer != nullptr) m_backBuffer->Unlock(nullptr);
    if (GetPlane(kPlaneColor) != nullptr) PointColorPlane(kUnlockedPitch, g_unlockedPixels);
    m_lockCount = 0;
    RemoveFlags(kLockBits);
}

void CRenderSurface_DDraw_Window_WinMobile::PointColorPlane(int16_t pitch, void* pixels) {
    CRenderSurfaceBuffer* plane = GetPlane(kPlaneColor);
    plane->Create(plane->GetFormat(), plane->GetWidth(), plane->GetHeight(), false, nullptr, nullptr,
                  CRenderSurfaceBuffer::kPitchExplicit, pitch, pixels);
}

bool CRenderSurface_DDraw_Window_WinMobile::GetSize(uint32_t* width, uint32_t* height) const {
    const CRenderSurfaceBuffer* plane = GetPlane(kPlaneColor);
    if (IsLocked() && plane != nullptr) {
        *width = plane->GetWidth();
        *height = plane->GetHeight();
        return true;
    }
    DDSURFACEDESC desc = BlankDescription(kSizeDescription);
    if (m_primary != nullptr && m_backBuffer != nullptr && m_backBuffer->GetSurfaceDesc(&desc) == DD_OK) {
        *width = desc.dwWidth;
        *height = desc.dwHeight;
        return true;
    }
    *width = 0;
    *height = 0;
    return false;
}
