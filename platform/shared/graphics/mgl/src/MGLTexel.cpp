#include "MGLTexel.h"

#include "CColor.h"

namespace {

constexpr int32_t kSmallPaletteEntries = 16;
constexpr int32_t kLargePaletteEntries = 256;
constexpr uint32_t kPaletteEntryBytes = 4;

// One level's grid and a texel coordinate on it.
struct LevelGrid {
    int32_t w;
    int32_t h;
    int32_t tu;
    int32_t tv;
};

int32_t BoundedLevel(int32_t level) {
    return level < 0 ? 0 : (level >= kTexelLevels ? kTexelLevels - 1 : level);
}

LevelGrid GridOf(int32_t width, int32_t height, int32_t u, int32_t v, int32_t level) {
    return LevelGrid{LevelExtent(width, level), LevelExtent(height, level), u >> (level + 16), v >> (level + 16)};
}

int32_t ClampTo(int32_t t, int32_t size) { return t < 0 ? 0 : (t > size - 1 ? size - 1 : t); }

// Where a coordinate falls on a row (or column) of `size` texels.
int32_t Wrapped(int32_t wrap, int32_t t, int32_t size) {
    if (wrap == kTexModeClamp) return ClampTo(t, size);
    const int32_t x = t & (size - 1);
    if (wrap == kTexModeMirror && (t & size) != 0) return (size - 1) - x;
    return x;
}

// The neighbour one step on from a coordinate, as the quad takes it.
int32_t NextTexel(int32_t wrap, int32_t t, int32_t size, int32_t coordinate) {
    const int32_t x = Wrapped(wrap, t, size);
    if (wrap == kTexModeClamp) return x != size - 1 && coordinate >= 0 ? x + 1 : x;
    const int32_t raw = t & (size - 1);
    if (wrap == kTexModeMirror) {
        if (raw == size - 1) return x;
        return (t & size) != 0 ? x - 1 : x + 1;
    }
    return x == size - 1 ? 0 : x + 1;
}

const uint8_t* At(const uint8_t* level, int32_t bpp, int32_t w, int32_t x, int32_t y) {
    return level + static_cast<int64_t>(bpp) * (x + static_cast<int64_t>(y) * w);
}

}  // namespace

int32_t LevelExtent(int32_t size, int32_t level) {
    const int32_t extent = size >> BoundedLevel(level);
    return extent < 1 ? 1 : extent;
}

const uint8_t* TexelAddress(const uint8_t* const levels[kTexelLevels], int32_t bpp, int32_t wrap, int32_t width,
                            int32_t height, int32_t u, int32_t v, int32_t level) {
    level = BoundedLevel(level);
    if (levels[level] == nullptr) return nullptr;
    const LevelGrid g = GridOf(width, height, u, v, level);
    return At(levels[level], bpp, g.w, Wrapped(wrap, g.tu, g.w), Wrapped(wrap, g.tv, g.h));
}

void TexelQuadAddress(const uint8_t* const levels[kTexelLevels], int32_t bpp, int32_t wrap, int32_t width,
                      int32_t height, int32_t u, int32_t v, int32_t level, const uint8_t* out[4]) {
    level = BoundedLevel(level);
    const uint8_t* base = levels[level];
    if (base == nullptr) {
        out[0] = out[1] = out[2] = out[3] = nullptr;
        return;
    }
    const LevelGrid g = GridOf(width, height, u, v, level);
    const int32_t x0 = Wrapped(wrap, g.tu, g.w);
    const int32_t y0 = Wrapped(wrap, g.tv, g.h);
    const int32_t x1 = NextTexel(wrap, g.tu, g.w, u);
    const int32_t y1 = NextTexel(wrap, g.tv, g.h, v);
    out[0] = At(base, bpp, g.w, x0, y0);
    out[1] = At(base, bpp, g.w, x1, y0);
    out[2] = At(base, bpp, g.w, x1, y1);
    out[3] = At(base, bpp, g.w, x0, y1);
}

int32_t PaletteEntries(uint32_t format) {
    switch (format) {
        case RSBFormat_P16X8R8G8B8:
        case RSBFormat_P16A8R8G8B8: return kSmallPaletteEntries;
        case RSBFormat_P256X8R8G8B8:
        case RSBFormat_P256A8R8G8B8: return kLargePaletteEntries;
        default: return 0;
    }
}

void DecodeTexel(const uint8_t* address, uint32_t format, RSBFormat_ARGB_fixed* colour, const uint8_t* palette,
                 int32_t paletteEntries) {
    if (PaletteEntries(format) == 0) {
        CColor::ConvertToFormat(colour, format, address);
        return;
    }
    const int32_t index = *address;
    if (palette == nullptr || index >= paletteEntries) return;
    const bool withAlpha = format == RSBFormat_P16A8R8G8B8 || format == RSBFormat_P256A8R8G8B8;
    CColor::ConvertToFormat(colour, withAlpha ? RSBFormat_A8R8G8B8 : RSBFormat_X8R8G8B8,
                            palette + kPaletteEntryBytes * static_cast<uint32_t>(index));
}

void FetchTexel(const uint8_t* address, uint32_t format, RSBFormat_ARGB_fixed* colour, const uint8_t* palette,
                int32_t paletteEntries) {
    DecodeTexel(address, format, colour, palette, paletteEntries);
}

void AccumulateTexelWeighted(const uint8_t* address, int32_t weight, uint32_t format, RSBFormat_ARGB_fixed* colour,
                             const uint8_t* palette, int32_t paletteEntries) {
    RSBFormat_ARGB_fixed texel = {0, 0, 0, 0};
    DecodeTexel(address, format, &texel, palette, paletteEntries);
    colour->a += (texel.a * weight) >> 8;
    colour->r += (texel.r * weight) >> 8;
    colour->g += (texel.g * weight) >> 8;
    colour->b += (texel.b * weight) >> 8;
}

void AccumulateTexel(const uint8_t* address, uint32_t format, RSBFormat_ARGB_fixed* colour, const uint8_t* palette,
                     int32_t paletteEntries) {
    RSBFormat_ARGB_fixed texel = {0, 0, 0, 0};
    DecodeTexel(address, format, &texel, palette, paletteEntries);
    colour->a += texel.a;
    colour->r += texel.r;
    colour->g += texel.g;
    colour->b += texel.b;
}
