#ifndef CCOLOR_H
#define CCOLOR_H

#include "CGenUtil.h"
#include "EngineTypes.h"

// Pixel-format ids. Bits 0-4: bytes per pixel (0 for 4-bit indices); 8-11:
// channel count; 12: packed channels; 13: alpha only; 14: has alpha; 15:
// palette-indexed; 16 and up: the format's number.
constexpr uint32_t RSBFormat_R4G4B4 = 0x11302;
constexpr uint32_t RSBFormat_R5G6B5 = 0x21302;
constexpr uint32_t RSBFormat_A1R5G5B5 = 0x45402;
constexpr uint32_t RSBFormat_A4R4G4B4 = 0x65402;
constexpr uint32_t RSBFormat_X14R6G6B6 = 0x81304;
constexpr uint32_t RSBFormat_R8G8B8 = 0x90303;
constexpr uint32_t RSBFormat_X8R8G8B8 = 0xB0304;
constexpr uint32_t RSBFormat_A8R8G8B8 = 0xC4404;
// The fixed colour records themselves are RSBFormat_ARGB_fixed (CGenUtil.h).
constexpr uint32_t RSBFormat_ARGB_FIXED = 0x1E4410;
constexpr uint32_t RSBFormat_RGBA_FIXED = 0x1F4410;
constexpr uint32_t RSBFormat_L8 = 0x280101;
constexpr uint32_t RSBFormat_A8 = 0x296101;
constexpr uint32_t RSBFormat_I8 = 0x2A4101;
constexpr uint32_t RSBFormat_A8L8 = 0x2B4202;
constexpr uint32_t RSBFormat_P16X8R8G8B8 = 0x328300;
constexpr uint32_t RSBFormat_P16A8R8G8B8 = 0x33C400;
constexpr uint32_t RSBFormat_P256X8R8G8B8 = 0x348301;
constexpr uint32_t RSBFormat_P256A8R8G8B8 = 0x35C401;
constexpr uint32_t RSBFormat_Z32 = 0x520104;

constexpr uint32_t kFormatBytesPerPixelMask = 0x1Fu;
constexpr uint32_t kFormatHasAlpha = 0x4000u;
constexpr uint32_t kFormatPaletted = 0x8000u;

// Single-colour conversions between the pixel formats. A pixel is passed as a
// pointer to its bytes (16- and 32-bit words little-endian, any alignment;
// the fixed formats as their in-memory records). Narrow channels expand to 8
// bits through the shared channel getters, so a colour converted here and a
// pixel converted by a blit agree.
class CColor {
public:
    CColor() = delete;

    static constexpr uint32_t BytesPerPixel(uint32_t format) { return format & kFormatBytesPerPixelMask; }

    // The format's name, or null for an id without one.
    static const WChar* GetFormatName(uint32_t format);

    // Unsupported sources give 0 (a1r5g5b5 and a4r4g4b4 among them).
    static uint16_t ToR5G6B5(uint32_t format, const void* pixel);
    static uint32_t ToX8R8G8B8(uint32_t format, const void* pixel);
    static uint32_t ToA8R8G8B8(uint32_t format, const void* pixel);

    // Unpacks into the fixed channels; an unsupported source leaves dst as it was.
    static void ConvertToFormat(RSBFormat_ARGB_fixed* dst, uint32_t format, const void* pixel);

    // Converts into r5g6b5, x8r8g8b8, a8r8g8b8 or argb_fixed; false, with
    // nothing stored, for any other destination.
    static bool ConvertPixel(uint32_t srcFormat, const void* src, uint32_t dstFormat, void* dst);

private:
    struct Channels {
        uint32_t a;
        uint32_t r;
        uint32_t g;
        uint32_t b;
    };

    // 8-bit channels of the pixel; false for a format it cannot read.
    static bool Unpack(uint32_t format, const void* pixel, Channels* out);
    static bool UnpackFixed(uint32_t format, const void* pixel, Channels* out);
    static uint32_t FixedToByte(int32_t value);
    static uint32_t PackRGB(const Channels& c, uint32_t alpha);
};

#endif
