#ifndef CTRIANGLE2D_H
#define CTRIANGLE2D_H

#include <cstdint>

#include "CVector2d.h"

// A 2-D triangle by its three corners.
class CTriangle2d {
public:
    // Point and segment classification codes.
    static constexpr int32_t kInside = 1;  // inside or on the boundary
    static constexpr int32_t kCrossing = 2;
    static constexpr int32_t kOutside = 3;

    CVector2d a;
    CVector2d b;
    CVector2d c;

    CTriangle2d() {}
    CTriangle2d(const CVector2d& first, const CVector2d& second, const CVector2d& third)
        : a(first), b(second), c(third) {}

    // FixedMul(b.x - a.x, p.y - a.y) - FixedMul(p.x - a.x, b.y - a.y):
    // positive when p is left of a -> b.
    static int32_t Orient(const CVector2d& a, const CVector2d& b, const CVector2d& p);
    // kInside when p is inside or on an edge, else kOutside. Only the signs of
    // the three edge tests are compared, so a point on the line of an edge but
    // beyond it is outside.
    int32_t ClassifyPoint(const CVector2d& p) const;
    // kCrossing when p-q crosses an edge (ends included), else kInside or
    // kOutside by where p lies.
    int32_t ClassifySegment(const CVector2d& p, const CVector2d& q) const;
    // True when the triangles touch or overlap.
    bool IntersectsTriangle(const CTriangle2d& other) const;
    // Weights u, v, w of a, b, c for p (u + v + w == 1.0). A triangle without
    // area has none: false, with u = 1.0 and v = w = 0.
    bool Barycentric(const CVector2d& p, int32_t& u, int32_t& v, int32_t& w) const;
    // Two (three) squared edge lengths exactly equal.
    bool IsIsosceles() const;
    bool IsEquilateral() const;
};

#endif
