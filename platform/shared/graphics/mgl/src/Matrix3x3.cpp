#include "Matrix3x3.h"

#include <utility>

#include "CMathFixed.h"
#include "MGLFixed.h"
#include "MGLLookupTables.h"

namespace {

constexpr int32_t ONE = CMathFixed::ONE;

// The 3x3 rotation about one axis: `first` and `second` are the other two
// axes in their right-handed order, taking [c -s; s c] between them.
Matrix3x3 AxisRotation(const MGLLookupTables& tables, int32_t angle, int32_t axis, int32_t first, int32_t second) {
    int32_t cosine = 0;
    int32_t sine = 0;
    tables.SinCos(angle, &cosine, &sine);
    Matrix3x3 rotation{};
    rotation.m[3 * axis + axis] = ONE;
    rotation.m[3 * first + first] = cosine;
    rotation.m[3 * first + second] = WrapNeg(sine);
    rotation.m[3 * second + first] = sine;
    rotation.m[3 * second + second] = cosine;
    return rotation;
}

}  // namespace

void Matrix3x3::SetRotationX(const MGLLookupTables& tables, int32_t angle) {
    *this = AxisRotation(tables, angle, 0, 1, 2);
}

void Matrix3x3::SetRotationY(const MGLLookupTables& tables, int32_t angle) {
    *this = AxisRotation(tables, angle, 1, 2, 0);
}

void Matrix3x3::SetRotationZ(const MGLLookupTables& tables, int32_t angle) {
    *this = AxisRotation(tables, angle, 2, 0, 1);
}

void Matrix3x3::TransposeTransform(const int32_t* v, int32_t* out) const {
    int32_t result[3];
    for (int32_t column = 0; column < 3; ++column) {
        result[column] = Dot3x16(At(0, column), v[0], At(1, column), v[1], At(2, column), v[2]);
    }
    for (int32_t column = 0; column < 3; ++column) out[column] = result[column];
}

void Matrix3x3::ScaleColumns(const int32_t* v) {
    for (int32_t i = 0; i < 9; ++i) m[i] = FixedMul16(m[i], v[i % 3]);
}

void Matrix3x3::MultiplyLinear(const Matrix3x3& other) {
    Matrix3x3 product;
    for (int32_t row = 0; row < 3; ++row) {
        for (int32_t column = 0; column < 3; ++column) {
            product.m[3 * row + column] = Dot3x16(At(row, 0), other.At(0, column), At(row, 1), other.At(1, column),
                                                  At(row, 2), other.At(2, column));
        }
    }
    *this = product;
}

void Matrix3x3::PreMultiplyTranspose(const Matrix3x3& other) {
    Matrix3x3 product;
    for (int32_t row = 0; row < 3; ++row) {
        for (int32_t column = 0; column < 3; ++column) {
            product.m[3 * row + column] = Dot3x16(other.At(0, row), At(0, column), other.At(1, row), At(1, column),
                                                  other.At(2, row), At(2, column));
        }
    }
    *this = product;
}

void Matrix3x3::Transpose() {
    std::swap(m[1], m[3]);
    std::swap(m[2], m[6]);
    std::swap(m[5], m[7]);
}
