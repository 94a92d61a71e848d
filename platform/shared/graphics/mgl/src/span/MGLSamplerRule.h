#ifndef MGLSAMPLERRULE_H
#define MGLSAMPLERRULE_H

#include <cstdint>

#include "MGLSpanRow.h"
#include "MGLStoreFormat.h"
#include "MGLTexelStores.h"
#include "MGLTextureSampler.h"

namespace span_detail {

// Any filter: the sampler's colour, stored when its alpha is at least 15.
struct SamplerRule {
    static constexpr StoreFormat kStoreFormat = StoreFormat::RowFormat;
    MGLTextureSampler& sampler;
    uint32_t format;
    RSBFormat_ARGB_fixed texel = {0, 0, 0, 0};

    bool Passes(int32_t u, int32_t v, int32_t lod) {
        texel = RSBFormat_ARGB_fixed{0, 0, 0, 0};
        sampler.Sample(u, v, lod, &texel);
        return texel.a >= kMinAlpha;
    }
    void Store(uint8_t* at) const { StoreTexel(at, format, texel); }
    bool ReadsLod() const { return sampler.ReadsLod(); }
    void Finish() const {}
};

}  // namespace span_detail

#endif
