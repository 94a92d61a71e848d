#include "CSweep.h"

#include "CLineSegment2d.h"
#include "CMathFixed.h"
#include "CTriangle3d.h"

namespace {

// The closest-approach test looks ten steps ahead and scales the path
// parameter back down by the inverse factor (0.1 rounded down).
constexpr int32_t kStretch = 0xA0000;
constexpr int32_t kInverseStretch = 0x1999;

bool CrossLines(const CVector2d& a, const CVector2d& b, const CVector2d& c, const CVector2d& e, int32_t& sA,
                int32_t& sB) {
    return IntersectLines2d(a, b, c, e, &sA, &sB);
}

bool CrossLines(const CVector3d& a, const CVector3d& b, const CVector3d& c, const CVector3d& e, int32_t& sA,
                int32_t& sB) {
    return IntersectCoplanarLines3d(a, b, c, e, sA, sB);
}

void ClosestPointOn(const CVector2d& a, const CVector2d& b, const CVector2d& p, CVector2d& point) {
    ClosestPointOnSegment2d(a, b, p, point);
}

void ClosestPointOn(const CVector3d& a, const CVector3d& b, const CVector3d& p, CVector3d& point) {
    ClosestPointOnSegment3d(a, b, p, point);
}

void ClosestPoints(const CVector2d& p1, const CVector2d& q1, const CVector2d& p2, const CVector2d& q2,
                   CVector2d& c1, CVector2d& c2, int32_t& s, int32_t& t) {
    ClosestPointsOfSegments2d(p1, q1, p2, q2, c1, c2, s, t);
}

void ClosestPoints(const CVector3d& p1, const CVector3d& q1, const CVector3d& p2, const CVector3d& q2,
                   CVector3d& c1, CVector3d& c2, int32_t& s, int32_t& t) {
    ClosestPointsOfSegments3d(p1, q1, p2, q2, c1, c2, s, t);
}

template <class Vector>
int32_t SquaredLength(const Vector& v) {
    return Vector::Dot(v, v);
}

// The motion line crosses the capsule's segment at parameter sB ahead of the
// centre; contact comes when the distance, shrinking linearly from L to 0
// over sB, reaches the sum of the radii.
template <class Vector>
int32_t TimeOfDirectCrossing(const Vector& a, const Vector& b, const Vector& c, int32_t radii, int32_t sB) {
    Vector nearest;
    ClosestPointOn(a, b, c, nearest);
    const int32_t distance = (nearest - c).Length();
    // A centre on the segment already overlaps it.
    if (distance == 0) return 0;
    return FixedDiv(FixedMul(sB, distance - radii), distance);
}

template <class Vector>
bool ClosestApproach(const Vector& a, const Vector& b, const Vector& c, const Vector& motion, int32_t radii,
                     int32_t& t) {
    const bool aNearer = SquaredLength(a - c) < SquaredLength(b - c);
    Vector onCapsule;
    Vector onPath;
    int32_t s = 0;
    int32_t u = 0;
    ClosestPoints(aNearer ? a : b, aNearer ? b : a, c, c + kStretch * motion, onCapsule, onPath, s, u);
    t = FixedMul(u, kInverseStretch);
    return SquaredLength(onCapsule - onPath) < FixedMul(radii, radii) && t > 0;
}

template <class Vector>
bool SweepAgainstCapsule(const Vector& a, const Vector& b, int32_t capsuleRadius, const Vector& c,
                         int32_t radius, const Vector& capsuleVelocity, const Vector& velocity, int32_t& t) {
    const Vector motion = velocity - capsuleVelocity;
    const int32_t radii = capsuleRadius + radius;
    int32_t sA = 0;
    int32_t sB = 0;
    if (CrossLines(a, b, c, c + motion, sA, sB)) {
        if (sB < 0) {
            t = 0;
            return false;
        }
        if (sA >= 0 && sA <= CMathFixed::ONE) {
            t = TimeOfDirectCrossing(a, b, c, radii, sB);
            return true;
        }
    }
    return ClosestApproach(a, b, c, motion, radii, t);
}

}  // namespace

bool SweepCircleCapsule2d(const CVector2d& a, const CVector2d& b, int32_t capsuleRadius, const CVector2d& c,
                          int32_t circleRadius, const CVector2d& capsuleVelocity, const CVector2d& circleVelocity,
                          int32_t& t) {
    return SweepAgainstCapsule(a, b, capsuleRadius, c, circleRadius, capsuleVelocity, circleVelocity, t);
}

bool SweepSphereCapsule3d(const CVector3d& a, const CVector3d& b, int32_t capsuleRadius, const CVector3d& c,
                          int32_t sphereRadius, const CVector3d& capsuleVelocity, const CVector3d& sphereVelocity,
                          int32_t& t) {
    return SweepAgainstCapsule(a, b, capsuleRadius, c, sphereRadius, capsuleVelocity, sphereVelocity, t);
}

bool SweepCapsuleCapsule3d(const CVector3d& a0, const CVector3d& a1, int32_t radiusA, const CVector3d& b0,
                           const CVector3d& b1, int32_t radiusB, const CVector3d& velocityA,
                           const CVector3d& velocityB, int32_t duration, int32_t& t) {
    const CVector3d motion = duration * (velocityA - velocityB);
    const int32_t motionSquared = SquaredLength(motion);
    if (motionSquared == 0) return false;
    const int32_t k = FixedDiv(duration, motionSquared);
    const CTriangle3d swept[2] = {CTriangle3d(a0, a1, a0 + motion), CTriangle3d(a1, a0 + motion, a1 + motion)};

    for (const CTriangle3d& triangle : swept) {
        int32_t s = 0;
        if (triangle.IntersectSegment(b0, b1, s)) {
            const CVector3d hit = b0 + s * (b1 - b0);
            t = FixedMul(CVector3d::Dot(hit - a0, motion), k);
            return true;
        }
    }
    const int32_t radii = radiusA + radiusB;
    const int32_t reach = FixedMul(radii, radii);
    for (const CTriangle3d& triangle : swept) {
        CVector3d onSwept;
        CVector3d onSegment;
        int32_t s = 0;
        triangle.ClosestPointsSegment(b0, b1, onSwept, onSegment, s);
        if (SquaredLength(onSegment - onSwept) < reach) {
            t = FixedMul(CVector3d::Dot(onSwept - a0, motion), k);
            return true;
        }
    }
    return false;
}
