#ifndef MGLFILTEREDCOLOURRULE_H
#define MGLFILTEREDCOLOURRULE_H

#include <cstdint>

#include "MGLSpanRow.h"
#include "MGLStoreFormat.h"
#include "MGLTexel.h"
#include "MGLTexelStores.h"
#include "MGLTextureSampler.h"
#include "MGLTexturedRow.h"

namespace span_detail {

// Rows of this many pixels or more keep their quads: trilinear rows, whose
// two quads a pixel cost more, from as few as work their quads out ahead.
inline constexpr int32_t kMemoPixels = 8;
inline constexpr int32_t kTrilinearMemoPixels = TexturedRow::kQuadsAheadPixels;

constexpr int32_t MemoPixels(TextureFilter mode) {
    return mode == TextureFilter::Trilinear ? kTrilinearMemoPixels : kMemoPixels;
}

// The sampler's colour for a texture of the decoder's format, wrap mode
// Wrap and filter mode Mode, its routine inline in the row loop; with
// Memo, the row's quads kept in a memo (which repays itself on rows of
// some length only).
template <class Decoder, TextureWrap Wrap, TextureFilter Mode, bool Memo, StoreFormat Stores>
struct FilteredColourRule {
    static constexpr StoreFormat kStoreFormat = Stores;
    static constexpr int32_t kLongRowPixels = MemoPixels(Mode);
    MGLTextureSampler& sampler;
    uint32_t format;
    QuadMemo memo;
    RSBFormat_ARGB_fixed texel = {0, 0, 0, 0};

    FilteredColourRule(MGLTextureSampler& sampler, const SpanRow& row)
        : sampler(sampler), format(row.format), memo(RowMemo(row)) {}

    bool Passes(int32_t u, int32_t v, int32_t lod) {
        texel = RSBFormat_ARGB_fixed{0, 0, 0, 0};
        sampler.SampleIn<Wrap, Decoder, Mode>(Decoder{}, u, v, lod, &texel, Memo ? &memo : nullptr);
        return texel.a >= kMinAlpha;
    }
    void Store(uint8_t* at) const {
        if constexpr (Stores == StoreFormat::R5G6B5) {
            // Short rows keep the scalar packing, with which their loop is
            // passed its rule more cheaply.
            StoreHalf(at, Memo ? FilteredPixelR5G6B5(texel) : texel_format::PixelR5G6B5(texel));
        } else {
            StoreTexel(at, format, texel);
        }
    }
    bool ReadsLod() const {
        if constexpr (Mode == MGLTextureSampler::kUnitFilter) return sampler.ReadsLod();
        return Mode != TextureFilter::Bilinear;
    }
    void Finish() const {
        if constexpr (Memo) sampler.LeaveQuad<Wrap>(memo);
    }
};

}  // namespace span_detail

#endif
