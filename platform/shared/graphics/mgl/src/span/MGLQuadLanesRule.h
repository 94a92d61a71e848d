#ifndef MGLQUADLANESRULE_H
#define MGLQUADLANESRULE_H

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "MGLFilteredColourRule.h"
#include "MGLPixelCoordinates.h"
#include "MGLPixelQuads.h"
#include "MGLPixelTexels.h"
#include "MGLSpanRow.h"
#include "MGLStoreFormat.h"
#include "MGLTexel.h"
#include "MGLTexelRule.h"
#include "MGLTexelStores.h"
#include "MGLTextureSampler.h"

namespace span_detail {

#if MGL_VECTOR_UNIT(SSE2)
// Bilinear and trilinear filtering (BilinearOrMip to Trilinear), with Memo the row's
// quads kept in a memo: the sampler's channels kept as its vector sums
// leave them, 16 bits each,
// for the alpha test and the pixel, rather than set in a fixed colour's
// four 32-bit fields and read back from them. Where the row's coordinates
// are worked out ahead, a trilinear row's levels, quads and weights are as
// well, and a bilinear row's texels (BilinearOrMip's where a group is magnified).
template <class Decoder, TextureWrap Wrap, TextureFilter Mode, bool Memo, StoreFormat Stores>
struct QuadLanesRule {
    static constexpr StoreFormat kStoreFormat = Stores;
    static constexpr bool kBilinear = Mode == TextureFilter::Bilinear ||
                                      Mode == TextureFilter::BilinearMip ||
                                      Mode == TextureFilter::BilinearOrMip;
    // Whether the row's bilinear quads all lie on level 0.
    static constexpr bool kFirstLevel = Mode != TextureFilter::BilinearMip;
    static constexpr int32_t kLongRowPixels = MemoPixels(Mode);
    MGLTextureSampler& sampler;
    uint32_t format;
    QuadMemo memo;
    texel_format::WeightedTexels texel;

    QuadLanesRule(MGLTextureSampler& sampler, const SpanRow& row)
        : sampler(sampler), format(row.format), memo(RowMemo(row)) {}

    bool Passes(int32_t u, int32_t v, int32_t lod) {
        if constexpr (Mode == TextureFilter::BilinearOrMip) {
            if (lod > sampler_detail::kOne) return NearestTaken(u, v, lod);
            return Taken(sampler.QuadLanesIn<Wrap, Decoder, TextureFilter::Bilinear>(u, v, lod, Kept()));
        } else {
            return Taken(sampler.QuadLanesIn<Wrap, Decoder, Mode>(u, v, lod, Kept()));
        }
    }
    // Trilinear rows work out their quads ahead, where their texels lie
    // and their weights: two quads of eight pixels take fewer steps than
    // one pixel's two.
    void FillQuads(const MGLPixelCoordinates& ahead, MGLPixelQuads& quads, int32_t pixels) {
        quads.Fill(ahead, sampler.QuadLevels(), pixels);
    }
    bool PassesAhead(const MGLPixelCoordinates& ahead, const MGLPixelQuads& quads, int32_t i)
        requires(Memo && Mode == TextureFilter::Trilinear)
    {
        return Taken(sampler.TrilinearLanesAhead<Decoder>(quads, i, ahead.u[i], ahead.v[i], memo));
    }
    // A bilinear row's texels, eight pixels at a time where the eight read
    // one level, which the row does not write: their texels are then what
    // the pixels would read in turn.
    void FillAhead(const MGLPixelCoordinates& ahead, MGLPixelTexels& out, int32_t pixels)
        requires(Memo && kBilinear)
    {
        const MGLPixelTexels::Routine bilinearAhead = MGLPixelTexels::BilinearRoutine(sampler.Format(), Wrap);
        out.FillGroups(bilinearAhead != nullptr ? pixels : 0, [&](int32_t first) {
            const int32_t level = GroupLevel(ahead, first);
            if (level < 0) return false;
            const TexelLevel& texels = sampler.Level(level);
            return texels.base != nullptr && memo.Apart(texels) && bilinearAhead(out, ahead, first, texels);
        });
    }
    // The pixel's texels from FillAhead; where it left them out, sampled.
    bool PassesAhead(const MGLPixelCoordinates& ahead, const MGLPixelTexels& texels, int32_t i)
        requires(Memo && kBilinear)
    {
        using sampler_detail::kHalfTexel;
        if ((texels.filtered >> i & 1u) == 0) return Passes(ahead.u[i], ahead.v[i], ahead.lod[i]);
        const int32_t level = kFirstLevel ? 0 : std::clamp(ahead.lod[i] >> 16, 0, sampler.LastLevel());
        memo.Read(WrapSub(ahead.u[i], kHalfTexel), WrapSub(ahead.v[i], kHalfTexel), level);
        texel = texel_format::WeightedTexels::OfLaneWord(texels.lanes[i]);
        return texel.Alpha() >= kMinAlpha;
    }
    bool Taken(__m128i channels) {
        texel = texel_format::WeightedTexels::OfLanes(channels);
        return texel.Alpha() >= kMinAlpha;
    }
    void Store(uint8_t* at) const { StoreWeighted<Stores>(at, format, texel); }
    bool ReadsLod() const { return Mode != TextureFilter::Bilinear; }
    void Finish() const {
        if constexpr (Memo) sampler.LeaveQuad<Wrap>(memo);
    }

private:
    QuadMemo* Kept() { return Memo ? &memo : nullptr; }
    // The level the bilinear quads of the group of pixels from `first` lie
    // on, -1 where they do not share one: for BilinearOrMip, level 0 where all the
    // group is magnified.
    int32_t GroupLevel(const MGLPixelCoordinates& ahead, int32_t first) const {
        if constexpr (Mode == TextureFilter::BilinearMip) {
            return MGLPixelTexels::GroupLevel(ahead, first, sampler.LastLevel());
        } else if constexpr (Mode == TextureFilter::BilinearOrMip) {
            const int32_t* lod = ahead.lod + first;
            return std::all_of(lod, lod + MGLPixelTexels::kGroup, [](int32_t l) { return l <= sampler_detail::kOne; })
                       ? 0
                       : -1;
        } else {
            return 0;
        }
    }
    // BilinearOrMip past a level of detail of 1: the nearest texel of the level,
    // as the sampler decodes it.
    bool NearestTaken(int32_t u, int32_t v, int32_t lod) {
        const TexelLevel& texels = sampler.Level(std::clamp(lod >> 16, 0, sampler.LastLevel()));
        if (texels.base == nullptr) return false;
        RSBFormat_ARGB_fixed colour;
        Decoder{}.Decode(texels.AtIn<Wrap>(u, v), &colour);
        texel = texel_format::WeightedTexels::OfColour(colour);
        return texel.Alpha() >= kMinAlpha;
    }
};

// The rows that keep their quads take the loops that precompute them
// (trilinear filtering) or their texels (the bilinear modes).
static_assert(QuadsAheadRule<QuadLanesRule<texel_format::R5G6B5, TextureWrap::Repeat, TextureFilter::Trilinear, true,
                                           StoreFormat::R5G6B5>>);
static_assert(TexelsAheadRule<QuadLanesRule<texel_format::R5G6B5, TextureWrap::Repeat, TextureFilter::Bilinear, true,
                                            StoreFormat::R5G6B5>>);
static_assert(TexelsAheadRule<QuadLanesRule<texel_format::R5G6B5, TextureWrap::Repeat, TextureFilter::BilinearMip, true,
                                            StoreFormat::R5G6B5>>);
static_assert(TexelsAheadRule<QuadLanesRule<texel_format::R5G6B5, TextureWrap::Repeat,
                                            TextureFilter::BilinearOrMip, true, StoreFormat::R5G6B5>>);

constexpr bool KeepsQuadLanes(TextureFilter mode) {
    using enum TextureFilter;
    return mode == BilinearOrMip || mode == Bilinear || mode == BilinearMip || mode == Trilinear;
}

// The rule of a filtered row.
template <class Decoder, TextureWrap Wrap, TextureFilter Mode, bool Memo, StoreFormat Stores>
using FilteredRule = std::conditional_t<KeepsQuadLanes(Mode), QuadLanesRule<Decoder, Wrap, Mode, Memo, Stores>,
                                        FilteredColourRule<Decoder, Wrap, Mode, Memo, Stores>>;
#else
template <class Decoder, TextureWrap Wrap, TextureFilter Mode, bool Memo, StoreFormat Stores>
using FilteredRule = FilteredColourRule<Decoder, Wrap, Mode, Memo, Stores>;
#endif

}  // namespace span_detail

#endif
