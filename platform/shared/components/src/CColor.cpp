#include "CColor.h"

#include "CMemory.h"
#include "CPixelChannels.h"
#include "PixelFormatLayouts.h"

namespace {

struct FormatName {
    uint32_t format;
    const WChar* name;
};

const FormatName kFormatNames[] = {
    {RSBFormat_R5G6B5, u"r5g6b5"},
    {RSBFormat_A1R5G5B5, u"a1r5g5b5"},
    {RSBFormat_A4R4G4B4, u"a4r4g4b4"},
    {RSBFormat_X14R6G6B6, u"x14r6g6b6"},
    {RSBFormat_R8G8B8, u"r8g8b8"},
    {RSBFormat_X8R8G8B8, u"x8r8g8b8"},
    {RSBFormat_A8R8G8B8, u"a8r8g8b8"},
    {RSBFormat_ARGB_FIXED, u"argb_fixed"},
    {RSBFormat_RGBA_FIXED, u"rgba_fixed"},
    {RSBFormat_P16X8R8G8B8, u"p16x8r8g8b8"},
    {RSBFormat_P16A8R8G8B8, u"p16a8r8g8b8"},
    {RSBFormat_P256X8R8G8B8, u"p256x8r8g8b8"},
    {RSBFormat_P256A8R8G8B8, u"p256a8r8g8b8"},
};

bool IsFixed(uint32_t format) { return format == RSBFormat_ARGB_FIXED || format == RSBFormat_RGBA_FIXED; }

// Sources whose colour carries no alpha of its own in the conversions to
// 32 bits: their alpha becomes 0xFF.
bool IsOpaqueSource(uint32_t format) {
    return format == RSBFormat_R5G6B5 || format == RSBFormat_X14R6G6B6 || format == RSBFormat_R8G8B8;
}

// The four channels of a fixed record in memory, in its own order.
void ReadFixed(const void* pixel, int32_t out[4]) { MemCopy(out, pixel, 4 * sizeof(int32_t)); }

}  // namespace

const WChar* CColor::GetFormatName(uint32_t format) {
    for (const FormatName& entry : kFormatNames) {
        if (entry.format == format) return entry.name;
    }
    return nullptr;
}

uint32_t CColor::FixedToByte(int32_t value) {
    const int32_t byte = value >> 8;
    if (byte < 0) return 0;
    if (byte > 255) return 255;
    return static_cast<uint32_t>(byte);
}

bool CColor::UnpackFixed(uint32_t format, const void* pixel, Channels* out) {
    int32_t v[4];
    ReadFixed(pixel, v);
    if (format == RSBFormat_ARGB_FIXED) {
        *out = {FixedToByte(v[0]), FixedToByte(v[1]), FixedToByte(v[2]), FixedToByte(v[3])};
    } else {
        *out = {FixedToByte(v[3]), FixedToByte(v[0]), FixedToByte(v[1]), FixedToByte(v[2])};
    }
    return true;
}

// The formats with a name and a packed layout, each channel widened as
// its layout widens it; the fixed formats.
bool CColor::Unpack(uint32_t format, const void* pixel, Channels* out) {
    if (IsFixed(format)) return UnpackFixed(format, pixel, out);
    const PixelLayout* layout = pixel_layout::Find(format);
    if (layout == nullptr || GetFormatName(format) == nullptr) return false;
    const uint32_t word = layout->Load(pixel);
    *out = {layout->Alpha(word), layout->Red(word), layout->Green(word), layout->Blue(word)};
    return true;
}

uint32_t CColor::PackRGB(const Channels& c, uint32_t alpha) { return c.b | c.g << 8 | c.r << 16 | alpha << 24; }

uint16_t CColor::ToR5G6B5(uint32_t format, const void* pixel) {
    if (format == RSBFormat_R5G6B5) return static_cast<uint16_t>(PixelChannels::Load16(pixel));
    // The formats with a 1- or 4-bit alpha have no r5g6b5 conversion.
    if (format == RSBFormat_A1R5G5B5 || format == RSBFormat_A4R4G4B4) return 0;
    Channels c;
    if (!Unpack(format, pixel, &c)) return 0;
    return PixelChannels::PackR5G6B5(c.r, c.g, c.b);
}

uint32_t CColor::ToX8R8G8B8(uint32_t format, const void* pixel) {
    if (format == RSBFormat_X8R8G8B8) return PixelChannels::Load32(pixel);
    if (format == RSBFormat_A1R5G5B5 || format == RSBFormat_A4R4G4B4) return 0;
    Channels c;
    if (!Unpack(format, pixel, &c)) return 0;
    return PackRGB(c, 0xFF);
}

uint32_t CColor::ToA8R8G8B8(uint32_t format, const void* pixel) {
    if (format == RSBFormat_A8R8G8B8) return PixelChannels::Load32(pixel);
    Channels c;
    if (IsFixed(format)) {
        UnpackFixed(format, pixel, &c);
        return PackRGB(c, c.a);
    }
    if (!IsOpaqueSource(format) && format != RSBFormat_X8R8G8B8) return 0;
    Unpack(format, pixel, &c);
    return PackRGB(c, 0xFF);
}

void CColor::ConvertToFormat(RSBFormat_ARGB_fixed* dst, uint32_t format, const void* pixel) {
    if (format == RSBFormat_ARGB_FIXED) {
        MemCopy(dst, pixel, sizeof(RSBFormat_ARGB_fixed));
        return;
    }
    if (format == RSBFormat_RGBA_FIXED) {
        int32_t v[4];
        ReadFixed(pixel, v);
        *dst = {v[3], v[0], v[1], v[2]};
        return;
    }
    Channels c;
    if (!Unpack(format, pixel, &c)) return;
    MakeColorARGBFixed(dst, c.a, c.r, c.g, c.b);
}

bool CColor::ConvertPixel(uint32_t srcFormat, const void* src, uint32_t dstFormat, void* dst) {
    switch (dstFormat) {
        case RSBFormat_R5G6B5: PixelChannels::Store16(dst, ToR5G6B5(srcFormat, src)); return true;
        case RSBFormat_X8R8G8B8: PixelChannels::Store32(dst, ToX8R8G8B8(srcFormat, src)); return true;
        case RSBFormat_A8R8G8B8: PixelChannels::Store32(dst, ToA8R8G8B8(srcFormat, src)); return true;
        case RSBFormat_ARGB_FIXED: {
            RSBFormat_ARGB_fixed fixed;
            MemCopy(&fixed, dst, sizeof(fixed));
            ConvertToFormat(&fixed, srcFormat, src);
            MemCopy(dst, &fixed, sizeof(fixed));
            return true;
        }
        default: return false;
    }
}
