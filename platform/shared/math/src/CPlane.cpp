#include "CPlane.h"

#include "CAssert.h"
#include "CMathFixed.h"
#include "GeometryTolerance.h"

CPlane::CPlane(const CPlane* source) : distance(0) {
    Set(source);
}

CPlane::CPlane(const CVector3d& a, const CVector3d& b, const CVector3d& c) : distance(0) {
    Set(a, b, c);
}

CPlane::CPlane(const CVector3d& planeNormal, int32_t planeDistance)
    : normal(planeNormal), distance(planeDistance) {}

void CPlane::Set(const CPlane* source) {
    ASSERT(source != nullptr);
    if (source == nullptr) return;
    *this = *source;
}

void CPlane::Set(const CVector3d& a, const CVector3d& b, const CVector3d& c) {
    normal = CVector3d::Sub(b, a);
    normal.Cross(c - a);
    normal.Normalize();
    distance = CVector3d::Dot(a, normal);
}

void CPlane::Set(const CVector3d& planeNormal, int32_t planeDistance) {
    normal = planeNormal;
    distance = planeDistance;
}

int32_t CPlane::Distance(const CVector3d& p) const {
    return CVector3d::Dot(normal, p) - distance;
}

int32_t CPlane::ClassifyDistance(int32_t s) {
    if (s > 0) return kInFront;
    if (s == 0) return kOnPlane;
    return kBehind;
}

int32_t CPlane::DominantAxis() const {
    const int32_t ax = CMathFixed::Abs(normal.x);
    const int32_t ay = CMathFixed::Abs(normal.y);
    const int32_t az = CMathFixed::Abs(normal.z);
    ASSERT(ax != 0 || ay != 0 || az != 0);
    if (az >= ax && az >= ay) return kAxisXY;
    return ax < ay ? kAxisZX : kAxisYZ;
}

void CPlane::Normalize() {
    const int32_t length = normal.Length();
    if (length == 0) return;
    *this /= length;
}

CPlane& CPlane::operator+=(int32_t s) {
    normal += s;
    distance += s;
    return *this;
}

CPlane& CPlane::operator-=(int32_t s) {
    normal -= s;
    distance -= s;
    return *this;
}

CPlane& CPlane::operator*=(int32_t s) {
    normal *= s;
    distance = FixedMul(distance, s);
    return *this;
}

CPlane& CPlane::operator/=(int32_t s) {
    normal /= s;
    distance = FixedDiv(distance, s);
    return *this;
}

bool CPlane::IntersectSegment(const CVector3d& p0, const CVector3d& p1, CVector3d& point,
                              int32_t& t) const {
    const CVector3d ab = p1 - p0;
    const int32_t den = CVector3d::Dot(normal, ab);
    if (CMathFixed::Abs(den) <= kGeometryTolerance) return false;
    t = FixedDiv(distance - CVector3d::Dot(normal, p0), den);
    if (t < 0 || t > CMathFixed::ONE) return false;
    point = p0 + t * ab;
    return true;
}

bool CPlane::IntersectsPlane(const CPlane& other, CVector3d& direction) const {
    direction = CVector3d::Cross(normal, other.normal);
    return CVector3d::Dot(direction, direction) >= kParallelPlanesTolerance;
}

bool CPlane::IntersectPlane(const CPlane& other, CVector3d& direction, CVector3d& point) const {
    if (!IntersectsPlane(other, direction)) return false;
    const int32_t den = CVector3d::Dot(direction, direction);
    // (d·m − e·n) × direction / den, n and m the two normals, d and e their distances.
    point = CVector3d::Cross(distance * other.normal - other.distance * normal, direction);
    point /= den;
    return true;
}

bool CPlane::IntersectPlanes(const CPlane& q, const CPlane& r, CVector3d& point) const {
    const CVector3d u = CVector3d::Cross(q.normal, r.normal);
    const int32_t den = CVector3d::Dot(normal, u);
    if (CMathFixed::Abs(den) < kGeometryTolerance) return false;
    // (d·u + n × (f·m − e·k)) / den, with this (n, d), q (m, e) and r (k, f).
    point = normal;
    point.Cross(r.distance * q.normal - q.distance * r.normal);
    point += distance * u;
    point /= den;
    return true;
}
