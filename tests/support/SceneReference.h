#ifndef SCENEREFERENCE_H
#define SCENEREFERENCE_H

#include <cstddef>
#include <cstdint>
#include <vector>

// The frame the renderer scene should leave, painted pixel by pixel with
// plain arithmetic, in the display's pixels: r5g6b5, or 0xRRGGBB on an
// x8r8g8b8 display. It starts cleared to the scene's clear colour.
class SceneReference {
public:
    enum class Ink { Plain, Keyed, Blended };

    SceneReference(int32_t width, int32_t height, bool wide);

    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    uint32_t Get(int32_t x, int32_t y) const { return m_pixels[Index(x, y)]; }
    // What a presented pixel holds of the display's pixel.
    uint32_t Mask() const { return m_wide ? 0xFFFFFF : 0xFFFF; }

    void Clip(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
    void Fill(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t rgb);
    // Source (sx, sy, w, h) of the scene's picture at (x, y), mirrored as
    // asked; keyed and blended ink skip the transparent colour, blended ink
    // mixes `alpha` of the picture into the frame.
    void Image(int32_t x, int32_t y, int32_t sx, int32_t sy, int32_t w, int32_t h, bool mirrorX, bool mirrorY, Ink ink,
               uint32_t alpha);

private:
    uint32_t Encode(uint32_t rgb) const;
    // (s × a + d × (255 − a)) / 256 per 8-bit channel.
    uint32_t Blend(uint32_t source, uint32_t dest, uint32_t alpha) const;
    void Set(int32_t x, int32_t y, uint32_t value);
    size_t Index(int32_t x, int32_t y) const { return static_cast<size_t>(y * m_width + x); }

    int32_t m_width;
    int32_t m_height;
    bool m_wide;
    std::vector<uint32_t> m_pixels;
    int32_t m_clipX0 = 0;
    int32_t m_clipY0 = 0;
    int32_t m_clipX1 = 1 << 20;
    int32_t m_clipY1 = 1 << 20;
};

#endif
