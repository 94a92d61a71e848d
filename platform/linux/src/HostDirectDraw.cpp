#include "HostDirectDraw.h"

#include "HostDDrawSurface.h"
#include "HostDisplay.h"
#include "HostSystemInfo.h"
#include "HostWindowSystem.h"

#include <new>

namespace {

constexpr DWORD kModeFields = DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;

bool HasSize(const DDCAPS* caps) { return caps == nullptr || caps->dwSize == sizeof(DDCAPS); }

void DescribeCaps(DDCAPS* caps) {
    if (caps == nullptr) return;
    *caps = DDCAPS{};
    caps->dwSize = sizeof(DDCAPS);
}

}  // namespace

HostDirectDraw* HostDirectDraw::Create() { return new (std::nothrow) HostDirectDraw(); }

HostDirectDraw::HostDirectDraw() { HostDisplay::NoteCreated(false); }

HostDirectDraw::~HostDirectDraw() { HostDisplay::NoteDestroyed(false, false); }

ULONG HostDirectDraw::AddRef() { return ++m_references; }

ULONG HostDirectDraw::Release() {
    const ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
}

HRESULT HostDirectDraw::SetCooperativeLevel(HWND window, DWORD flags) {
    if (flags != DDSCL_NORMAL) return DDERR_INVALIDPARAMS;
    if (window != nullptr && HostWindowSystem::Find(window) == nullptr) return DDERR_INVALIDPARAMS;
    if (HostDisplay::ShouldFail(HostDDrawCall::SetCooperativeLevel)) return DDERR_GENERIC;
    m_cooperative = true;
    return DD_OK;
}

HRESULT HostDirectDraw::GetDisplayMode(DDSURFACEDESC* desc) {
    if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    if (HostDisplay::ShouldFail(HostDDrawCall::GetDisplayMode)) return DDERR_GENERIC;
    const DDPIXELFORMAT format = HostDisplay::PixelFormat();
    *desc = DDSURFACEDESC{};
    desc->dwSize = sizeof(DDSURFACEDESC);
    desc->dwFlags = kModeFields;
    desc->dwWidth = static_cast<DWORD>(HostSystemInfo::ScreenWidth());
    desc->dwHeight = static_cast<DWORD>(HostSystemInfo::ScreenHeight());
    desc->lPitch = static_cast<LONG>(desc->dwWidth * (format.dwRGBBitCount / 8));
    desc->ddpfPixelFormat = format;
    return DD_OK;
}

HRESULT HostDirectDraw::GetCaps(DDCAPS* driverCaps, DDCAPS* emulationCaps) {
    if ((driverCaps == nullptr && emulationCaps == nullptr) || !HasSize(driverCaps) || !HasSize(emulationCaps)) {
        return DDERR_INVALIDPARAMS;
    }
    if (HostDisplay::ShouldFail(HostDDrawCall::GetCaps)) return DDERR_GENERIC;
    DescribeCaps(driverCaps);
    DescribeCaps(emulationCaps);
    return DD_OK;
}

HRESULT HostDirectDraw::CreateSurface(const DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer) {
    if (surface == nullptr) return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC) || outer != nullptr ||
        (desc->dwFlags & DDSD_CAPS) == 0) {
        return DDERR_INVALIDPARAMS;
    }
    if (!m_cooperative) return DDERR_NOCOOPERATIVELEVELSET;
    if ((desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0) return CreatePrimary(surface);
    if ((desc->ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN) != 0) return CreateOffScreen(*desc, surface);
    return DDERR_INVALIDPARAMS;
}

HRESULT HostDirectDraw::CreatePrimary(IDirectDrawSurface** surface) {
    if (m_primary != nullptr) return DDERR_PRIMARYSURFACEALREADYEXISTS;
    if (HostDisplay::ShouldFail(HostDDrawCall::CreateSurface)) return DDERR_GENERIC;
    const uint32_t width = static_cast<uint32_t>(HostSystemInfo::ScreenWidth());
    const uint32_t height = static_cast<uint32_t>(HostSystemInfo::ScreenHeight());
    m_primary = HostDDrawSurface::Create(this, true, width, height, HostDisplay::PixelFormat());
    if (m_primary == nullptr) return DDERR_OUTOFMEMORY;
    *surface = m_primary;
    return DD_OK;
}

HRESULT HostDirectDraw::CreateOffScreen(const DDSURFACEDESC& desc, IDirectDrawSurface** surface) {
    const DWORD sizeFields = DDSD_HEIGHT | DDSD_WIDTH;
    if ((desc.dwFlags & sizeFields) != sizeFields || desc.dwWidth < 1 || desc.dwHeight < 1 ||
        desc.dwWidth > HostDDrawSurface::kMaxSide || desc.dwHeight > HostDDrawSurface::kMaxSide) {
        return DDERR_INVALIDPARAMS;
    }
    const bool formatGiven = (desc.dwFlags & DDSD_PIXELFORMAT) != 0;
    const DDPIXELFORMAT format = formatGiven ? desc.ddpfPixelFormat : HostDisplay::PixelFormat();
    if (!IsDrawableFormat(format)) return DDERR_INVALIDPIXELFORMAT;
    if (HostDisplay::ShouldFail(HostDDrawCall::CreateSurface)) return DDERR_GENERIC;
    HostDDrawSurface* made = HostDDrawSurface::Create(this, false, desc.dwWidth, desc.dwHeight, format);
    if (made == nullptr) return DDERR_OUTOFMEMORY;
    *surface = made;
    return DD_OK;
}

bool HostDirectDraw::IsDrawableFormat(const DDPIXELFORMAT& format) {
    return (format.dwFlags & DDPF_RGB) != 0 && (format.dwRGBBitCount == 16 || format.dwRGBBitCount == 32);
}

void HostDirectDraw::ForgetPrimary(const HostDDrawSurface* surface) {
    if (m_primary == surface) m_primary = nullptr;
}
