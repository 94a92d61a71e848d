#ifndef CTRIANGLE3D_H
#define CTRIANGLE3D_H

#include <cstdint>

#include "CVector2d.h"
#include "CVector3d.h"

class CPlane;

// A 3-D triangle by its three corners. The tests that reduce to 2-D project
// onto the coordinate plane chosen by the triangle plane's dominant axis.
class CTriangle3d {
public:
    // Point classification codes.
    static constexpr int32_t kInside = 1;  // inside or on the boundary
    static constexpr int32_t kOutside = 3;

    CVector3d a;
    CVector3d b;
    CVector3d c;

    CTriangle3d() {}
    CTriangle3d(const CVector3d& first, const CVector3d& second, const CVector3d& third)
        : a(first), b(second), c(third) {}

    // The 2-D point a dominant-axis code keeps: 0 (x, y), 1 (y, z), 2 (z, x).
    static CVector2d Project(const CVector3d& p, int32_t axis);

    // kInside when p, taken to lie in the triangle's plane, is inside or on
    // the boundary; kOutside otherwise (also on an edge's line beyond the edge).
    int32_t ClassifyPoint(const CVector3d& p) const;
    // The point of the triangle nearest to p.
    void ClosestPoint(const CVector3d& p, CVector3d& out) const;
    // Weights u, v, w of a, b, c for p, from unsigned areas in the projection
    // plane. A triangle without area has none: false, u = 1.0, v = w = 0.
    bool Barycentric(const CVector3d& p, int32_t& u, int32_t& v, int32_t& w) const;
    // |plane.Distance(p)| < kOnPlaneTolerance.
    static bool OnPlane(const CPlane& plane, const CVector3d& p);
    // True when the plane cuts or contains the triangle.
    bool IntersectsPlane(const CPlane& plane) const;
    // True when the triangles share a point.
    bool IntersectsTriangle(const CTriangle3d& other) const;
    // Closest points between the triangle (q) and the segment p0-p1 (r), with
    // r's parameter t along the segment.
    void ClosestPointsSegment(const CVector3d& p0, const CVector3d& p1, CVector3d& q, CVector3d& r,
                              int32_t& t) const;
    static void ClosestPointsSegment(const CVector3d& a, const CVector3d& b, const CVector3d& c,
                                     const CVector3d& p0, const CVector3d& p1, CVector3d& q, CVector3d& r,
                                     int32_t& t);
    // True when the sphere touches or overlaps the triangle.
    bool TestSphere(const CVector3d& centre, int32_t radius) const;
    // True when the segment p-q meets the triangle, from either side; t is the
    // parameter of the crossing along p -> q (written only on success). A
    // segment lying in the triangle's plane does not cross it.
    bool IntersectSegment(const CVector3d& p, const CVector3d& q, int32_t& t) const;
    static bool IntersectSegment(const CVector3d& a, const CVector3d& b, const CVector3d& c, const CVector3d& p,
                                 const CVector3d& q, int32_t& t);
    // Two (three) squared edge lengths exactly equal.
    bool IsIsosceles() const;
    bool IsEquilateral() const;
};

#endif
