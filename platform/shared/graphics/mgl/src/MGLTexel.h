#ifndef MGLTEXEL_H
#define MGLTEXEL_H

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "CColor.h"
#include "CGenUtil.h"
#include "CPixelChannels.h"
#include "MGLVectorUnit.h"
#include "PixelFormatLayouts.h"

#if MGL_VECTOR_UNIT(SSE2)
#include <emmintrin.h>
#endif

// Texel addressing and decoding of the texture sampler. Levels are host
// addresses of mip levels, level L being max(width >> L, 1) x
// max(height >> L, 1) texels in rows without padding; u and v are 16.16
// texel coordinates of level 0. Every address these routines give lies
// inside its level, whatever the coordinates, for power-of-two sizes and
// any other size alike.

// Wrap modes, with the values of the texture unit's texmode field: Clamp
// holds coordinates at the edge, Mirror repeats the texture mirrored, and
// any other value (Repeat, or one no mode has) repeats it.
enum class TextureWrap : int32_t { Repeat = 1, Clamp = 2, Mirror = 3 };
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

// Where a coordinate falls on a row (or column) of last + 1 texels.
inline int32_t WrappedToLast(TextureWrap wrap, int32_t t, int32_t last) {
    if (wrap == TextureWrap::Clamp) return t < 0 ? 0 : (t > last ? last : t);
    const int32_t x = t & last;
    if (wrap == TextureWrap::Mirror && (t & (last + 1)) != 0) return last - x;
    return x;
}

// Where a coordinate falls on a row (or column) of `size` texels.
inline int32_t Wrapped(TextureWrap wrap, int32_t t, int32_t size) { return WrappedToLast(wrap, t, size - 1); }

inline const uint8_t* At(const uint8_t* level, int32_t bpp, int32_t w, int32_t x, int32_t y) {
    return level + static_cast<int64_t>(bpp) * (x + static_cast<int64_t>(y) * w);
}

// The neighbour one step on from the texel `t` falls on, as the quad takes
// it: held at the clamped edge (and before the coordinate turns positive),
// turned back in a mirrored copy, or wrapped to the start.
inline int32_t NextTexel(TextureWrap wrap, int32_t t, int32_t size, int32_t coordinate) {
    const int32_t x = Wrapped(wrap, t, size);
    if (wrap == TextureWrap::Clamp) return x != size - 1 && coordinate >= 0 ? x + 1 : x;
    const int32_t raw = t & (size - 1);
    if (wrap == TextureWrap::Mirror) {
        if (raw == size - 1) return x;
        return (t & size) != 0 ? x - 1 : x + 1;
    }
    // A conditional move rather than a branch: on the small mipmap levels
    // a minified texture reads, the wrap past the last texel comes too
    // often for branch prediction.
    const int32_t next = x + 1;
    return __builtin_expect_with_probability(next == size, 1, 0.5) ? 0 : next;
}

}  // namespace texel_detail

// Texels a level of the size has across (at least one).
inline int32_t LevelExtent(int32_t size, int32_t level) {
    return texel_detail::Extent(size, texel_detail::BoundedLevel(level));
}

// The bytes a texel of the format is read as (a palette index at least one).
inline int32_t TexelBytes(uint32_t format) {
    const int32_t bytes = static_cast<int32_t>(CColor::BytesPerPixel(format));
    return bytes > 0 ? bytes : 1;
}

// One level's description, held apart from the levels so that a loop over
// many texels of it can keep it in registers. Every path that reads the
// level reads it through this alone: a texel's address from base, bpp (the
// step from texel to texel, which need not be the format's size), w and h;
// its bytes as the format has them; and nothing outside [base, base +
// bytes), which the sampler found mapped when it made the description.
// No field has a default: the sampler holds ten of these, and is made for
// every fill.
struct TexelLevel {
    const uint8_t* base;  // null when the level cannot be read
    int32_t bpp;
    TextureWrap wrap;
    int32_t w;
    int32_t h;
    int32_t level;
    uint32_t format;
    uint32_t bytes;  // from base: the last texel's address, and its TexelBytes
    uint32_t guest;  // base's guest address

    // Whether the level is laid out as the format's texels side by side,
    // all w x h of them within its bytes: what a routine that steps through
    // it by the format's size needs.
    bool Packed(int32_t formatBytes) const {
        return base != nullptr && formatBytes > 0 && bpp == formatBytes && int64_t{w} * h <= bytes / formatBytes;
    }

    // The texel at (u, v); the base must not be null. AtIn takes the wrap
    // mode as a constant, as QuadIn does.
    const uint8_t* At(int32_t u, int32_t v) const { return AtWrapped(wrap, u, v); }

    template <TextureWrap Wrap>
    const uint8_t* AtIn(int32_t u, int32_t v) const {
        return AtWrapped(Wrap, u, v);
    }

    const uint8_t* AtWrapped(TextureWrap mode, int32_t u, int32_t v) const {
        using texel_detail::Wrapped;
        return texel_detail::At(base, bpp, w, Wrapped(mode, u >> (level + 16), w), Wrapped(mode, v >> (level + 16), h));
    }

    // The 2 x 2 quad from the texel at (u, v), as TexelQuadAddress gives it;
    // the base must not be null. QuadIn takes the wrap mode as a constant
    // (TextureWrap::Repeat for every mode that repeats), for the sampler's loops.
    void Quad(int32_t u, int32_t v, const uint8_t* out[4]) const {
        const QuadOffsets q = QuadOffsetsAt(u, v);
        out[0] = base + q.at0;
        out[1] = base + q.at1;
        out[2] = base + q.at2;
        out[3] = base + q.at3;
    }

    template <TextureWrap Wrap>
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

    // QuadOffsetsIn for the level's own wrap mode. The offsets need no
    // base: they serve for a level not yet looked up.
    QuadOffsets QuadOffsetsAt(int32_t u, int32_t v) const {
        if (wrap == TextureWrap::Clamp) return QuadOffsetsIn<TextureWrap::Clamp>(u, v);
        if (wrap == TextureWrap::Mirror) return QuadOffsetsIn<TextureWrap::Mirror>(u, v);
        return QuadOffsetsIn<TextureWrap::Repeat>(u, v);
    }

    template <TextureWrap Wrap>
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

// A level's addressing taken apart once, for a loop that reads many
// texels of one level in turn: the addresses TexelLevel::AtIn gives, the
// coordinates' shift and the bytes of a texel row worked out ahead.
struct HeldTexelLevel {
    const uint8_t* base;  // null when the level cannot be read
    int32_t level;
    int32_t shift;
    int32_t lastColumn;
    int32_t lastRow;
    int64_t bpp;
    int64_t rowBytes;

    explicit HeldTexelLevel(const TexelLevel& texels)
        : base(texels.base),
          level(texels.level),
          shift(texels.level + 16),
          lastColumn(texels.w - 1),
          lastRow(texels.h - 1),
          bpp(texels.bpp),
          rowBytes(int64_t{texels.bpp} * texels.w) {}

    // Wrapped coordinates are within 0..w - 1 and 0..h - 1, so that the
    // row's bytes taken ahead give the same sum as TexelLevel's product.
    template <TextureWrap Wrap>
    const uint8_t* AtIn(int32_t u, int32_t v) const {
        using texel_detail::WrappedToLast;
        return base + bpp * WrappedToLast(Wrap, u >> shift, lastColumn) +
               rowBytes * WrappedToLast(Wrap, v >> shift, lastRow);
    }
};

// Level `level` (taken as 0 when negative, at most 9) of a texture.
inline TexelLevel LevelOf(const uint8_t* const levels[kTexelLevels], int32_t bpp, TextureWrap wrap, int32_t width,
                          int32_t height, int32_t level) {
    using namespace texel_detail;
    level = BoundedLevel(level);
    return TexelLevel{.base = levels[level],
                      .bpp = bpp,
                      .wrap = wrap,
                      .w = Extent(width, level),
                      .h = Extent(height, level),
                      .level = level,
                      .format = 0,
                      .bytes = 0,
                      .guest = 0};
}

// The texel at (u, v) on level `level` (taken as 0 when negative, at most
// 9); null when that level is null.
inline const uint8_t* TexelAddress(const uint8_t* const levels[kTexelLevels], int32_t bpp, TextureWrap wrap,
                                   int32_t width, int32_t height, int32_t u, int32_t v, int32_t level) {
    const TexelLevel texels = LevelOf(levels, bpp, wrap, width, height, level);
    return texels.base != nullptr ? texels.At(u, v) : nullptr;
}

// The 2 x 2 quad from the texel at (u, v): 0 = (x, y), 1 = (x + 1, y),
// 2 = (x + 1, y + 1), 3 = (x, y + 1), each step wrapped, mirrored or held at
// the edge as the mode says. All four null when the level is null.
void TexelQuadAddress(const uint8_t* const levels[kTexelLevels], int32_t bpp, TextureWrap wrap, int32_t width,
                      int32_t height, int32_t u, int32_t v, int32_t level, const uint8_t* out[4]);

// Sets the colour from one texel. Palette formats look the index byte up in
// the palette (`paletteEntries` long; an index past it, or no palette,
// leaves the colour as it is); other formats decode through CColor, and a
// format it does not know leaves the colour as it is.
void DecodeTexel(const uint8_t* address, uint32_t format, RSBFormat_ARGB_fixed* colour, const uint8_t* palette,
                 int32_t paletteEntries);
// Adds (channel x weight) >> 8 of the texel to each channel of the colour.
void AccumulateTexelWeighted(const uint8_t* address, int32_t weight, uint32_t format, RSBFormat_ARGB_fixed* colour,
                             const uint8_t* palette, int32_t paletteEntries);

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

// A decoder is its texture format (kFormat) and that format's layout
// (pixel_layout::kByFormat): its texel size, where each channel lies and
// how it widens; the reads here, the sampler's vector sums and the
// eight-at-a-time passes all derive from those two. The filters read a format through its
// decoder unless it says otherwise (kFiltered).
template <uint32_t FormatId>
struct Decoder {
    static constexpr uint32_t kFormat = FormatId;
    static constexpr const PixelLayout& kLayout = pixel_layout::Of(FormatId);
    static constexpr int32_t kBytes = kLayout.bytes;
    static constexpr bool kFiltered = true;
    // Whether a texel stored to an r5g6b5 target is packed as it is read
    // (PixelR5G6B5) rather than at the store.
    static constexpr bool kRepacked = false;

    static Channels Read(const uint8_t* p) {
        const uint32_t word = kLayout.Load(p);
        return {kLayout.Alpha(word), kLayout.Red(word), kLayout.Green(word), kLayout.Blue(word)};
    }

    // Two fields of one width widened side by side, as each alone widens:
    // a lane's bits shifted into the other's fall outside its low byte.
    static uint64_t PairWidened(uint32_t word, PixelLayout::Field high, PixelLayout::Field low) {
        if (high.bits != low.bits || !high.Stored() || kLayout.widening != PixelLayout::Widening::TopBits) {
            return uint64_t{kLayout.Widened(word, high)} << 32 | kLayout.Widened(word, low);
        }
        constexpr uint64_t kLowBytes = 0x000000FF000000FFu;
        uint64_t wide = (uint64_t{high.Of(word)} << 32 | low.Of(word)) << (8 - high.bits);
        for (int32_t filled = high.bits; filled < 8; filled *= 2) wide |= wide >> filled;
        return wide & kLowBytes;
    }

    static ChannelLanes Lanes(const uint8_t* p) {
        const uint32_t word = kLayout.Load(p);
        return {PairWidened(word, kLayout.a, kLayout.g), PairWidened(word, kLayout.r, kLayout.b)};
    }

    // Read's channels as an r5g6b5 pixel keeps of them, straight from the
    // fields.
    static uint32_t PixelR5G6B5(const uint8_t* p) {
        constexpr const PixelLayout& kStored = pixel_layout::kR5G6B5;
        const uint32_t word = kLayout.Load(p);
        return kLayout.Repacked(word, kLayout.r, kStored.r) | kLayout.Repacked(word, kLayout.g, kStored.g) |
               kLayout.Repacked(word, kLayout.b, kStored.b);
    }

    void Decode(const uint8_t* p, RSBFormat_ARGB_fixed* c) const {
        const Channels t = Read(p);
        *c = RSBFormat_ARGB_fixed{static_cast<int32_t>(t.a * kChannelScale), static_cast<int32_t>(t.r * kChannelScale),
                                  static_cast<int32_t>(t.g * kChannelScale), static_cast<int32_t>(t.b * kChannelScale)};
    }
};

struct R5G6B5 : Decoder<RSBFormat_R5G6B5> {};
struct A1R5G5B5 : Decoder<RSBFormat_A1R5G5B5> {
    static constexpr bool kRepacked = true;
};
struct A4R4G4B4 : Decoder<RSBFormat_A4R4G4B4> {
    static constexpr bool kRepacked = true;
};
struct X8R8G8B8 : Decoder<RSBFormat_X8R8G8B8> {};
struct A8R8G8B8 : Decoder<RSBFormat_A8R8G8B8> {};

// A luminance texel is opaque grey: the colour conversions know no such
// format, and a texel they left at alpha 0 would fail every alpha test.
// Only the nearest texel rules and DecodeTexel read it through this
// decoder; the filters take it through DecodeTexel.
struct L8 : Decoder<RSBFormat_L8> {
    static constexpr bool kFiltered = false;
};

// Whether the format's texels are 32-bit words of bytes b, g, r and a (or
// no alpha) from the lowest, which the vector units read whole.
template <class Format>
constexpr bool kWordTexels = Format::kLayout == pixel_layout::kA8R8G8B8 || Format::kLayout == pixel_layout::kX8R8G8B8;

// Whether a field of a 16-bit texel widens within a 16-bit vector lane:
// not stored (255), one bit (all or nothing), or 4 to 8 bits, whose top
// bits repeated once fill the byte.
constexpr bool LaneWidens(PixelLayout::Field f) { return f.bits <= 1 || (f.bits >= 4 && f.bits <= 8); }

// Whether the format's texels are 16 bits whose fields all widen so.
template <class Format>
constexpr bool kHalfTexels = Format::kBytes == 2 && Format::kLayout.widening == PixelLayout::Widening::TopBits &&
                             LaneWidens(Format::kLayout.a) && LaneWidens(Format::kLayout.r) &&
                             LaneWidens(Format::kLayout.g) && LaneWidens(Format::kLayout.b);

// Whether the eight-at-a-time passes (MGLPixelTexels) read the format's
// texels: its layout alone decides. They leave a format of another layout
// to the sampler.
template <class Format>
constexpr bool kEightAtATime = kHalfTexels<Format> || kWordTexels<Format>;

template <class... Formats>
struct DecoderList {};

// The texture formats with a decoder of their own, listed here alone: the
// spans' row routines are chosen and built for each (with a unit of their
// own, span/MGLDecoderRoutines_<format>.cpp), the sampler's for those the
// filters read, and the tests take their formats from here.
using Decoders = DecoderList<R5G6B5, A1R5G5B5, A4R4G4B4, X8R8G8B8, A8R8G8B8, L8>;

template <class... Formats>
constexpr auto FilteredFormatsOf(DecoderList<Formats...>) {
    std::array<uint32_t, (size_t{Formats::kFiltered} + ...)> formats = {};
    size_t kept = 0;
    ((Formats::kFiltered ? void(formats[kept++] = Formats::kFormat) : void()), ...);
    return formats;
}

// The formats of the list's decoders the filters read.
inline constexpr auto kFilteredFormats = FilteredFormatsOf(Decoders{});

template <bool FilteredOnly, class Visit, class... Formats>
inline bool VisitIn(DecoderList<Formats...>, uint32_t format, Visit& visit) {
    const auto visitOne = [&](auto decoder) {
        using Format = decltype(decoder);
        if constexpr (FilteredOnly && !Format::kFiltered) {
            return false;
        } else {
            if (format != Format::kFormat) return false;
            visit(decoder);
            return true;
        }
    };
    return (visitOne(Formats{}) || ...);
}

// Calls visit with the decoder of a format the filters read through one of
// its own and answers true; answers false, calling nothing, for any other
// format.
template <class Visit>
inline bool VisitDecoder(uint32_t format, Visit&& visit) {
    return VisitIn<true>(Decoders{}, format, visit);
}

// The same for any format with a decoder of its own.
template <class Visit>
inline bool VisitAnyDecoder(uint32_t format, Visit&& visit) {
    return VisitIn<false>(Decoders{}, format, visit);
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

// A filtered quad's weights, kept as what they are made of: the fractions
// (0..255) across and down, a scale (256 for one level; the level's share
// of 255 for a blend of two) and a raise. With X the fraction across for
// texels 1 and 2 and 255 less it for 0 and 3, and Y likewise down for 2
// and 3, a weight is ((scale x X) x Y) >> 16, plus the raise.
struct QuadWeights {
    static constexpr int32_t kOneLevel = 256;

    int32_t fx;
    int32_t fy;
    int32_t scale = kOneLevel;
    int32_t raise = 0;

    void Values(int32_t out[4]) const {
        constexpr int32_t kFull = 255;
        out[0] = (((scale * (kFull - fx)) * (kFull - fy)) >> 16) + raise;
        out[1] = (((scale * fx) * (kFull - fy)) >> 16) + raise;
        out[2] = (((scale * fx) * fy) >> 16) + raise;
        out[3] = (((scale * (kFull - fx)) * fy) >> 16) + raise;
    }
};

// A fixed colour (channels 0..65535) as an r5g6b5 pixel.
inline uint32_t PixelR5G6B5(const RSBFormat_ARGB_fixed& c) {
    return pixel_layout::kR5G6B5.PackedWide(0, static_cast<uint32_t>(c.r), static_cast<uint32_t>(c.g),
                                            static_cast<uint32_t>(c.b));
}

#if MGL_VECTOR_UNIT(SSE2)
// Two texels' channels in one vector, 16 bits each in the colour's order
// (a, r, g, b), the first texel in the low half, each channel held times
// 257 (the 8-bit channel in both bytes of its lane, as the fixed colour
// holds it), and the steps that weigh them.
namespace texel_pair {

constexpr int16_t kFull = 255;

inline int16_t Lane(uint32_t value) { return static_cast<int16_t>(value); }

constexpr uint32_t kHighByte = 0xFF00;

// Both alpha lanes, clear before, set to `alpha`.
inline __m128i WithAlpha(__m128i pair, uint32_t alpha) {
    const int16_t lane = Lane(alpha);
    return _mm_or_si128(pair, _mm_set_epi16(0, 0, 0, lane, 0, 0, 0, lane));
}

// Both alpha lanes, each holding a channel, set to 255.
inline __m128i Opaque(__m128i pair) { return WithAlpha(pair, kOpaque * kChannelScale); }

// Lanes holding a channel in their high byte, the low byte clear, with
// the channel repeated below it.
inline __m128i BothBytes(__m128i high) { return _mm_or_si128(high, _mm_srli_epi16(high, 8)); }

// A field that widens by one repetition of its top bits (4 to 7 bits).
constexpr bool RepeatsOnce(PixelLayout::Field f) { return f.bits >= 4 && f.bits < 8; }

// Whether the format's texels are decoded in the lanes themselves
// (LaneDecoded): 16-bit opaque texels whose colour fields each widen by one
// repetition of their top bits.
template <class Format>
constexpr bool kLaneDecoded = Format::kBytes == 2 && !Format::kLayout.a.Stored() &&
                              Format::kLayout.widening == PixelLayout::Widening::TopBits &&
                              RepeatsOnce(Format::kLayout.r) && RepeatsOnce(Format::kLayout.g) &&
                              RepeatsOnce(Format::kLayout.b);

// The lane word for each colour field, a, r, g, b from the lowest, in
// both halves.
template <class Field>
inline __m128i ColourLanes(Field lane, PixelLayout::Field r, PixelLayout::Field g, PixelLayout::Field b) {
    return _mm_set_epi16(lane(b), lane(g), lane(r), 0, lane(b), lane(g), lane(r), 0);
}

// Two texels of a lane-decoded format, each in all four lanes of its half,
// decoded with their channels held times 256 alone (the low bytes clear):
// each field moved to the top of its lane, f, and its top bits repeated
// below it within the high byte as the layout widens it:
// (f | f >> bits) & 0xFF00.
template <class Format>
inline __m128i LaneDecoded(__m128i texels) {
    constexpr PixelLayout kLayout = Format::kLayout;
    constexpr int32_t kLaneBits = 16;
    const auto toTop = [](PixelLayout::Field f) { return Lane(1u << (kLaneBits - f.shift - f.bits)); };
    const auto field = [](PixelLayout::Field f) { return Lane(f.Ones() << (kLaneBits - f.bits)); };
    const auto repeat = [](PixelLayout::Field f) { return Lane(1u << (kLaneBits - f.bits)); };
    const __m128i top = _mm_and_si128(_mm_mullo_epi16(texels, ColourLanes(toTop, kLayout.r, kLayout.g, kLayout.b)),
                                      ColourLanes(field, kLayout.r, kLayout.g, kLayout.b));
    const __m128i repeated =
        _mm_or_si128(top, _mm_mulhi_epu16(top, ColourLanes(repeat, kLayout.r, kLayout.g, kLayout.b)));
    return WithAlpha(_mm_and_si128(repeated, _mm_set1_epi16(Lane(kHighByte))), kHighByte);
}

// Channels times 256, as LaneDecoded gives them: the two texels gathered
// in one word, then each spread to its half, as LaneQuad spreads its pairs.
template <class Format>
inline __m128i LanePair(const uint8_t* first, const uint8_t* second) {
    const uint32_t texels = PixelChannels::Load16(first) | PixelChannels::Load16(second) << 16;
    const __m128i gathered = _mm_cvtsi32_si128(static_cast<int32_t>(texels));
    const __m128i doubled = _mm_unpacklo_epi16(gathered, gathered);
    return LaneDecoded<Format>(_mm_shuffle_epi32(doubled, _MM_SHUFFLE(1, 1, 0, 0)));
}

// A quad's four lane-decoded texels gathered in one vector, then spread to
// a half each of the two pairs, their channels times 256 as LaneDecoded
// leaves them.
template <class Format>
inline void LaneQuadHigh(const uint8_t* const quad[4], __m128i* near, __m128i* far) {
    const uint32_t near16 = PixelChannels::Load16(quad[0]) | PixelChannels::Load16(quad[1]) << 16;
    const uint32_t far16 = PixelChannels::Load16(quad[2]) | PixelChannels::Load16(quad[3]) << 16;
    const __m128i texels = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int32_t>(near16)),
                                              _mm_cvtsi32_si128(static_cast<int32_t>(far16)));
    const __m128i doubled = _mm_unpacklo_epi16(texels, texels);
    *near = LaneDecoded<Format>(_mm_shuffle_epi32(doubled, _MM_SHUFFLE(1, 1, 0, 0)));
    *far = LaneDecoded<Format>(_mm_shuffle_epi32(doubled, _MM_SHUFFLE(3, 3, 2, 2)));
}

// The same with the channels times 257, as the pairs are kept.
template <class Format>
inline void LaneQuad(const uint8_t* const quad[4], __m128i* near, __m128i* far) {
    LaneQuadHigh<Format>(quad, near, far);
    *near = BothBytes(*near);
    *far = BothBytes(*far);
}

// Bytes b, g, r, a in memory, turned to a, r, g, b, each byte doubled to
// fill its lane.
inline __m128i Pixel32Pair(const uint8_t* first, const uint8_t* second) {
    constexpr int kReversed = _MM_SHUFFLE(0, 1, 2, 3);
    const __m128i words = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int32_t>(PixelChannels::Load32(first))),
                                             _mm_cvtsi32_si128(static_cast<int32_t>(PixelChannels::Load32(second))));
    const __m128i bgra = _mm_unpacklo_epi8(words, words);
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(bgra, kReversed), kReversed);
}

// The 32-bit formats of bytes b, g, r, a decoded in the vector, the others
// channel by channel.
template <class Format>
inline __m128i PairOf(const uint8_t* first, const uint8_t* second) {
    if constexpr (kWordTexels<Format> && Format::kLayout.a.Stored()) {
        return Pixel32Pair(first, second);
    } else if constexpr (kWordTexels<Format>) {
        return Opaque(Pixel32Pair(first, second));
    } else {
        const Channels a = Format::Read(first);
        const Channels b = Format::Read(second);
        const __m128i channels =
            _mm_set_epi16(Lane(b.b), Lane(b.g), Lane(b.r), Lane(b.a), Lane(a.b), Lane(a.g), Lane(a.r), Lane(a.a));
        return _mm_mullo_epi16(channels, _mm_set1_epi16(Lane(kChannelScale)));
    }
}

// Weights of at most 255 moved to their lanes' high byte.
inline __m128i Scaled(__m128i weights) { return _mm_slli_epi16(weights, 8); }
// Weights of at most 255 times the channel scale, 257: within 16 bits,
// for channels held times 256.
inline __m128i ChannelScaled(__m128i weights) {
    return _mm_mullo_epi16(weights, _mm_set1_epi16(Lane(kChannelScale)));
}

// Both texels' channels weighted as AddWeighted weighs them,
// (c x w x 257) >> 8: the high half of (c x 257) x (w x 256) (Scaled
// weights), or of (c x 256) x (w x 257) (ChannelScaled ones). That is
// p + (p >> 8) for p = c x w, within 16 bits.
inline __m128i Weighted(__m128i pair, __m128i scaledWeights) { return _mm_mulhi_epu16(pair, scaledWeights); }

// The two halves' weighted channels summed in the low half, for weights
// that add up to at most 255 (so that the sums stay below 2^16), and
// added to the colour.
inline __m128i SumOfHalves(__m128i weighted) {
    constexpr int kOtherHalf = _MM_SHUFFLE(1, 0, 3, 2);
    return _mm_add_epi16(weighted, _mm_shuffle_epi32(weighted, kOtherHalf));
}

inline void AddHalves(__m128i weighted, RSBFormat_ARGB_fixed* colour) {
    const __m128i channels = SumOfHalves(weighted);
    __m128i sum;
    std::memcpy(&sum, colour, sizeof sum);
    sum = _mm_add_epi32(sum, _mm_unpacklo_epi16(channels, _mm_setzero_si128()));
    std::memcpy(colour, &sum, sizeof sum);
}

// The first texel's lanes, for weights made as (first, second) from one.
inline __m128i FirstTexel() { return _mm_set_epi16(0, 0, 0, 0, kFull, kFull, kFull, kFull); }
inline __m128i SecondTexel() { return _mm_set_epi16(kFull, kFull, kFull, kFull, 0, 0, 0, 0); }

}  // namespace texel_pair

// A 2 x 2 quad's texels, decoded once and then weighted at each sample as
// AddWeighted weights each texel.
class QuadTexels {
public:
    template <class Format>
    void Read(const uint8_t* const quad[4]) {
        if constexpr (texel_pair::kLaneDecoded<Format>) {
            texel_pair::LaneQuad<Format>(quad, &m_near, &m_far);
        } else {
            m_near = texel_pair::PairOf<Format>(quad[0], quad[1]);
            m_far = texel_pair::PairOf<Format>(quad[2], quad[3]);
        }
    }
    // The weights made in the vectors, 255 - f being f ^ 255 for a fraction
    // of 8 bits: texels 0 and 1 take (255 - fx, fx) and 255 - fy, 2 and 3
    // (fx, 255 - fx) and fy. The scale times a fraction fits 16 bits, and
    // the high half of its product with the other fraction is the >> 16;
    // one level's weights, (256 X x Y) >> 16, are (X x Y) >> 8, and
    // shifted up again to weigh, X x Y with its low byte cleared.
    void AddWeighted(const QuadWeights& weights, RSBFormat_ARGB_fixed* colour) const {
        texel_pair::AddHalves(Weighed(weights), colour);
    }
    // The weighted texels in 16-bit lanes, texels 0 and 2 in the low half
    // and 1 and 3 in the high one, the halves not yet added. A quad's
    // weights add up to at most 255 (the fractions' products keep at most
    // scale / 256 of 255 x 255, and a raise adds back no more than its scale
    // gives up): its four texels are added in 16 bits, and so are two quads
    // whose scales add up to 255.
    __m128i Weighed(const QuadWeights& weights) const {
        using namespace texel_pair;
        const __m128i fx = _mm_set1_epi16(Lane(weights.fx));
        const __m128i fy = _mm_set1_epi16(Lane(weights.fy));
        const __m128i nearX = _mm_xor_si128(fx, FirstTexel());
        const __m128i farX = _mm_xor_si128(fx, SecondTexel());
        const __m128i nearY = _mm_xor_si128(fy, _mm_set1_epi16(kFull));
        if (weights.scale == QuadWeights::kOneLevel && weights.raise == 0) {
            const __m128i highByte = _mm_set1_epi16(Lane(kHighByte));
            return WeighedBy(_mm_and_si128(_mm_mullo_epi16(nearX, nearY), highByte),
                             _mm_and_si128(_mm_mullo_epi16(farX, fy), highByte));
        }
        const __m128i scale = _mm_set1_epi16(Lane(weights.scale));
        const __m128i raise = _mm_set1_epi16(Lane(weights.raise));
        const __m128i near = _mm_mulhi_epu16(_mm_mullo_epi16(nearX, scale), nearY);
        const __m128i far = _mm_mulhi_epu16(_mm_mullo_epi16(farX, scale), fy);
        return WeighedBy(Scaled(_mm_add_epi16(near, raise)), Scaled(_mm_add_epi16(far, raise)));
    }

    // Weighed, for the quad's four weights made already, each in the high
    // byte of a 16-bit lane of one word, texel 0 lowest.
    __m128i Weighed(uint64_t laneWeights) const { return WeighedByLanes(m_near, m_far, laneWeights); }

    // Read and Weighed at once, for a quad read once and not kept:
    // lane-decoded texels are left with their channels times 256, and their weights
    // raised to times 257 instead, the same products a step sooner
    // (Weighted).
    template <class Format>
    static __m128i ReadWeighed(const uint8_t* const quad[4], uint64_t laneWeights) {
        if constexpr (texel_pair::kLaneDecoded<Format>) {
            __m128i near, far;
            texel_pair::LaneQuadHigh<Format>(quad, &near, &far);
            return WeighedByLanes(near, far, laneWeights | laneWeights >> 8);
        } else {
            QuadTexels texels;
            texels.Read<Format>(quad);
            return texels.Weighed(laneWeights);
        }
    }

private:
    static __m128i WeighedByLanes(__m128i near, __m128i far, uint64_t laneWeights) {
        const __m128i weights = _mm_cvtsi64_si128(static_cast<int64_t>(laneWeights));
        const __m128i doubled = _mm_unpacklo_epi16(weights, weights);
        return WeighedPairs(near, far, _mm_shuffle_epi32(doubled, _MM_SHUFFLE(1, 1, 0, 0)),
                            _mm_shuffle_epi32(doubled, _MM_SHUFFLE(3, 3, 2, 2)));
    }
    static __m128i WeighedPairs(__m128i near, __m128i far, __m128i nearWeights, __m128i farWeights) {
        using texel_pair::Weighted;
        return _mm_add_epi16(Weighted(near, nearWeights), Weighted(far, farWeights));
    }
    __m128i WeighedBy(__m128i nearWeights, __m128i farWeights) const {
        return WeighedPairs(m_near, m_far, nearWeights, farWeights);
    }

    __m128i m_near = _mm_setzero_si128();  // texels 0 and 1
    __m128i m_far = _mm_setzero_si128();   // texels 2 and 3
};

// Weighted texels' channels summed, kept in the vector the sums leave
// them in, 16 bits each: a span storing a filtered colour takes its alpha
// test and its pixel from there, without the fixed colour between.
class WeightedTexels {
public:
    WeightedTexels() = default;
    // Channels a, r, g, b in the vector's four low 16-bit lanes.
    static WeightedTexels OfLanes(__m128i channels) { return WeightedTexels(channels); }
    // The same lanes in one word, a lowest.
    static WeightedTexels OfLaneWord(uint64_t lanes) {
        WeightedTexels texels;
        texels.m_lanes = lanes;
        return texels;
    }
    // A colour the sampler summed in a fixed colour.
    static WeightedTexels OfColour(const RSBFormat_ARGB_fixed& c) {
        using texel_pair::Lane;
        return WeightedTexels(_mm_set_epi16(0, 0, 0, 0, Lane(static_cast<uint32_t>(c.b)), Lane(static_cast<uint32_t>(c.g)),
                                            Lane(static_cast<uint32_t>(c.r)), Lane(static_cast<uint32_t>(c.a))));
    }
    // Two texels of the format weighted 255 - share and share (0..255), as
    // AddWeighted weighs each. A lane-decoded pair is weighed with its
    // channels times 256: a pair decoded for one sample costs less so than its
    // channels' bytes repeated.
    template <class Format>
    static WeightedTexels OfPair(const uint8_t* first, const uint8_t* second, int32_t share) {
        using namespace texel_pair;
        const __m128i weights = _mm_xor_si128(_mm_set1_epi16(Lane(static_cast<uint32_t>(share))), FirstTexel());
        if constexpr (kLaneDecoded<Format>) {
            return WeightedTexels(SumOfHalves(Weighted(LanePair<Format>(first, second), ChannelScaled(weights))));
        } else {
            return WeightedTexels(SumOfHalves(Weighted(PairOf<Format>(first, second), Scaled(weights))));
        }
    }

    // OfPair(texel, texel, 0): the second texel's share is nothing, so that
    // lanes weighing it are left out rather than summed.
    template <class Format>
    static WeightedTexels OfOne(const uint8_t* texel) {
        using namespace texel_pair;
        if constexpr (kLaneDecoded<Format>) {
            const __m128i decoded = LaneDecoded<Format>(_mm_set1_epi16(Lane(PixelChannels::Load16(texel))));
            return WeightedTexels(Weighted(decoded, ChannelScaled(FirstTexel())));
        } else {
            return WeightedTexels(Weighted(PairOf<Format>(texel, texel), Scaled(FirstTexel())));
        }
    }

    int32_t Alpha() const { return Channel(kAlphaLane); }
    // PixelR5G6B5 of the colour, its fields taken from the lanes' word
    // where each channel's top bits lie.
    uint32_t PixelR5G6B5() const {
        constexpr PixelLayout kStored = pixel_layout::kR5G6B5;
        return static_cast<uint32_t>(FieldOfLane(kRedLane, kStored.r) | FieldOfLane(kGreenLane, kStored.g) |
                                     FieldOfLane(kBlueLane, kStored.b));
    }
    RSBFormat_ARGB_fixed Colour() const {
        return RSBFormat_ARGB_fixed{Channel(kAlphaLane), Channel(kRedLane), Channel(kGreenLane), Channel(kBlueLane)};
    }

private:
    static constexpr int32_t kAlphaLane = 0;
    static constexpr int32_t kRedLane = 1;
    static constexpr int32_t kGreenLane = 2;
    static constexpr int32_t kBlueLane = 3;

    // The four low lanes are moved out of the vector once, together: each
    // channel is then a shift away.
    explicit WeightedTexels(__m128i channels) { std::memcpy(&m_lanes, &channels, sizeof m_lanes); }

    int32_t Channel(int32_t lane) const { return static_cast<int32_t>(static_cast<uint16_t>(m_lanes >> (16 * lane))); }
    // The lane's top bits where the field lies.
    uint64_t FieldOfLane(int32_t lane, PixelLayout::Field f) const {
        constexpr int32_t kLaneBits = 16;
        return (m_lanes >> (kLaneBits * lane + kLaneBits - f.bits - f.shift)) & f.Mask();
    }

    uint64_t m_lanes = 0;  // a, r, g, b from the lowest 16 bits up
};
#else
class QuadTexels {
public:
    template <class Format>
    void Read(const uint8_t* const quad[4]) {
        for (int32_t i = 0; i < 4; ++i) m_lanes[i] = Format::Lanes(quad[i]);
    }
    void AddWeighted(const QuadWeights& weights, RSBFormat_ARGB_fixed* colour) const {
        int32_t values[4];
        weights.Values(values);
        LaneSums sums;
        for (int32_t i = 0; i < 4; ++i) sums.Add(m_lanes[i], values[i]);
        sums.AddTo(colour);
    }

private:
    ChannelLanes m_lanes[4] = {};
};

class WeightedTexels {
public:
    static WeightedTexels OfColour(const RSBFormat_ARGB_fixed& c) {
        WeightedTexels texels;
        texels.m_colour = c;
        return texels;
    }
    template <class Format>
    static WeightedTexels OfPair(const uint8_t* first, const uint8_t* second, int32_t share) {
        constexpr int32_t kFull = 255;
        LaneSums sums;
        sums.Add(Format::Lanes(first), kFull - share);
        sums.Add(Format::Lanes(second), share);
        WeightedTexels texels;
        sums.AddTo(&texels.m_colour);
        return texels;
    }

    template <class Format>
    static WeightedTexels OfOne(const uint8_t* texel) {
        return OfPair<Format>(texel, texel, 0);
    }
    // Channels a, r, g, b in 16 bits each of one word, a lowest.
    static WeightedTexels OfLaneWord(uint64_t lanes) {
        constexpr int32_t kLaneBits = 16;
        const auto lane = [lanes](int32_t i) {
            return static_cast<int32_t>(static_cast<uint16_t>(lanes >> (kLaneBits * i)));
        };
        WeightedTexels texels;
        texels.m_colour = RSBFormat_ARGB_fixed{lane(0), lane(1), lane(2), lane(3)};
        return texels;
    }

    int32_t Alpha() const { return m_colour.a; }
    uint32_t PixelR5G6B5() const { return texel_format::PixelR5G6B5(m_colour); }
    RSBFormat_ARGB_fixed Colour() const { return m_colour; }

private:
    RSBFormat_ARGB_fixed m_colour = {0, 0, 0, 0};
};
#endif

// The members both versions of the texel helpers above share, the vector
// unit's and the scalar one. A build compiles one version alone, and
// asserts here that it has them: a member changed or dropped in one version
// only stops the build of that version (scripts/test.sh makes both). The
// vector unit's versions have members of their own besides, for the SSE2
// row routines.
template <class T>
concept QuadTexelsMembers = std::default_initializable<T> && requires {
    { &T::template Read<R5G6B5> } -> std::same_as<void (T::*)(const uint8_t* const*)>;
    { &T::AddWeighted } -> std::same_as<void (T::*)(const QuadWeights&, RSBFormat_ARGB_fixed*) const>;
};
template <class T>
concept WeightedTexelsMembers = std::default_initializable<T> && requires {
    { &T::OfColour } -> std::same_as<T (*)(const RSBFormat_ARGB_fixed&)>;
    { &T::template OfPair<R5G6B5> } -> std::same_as<T (*)(const uint8_t*, const uint8_t*, int32_t)>;
    { &T::template OfOne<R5G6B5> } -> std::same_as<T (*)(const uint8_t*)>;
    { &T::OfLaneWord } -> std::same_as<T (*)(uint64_t)>;
    { &T::Alpha } -> std::same_as<int32_t (T::*)() const>;
    { &T::PixelR5G6B5 } -> std::same_as<uint32_t (T::*)() const>;
    { &T::Colour } -> std::same_as<RSBFormat_ARGB_fixed (T::*)() const>;
};
static_assert(QuadTexelsMembers<QuadTexels>);
static_assert(WeightedTexelsMembers<WeightedTexels>);

// The quad's texels, for a decoder with channels of its own, decoded and
// weighted as QuadTexels weights them.
template <class Format>
inline void AddWeightedQuad(const uint8_t* const quad[4], const QuadWeights& weights, RSBFormat_ARGB_fixed* colour) {
    QuadTexels texels;
    texels.Read<Format>(quad);
    texels.AddWeighted(weights, colour);
}

}  // namespace texel_format

#endif
