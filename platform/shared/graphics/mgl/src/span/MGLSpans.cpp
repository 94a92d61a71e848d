#include "MGLSpans.h"

#include <cstdint>
#include <optional>

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

// The rows of a flat call, as far as one walk goes; whether rows are left
// (in `rows`) for a walk that looks the target up again.
bool DrawFlatRows(MGLContext& context, MGLSpanRows& rows) {
    RowWalk walk(context, rows, nullptr);
    walk.StepSelf();
    if (walk.Next()) {
        const span_detail::FlatCallState flat(context.Record(), walk.Row());
        do {
            flat.Draw(context.Record(), walk.Lag(), walk.Row());
        } while (walk.Next());
    }
    return walk.RowsLeft(rows);
}

// The same for a textured call: the sampler's row routine, chosen at the
// first row drawn, runs the rest. Without the sampler a fill keeps, the
// walk makes its own, which nothing the rows' steps call can replace
// under it.
bool DrawTexturedRows(MGLContext& context, MGLSpanRows& rows, MGLTextureSampler* kept) {
    std::optional<MGLTextureSampler> own;
    MGLTextureSampler& sampler = kept != nullptr ? *kept : own.emplace(context, 0);
    RowWalk walk(context, rows, &sampler);
    walk.StepSelfWhenApart(sampler);
    if (walk.Next()) span_detail::RowRoutineOf(sampler, walk.Row().format)(walk, sampler);
    return walk.RowsLeft(rows);
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
    MGLSpanRows left = rows;
    while (DrawFlatRows(context, left)) {
    }
}

// A kept sampler serves the first walk alone: the next starts only where
// a step changed what the sampler was made from.
void SpanRowsTexturedPerspective(MGLContext& context, const MGLSpanRows& rows) {
    MGLSpanRows left = rows;
    MGLTextureSampler* kept = MGLContextCore::Of(context).KeptSpanSampler();
    while (DrawTexturedRows(context, left, kept)) kept = nullptr;
}
