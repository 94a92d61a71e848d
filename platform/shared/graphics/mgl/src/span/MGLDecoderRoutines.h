#ifndef MGLDECODERROUTINES_H
#define MGLDECODERROUTINES_H

#include <cstdint>

#include "CColor.h"
#include "MGLBlendedRows.h"
#include "MGLDecodedTexel.h"
#include "MGLFilteredRows.h"
#include "MGLNearestRows.h"
#include "MGLRowRoutine.h"
#include "MGLSpanRow.h"
#include "MGLTextureSampler.h"

namespace span_detail {

template <class Decoder, TextureFilter Mode>
RowRoutine ChooseFilteredIn(const MGLTextureSampler& sampler, uint32_t target) {
    return target == RSBFormat_R5G6B5 ? ForWrap<FilteredRows<Decoder, Mode, RuleTarget::R5G6B5>>(sampler)
                                      : ForWrap<FilteredRows<Decoder, Mode, RuleTarget::RowFormat>>(sampler);
}

template <class Decoder>
RowRoutine ChooseBlended(const MGLTextureSampler& sampler, uint32_t target) {
    return target == RSBFormat_R5G6B5 ? ForWrap<BlendedRows<Decoder, RuleTarget::R5G6B5>>(sampler)
                                      : ForWrap<BlendedRows<Decoder, RuleTarget::RowFormat>>(sampler);
}

// The blends of two levels, bilinear and trilinear filtering with their
// mode fixed for the row; the unit's mode read at each pixel for the others.
template <class Decoder>
RowRoutine ChooseFilteredAs(const MGLTextureSampler& sampler, uint32_t target) {
    using enum TextureFilter;
    switch (sampler.FilterMode()) {
        case NearestBlend: return ChooseBlended<Decoder>(sampler, target);
        case BilinearOrMip: return ChooseFilteredIn<Decoder, BilinearOrMip>(sampler, target);
        case Bilinear: return ChooseFilteredIn<Decoder, Bilinear>(sampler, target);
        case BilinearMip: return ChooseFilteredIn<Decoder, BilinearMip>(sampler, target);
        case Trilinear: return ChooseFilteredIn<Decoder, Trilinear>(sampler, target);
        default: return ChooseFilteredIn<Decoder, MGLTextureSampler::kUnitFilter>(sampler, target);
    }
}

template <class Decoder, RuleTarget Target>
RowRoutine ChooseDecoded(const MGLTextureSampler& sampler) {
    return ForWrap<NearestRows<DecodedTexel<Decoder, Target>>>(sampler);
}

// Targets without a store rule still take the depth of the texels that pass.
template <class Decoder>
RowRoutine ChooseNearestAs(const MGLTextureSampler& sampler, uint32_t target) {
    switch (target) {
        case RSBFormat_R5G6B5: return ChooseDecoded<Decoder, RuleTarget::R5G6B5>(sampler);
        case RSBFormat_X8R8G8B8: return ChooseDecoded<Decoder, RuleTarget::X8R8G8B8>(sampler);
        case RSBFormat_X14R6G6B6: return ChooseDecoded<Decoder, RuleTarget::X14R6G6B6>(sampler);
        default: return ChooseDecoded<Decoder, RuleTarget::RowFormat>(sampler);
    }
}

}  // namespace span_detail

#endif
