#ifndef MGLBLENDEDROUTINES_H
#define MGLBLENDEDROUTINES_H

#include <cstdint>

#include "MGLBlendedRule.h"
#include "MGLRowWalk.h"
#include "MGLSpanRow.h"
#include "MGLStoreFormat.h"
#include "MGLTextureSampler.h"
#include "MGLTexturedRow.h"

namespace span_detail {

// The rows share one rule: the levels it holds are the sampler's, and the
// row it reads the one the walk is on.
template <class Decoder, StoreFormat Stores>
struct BlendedRoutines {
    template <TextureWrap Wrap>
    static void Run(RowWalk& walk, MGLTextureSampler& sampler) {
        const SpanRow& row = walk.Row();
        TexturedRow::RunRows<BlendedRule<Decoder, Wrap, Stores>>(walk, sampler, row);
    }
};

}  // namespace span_detail

#endif
