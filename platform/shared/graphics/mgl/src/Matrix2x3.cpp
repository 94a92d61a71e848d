#include "Matrix2x3.h"

#include "CMathFixed.h"
#include "MGLFixed.h"
#include "MGLLookupTables.h"

void Matrix2x3::SetRotation(const MGLLookupTables& tables, int32_t angle) {
    int32_t cosine = 0;
    int32_t sine = 0;
    tables.SinCos(angle, &cosine, &sine);
    *this = {cosine, WrapNeg(sine), sine, cosine, 0, 0};
}

void Matrix2x3::TransformPoint(const int32_t* p, int32_t* out) const { TransformPoint(p[0], p[1], out); }

void Matrix2x3::TransformPoint(int32_t x, int32_t y, int32_t* out) const {
    const int32_t rx = WrapAdd(Dot2x16(a, x, b, y), tx);
    const int32_t ry = WrapAdd(Dot2x16(c, x, d, y), ty);
    out[0] = rx;
    out[1] = ry;
}

void Matrix2x3::TransformVector(const int32_t* v, int32_t* out) const { TransformVector(v[0], v[1], out); }

void Matrix2x3::TransformVector(int32_t x, int32_t y, int32_t* out) const {
    const int32_t rx = Dot2x16(a, x, b, y);
    const int32_t ry = Dot2x16(c, x, d, y);
    out[0] = rx;
    out[1] = ry;
}

void Matrix2x3::InverseTransformPoint(int32_t* p, int32_t* out) const {
    p[0] = WrapSub(p[0], tx);
    p[1] = WrapSub(p[1], ty);
    InverseTransformVector(p, out);
}

void Matrix2x3::InverseTransformPoint(int32_t x, int32_t y, int32_t* out) const {
    const int32_t moved[2] = {WrapSub(x, tx), WrapSub(y, ty)};
    InverseTransformVector(moved, out);
}

void Matrix2x3::InverseTransformVector(const int32_t* v, int32_t* out) const {
    const int32_t rx = Dot2x16(a, v[0], c, v[1]);
    const int32_t ry = Dot2x16(b, v[0], d, v[1]);
    out[0] = rx;
    out[1] = ry;
}

void Matrix2x3::TransformToVertex(int32_t* vertex) const {
    TransformPoint(vertex[0], vertex[1], vertex + 4);
    vertex[7] = CMathFixed::ONE;
}

void Matrix2x3::Multiply(const int32_t* linear, const int32_t* translation) {
    int32_t moved[2];
    TransformPoint(translation, moved);
    *this = {Dot2x16(a, linear[0], b, linear[2]),
             Dot2x16(a, linear[1], b, linear[3]),
             Dot2x16(c, linear[0], d, linear[2]),
             Dot2x16(c, linear[1], d, linear[3]),
             moved[0],
             moved[1]};
}

void Matrix2x3::MultiplyAffine(const Matrix2x3& other) {
    const int32_t linear[4] = {other.a, other.b, other.c, other.d};
    const int32_t translation[2] = {other.tx, other.ty};
    Multiply(linear, translation);
}

void Matrix2x3::MultiplyLinear(const Matrix2x3& other) {
    // A zero translation leaves t as it is: M 0 + t.
    const int32_t linear[4] = {other.a, other.b, other.c, other.d};
    const int32_t none[2] = {0, 0};
    Multiply(linear, none);
}

void Matrix2x3::PreMultiplyTranspose(const Matrix2x3& other) {
    const int32_t translation[2] = {tx, ty};
    int32_t moved[2];
    other.InverseTransformVector(translation, moved);
    int32_t column0[2];
    int32_t column1[2];
    const int32_t m0[2] = {a, c};
    const int32_t m1[2] = {b, d};
    other.InverseTransformVector(m0, column0);
    other.InverseTransformVector(m1, column1);
    *this = {column0[0], column1[0], column0[1], column1[1], moved[0], moved[1]};
}

void Matrix2x3::ScaleColumns(const int32_t* v) { Scale(v[0], v[1]); }

void Matrix2x3::Scale(int32_t sx, int32_t sy) {
    a = FixedMul16(a, sx);
    c = FixedMul16(c, sx);
    b = FixedMul16(b, sy);
    d = FixedMul16(d, sy);
}

void Matrix2x3::DivideRows(const MGLLookupTables& tables, int32_t sx, int32_t sy) {
    const MGLReciprocal row0 = tables.Reciprocal(sx);
    const MGLReciprocal row1 = tables.Reciprocal(sy);
    a = ApplyReciprocal(a, row0);
    b = ApplyReciprocal(b, row0);
    tx = ApplyReciprocal(tx, row0);
    c = ApplyReciprocal(c, row1);
    d = ApplyReciprocal(d, row1);
    ty = ApplyReciprocal(ty, row1);
}
