#ifndef CSWEEP_H
#define CSWEEP_H

#include <cstdint>

#include "CVector2d.h"
#include "CVector3d.h"

// Continuous collision tests for shapes moving during one step. A capsule is
// a segment a-b with a radius; velocities are displacements over the step.

// A circle (centre c) moving against a capsule. Where the circle's relative
// motion line crosses the capsule's segment ahead of it, t = sB (L - R) / L:
// sB the crossing's parameter along the motion, L the circle's distance from
// the segment, R the sum of the radii. Otherwise the path stretched to ten
// steps is compared with the capsule, and t is a tenth of the closest
// approach's parameter along that path. t is written on every path (0 when
// the crossing lies behind the circle).
bool SweepCircleCapsule2d(const CVector2d& a, const CVector2d& b, int32_t capsuleRadius, const CVector2d& c,
                          int32_t circleRadius, const CVector2d& capsuleVelocity, const CVector2d& circleVelocity,
                          int32_t& t);
// The same in 3-D; the direct crossing needs the two lines to share a plane.
bool SweepSphereCapsule3d(const CVector3d& a, const CVector3d& b, int32_t capsuleRadius, const CVector3d& c,
                          int32_t sphereRadius, const CVector3d& capsuleVelocity, const CVector3d& sphereVelocity,
                          int32_t& t);
// Capsule a0-a1 against capsule b0-b1 over duration: the parallelogram swept
// by a0-a1 relative to the other is tested against b0-b1. t (written only on
// true) is the contact's fraction of the relative motion times duration. No
// relative motion gives false.
bool SweepCapsuleCapsule3d(const CVector3d& a0, const CVector3d& a1, int32_t radiusA, const CVector3d& b0,
                           const CVector3d& b1, int32_t radiusB, const CVector3d& velocityA,
                           const CVector3d& velocityB, int32_t duration, int32_t& t);

#endif
