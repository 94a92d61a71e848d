#ifndef CVECTOR2D_H
#define CVECTOR2D_H

#include <cstdint>

class CMatrix2d;

// A 2-D position, direction or offset in 16.16 fixed point. Products are
// FixedMul, quotients FixedDiv, sums wrap in 32 bits.
class CVector2d {
public:
    int32_t x;
    int32_t y;

    // Starts at zero.
    CVector2d() : x(0), y(0) {}
    CVector2d(int32_t vx, int32_t vy) : x(vx), y(vy) {}
    // A third component has no meaning for a 2-D vector.
    CVector2d(int32_t, int32_t, int32_t) = delete;

    void Set(int32_t vx, int32_t vy) {
        x = vx;
        y = vy;
    }
    void Zero() { Set(0, 0); }
    void SetZero() { Zero(); }

    CVector2d& operator+=(const CVector2d& v);
    CVector2d& operator-=(const CVector2d& v);
    CVector2d& operator*=(int32_t s);
    // FixedDiv of each component; see FixedDiv for a zero s.
    CVector2d& operator/=(int32_t s);
    // Row vector times matrix: x' = m0*x + m2*y, y' = m1*x + m3*y.
    CVector2d& operator*=(const CMatrix2d& m);

    static int32_t Dot(const CVector2d& a, const CVector2d& b);
    // Dot with the products summed in 64 bits (see FixedMulWide).
    static int64_t DotWide(const CVector2d& a, const CVector2d& b);
    // Meaningful while the squared length fits 16.16 (components up to ~181).
    int32_t Length() const;
    // A zero vector stays unchanged.
    CVector2d& Normalize();
    // Moves toward target by the 16.16 fraction t.
    CVector2d& Lerp(const CVector2d& target, int32_t t);
    // Turns from +x toward +y by angle (16.16 degrees); 0 leaves it untouched.
    CVector2d& Rotate(int32_t angle);
    // Heading in [0, 360) degrees; the zero vector gives 90.
    int32_t Angle() const;

    // Unsigned angle between two vectors, 0..180 degrees; 0 when either is zero.
    static int32_t AngleBetween(const CVector2d& a, const CVector2d& b);
    // Signed turn from a to b in degrees: exactly 180 comes out as -180.
    static int32_t AngleTo(const CVector2d& a, const CVector2d& b);
    // Distance from p to the segment a-b; closest receives the nearest point.
    static int32_t DistanceToSegment(const CVector2d& p, const CVector2d& a, const CVector2d& b,
                                     CVector2d& closest);
    static int32_t DistanceToSegment(const CVector2d& p, const CVector2d segment[2], CVector2d& closest);
    // Signed double area of (a, b, p): positive when p is left of a->b.
    static int32_t Side(const CVector2d& p, const CVector2d& a, const CVector2d& b);
    static int32_t Side(const CVector2d& p, const CVector2d segment[2]);
    // Winding number of the closed polygon of count points around p; a point
    // on an edge counts as crossing it. Non-zero means inside.
    static int32_t WindingNumber(const CVector2d& p, const CVector2d* points, int32_t count);
};

CVector2d operator+(const CVector2d& a, const CVector2d& b);
CVector2d operator-(const CVector2d& a, const CVector2d& b);
CVector2d operator*(int32_t s, const CVector2d& v);
CVector2d operator*(const CVector2d& v, int32_t s);
CVector2d operator/(const CVector2d& v, int32_t s);
// v transformed as a row vector by m (v x M).
CVector2d operator*(const CMatrix2d& m, const CVector2d& v);

#endif
