#ifndef MGLROWLAG_H
#define MGLROWLAG_H

#include <algorithm>
#include <cstdint>

#include "MGLFixed.h"
#include "MGLPixelCoordinates.h"
#include "MGLSpanRow.h"
#include "MGLSpans.h"

namespace span_detail {

// How far the record's row values (row pointers, planes, perspective terms)
// stand behind the row a span is on: none while the fill steps the record
// between rows; `rows` of its steps while the span steps them itself. The
// steps of what a row reads (the planes of the first n interpolants, the
// terms of u and v) are taken once, as 0 where the fill's step leaves a
// value, so that a row adds them without asking which it steps.
//
// A textured row takes its values from what the record holds for the depth,
// u and v, taken (TakeValues) while the record stands: once a span call, or
// after each of the fill's steps. Each row would otherwise read it all
// again, and decide again which values the state steps, since its pixel
// stores may alias any memory, as far as the compiler knows.
class RowLag {
public:
    int32_t rows = 0;

    // No steps, for n interpolants (and the three textured values, which the state
    // may lack).
    explicit RowLag(int32_t n) : m_n(n) {
        std::fill_n(m_planes, std::max(n, kTerms), 0);
        std::fill_n(m_terms, kTerms, 0);
    }
    void TakeSteps(const MGLRecord& s, const MGLRowStep& step) {
        const int32_t planes = std::min(step.planes, m_n);
        for (int32_t i = 0; i < planes; ++i) m_planes[i] = s.intp_dy[i];
        for (int32_t i = 0; i < kTerms; ++i) {
            const bool steps = (i < step.terms) & (i != step.depth);
            m_terms[i] = steps ? s.K1[i] : 0;
        }
    }
    uint32_t Pointer(uint32_t pointer, int32_t stride) const {
        return pointer + static_cast<uint32_t>(rows) * static_cast<uint32_t>(stride);
    }
    // Interpolant i's plane at column 0 of the row, for i below n.
    int32_t Plane(const MGLRecord& s, int32_t i) const { return WrapAdd(s.intp_y[i], WrapMul(rows, m_planes[i])); }

    // The textured values of the record's row from column 0, with the steps taken so
    // far: interpolants the state lacks, and terms the span does not step,
    // keep the record's value along the row and from row to row.
    void TakeValues(const MGLRecord& s, bool perspective) {
        const int32_t n = m_n;
        const int32_t depth = s.depthInterpolant;
        for (int32_t i = 0; i < kTerms; ++i) {
            const bool has = i < n;
            m_start[i] = has ? s.intp_y[i] : s.intp[i];
            m_columnSteps[i] = has ? s.intp_dx[i] : 0;
        }
        for (int32_t i = kU; i < kTerms; ++i) {
            const bool steps = i < n && i != depth;
            const bool stepsHere = perspective && steps;
            m_k2x[i] = s.K2x[i];
            m_k3[i] = stepsHere ? s.K3y[i] : s.K3ys[i];
            m_k3Steps[i] = stepsHere ? s.K1[i] : 0;
            m_k1[i] = steps ? s.K1[i] : 0;
        }
    }
    // The values taken last, at column x of the row.
    TexturedValues ValuesFrom(int32_t x) const {
        const int32_t termU = Magnitude(TermAt(kU));
        const int32_t termV = Magnitude(TermAt(kV));
        return TexturedValues{ValueAt(0, x),
                              ValueAt(kU, x),
                              ValueAt(kV, x),
                              m_columnSteps[0],
                              m_columnSteps[kU],
                              m_columnSteps[kV],
                              termU > termV ? termU : termV,
                              WrapSub(m_k3[kU], WrapMul(x, m_k3Steps[kU])),
                              WrapSub(m_k3[kV], WrapMul(x, m_k3Steps[kV])),
                              m_k1[kU],
                              m_k1[kV]};
    }

private:
    static constexpr int32_t kTerms = kV + 1;

    int32_t ValueAt(int32_t i, int32_t x) const {
        return WrapAdd(WrapAdd(m_start[i], WrapMul(rows, m_planes[i])), WrapMul(x, m_columnSteps[i]));
    }
    // The perspective term K2x of u or v at the row.
    int32_t TermAt(int32_t i) const { return WrapAdd(m_k2x[i], WrapMul(rows, m_terms[i])); }

    int32_t m_n;
    int32_t m_planes[kMaxInterpolants];
    int32_t m_terms[kTerms];
    // What TakeValues took: depth, u and v at column 0 and per column
    // (per row: the planes' steps); K2x, K3ys (with its step per column)
    // and K1 of u and v.
    int32_t m_start[kTerms] = {};
    int32_t m_columnSteps[kTerms] = {};
    int32_t m_k2x[kTerms] = {};
    int32_t m_k3[kTerms] = {};
    int32_t m_k3Steps[kTerms] = {};
    int32_t m_k1[kTerms] = {};
};

}  // namespace span_detail

#endif
