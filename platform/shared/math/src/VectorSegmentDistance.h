#ifndef VECTORSEGMENTDISTANCE_H
#define VECTORSEGMENTDISTANCE_H

#include "CMathFixed.h"

// The distance from p to the segment a-b and the segment's point nearest
// to p, for any of the fixed-point vector classes.
template <class Vector>
int32_t VectorDistanceToSegment(const Vector& p, const Vector& a, const Vector& b, Vector& closest) {
    Vector ab = b - a;
    const int32_t t = Vector::Dot(p - a, ab);
    if (t <= 0) {
        closest = a;
        return (a - p).Length();
    }
    const int32_t lengthSquared = Vector::Dot(ab, ab);
    if (lengthSquared > t) {
        ab *= FixedDiv(t, lengthSquared);
        closest = ab + a;
        return (p - closest).Length();
    }
    closest = b;
    return (b - p).Length();
}

#endif
