#ifndef MATRIX3X3_H
#define MATRIX3X3_H

#include <cstdint>

class MGLLookupTables;

// A 3D linear map in 16.16, row-major: m[3r + c] is row r, column c. The
// arithmetic rules of Matrix2x3.h hold: FixedMul16 per product, wrapping
// sums, outputs may alias inputs.
struct Matrix3x3 {
    int32_t m[9];

    int32_t At(int32_t row, int32_t column) const { return m[3 * row + column]; }

    // Rotations about an axis by an angle in 1/1024 of a turn; only the nine
    // words are written.
    void SetRotationX(const MGLLookupTables& tables, int32_t angle);
    void SetRotationY(const MGLLookupTables& tables, int32_t angle);
    void SetRotationZ(const MGLLookupTables& tables, int32_t angle);

    // R v.
    void Transform(const int32_t* v, int32_t* out) const;
    void Transform(int32_t x, int32_t y, int32_t z, int32_t* out) const;
    // R^T v.
    void TransposeTransform(const int32_t* v, int32_t* out) const;
    // Column j times v[j].
    void ScaleColumns(const int32_t* v);

    // R = R A.
    void MultiplyLinear(const Matrix3x3& other);
    // R = A^T R.
    void PreMultiplyTranspose(const Matrix3x3& other);
    // Swaps the entries mirrored across the diagonal.
    void Transpose();
};

static_assert(sizeof(Matrix3x3) == 36);

#endif
