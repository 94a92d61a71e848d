#ifndef MGLTEXEL_H
#define MGLTEXEL_H

#include <cstdint>

#include "CGenUtil.h"

// Texel addressing and decoding of the texture sampler. Levels are host
// addresses of mip levels, level L being max(width >> L, 1) x
// max(height >> L, 1) texels in rows without padding; u and v are 16.16
// texel coordinates of level 0. Every address these routines give lies
// inside its level, whatever the coordinates, for power-of-two sizes and
// any other size alike.

// Texture modes: 2 clamps to the edge, 3 mirrors, anything else repeats.
constexpr int32_t kTexModeClamp = 2;
constexpr int32_t kTexModeMirror = 3;
constexpr int32_t kTexelLevels = 10;

// The addressing steps, inline: the sampler takes them for every texel.
namespace texel_detail {

inline int32_t BoundedLevel(int32_t level) {
    return level < 0 ? 0 : (level >= kTexelLevels ? kTexelLevels - 1 : level);
}

// One level's grid and a texel coordinate on it.
struct LevelGrid {
    int32_t w;
    int32_t h;
    int32_t tu;
    int32_t tv;
};

inline int32_t Extent(int32_t size, int32_t level) {
    const int32_t extent = size >> level;
    return extent < 1 ? 1 : extent;
}

inline LevelGrid GridOf(int32_t width, int32_t height, int32_t u, int32_t v, int32_t level) {
    return LevelGrid{Extent(width, level), Extent(height, level), u >> (level + 16), v >> (level + 16)};
}

// Where a coordinate falls on a row (or column) of `size` texels.
inline int32_t Wrapped(int32_t wrap, int32_t t, int32_t size) {
    if (wrap == kTexModeClamp) return t < 0 ? 0 : (t > size - 1 ? size - 1 : t);
    const int32_t x = t & (size - 1);
    if (wrap == kTexModeMirror && (t & size) != 0) return (size - 1) - x;
    return x;
}

inline const uint8_t* At(const uint8_t* level, int32_t bpp, int32_t w, int32_t x, int32_t y) {
    return level + static_cast<int64_t>(bpp) * (x + static_cast<int64_t>(y) * w);
}

}  // namespace texel_detail

// Texels a level of the size has across (at least one).
inline int32_t LevelExtent(int32_t size, int32_t level) {
    return texel_detail::Extent(size, texel_detail::BoundedLevel(level));
}

// One level's addressing, held apart from the levels so that a loop over
// many texels of it can keep it in registers.
struct TexelLevel {
    const uint8_t* base;  // null when the level is
    int32_t bpp;
    int32_t wrap;
    int32_t w;
    int32_t h;
    int32_t level;

    // The texel at (u, v); the base must not be null.
    const uint8_t* At(int32_t u, int32_t v) const {
        using texel_detail::Wrapped;
        return texel_detail::At(base, bpp, w, Wrapped(wrap, u >> (level + 16), w), Wrapped(wrap, v >> (level + 16), h));
    }
};

// Level `level` (taken as 0 when negative, at most 9) of a texture.
inline TexelLevel LevelOf(const uint8_t* const levels[kTexelLevels], int32_t bpp, int32_t wrap, int32_t width,
                          int32_t height, int32_t level) {
    using namespace texel_detail;
    level = BoundedLevel(level);
    return TexelLevel{levels[level], bpp, wrap, Extent(width, level), Extent(height, level), level};
}

// The texel at (u, v) on level `level` (taken as 0 when negative, at most
// 9); null when that level is null.
inline const uint8_t* TexelAddress(const uint8_t* const levels[kTexelLevels], int32_t bpp, int32_t wrap,
                                   int32_t width, int32_t height, int32_t u, int32_t v, int32_t level) {
    const TexelLevel texels = LevelOf(levels, bpp, wrap, width, height, level);
    return texels.base != nullptr ? texels.At(u, v) : nullptr;
}

// The 2 x 2 quad from the texel at (u, v): 0 = (x, y), 1 = (x + 1, y),
// 2 = (x + 1, y + 1), 3 = (x, y + 1), each step wrapped, mirrored or held at
// the edge as the mode says. All four null when the level is null.
void TexelQuadAddress(const uint8_t* const levels[kTexelLevels], int32_t bpp, int32_t wrap, int32_t width,
                      int32_t height, int32_t u, int32_t v, int32_t level, const uint8_t* out[4]);

// Sets the colour from one texel. Palette formats look the index byte up in
// the palette (`paletteEntries` long; an index past it, or no palette,
// leaves the colour as it is); other formats decode through CColor, and a
// format it does not know leaves the colour as it is.
void DecodeTexel(const uint8_t* address, uint32_t format, RSBFormat_ARGB_fixed* colour, const uint8_t* palette,
                 int32_t paletteEntries);
void FetchTexel(const uint8_t* address, uint32_t format, RSBFormat_ARGB_fixed* colour, const uint8_t* palette,
                int32_t paletteEntries);
// Adds (channel x weight) >> 8 of the texel to each channel of the colour.
void AccumulateTexelWeighted(const uint8_t* address, int32_t weight, uint32_t format, RSBFormat_ARGB_fixed* colour,
                             const uint8_t* palette, int32_t paletteEntries);
// Adds the texel's channels to the colour.
void AccumulateTexel(const uint8_t* address, uint32_t format, RSBFormat_ARGB_fixed* colour, const uint8_t* palette,
                     int32_t paletteEntries);

// Entries of the palette a palette format indexes, 0 for other formats.
int32_t PaletteEntries(uint32_t format);

#endif
