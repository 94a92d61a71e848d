#include "SceneReference.h"

#include "Reference565.h"
#include "SceneData.h"

SceneReference::SceneReference(int32_t width, int32_t height, bool wide)
    : m_width(width), m_height(height), m_wide(wide),
      m_pixels(static_cast<size_t>(width * height), Encode(scenetest::kClearArgb & 0xFFFFFF)) {}

void SceneReference::Clip(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    m_clipX0 = x0;
    m_clipY0 = y0;
    m_clipX1 = x1;
    m_clipY1 = y1;
}

void SceneReference::Fill(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t rgb) {
    for (int32_t y = y0; y < y1; ++y) {
        for (int32_t x = x0; x < x1; ++x) Set(x, y, Encode(rgb));
    }
}

void SceneReference::Image(int32_t x, int32_t y, int32_t sx, int32_t sy, int32_t w, int32_t h, bool mirrorX,
                           bool mirrorY, Ink ink, uint32_t alpha) {
    for (int32_t j = 0; j < h; ++j) {
        for (int32_t i = 0; i < w; ++i) {
            const uint32_t rgb = scenetest::PictureRgb(sx + (mirrorX ? w - 1 - i : i), sy + (mirrorY ? h - 1 - j : j));
            if (ink != Ink::Plain && rgb == scenetest::kTransparentRgb) continue;
            if (x + i < 0 || y + j < 0 || x + i >= m_width || y + j >= m_height) continue;
            const uint32_t source = Encode(rgb);
            Set(x + i, y + j, ink == Ink::Blended ? Blend(source, Get(x + i, y + j), alpha) : source);
        }
    }
}

uint32_t SceneReference::Encode(uint32_t rgb) const { return m_wide ? rgb : ref565::FromRgb(rgb); }

uint32_t SceneReference::Blend(uint32_t source, uint32_t dest, uint32_t alpha) const {
    if (!m_wide) return ref565::Blend565(source, dest, alpha);
    uint32_t mixed = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        mixed |= ref565::Mix(source >> shift & 0xFF, dest >> shift & 0xFF, alpha) << shift;
    }
    return mixed;
}

void SceneReference::Set(int32_t x, int32_t y, uint32_t value) {
    if (x >= m_clipX0 && y >= m_clipY0 && x < m_clipX1 && y < m_clipY1) m_pixels[Index(x, y)] = value;
}
