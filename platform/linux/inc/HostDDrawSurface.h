#ifndef HOSTDDRAWSURFACE_H
#define HOSTDDRAWSURFACE_H

#include "WinCeDDraw.h"

#include <cstdint>
#include <memory>

class HostDirectDraw;

// A surface of the stand-in's display driver: rows of pixels in memory.
// Blits stretch by picking the nearest source pixel; what is blitted to
// the primary surface is handed to the host backend to show.
class HostDDrawSurface : public IDirectDrawSurface {
public:
    static constexpr uint32_t kMaxSide = 4096;

    // A zeroed surface; null when memory is exhausted or the size or
    // format cannot be made. The surface holds a reference to `owner`.
    static HostDDrawSurface* Create(HostDirectDraw* owner, bool primary, uint32_t width, uint32_t height,
                                    const DDPIXELFORMAT& format);

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT Blt(const RECT* destRect, IDirectDrawSurface* source, const RECT* sourceRect, DWORD flags,
                const DDBLTFX* effects) override;
    HRESULT GetSurfaceDesc(DDSURFACEDESC* desc) override;
    HRESULT Lock(const RECT* rect, DDSURFACEDESC* desc, DWORD flags, HANDLE event) override;
    HRESULT Unlock(const RECT* rect) override;

    bool IsPrimary() const { return m_primary; }
    bool IsLocked() const { return m_locked; }
    uint32_t Width() const { return m_width; }
    uint32_t Height() const { return m_height; }
    int32_t Pitch() const { return m_pitch; }

private:
    HostDDrawSurface(HostDirectDraw* owner, bool primary, uint32_t width, uint32_t height,
                     const DDPIXELFORMAT& format);
    ~HostDDrawSurface() override;

    bool Allocate();
    uint32_t BytesPerPixel() const { return m_format.dwRGBBitCount / 8; }
    uint8_t* PixelAt(int32_t x, int32_t y) const;
    // The rectangle, or the whole surface for null; false for one that is
    // empty or reaches outside.
    bool Resolve(const RECT* rect, RECT* out) const;
    bool SameFormat(const HostDDrawSurface& other) const;
    void Describe(DDSURFACEDESC* desc) const;

    HRESULT Fill(const RECT& dest, DWORD color);
    HRESULT Stretch(const RECT& dest, const HostDDrawSurface& source, const RECT& from);
    // Byte offsets into a source row of the pixels that land in each
    // destination column; false when memory is exhausted.
    bool MapColumns(int32_t fromLeft, int32_t fromWidth, int32_t destWidth);
    void CopyRow(uint8_t* out, const uint8_t* sourceRow, int32_t count) const;
    // The common case of a source half as wide: each pixel twice, into the
    // rows `top` and `bottom` (the same row when it is made once).
    void DoubleRow(uint8_t* top, uint8_t* bottom, const uint8_t* sourcePixels, int32_t sourceCount) const;
    // Hands the primary surface's pixels to the host backend.
    void Show() const;

    HostDirectDraw* m_owner;
    bool m_primary;
    uint32_t m_width;
    uint32_t m_height;
    int32_t m_pitch = 0;
    DDPIXELFORMAT m_format;
    std::unique_ptr<uint8_t[]> m_pixels;
    ULONG m_references = 1;
    bool m_locked = false;
    // The last column map and what it was made for.
    std::unique_ptr<uint32_t[]> m_columns;
    int32_t m_columnCapacity = 0;
    int32_t m_mappedLeft = -1;
    int32_t m_mappedWidth = 0;
    int32_t m_mappedDestWidth = 0;
};

#endif
