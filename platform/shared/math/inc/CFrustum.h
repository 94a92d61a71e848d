#ifndef CFRUSTUM_H
#define CFRUSTUM_H

#include <cstdint>

#include "CPlane.h"
#include "CVector3d.h"

class CBoundingSphere;

// A viewing volume of six planes whose normals point inward: 0 to 3 the
// sides, 4 the near plane, 5 the far plane. It is built from the apex (the
// eye) and the four corners of the near rectangle, counter-clockwise as seen
// from the apex; the far plane lies at scale times the near plane's distance.
// The far plane is placed for a frustum in view space (apex at the origin,
// near rectangle centred on the z axis).
class CFrustum {
public:
    static constexpr int32_t kPlaneCount = 6;
    static constexpr int32_t kNearPlane = 4;
    static constexpr int32_t kFarPlane = 5;

    // Classification results.
    static constexpr int32_t kInside = 1;
    static constexpr int32_t kIntersecting = 2;
    static constexpr int32_t kOutside = 3;

    // Six zero planes.
    CFrustum() {}
    CFrustum(const CFrustum&) = default;
    CFrustum& operator=(const CFrustum&) = default;
    // points: apex, c1, c2, c3, c4. A null array is reported and leaves six
    // zero planes.
    CFrustum(const CVector3d points[5], int32_t scale);
    CFrustum(const CVector3d& apex, const CVector3d& c1, const CVector3d& c2, const CVector3d& c3,
             const CVector3d& c4, int32_t scale);

    void Set(const CVector3d& apex, const CVector3d& c1, const CVector3d& c2, const CVector3d& c3,
             const CVector3d& c4, int32_t scale);

    // kInside, kIntersecting or kOutside. The far plane is tested first and
    // the first plane the sphere lies wholly behind decides kOutside.
    int32_t Classify(const CBoundingSphere& sphere) const;

    const CPlane& GetPlane(int32_t i) const;

private:
    CPlane m_planes[kPlaneCount];
};

#endif
