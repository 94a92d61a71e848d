#ifndef PIXELLAYOUT_H
#define PIXELLAYOUT_H

#include <cstdint>

// Where a packed pixel format keeps its channels: a little-endian word of
// `bytes` bytes, each channel a field of it. The colour conversions, the
// blits, the texture converters and the renderer's texel decoders read and
// write such pixels through the format's layout alone (pixel_layout, found
// by format id in pixel_layout::kByFormat of PixelFormatLayouts.h), so that
// a format is described in one place and every path agrees on it.
struct PixelLayout {
    // How a field narrower than 8 bits widens to a channel: its top bits
    // repeated below it (31 -> 255), or its low two bits (the 18-bit
    // format's rounding, 32 -> 128, which stored images were authored
    // against).
    enum class Widening : uint8_t { TopBits, LowBits };

    // `bits` bits from bit `shift`. A field of no bits is not stored: it
    // reads as 255 and nothing is written for it.
    struct Field {
        int32_t shift;
        int32_t bits;

        constexpr bool operator==(const Field&) const = default;
        constexpr bool Stored() const { return bits > 0; }
        constexpr uint32_t Ones() const { return (1u << bits) - 1u; }
        constexpr uint32_t Mask() const { return Ones() << shift; }
        // The field's top `count` bits, in place.
        constexpr uint32_t TopMask(int32_t count) const { return ((1u << count) - 1u) << (shift + bits - count); }
        // The field's bits, moved down to bit 0.
        constexpr uint32_t Of(uint32_t word) const { return word >> shift & Ones(); }
        // An 8-bit channel's (0..255) top bits in the field's place.
        constexpr uint32_t Placed(uint32_t channel) const { return Stored() ? (channel >> (8 - bits)) << shift : 0u; }
        // A 16-bit channel's (0..65535) top bits in the field's place.
        constexpr uint32_t PlacedWide(uint32_t channel) const {
            return Stored() ? (channel >> (16 - bits)) << shift : 0u;
        }
    };

    int32_t bytes;
    Field a, r, g, b;
    Widening widening = Widening::TopBits;

    constexpr bool operator==(const PixelLayout&) const = default;

    // The pixel's word, little-endian at any alignment. Without a loop:
    // the texel decoders read a texel through this for every pixel, and a
    // loop would weigh against their being inlined.
    uint32_t Load(const void* pixel) const {
        const uint8_t* p = static_cast<const uint8_t*>(pixel);
        uint32_t word = p[0];
        if (bytes >= 2) word |= uint32_t{p[1]} << 8;
        if (bytes >= 3) word |= uint32_t{p[2]} << 16;
        if (bytes >= 4) word |= uint32_t{p[3]} << 24;
        return word;
    }
    void Store(void* pixel, uint32_t word) const {
        uint8_t* p = static_cast<uint8_t*>(pixel);
        for (int32_t i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(word >> (8 * i));
    }

    // The field's channel in 8 bits, widened as the layout widens.
    constexpr uint32_t Widened(uint32_t word, Field f) const {
        if (!f.Stored()) return 0xFFu;
        const uint32_t c = f.Of(word);
        if (widening == Widening::LowBits) return c << (8 - f.bits) | (c & ((1u << (8 - f.bits)) - 1u));
        if (f.bits >= 8) return c;
        if (f.bits == 1) return c != 0 ? 0xFFu : 0u;
        if (f.bits >= 4) return c << (8 - f.bits) | c >> (2 * f.bits - 8);
        uint32_t wide = c << (8 - f.bits);
        for (int32_t filled = f.bits; filled < 8; filled *= 2) wide |= wide >> filled;
        return wide;
    }
    // Widened(word, from) narrowed to another layout's field `to`, in its
    // place (to.Placed). Where the widening repeats the field's top bits
    // once, the channel's top bits are the field and its own top bits
    // again: two masked moves of the word, rather than the widening's
    // shifts undone by the narrowing's, which the compiler does not fold.
    constexpr uint32_t Repacked(uint32_t word, Field from, Field to) const {
        const bool repeatsOnce = widening == Widening::TopBits && from.bits >= 2 && to.bits <= 2 * from.bits;
        if (!from.Stored() || !to.Stored() || !repeatsOnce) return to.Placed(Widened(word, from));
        const int32_t kept = from.bits < to.bits ? from.bits : to.bits;
        const int32_t repeated = to.bits - kept;
        const int32_t fromTop = from.shift + from.bits;
        const uint32_t field = Moved(word & from.TopMask(kept), to.shift + to.bits - fromTop);
        return repeated == 0 ? field : field | Moved(word & from.TopMask(repeated), to.shift + repeated - fromTop);
    }
    // Bits moved up by `by` places, or down for a negative `by`.
    static constexpr uint32_t Moved(uint32_t bits, int32_t by) { return by >= 0 ? bits << by : bits >> -by; }

    constexpr uint32_t Alpha(uint32_t word) const { return Widened(word, a); }
    constexpr uint32_t Red(uint32_t word) const { return Widened(word, r); }
    constexpr uint32_t Green(uint32_t word) const { return Widened(word, g); }
    constexpr uint32_t Blue(uint32_t word) const { return Widened(word, b); }

    // The field's channel in 8 bits with its low bits zero; a one-bit
    // field reads as all or nothing.
    static constexpr uint32_t Truncated(uint32_t word, Field f) {
        if (!f.Stored()) return 0xFFu;
        return f.bits == 1 ? (f.Of(word) != 0 ? 0xFFu : 0u) : f.Of(word) << (8 - f.bits);
    }

    // 8-bit channels packed, each keeping its top bits.
    constexpr uint32_t Packed(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue) const {
        return a.Placed(alpha) | r.Placed(red) | g.Placed(green) | b.Placed(blue);
    }
    // 16-bit channels (0..65535) packed likewise.
    constexpr uint32_t PackedWide(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue) const {
        return a.PlacedWide(alpha) | r.PlacedWide(red) | g.PlacedWide(green) | b.PlacedWide(blue);
    }
};

// The packed formats' layouts, each described here once.
namespace pixel_layout {
using Field = PixelLayout::Field;
inline constexpr Field kNone = {0, 0};

inline constexpr PixelLayout kR4G4B4 = {2, kNone, {8, 4}, {4, 4}, {0, 4}};
inline constexpr PixelLayout kR5G6B5 = {2, kNone, {11, 5}, {5, 6}, {0, 5}};
inline constexpr PixelLayout kA1R5G5B5 = {2, {15, 1}, {10, 5}, {5, 5}, {0, 5}};
inline constexpr PixelLayout kA4R4G4B4 = {2, {12, 4}, {8, 4}, {4, 4}, {0, 4}};
inline constexpr PixelLayout kX14R6G6B6 = {4, kNone, {12, 6}, {6, 6}, {0, 6}, PixelLayout::Widening::LowBits};
inline constexpr PixelLayout kR8G8B8 = {3, kNone, {16, 8}, {8, 8}, {0, 8}};
inline constexpr PixelLayout kX8R8G8B8 = {4, kNone, {16, 8}, {8, 8}, {0, 8}};
inline constexpr PixelLayout kA8R8G8B8 = {4, {24, 8}, {16, 8}, {8, 8}, {0, 8}};
inline constexpr PixelLayout kL8 = {1, kNone, {0, 8}, {0, 8}, {0, 8}};
// Orders with alpha lowest, of the texture converters and the image
// decoders; no buffer format has them.
inline constexpr PixelLayout kR5G5B5A1 = {2, {0, 1}, {11, 5}, {6, 5}, {1, 5}};
inline constexpr PixelLayout kR4G4B4A4 = {2, {0, 4}, {12, 4}, {8, 4}, {4, 4}};
}  // namespace pixel_layout

#endif
