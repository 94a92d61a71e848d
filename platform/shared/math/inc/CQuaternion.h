#ifndef CQUATERNION_H
#define CQUATERNION_H

#include <cstdint>

#include "CVector3d.h"

class CMatrix3d;

// A rotation as a 16.16 quaternion (x, y, z vector part, w scalar part); the
// identity is (0, 0, 0, 1.0). Angles are 16.16 degrees, t a 16.16 fraction.
//
// Lengths and divisors are not checked by the algebra below, so a zero
// quaternion follows FixedDiv's zero-divisor rule (no trap).
class CQuaternion {
public:
    int32_t x;
    int32_t y;
    int32_t z;
    int32_t w;

    // Starts at zero.
    CQuaternion() : x(0), y(0), z(0), w(0) {}
    CQuaternion(int32_t qx, int32_t qy, int32_t qz, int32_t qw) : x(qx), y(qy), z(qz), w(qw) {}
    // Scalar part w, vector part v.
    CQuaternion(int32_t qw, const CVector3d& v) : x(v.x), y(v.y), z(v.z), w(qw) {}
    // Copy through a pointer; a null source is reported and gives zero.
    explicit CQuaternion(const CQuaternion* source);
    // A fifth component has no meaning.
    CQuaternion(int32_t, int32_t, int32_t, int32_t, int32_t) = delete;

    void Set(int32_t qx, int32_t qy, int32_t qz, int32_t qw) {
        x = qx;
        y = qy;
        z = qz;
        w = qw;
    }

    static int32_t Dot(const CQuaternion& p, const CQuaternion& q);
    int32_t Length() const;
    CQuaternion& Normalize();
    void Normalized(CQuaternion& out) const;

    CQuaternion& operator/=(int32_t s);
    CQuaternion operator/(int32_t s) const;
    CQuaternion operator*(int32_t s) const;
    CQuaternion operator+(const CQuaternion& p) const;
    CQuaternion operator-() const;
    // this = this . q (Hamilton product).
    CQuaternion& operator*=(const CQuaternion& q);

    // Rotation matrix, automatic re-orthonormalisation off.
    void ToMatrix(CMatrix3d& out) const;
    // Unit axis and angle in degrees. With no rotation (sine of the half angle
    // 0) the axis is undefined: (1.0, 0, 0) is given with the angle from w.
    void ToAxisAngle(CVector3d& axis, int32_t& angle) const;
    // Angles about z, y and x in degrees; about z and x within (-90, 90). A
    // zero denominator gives +-90 by its numerator's sign (0 for 0 / 0).
    void ToEuler(CVector3d& out) const;
    void Log(CQuaternion& out) const;
    void Exp(CQuaternion& out) const;

    // Spherical interpolation along the shorter arc.
    static void Slerp(CQuaternion& out, const CQuaternion& p, const CQuaternion& q, int32_t t);
    // Spherical interpolation along the arc from p to q as given, which may be
    // the longer one.
    static void SlerpNoInvert(CQuaternion& out, const CQuaternion& p, const CQuaternion& q, int32_t t);
    // Normalised linear interpolation along the shorter arc.
    static void Nlerp(CQuaternion& out, const CQuaternion& p, const CQuaternion& q, int32_t t);
};

#endif
