#ifndef BLITFORMATS_H
#define BLITFORMATS_H

#include <bit>
#include <cstring>

#include "CPixelChannels.h"
#include "PixelFormatLayouts.h"

// What the blit routines know of the three display formats: how a pixel is
// stored, expanded into 8-bit channels (by the shared channel expansions),
// packed back, and which value is its colour key. Shared by the copy, line
// and fill routines so that every path rounds a colour the same way.

// Colour keys, fixed per source format: a source pixel equal to its key
// (under the mask) is not drawn by the keyed copies.
constexpr uint32_t kColorKeyR5G6B5 = 0xF81F;
constexpr uint32_t kColorKeyX14R6G6B6 = 0x3F03F;
constexpr uint32_t kColorKeyMaskX14R6G6B6 = 0x3FFFF;
constexpr uint32_t kColorKeyRGB24 = 0xFF00FF;  // x8r8g8b8 pixels and palette entries
constexpr uint32_t kColorKeyMaskRGB24 = 0xFFFFFF;

// Little-endian pixel words at any alignment. On a little-endian host the
// word copy is the same value, and it lets the compiler vectorise the row
// loops, which byte-by-byte assembly prevents.
inline uint32_t LoadPixel16(const uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
        uint16_t v;
        std::memcpy(&v, p, sizeof(v));
        return v;
    } else {
        return PixelChannels::Load16(p);
    }
}

inline uint32_t LoadPixel32(const uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
        uint32_t v;
        std::memcpy(&v, p, sizeof(v));
        return v;
    } else {
        return PixelChannels::Load32(p);
    }
}

inline void StorePixel16(uint8_t* p, uint32_t value) {
    if constexpr (std::endian::native == std::endian::little) {
        const uint16_t v = static_cast<uint16_t>(value);
        std::memcpy(p, &v, sizeof(v));
    } else {
        PixelChannels::Store16(p, value);
    }
}

inline void StorePixel32(uint8_t* p, uint32_t value) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, &value, sizeof(value));
    } else {
        PixelChannels::Store32(p, value);
    }
}

// Channels are 0 to 255; 16-bit fields keep a row of blends in 16-bit
// vector lanes.
struct BlitRgb {
    uint16_t r;
    uint16_t g;
    uint16_t b;
};

// c = (source × a + destination × (255 − a)) >> 8 per channel; a = 255
// leaves each channel one step short of the source. Both products and their
// sum fit in 16 bits (255 × 255 at most).
inline uint16_t BlendChannel(uint16_t source, uint16_t dest, uint16_t alpha) {
    const uint16_t sum = static_cast<uint16_t>(static_cast<uint16_t>(source * alpha) +
                                               static_cast<uint16_t>(dest * (255 - alpha)));
    return static_cast<uint16_t>(sum >> 8);
}

inline BlitRgb BlendRgb(BlitRgb source, BlitRgb dest, uint16_t alpha) {
    return {BlendChannel(source.r, dest.r, alpha), BlendChannel(source.g, dest.g, alpha),
            BlendChannel(source.b, dest.b, alpha)};
}

// Channels of an a8r8g8b8 value (palette entries, converted colours).
inline BlitRgb RgbOfWord(uint32_t argb) {
    return {static_cast<uint16_t>(argb >> 16 & 0xFFu), static_cast<uint16_t>(argb >> 8 & 0xFFu),
            static_cast<uint16_t>(argb & 0xFFu)};
}

// A packed format's colour channels, widened as its layout says.
inline BlitRgb ChannelsIn(const PixelLayout& layout, uint32_t value) {
    return {static_cast<uint16_t>(layout.Red(value)), static_cast<uint16_t>(layout.Green(value)),
            static_cast<uint16_t>(layout.Blue(value))};
}

// What a display format's blits take from its layout: its pixel size, the
// word they move and its channels.
template <uint32_t Format>
struct BlitLayout {
    static constexpr const PixelLayout& kLayout = pixel_layout::Of(Format);
    static constexpr uint32_t kBytes = static_cast<uint32_t>(kLayout.bytes);
    static_assert(kBytes == 2 || kBytes == 4, "the blits move 16- and 32-bit pixels");

    static uint32_t Load(const uint8_t* p) {
        if constexpr (kBytes == 2) return LoadPixel16(p);
        return LoadPixel32(p);
    }
    static void Store(uint8_t* p, uint32_t value) {
        if constexpr (kBytes == 2) {
            StorePixel16(p, value);
        } else {
            StorePixel32(p, value);
        }
    }
    static BlitRgb Channels(uint32_t value) { return ChannelsIn(kLayout, value); }
    static BlitRgb Read(const uint8_t* p) { return Channels(Load(p)); }
    // Bits the layout gives no channel come out 0.
    static uint32_t Pack(BlitRgb c) { return kLayout.Packed(0, c.r, c.g, c.b); }
};

struct BlitFormatR5G6B5 : BlitLayout<RSBFormat_R5G6B5> {
    static bool IsKey(uint32_t value) { return value == kColorKeyR5G6B5; }
};

// The upper 14 bits carry nothing: keys ignore them, plain copies keep them,
// packed colours clear them.
struct BlitFormatX14R6G6B6 : BlitLayout<RSBFormat_X14R6G6B6> {
    static bool IsKey(uint32_t value) { return (value & kColorKeyMaskX14R6G6B6) == kColorKeyX14R6G6B6; }
};

// Keys ignore the top byte; packed colours are written opaque.
struct BlitFormatX8R8G8B8 : BlitLayout<RSBFormat_X8R8G8B8> {
    static bool IsKey(uint32_t value) { return (value & kColorKeyMaskRGB24) == kColorKeyRGB24; }
    static uint32_t Pack(BlitRgb c) { return PixelChannels::PackPixel32(c.r, c.g, c.b); }
};

// A palette entry is keyed by its colour, whatever its top byte.
inline bool IsKeyedEntry(uint32_t entry) { return BlitFormatX8R8G8B8::IsKey(entry); }

#endif
