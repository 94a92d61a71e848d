#ifndef PIXELFORMATLAYOUTS_H
#define PIXELFORMATLAYOUTS_H

#include <cstdint>

#include "CColor.h"
#include "PixelLayout.h"

// The packed formats' layouts by pixel-format id: the one place a format id
// is tied to its layout. The colour conversions, the renderer's pixel
// operations, the blits, the texture converters and the texel decoders all
// find a format's layout here.
namespace pixel_layout {

struct FormatLayout {
    uint32_t format;
    const PixelLayout& layout;
};

inline constexpr FormatLayout kByFormat[] = {
    {RSBFormat_R4G4B4, kR4G4B4},       {RSBFormat_R5G6B5, kR5G6B5},     {RSBFormat_A1R5G5B5, kA1R5G5B5},
    {RSBFormat_A4R4G4B4, kA4R4G4B4},   {RSBFormat_X14R6G6B6, kX14R6G6B6}, {RSBFormat_R8G8B8, kR8G8B8},
    {RSBFormat_X8R8G8B8, kX8R8G8B8},   {RSBFormat_A8R8G8B8, kA8R8G8B8}, {RSBFormat_L8, kL8},
};

// The format's layout; null for a format that is no packed word (the fixed,
// palette, alpha, intensity and depth formats).
constexpr const PixelLayout* Find(uint32_t format) {
    for (const FormatLayout& entry : kByFormat) {
        if (entry.format == format) return &entry.layout;
    }
    return nullptr;
}

// The layout of a format named at compile time: one without a layout does
// not compile there.
constexpr const PixelLayout& Of(uint32_t format) { return *Find(format); }

constexpr bool SizedAsTheirIds() {
    for (const FormatLayout& entry : kByFormat) {
        if (entry.layout.bytes != static_cast<int32_t>(CColor::BytesPerPixel(entry.format))) return false;
    }
    return true;
}
static_assert(SizedAsTheirIds(), "a format's layout has the pixel size its id gives");

}  // namespace pixel_layout

#endif
