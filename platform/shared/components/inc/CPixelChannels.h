#ifndef CPIXELCHANNELS_H
#define CPIXELCHANNELS_H

#include <cstdint>

// Channel getters: each reads one packed pixel (little-endian, any alignment)
// and expands one of its channels to 8 bits. The colour conversions and every
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

// Top bits repeated into the low bits: 31 -> 255, 63 -> 255, 15 -> 255.
inline uint8_t Expand5(uint32_t c) { return static_cast<uint8_t>(c << 3 | c >> 2); }
inline uint8_t Expand6(uint32_t c) { return static_cast<uint8_t>(c << 2 | c >> 4); }
inline uint8_t Expand4(uint32_t c) { return static_cast<uint8_t>(c << 4 | c); }

// The 18-bit format repeats its two LOW bits (32 -> 128, not 130); stored
// images were authored against this rounding.
inline uint8_t Expand6Low(uint32_t c) { return static_cast<uint8_t>(c << 2 | (c & 3u)); }
}  // namespace PixelChannels

// r5g6b5: red 11-15, green 5-10, blue 0-4.
inline uint8_t GetRed_R5G6B5(const void* p) { return PixelChannels::Expand5(PixelChannels::Load16(p) >> 11 & 0x1Fu); }
inline uint8_t GetGreen_R5G6B5(const void* p) { return PixelChannels::Expand6(PixelChannels::Load16(p) >> 5 & 0x3Fu); }
inline uint8_t GetBlue_R5G6B5(const void* p) { return PixelChannels::Expand5(PixelChannels::Load16(p) & 0x1Fu); }

// a1r5g5b5: alpha 15, red 10-14, green 5-9, blue 0-4.
inline uint8_t GetRed_X1R5G5B5(const void* p) { return PixelChannels::Expand5(PixelChannels::Load16(p) >> 10 & 0x1Fu); }
inline uint8_t GetGreen_X1R5G5B5(const void* p) {
    return PixelChannels::Expand5(PixelChannels::Load16(p) >> 5 & 0x1Fu);
}
inline uint8_t GetBlue_X1R5G5B5(const void* p) { return PixelChannels::Expand5(PixelChannels::Load16(p) & 0x1Fu); }

// a4r4g4b4: alpha 12-15, red 8-11, green 4-7, blue 0-3.
inline uint8_t GetAlpha_A4R4G4B4(const void* p) {
    return PixelChannels::Expand4(PixelChannels::Load16(p) >> 12 & 0xFu);
}
inline uint8_t GetRed_A4R4G4B4(const void* p) { return PixelChannels::Expand4(PixelChannels::Load16(p) >> 8 & 0xFu); }
inline uint8_t GetGreen_A4R4G4B4(const void* p) { return PixelChannels::Expand4(PixelChannels::Load16(p) >> 4 & 0xFu); }
inline uint8_t GetBlue_A4R4G4B4(const void* p) { return PixelChannels::Expand4(PixelChannels::Load16(p) & 0xFu); }

// r8g8b8: three bytes, blue first.
inline uint8_t GetRed_R8G8B8(const void* p) { return PixelChannels::ByteAt(p, 2); }
inline uint8_t GetGreen_R8G8B8(const void* p) { return PixelChannels::ByteAt(p, 1); }
inline uint8_t GetBlue_R8G8B8(const void* p) { return PixelChannels::ByteAt(p, 0); }

// x14r6g6b6: red 12-17, green 6-11, blue 0-5; bits 18-31 ignored.
inline uint8_t GetRed_X14R6G6B6(const void* p) {
    return PixelChannels::Expand6Low(PixelChannels::Load32(p) >> 12 & 0x3Fu);
}
inline uint8_t GetGreen_X14R6G6B6(const void* p) {
    return PixelChannels::Expand6Low(PixelChannels::Load32(p) >> 6 & 0x3Fu);
}
inline uint8_t GetBlue_X14R6G6B6(const void* p) { return PixelChannels::Expand6Low(PixelChannels::Load32(p) & 0x3Fu); }

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
    return static_cast<uint16_t>((b >> 3) | (g >> 2) << 5 | (r >> 3) << 11);
}

// Bits 18-31 come out 0.
inline uint32_t PackX14R6G6B6(uint32_t r, uint32_t g, uint32_t b) { return (b >> 2) | (g >> 2) << 6 | (r >> 2) << 12; }

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
