#ifndef CPLANE_H
#define CPLANE_H

#include <cstdint>

#include "CVector3d.h"

// An oriented plane {normal, distance}: a point p lies on it when
// normal . p == distance. The normal is not necessarily of unit length, so
// Distance is a true distance only for a normalised plane.
class CPlane {
public:
    // Side codes of ClassifyDistance (shared with the sphere and frustum tests).
    static constexpr int32_t kInFront = 1;
    static constexpr int32_t kOnPlane = 2;
    static constexpr int32_t kBehind = 3;

    // Dominant-axis codes: the coordinate plane a projection keeps.
    static constexpr int32_t kAxisXY = 0;  // z is the largest normal component
    static constexpr int32_t kAxisYZ = 1;  // x is the largest
    static constexpr int32_t kAxisZX = 2;  // y is the largest

    CVector3d normal;
    int32_t distance;

    // A zero normal and distance.
    CPlane() : distance(0) {}
    CPlane(const CPlane&) = default;
    CPlane& operator=(const CPlane&) = default;
    // Copy through a pointer; a null source is reported and gives a zero plane.
    explicit CPlane(const CPlane* source);
    // Plane through three points; see Set.
    CPlane(const CVector3d& a, const CVector3d& b, const CVector3d& c);
    CPlane(const CVector3d& planeNormal, int32_t planeDistance);

    // Copy through a pointer; a null source is reported and leaves it unchanged.
    void Set(const CPlane* source);
    // Normal (b - a) x (c - a) normalised (right-hand rule on a -> b -> c),
    // distance a . normal. Collinear points give a zero normal.
    void Set(const CVector3d& a, const CVector3d& b, const CVector3d& c);
    void Set(const CVector3d& planeNormal, int32_t planeDistance);

    // normal . p - distance: positive in front, negative behind.
    int32_t Distance(const CVector3d& p) const;
    // s > 0: kInFront; s == 0: kOnPlane; s < 0: kBehind.
    static int32_t ClassifyDistance(int32_t s);
    // The projection that keeps most of the plane's area. Ties between z and
    // another axis go to z, a tie between x and y to x. A zero normal is a
    // caller error (reported; the answer is then kAxisXY).
    int32_t DominantAxis() const;
    // Divides normal and distance by the normal's length; a zero normal is
    // left as it is.
    void Normalize();

    CPlane& operator+=(int32_t s);
    CPlane& operator-=(int32_t s);
    CPlane& operator*=(int32_t s);
    // FixedDiv of every component; see FixedDiv for a zero s.
    CPlane& operator/=(int32_t s);

    // True when the segment p0-p1 crosses the plane at a parameter t in
    // [0, 1.0]. t is written whenever the segment is not parallel to the
    // plane; point only on success.
    bool IntersectSegment(const CVector3d& p0, const CVector3d& p1, CVector3d& point, int32_t& t) const;
    // direction = normal x other.normal; true when the planes are not parallel.
    bool IntersectsPlane(const CPlane& other, CVector3d& direction) const;
    // As IntersectsPlane, and a point of the line of intersection (written only
    // when the planes are not parallel).
    bool IntersectPlane(const CPlane& other, CVector3d& direction, CVector3d& point) const;
    // The single point this plane shares with q and r; false when none is
    // well defined.
    bool IntersectPlanes(const CPlane& q, const CPlane& r, CVector3d& point) const;
};

#endif
