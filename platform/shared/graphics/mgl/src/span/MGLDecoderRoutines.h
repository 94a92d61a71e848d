#ifndef MGLDECODERROUTINES_H
#define MGLDECODERROUTINES_H

#include <cstdint>

#include "CColor.h"
#include "MGLBlendedRoutines.h"
#include "MGLDecodedTexel.h"
#include "MGLFilteredRoutines.h"
#include "MGLNearestRoutines.h"
#include "MGLRowRoutine.h"
#include "MGLSpanRow.h"
#include "MGLStoreFormat.h"
#include "MGLTextureSampler.h"

namespace span_detail {

template <class Decoder, TextureFilter Mode>
RowRoutine ChooseFilteredIn(const MGLTextureSampler& sampler, uint32_t targetFormat) {
    return targetFormat == RSBFormat_R5G6B5 ? ForWrap<FilteredRoutines<Decoder, Mode, StoreFormat::R5G6B5>>(sampler)
                                            : ForWrap<FilteredRoutines<Decoder, Mode, StoreFormat::RowFormat>>(sampler);
}

template <class Decoder>
RowRoutine ChooseBlended(const MGLTextureSampler& sampler, uint32_t targetFormat) {
    return targetFormat == RSBFormat_R5G6B5 ? ForWrap<BlendedRoutines<Decoder, StoreFormat::R5G6B5>>(sampler)
                                            : ForWrap<BlendedRoutines<Decoder, StoreFormat::RowFormat>>(sampler);
}

// The blends of two levels, bilinear and trilinear filtering with their
// mode fixed for the row; the unit's mode read at each pixel for the others.
template <class Decoder>
RowRoutine DecoderRoutines<Decoder>::Filtered(const MGLTextureSampler& sampler, uint32_t targetFormat)
    requires Decoder::kFiltered
{
    using enum TextureFilter;
    switch (sampler.FilterMode()) {
        case NearestBlend: return ChooseBlended<Decoder>(sampler, targetFormat);
        case BilinearOrMip: return ChooseFilteredIn<Decoder, BilinearOrMip>(sampler, targetFormat);
        case Bilinear: return ChooseFilteredIn<Decoder, Bilinear>(sampler, targetFormat);
        case BilinearMip: return ChooseFilteredIn<Decoder, BilinearMip>(sampler, targetFormat);
        case Trilinear: return ChooseFilteredIn<Decoder, Trilinear>(sampler, targetFormat);
        default: return ChooseFilteredIn<Decoder, MGLTextureSampler::kUnitFilter>(sampler, targetFormat);
    }
}

template <class Decoder, StoreFormat Stores>
RowRoutine ChooseDecoded(const MGLTextureSampler& sampler) {
    return ForWrap<NearestRoutines<DecodedTexel<Decoder, Stores>>>(sampler);
}

// Target formats without a store still take the depth of the texels that pass.
template <class Decoder>
RowRoutine DecoderRoutines<Decoder>::Nearest(const MGLTextureSampler& sampler, uint32_t targetFormat) {
    switch (targetFormat) {
        case RSBFormat_R5G6B5: return ChooseDecoded<Decoder, StoreFormat::R5G6B5>(sampler);
        case RSBFormat_X8R8G8B8: return ChooseDecoded<Decoder, StoreFormat::X8R8G8B8>(sampler);
        case RSBFormat_X14R6G6B6: return ChooseDecoded<Decoder, StoreFormat::X14R6G6B6>(sampler);
        default: return ChooseDecoded<Decoder, StoreFormat::RowFormat>(sampler);
    }
}

}  // namespace span_detail

#endif
