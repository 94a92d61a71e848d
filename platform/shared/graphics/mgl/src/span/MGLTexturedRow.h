#ifndef MGLTEXTUREDROW_H
#define MGLTEXTUREDROW_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "CColor.h"
#include "MGLContextCore.h"
#include "MGLDepthWork.h"
#include "MGLFixed.h"
#include "MGLPixelCoordinates.h"
#include "MGLPixelQuads.h"
#include "MGLPixelTexels.h"
#include "MGLRowCursor.h"
#include "MGLRowLag.h"
#include "MGLRowWalk.h"
#include "MGLSpanRow.h"
#include "MGLStoreFormat.h"
#include "MGLTexelRule.h"

namespace span_detail {

// The perspective divide's reciprocal table, its size and the depth
// offset, as the record gives them.
inline PerspectiveDivide DivideOf(const MGLContext& context) {
    const MGLRecord& s = context.Record();
    return PerspectiveDivide{
        context.Tables().RecipTable4(),
        static_cast<uint64_t>(s.recipTableSizeM1 > 0 ? s.recipTableSizeM1 : MGLLookupTables::kTableSizeM1), s.cfz0};
}

// A textured row's pixels: the depth test, the texture coordinates and
// level of detail of each pixel, and its texel written by a texel rule
// (TexelRule) chosen once for the row (a template argument, so that the
// rule's work per pixel is inlined and the choice is not made again at
// each pixel).
struct TexturedRow {
    const MGLContext& context;
    const SpanRow& row;
    const RowLag& lag;
    int32_t n;
    bool perspective;

    // Perspective rows of this many pixels or more have their coordinates
    // worked out ahead of the pixels, a run at a time; shorter ones, and
    // affine rows, which have no divide to share out, take them pixel by
    // pixel, for the pixels that pass the depth test only. Trilinear rows
    // work their quads out ahead too, which repays itself sooner.
    static constexpr int32_t kAheadPixels = 8;
    static constexpr int32_t kQuadsAheadPixels = 4;

    // The rule is made from `made` in the loop's own function, where it
    // stays in registers, rather than copied there.
    template <class Rule, class... Made>
    void Run(Made&&... made) const {
        if (TakesAhead<Rule>()) {
            RunAhead<Rule>(std::forward<Made>(made)...);
        } else {
            RunEach<Rule>(std::forward<Made>(made)...);
        }
    }

    // Run for the row the walk is on and each drawable row after it, for a rule
    // that keeps nothing of the row it is on (its texels and levels are
    // the sampler's): rows taken pixel by pixel share one rule, and what
    // the rows read alike, made once. Where long rows take a rule of
    // their own (Long, which keeps the row's bytes), rows of its
    // kLongRowPixels or more are run with one made for them.
    template <TexelRule Rule, TexelRule Long = Rule, class... Made>
    [[gnu::flatten, gnu::noinline]] static void RunRows(RowWalk& walk, Made&... made);

private:
    // What a row's loop reads from the record, taken once.
    struct Start {
        MGLPixelCoordinates::Lod lod;
        TexturedValues w;
        DepthWork depth;
        PerspectiveDivide divide;
    };

    template <class Rule>
    Start StartOf(const Rule& rule) const {
        const MGLRecord& s = context.Record();
        return Start{{rule.ReadsLod(), s.K1[kU] > s.K1[kV] ? s.K1[kU] : s.K1[kV],
                      WrapShiftLeft(WrapSub(s.texture_units[0].b.maxD, 1), 16)},
                     lag.ValuesFrom(row.xs),
                     DepthWork(s, row),
                     DivideOf(context)};
    }

    // The texel of a pixel that passed the depth test, and its depth.
    template <class Rule>
    static void Shade(Rule& rule, const DepthWork& depth, const RowCursor& at, int32_t z, int32_t u, int32_t v,
                      int32_t lod) {
        if (rule.Passes(u, v, lod)) Store(rule, depth, at, z);
    }
    template <class Rule>
    static void Store(Rule& rule, const DepthWork& depth, const RowCursor& at, int32_t z) {
        depth.Write(at.depth, z);
        rule.Store(at.colour);
    }

    // What a run of pixels worked out ahead reads, the first pixel at depth z.
    struct AheadRun {
        const MGLPixelCoordinates& ahead;
        const MGLPixelQuads& quads;
        const MGLPixelTexels& texels;
        int32_t pixels;
        int32_t z;
        int32_t depthStep;
    };

    // Whether pixel i of a run worked out ahead is written.
    template <class Rule>
    static bool PassesAhead(Rule& rule, const AheadRun& run, int32_t i) {
        if constexpr (QuadsAheadRule<Rule>) {
            return rule.PassesAhead(run.ahead, run.quads, i);
        } else if constexpr (TexelsAheadRule<Rule>) {
            return rule.PassesAhead(run.ahead, run.texels, i);
        } else {
            return rule.Passes(run.ahead.u[i], run.ahead.v[i], run.ahead.lod[i]);
        }
    }

    // The bytes of the pixels a rule stores, where its target is fixed
    // for the row; 0 where it looks at the row's format.
    template <class Rule>
    static constexpr int32_t kPixelBytes =
        static_cast<int32_t>(CColor::BytesPerPixel(PixelFormatOf(Rule::kStoreFormat)));

    // Whether a run can take ShadeTestedRun: rows that test and write depth,
    // in a plane of kDepthBytes, and whose rule fixes the pixels' size.
    template <class Rule>
    static bool TakesTested(const DepthWork& depth, const RowCursor& at) {
        return kPixelBytes<Rule> != 0 && at.bpp == kPixelBytes<Rule> && depth.test && depth.write &&
               at.zbpp == static_cast<int32_t>(kDepthBytes);
    }

    // Any run, its cursor left past it.
    template <class Rule>
    static void ShadeRun(Rule& rule, const DepthWork& depth, RowCursor& at, const AheadRun& run) {
        int32_t z = run.z;
        for (int32_t i = 0; i < run.pixels; ++i) {
            if (depth.Passes(at.depth, z) && PassesAhead(rule, run, i)) Store(rule, depth, at, z);
            at.Step();
            z = WrapAdd(z, run.depthStep);
        }
    }

    // A run of a row that TakesTested: the same pixels, with the strides
    // fixed and no depth switch or plane looked at per pixel. It is the
    // commonest run, and repays a loop of its own.
    template <class Rule>
    static void ShadeTestedRun(Rule& rule, RowCursor& at, const AheadRun& run) {
        constexpr ptrdiff_t kBytes = kPixelBytes<Rule>;
        int32_t z = run.z;
        for (int32_t i = 0; i < run.pixels; ++i) {
            uint8_t* depthAt = at.depth + i * static_cast<ptrdiff_t>(kDepthBytes);
            if (DepthWork::Nearer(depthAt, z) && PassesAhead(rule, run, i)) {
                StoreWord(depthAt, static_cast<uint32_t>(z));
                rule.Store(at.colour + i * kBytes);
            }
            z = WrapAdd(z, run.depthStep);
        }
        at.StepWithDepth(run.pixels);
    }

    // Whether the row's coordinates are worked out ahead.
    template <class Rule>
    bool TakesAhead() const {
        return perspective && row.count >= (QuadsAheadRule<Rule> ? kQuadsAheadPixels : kAheadPixels);
    }

    // Whether RunRows leaves the row to a rule of its own for long rows.
    template <class Rule, class Long>
    bool TakesLong() const {
        if constexpr (std::is_same_v<Rule, Long>) {
            return false;
        } else {
            return row.count >= Long::kLongRowPixels;
        }
    }

    // Each loop a function of its own, its values in registers of its own:
    // the short rows' loop stays as lean as it would be alone.
    template <class Rule, class... Made>
    [[gnu::flatten, gnu::noinline]] void RunEach(Made&&... made) const {
        Rule rule{std::forward<Made>(made)...};
        const Start start = StartOf(rule);
        PixelReciprocals reciprocals(start.divide);
        EachPixel(rule, start, reciprocals);
        rule.Finish();
    }

    // What the rows of a call that take EachTestedPixel share: perspective
    // rows that TakesTested. The planes' sizes, the depth work, the levels
    // (for a rule that reads the nearest texel of one level) and the divide
    // are the call's. The reciprocals serve every row taken pixel by pixel:
    // a row's depths mostly fall in the band of the row's before it.
    struct TestedCallState {
        bool taken;
        NearestRowLevels levels;
        PixelReciprocals reciprocals;
    };

    template <class Rule>
    TestedCallState TestedCallStateOf(const Rule& rule, const Start& start) const {
        const bool taken = perspective && TakesTested<Rule>(start.depth, RowCursor(row));
        if constexpr (LevelOnlyRule<Rule>) {
            return TestedCallState{taken, rule.RowLevels(start.lod), PixelReciprocals(start.divide)};
        }
        return TestedCallState{taken, NearestRowLevels{0, 0}, PixelReciprocals(start.divide)};
    }

    // The row's pixels, through EachTestedPixel where the call's rows take it.
    template <class Rule>
    [[gnu::always_inline]] void EachRowPixel(Rule& rule, const Start& start, TestedCallState& tested) const {
        if (tested.taken) return EachTestedPixel(rule, start, tested);
        EachPixel(rule, start, tested.reciprocals);
    }

    // Whether the pixel of such a row at reciprocal q is written: for a rule
    // that reads the nearest texel of one level, that level taken within
    // the row's bounds; for the others, the level of detail as EachPixel
    // takes it.
    template <class Rule>
    static bool PassesTested(Rule& rule, const MGLPixelCoordinates::Lod& lodChoice, const NearestRowLevels& levels,
                             const PixelReciprocal& q, const TexturedValues& w, int32_t u, int32_t v) {
        if constexpr (LevelOnlyRule<Rule>) {
            const int32_t level = levels.highest > 0 ? PerspectiveLevel(q, w, levels.highest) : levels.fixed;
            return rule.PassesOn(level, u, v);
        } else {
            const int32_t lod = lodChoice.perPixel ? PerspectiveLod(q, w) : lodChoice.fixed;
            return rule.Passes(u, v, lod > lodChoice.max ? lodChoice.max : lod);
        }
    }

    // EachPixel for such rows: the strides and the depth work fixed.
    template <class Rule>
    [[gnu::always_inline]] void EachTestedPixel(Rule& rule, const Start& start, TestedCallState& tested) const {
        constexpr ptrdiff_t kBytes = kPixelBytes<Rule>;
        TexturedValues w = start.w;
        uint8_t* colour = row.colour;
        uint8_t* depth = row.depth;
        const int32_t count = row.count;
        for (int32_t i = 0; i < count; ++i) {
            if (DepthWork::Nearer(depth, w.depth)) {
                const PixelReciprocal q = tested.reciprocals.Of(w.depth);
                int32_t u, v;
                PerspectiveCoordinates(q, w, &u, &v);
                if (PassesTested(rule, start.lod, tested.levels, q, w, u, v)) {
                    StoreWord(depth, static_cast<uint32_t>(w.depth));
                    rule.Store(colour);
                }
            }
            colour += kBytes;
            depth += kDepthBytes;
            w.Advance(1);
        }
    }

    // The row's pixels one by one, with a rule made for it or kept, and
    // the reciprocals of the rows before it.
    template <class Rule>
    [[gnu::always_inline]] void EachPixel(Rule& rule, const Start& start, PixelReciprocals& reciprocals) const {
        const DepthWork& depth = start.depth;
        const MGLPixelCoordinates::Lod& lodChoice = start.lod;
        TexturedValues w = start.w;
        const bool divides = perspective;
        const bool readsLod = lodChoice.perPixel;
        const int32_t maxLod = lodChoice.max;
        RowCursor at(row);
        for (int32_t i = 0; i < at.count; ++i) {
            if (depth.Passes(at.depth, w.depth)) {
                int32_t u = w.u, v = w.v, lod = lodChoice.fixed;
                if (divides) {
                    const PixelReciprocal q = reciprocals.Of(w.depth);
                    PerspectiveCoordinates(q, w, &u, &v);
                    if (readsLod) lod = LevelOnlyRule<Rule> ? PerspectiveLevelLod(q, w) : PerspectiveLod(q, w);
                }
                Shade(rule, depth, at, w.depth, u, v, lod > maxLod ? maxLod : lod);
            }
            at.Step();
            w.Advance(1);
        }
    }

    template <class Rule, class... Made>
    [[gnu::flatten, gnu::noinline]] void RunAhead(Made&&... made) const {
        Rule rule{std::forward<Made>(made)...};
        const Start start = StartOf(rule);
        const DepthWork& depth = start.depth;
        TexturedValues w = start.w;
        RowCursor at(row);
        const bool tested = TakesTested<Rule>(depth, at);
        MGLPixelCoordinates ahead;
        // Apart from the rule, which then stays in registers.
        MGLPixelQuads quads;
        MGLPixelTexels texels;
        for (int32_t done = 0; done < at.count; done += MGLPixelCoordinates::kPixels) {
            const int32_t pixels = std::min(at.count - done, MGLPixelCoordinates::kPixels);
            ahead.Fill(w, start.divide, start.lod, pixels);
            if constexpr (QuadsAheadRule<Rule>) rule.FillQuads(ahead, quads, pixels);
            if constexpr (TexelsAheadRule<Rule>) rule.FillAhead(ahead, texels, pixels);
            const AheadRun run{ahead, quads, texels, pixels, w.depth, w.depthStep};
            if (tested) {
                ShadeTestedRun(rule, at, run);
            } else {
                ShadeRun(rule, depth, at, run);
            }
            w.Advance(pixels);
        }
        rule.Finish();
    }
};

// TexturedRow's loop over the rows of a call, on the row the walk is at.
template <TexelRule Rule, TexelRule Long, class... Made>
void TexturedRow::RunRows(RowWalk& walk, Made&... made) {
    Rule rule{made...};
    const TexturedRow loop{walk.Context(), walk.Row(), walk.Lag(), walk.Interpolants(), walk.Perspective()};
    Start start = loop.StartOf(rule);
    TestedCallState tested = loop.TestedCallStateOf(rule, start);
    do {
        if (loop.TakesLong<Rule, Long>()) {
            loop.Run<Long>(made...);
            continue;
        }
        if (loop.TakesAhead<Rule>()) {
            loop.RunAhead<Rule>(made...);
            continue;
        }
        start.w = loop.lag.ValuesFrom(loop.row.xs);
        loop.EachRowPixel(rule, start, tested);
        rule.Finish();
    } while (walk.Next());
}

}  // namespace span_detail

#endif
