#include "MGLPixelFormat.h"

#include "CColor.h"
#include "CPixelChannels.h"
#include "PixelFormatLayouts.h"

using PixelChannels::Load16;
using PixelChannels::Load32;
using PixelChannels::Store16;
using PixelChannels::Store32;

namespace {

uint8_t Byte(uint32_t value) { return static_cast<uint8_t>(value & 0xFFu); }

ArgbPixel Opaque(uint32_t r, uint32_t g, uint32_t b) { return {255, Byte(r), Byte(g), Byte(b)}; }

// Four 32-bit words a, r, g, b, each the channel times 256.
ArgbPixel UnpackFixed(const uint8_t* pixel) {
    return {Byte(Load32(pixel) >> 8), Byte(Load32(pixel + 4) >> 8), Byte(Load32(pixel + 8) >> 8),
            Byte(Load32(pixel + 12) >> 8)};
}

void PackFixed(uint8_t* pixel, ArgbPixel c) {
    Store32(pixel, uint32_t{c.a} << 8);
    Store32(pixel + 4, uint32_t{c.r} << 8);
    Store32(pixel + 8, uint32_t{c.g} << 8);
    Store32(pixel + 12, uint32_t{c.b} << 8);
}

uint8_t ClampChannel(int32_t value) { return static_cast<uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value)); }

// A pixel of the layout with its channels' low bits zero.
ArgbPixel Unpacked(const uint8_t* pixel, const PixelLayout& layout) {
    const uint32_t v = layout.Load(pixel);
    return {Byte(PixelLayout::Truncated(v, layout.a)), Byte(PixelLayout::Truncated(v, layout.r)),
            Byte(PixelLayout::Truncated(v, layout.g)), Byte(PixelLayout::Truncated(v, layout.b))};
}

void Pack(uint8_t* pixel, const PixelLayout& layout, ArgbPixel c) { layout.Store(pixel, layout.Packed(c.a, c.r, c.g, c.b)); }

// A buffer format's packed layout; x8r8g8b8 is no buffer format, and the
// pixel operations leave it alone.
const PixelLayout* BufferLayout(uint32_t format) {
    return format == RSBFormat_X8R8G8B8 ? nullptr : pixel_layout::Find(format);
}

}  // namespace

bool UnpackPixel(const uint8_t* pixel, uint32_t format, ArgbPixel* out) {
    switch (format) {
        case RSBFormat_ARGB_FIXED:
            *out = UnpackFixed(pixel);
            return true;
        case RSBFormat_A8:
            *out = {pixel[0], 0, 0, 0};
            return true;
        case RSBFormat_I8:
            *out = {pixel[0], pixel[0], pixel[0], pixel[0]};
            return true;
        case RSBFormat_A8L8: {
            const uint32_t v = Load16(pixel);
            *out = {Byte(v >> 8), Byte(v), Byte(v), Byte(v)};
            return true;
        }
        case RSBFormat_Z32: {
            const uint32_t depth = Byte(Load32(pixel) >> 8);
            *out = Opaque(depth, depth, depth);
            return true;
        }
        default: break;
    }
    const PixelLayout* layout = BufferLayout(format);
    if (layout == nullptr) return false;
    *out = Unpacked(pixel, *layout);
    return true;
}

bool PackPixel(uint8_t* pixel, uint32_t format, ArgbPixel c) {
    switch (format) {
        case RSBFormat_ARGB_FIXED:
            PackFixed(pixel, c);
            return true;
        // Luminance and intensity: one byte every colour channel reads as,
        // written from red.
        case RSBFormat_L8:
        case RSBFormat_I8:
            pixel[0] = c.r;
            return true;
        case RSBFormat_A8:
            pixel[0] = c.a;
            return true;
        case RSBFormat_A8L8:
            Store16(pixel, uint32_t{c.a} << 8 | c.r);
            return true;
        case RSBFormat_Z32:
            Store32(pixel, uint32_t{c.r} << 8);
            return true;
        default: break;
    }
    // r4g4b4 keeps alpha in its spare top bits, as a4r4g4b4 has it.
    const PixelLayout* layout = BufferLayout(format == RSBFormat_R4G4B4 ? RSBFormat_A4R4G4B4 : format);
    if (layout == nullptr) return false;
    Pack(pixel, *layout, c);
    return true;
}

bool PackSolidPixel(uint8_t* pixel, uint32_t format, int32_t a, int32_t r, int32_t g, int32_t b) {
    const uint8_t alpha = format == RSBFormat_R4G4B4 ? 0 : ClampChannel(a);
    return PackPixel(pixel, format, {alpha, ClampChannel(r), ClampChannel(g), ClampChannel(b)});
}
