#ifndef MGLBLENDEDROWS_H
#define MGLBLENDEDROWS_H

#include <cstdint>

#include "MGLBlendedTexel.h"
#include "MGLRowWalk.h"
#include "MGLSpanRow.h"
#include "MGLTextureSampler.h"
#include "MGLTexturedRow.h"

namespace span_detail {

// The rows share one rule: the levels it holds are the sampler's, and the
// row it reads the walk's current one.
template <class Decoder, RuleTarget Target>
struct BlendedRows {
    template <TextureWrap Wrap>
    static void Run(RowWalk& rows, MGLTextureSampler& sampler) {
        const SpanRow& row = rows.Row();
        TexturedRow::RunRows<BlendedTexel<Decoder, Wrap, Target>>(rows, sampler, row);
    }
};

}  // namespace span_detail

#endif
