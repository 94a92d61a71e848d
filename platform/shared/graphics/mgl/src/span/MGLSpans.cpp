#include "MGLSpans.h"

#include <cstdint>

#include "MGLContextCore.h"
#include "MGLFlatCallState.h"
#include "MGLRowRoutine.h"
#include "MGLRowWalk.h"
#include "MGLTextureSampler.h"

namespace {

using span_detail::RowWalk;

void StayOnRow(void*) {}

// The one row of a span called for a row.
MGLSpanRows OneRow(const int32_t& x0, const int32_t& x1) {
    return MGLSpanRows{&x0, &x1, 1, StayOnRow, nullptr, nullptr};
}

}  // namespace

void SpanFlatDepth(MGLContext& context, uint32_t x0, uint32_t x1) {
    const int32_t left = static_cast<int32_t>(x0);
    const int32_t right = static_cast<int32_t>(x1);
    SpanRowsFlatDepth(context, OneRow(left, right));
}

void SpanTexturedPerspective(MGLContext& context, uint32_t x0, uint32_t x1) {
    const int32_t left = static_cast<int32_t>(x0);
    const int32_t right = static_cast<int32_t>(x1);
    SpanRowsTexturedPerspective(context, OneRow(left, right));
}

void SpanRowsFlatDepth(MGLContext& context, const MGLSpanRows& rows) {
    RowWalk walk(context, rows, false);
    walk.StepSelf();
    if (!walk.Next()) return;
    const span_detail::FlatCallState flat(context.Record(), walk.Row());
    do {
        flat.Draw(context.Record(), walk.Lag(), walk.Row());
    } while (walk.Next());
}

// The sampler's row routine, chosen at the first row drawn, runs the rest.
void SpanRowsTexturedPerspective(MGLContext& context, const MGLSpanRows& rows) {
    RowWalk walk(context, rows, true);
    MGLTextureSampler& sampler = MGLContextCore::Of(context).SpanSampler();
    walk.StepSelfWhenApart(sampler);
    if (!walk.Next()) return;
    span_detail::RowRoutineOf(sampler, walk.Row().format)(walk, sampler);
}
