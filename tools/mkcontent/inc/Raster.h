#ifndef RASTER_H
#define RASTER_H

#include <cstdint>
#include <vector>

// A picture being drawn: 0xRRGGBB per pixel, with pure magenta as the
// transparent colour (the renderer's colour key). Drawing is clipped to the
// picture.
class Raster {
public:
    static constexpr uint32_t kTransparent = 0xFF00FF;
    // The most pixels one source file may draw: the game's pictures use a
    // fraction of it, and a runaway source stops here.
    static constexpr int64_t kMaxPixelsPerSource = int64_t{1} << 24;

    Raster() = default;
    Raster(int32_t width, int32_t height, uint32_t colour = kTransparent);

    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    uint32_t At(int32_t x, int32_t y) const;
    void Plot(int32_t x, int32_t y, uint32_t colour);

    void FillRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour);
    // An outline `thickness` pixels wide inside the rectangle.
    void FrameRect(int32_t x, int32_t y, int32_t width, int32_t height, int32_t thickness, uint32_t colour);
    void Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour);
    void FillDisc(int32_t centreX, int32_t centreY, int32_t radius, uint32_t colour);
    void FillTriangle(const int32_t xs[3], const int32_t ys[3], uint32_t colour);
    // `bands` equal steps from `from` to `to`, top to bottom or left to right.
    void Gradient(int32_t x, int32_t y, int32_t width, int32_t height, bool vertical, uint32_t from, uint32_t to,
                  int32_t bands);
    // Copies `source` with its transparent pixels left out, each pixel
    // `scale` x `scale`.
    void Blit(const Raster& source, int32_t x, int32_t y, int32_t scale);

    const std::vector<uint32_t>& Pixels() const { return m_pixels; }

private:
    int32_t m_width = 0;
    int32_t m_height = 0;
    std::vector<uint32_t> m_pixels;
};

#endif
