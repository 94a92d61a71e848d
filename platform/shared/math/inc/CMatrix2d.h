#ifndef CMATRIX2D_H
#define CMATRIX2D_H

#include <cstdint>

#include "CMatrixCounter.h"
#include "CVector2d.h"

// A 2x2 16.16 rotation matrix, row-major (elements 0, 1 are row 0), applied
// to row vectors as v x M. Products pre-multiply: A * B applies B first.
class CMatrix2d {
public:
    // Elements zero, no automatic re-orthonormalisation.
    CMatrix2d();
    // Copy through a pointer; a null source is reported and gives the default.
    explicit CMatrix2d(const CMatrix2d* source);
    CMatrix2d(int32_t m0, int32_t m1, int32_t m2, int32_t m3, uint16_t threshold);
    CMatrix2d(const CVector2d rows[2], uint16_t threshold);
    CMatrix2d(const CVector2d& row0, const CVector2d& row1, uint16_t threshold);

    // All elements 0; counter reset, flag and threshold kept.
    void SetZero();
    void SetIdentity();
    // Row 0 times sx, row 1 times sy; switches automatic re-orthonormalisation off.
    void Scale(int32_t sx, int32_t sy);
    void Scale(const CVector2d& s);
    // Pre-multiplies by the rotation of angle (16.16 degrees); counted.
    void Rotate(int32_t angle);
    // this = B x this; counted.
    CMatrix2d& operator*=(const CMatrix2d& b);
    void Orthonormalize();

    // Element i (< 4); any other index is reported and reaches a scratch word.
    int32_t& GetElement(uint32_t i);
    int32_t GetElement(uint32_t i) const;
    uint16_t GetThreshold() const { return m_counter.GetThreshold(); }
    uint16_t GetOperationCount() const { return m_counter.GetOperationCount(); }
    bool IsAutoOrthonormalize() const { return m_counter.IsAutoOrthonormalize(); }

private:
    friend CMatrix2d operator*(const CMatrix2d& a, const CMatrix2d& b);

    void CountOperation();

    int32_t m_elements[4];
    CMatrixCounter m_counter;
};

// B x A with A's threshold and a fresh counter.
CMatrix2d operator*(const CMatrix2d& a, const CMatrix2d& b);

#endif
