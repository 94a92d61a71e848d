#ifndef MGLNEARESTROWS_H
#define MGLNEARESTROWS_H

#include <cstdint>

#include "MGLNearestTexel.h"
#include "MGLRowWalk.h"
#include "MGLTextureSampler.h"
#include "MGLTexturedRow.h"

namespace span_detail {

template <class Texel>
struct NearestRows {
    template <TextureWrap Wrap>
    static void Run(RowWalk& rows, MGLTextureSampler& sampler) {
        Texel texel;
        TexturedRow::RunRows<NearestTexel<Texel, Wrap>>(rows, sampler, texel);
    }
};

}  // namespace span_detail

#endif
