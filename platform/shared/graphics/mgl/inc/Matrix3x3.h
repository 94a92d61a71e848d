#ifndef MATRIX3X3_H
#define MATRIX3X3_H

#include <cstdint>

#include "MGLFixed.h"

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

    // R v. Inline: it runs for every vertex of a draw.
    void Transform(const int32_t* v, int32_t* out) const { Transform(v[0], v[1], v[2], out); }
    void Transform(int32_t x, int32_t y, int32_t z, int32_t* out) const {
        int32_t result[3];
        for (int32_t row = 0; row < 3; ++row) result[row] = Dot3x16(At(row, 0), x, At(row, 1), y, At(row, 2), z);
        for (int32_t row = 0; row < 3; ++row) out[row] = result[row];
    }
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
