#include "HostDDrawSurface.h"

#include "HostDirectDraw.h"
#include "HostDisplay.h"
#include "HostWindowSystem.h"
#include "HostBackend.h"

#include <cstring>
#include <new>

namespace {

constexpr DWORD kKnownBltFlags = DDBLT_COLORFILL | DDBLT_WAITNOTBUSY;
constexpr DWORD kKnownLockFlags = DDLOCK_KEEPCONTENTS | DDLOCK_WAITNOTBUSY;
constexpr DWORD kDescribedFields = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;

template <typename Pixel>
void StorePixels(uint8_t* out, Pixel value, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        std::memcpy(out + static_cast<size_t>(i) * sizeof(Pixel), &value, sizeof(Pixel));
    }
}

template <typename Pixel>
void GatherPixels(uint8_t* out, const uint8_t* sourceRow, const uint32_t* columns, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        Pixel value;
        std::memcpy(&value, sourceRow + columns[i], sizeof(Pixel));
        std::memcpy(out + static_cast<size_t>(i) * sizeof(Pixel), &value, sizeof(Pixel));
    }
}

// Each source pixel twice, into one row or two at once: the back buffer is
// half the screen's width and height. Plain pixel copies, so the compiler can
// widen the loop.
template <typename Pixel>
void DoublePixels(uint8_t* top, uint8_t* bottom, const uint8_t* sourcePixels, int32_t sourceCount) {
    for (int32_t i = 0; i < sourceCount; ++i) {
        Pixel pixel;
        std::memcpy(&pixel, sourcePixels + static_cast<size_t>(i) * sizeof(Pixel), sizeof(Pixel));
        const size_t left = static_cast<size_t>(i) * 2 * sizeof(Pixel);
        std::memcpy(top + left, &pixel, sizeof(Pixel));
        std::memcpy(top + left + sizeof(Pixel), &pixel, sizeof(Pixel));
        std::memcpy(bottom + left, &pixel, sizeof(Pixel));
        std::memcpy(bottom + left + sizeof(Pixel), &pixel, sizeof(Pixel));
    }
}

}  // namespace

HostDDrawSurface* HostDDrawSurface::Create(HostDirectDraw* owner, bool primary, uint32_t width, uint32_t height,
                                           const DDPIXELFORMAT& format) {
    if (owner == nullptr || width < 1 || width > kMaxSide || height < 1 || height > kMaxSide) return nullptr;
    if (format.dwRGBBitCount != 16 && format.dwRGBBitCount != 32) return nullptr;
    HostDDrawSurface* surface = new (std::nothrow) HostDDrawSurface(owner, primary, width, height, format);
    if (surface == nullptr) return nullptr;
    if (!surface->Allocate()) {
        surface->Release();
        return nullptr;
    }
    return surface;
}

HostDDrawSurface::HostDDrawSurface(HostDirectDraw* owner, bool primary, uint32_t width, uint32_t height,
                                   const DDPIXELFORMAT& format)
    : m_owner(owner), m_primary(primary), m_width(width), m_height(height), m_format(format) {
    m_owner->AddRef();
    HostDisplay::NoteCreated(true);
}

HostDDrawSurface::~HostDDrawSurface() {
    HostDisplay::NoteDestroyed(true, m_locked);
    if (m_primary) m_owner->ForgetPrimary(this);
    m_owner->Release();
}

bool HostDDrawSurface::Allocate() {
    m_pitch = static_cast<int32_t>(m_width * BytesPerPixel() + HostDisplay::PitchPadding());
    const size_t bytes = static_cast<size_t>(m_pitch) * m_height;
    m_pixels.reset(new (std::nothrow) uint8_t[bytes]());
    return m_pixels != nullptr;
}

ULONG HostDDrawSurface::AddRef() { return ++m_references; }

ULONG HostDDrawSurface::Release() {
    const ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
}

uint8_t* HostDDrawSurface::PixelAt(int32_t x, int32_t y) const {
    return m_pixels.get() + static_cast<size_t>(y) * static_cast<size_t>(m_pitch) +
           static_cast<size_t>(x) * BytesPerPixel();
}

bool HostDDrawSurface::Resolve(const RECT* rect, RECT* out) const {
    if (rect == nullptr) {
        *out = RECT{0, 0, static_cast<LONG>(m_width), static_cast<LONG>(m_height)};
        return true;
    }
    if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom) return false;
    if (rect->right > static_cast<LONG>(m_width) || rect->bottom > static_cast<LONG>(m_height)) return false;
    *out = *rect;
    return true;
}

bool HostDDrawSurface::SameFormat(const HostDDrawSurface& other) const {
    return m_format.dwRGBBitCount == other.m_format.dwRGBBitCount && m_format.dwRBitMask == other.m_format.dwRBitMask &&
           m_format.dwGBitMask == other.m_format.dwGBitMask && m_format.dwBBitMask == other.m_format.dwBBitMask;
}

void HostDDrawSurface::Describe(DDSURFACEDESC* desc) const {
    *desc = DDSURFACEDESC{};
    desc->dwSize = sizeof(DDSURFACEDESC);
    desc->dwFlags = kDescribedFields;
    desc->dwHeight = m_height;
    desc->dwWidth = m_width;
    desc->lPitch = m_pitch;
    desc->ddpfPixelFormat = m_format;
    desc->ddsCaps.dwCaps = m_primary ? DDSCAPS_PRIMARYSURFACE : DDSCAPS_OFFSCREENPLAIN;
}

HRESULT HostDDrawSurface::GetSurfaceDesc(DDSURFACEDESC* desc) {
    if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    if (HostDisplay::ShouldFail(HostDDrawCall::GetSurfaceDesc)) return DDERR_GENERIC;
    Describe(desc);
    return DD_OK;
}

HRESULT HostDDrawSurface::Lock(const RECT* rect, DDSURFACEDESC* desc, DWORD flags, HANDLE) {
    if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC) || (flags & ~kKnownLockFlags) != 0) {
        return DDERR_INVALIDPARAMS;
    }
    RECT area{};
    if (!Resolve(rect, &area)) return DDERR_INVALIDRECT;
    if (m_locked) return DDERR_SURFACEBUSY;
    if (HostDisplay::ShouldFail(HostDDrawCall::Lock)) return DDERR_GENERIC;
    Describe(desc);
    desc->dwFlags |= DDSD_LPSURFACE;
    desc->lpSurface = PixelAt(area.left, area.top);
    m_locked = true;
    return DD_OK;
}

HRESULT HostDDrawSurface::Unlock(const RECT*) {
    if (!m_locked) return DDERR_NOTLOCKED;
    m_locked = false;
    return DD_OK;
}

// The stand-in's memory never moves, so blits work on locked surfaces too.
HRESULT HostDDrawSurface::Blt(const RECT* destRect, IDirectDrawSurface* source, const RECT* sourceRect, DWORD flags,
                              const DDBLTFX* effects) {
    if ((flags & ~kKnownBltFlags) != 0) return DDERR_INVALIDPARAMS;
    RECT dest{};
    if (!Resolve(destRect, &dest)) return DDERR_INVALIDRECT;
    HRESULT result = DDERR_INVALIDPARAMS;
    if ((flags & DDBLT_COLORFILL) != 0) {
        if (effects == nullptr || effects->dwSize != sizeof(DDBLTFX)) return DDERR_INVALIDPARAMS;
        if (HostDisplay::ShouldFail(HostDDrawCall::Blt)) return DDERR_GENERIC;
        result = Fill(dest, effects->dwFillColor);
    } else {
        const HostDDrawSurface* from = dynamic_cast<const HostDDrawSurface*>(source);
        if (from == nullptr || from == this) return DDERR_INVALIDPARAMS;
        if (!SameFormat(*from)) return DDERR_INVALIDPIXELFORMAT;
        RECT area{};
        if (!from->Resolve(sourceRect, &area)) return DDERR_INVALIDRECT;
        if (HostDisplay::ShouldFail(HostDDrawCall::Blt)) return DDERR_GENERIC;
        result = Stretch(dest, *from, area);
    }
    if (result == DD_OK && m_primary) Show();
    return result;
}

HRESULT HostDDrawSurface::Fill(const RECT& dest, DWORD color) {
    const int32_t width = dest.right - dest.left;
    for (int32_t y = dest.top; y < dest.bottom; ++y) {
        uint8_t* row = PixelAt(dest.left, y);
        if (BytesPerPixel() == 2) {
            StorePixels<uint16_t>(row, static_cast<uint16_t>(color), width);
        } else {
            StorePixels<uint32_t>(row, color, width);
        }
    }
    return DD_OK;
}

HRESULT HostDDrawSurface::Stretch(const RECT& dest, const HostDDrawSurface& source, const RECT& from) {
    const int32_t destWidth = dest.right - dest.left;
    const int32_t destHeight = dest.bottom - dest.top;
    const int32_t fromHeight = from.bottom - from.top;
    const bool doubling = destWidth == 2 * (from.right - from.left);
    if (!doubling && !MapColumns(from.left, from.right - from.left, destWidth)) return DDERR_OUTOFMEMORY;
    const size_t rowBytes = static_cast<size_t>(destWidth) * BytesPerPixel();
    const auto sourceRowOf = [&](int32_t y) {
        return from.top + static_cast<int32_t>(static_cast<int64_t>(y) * fromHeight / destHeight);
    };
    for (int32_t y = 0; y < destHeight;) {
        const int32_t sourceRow = sourceRowOf(y);
        int32_t repeats = 1;
        while (y + repeats < destHeight && sourceRowOf(y + repeats) == sourceRow) ++repeats;
        uint8_t* out = PixelAt(dest.left, dest.top + y);
        int32_t made = 1;
        if (doubling) {
            made = repeats > 1 ? 2 : 1;
            DoubleRow(out, out + (made - 1) * m_pitch, source.PixelAt(from.left, sourceRow), from.right - from.left);
        } else {
            CopyRow(out, source.PixelAt(0, sourceRow), destWidth);
        }
        // Rows picked more often still are copied from the row just made.
        for (int32_t k = made; k < repeats; ++k) std::memcpy(out + k * m_pitch, out, rowBytes);
        y += repeats;
    }
    return DD_OK;
}

bool HostDDrawSurface::MapColumns(int32_t fromLeft, int32_t fromWidth, int32_t destWidth) {
    if (fromLeft == m_mappedLeft && fromWidth == m_mappedWidth && destWidth == m_mappedDestWidth) return true;
    if (destWidth > m_columnCapacity) {
        m_columns.reset(new (std::nothrow) uint32_t[static_cast<size_t>(destWidth)]);
        m_columnCapacity = m_columns != nullptr ? destWidth : 0;
        m_mappedLeft = -1;
        if (m_columns == nullptr) return false;
    }
    for (int32_t x = 0; x < destWidth; ++x) {
        const int64_t column = fromLeft + static_cast<int64_t>(x) * fromWidth / destWidth;
        m_columns[static_cast<size_t>(x)] = static_cast<uint32_t>(column) * BytesPerPixel();
    }
    m_mappedLeft = fromLeft;
    m_mappedWidth = fromWidth;
    m_mappedDestWidth = destWidth;
    return true;
}

void HostDDrawSurface::CopyRow(uint8_t* out, const uint8_t* sourceRow, int32_t count) const {
    if (BytesPerPixel() == 2) {
        GatherPixels<uint16_t>(out, sourceRow, m_columns.get(), count);
    } else {
        GatherPixels<uint32_t>(out, sourceRow, m_columns.get(), count);
    }
}

void HostDDrawSurface::DoubleRow(uint8_t* top, uint8_t* bottom, const uint8_t* sourcePixels,
                                 int32_t sourceCount) const {
    if (BytesPerPixel() == 2) {
        DoublePixels<uint16_t>(top, bottom, sourcePixels, sourceCount);
    } else {
        DoublePixels<uint32_t>(top, bottom, sourcePixels, sourceCount);
    }
}

void HostDDrawSurface::Show() const {
    HostBackend* backend = HostWindowSystem::GetBackend();
    const uint32_t format = HostDisplay::FrameFormatOf(m_format);
    const bool shown = backend != nullptr && format != 0 &&
                       backend->PresentFrame(m_pixels.get(), static_cast<int32_t>(m_width),
                                             static_cast<int32_t>(m_height), m_pitch, format);
    HostDisplay::NotePresented(shown);
}
