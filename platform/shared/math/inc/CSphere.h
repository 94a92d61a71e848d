#ifndef CSPHERE_H
#define CSPHERE_H

#include <cstdint>

#include "CVector3d.h"

class CPlane;

// Sphere tests. A sphere is passed as a centre and a 16.16 radius side by side.
class CSphere {
public:
    // True when the spheres touch or overlap.
    static bool TestSphere(const CVector3d& c0, int32_t r0, const CVector3d& c1, int32_t r1);
    // True when the segment a-b touches or enters the sphere.
    static bool TestSegment(const CVector3d& c, int32_t r, const CVector3d& a, const CVector3d& b);
    // code: CPlane::kBehind when wholly behind the plane, kOnPlane when the
    // sphere touches or cuts it (the only true result), kInFront when wholly
    // in front.
    static bool ClassifyPlane(const CVector3d& c, int32_t r, const CPlane& plane, int32_t& code);
    // True when the spheres, each moving by its velocity, meet; t is the time
    // of first contact in units of the velocities (0 when they overlap at the
    // start, and then point is not written). point is where the surfaces meet
    // at time t, on the line between the two centres.
    static bool TestMovingSphere(const CVector3d& c0, int32_t r0, const CVector3d& c1, int32_t r1,
                                 const CVector3d& v0, const CVector3d& v1, int32_t& t, CVector3d& point);
    // True when the sphere, moving by v, touches the plane (t in units of v;
    // 0 when it touches at the start). point is the first contact point.
    static bool IntersectMovingPlane(const CVector3d& c, int32_t r, const CPlane& plane, const CVector3d& v,
                                     int32_t& t, CVector3d& point);
};

#endif
