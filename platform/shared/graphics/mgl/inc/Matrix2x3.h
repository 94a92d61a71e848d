#ifndef MATRIX2X3_H
#define MATRIX2X3_H

#include <cstdint>

class MGLLookupTables;

// An affine 2D matrix in 16.16: the row-major linear part [a b; c d] and the
// translation (tx, ty); a point p maps to (a p.x + b p.y + tx, c p.x + d p.y + ty).
// Its 24-byte layout is that of the renderer record's 2D matrix stack.
//
// Every product of two values is FixedMul16 and every sum wraps in 32 bits,
// so a dot product rounds each term on its own. Points and vectors are
// arrays of two words; outputs may be the inputs (results are computed
// before they are stored). Nothing checks its arguments.
struct Matrix2x3 {
    int32_t a;
    int32_t b;
    int32_t c;
    int32_t d;
    int32_t tx;
    int32_t ty;

    // [cos -sin; sin cos] of an angle in 1/1024 of a turn, translation 0.
    void SetRotation(const MGLLookupTables& tables, int32_t angle);

    // M p + t.
    void TransformPoint(const int32_t* p, int32_t* out) const;
    void TransformPoint(int32_t x, int32_t y, int32_t* out) const;
    // M v.
    void TransformVector(const int32_t* v, int32_t* out) const;
    void TransformVector(int32_t x, int32_t y, int32_t* out) const;
    // p itself becomes p - t, then out = M^T p.
    void InverseTransformPoint(int32_t* p, int32_t* out) const;
    // M^T (x - tx, y - ty).
    void InverseTransformPoint(int32_t x, int32_t y, int32_t* out) const;
    // M^T v.
    void InverseTransformVector(const int32_t* v, int32_t* out) const;
    // Pipeline vertex words 4, 5 = M (word 0, word 1) + t; word 7 = 1.0.
    void TransformToVertex(int32_t* vertex) const;

    // t = M at + t, then M = M A, for A = [a0 a1; a2 a3] given as four words.
    void Multiply(const int32_t* linear, const int32_t* translation);
    // t = M a.t + t, then M = M A.
    void MultiplyAffine(const Matrix2x3& other);
    // M = M A, translations untouched.
    void MultiplyLinear(const Matrix2x3& other);
    // t = A^T t, then M = A^T M.
    void PreMultiplyTranspose(const Matrix2x3& other);
    // Column j of M times v[j]; t unchanged.
    void ScaleColumns(const int32_t* v);
    void Scale(int32_t sx, int32_t sy);
    // Row 0 and tx divided by sx, row 1 and ty by sy, through the table
    // reciprocal; a zero factor gives 0.
    void DivideRows(const MGLLookupTables& tables, int32_t sx, int32_t sy);
};

static_assert(sizeof(Matrix2x3) == 24);

#endif
