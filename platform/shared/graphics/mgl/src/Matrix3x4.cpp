#include "Matrix3x4.h"

#include "CMathFixed.h"
#include "MGLFixed.h"
#include "MGLLookupTables.h"

namespace {

constexpr int32_t ONE = CMathFixed::ONE;
// Words of a 4x4 operand: rows of four, translation in the last row.
constexpr int32_t kOperandRowWords = 4;
constexpr int32_t kOperandTranslation = 12;

}  // namespace

void Matrix3x4::SetRotationX(const MGLLookupTables& tables, int32_t angle) {
    r.SetRotationX(tables, angle);
    t[0] = t[1] = t[2] = 0;
}

void Matrix3x4::SetRotationY(const MGLLookupTables& tables, int32_t angle) {
    r.SetRotationY(tables, angle);
    t[0] = t[1] = t[2] = 0;
}

void Matrix3x4::SetRotationZ(const MGLLookupTables& tables, int32_t angle) {
    r.SetRotationZ(tables, angle);
    t[0] = t[1] = t[2] = 0;
}

void Matrix3x4::Identity() {
    r = {{ONE, 0, 0, 0, ONE, 0, 0, 0, ONE}};
    orthographic = 1;
    t[0] = t[1] = t[2] = 0;
}


void Matrix3x4::InverseTransformPoint(int32_t* p, int32_t* out) const {
    for (int32_t i = 0; i < 3; ++i) p[i] = WrapSub(p[i], t[i]);
    r.TransposeTransform(p, out);
}

void Matrix3x4::InverseTransformPoint(int32_t x, int32_t y, int32_t z, int32_t* out) const {
    const int32_t moved[3] = {WrapSub(x, t[0]), WrapSub(y, t[1]), WrapSub(z, t[2])};
    r.TransposeTransform(moved, out);
}

void Matrix3x4::TransformToVertexW(int32_t* vertex, int32_t orthographicVertex) const {
    const int32_t w = vertex[3];
    int32_t rotated[3];
    r.Transform(vertex, rotated);
    for (int32_t i = 0; i < 3; ++i) vertex[4 + i] = WrapAdd(rotated[i], FixedMul16(t[i], w));
    vertex[7] = orthographicVertex != 0 ? w : WrapNeg(vertex[6]);
}

void Matrix3x4::MultiplyWith(const Matrix3x3& linear, const int32_t* translation) {
    TransformPoint(translation, t);
    r.MultiplyLinear(linear);
}

void Matrix3x4::MultiplyMatrix4x4(const int32_t* other) {
    Matrix3x3 linear;
    for (int32_t row = 0; row < 3; ++row) {
        for (int32_t column = 0; column < 3; ++column) {
            linear.m[3 * row + column] = other[kOperandRowWords * row + column];
        }
    }
    MultiplyWith(linear, other + kOperandTranslation);
}

void Matrix3x4::MultiplyAffine(const Matrix3x4& other) { MultiplyWith(other.r, other.t); }

void Matrix3x4::MultiplyLinear(const Matrix3x3& other) { r.MultiplyLinear(other); }

void Matrix3x4::PreMultiplyTranspose(const Matrix3x3& other) {
    other.TransposeTransform(t, t);
    r.PreMultiplyTranspose(other);
}

void Matrix3x4::Scale(int32_t sx, int32_t sy, int32_t sz) {
    const int32_t factors[3] = {sx, sy, sz};
    r.ScaleColumns(factors);
}

void Matrix3x4::DivideRows(const MGLLookupTables& tables, int32_t sx, int32_t sy, int32_t sz) {
    const int32_t factors[3] = {sx, sy, sz};
    for (int32_t row = 0; row < 3; ++row) {
        const MGLReciprocal reciprocal = tables.Reciprocal(factors[row]);
        for (int32_t column = 0; column < 3; ++column) {
            r.m[3 * row + column] = ApplyReciprocal(r.m[3 * row + column], reciprocal);
        }
        t[row] = ApplyReciprocal(t[row], reciprocal);
    }
}

void Matrix3x4::Transpose3x3() { r.Transpose(); }
