#ifndef GEOMETRYTESTSUPPORT_H
#define GEOMETRYTESTSUPPORT_H

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "CVector2d.h"
#include "CVector3d.h"
#include "FixedTestUtil.h"

// Real-valued points for computing expected results independently of the
// fixed-point code, and comparisons with a tolerance in raw 16.16 units.
namespace GeometryTest {

using FixedTest::ToFixed;
using FixedTest::ToReal;

// One unit of the square root's last place: fixed-point lengths keep 8
// fraction bits, so normalised vectors and distances carry this much error.
inline constexpr double kLengthStep = 1.0 / 256.0;

struct Real2 {
    double x, y;
};

struct Real3 {
    double x, y, z;
};

inline CVector2d V2(double x, double y) { return CVector2d(ToFixed(x), ToFixed(y)); }
inline CVector3d V3(double x, double y, double z) { return CVector3d(ToFixed(x), ToFixed(y), ToFixed(z)); }
inline Real2 R(const CVector2d& v) { return {ToReal(v.x), ToReal(v.y)}; }
inline Real3 R(const CVector3d& v) { return {ToReal(v.x), ToReal(v.y), ToReal(v.z)}; }

inline Real2 operator+(Real2 a, Real2 b) { return {a.x + b.x, a.y + b.y}; }
inline Real2 operator-(Real2 a, Real2 b) { return {a.x - b.x, a.y - b.y}; }
inline Real2 operator*(double s, Real2 v) { return {s * v.x, s * v.y}; }
inline double Dot(Real2 a, Real2 b) { return a.x * b.x + a.y * b.y; }
inline double Length(Real2 v) { return std::sqrt(Dot(v, v)); }

inline Real3 operator+(Real3 a, Real3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Real3 operator-(Real3 a, Real3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Real3 operator*(double s, Real3 v) { return {s * v.x, s * v.y, s * v.z}; }
inline double Dot(Real3 a, Real3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline double Length(Real3 v) { return std::sqrt(Dot(v, v)); }
inline Real3 Cross(Real3 a, Real3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline Real3 Unit(Real3 v) { return (1.0 / Length(v)) * v; }

// The point of segment a-b nearest to p, in real numbers.
template <class Real>
Real NearestOnSegment(Real a, Real b, Real p) {
    const Real d = b - a;
    const double len2 = Dot(d, d);
    if (len2 == 0.0) return a;
    double t = Dot(p - a, d) / len2;
    t = t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t);
    return a + t * d;
}

// Minimum over [0, 1] of a convex function, by ternary search in doubles.
template <class F>
double MinimiseConvex(F f, double& at) {
    double low = 0.0;
    double high = 1.0;
    for (int i = 0; i < 200; ++i) {
        const double m1 = low + (high - low) / 3.0;
        const double m2 = high - (high - low) / 3.0;
        if (f(m1) < f(m2)) {
            high = m2;
        } else {
            low = m1;
        }
    }
    at = (low + high) / 2.0;
    return f(at);
}

// Nearest point of triangle (a, b, c) to p, in real numbers: the projection
// onto the plane when it falls inside, else the nearest edge point.
inline Real3 NearestOnTriangle(Real3 a, Real3 b, Real3 c, Real3 p) {
    const Real3 n = Unit(Cross(b - a, c - a));
    const Real3 onPlane = p - Dot(p - a, n) * n;
    const double s1 = Dot(Cross(b - a, onPlane - a), n);
    const double s2 = Dot(Cross(c - b, onPlane - b), n);
    const double s3 = Dot(Cross(a - c, onPlane - c), n);
    if (s1 >= 0 && s2 >= 0 && s3 >= 0) return onPlane;
    Real3 best = NearestOnSegment(a, b, p);
    for (Real3 candidate : {NearestOnSegment(b, c, p), NearestOnSegment(c, a, p)}) {
        if (Length(candidate - p) < Length(best - p)) best = candidate;
    }
    return best;
}

}  // namespace GeometryTest

// Component-wise comparison of a fixed-point vector with real values, within
// tolerance raw units.
#define EXPECT_VEC2_NEAR(v, ex, ey, tolerance)                                  \
    do {                                                                        \
        EXPECT_NEAR((v).x, GeometryTest::ToFixed(ex), (tolerance)) << "x";      \
        EXPECT_NEAR((v).y, GeometryTest::ToFixed(ey), (tolerance)) << "y";      \
    } while (0)

#define EXPECT_VEC3_NEAR(v, ex, ey, ez, tolerance)                              \
    do {                                                                        \
        EXPECT_NEAR((v).x, GeometryTest::ToFixed(ex), (tolerance)) << "x";      \
        EXPECT_NEAR((v).y, GeometryTest::ToFixed(ey), (tolerance)) << "y";      \
        EXPECT_NEAR((v).z, GeometryTest::ToFixed(ez), (tolerance)) << "z";      \
    } while (0)

#endif
