#include "MGLRowRoutine.h"

#include <cstdint>

#include "CColor.h"
#include "MGLCopiedTexel.h"
#include "MGLNearestRows.h"
#include "MGLRowWalk.h"
#include "MGLSampledTexel.h"
#include "MGLTexel.h"
#include "MGLTextureSampler.h"
#include "MGLTexturedRow.h"

namespace span_detail {

namespace {

// Any filter, through the sampler's own routine.
void RunSampled(RowWalk& rows, MGLTextureSampler& sampler) {
    uint32_t format = rows.Row().format;
    TexturedRow::RunRows<SampledTexel>(rows, sampler, format);
}

// The filtering modes for the formats with a decoder of their own; the
// sampler's own routine for the others.
RowRoutine ChooseFiltered(const MGLTextureSampler& sampler, uint32_t target) {
    RowRoutine routine = &RunSampled;
    texel_format::VisitDecoder(sampler.Format(), [&](auto texel) {
        routine = ChooseFilteredAs<decltype(texel)>(sampler, target);
    });
    return routine;
}

// The nearest texel for the formats with a decoder of their own, and L8;
// the sampler for the others.
RowRoutine ChooseNearest(const MGLTextureSampler& sampler, uint32_t target) {
    if (sampler.Format() == RSBFormat_L8) return ChooseNearestAs<texel_format::L8>(sampler, target);
    RowRoutine routine = &RunSampled;
    texel_format::VisitDecoder(sampler.Format(), [&](auto texel) {
        routine = ChooseNearestAs<decltype(texel)>(sampler, target);
    });
    return routine;
}

RowRoutine ChooseRow(const MGLTextureSampler& sampler, uint32_t target) {
    if (!sampler.SamplesOneTexel()) return ChooseFiltered(sampler, target);
    if (sampler.Format() == RSBFormat_R5G6B5 && target == RSBFormat_R5G6B5) {
        return ForWrap<NearestRows<CopiedTexel>>(sampler);
    }
    return ChooseNearest(sampler, target);
}

}  // namespace

// The choice is kept as a plain function pointer, and cast back to its own
// type to be run.
RowRoutine RowRoutineOf(MGLTextureSampler& sampler, uint32_t target) {
    MGLTextureSampler::RowChoice& choice = sampler.SpanRowChoice();
    if (choice.routine == nullptr || choice.target != target) {
        choice = {target, reinterpret_cast<void (*)()>(ChooseRow(sampler, target))};
    }
    return reinterpret_cast<RowRoutine>(choice.routine);
}

}  // namespace span_detail
