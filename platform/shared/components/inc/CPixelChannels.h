#ifndef CPIXELCHANNELS_H
#define CPIXELCHANNELS_H

#include <cstdint>

#include "PixelLayout.h"

// Channel getters: each reads one packed pixel (little-endian, any alignment)
// and expands one of its channels to 8 bits as the format's layout says
// (PixelLayout.h). The colour conversions and every
// blit routine share these, so a pixel reads back the same whichever path
// touched it. Packers are the inverse used by the converting and blending paths.

namespace PixelChannels {
inline uint32_t Load16(const void* pixel) {
    const uint8_t* b = static_cast<const uint8_t*>(pixel);
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8;
}

inline uint32_t Load32(const void* pixel) {
    const uint8_t* b = static_cast<const uint8_t*>(pixel);
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
           static_cast<uint32_t>(b[3]) << 24;
}

inline uint8_t ByteAt(const void* pixel, int index) { return static_cast<const uint8_t*>(pixel)[index]; }

// A channel of a 16-bit format's pixel, widened as its layout says.
inline uint8_t Channel16(const void* p, const PixelLayout& layout, PixelLayout::Field field) {
    return static_cast<uint8_t>(layout.Widened(Load16(p), field));
}
}  // namespace PixelChannels

inline uint8_t GetRed_R5G6B5(const void* p) {
    return PixelChannels::Channel16(p, pixel_layout::kR5G6B5, pixel_layout::kR5G6B5.r);
}
inline uint8_t GetGreen_R5G6B5(const void* p) {
    return PixelChannels::Channel16(p, pixel_layout::kR5G6B5, pixel_layout::kR5G6B5.g);
}
inline uint8_t GetBlue_R5G6B5(const void* p) {
    return PixelChannels::Channel16(p, pixel_layout::kR5G6B5, pixel_layout::kR5G6B5.b);
}

inline uint8_t GetRed_X1R5G5B5(const void* p) {
    return PixelChannels::Channel16(p, pixel_layout::kA1R5G5B5, pixel_layout::kA1R5G5B5.r);
}
inline uint8_t GetGreen_X1R5G5B5(const void* p) {
    return PixelChannels::Channel16(p, pixel_layout::kA1R5G5B5, pixel_layout::kA1R5G5B5.g);
}
inline uint8_t GetBlue_X1R5G5B5(const void* p) {
    return PixelChannels::Channel16(p, pixel_layout::kA1R5G5B5, pixel_layout::kA1R5G5B5.b);
}

inline uint8_t GetAlpha_A4R4G4B4(const void* p) {
    return PixelChannels::Channel16(p, pixel_layout::kA4R4G4B4, pixel_layout::kA4R4G4B4.a);
}
inline uint8_t GetRed_A4R4G4B4(const void* p) {
    return PixelChannels::Channel16(p, pixel_layout::kA4R4G4B4, pixel_layout::kA4R4G4B4.r);
}
inline uint8_t GetGreen_A4R4G4B4(const void* p) {
    return PixelChannels::Channel16(p, pixel_layout::kA4R4G4B4, pixel_layout::kA4R4G4B4.g);
}
inline uint8_t GetBlue_A4R4G4B4(const void* p) {
    return PixelChannels::Channel16(p, pixel_layout::kA4R4G4B4, pixel_layout::kA4R4G4B4.b);
}

// r8g8b8: three bytes, blue first.
inline uint8_t GetRed_R8G8B8(const void* p) { return PixelChannels::ByteAt(p, 2); }
inline uint8_t GetGreen_R8G8B8(const void* p) { return PixelChannels::ByteAt(p, 1); }
inline uint8_t GetBlue_R8G8B8(const void* p) { return PixelChannels::ByteAt(p, 0); }

// x14r6g6b6: bits 18-31 ignored.
inline uint8_t GetRed_X14R6G6B6(const void* p) {
    return static_cast<uint8_t>(pixel_layout::kX14R6G6B6.Widened(PixelChannels::Load32(p), pixel_layout::kX14R6G6B6.r));
}
inline uint8_t GetGreen_X14R6G6B6(const void* p) {
    return static_cast<uint8_t>(pixel_layout::kX14R6G6B6.Widened(PixelChannels::Load32(p), pixel_layout::kX14R6G6B6.g));
}
inline uint8_t GetBlue_X14R6G6B6(const void* p) {
    return static_cast<uint8_t>(pixel_layout::kX14R6G6B6.Widened(PixelChannels::Load32(p), pixel_layout::kX14R6G6B6.b));
}

// 32-bit (x8r8g8b8 / a8r8g8b8): byte 0 blue, 1 green, 2 red, 3 alpha.
inline uint8_t GetRed_A8R8G8B8(const void* p) { return PixelChannels::ByteAt(p, 2); }
inline uint8_t GetGreen_A8R8G8B8(const void* p) { return PixelChannels::ByteAt(p, 1); }
inline uint8_t GetBlue_A8R8G8B8(const void* p) { return PixelChannels::ByteAt(p, 0); }

// The line and fill routines name the same 32-bit reads by the word they come from.
inline uint8_t GetRed_Pixel32(const void* p) { return GetRed_A8R8G8B8(p); }
inline uint8_t GetGreen_Pixel32(const void* p) { return GetGreen_A8R8G8B8(p); }
inline uint8_t GetBlue_Pixel32(const void* p) { return GetBlue_A8R8G8B8(p); }
inline uint8_t GetAlpha_Pixel32(const void* p) { return PixelChannels::ByteAt(p, 3); }

// Packing 8-bit channels back (low bits dropped).
namespace PixelChannels {
inline uint16_t PackR5G6B5(uint32_t r, uint32_t g, uint32_t b) {
    return static_cast<uint16_t>(pixel_layout::kR5G6B5.Packed(0, r, g, b));
}

// Bits 18-31 come out 0.
inline uint32_t PackX14R6G6B6(uint32_t r, uint32_t g, uint32_t b) { return pixel_layout::kX14R6G6B6.Packed(0, r, g, b); }

// Alpha forced opaque.
inline uint32_t PackPixel32(uint32_t r, uint32_t g, uint32_t b) {
    return 0xFF000000u | (r & 0xFFu) << 16 | (g & 0xFFu) << 8 | (b & 0xFFu);
}

inline void Store16(void* pixel, uint32_t value) {
    uint8_t* b = static_cast<uint8_t*>(pixel);
    b[0] = static_cast<uint8_t>(value);
    b[1] = static_cast<uint8_t>(value >> 8);
}

inline void Store32(void* pixel, uint32_t value) {
    uint8_t* b = static_cast<uint8_t*>(pixel);
    b[0] = static_cast<uint8_t>(value);
    b[1] = static_cast<uint8_t>(value >> 8);
    b[2] = static_cast<uint8_t>(value >> 16);
    b[3] = static_cast<uint8_t>(value >> 24);
}
}  // namespace PixelChannels

#endif
