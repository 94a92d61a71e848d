#ifndef MGLROWWALK_H
#define MGLROWWALK_H

#include <cstdint>

#include "CMathFixed.h"
#include "MGLCallPlanes.h"
#include "MGLCallTarget.h"
#include "MGLContext.h"
#include "MGLFixed.h"
#include "MGLRecordAtColumn.h"
#include "MGLRowLag.h"
#include "MGLSpanRow.h"
#include "MGLSpans.h"
#include "MGLStepChecks.h"
#include "MGLTextureSampler.h"

namespace span_detail {

// Columns and row pointers of the call's row k, the record `lag` behind it
// (the row's format and pixel sizes are the target's, set once). False
// when nothing of the row is drawn: no columns left, or row pointers that
// do not start a row of their planes. Whatever the record's scissor and
// pointers say, the pixels lie inside the bound planes.
// (Inline in every row loop, as a call it would read all it reads again.)
[[gnu::always_inline]] inline bool SetUpRow(MGLContext& context, const CallTarget& target, const CallPlanes& planes,
                                            const RowLag& lag, int32_t k, int32_t x0, int32_t x1, SpanRow& row) {
    const MGLRecord& s = context.Record();
    const int32_t xs = target.FirstColumnOf(x0);
    const int32_t xe = target.EndColumnOf(x1);
    if (xs >= xe) return false;
    row.xs = xs;
    row.count = xe - xs;
    row.colour = planes.colour.Row(context, k, [&] { return lag.Pointer(s.destptr, s.deststride); }, xs, row.count);
    if (row.colour == nullptr) return false;
    if (target.depth) {
        row.depth = planes.depth.Row(context, k, [&] { return lag.Pointer(s.zptr, s.zstride); }, xs, row.count);
        if (row.depth == nullptr) return false;
    }
    return true;
}

// The rows of a span call, one drawable row at a time: after each row the
// fill's step, a textured row's end values written into the record first.
// Once told the rows can step themselves, the walk keeps the record where
// it stands and its rows lag it, until the last row: then the record takes
// the last drawn row's end values and every step at once.
//
// A host's step is the host's code, which may delete the context or let
// go of what the walk looked up at the start: the walk made with `checks`
// asks them after each step (StepChecks), touches nothing more once the
// context ended, and stops where something it looked up changed, leaving
// the rows after it to a walk that looks them up again (RowsLeft). The
// renderer's own fill steps with code of its own, which changes neither,
// and most often is not called at all (the rows step themselves): its
// walks are made without checks, and pay for none.
class RowWalk {
public:
    // Textured rows or flat ones; `checks` null for the fill's own rows.
    RowWalk(MGLContext& context, const MGLSpanRows& rows, bool textured, StepChecks* checks)
        : m_context(context),
          m_rows(rows),
          m_target(context),
          m_planes(context),
          m_checks(checks),
          m_textured(textured),
          m_lag(m_target.interpolants),
          m_perspective(context.Record().perspectiveGradients != 0) {
        m_row.format = m_target.format;
        m_row.bpp = m_target.bpp;
        m_row.zbpp = m_target.zbpp;
        m_row.interpolants = m_target.interpolants;
    }
    RowWalk(const RowWalk&) = delete;
    RowWalk& operator=(const RowWalk&) = delete;

    // To the next row with pixels to draw; false past the last row, or
    // once a step ended the context or changed what the walk looked up.
    [[gnu::always_inline]] bool Next() {
        if (m_index >= m_rows.count) return false;
        if (m_index >= 0 && !m_selfStepped) {
            if (m_lastDrawn == m_index) Finish();
            if (!Step()) return false;
        }
        while (++m_index < m_rows.count) {
            m_lag.rows = m_index - m_stepped;
            if (SetUpRow(m_context, m_target, m_planes, m_lag, m_index, m_rows.left[m_index], m_rows.right[m_index],
                         m_row)) {
                m_lastDrawn = m_index;
                return true;
            }
            if (!Step()) return false;
        }
        if (m_selfStepped) CatchUp();
        return false;
    }
    // Once Next has answered false: the rows a step left undrawn by
    // changing what the walk looked up, for a walk of their own; false
    // when there are none (the rows are done, or the context ended).
    bool RowsLeft(MGLSpanRows& rows) const {
        if (m_resumeAt < 0 || m_resumeAt >= m_rows.count) return false;
        rows = MGLSpanRows{m_rows.left + m_resumeAt, m_rows.right + m_resumeAt, m_rows.count - m_resumeAt,
                           m_rows.next, m_rows.fill, m_rows.step};
        return true;
    }
    // The rows step themselves where the fill says what its step does and
    // nothing they read lies in the record, which they then do not keep up
    // to date: no level the sampler may read, nor its palette (the planes
    // are memory of their own). Made before the first row, so that rows
    // with nothing to draw above it are not stepped either: the values are
    // taken here, and after each of the fill's steps from then on.
    void StepSelfWhenApart(MGLTextureSampler& sampler) {
        const auto* record = reinterpret_cast<const uint8_t*>(&m_context.Record());
        if (sampler.ReadsApartFrom(record, record + sizeof(MGLRecord))) StepSelf();
        TakeValues();
    }
    // The same for rows that read no texture: the record holds nothing
    // they read that their pixels could change.
    void StepSelf() {
        if (m_rows.step == nullptr) return;
        m_selfStepped = true;
        m_step = MGLRowStep{CMathFixed::Clamp(m_rows.step->planes, 0, kMaxInterpolants),
                            CMathFixed::Clamp(m_rows.step->terms, 0, kMaxInterpolants), m_rows.step->depth};
        m_lag.TakeSteps(m_context.Record(), m_step);
        m_planes.Follow(m_context.Record(), m_stepped);
    }
    const SpanRow& Row() const { return m_row; }
    const RowLag& Lag() const { return m_lag; }
    MGLContext& Context() const { return m_context; }
    int32_t Interpolants() const { return m_target.interpolants; }
    // Whether the record's rows divide by depth.
    bool Perspective() const { return m_perspective; }

private:
    // A row's values left in the record, for the row the walk is on: a
    // textured row's at its end, a flat row's at its first column.
    void Finish() {
        if (m_textured) {
            LeaveRecordAt(m_context.Record(), m_lag, m_target.interpolants, m_row.xs + m_row.count,
                          m_perspective);
        } else {
            LeaveFlat(m_row.xs);
        }
    }
    // A flat row's interpolants at column x: apart from the textured rows'
    // loops, which never take it, and into which it would be inlined.
    [[gnu::noinline]] void LeaveFlat(int32_t x) {
        SetInterpolants(m_context.Record(), m_lag, m_target.interpolants, x);
    }
    // False when the walk stops at the step: the rows after the one it is
    // on are then another walk's, if the context still lives.
    bool Step() {
        if (m_selfStepped) return true;
        if (!CallStep()) return false;
        ++m_stepped;
        TakeValues();
        return true;
    }
    // The step, and whether the walk may go on after it.
    [[gnu::noinline]] bool CallStep() {
        if (m_checks == nullptr) {
            m_rows.next(m_rows.fill);
            return true;
        }
        const StepChecks::After after = m_checks->Step(m_rows);
        if (after == StepChecks::After::GoOn) return true;
        if (after == StepChecks::After::LetGo) m_resumeAt = m_index + 1;
        m_index = m_rows.count;
        return false;
    }
    void TakeValues() {
        if (m_textured) m_lag.TakeValues(m_context.Record(), m_perspective);
    }
    // The record as the fill's steps after each row would have left it.
    void CatchUp() {
        MGLRecord& s = m_context.Record();
        // The last row drawn, at its lag and end (or first column), if any was.
        if (m_lastDrawn >= 0) {
            m_lag.rows = m_lastDrawn - m_stepped;
            if (m_textured) {
                const int32_t end = m_target.EndColumnOf(m_rows.right[m_lastDrawn]);
                LeaveRecordAt(s, m_lag, m_target.interpolants, end, m_perspective);
            } else {
                LeaveFlat(m_target.FirstColumnOf(m_rows.left[m_lastDrawn]));
            }
        }
        m_lag.rows = m_rows.count - m_stepped;
        s.destptr = m_lag.Pointer(s.destptr, s.deststride);
        s.zptr = m_lag.Pointer(s.zptr, s.zstride);
        // Locals: the record's words may alias the walk's, as far as the
        // compiler knows.
        const int32_t rows = m_lag.rows;
        const MGLRowStep step = m_step;
        for (int32_t i = 0; i < step.planes; ++i) s.intp_y[i] = WrapAdd(s.intp_y[i], WrapMul(rows, s.intp_dy[i]));
        for (int32_t i = 0; i < step.terms; ++i) {
            if (i != step.depth) s.K2x[i] = WrapAdd(s.K2x[i], WrapMul(rows, s.K1[i]));
        }
    }

    MGLContext& m_context;
    const MGLSpanRows& m_rows;
    const CallTarget m_target;
    CallPlanes m_planes;
    StepChecks* const m_checks;
    const bool m_textured;
    int32_t m_resumeAt = -1;  // the first row left to another walk, -1 for none
    bool m_selfStepped = false;
    MGLRowStep m_step{0, 0, -1};  // what the fill's step does, once the rows step themselves
    int32_t m_index = -1;
    int32_t m_stepped = 0;  // the fill's steps the record has had
    int32_t m_lastDrawn = -1;  // the last row drawn, -1 before any
    RowLag m_lag;
    SpanRow m_row;
    const bool m_perspective;
};

}  // namespace span_detail

#endif
