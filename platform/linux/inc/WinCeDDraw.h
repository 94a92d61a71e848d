#ifndef WINCEDDRAW_H
#define WINCEDDRAW_H

// The handset's display calls: the part of its direct-draw interface the
// graphics layer uses (display mode, primary and off-screen surfaces,
// colour fills, stretching blits, lock and unlock). The stand-in keeps every
// surface in memory (see HostDirectDraw, HostDDrawSurface); what is blitted
// to the primary surface is shown by the host backend. HostDisplay sets the
// display's pixel format and makes calls fail for tests.

#include "WinCeTypes.h"
#include "WinCeWindow.h"

#include <cstdint>

typedef uint32_t ULONG;

constexpr HRESULT DD_OK = 0;
// Failures are negative.
constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80DD0001u);
constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80DD0002u);
constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x80DD0003u);
constexpr HRESULT DDERR_NODIRECTDRAWHW = static_cast<HRESULT>(0x80DD0004u);
constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = static_cast<HRESULT>(0x80DD0005u);
constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = static_cast<HRESULT>(0x80DD0006u);
constexpr HRESULT DDERR_SURFACEBUSY = static_cast<HRESULT>(0x80DD0007u);
constexpr HRESULT DDERR_NOTLOCKED = static_cast<HRESULT>(0x80DD0008u);
constexpr HRESULT DDERR_INVALIDRECT = static_cast<HRESULT>(0x80DD0009u);
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = static_cast<HRESULT>(0x80DD000Au);

// DDSURFACEDESC::dwFlags: the fields that are valid.
constexpr DWORD DDSD_CAPS = 0x1;
constexpr DWORD DDSD_HEIGHT = 0x2;
constexpr DWORD DDSD_WIDTH = 0x4;
constexpr DWORD DDSD_PITCH = 0x8;
constexpr DWORD DDSD_LPSURFACE = 0x800;
constexpr DWORD DDSD_PIXELFORMAT = 0x1000;

// DDSCAPS::dwCaps: what a surface is.
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x40;
constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x80;

// DDPIXELFORMAT::dwFlags.
constexpr DWORD DDPF_RGB = 0x40;

// Lock flags. The stand-in's surfaces are always ready and keep their
// contents, so it accepts these without acting on them.
constexpr DWORD DDLOCK_KEEPCONTENTS = 0x2;
constexpr DWORD DDLOCK_WAITNOTBUSY = 0x8;

// Blt flags.
constexpr DWORD DDBLT_COLORFILL = 0x400;
constexpr DWORD DDBLT_WAITNOTBUSY = 0x1000000;

// The only cooperative level: a window beside others.
constexpr DWORD DDSCL_NORMAL = 0;

struct GUID {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};

struct DDSCAPS {
    DWORD dwCaps;
};

// Callers set dwSize to sizeof(DDSURFACEDESC); other sizes are refused.
struct DDSURFACEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    void* lpSurface;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};

// The effects of a Blt; a colour fill takes dwFillColor, already in the
// destination's pixel format.
struct DDBLTFX {
    DWORD dwSize;
    DWORD dwDDFX;
    DWORD dwFillColor;
    DWORD dwReserved[4];
};

// What the display driver can do.
struct DDCAPS {
    DWORD dwSize;
    DWORD dwCaps;
    DWORD dwVidMemTotal;
    DWORD dwVidMemFree;
};

// A surface: the screen (primary) or an off-screen image. Reference
// counted; the last Release frees it.
class IDirectDrawSurface {
public:
    IDirectDrawSurface(const IDirectDrawSurface&) = delete;
    IDirectDrawSurface& operator=(const IDirectDrawSurface&) = delete;

    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    // Copies `source` (stretched to fit), or with DDBLT_COLORFILL fills with
    // `effects->dwFillColor`; null rectangles mean whole surfaces.
    virtual HRESULT Blt(const RECT* destRect, IDirectDrawSurface* source, const RECT* sourceRect, DWORD flags,
                        const DDBLTFX* effects) = 0;
    virtual HRESULT GetSurfaceDesc(DDSURFACEDESC* desc) = 0;
    // Hands out the pixels (at the rectangle's top-left pixel) in
    // desc->lpSurface and the row pitch in desc->lPitch. A locked surface
    // cannot be locked again.
    virtual HRESULT Lock(const RECT* rect, DDSURFACEDESC* desc, DWORD flags, HANDLE event) = 0;
    virtual HRESULT Unlock(const RECT* rect) = 0;

protected:
    IDirectDrawSurface() = default;
    virtual ~IDirectDrawSurface() = default;
};

// The display driver. Reference counted; the last Release frees it once
// its surfaces are gone as well.
class IDirectDraw {
public:
    IDirectDraw(const IDirectDraw&) = delete;
    IDirectDraw& operator=(const IDirectDraw&) = delete;

    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    // `window` is a live window, or null for the desktop; flags must be
    // DDSCL_NORMAL. Needed before the first CreateSurface.
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT GetDisplayMode(DDSURFACEDESC* desc) = 0;
    // Either record may be null.
    virtual HRESULT GetCaps(DDCAPS* driverCaps, DDCAPS* emulationCaps) = 0;
    // The primary (DDSCAPS_PRIMARYSURFACE: the screen at the display's size
    // and format, one at a time) or an off-screen surface
    // (DDSCAPS_OFFSCREENPLAIN: the given height and width, the given pixel
    // format or else the display's). `outer` must be null.
    virtual HRESULT CreateSurface(const DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer) = 0;

protected:
    IDirectDraw() = default;
    virtual ~IDirectDraw() = default;
};

// Opens the display driver: `driver` null for the display, `outer` null.
HRESULT DirectDrawCreate(const GUID* driver, IDirectDraw** directDraw, void* outer);

#endif
