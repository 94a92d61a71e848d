#include "CCircle.h"

#include "CAssert.h"
#include "CLineSegment2d.h"
#include "CMathFixed.h"

namespace {

int32_t SquaredLength(const CVector2d& v) { return CVector2d::Dot(v, v); }

// Offset from the segment's nearest point to p.
CVector2d OffsetFrom(const CLineSegment2d& segment, const CVector2d& p) {
    CVector2d offset;
    int32_t t = 0;
    segment.DistanceVector(p, offset, t);
    return offset;
}

bool PolygonEdge(const CVector2d* points, int32_t count, int32_t index, CLineSegment2d& edge) {
    const CVector2d* first = nullptr;
    const CVector2d* second = nullptr;
    if (!GetPolygonEdge(points, count, index, &first, &second, nullptr)) return false;
    edge.Set(*first, *second);
    return true;
}

// The nearest edge the circle violates in one pass.
struct PushEdge {
    int32_t index = -1;
    int32_t distance = INT32_MAX;
    CVector2d toEdge;
    CLineSegment2d segment{0, 0, 0, 0};
};

// One pass over every edge; true when none is violated. best becomes the
// nearest violated edge of this pass: a best edge carried over from an
// earlier pass would describe a position the circle has left. A circle on
// the inner side at exactly r, as a push leaves it, is clear of the edge.
bool CheckEdges(const CVector2d& centre, int32_t r, int32_t r2, const CVector2d* points, int32_t count,
                PushEdge& best) {
    best = PushEdge();
    bool clean = true;
    for (int32_t i = 0; i < count; ++i) {
        CLineSegment2d edge;
        if (!PolygonEdge(points, count, i, edge)) continue;
        CVector2d closest;
        int32_t side = 0;
        CCircle::TouchesSegment(centre, r2, edge, closest, &side);
        if (side == kOrientationRight) continue;
        const CVector2d toEdge = closest - centre;
        const int32_t distance = toEdge.Length();
        if (distance >= r && edge.Orientation(centre) == kOrientationRight) continue;
        clean = false;
        if (distance != 0 && distance < best.distance) {
            best = {i, distance, toEdge, edge};
        }
    }
    return clean;
}

}  // namespace

bool CCircle::TouchesSegment(const CVector2d& centre, int32_t r2, const CLineSegment2d& segment,
                             CVector2d& closest, int32_t* side) {
    const CVector2d offset = OffsetFrom(segment, centre);
    const bool touching = SquaredLength(offset) <= r2;
    closest = centre - offset;
    if (side != nullptr) *side = touching ? kOrientationCollinear : segment.Orientation(centre);
    return touching;
}

bool CCircle::SweepSegment(const CVector2d& start, int32_t, int32_t r2, const CVector2d& end,
                           const CLineSegment2d& segment, int32_t& t) {
    const CVector2d w0 = OffsetFrom(segment, start);
    const int32_t d0 = SquaredLength(w0);
    if (d0 <= r2) {
        t = 0;
        return true;
    }
    const CVector2d w1 = OffsetFrom(segment, end);
    const int32_t d1 = SquaredLength(w1);
    if (d1 > r2 && CVector2d::Dot(w0, w1) >= 0) return false;
    t = FixedDiv(d0 - r2, d0 + d1);
    return true;
}

bool CCircle::CollideSegment(const CVector2d& start, int32_t r, int32_t r2, const CLineSegment2d& segment,
                             CVector2d& end, int32_t& t, int32_t mode, const CVector2d* slideDirection) {
    if (!SweepSegment(start, r, r2, end, segment, t)) return false;
    ASSERT(mode == kStop || mode == kSlide);
    const CVector2d contact = start + (end - start) * t;
    if (mode == kStop) {
        end = contact;
    } else if (mode == kSlide && t < CMathFixed::ONE) {
        CVector2d along = segment.b - segment.a;
        if (slideDirection != nullptr) {
            along = *slideDirection;
        } else {
            along.Normalize();
        }
        end = contact + along * CVector2d::Dot(end - contact, along);
    }
    return true;
}

bool CCircle::CollidePolygon(const CVector2d& start, int32_t r, const CVector2d* points, int32_t count,
                             CVector2d& end, int32_t mode, const CVector2d* slideDirection) {
    const int32_t r2 = FixedMul(r, r);
    int32_t contacts = 0;
    for (int32_t i = 0; i < count && contacts < kMaxPolygonContacts; ++i) {
        CLineSegment2d edge;
        int32_t t = 0;
        if (!PolygonEdge(points, count, i, edge)) return false;
        if (CollideSegment(start, r, r2, edge, end, t, mode, slideDirection)) ++contacts;
    }
    return contacts > 0;
}

bool CCircle::PushOutOfPolygon(const CVector2d& centre, int32_t r, const CVector2d* points, int32_t count,
                               CVector2d& out) {
    ASSERT(points != nullptr);
    out = centre;
    if (points == nullptr) return false;
    const int32_t r2 = FixedMul(r, r);
    PushEdge best;
    bool clean = false;
    for (int32_t pass = 0; pass < kMaxPushPasses && !clean; ++pass) {
        clean = CheckEdges(out, r, r2, points, count, best);
        // A centre lying on every violated edge gives no direction to push in.
        if (clean || best.index < 0) break;
        // To distance r on the circle's side of the edge from the inside,
        // across the edge to distance r from anywhere else.
        const int32_t amount = best.segment.Orientation(out) == kOrientationRight ? best.distance - r
                                                                                  : best.distance + r;
        out += (best.toEdge / best.distance) * amount;
    }
    return clean;
}
