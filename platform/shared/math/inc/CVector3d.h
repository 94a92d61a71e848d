#ifndef CVECTOR3D_H
#define CVECTOR3D_H

#include <cstdint>

#include "CMathFixed.h"

class CMatrix3d;
class CMatrix4dh;

// A 3-D position, direction or offset in 16.16 fixed point: three 32-bit
// words and nothing else, so arrays of it can be read as arrays of words.
// Products are FixedMul, quotients FixedDiv, sums wrap in 32 bits.
class CVector3d {
public:
    int32_t x;
    int32_t y;
    int32_t z;

    // Starts at zero.
    CVector3d() : x(0), y(0), z(0) {}
    CVector3d(int32_t vx, int32_t vy, int32_t vz) : x(vx), y(vy), z(vz) {}
    // Copy through a pointer; a null source is reported and gives zero.
    explicit CVector3d(const CVector3d* source);

    void Set(int32_t vx, int32_t vy, int32_t vz) {
        x = vx;
        y = vy;
        z = vz;
    }
    // Copy through a pointer; a null source is reported and leaves it unchanged.
    CVector3d& operator=(const CVector3d* source);

    // Component i (0 x, 1 y, 2 z). Any other index is reported and reaches a
    // scratch word, so nothing of the vector is touched through it.
    int32_t& operator[](uint32_t i);
    int32_t operator[](uint32_t i) const;

    CVector3d& operator+=(const CVector3d& v);
    CVector3d& operator-=(const CVector3d& v);
    // The scalar added to / subtracted from each component.
    CVector3d& operator+=(int32_t s);
    CVector3d& operator-=(int32_t s);
    CVector3d& operator*=(int32_t s);
    // FixedDiv of each component; see FixedDiv for a zero s.
    CVector3d& operator/=(int32_t s);
    // Row vector times matrix: x' = m0*x + m3*y + m6*z, and so on.
    CVector3d& operator*=(const CMatrix3d& m);
    // As the point (x, y, z, 1) times the matrix: the translation row is added.
    CVector3d& operator*=(const CMatrix4dh& m);

    static CVector3d Sub(const CVector3d& a, const CVector3d& b);
    static int32_t Dot(const CVector3d& a, const CVector3d& b);
    // Dot with the products summed in 64 bits (see FixedMulWide).
    static int64_t DotWide(const CVector3d& a, const CVector3d& b);
    // this = this x v, every product from the old components.
    CVector3d& Cross(const CVector3d& v);
    // a x b into a new vector.
    static CVector3d Cross(const CVector3d& a, const CVector3d& b);
    // Meaningful while the squared length fits 16.16 (components up to ~181).
    int32_t Length() const;
    // A zero vector stays unchanged.
    CVector3d& Normalize();
    // The largest component by signed comparison.
    int32_t MaxComponent() const;
    CVector3d& Lerp(const CVector3d& target, int32_t t);
    // RotateX and RotateZ turn the other way from CVector2d::Rotate (a positive
    // angle about z turns +x toward -y); RotateY turns +x toward +z.
    CVector3d& RotateX(int32_t angle);
    CVector3d& RotateY(int32_t angle);
    CVector3d& RotateZ(int32_t angle);

    // Unsigned angle between two vectors, 0..180 degrees; 0 when either is zero.
    static int32_t AngleBetween(const CVector3d& a, const CVector3d& b);
    // Distance from p to the segment a-b; closest receives the nearest point.
    static int32_t DistanceToSegment(const CVector3d& p, const CVector3d& a, const CVector3d& b,
                                     CVector3d& closest);
    static int32_t DistanceToSegment(const CVector3d& p, const CVector3d segment[2], CVector3d& closest);
};

CVector3d operator+(const CVector3d& a, const CVector3d& b);
CVector3d operator-(const CVector3d& a, const CVector3d& b);
CVector3d operator*(int32_t s, const CVector3d& v);
CVector3d operator*(const CVector3d& v, int32_t s);
// v transformed as a row vector by m.
CVector3d operator*(const CMatrix3d& m, const CVector3d& v);
// v transformed as a point by m (translation added).
CVector3d operator*(const CMatrix4dh& m, const CVector3d& v);

#endif
