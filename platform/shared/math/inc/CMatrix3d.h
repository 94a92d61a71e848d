#ifndef CMATRIX3D_H
#define CMATRIX3D_H

#include <cstdint>

#include "CMatrixCounter.h"
#include "CVector3d.h"

class CMatrix4d;
class CMatrix4dh;

// A 3x3 16.16 rotation matrix, row-major (elements 0-2 are row 0, the image
// of the x axis), applied to row vectors as v x M. Products pre-multiply:
// A * B applies B first.
class CMatrix3d {
public:
    // Elements zero, no automatic re-orthonormalisation.
    CMatrix3d();
    // Copy through a pointer; a null source is reported and gives the default.
    explicit CMatrix3d(const CMatrix3d* source);
    CMatrix3d(int32_t m0, int32_t m1, int32_t m2, int32_t m3, int32_t m4, int32_t m5, int32_t m6, int32_t m7,
              int32_t m8, uint16_t threshold);
    CMatrix3d(const int32_t elements[9], uint16_t threshold);
    CMatrix3d(const CVector3d& row0, const CVector3d& row1, const CVector3d& row2, uint16_t threshold);
    // The upper-left 3x3 block, with the other matrix's counter state as it is.
    explicit CMatrix3d(const CMatrix4d& m);
    explicit CMatrix3d(const CMatrix4dh& m);

    void SetIdentity();
    // Pre-multiply by the rotation about an axis (16.16 degrees); counted.
    void RotateX(int32_t angle);
    void RotateY(int32_t angle);
    void RotateZ(int32_t angle);
    // Rotation about the unit axis (x, y, z); counted twice.
    void Rotate(int32_t angle, int32_t x, int32_t y, int32_t z);
    // An orthonormal right-handed basis whose column 2 (AlignZ) or column 1
    // (AlignY) is the normalised direction; counter reset.
    void AlignZ(int32_t x, int32_t y, int32_t z);
    void AlignY(int32_t x, int32_t y, int32_t z);
    // Not counted.
    void Transpose();
    // this = B x this; counted.
    CMatrix3d& operator*=(const CMatrix3d& b);
    void Orthonormalize();

    // Element i (< 9); any other index is reported and reaches a scratch word.
    int32_t& GetElement(uint32_t i);
    int32_t GetElement(uint32_t i) const;
    uint16_t GetThreshold() const { return m_counter.GetThreshold(); }
    uint16_t GetOperationCount() const { return m_counter.GetOperationCount(); }
    bool IsAutoOrthonormalize() const { return m_counter.IsAutoOrthonormalize(); }

private:
    friend CMatrix3d operator*(const CMatrix3d& a, const CMatrix3d& b);

    void CountOperation();

    int32_t m_elements[9];
    CMatrixCounter m_counter;
};

// B x A with A's threshold and a fresh counter.
CMatrix3d operator*(const CMatrix3d& a, const CMatrix3d& b);

#endif
