#include "MGLSpans.h"

#include <cstdint>

#include "MGLContextCore.h"
#include "MGLFlatCallState.h"
#include "MGLOwnSpans.h"
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
// (put in `left`) for a walk that looks the target up again. Inline in the
// call, whose first walk is most often its only one.
[[gnu::always_inline]] inline bool DrawFlatRows(MGLContext& context, const MGLSpanRows& rows, MGLSpanRows& left) {
    RowWalk walk(context, rows, nullptr);
    walk.StepSelf();
    if (walk.Next()) {
        const span_detail::FlatCallState flat(context.Record(), walk.Row());
        do {
            flat.Draw(context.Record(), walk.Lag(), walk.Row());
        } while (walk.Next());
    }
    return walk.RowsLeft(left);
}

// The same for a textured call: the sampler's row routine, chosen at the
// first row drawn, runs the rest.
[[gnu::always_inline]] inline bool DrawTexturedRows(MGLContext& context, const MGLSpanRows& rows, MGLSpanRows& left,
                                                     MGLTextureSampler& sampler) {
    RowWalk walk(context, rows, &sampler);
    walk.StepSelfWhenApart(sampler);
    if (walk.Next()) span_detail::RowRoutineOf(sampler, walk.Row().format)(walk, sampler);
    return walk.RowsLeft(left);
}

// Without the sampler a fill keeps, the walk's own, which nothing the
// rows' steps call can replace under it. Apart, so that the kept sampler's
// calls do not set up room for one.
[[gnu::noinline]] bool DrawTexturedRowsSampledAfresh(MGLContext& context, const MGLSpanRows& rows, MGLSpanRows& left) {
    MGLTextureSampler sampler(context, 0);
    return DrawTexturedRows(context, rows, left, sampler);
}

// The walks after the first, each over the rows the last one left.
[[gnu::noinline]] void DrawFlatRowsLeft(MGLContext& context, MGLSpanRows left) {
    while (DrawFlatRows(context, left, left)) {
    }
}
[[gnu::noinline]] void DrawTexturedRowsLeft(MGLContext& context, MGLSpanRows left) {
    while (DrawTexturedRowsSampledAfresh(context, left, left)) {
    }
}

}  // namespace

namespace span_detail {

void OwnFlatDepth(MGLContext& context, uint32_t x0, uint32_t x1) {
    const int32_t left = static_cast<int32_t>(x0);
    const int32_t right = static_cast<int32_t>(x1);
    OwnRowsFlatDepth(context, OneRow(left, right));
}

void OwnTexturedPerspective(MGLContext& context, uint32_t x0, uint32_t x1) {
    const int32_t left = static_cast<int32_t>(x0);
    const int32_t right = static_cast<int32_t>(x1);
    OwnRowsTexturedPerspective(context, OneRow(left, right));
}

void OwnRowsFlatDepth(MGLContext& context, const MGLSpanRows& rows) {
    MGLSpanRows left{};
    if (DrawFlatRows(context, rows, left)) DrawFlatRowsLeft(context, left);
}

// A kept sampler serves the first walk alone: the next starts only where
// a step changed what the sampler was made from.
void OwnRowsTexturedPerspective(MGLContext& context, const MGLSpanRows& rows) {
    MGLSpanRows left{};
    MGLTextureSampler* kept = MGLContextCore::Of(context).KeptSpanSampler();
    const bool rowsLeft = kept != nullptr ? DrawTexturedRows(context, rows, left, *kept)
                                          : DrawTexturedRowsSampledAfresh(context, rows, left);
    if (rowsLeft) DrawTexturedRowsLeft(context, left);
}

}  // namespace span_detail

void SpanFlatDepth(MGLContext& context, uint32_t x0, uint32_t x1) {
    MGLContextCore::Of(context).FollowSurfaces();
    span_detail::OwnFlatDepth(context, x0, x1);
}

void SpanTexturedPerspective(MGLContext& context, uint32_t x0, uint32_t x1) {
    MGLContextCore::Of(context).FollowSurfaces();
    span_detail::OwnTexturedPerspective(context, x0, x1);
}

void SpanRowsFlatDepth(MGLContext& context, const MGLSpanRows& rows) {
    MGLContextCore::Of(context).FollowSurfaces();
    span_detail::OwnRowsFlatDepth(context, rows);
}

void SpanRowsTexturedPerspective(MGLContext& context, const MGLSpanRows& rows) {
    MGLContextCore::Of(context).FollowSurfaces();
    span_detail::OwnRowsTexturedPerspective(context, rows);
}
