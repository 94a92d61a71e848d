#include "CLineSegment2d.h"

#include "CAssert.h"
#include "CFixedWide.h"
#include "CMathFixed.h"
#include "CPlane.h"
#include "CTriangle3d.h"
#include "GeometryTolerance.h"

namespace {

// The 2-D and 3-D closest-point routines are the same algorithm over either
// vector type.
// Their dot products are held in 64 bits: far from the origin or on long
// segments they pass the 16.16 range.
template <class Vector>
int32_t ClosestPointOnSegment(const Vector& a, const Vector& b, const Vector& p, Vector& point) {
    const Vector d = b - a;
    const int64_t n = Vector::DotWide(p - a, d);
    if (n <= 0) {
        point = a;
        return 0;
    }
    const int64_t m = Vector::DotWide(d, d);
    if (n >= m) {
        point = b;
        return CMathFixed::ONE;
    }
    const int32_t t = FixedDivWide(n, m);
    point = a + d * t;
    return t;
}

int32_t ClampUnitParameter(int32_t value) { return CMathFixed::Clamp(value, 0, CMathFixed::ONE); }

// Parameters of the closest points of p1 + s d1 and p2 + t d2, both clamped
// to the segments, with degenerate segments treated as points.
template <class Vector>
void ClosestPointsOfSegments(const Vector& p1, const Vector& q1, const Vector& p2, const Vector& q2, Vector& c1,
                             Vector& c2, int32_t& s, int32_t& t) {
    const Vector d1 = q1 - p1;
    const Vector d2 = q2 - p2;
    const Vector r = p1 - p2;
    const int64_t a = Vector::DotWide(d1, d1);
    const int64_t e = Vector::DotWide(d2, d2);
    const int64_t f = Vector::DotWide(d2, r);
    if (a <= kGeometryTolerance && e <= kGeometryTolerance) {
        s = t = 0;
        c1 = p1;
        c2 = p2;
        return;
    }
    if (a <= kGeometryTolerance) {
        s = 0;
        t = ClampUnitParameter(FixedDivWide(f, e));
    } else {
        const int64_t c = Vector::DotWide(d1, r);
        if (e <= kGeometryTolerance) {
            t = 0;
            s = ClampUnitParameter(FixedDivWide(-c, a));
        } else {
            const int64_t b = Vector::DotWide(d1, d2);
            const int64_t denom = FixedMulWide(a, e) - FixedMulWide(b, b);
            s = (denom > kGeometryTolerance || denom < -kGeometryTolerance)
                    ? ClampUnitParameter(FixedDivWide(FixedMulWide(b, f) - FixedMulWide(c, e), denom))
                    : 0;
            const int64_t tn = FixedMulWide(b, s) + f;
            if (tn < 0) {
                t = 0;
                s = ClampUnitParameter(FixedDivWide(-c, a));
            } else if (tn > e) {
                t = CMathFixed::ONE;
                s = ClampUnitParameter(FixedDivWide(b - c, a));
            } else {
                t = FixedDivWide(tn, e);
            }
        }
    }
    c1 = p1 + d1 * s;
    c2 = p2 + d2 * t;
}

int32_t Cross2d(const CVector2d& u, const CVector2d& v) { return FixedMul(u.x, v.y) - FixedMul(u.y, v.x); }

bool IsZero(const CVector3d& v) { return v.x == 0 && v.y == 0 && v.z == 0; }

CVector2d HalfOf(const CVector2d& v) { return CVector2d(v.x >> 1, v.y >> 1); }

}  // namespace

int32_t CLineSegment2d::Orientation(const CVector2d& p) const { return Orientation2d(a, b, p); }

CVector2d& CLineSegment2d::DistanceVector(const CVector2d& p, CVector2d& out, int32_t& t) const {
    return ClosestPointOnSegment2dDelta(a, b, p, out, t);
}

bool CLineSegment2d::IntersectLines(const CLineSegment2d& other, int32_t& s, int32_t& t) const {
    return IntersectLines2d(a, b, other.a, other.b, &s, &t);
}

int32_t Orientation2d(const CVector2d& a, const CVector2d& b, const CVector2d& p) {
    const int32_t cross = CVector2d::Side(p, a, b);
    if (cross < 0) return kOrientationRight;
    if (cross == 0) return kOrientationCollinear;
    return kOrientationLeft;
}

int32_t ClosestPointOnSegment2d(const CVector2d& a, const CVector2d& b, const CVector2d& p, CVector2d& point) {
    return ClosestPointOnSegment(a, b, p, point);
}

CVector2d& ClosestPointOnSegment2dDelta(const CVector2d& a, const CVector2d& b, const CVector2d& p,
                                        CVector2d& out, int32_t& t) {
    CVector2d closest;
    t = ClosestPointOnSegment(a, b, p, closest);
    out = p - closest;
    return out;
}

void ClosestPointsOfSegments2d(const CVector2d& p1, const CVector2d& q1, const CVector2d& p2,
                               const CVector2d& q2, CVector2d& c1, CVector2d& c2, int32_t& s, int32_t& t) {
    ClosestPointsOfSegments(p1, q1, p2, q2, c1, c2, s, t);
}

bool IntersectLines2d(const CVector2d& a0, const CVector2d& a1, const CVector2d& b0, const CVector2d& b1,
                      int32_t* tA, int32_t* tB) {
    const CVector2d d1 = a1 - a0;
    const CVector2d d2 = b1 - b0;
    const int32_t den = Cross2d(d1, d2);
    if (den == 0) return false;
    const CVector2d w = b0 - a0;
    if (tA != nullptr) *tA = FixedDiv(Cross2d(w, d2), den);
    if (tB != nullptr) *tB = FixedDiv(Cross2d(w, d1), den);
    return true;
}

bool SegmentsCross2d(const CVector2d& p, const CVector2d& q, const CVector2d& e0, const CVector2d& e1) {
    int32_t tSegment = 0;
    int32_t tEdge = 0;
    if (!IntersectLines2d(p, q, e0, e1, &tSegment, &tEdge)) return false;
    return tSegment >= 0 && tSegment <= CMathFixed::ONE && tEdge >= 0 && tEdge <= CMathFixed::ONE;
}

bool PointInRect2d(const CVector2d& p, const CVector2d& min, const CVector2d& max) {
    return min.x <= p.x && p.x < max.x && min.y <= p.y && p.y < max.y;
}

bool SegmentIntersectsRect2d(const CVector2d& a, const CVector2d& b, const CVector2d& min, const CVector2d& max) {
    if (PointInRect2d(a, min, max) || PointInRect2d(b, min, max)) return true;
    return SegmentsCross2d(a, b, min, CVector2d(max.x, min.y)) || SegmentsCross2d(a, b, min, max) ||
           SegmentsCross2d(a, b, CVector2d(min.x, max.y), max);
}

bool GetPolygonEdge(const CVector2d* points, int32_t count, int32_t index, const CVector2d** first,
                    const CVector2d** second, const CVector2d** next) {
    ASSERT(first != nullptr && second != nullptr);
    ASSERT(points != nullptr && index >= 0 && index < count);
    if (first == nullptr || second == nullptr || points == nullptr || index < 0 || index >= count) return false;
    *first = &points[index];
    *second = &points[(index + 1) % count];
    if (next != nullptr) *next = &points[(index + 2) % count];
    return true;
}

void PolygonCornerDirection(const CVector2d& previous, const CVector2d& corner, const CVector2d& following,
                            CVector2d& out, int32_t winding) {
    ASSERT(winding == kWindingRight || winding == kWindingLeft);
    const CVector2d h = HalfOf((previous - corner) + (following - corner));
    out = winding == kWindingRight ? h : CVector2d(0, 0) - h;
    out.Normalize();
}

int32_t ClosestPointOnSegment3d(const CVector3d& a, const CVector3d& b, const CVector3d& p, CVector3d& point) {
    return ClosestPointOnSegment(a, b, p, point);
}

CVector3d& ClosestPointOnSegment3dDelta(const CVector3d& a, const CVector3d& b, const CVector3d& p,
                                        CVector3d& out, int32_t& t) {
    CVector3d closest;
    t = ClosestPointOnSegment(a, b, p, closest);
    out = p - closest;
    return out;
}

void ClosestPointsOfSegments3d(const CVector3d& p1, const CVector3d& q1, const CVector3d& p2,
                               const CVector3d& q2, CVector3d& c1, CVector3d& c2, int32_t& s, int32_t& t) {
    ClosestPointsOfSegments(p1, q1, p2, q2, c1, c2, s, t);
}

bool IntersectCoplanarLines3d(const CVector3d& p1, const CVector3d& q1, const CVector3d& p2,
                              const CVector3d& q2, int32_t& s, int32_t& t) {
    // The plane through the first line and one point of the second; when that
    // point lies on the first line, the second line's other point spans it.
    CPlane plane(p1, q1, p2);
    CVector3d remaining = q2;
    if (IsZero(plane.normal)) {
        plane.Set(p1, q1, q2);
        remaining = p2;
    }
    if (IsZero(plane.normal)) return false;
    if (CMathFixed::Abs(plane.Distance(remaining)) >= kGeometryTolerance) return false;
    const int32_t axis = plane.DominantAxis();
    return IntersectLines2d(CTriangle3d::Project(p1, axis), CTriangle3d::Project(q1, axis),
                            CTriangle3d::Project(p2, axis), CTriangle3d::Project(q2, axis), &s, &t);
}
