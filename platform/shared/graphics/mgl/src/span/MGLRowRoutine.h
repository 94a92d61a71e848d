#ifndef MGLROWROUTINE_H
#define MGLROWROUTINE_H

#include <cstdint>

#include "MGLTexel.h"
#include "MGLTextureSampler.h"

namespace span_detail {

class RowWalk;

// A row loop chosen for a sampler and a target format (ChooseRow): the
// rule's type and its loop, which the rows of a fill then run directly.
using RowRoutine = void (*)(RowWalk& rows, MGLTextureSampler& sampler);

// The routine of Rows (whose Run<Wrap> runs a row) for the sampler's wrap mode.
template <class Rows>
RowRoutine ForWrap(const MGLTextureSampler& sampler) {
    switch (sampler.Wrap()) {
        case TextureWrap::Clamp: return &Rows::template Run<TextureWrap::Clamp>;
        case TextureWrap::Mirror: return &Rows::template Run<TextureWrap::Mirror>;
        default: return &Rows::template Run<TextureWrap::Repeat>;
    }
}

// The sampler's routine for the target, chosen at the fill's first row
// (or again for another target): the choice costs a short row as much as
// its set-up.
RowRoutine RowRoutineOf(MGLTextureSampler& sampler, uint32_t target);

// The routines of the filtering modes, and of the nearest texel, for a
// texture of the decoder's format. Each decoder's are made in a unit of
// their own (MGLDecoderRoutines_<format>.cpp), which keeps the units of
// the row loops small enough to build on a small machine.
template <class Decoder>
RowRoutine ChooseFilteredAs(const MGLTextureSampler& sampler, uint32_t target);
template <class Decoder>
RowRoutine ChooseNearestAs(const MGLTextureSampler& sampler, uint32_t target);

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
