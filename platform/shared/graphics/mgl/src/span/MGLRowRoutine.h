#ifndef MGLROWROUTINE_H
#define MGLROWROUTINE_H

#include <cstdint>

#include "MGLTexel.h"
#include "MGLTextureSampler.h"

namespace span_detail {

class RowWalk;

// A row routine chosen for a sampler and a target format (ChooseRow): the
// rule's type and its loop, which the rows of a fill then run directly.
using RowRoutine = void (*)(RowWalk& walk, MGLTextureSampler& sampler);

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

// The routines of the filtering modes, and of the nearest texel, for a
// texture of the decoder's format. Each decoder's are made in a unit of
// their own (MGLDecoderRoutines_<format>.cpp), which keeps the units of
// the row loops small enough to build on a small machine.
template <class Decoder>
RowRoutine ChooseFilteredAs(const MGLTextureSampler& sampler, uint32_t targetFormat);
template <class Decoder>
RowRoutine ChooseNearestAs(const MGLTextureSampler& sampler, uint32_t targetFormat);

extern template RowRoutine ChooseFilteredAs<texel_format::R5G6B5>(const MGLTextureSampler&, uint32_t);
extern template RowRoutine ChooseFilteredAs<texel_format::A1R5G5B5>(const MGLTextureSampler&, uint32_t);
extern template RowRoutine ChooseFilteredAs<texel_format::A4R4G4B4>(const MGLTextureSampler&, uint32_t);
extern template RowRoutine ChooseFilteredAs<texel_format::X8R8G8B8>(const MGLTextureSampler&, uint32_t);
extern template RowRoutine ChooseFilteredAs<texel_format::A8R8G8B8>(const MGLTextureSampler&, uint32_t);
extern template RowRoutine ChooseNearestAs<texel_format::R5G6B5>(const MGLTextureSampler&, uint32_t);
extern template RowRoutine ChooseNearestAs<texel_format::A1R5G5B5>(const MGLTextureSampler&, uint32_t);
extern template RowRoutine ChooseNearestAs<texel_format::A4R4G4B4>(const MGLTextureSampler&, uint32_t);
extern template RowRoutine ChooseNearestAs<texel_format::X8R8G8B8>(const MGLTextureSampler&, uint32_t);
extern template RowRoutine ChooseNearestAs<texel_format::A8R8G8B8>(const MGLTextureSampler&, uint32_t);
extern template RowRoutine ChooseNearestAs<texel_format::L8>(const MGLTextureSampler&, uint32_t);

}  // namespace span_detail

#endif
