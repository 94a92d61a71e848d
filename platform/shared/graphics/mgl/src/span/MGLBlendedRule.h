#ifndef MGLBLENDEDRULE_H
#define MGLBLENDEDRULE_H

#include <algorithm>
#include <cstdint>

#include "MGLPixelCoordinates.h"
#include "MGLPixelTexels.h"
#include "MGLSpanRow.h"
#include "MGLStoreFormat.h"
#include "MGLTexel.h"
#include "MGLTexelRule.h"
#include "MGLTexelStores.h"
#include "MGLTextureSampler.h"

namespace span_detail {

// TextureFilter::NearestBlend: the nearest texels of the level of detail's level and
// the next, blended by its fraction. The rule holds the two levels'
// addressing while the row's pixels stay on one level (they change level
// a few times a row at most), and keeps the blend as its sums leave it.
// Where the row's coordinates are worked out ahead, so are its texels.
template <class Decoder, TextureWrap Wrap, StoreFormat Stores>
struct BlendedRule {
    static constexpr StoreFormat kStoreFormat = Stores;

    // The levels are held at the first pixel, none being held before.
    BlendedRule(MGLTextureSampler& sampler, const SpanRow& row)
        : sampler(sampler), row(row), format(row.format), last(sampler.LastLevel()) {}

    MGLTextureSampler& sampler;
    const SpanRow& row;
    uint32_t format;
    int32_t last;
    int32_t held = -1;  // the level near and far are held for
    bool readable = false;  // both
    TexelLevel near;
    TexelLevel far;
    texel_format::WeightedTexels texel;

    bool Passes(int32_t u, int32_t v, int32_t lod) {
        const int32_t level = std::clamp(lod >> 16, 0, last);
        if (level != held) Hold(level);
        const int32_t blend = (lod >> 8) & sampler_detail::kFull;
        if (!readable) return SampledApart(u, v, lod);
        const uint8_t* first = near.AtIn<Wrap>(u, v);
        texel = blend != 0 ? texel_format::WeightedTexels::OfPair<Decoder>(first, far.AtIn<Wrap>(u, v), blend)
                           : texel_format::WeightedTexels::OfOne<Decoder>(first);
        return texel.Alpha() >= kMinAlpha;
    }
    // The texels of each eight pixels that share a level, where neither
    // of its two levels is one the row writes.
    void FillAhead(const MGLPixelCoordinates& ahead, MGLPixelTexels& out, int32_t pixels) {
        const MGLPixelTexels::BlendRoutine blendAhead = MGLPixelTexels::NearestBlendRoutine(sampler.Format(), Wrap);
        QuadMemo written = RowMemo(row);  // for the levels apart from the row's bytes
        out.FillGroups(blendAhead != nullptr ? pixels : 0, [&](int32_t first) {
            const int32_t level = MGLPixelTexels::GroupLevel(ahead, first, last);
            if (level < 0) return false;
            const TexelLevel& nearAhead = sampler.Level(level);
            const TexelLevel& farAhead = sampler.Level(level < last ? level + 1 : level);
            return nearAhead.base != nullptr && farAhead.base != nullptr && written.Apart(nearAhead) &&
                   written.Apart(farAhead) && blendAhead(out, ahead, first, nearAhead, farAhead);
        });
    }
    // The pixel's texels from FillAhead; where it left them out, sampled.
    bool PassesAhead(const MGLPixelCoordinates& ahead, const MGLPixelTexels& texels, int32_t i) {
        if ((texels.filtered >> i & 1u) == 0) return Passes(ahead.u[i], ahead.v[i], ahead.lod[i]);
        texel = texel_format::WeightedTexels::OfLaneWord(texels.lanes[i]);
        return texel.Alpha() >= kMinAlpha;
    }
    void Store(uint8_t* at) const { StoreWeighted<Stores>(at, format, texel); }
    bool ReadsLod() const { return true; }
    void Finish() const {}

private:
    void Hold(int32_t level) {
        held = level;
        near = sampler.Level(level);
        far = sampler.Level(level < last ? level + 1 : level);
        readable = near.base != nullptr && far.base != nullptr;
    }
    // A level that cannot be read adds nothing to the blend: the sampler's
    // own routine weighs what is left.
    [[gnu::noinline]] bool SampledApart(int32_t u, int32_t v, int32_t lod) {
        RSBFormat_ARGB_fixed colour = {0, 0, 0, 0};
        sampler.SampleIn<Wrap, Decoder, TextureFilter::NearestBlend>(Decoder{}, u, v, lod, &colour);
        texel = texel_format::WeightedTexels::OfColour(colour);
        return colour.a >= kMinAlpha;
    }
};

// Its texels are precomputed with the coordinates.
static_assert(TexelsAheadRule<BlendedRule<texel_format::R5G6B5, TextureWrap::Repeat, StoreFormat::R5G6B5>>);

}  // namespace span_detail

#endif
