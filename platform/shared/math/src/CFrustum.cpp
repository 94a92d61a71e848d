#include "CFrustum.h"

#include "CAssert.h"
#include "CBoundingSphere.h"
#include "CMathFixed.h"
#include "CVector2d.h"

namespace {

CVector3d Half(const CVector3d& v) { return CVector3d(v.x >> 1, v.y >> 1, v.z >> 1); }

CVector3d Midpoint(const CVector3d& from, const CVector3d& to) { return from + Half(to - from); }

}  // namespace

CFrustum::CFrustum(const CVector3d points[5], int32_t scale) {
    ASSERT(points != nullptr);
    if (points == nullptr) return;
    Set(points[0], points[1], points[2], points[3], points[4], scale);
}

CFrustum::CFrustum(const CVector3d& apex, const CVector3d& c1, const CVector3d& c2, const CVector3d& c3,
                   const CVector3d& c4, int32_t scale) {
    Set(apex, c1, c2, c3, c4, scale);
}

void CFrustum::Set(const CVector3d& apex, const CVector3d& c1, const CVector3d& c2, const CVector3d& c3,
                   const CVector3d& c4, int32_t scale) {
    m_planes[0].Set(apex, c4, c1);
    m_planes[1].Set(apex, c1, c2);
    m_planes[2].Set(apex, c2, c3);
    m_planes[3].Set(apex, c3, c4);
    m_planes[kNearPlane].Set(c1, c2, c4);

    // The far plane faces the near one and passes through c1's direction from
    // the apex, stretched to scale times the apex-to-corner distance.
    const CVector3d centre = Midpoint(Midpoint(c1, c4), Midpoint(c2, c3));
    const int32_t depth = (centre - apex).Length();
    const int32_t halfDiagonal = CVector2d(c1.x, c1.y).Length();
    const int32_t reach = CMathFixed::Sqrt(FixedMul(halfDiagonal, halfDiagonal) + FixedMul(depth, depth));
    CVector3d far = c1 - apex;
    far.Normalize();
    far *= FixedMul(reach, scale);
    const CVector3d normal = CVector3d(0, 0, 0) - m_planes[kNearPlane].normal;
    m_planes[kFarPlane].Set(normal, CVector3d::Dot(normal, far));
}

int32_t CFrustum::Classify(const CBoundingSphere& sphere) const {
    int32_t inFront = 0;
    for (int32_t i = kPlaneCount - 1; i >= 0; --i) {
        int32_t code = CPlane::kOnPlane;
        sphere.ClassifyPlane(m_planes[i], code);
        if (code == CPlane::kBehind) return kOutside;
        if (code == CPlane::kInFront) ++inFront;
    }
    return inFront == kPlaneCount ? kInside : kIntersecting;
}

const CPlane& CFrustum::GetPlane(int32_t i) const {
    ASSERT(i >= 0 && i < kPlaneCount);
    return m_planes[i >= 0 && i < kPlaneCount ? i : 0];
}
