#ifndef CBOUNDINGSPHERE_H
#define CBOUNDINGSPHERE_H

#include <cstdint>

#include "CVector3d.h"

class CPlane;

// A bounding volume for culling: a radius and a centre.
class CBoundingSphere {
public:
    int32_t radius;
    CVector3d centre;

    CBoundingSphere() : radius(0) {}
    CBoundingSphere(const CVector3d& sphereCentre, int32_t sphereRadius) : radius(sphereRadius), centre(sphereCentre) {}

    // CSphere::ClassifyPlane with this centre and radius.
    bool ClassifyPlane(const CPlane& plane, int32_t& code) const;
};

#endif
