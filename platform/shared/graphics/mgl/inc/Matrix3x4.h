#ifndef MATRIX3X4_H
#define MATRIX3X4_H

#include <cstddef>
#include <cstdint>

#include "Matrix3x3.h"

class MGLLookupTables;

// A 3D affine matrix in 16.16: the rotation part R, an orthographic flag and
// the translation t; a point p maps to R p + t. Its 52-byte layout is that of
// the renderer record's matrix stacks. The arithmetic rules of Matrix2x3.h
// hold: FixedMul16 per product, wrapping sums, outputs may alias inputs.
struct Matrix3x4 {
    Matrix3x3 r;
    // 1: a vertex transformed by it keeps w = 1.0; 0: its w becomes -z.
    uint8_t orthographic;
    uint8_t padding[3];
    int32_t t[3];

    // Rotations about an axis by an angle in 1/1024 of a turn, translation
    // 0, the flag unchanged.
    void SetRotationX(const MGLLookupTables& tables, int32_t angle);
    void SetRotationY(const MGLLookupTables& tables, int32_t angle);
    void SetRotationZ(const MGLLookupTables& tables, int32_t angle);
    // R = identity, t = 0, flag = 1.
    void Identity();

    // R p + t.
    void TransformPoint(const int32_t* p, int32_t* out) const { TransformPoint(p[0], p[1], p[2], out); }
    void TransformPoint(int32_t x, int32_t y, int32_t z, int32_t* out) const {
        int32_t rotated[3];
        r.Transform(x, y, z, rotated);
        for (int32_t i = 0; i < 3; ++i) out[i] = WrapAdd(rotated[i], t[i]);
    }
    // p itself becomes p - t, then out = R^T p.
    void InverseTransformPoint(int32_t* p, int32_t* out) const;
    // R^T ((x, y, z) - t).
    void InverseTransformPoint(int32_t x, int32_t y, int32_t z, int32_t* out) const;
    // Pipeline vertex: word 3 = 1.0; words 4-6 = R (words 0-2) + t; word 7 =
    // 1.0 when `orthographic` is non-zero, else -(word 6).
    void TransformToVertex(int32_t* vertex, int32_t orthographicVertex) const {
        vertex[3] = CMathFixed::ONE;
        TransformPoint(vertex, vertex + 4);
        vertex[7] = orthographicVertex != 0 ? CMathFixed::ONE : WrapNeg(vertex[6]);
    }
    // Homogeneous: words 4-6 = R (words 0-2) + t x word 3; word 7 = word 3
    // when `orthographic` is non-zero, else -(word 6).
    void TransformToVertexW(int32_t* vertex, int32_t orthographic) const;

    // t = R a.t + t, then R = R A, for a 4x4 operand of sixteen words in rows
    // of four: its 3x3 part is rows 0-2, columns 0-2, its translation words 12-14.
    void MultiplyMatrix4x4(const int32_t* other);
    // t = R a.t + t, then R = R A.
    void MultiplyAffine(const Matrix3x4& other);
    // R = R A.
    void MultiplyLinear(const Matrix3x3& other);
    // t = A^T t, then R = A^T R.
    void PreMultiplyTranspose(const Matrix3x3& other);
    // Columns times sx, sy, sz.
    void Scale(int32_t sx, int32_t sy, int32_t sz);
    // Row k and translation component k divided by the k-th factor, through
    // the table reciprocal; a zero factor gives 0.
    void DivideRows(const MGLLookupTables& tables, int32_t sx, int32_t sy, int32_t sz);
    // R becomes R^T; t stays.
    void Transpose3x3();

private:
    void MultiplyWith(const Matrix3x3& linear, const int32_t* translation);
};

static_assert(offsetof(Matrix3x4, orthographic) == 36);
static_assert(offsetof(Matrix3x4, t) == 40);
static_assert(sizeof(Matrix3x4) == 52);

#endif
