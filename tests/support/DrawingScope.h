#ifndef DRAWINGSCOPE_H
#define DRAWINGSCOPE_H

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "CHash.h"

class CGraphics2d_Lite;
class CRenderSurface;
class CRenderSurface_SW_OffScreen;
class OffScreenDevice;

// A singleton table with an off-screen graphics device of the given size and
// colour format as the drawing target and an open 2D renderer inside a frame,
// all released again at the end of the scope. A test that runs an
// application draws on the application's singleton table instead, which
// then keeps what the drawing registered in it.
class DrawingScope {
public:
    static constexpr uint32_t kFormat = 0xB0304;  // x8r8g8b8

    enum class Singletons { kOwnTable, kApplicationTable };

    DrawingScope(uint32_t width, uint32_t height, uint32_t format = kFormat,
                 Singletons singletons = Singletons::kOwnTable);
    ~DrawingScope();

    DrawingScope(const DrawingScope&) = delete;
    DrawingScope& operator=(const DrawingScope&) = delete;

    OffScreenDevice* Device() const { return m_device; }
    CGraphics2d_Lite* Renderer() const { return m_renderer; }
    CRenderSurface* Target() const;

    // Every pixel of the target in its format, row by row.
    std::vector<uint32_t> ReadFrame() const;
    void FillFrame(uint32_t value) const;

    // An image in the target's format whose pixel (x, y) is pixel(x, y);
    // owned by the scope.
    CRenderSurface* MakeImage(uint32_t width, uint32_t height, const std::function<uint32_t(int, int)>& pixel);

private:
    uint32_t BytesPerPixel() const;
    // Calls visit(pixel, x, y) on every pixel of the surface, locked with
    // the flags: a read alone leaves the surface's change serial as it is.
    void ForEachPixel(CRenderSurface* surface, uint32_t lockFlags,
                      const std::function<void(uint8_t*, int, int)>& visit) const;

    std::unique_ptr<CHash> m_singletons;
    uint32_t m_format;
    OffScreenDevice* m_device = nullptr;
    CGraphics2d_Lite* m_renderer = nullptr;
    std::vector<CRenderSurface_SW_OffScreen*> m_images;
};

// A frame of width x height pixels as the tests expect it, with a copy of
// image rectangles clipped to the frame.
struct ExpectedFrame {
    ExpectedFrame(uint32_t frameWidth, uint32_t frameHeight, uint32_t background)
        : width(static_cast<int>(frameWidth)), height(static_cast<int>(frameHeight)),
          pixels(static_cast<size_t>(frameWidth) * frameHeight, background) {}

    // Copies the image's (sx, sy, w, h) rectangle to (dx, dy).
    void Blit(const std::function<uint32_t(int, int)>& image, int sx, int sy, int w, int h, int dx, int dy);

    int width;
    int height;
    std::vector<uint32_t> pixels;
};

#endif
