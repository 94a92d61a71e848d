#include "MGLSpans.h"

#include <cstdint>

#include "MGLContextCore.h"
#include "MGLFillSpans.h"
#include "MGLFlatCallState.h"
#include "MGLRowRoutine.h"
#include "MGLRowWalk.h"
#include "MGLStepChecks.h"
#include "MGLTextureSampler.h"

namespace {

using span_detail::RowWalk;
using span_detail::StepChecks;

void StayOnRow(void*) {}

// The one row of a span called for a row, to the rows' routine.
template <void (*Rows)(MGLContext&, const MGLSpanRows&)>
void OneRow(MGLContext& context, uint32_t x0, uint32_t x1) {
    const int32_t left = static_cast<int32_t>(x0);
    const int32_t right = static_cast<int32_t>(x1);
    Rows(context, MGLSpanRows{&left, &right, 1, StayOnRow, nullptr, nullptr});
}

// A flat walk's rows.
[[gnu::always_inline]] inline void DrawFlat(MGLContext& context, RowWalk& walk) {
    walk.StepSelf();
    if (!walk.Next()) return;
    const span_detail::FlatCallState flat(context.Record(), walk.Row());
    do {
        flat.Draw(context.Record(), walk.Lag(), walk.Row());
    } while (walk.Next());
}

// A textured walk's rows: the sampler's row routine, chosen at the first
// row drawn, runs the rest.
[[gnu::always_inline]] inline void DrawTextured(RowWalk& walk, MGLTextureSampler& sampler) {
    walk.StepSelfWhenApart(sampler);
    if (walk.Next()) span_detail::RowRoutineOf(sampler, walk.Row().format)(walk, sampler);
}

// The rows of a host's flat call, as far as one walk goes; whether rows
// are left (put in `left`) for a walk that looks the target up again.
// Inline in the call, whose first walk is most often its only one.
[[gnu::always_inline]] inline bool DrawFlatRows(MGLContext& context, const MGLSpanRows& rows, MGLSpanRows& left) {
    StepChecks checks(context, nullptr);
    RowWalk walk(context, rows, false, &checks);
    DrawFlat(context, walk);
    return walk.RowsLeft(left);
}

// The same for a host's textured call.
[[gnu::always_inline]] inline bool DrawTexturedRows(MGLContext& context, const MGLSpanRows& rows, MGLSpanRows& left,
                                                     MGLTextureSampler& sampler) {
    StepChecks checks(context, &sampler);
    RowWalk walk(context, rows, true, &checks);
    DrawTextured(walk, sampler);
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

// The fill's textured rows where it keeps no sampler.
[[gnu::noinline]] void FillTexturedSampledAfresh(MGLContext& context, const MGLSpanRows& rows) {
    MGLTextureSampler sampler(context, 0);
    RowWalk walk(context, rows, true, nullptr);
    DrawTextured(walk, sampler);
}

}  // namespace

void SpanFlatDepth(MGLContext& context, uint32_t x0, uint32_t x1) { OneRow<SpanRowsFlatDepth>(context, x0, x1); }

void SpanTexturedPerspective(MGLContext& context, uint32_t x0, uint32_t x1) {
    OneRow<SpanRowsTexturedPerspective>(context, x0, x1);
}

// A host may call the public routines from anywhere, from a surface's tell
// before the context is told too: each first brings the target and the
// textures to their surfaces, as a draw does when it begins.
void SpanRowsFlatDepth(MGLContext& context, const MGLSpanRows& rows) {
    MGLContextCore::Of(context).FollowSurfaces();
    MGLSpanRows left{};
    if (DrawFlatRows(context, rows, left)) DrawFlatRowsLeft(context, left);
}

// A kept sampler serves the first walk alone: the next starts only where
// a step changed what the sampler was made from.
void SpanRowsTexturedPerspective(MGLContext& context, const MGLSpanRows& rows) {
    MGLContextCore::Of(context).FollowSurfaces();
    MGLSpanRows left{};
    MGLTextureSampler* kept = MGLContextCore::Of(context).KeptSpanSampler();
    const bool rowsLeft = kept != nullptr ? DrawTexturedRows(context, rows, left, *kept)
                                          : DrawTexturedRowsSampledAfresh(context, rows, left);
    if (rowsLeft) DrawTexturedRowsLeft(context, left);
}

namespace span_detail {

void FillSpanFlatDepth(MGLContext& context, uint32_t x0, uint32_t x1) {
    OneRow<FillRowsFlatDepth>(context, x0, x1);
}

void FillSpanTexturedPerspective(MGLContext& context, uint32_t x0, uint32_t x1) {
    OneRow<FillRowsTexturedPerspective>(context, x0, x1);
}

void FillRowsFlatDepth(MGLContext& context, const MGLSpanRows& rows) {
    RowWalk walk(context, rows, false, nullptr);
    DrawFlat(context, walk);
}

void FillRowsTexturedPerspective(MGLContext& context, const MGLSpanRows& rows) {
    MGLTextureSampler* kept = MGLContextCore::Of(context).KeptSpanSampler();
    if (kept == nullptr) return FillTexturedSampledAfresh(context, rows);
    RowWalk walk(context, rows, true, nullptr);
    DrawTextured(walk, *kept);
}

}  // namespace span_detail
