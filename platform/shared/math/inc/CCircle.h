#ifndef CCIRCLE_H
#define CCIRCLE_H

#include <cstdint>

#include "CVector2d.h"

class CLineSegment2d;

// 2-D collision routines for a circle given as a centre and a radius (several
// take the squared radius r2 = FixedMul(r, r) as well). Sides are the
// orientation codes of CLineSegment2d: a polygon keeps the circle on side
// kOrientationRight (1) of every edge.
class CCircle {
public:
    // Response modes of CollideSegment.
    static constexpr int32_t kStop = 0;
    static constexpr int32_t kSlide = 1;

    // Largest number of contacts CollidePolygon answers, and of passes
    // PushOutOfPolygon makes.
    static constexpr int32_t kMaxPolygonContacts = 2;
    static constexpr int32_t kMaxPushPasses = 20;

    // True when the circle reaches the segment; closest receives the nearest
    // point of the segment. side (when given) receives kOrientationCollinear
    // while touching, otherwise the segment's orientation of the centre.
    static bool TouchesSegment(const CVector2d& centre, int32_t r2, const CLineSegment2d& segment,
                               CVector2d& closest, int32_t* side);
    // True when the circle moving from start to end touches the segment. t is
    // 0 when it touches at the start, otherwise (D0 - r2) / (D0 + D1) with D0
    // and D1 the squared distances of the two centres from the segment.
    static bool SweepSegment(const CVector2d& start, int32_t r, int32_t r2, const CVector2d& end,
                             const CLineSegment2d& segment, int32_t& t);
    // SweepSegment, then the end centre is answered in place: kStop moves it
    // to the contact; kSlide (for t < 1.0) moves it to the contact and then
    // along slideDirection (or the segment's direction) by the part of the
    // remaining motion that runs along it. Any other mode is reported and
    // leaves end as it was.
    static bool CollideSegment(const CVector2d& start, int32_t r, int32_t r2, const CLineSegment2d& segment,
                               CVector2d& end, int32_t& t, int32_t mode, const CVector2d* slideDirection);
    // CollideSegment against edges 0, 1, ... in turn with the current end
    // centre, until kMaxPolygonContacts edges were touched. True when any was.
    static bool CollidePolygon(const CVector2d& start, int32_t r, const CVector2d* points, int32_t count,
                               CVector2d& end, int32_t mode, const CVector2d* slideDirection);
    // Moves the circle, an edge at a time, to distance r on side
    // kOrientationRight of the nearest violated edge. True when the result is
    // clear of every edge; false when kMaxPushPasses passes did not clear it.
    static bool PushOutOfPolygon(const CVector2d& centre, int32_t r, const CVector2d* points, int32_t count,
                                 CVector2d& out);
};

#endif
