#ifndef CMATRIX4DH_H
#define CMATRIX4DH_H

#include <cstdint>

#include "CMatrixCounter.h"
#include "CVector4dh.h"

class CMatrix4d;

// A homogeneous (affine) 4x4 16.16 matrix: a 3x3 rotation block, the
// translation in elements 12-14 and a fourth column taken as (0, 0, 0, 1).
// Applied to row vectors as v x M; products pre-multiply (A * B applies B
// first) and neither read nor write the fourth column.
class CMatrix4dh {
public:
    // Elements zero, no automatic re-orthonormalisation.
    CMatrix4dh();
    // Copy through a pointer; a null source is reported and gives the default.
    explicit CMatrix4dh(const CMatrix4dh* source);
    // Rotation block and translation; elements 3, 7, 11 = 0 and 15 = 1.0.
    CMatrix4dh(int32_t m0, int32_t m1, int32_t m2, int32_t m4, int32_t m5, int32_t m6, int32_t m8, int32_t m9,
               int32_t m10, int32_t m12, int32_t m13, int32_t m14, uint16_t threshold);
    // All sixteen elements, copied unchanged.
    CMatrix4dh(const int32_t elements[16], uint16_t threshold);
    CMatrix4dh(const CVector4dh& row0, const CVector4dh& row1, const CVector4dh& row2, const CVector4dh& row3,
               uint16_t threshold);

    void SetIdentity();
    // Rotation block to identity (elements 3, 7, 11 = 0); translation row kept.
    void SetIdentityRotation();
    // Rows 0-2 and the counter state of the other matrix; row 3 kept.
    void SetRotation(const CMatrix4dh& m);
    void SetRotation(const CMatrix4d& m);
    // Pre-multiply the rotation block by the rotation about an axis; counted.
    void RotateX(int32_t angle);
    void RotateY(int32_t angle);
    void RotateZ(int32_t angle);
    // Rotation about the unit axis (x, y, z); counted twice.
    void Rotate(int32_t angle, int32_t x, int32_t y, int32_t z);
    // Adds to the translation; switches automatic re-orthonormalisation off.
    void Translate(int32_t x, int32_t y, int32_t z);
    // Rotation block as in CMatrix3d::AlignZ / AlignY; translation kept.
    void AlignZ(int32_t x, int32_t y, int32_t z);
    void AlignY(int32_t x, int32_t y, int32_t z);
    // Affine this = B x this; counted.
    CMatrix4dh& operator*=(const CMatrix4dh& b);
    // Gram-Schmidt on the columns of the rotation block; counter reset.
    void Orthonormalize();

    // Element i (< 16); any other index is reported and reaches a scratch word.
    int32_t& GetElement(uint32_t i);
    int32_t GetElement(uint32_t i) const;
    uint16_t GetThreshold() const { return m_counter.GetThreshold(); }
    uint16_t GetOperationCount() const { return m_counter.GetOperationCount(); }
    bool IsAutoOrthonormalize() const { return m_counter.IsAutoOrthonormalize(); }
    const CMatrixCounter& GetCounter() const { return m_counter; }

private:
    friend CMatrix4dh operator*(const CMatrix4dh& a, const CMatrix4dh& b);

    void CountOperation();

    int32_t m_elements[16];
    CMatrixCounter m_counter;
};

// Affine B x A with A's threshold and a fresh counter.
CMatrix4dh operator*(const CMatrix4dh& a, const CMatrix4dh& b);

#endif
