#include "MGLTexel.h"

#include "CColor.h"
#include "CPixelChannels.h"

namespace {

constexpr int32_t kSmallPaletteEntries = 16;
constexpr int32_t kLargePaletteEntries = 256;
constexpr uint32_t kPaletteEntryBytes = 4;

}  // namespace

void TexelQuadAddress(const uint8_t* const levels[kTexelLevels], int32_t bpp, TextureWrap wrap, int32_t width,
                      int32_t height, int32_t u, int32_t v, int32_t level, const uint8_t* out[4]) {
    const TexelLevel texels = LevelOf(levels, bpp, wrap, width, height, level);
    if (texels.base == nullptr) {
        out[0] = out[1] = out[2] = out[3] = nullptr;
        return;
    }
    texels.Quad(u, v, out);
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
        texel_format::R5G6B5().Decode(address, colour);
        return;
    }
    if (format == RSBFormat_L8) {
        texel_format::L8().Decode(address, colour);
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

void AccumulateTexelWeighted(const uint8_t* address, int32_t weight, uint32_t format, RSBFormat_ARGB_fixed* colour,
                             const uint8_t* palette, int32_t paletteEntries) {
    texel_format::AddWeighted(texel_format::AnyTexel{format, palette, paletteEntries}, address, weight, colour);
}
