#include "MGLTexel.h"

#include "CColor.h"
#include "CPixelChannels.h"

namespace {

constexpr int32_t kSmallPaletteEntries = 16;
constexpr int32_t kLargePaletteEntries = 256;
constexpr uint32_t kPaletteEntryBytes = 4;
// 8-bit channels become 0..65535 by a factor of 257.
constexpr int32_t kChannelScale = 257;
constexpr int32_t kFullChannel = 0xFFFF;

// The neighbour one step on from a coordinate, as the quad takes it.
int32_t NextTexel(int32_t wrap, int32_t t, int32_t size, int32_t coordinate) {
    const int32_t x = texel_detail::Wrapped(wrap, t, size);
    if (wrap == kTexModeClamp) return x != size - 1 && coordinate >= 0 ? x + 1 : x;
    const int32_t raw = t & (size - 1);
    if (wrap == kTexModeMirror) {
        if (raw == size - 1) return x;
        return (t & size) != 0 ? x - 1 : x + 1;
    }
    return x == size - 1 ? 0 : x + 1;
}

}  // namespace

void TexelQuadAddress(const uint8_t* const levels[kTexelLevels], int32_t bpp, int32_t wrap, int32_t width,
                      int32_t height, int32_t u, int32_t v, int32_t level, const uint8_t* out[4]) {
    level = texel_detail::BoundedLevel(level);
    const uint8_t* base = levels[level];
    if (base == nullptr) {
        out[0] = out[1] = out[2] = out[3] = nullptr;
        return;
    }
    using namespace texel_detail;
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
    // The textured span's common case, decoded here exactly as CColor does.
    if (format == RSBFormat_R5G6B5) {
        colour->a = kFullChannel;
        colour->r = GetRed_R5G6B5(address) * kChannelScale;
        colour->g = GetGreen_R5G6B5(address) * kChannelScale;
        colour->b = GetBlue_R5G6B5(address) * kChannelScale;
        return;
    }
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
