#ifndef CLINESEGMENT2D_H
#define CLINESEGMENT2D_H

#include <cstdint>

#include "CVector2d.h"
#include "CVector3d.h"

// Orientation codes of a point p against the directed line a -> b.
inline constexpr int32_t kOrientationRight = 1;      // cross < 0
inline constexpr int32_t kOrientationCollinear = 2;  // cross == 0
inline constexpr int32_t kOrientationLeft = 3;       // cross > 0

// Winding arguments of PolygonCornerDirection.
inline constexpr int32_t kWindingRight = 1;
inline constexpr int32_t kWindingLeft = 3;

// A 2-D segment from a to b; a point of it is a + t (b - a), t in [0, 1.0].
class CLineSegment2d {
public:
    CVector2d a;
    CVector2d b;

    CLineSegment2d() {}
    CLineSegment2d(const CVector2d& first, const CVector2d& second) : a(first), b(second) {}
    CLineSegment2d(int32_t x0, int32_t y0, int32_t x1, int32_t y1) : a(x0, y0), b(x1, y1) {}

    void Set(const CVector2d& first, const CVector2d& second) {
        a = first;
        b = second;
    }

    // Orientation2d(a, b, p).
    int32_t Orientation(const CVector2d& p) const;
    // out = p - (the point of the segment closest to p); t its parameter.
    CVector2d& DistanceVector(const CVector2d& p, CVector2d& out, int32_t& t) const;
    // IntersectLines2d of the two segments' lines: s along this one, t along other.
    bool IntersectLines(const CLineSegment2d& other, int32_t& s, int32_t& t) const;
};

// kOrientationRight, kOrientationCollinear or kOrientationLeft from the sign of
// FixedMul(b.x - a.x, p.y - a.y) - FixedMul(p.x - a.x, b.y - a.y).
int32_t Orientation2d(const CVector2d& a, const CVector2d& b, const CVector2d& p);

// The point of segment a-b closest to p goes to point; returns its parameter
// (0 for a degenerate segment).
int32_t ClosestPointOnSegment2d(const CVector2d& a, const CVector2d& b, const CVector2d& p, CVector2d& point);
// out = p - closest point, t its parameter; returns out.
CVector2d& ClosestPointOnSegment2dDelta(const CVector2d& a, const CVector2d& b, const CVector2d& p,
                                        CVector2d& out, int32_t& t);
// Closest points c1 on p1-q1 (parameter s) and c2 on p2-q2 (parameter t).
// Segments shorter than about 0.03 count as points.
void ClosestPointsOfSegments2d(const CVector2d& p1, const CVector2d& q1, const CVector2d& p2,
                               const CVector2d& q2, CVector2d& c1, CVector2d& c2, int32_t& s, int32_t& t);
// Crossing of the lines a0-a1 and b0-b1 at a0 + tA (a1 - a0) = b0 + tB (b1 - b0);
// the parameters are not limited to [0, 1.0]. False for parallel lines, with
// the outputs untouched. Either out-pointer may be null.
bool IntersectLines2d(const CVector2d& a0, const CVector2d& a1, const CVector2d& b0, const CVector2d& b1,
                      int32_t* tA, int32_t* tB);
// True when segments p-q and e0-e1 cross with both parameters in [0, 1.0]
// (ends included); parallel segments never cross.
bool SegmentsCross2d(const CVector2d& p, const CVector2d& q, const CVector2d& e0, const CVector2d& e1);
// Half-open rectangle: min.x <= p.x < max.x and min.y <= p.y < max.y.
bool PointInRect2d(const CVector2d& p, const CVector2d& min, const CVector2d& max);
// True when an end lies in the rectangle or the segment crosses its lower
// edge, its diagonal from min to max or its upper edge (edges included).
bool SegmentIntersectsRect2d(const CVector2d& a, const CVector2d& b, const CVector2d& min, const CVector2d& max);
// Edge index of a closed polygon: first = point index, second the next point
// (point 0 after the last) and, when next is given, the point after second.
// False (nothing written) for a missing first/second pointer or a bad index.
bool GetPolygonEdge(const CVector2d* points, int32_t count, int32_t index, const CVector2d** first,
                    const CVector2d** second, const CVector2d** next);
// Unit bisector of the corner between its two edges: the normalised sum of
// (previous - corner) and (following - corner), pointing into the angle for
// kWindingRight and out of it for kWindingLeft. A straight corner gives zero.
void PolygonCornerDirection(const CVector2d& previous, const CVector2d& corner, const CVector2d& following,
                            CVector2d& out, int32_t winding);

// The 3-D forms of the closest-point routines.
int32_t ClosestPointOnSegment3d(const CVector3d& a, const CVector3d& b, const CVector3d& p, CVector3d& point);
CVector3d& ClosestPointOnSegment3dDelta(const CVector3d& a, const CVector3d& b, const CVector3d& p,
                                        CVector3d& out, int32_t& t);
void ClosestPointsOfSegments3d(const CVector3d& p1, const CVector3d& q1, const CVector3d& p2,
                               const CVector3d& q2, CVector3d& c1, CVector3d& c2, int32_t& s, int32_t& t);
// True when the lines p1-q1 and p2-q2 lie in one plane (within about 0.001)
// and cross; s and t as in IntersectLines2d. Lines along one line are parallel.
bool IntersectCoplanarLines3d(const CVector3d& p1, const CVector3d& q1, const CVector3d& p2,
                              const CVector3d& q2, int32_t& s, int32_t& t);

#endif
