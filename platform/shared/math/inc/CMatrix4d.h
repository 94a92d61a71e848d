#ifndef CMATRIX4D_H
#define CMATRIX4D_H

#include <cstdint>

#include "CMatrixCounter.h"
#include "CVector4d.h"

// A general 4x4 16.16 matrix, row-major, applied to row vectors as v x M.
// Products pre-multiply: A * B applies B first. Re-orthonormalisation acts on
// the upper-left 3x3 block only.
class CMatrix4d {
public:
    // Elements zero, no automatic re-orthonormalisation.
    CMatrix4d();
    // Copy through a pointer; a null source is reported and gives the default.
    explicit CMatrix4d(const CMatrix4d* source);
    CMatrix4d(int32_t m0, int32_t m1, int32_t m2, int32_t m3, int32_t m4, int32_t m5, int32_t m6, int32_t m7,
              int32_t m8, int32_t m9, int32_t m10, int32_t m11, int32_t m12, int32_t m13, int32_t m14,
              int32_t m15, uint16_t threshold);
    CMatrix4d(const int32_t elements[16], uint16_t threshold);
    CMatrix4d(const CVector4d& row0, const CVector4d& row1, const CVector4d& row2, const CVector4d& row3,
              uint16_t threshold);

    // Not counted.
    void Transpose();
    // this = B x this (full 4x4 product); counted.
    CMatrix4d& operator*=(const CMatrix4d& b);
    // Gram-Schmidt on the columns of the 3x3 block; counter reset.
    void Orthonormalize();

    // Element i (< 16); any other index is reported and reaches a scratch word.
    int32_t& GetElement(uint32_t i);
    int32_t GetElement(uint32_t i) const;
    uint16_t GetThreshold() const { return m_counter.GetThreshold(); }
    uint16_t GetOperationCount() const { return m_counter.GetOperationCount(); }
    bool IsAutoOrthonormalize() const { return m_counter.IsAutoOrthonormalize(); }
    const CMatrixCounter& GetCounter() const { return m_counter; }

private:
    friend CMatrix4d operator*(const CMatrix4d& a, const CMatrix4d& b);

    void CountOperation();

    int32_t m_elements[16];
    CMatrixCounter m_counter;
};

// B x A with A's threshold and a fresh counter.
CMatrix4d operator*(const CMatrix4d& a, const CMatrix4d& b);

#endif
