#ifndef MGLPIXELFORMAT_H
#define MGLPIXELFORMAT_H

#include <cstdint>

// One colour as four 8-bit channels, the form every buffer operation trades in.
struct ArgbPixel {
    uint8_t a;
    uint8_t r;
    uint8_t g;
    uint8_t b;

    bool operator==(const ArgbPixel&) const = default;
};

// Conversions between a stored pixel of the renderer's buffer formats (the
// RSBFormat ids of CColor.h) and four channels. Multi-byte pixels are
// little-endian at any alignment; r8g8b8 is stored blue first, as everywhere
// else in the system. Narrow channels come out with their low bits zero (no
// bit replication): r5g6b5 0xFFFF reads as (255, 0xF8, 0xFC, 0xF8). The
// palette formats and unknown ids are neither read nor written.

// Reads one pixel; false, with *out unchanged, for a format it cannot read.
bool UnpackPixel(const uint8_t* pixel, uint32_t format, ArgbPixel* out);

// Writes one pixel; false, writing nothing, for a format it cannot write.
// a8l8 takes its luminance from red, as l8 and i8 do, and keeps alpha in the
// high byte, the layout it is read with.
bool PackPixel(uint8_t* pixel, uint32_t format, ArgbPixel colour);

// The pixel a rectangle fill or a line writes: each channel clamped to
// 0..255 first, and r4g4b4's four spare top bits left zero.
bool PackSolidPixel(uint8_t* pixel, uint32_t format, int32_t a, int32_t r, int32_t g, int32_t b);

// Widest pixel of any format, in bytes.
constexpr int32_t kMaxPixelBytes = 16;

#endif
