#ifndef MGLROWROUTINE_H
#define MGLROWROUTINE_H

#include <cstdint>

#include "MGLTexel.h"
#include "MGLTextureSampler.h"

namespace span_detail {

// RowRoutine (MGLTextureSampler.h, whose choice keeps one): a row routine
// chosen for a sampler and a target format (ChooseRow), the rule's type and
// its loop, which the rows of a fill then run directly.

// The routine of a family (whose Run<Wrap> runs a call's rows) for the sampler's wrap mode.
template <class Routines>
RowRoutine ForWrap(const MGLTextureSampler& sampler) {
    switch (sampler.Wrap()) {
        case TextureWrap::Clamp: return &Routines::template Run<TextureWrap::Clamp>;
        case TextureWrap::Mirror: return &Routines::template Run<TextureWrap::Mirror>;
        default: return &Routines::template Run<TextureWrap::Repeat>;
    }
}

// The sampler's routine for the target format, chosen at the fill's first row
// (or again for another target format): the choice costs a short row as much as
// its set-up.
RowRoutine RowRoutineOf(MGLTextureSampler& sampler, uint32_t targetFormat);

// The routines of a texture of the decoder's format: those of the
// filtering modes, for a format the filters read through the decoder, and
// that of the nearest texel. Each decoder of texel_format::Decoders has
// them built in a unit of its own (MGLDecoderRoutines_<format>.cpp), which
// keeps the units of the row loops small enough to build on a small machine.
template <class Decoder>
struct DecoderRoutines {
    static RowRoutine Filtered(const MGLTextureSampler& sampler, uint32_t targetFormat)
        requires Decoder::kFiltered;
    static RowRoutine Nearest(const MGLTextureSampler& sampler, uint32_t targetFormat);
};

}  // namespace span_detail

#endif
