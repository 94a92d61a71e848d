#ifndef MGLNEARESTROUTINES_H
#define MGLNEARESTROUTINES_H

#include <cstdint>

#include "MGLNearestRule.h"
#include "MGLRowWalk.h"
#include "MGLTextureSampler.h"
#include "MGLTexturedRow.h"

namespace span_detail {

template <class Texel>
struct NearestRoutines {
    template <TextureWrap Wrap>
    static void Run(RowWalk& walk, MGLTextureSampler& sampler) {
        Texel texel;
        TexturedRow::RunRows<NearestRule<Texel, Wrap>>(walk, sampler, texel);
    }
};

}  // namespace span_detail

#endif
