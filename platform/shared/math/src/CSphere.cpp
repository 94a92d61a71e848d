#include "CSphere.h"

#include "CLineSegment2d.h"
#include "CMathFixed.h"
#include "CPlane.h"
#include "GeometryTolerance.h"

namespace {

int32_t SquaredLength(const CVector3d& v) { return CVector3d::Dot(v, v); }

}  // namespace

bool CSphere::TestSphere(const CVector3d& c0, int32_t r0, const CVector3d& c1, int32_t r1) {
    const int32_t r = r0 + r1;
    return SquaredLength(c1 - c0) <= FixedMul(r, r);
}

bool CSphere::TestSegment(const CVector3d& c, int32_t r, const CVector3d& a, const CVector3d& b) {
    CVector3d closest;
    ClosestPointOnSegment3d(a, b, c, closest);
    return SquaredLength(closest - c) <= FixedMul(r, r);
}

bool CSphere::ClassifyPlane(const CVector3d& c, int32_t r, const CPlane& plane, int32_t& code) {
    const int32_t s = plane.Distance(c);
    if (s < -r) {
        code = CPlane::kBehind;
        return false;
    }
    if (s <= r) {
        code = CPlane::kOnPlane;
        return true;
    }
    code = CPlane::kInFront;
    return false;
}

bool CSphere::TestMovingSphere(const CVector3d& c0, int32_t r0, const CVector3d& c1, int32_t r1,
                               const CVector3d& v0, const CVector3d& v1, int32_t& t, CVector3d& point) {
    const CVector3d s = c1 - c0;
    const CVector3d v = v1 - v0;
    const int32_t r = r0 + r1;
    const int32_t c = SquaredLength(s) - FixedMul(r, r);
    if (c < 0) {
        t = 0;
        return true;
    }
    const int32_t a = SquaredLength(v);
    if (a < kGeometryTolerance) return false;
    const int32_t b = CVector3d::Dot(v, s);
    if (b >= 0) return false;
    const int32_t disc = FixedMul(b, b) - FixedMul(a, c);
    if (disc < 0) return false;
    t = FixedDiv(-b - CMathFixed::Sqrt(disc), a);

    // At time t the centres are r0 + r1 apart; the surfaces meet on the line
    // between them, r0 from the first centre.
    const CVector3d centre0 = c0 + t * v0;
    const CVector3d between = (c1 + t * v1) - centre0;
    const int32_t share = r == 0 ? 0 : FixedDiv(r0, r);
    point = centre0 + share * between;
    return true;
}

bool CSphere::IntersectMovingPlane(const CVector3d& c, int32_t r, const CPlane& plane, const CVector3d& v,
                                   int32_t& t, CVector3d& point) {
    const int32_t s = plane.Distance(c);
    if (CMathFixed::Abs(s) <= r) {
        t = 0;
        point = c;
        return true;
    }
    const int32_t den = CVector3d::Dot(plane.normal, v);
    // Only a motion against the side the centre is on can reach the plane.
    // The signs are compared, not multiplied: the product of two long
    // distances wraps.
    if (den == 0 || s == 0 || (den > 0) == (s > 0)) return false;
    const int32_t rSigned = s > 0 ? r : -r;
    t = FixedDiv(rSigned - s, den);
    point = c + t * v;
    point -= rSigned * plane.normal;
    return true;
}
