#include "MGLRowRoutine.h"

#include <cstdint>

#include "CColor.h"
#include "MGLCopiedTexel.h"
#include "MGLNearestRoutines.h"
#include "MGLRowWalk.h"
#include "MGLSamplerRule.h"
#include "MGLTexel.h"
#include "MGLTextureSampler.h"
#include "MGLTexturedRow.h"

namespace span_detail {

namespace {

// Any filter, through the sampler's own routine.
void RunSampled(RowWalk& walk, MGLTextureSampler& sampler) {
    uint32_t format = walk.Row().format;
    TexturedRow::RunRows<SamplerRule>(walk, sampler, format);
}

// The filtering modes for the formats the filters read through a decoder
// of their own; the sampler's own routine for the others.
RowRoutine ChooseFiltered(const MGLTextureSampler& sampler, uint32_t targetFormat) {
    RowRoutine routine = &RunSampled;
    texel_format::VisitDecoder(sampler.Format(), [&](auto decoder) {
        routine = DecoderRoutines<decltype(decoder)>::Filtered(sampler, targetFormat);
    });
    return routine;
}

// The nearest texel for the formats with a decoder of their own; the
// sampler for the others.
RowRoutine ChooseNearest(const MGLTextureSampler& sampler, uint32_t targetFormat) {
    RowRoutine routine = &RunSampled;
    texel_format::VisitAnyDecoder(sampler.Format(), [&](auto decoder) {
        routine = DecoderRoutines<decltype(decoder)>::Nearest(sampler, targetFormat);
    });
    return routine;
}

RowRoutine ChooseRow(const MGLTextureSampler& sampler, uint32_t targetFormat) {
    if (!sampler.SamplesOneTexel()) return ChooseFiltered(sampler, targetFormat);
    if (sampler.Format() == RSBFormat_R5G6B5 && targetFormat == RSBFormat_R5G6B5) {
        return ForWrap<NearestRoutines<CopiedTexel>>(sampler);
    }
    return ChooseNearest(sampler, targetFormat);
}

}  // namespace

RowRoutine RowRoutineOf(MGLTextureSampler& sampler, uint32_t targetFormat) {
    MGLTextureSampler::RowChoice& choice = sampler.SpanRowChoice();
    if (choice.routine == nullptr || choice.targetFormat != targetFormat) {
        choice = {targetFormat, ChooseRow(sampler, targetFormat)};
    }
    return choice.routine;
}

}  // namespace span_detail
