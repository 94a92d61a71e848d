#include "MGLPixelFormat.h"

#include "CColor.h"
#include "CPixelChannels.h"
#include "PixelLayout.h"

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

}  // namespace

bool UnpackPixel(const uint8_t* pixel, uint32_t format, ArgbPixel* out) {
    switch (format) {
        case RSBFormat_R4G4B4: *out = Unpacked(pixel, pixel_layout::kR4G4B4); return true;
        case RSBFormat_R5G6B5: *out = Unpacked(pixel, pixel_layout::kR5G6B5); return true;
        case RSBFormat_A1R5G5B5: *out = Unpacked(pixel, pixel_layout::kA1R5G5B5); return true;
        case RSBFormat_A4R4G4B4: *out = Unpacked(pixel, pixel_layout::kA4R4G4B4); return true;
        case RSBFormat_X14R6G6B6: *out = Unpacked(pixel, pixel_layout::kX14R6G6B6); return true;
        case RSBFormat_R8G8B8:
            *out = Opaque(pixel[2], pixel[1], pixel[0]);
            return true;
        case RSBFormat_A8R8G8B8: *out = Unpacked(pixel, pixel_layout::kA8R8G8B8); return true;
        case RSBFormat_ARGB_FIXED:
            *out = UnpackFixed(pixel);
            return true;
        case RSBFormat_L8: *out = Unpacked(pixel, pixel_layout::kL8); return true;
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
        default:
            return false;
    }
}

bool PackPixel(uint8_t* pixel, uint32_t format, ArgbPixel c) {
    switch (format) {
        // r4g4b4 keeps alpha in its spare top bits, as a4r4g4b4 has it.
        case RSBFormat_R4G4B4:
        case RSBFormat_A4R4G4B4: Pack(pixel, pixel_layout::kA4R4G4B4, c); return true;
        case RSBFormat_R5G6B5: Pack(pixel, pixel_layout::kR5G6B5, c); return true;
        case RSBFormat_A1R5G5B5: Pack(pixel, pixel_layout::kA1R5G5B5, c); return true;
        case RSBFormat_X14R6G6B6: Pack(pixel, pixel_layout::kX14R6G6B6, c); return true;
        case RSBFormat_R8G8B8:
            pixel[0] = c.b;
            pixel[1] = c.g;
            pixel[2] = c.r;
            return true;
        case RSBFormat_A8R8G8B8: Pack(pixel, pixel_layout::kA8R8G8B8, c); return true;
        case RSBFormat_ARGB_FIXED:
            PackFixed(pixel, c);
            return true;
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
        default:
            return false;
    }
}

bool PackSolidPixel(uint8_t* pixel, uint32_t format, int32_t a, int32_t r, int32_t g, int32_t b) {
    const uint8_t alpha = format == RSBFormat_R4G4B4 ? 0 : ClampChannel(a);
    return PackPixel(pixel, format, {alpha, ClampChannel(r), ClampChannel(g), ClampChannel(b)});
}
