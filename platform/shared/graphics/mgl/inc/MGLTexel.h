#ifndef MGLTEXEL_H
#define MGLTEXEL_H

#include <cstdint>

#include "CColor.h"
#include "CGenUtil.h"
#include "CPixelChannels.h"

// Texel addressing and decoding of the texture sampler. Levels are host
// addresses of mip levels, level L being max(width >> L, 1) x
// max(height >> L, 1) texels in rows without padding; u and v are 16.16
// texel coordinates of level 0. Every address these routines give lies
// inside its level, whatever the coordinates, for power-of-two sizes and
// any other size alike.

// Texture modes: 2 clamps to the edge, 3 mirrors, anything else repeats.
constexpr int32_t kTexModeRepeat = 1;
constexpr int32_t kTexModeClamp = 2;
constexpr int32_t kTexModeMirror = 3;
constexpr int32_t kTexelLevels = 10;

// The addressing steps, inline: the sampler takes them for every texel.
namespace texel_detail {

inline int32_t BoundedLevel(int32_t level) {
    return level < 0 ? 0 : (level >= kTexelLevels ? kTexelLevels - 1 : level);
}

inline int32_t Extent(int32_t size, int32_t level) {
    const int32_t extent = size >> level;
    return extent < 1 ? 1 : extent;
}

// Where a coordinate falls on a row (or column) of `size` texels.
inline int32_t Wrapped(int32_t wrap, int32_t t, int32_t size) {
    if (wrap == kTexModeClamp) return t < 0 ? 0 : (t > size - 1 ? size - 1 : t);
    const int32_t x = t & (size - 1);
    if (wrap == kTexModeMirror && (t & size) != 0) return (size - 1) - x;
    return x;
}

inline const uint8_t* At(const uint8_t* level, int32_t bpp, int32_t w, int32_t x, int32_t y) {
    return level + static_cast<int64_t>(bpp) * (x + static_cast<int64_t>(y) * w);
}

// The neighbour one step on from the texel `t` falls on, as the quad takes
// it: held at the clamped edge (and before the coordinate turns positive),
// turned back in a mirrored copy, or wrapped to the start.
inline int32_t NextTexel(int32_t wrap, int32_t t, int32_t size, int32_t coordinate) {
    const int32_t x = Wrapped(wrap, t, size);
    if (wrap == kTexModeClamp) return x != size - 1 && coordinate >= 0 ? x + 1 : x;
    const int32_t raw = t & (size - 1);
    if (wrap == kTexModeMirror) {
        if (raw == size - 1) return x;
        return (t & size) != 0 ? x - 1 : x + 1;
    }
    return x == size - 1 ? 0 : x + 1;
}

}  // namespace texel_detail

// Texels a level of the size has across (at least one).
inline int32_t LevelExtent(int32_t size, int32_t level) {
    return texel_detail::Extent(size, texel_detail::BoundedLevel(level));
}

// One level's addressing, held apart from the levels so that a loop over
// many texels of it can keep it in registers.
struct TexelLevel {
    const uint8_t* base;  // null when the level is
    int32_t bpp;
    int32_t wrap;
    int32_t w;
    int32_t h;
    int32_t level;

    // The texel at (u, v); the base must not be null. AtIn takes the wrap
    // mode as a constant, as QuadIn does.
    const uint8_t* At(int32_t u, int32_t v) const { return AtWrapped(wrap, u, v); }

    template <int32_t Wrap>
    const uint8_t* AtIn(int32_t u, int32_t v) const {
        return AtWrapped(Wrap, u, v);
    }

    const uint8_t* AtWrapped(int32_t mode, int32_t u, int32_t v) const {
        using texel_detail::Wrapped;
        return texel_detail::At(base, bpp, w, Wrapped(mode, u >> (level + 16), w), Wrapped(mode, v >> (level + 16), h));
    }

    // The 2 x 2 quad from the texel at (u, v), as TexelQuadAddress gives it;
    // the base must not be null. QuadIn takes the wrap mode as a constant
    // (kTexModeRepeat for every mode that repeats), for the sampler's loops.
    void Quad(int32_t u, int32_t v, const uint8_t* out[4]) const {
        if (wrap == kTexModeClamp) {
            QuadIn<kTexModeClamp>(u, v, out);
        } else if (wrap == kTexModeMirror) {
            QuadIn<kTexModeMirror>(u, v, out);
        } else {
            QuadIn<kTexModeRepeat>(u, v, out);
        }
    }

    template <int32_t Wrap>
    void QuadIn(int32_t u, int32_t v, const uint8_t* out[4]) const {
        const QuadOffsets q = QuadOffsetsIn<Wrap>(u, v);
        out[0] = base + q.at0;
        out[1] = base + q.at1;
        out[2] = base + q.at2;
        out[3] = base + q.at3;
    }

    // The quad's byte offsets from the base, in the order of the quad.
    struct QuadOffsets {
        int64_t at0, at1, at2, at3;
    };

    template <int32_t Wrap>
    QuadOffsets QuadOffsetsIn(int32_t u, int32_t v) const {
        using namespace texel_detail;
        const int32_t tu = u >> (level + 16);
        const int32_t tv = v >> (level + 16);
        const int64_t x0 = Wrapped(Wrap, tu, w);
        const int64_t x1 = NextTexel(Wrap, tu, w, u);
        const int64_t row0 = int64_t{Wrapped(Wrap, tv, h)} * w;
        const int64_t row1 = int64_t{NextTexel(Wrap, tv, h, v)} * w;
        return QuadOffsets{bpp * (x0 + row0), bpp * (x1 + row0), bpp * (x1 + row1), bpp * (x0 + row1)};
    }
};

// Level `level` (taken as 0 when negative, at most 9) of a texture.
inline TexelLevel LevelOf(const uint8_t* const levels[kTexelLevels], int32_t bpp, int32_t wrap, int32_t width,
                          int32_t height, int32_t level) {
    using namespace texel_detail;
    level = BoundedLevel(level);
    return TexelLevel{levels[level], bpp, wrap, Extent(width, level), Extent(height, level), level};
}

// The texel at (u, v) on level `level` (taken as 0 when negative, at most
// 9); null when that level is null.
inline const uint8_t* TexelAddress(const uint8_t* const levels[kTexelLevels], int32_t bpp, int32_t wrap,
                                   int32_t width, int32_t height, int32_t u, int32_t v, int32_t level) {
    const TexelLevel texels = LevelOf(levels, bpp, wrap, width, height, level);
    return texels.base != nullptr ? texels.At(u, v) : nullptr;
}

// The 2 x 2 quad from the texel at (u, v): 0 = (x, y), 1 = (x + 1, y),
// 2 = (x + 1, y + 1), 3 = (x, y + 1), each step wrapped, mirrored or held at
// the edge as the mode says. All four null when the level is null.
void TexelQuadAddress(const uint8_t* const levels[kTexelLevels], int32_t bpp, int32_t wrap, int32_t width,
                      int32_t height, int32_t u, int32_t v, int32_t level, const uint8_t* out[4]);

// Sets the colour from one texel. Palette formats look the index byte up in
// the palette (`paletteEntries` long; an index past it, or no palette,
// leaves the colour as it is); other formats decode through CColor, and a
// format it does not know leaves the colour as it is.
void DecodeTexel(const uint8_t* address, uint32_t format, RSBFormat_ARGB_fixed* colour, const uint8_t* palette,
                 int32_t paletteEntries);
void FetchTexel(const uint8_t* address, uint32_t format, RSBFormat_ARGB_fixed* colour, const uint8_t* palette,
                int32_t paletteEntries);
// Adds (channel x weight) >> 8 of the texel to each channel of the colour.
void AccumulateTexelWeighted(const uint8_t* address, int32_t weight, uint32_t format, RSBFormat_ARGB_fixed* colour,
                             const uint8_t* palette, int32_t paletteEntries);
// Adds the texel's channels to the colour.
void AccumulateTexel(const uint8_t* address, uint32_t format, RSBFormat_ARGB_fixed* colour, const uint8_t* palette,
                     int32_t paletteEntries);

// Entries of the palette a palette format indexes, 0 for other formats.
int32_t PaletteEntries(uint32_t format);

// Texel decoders for the sampler, one chosen per texture so that the format
// is looked at once and not at every texel. Each turns a texel into the
// colour DecodeTexel gives (8-bit channels times 257), through the channel
// getters CColor shares: the same colour by construction. AnyTexel is
// DecodeTexel itself, for the formats without a decoder of their own.
namespace texel_format {

// One texel's channels, 8 bits each.
struct Channels {
    uint32_t a, r, g, b;
};

constexpr uint32_t kOpaque = 255;
// A fixed colour's channel is the 8-bit channel times this.
constexpr uint32_t kChannelScale = 257;

// A texel's channels two to a 64-bit word, 32 bits each: alpha above
// green, red above blue.
struct ChannelLanes {
    uint64_t ag, rb;
};

// The decoders share the step from channels to the fixed colour.
template <class Format>
struct Decoder {
    static ChannelLanes Lanes(const uint8_t* p) {
        const Channels c = Format::Read(p);
        return {uint64_t{c.a} << 32 | c.g, uint64_t{c.r} << 32 | c.b};
    }

    void Decode(const uint8_t* p, RSBFormat_ARGB_fixed* c) const {
        const Channels t = Format::Read(p);
        *c = RSBFormat_ARGB_fixed{static_cast<int32_t>(t.a * kChannelScale), static_cast<int32_t>(t.r * kChannelScale),
                                  static_cast<int32_t>(t.g * kChannelScale), static_cast<int32_t>(t.b * kChannelScale)};
    }
};

struct R5G6B5 : Decoder<R5G6B5> {
    static Channels Read(const uint8_t* p) { return {kOpaque, GetRed_R5G6B5(p), GetGreen_R5G6B5(p), GetBlue_R5G6B5(p)}; }
    // Red and blue expanded side by side as each alone expands: a lane's
    // bits shifted into the other's fall outside its low byte.
    static ChannelLanes Lanes(const uint8_t* p) {
        constexpr uint64_t kLowBytes = 0x000000FF000000FFu;
        const uint64_t v = PixelChannels::Load16(p);
        const uint64_t rb = (v >> 11) << 32 | (v & 0x1Fu);
        return {uint64_t{kOpaque} << 32 | GetGreen_R5G6B5(p), ((rb << 3) | (rb >> 2)) & kLowBytes};
    }
};

struct A1R5G5B5 : Decoder<A1R5G5B5> {
    static Channels Read(const uint8_t* p) {
        const uint32_t alpha = (PixelChannels::Load16(p) & 0x8000u) != 0 ? kOpaque : 0u;
        return {alpha, GetRed_X1R5G5B5(p), GetGreen_X1R5G5B5(p), GetBlue_X1R5G5B5(p)};
    }
};

struct A4R4G4B4 : Decoder<A4R4G4B4> {
    static Channels Read(const uint8_t* p) {
        return {GetAlpha_A4R4G4B4(p), GetRed_A4R4G4B4(p), GetGreen_A4R4G4B4(p), GetBlue_A4R4G4B4(p)};
    }
};

struct X8R8G8B8 : Decoder<X8R8G8B8> {
    static Channels Read(const uint8_t* p) {
        return {kOpaque, GetRed_A8R8G8B8(p), GetGreen_A8R8G8B8(p), GetBlue_A8R8G8B8(p)};
    }
};

struct A8R8G8B8 : Decoder<A8R8G8B8> {
    static Channels Read(const uint8_t* p) {
        return {GetAlpha_Pixel32(p), GetRed_A8R8G8B8(p), GetGreen_A8R8G8B8(p), GetBlue_A8R8G8B8(p)};
    }
};

// Calls visit with the decoder of a format that has one of its own and
// answers true; answers false, calling nothing, for any other format.
template <class Visit>
inline bool VisitDecoder(uint32_t format, Visit&& visit) {
    switch (format) {
        case RSBFormat_R5G6B5: visit(R5G6B5{}); return true;
        case RSBFormat_A1R5G5B5: visit(A1R5G5B5{}); return true;
        case RSBFormat_A4R4G4B4: visit(A4R4G4B4{}); return true;
        case RSBFormat_X8R8G8B8: visit(X8R8G8B8{}); return true;
        case RSBFormat_A8R8G8B8: visit(A8R8G8B8{}); return true;
        default: return false;
    }
}

struct AnyTexel {
    uint32_t format;
    const uint8_t* palette;
    int32_t paletteEntries;

    void Decode(const uint8_t* p, RSBFormat_ARGB_fixed* c) const { DecodeTexel(p, format, c, palette, paletteEntries); }
};

// Adds (channel x weight) >> 8 of the texel to each channel of the colour.
// A decoder with channels of its own folds their scale into the weight:
// the same products, a multiplication less per channel.
template <class Texel>
inline void AddWeighted(const Texel& texel, const uint8_t* p, int32_t weight, RSBFormat_ARGB_fixed* colour) {
    if constexpr (requires { Texel::Read(p); }) {
        const Channels c = Texel::Read(p);
        const int32_t scaled = weight * static_cast<int32_t>(kChannelScale);
        colour->a += (static_cast<int32_t>(c.a) * scaled) >> 8;
        colour->r += (static_cast<int32_t>(c.r) * scaled) >> 8;
        colour->g += (static_cast<int32_t>(c.g) * scaled) >> 8;
        colour->b += (static_cast<int32_t>(c.b) * scaled) >> 8;
        return;
    }
    RSBFormat_ARGB_fixed t = {0, 0, 0, 0};
    texel.Decode(p, &t);
    colour->a += (t.a * weight) >> 8;
    colour->r += (t.r * weight) >> 8;
    colour->g += (t.g * weight) >> 8;
    colour->b += (t.b * weight) >> 8;
}

// Sums of weighted texels, two channels to a 64-bit word, 32 bits each:
// a weighted channel is below 2^25 (channel 255, scaled weight below 2^17)
// and a lane's sum of four below 2^19, so neither spills into the other
// lane, and one multiplication and one shift give what each channel alone
// gives (AddWeighted's products).
struct LaneSums {
    uint64_t ag = 0;
    uint64_t rb = 0;

    void Add(const ChannelLanes& c, int32_t weight) {
        constexpr uint64_t kShiftedLanes = 0x00FFFFFF00FFFFFFu;  // both lanes of a product >> 8
        const uint64_t scaled = static_cast<uint32_t>(weight) * kChannelScale;
        ag += (c.ag * scaled) >> 8 & kShiftedLanes;
        rb += (c.rb * scaled) >> 8 & kShiftedLanes;
    }
    void AddTo(RSBFormat_ARGB_fixed* colour) const {
        constexpr uint64_t kLow = 0xFFFFFFFFu;
        colour->a += static_cast<int32_t>(ag >> 32);
        colour->r += static_cast<int32_t>(rb >> 32);
        colour->g += static_cast<int32_t>(ag & kLow);
        colour->b += static_cast<int32_t>(rb & kLow);
    }
};

// A 2 x 2 quad's texels, decoded into lanes, each weighted as AddWeighted
// weights it, added to the colour.
inline void AddWeightedLanes(const ChannelLanes lanes[4], const int32_t weights[4], RSBFormat_ARGB_fixed* colour) {
    LaneSums sums;
    for (int32_t i = 0; i < 4; ++i) sums.Add(lanes[i], weights[i]);
    sums.AddTo(colour);
}

// The quad's texels, for a decoder with channels of its own, decoded and
// added as AddWeightedLanes adds them, each as it is read.
template <class Format>
inline void AddWeightedQuad(const uint8_t* const quad[4], const int32_t weights[4], RSBFormat_ARGB_fixed* colour) {
    LaneSums sums;
    for (int32_t i = 0; i < 4; ++i) sums.Add(Format::Lanes(quad[i]), weights[i]);
    sums.AddTo(colour);
}

}  // namespace texel_format

#endif
