#ifndef MGLRECORDATCOLUMN_H
#define MGLRECORDATCOLUMN_H

#include <cstdint>

#include "MGLContext.h"
#include "MGLFixed.h"
#include "MGLRowLag.h"

namespace span_detail {

// Interpolant i at column x of the row, for an interpolant the state has
// (i below n); the record's value for the others.
inline int32_t InterpolantAt(const MGLRecord& s, const RowLag& lag, int32_t i, int32_t n, int32_t x) {
    return i < n ? WrapAdd(lag.Plane(s, i), WrapMul(x, s.intp_dx[i])) : s.intp[i];
}

// The record's interpolants at column x.
inline void SetInterpolants(MGLRecord& s, const RowLag& lag, int32_t n, int32_t x) {
    for (int32_t i = 0; i < n; ++i) s.intp[i] = InterpolantAt(s, lag, i, n, x);
}

// Whether the span steps interpolant i's perspective term K3ys.
inline bool StepsTerm(const MGLRecord& s, int32_t i, int32_t n, bool perspective) {
    return perspective && i < n && i != s.depthInterpolant;
}

// K3ys of interpolant i at column x: K3y stepped by K1 from column 0 when
// the span steps it, else the record's.
inline int32_t TermAt(const MGLRecord& s, int32_t i, int32_t n, bool perspective, int32_t x) {
    return StepsTerm(s, i, n, perspective) ? WrapSub(s.K3y[i], WrapMul(x, s.K1[i])) : s.K3ys[i];
}

// The record's work values as the span leaves them: every interpolant
// stepped across the row, and the perspective terms with it (taken at the
// column past the row at once: the same wrapped sums as stepping them to
// the first column and then across).
inline void LeaveRecordAt(MGLRecord& s, const RowLag& lag, int32_t n, int32_t end, bool perspective) {
    SetInterpolants(s, lag, n, end);
    for (int32_t j = 0; j < n; ++j) {
        if (StepsTerm(s, j, n, perspective)) s.K3ys[j] = TermAt(s, j, n, perspective, end);
    }
}

}  // namespace span_detail

#endif
