#ifndef MGLNEARESTRULE_H
#define MGLNEARESTRULE_H

#include <algorithm>
#include <cstdint>

#include "MGLCopiedTexel.h"
#include "MGLPixelCoordinates.h"
#include "MGLStoreFormat.h"
#include "MGLTexel.h"
#include "MGLTexelRule.h"
#include "MGLTextureSampler.h"

namespace span_detail {

// The nearest texel of one level, as the sampler picks it for the Nearest
// and NearestMip filters and wrap mode Wrap, handed to a texel codec for
// the texture's format (Texel).
template <class Texel, TextureWrap Wrap>
struct NearestRule {
    static constexpr StoreFormat kStoreFormat = Texel::kStoreFormat;
    static constexpr bool kReadsLevelOnly = true;
    MGLTextureSampler& sampler;
    Texel texel;
    NearestLevels levels = sampler.NearestLevelChoice();
    // The level the last texel came from, and that level where it can be
    // read (else none): a pixel on it is read without looking further.
    HeldTexelLevel texels{TexelLevel{nullptr, 0, TextureWrap{}, 0, 0, kNoLevel, 0, 0, 0}};
    int32_t readable = kNoLevel;

    bool Passes(int32_t u, int32_t v, int32_t lod) { return PassesOn(levels.At(lod), u, v); }
    bool PassesOn(int32_t level, int32_t u, int32_t v) {
        if (level != readable && !Hold(level)) return false;
        return texel.Take(texels.AtIn<Wrap>(u, v));
    }
    // The levels a perspective row's pixels read under the row's rule: a
    // level of detail held at most lod.max cannot pick a level past its
    // own, and one below 1 picks level 0.
    NearestRowLevels RowLevels(const MGLPixelCoordinates::Lod& lod) const {
        if (!lod.perPixel) return {0, levels.At(std::min(lod.fixed, lod.max))};
        return {levels.firstOnly ? 0 : std::clamp(lod.max >> 16, 0, levels.last), 0};
    }
    void Store(uint8_t* at) const { texel.Store(at); }
    bool ReadsLod() const { return sampler.ReadsLod(); }
    void Finish() const {}

private:
    static constexpr int32_t kNoLevel = -1;

    // Whether the level can be read, its addressing held.
    bool Hold(int32_t level) {
        if (level != texels.level) texels = HeldTexelLevel(sampler.Level(level));
        readable = texels.base != nullptr ? texels.level : kNoLevel;
        return texels.base != nullptr;
    }
};

// Whatever the texture's format, the nearest texel takes the loops that
// read one mipmap level.
static_assert(LevelOnlyRule<NearestRule<CopiedTexel, TextureWrap::Repeat>>);

}  // namespace span_detail

#endif
