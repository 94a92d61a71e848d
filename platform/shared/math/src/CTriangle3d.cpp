#include "CTriangle3d.h"

#include "CAssert.h"
#include "CFixedWide.h"
#include "CLineSegment2d.h"
#include "CMathFixed.h"
#include "CPlane.h"
#include "CTriangle2d.h"
#include "GeometryTolerance.h"

namespace {

// Squared distances between points some thousand units apart pass 16.16.
int64_t SquaredLength(const CVector3d& v) { return CVector3d::DotWide(v, v); }

bool IsZero(const CVector3d& v) { return v.x == 0 && v.y == 0 && v.z == 0; }

CTriangle2d ProjectTriangle(const CTriangle3d& t, int32_t axis) {
    return CTriangle2d(CTriangle3d::Project(t.a, axis), CTriangle3d::Project(t.b, axis),
                       CTriangle3d::Project(t.c, axis));
}

bool InUnitRange(int32_t t) { return t >= 0 && t <= CMathFixed::ONE; }

// The range of parameters along the line p -> q at which the line meets the
// edges of the triangle (ends of the edges included). False when it meets
// none of them.
bool LineInterval(const CTriangle2d& t, const CVector2d& p, const CVector2d& q, int32_t& low, int32_t& high) {
    const CVector2d* corners[4] = {&t.a, &t.b, &t.c, &t.a};
    bool met = false;
    for (int32_t i = 0; i < 3; ++i) {
        int32_t tLine = 0;
        int32_t tEdge = 0;
        if (!IntersectLines2d(p, q, *corners[i], *corners[i + 1], &tLine, &tEdge) || !InUnitRange(tEdge)) continue;
        if (!met || tLine < low) low = tLine;
        if (!met || tLine > high) high = tLine;
        met = true;
    }
    return met;
}

// The part of the line o + s d that lies in the triangle, as a parameter
// range; the line lies in the triangle's plane.
bool TriangleSpan(const CTriangle3d& t, const CPlane& plane, const CVector3d& o, const CVector3d& d, int32_t& low,
                  int32_t& high) {
    const int32_t axis = plane.DominantAxis();
    return LineInterval(ProjectTriangle(t, axis), CTriangle3d::Project(o, axis), CTriangle3d::Project(o + d, axis),
                        low, high);
}

// Segment against triangle by scalar triple products, for a segment that
// enters through the front face (the side the normal (b - a) x (c - a)
// points to). t is the crossing's parameter along p -> q.
bool SegmentThroughFront(const CVector3d& a, const CVector3d& b, const CVector3d& c, const CVector3d& p,
                         const CVector3d& q, int32_t& t) {
    const CVector3d ab = b - a;
    const CVector3d ac = c - a;
    const CVector3d n = CVector3d::Cross(ab, ac);
    const CVector3d qp = p - q;
    const int32_t d = CVector3d::Dot(qp, n);
    if (d <= 0) return false;
    const CVector3d ap = p - a;
    const int32_t height = CVector3d::Dot(ap, n);
    if (height < 0 || height > d) return false;
    const CVector3d e = CVector3d::Cross(qp, ap);
    const int32_t v = CVector3d::Dot(ac, e);
    if (v < 0 || v > d) return false;
    const int32_t w = -CVector3d::Dot(ab, e);
    if (w < 0 || v + w > d) return false;
    t = FixedDiv(height, d);
    return true;
}

// The nearest point of the three edges, for a triangle without area.
void ClosestPointOnEdges(const CTriangle3d& t, const CVector3d& p, CVector3d& out) {
    const CVector3d* corners[4] = {&t.a, &t.b, &t.c, &t.a};
    int64_t best = INT64_MAX;
    for (int32_t i = 0; i < 3; ++i) {
        CVector3d point;
        ClosestPointOnSegment3d(*corners[i], *corners[i + 1], p, point);
        const int64_t gap = SquaredLength(point - p);
        if (i == 0 || gap < best) {
            best = gap;
            out = point;
        }
    }
}

struct SegmentContact {
    CVector3d onTriangle;
    CVector3d onSegment;
    int32_t t;
    int64_t gap;  // squared distance
};

SegmentContact EdgeContact(const CVector3d& e0, const CVector3d& e1, const CVector3d& p0, const CVector3d& p1) {
    SegmentContact contact;
    int32_t s = 0;
    ClosestPointsOfSegments3d(e0, e1, p0, p1, contact.onTriangle, contact.onSegment, s, contact.t);
    contact.gap = SquaredLength(contact.onSegment - contact.onTriangle);
    return contact;
}

// Edge ab wins when nearer than both others; otherwise ca unless bc is nearer.
SegmentContact NearestEdgeContact(const CTriangle3d& t, const CVector3d& p0, const CVector3d& p1) {
    const SegmentContact ab = EdgeContact(t.a, t.b, p0, p1);
    const SegmentContact bc = EdgeContact(t.b, t.c, p0, p1);
    const SegmentContact ca = EdgeContact(t.c, t.a, p0, p1);
    if (ab.gap < bc.gap && ab.gap < ca.gap) return ab;
    return bc.gap < ca.gap ? bc : ca;
}

}  // namespace

CVector2d CTriangle3d::Project(const CVector3d& p, int32_t axis) {
    ASSERT(axis >= CPlane::kAxisXY && axis <= CPlane::kAxisZX);
    if (axis == CPlane::kAxisYZ) return CVector2d(p.y, p.z);
    if (axis == CPlane::kAxisZX) return CVector2d(p.z, p.x);
    return CVector2d(p.x, p.y);
}

int32_t CTriangle3d::ClassifyPoint(const CVector3d& p) const {
    // With u = pb x pc, v = pc x pa and w = pa x pb, p is inside when no two
    // of them point in opposite directions; each product below is one of
    // u.v, w.u and v.w written with dot products only.
    const CVector3d pa = a - p;
    const CVector3d pb = b - p;
    const CVector3d pc = c - p;
    const int64_t ab = CVector3d::DotWide(pa, pb);
    const int64_t ac = CVector3d::DotWide(pa, pc);
    const int64_t bc = CVector3d::DotWide(pb, pc);
    const int64_t cc = CVector3d::DotWide(pc, pc);
    if (FixedMulWide(bc, ac) - FixedMulWide(cc, ab) < 0) return kOutside;
    const int64_t bb = CVector3d::DotWide(pb, pb);
    if (FixedMulWide(ab, bc) - FixedMulWide(ac, bb) < 0) return kOutside;
    const int64_t aa = CVector3d::DotWide(pa, pa);
    if (FixedMulWide(ac, ab) - FixedMulWide(bc, aa) < 0) return kOutside;
    return kInside;
}

void CTriangle3d::ClosestPoint(const CVector3d& p, CVector3d& out) const {
    const CVector3d ab = b - a;
    const CVector3d ac = c - a;
    if (IsZero(CVector3d::Cross(ab, ac))) {
        ClosestPointOnEdges(*this, p, out);
        return;
    }
    const CVector3d ap = p - a;
    const int64_t d1 = CVector3d::DotWide(ab, ap);
    const int64_t d2 = CVector3d::DotWide(ac, ap);
    if (d1 <= 0 && d2 <= 0) {
        out = a;
        return;
    }
    const CVector3d bp = p - b;
    const int64_t d3 = CVector3d::DotWide(ab, bp);
    const int64_t d4 = CVector3d::DotWide(ac, bp);
    if (d3 >= 0 && d4 <= d3) {
        out = b;
        return;
    }
    const int64_t vc = FixedMulWide(d1, d4) - FixedMulWide(d3, d2);
    if (vc <= 0 && d1 >= 0 && d3 <= 0) {
        out = a + ab * FixedDivWide(d1, d1 - d3);
        return;
    }
    const CVector3d cp = p - c;
    const int64_t d5 = CVector3d::DotWide(ab, cp);
    const int64_t d6 = CVector3d::DotWide(ac, cp);
    if (d6 >= 0 && d5 <= d6) {
        out = c;
        return;
    }
    const int64_t vb = FixedMulWide(d5, d2) - FixedMulWide(d1, d6);
    if (vb <= 0 && d2 >= 0 && d6 <= 0) {
        out = a + ac * FixedDivWide(d2, d2 - d6);
        return;
    }
    const int64_t va = FixedMulWide(d3, d6) - FixedMulWide(d5, d4);
    if (va <= 0 && d4 - d3 >= 0 && d5 - d6 >= 0) {
        out = b + (c - b) * FixedDivWide(d4 - d3, (d4 - d3) + (d5 - d6));
        return;
    }
    const int64_t sum = va + vb + vc;
    out = a + ab * FixedRatioWide(vb, sum);
    out += ac * FixedRatioWide(vc, sum);
}

bool CTriangle3d::Barycentric(const CVector3d& p, int32_t& u, int32_t& v, int32_t& w) const {
    const CVector3d m = CVector3d::Cross(b - a, c - a);
    const int32_t ax = CMathFixed::Abs(m.x);
    const int32_t ay = CMathFixed::Abs(m.y);
    const int32_t az = CMathFixed::Abs(m.z);
    int32_t axis = CPlane::kAxisZX;
    int32_t area = ay;
    if (ax >= ay && ax >= az) {
        axis = CPlane::kAxisYZ;
        area = ax;
    } else if (ay < az) {
        axis = CPlane::kAxisXY;
        area = az;
    }
    if (area == 0) {
        u = CMathFixed::ONE;
        v = w = 0;
        return false;
    }
    const CTriangle2d flat = ProjectTriangle(*this, axis);
    const CVector2d point = Project(p, axis);
    u = FixedDiv(CMathFixed::Abs(CTriangle2d::Orient(point, flat.b, flat.c)), area);
    v = FixedDiv(CMathFixed::Abs(CTriangle2d::Orient(point, flat.c, flat.a)), area);
    w = CMathFixed::ONE - u - v;
    return true;
}

bool CTriangle3d::OnPlane(const CPlane& plane, const CVector3d& p) {
    return CMathFixed::Abs(plane.Distance(p)) < kOnPlaneTolerance;
}

bool CTriangle3d::IntersectsPlane(const CPlane& plane) const {
    const CPlane own(a, b, c);
    CVector3d direction;
    CVector3d origin;
    if (!own.IntersectPlane(plane, direction, origin)) return OnPlane(plane, a);
    int32_t low = 0;
    int32_t high = 0;
    return TriangleSpan(*this, own, origin, direction, low, high);
}

bool CTriangle3d::IntersectsTriangle(const CTriangle3d& other) const {
    const CPlane own(a, b, c);
    const CPlane others(other.a, other.b, other.c);
    CVector3d direction;
    CVector3d origin;
    if (own.IntersectPlane(others, direction, origin)) {
        // Both triangles must meet the common line, and at overlapping spans.
        int32_t ownLow = 0;
        int32_t ownHigh = 0;
        int32_t otherLow = 0;
        int32_t otherHigh = 0;
        return TriangleSpan(*this, own, origin, direction, ownLow, ownHigh) &&
               TriangleSpan(other, others, origin, direction, otherLow, otherHigh) && ownLow <= otherHigh &&
               otherLow <= ownHigh;
    }
    if (!OnPlane(own, other.a)) return false;
    const int32_t axis = own.DominantAxis();
    return ProjectTriangle(*this, axis).IntersectsTriangle(ProjectTriangle(other, axis));
}

void CTriangle3d::ClosestPointsSegment(const CVector3d& p0, const CVector3d& p1, CVector3d& q, CVector3d& r,
                                       int32_t& t) const {
    const CPlane plane(a, b, c);
    // A triangle without area has no face: only its edges count.
    const bool hasFace = !IsZero(plane.normal);
    const int32_t d0 = plane.Distance(p0);
    const int32_t d1 = plane.Distance(p1);
    const SegmentContact ends[2] = {{p0 - d0 * plane.normal, p0, 0, FixedMulWide(d0, d0)},
                                    {p1 - d1 * plane.normal, p1, CMathFixed::ONE, FixedMulWide(d1, d1)}};
    const bool overFace[2] = {hasFace && ClassifyPoint(ends[0].onTriangle) == kInside,
                              hasFace && ClassifyPoint(ends[1].onTriangle) == kInside};
    SegmentContact best;
    CVector3d crossing;
    int32_t tCrossing = 0;
    if (hasFace && (d0 < 0) != (d1 < 0) && d0 != 0 && d1 != 0 && plane.IntersectSegment(p0, p1, crossing, tCrossing) &&
        ClassifyPoint(crossing) == kInside) {
        best = {crossing, crossing, tCrossing, 0};
    } else if (overFace[0] && overFace[1]) {
        best = CMathFixed::Abs(d0) > CMathFixed::Abs(d1) ? ends[1] : ends[0];
    } else {
        best = NearestEdgeContact(*this, p0, p1);
        // An end above the face may be nearer than any edge.
        for (int32_t i = 0; i < 2; ++i) {
            if (overFace[i] && ends[i].gap < best.gap) best = ends[i];
        }
    }
    q = best.onTriangle;
    r = best.onSegment;
    t = best.t;
}

void CTriangle3d::ClosestPointsSegment(const CVector3d& a, const CVector3d& b, const CVector3d& c,
                                       const CVector3d& p0, const CVector3d& p1, CVector3d& q, CVector3d& r,
                                       int32_t& t) {
    CTriangle3d(a, b, c).ClosestPointsSegment(p0, p1, q, r, t);
}

bool CTriangle3d::TestSphere(const CVector3d& centre, int32_t radius) const {
    CVector3d nearest;
    ClosestPoint(centre, nearest);
    return SquaredLength(nearest - centre) <= FixedMulWide(radius, radius);
}

bool CTriangle3d::IntersectSegment(const CVector3d& p, const CVector3d& q, int32_t& t) const {
    // A segment entering through the back face enters the front face of the
    // same triangle wound the other way.
    return SegmentThroughFront(a, b, c, p, q, t) || SegmentThroughFront(a, c, b, p, q, t);
}

bool CTriangle3d::IntersectSegment(const CVector3d& a, const CVector3d& b, const CVector3d& c, const CVector3d& p,
                                   const CVector3d& q, int32_t& t) {
    return CTriangle3d(a, b, c).IntersectSegment(p, q, t);
}

bool CTriangle3d::IsIsosceles() const {
    const int64_t ab = SquaredLength(b - a);
    const int64_t ac = SquaredLength(c - a);
    const int64_t bc = SquaredLength(c - b);
    return ab == ac || ab == bc || ac == bc;
}

bool CTriangle3d::IsEquilateral() const {
    const int64_t ab = SquaredLength(b - a);
    return ab == SquaredLength(c - a) && ab == SquaredLength(c - b);
}
