#include "CVector3d.h"

#include "VectorSegmentDistance.h"

#include <type_traits>

#include "CAssert.h"
#include "CFixedWide.h"
#include "CMath.h"
#include "CMatrix3d.h"
#include "CMatrix4dh.h"
#include "VectorSegmentDistance.h"

static_assert(sizeof(CVector3d) == 12 && std::is_standard_layout_v<CVector3d>,
              "arrays of CVector3d are read as packed triples of 32-bit words");

namespace {

// Where an out-of-range component index lands, so the vector stays intact.
int32_t g_scratchComponent = 0;

}  // namespace

CVector3d::CVector3d(const CVector3d* source) : x(0), y(0), z(0) {
    *this = source;
}

CVector3d& CVector3d::operator=(const CVector3d* source) {
    if (source == nullptr) {
        ASSERT(false);
        return *this;
    }
    x = source->x;
    y = source->y;
    z = source->z;
    return *this;
}

int32_t& CVector3d::operator[](uint32_t i) {
    switch (i) {
        case 0: return x;
        case 1: return y;
        case 2: return z;
        default:
            ASSERT(false);
            g_scratchComponent = 0;
            return g_scratchComponent;
    }
}

int32_t CVector3d::operator[](uint32_t i) const {
    return const_cast<CVector3d&>(*this)[i];
}

CVector3d& CVector3d::operator+=(const CVector3d& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}

CVector3d& CVector3d::operator-=(const CVector3d& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}

CVector3d& CVector3d::operator+=(int32_t s) {
    return *this += CVector3d(s, s, s);
}

CVector3d& CVector3d::operator-=(int32_t s) {
    return *this -= CVector3d(s, s, s);
}

CVector3d& CVector3d::operator*=(int32_t s) {
    x = FixedMul(x, s);
    y = FixedMul(y, s);
    z = FixedMul(z, s);
    return *this;
}

CVector3d& CVector3d::operator/=(int32_t s) {
    x = FixedDiv(x, s);
    y = FixedDiv(y, s);
    z = FixedDiv(z, s);
    return *this;
}

CVector3d& CVector3d::operator*=(const CMatrix3d& m) {
    const CVector3d v(*this);
    x = FixedMul(m.GetElement(0), v.x) + FixedMul(m.GetElement(3), v.y) + FixedMul(m.GetElement(6), v.z);
    y = FixedMul(m.GetElement(1), v.x) + FixedMul(m.GetElement(4), v.y) + FixedMul(m.GetElement(7), v.z);
    z = FixedMul(m.GetElement(2), v.x) + FixedMul(m.GetElement(5), v.y) + FixedMul(m.GetElement(8), v.z);
    return *this;
}

CVector3d& CVector3d::operator*=(const CMatrix4dh& m) {
    const CVector3d v(*this);
    x = FixedMul(m.GetElement(0), v.x) + FixedMul(m.GetElement(4), v.y) + FixedMul(m.GetElement(8), v.z) +
        m.GetElement(12);
    y = FixedMul(m.GetElement(1), v.x) + FixedMul(m.GetElement(5), v.y) + FixedMul(m.GetElement(9), v.z) +
        m.GetElement(13);
    z = FixedMul(m.GetElement(2), v.x) + FixedMul(m.GetElement(6), v.y) + FixedMul(m.GetElement(10), v.z) +
        m.GetElement(14);
    return *this;
}

CVector3d CVector3d::Sub(const CVector3d& a, const CVector3d& b) {
    return CVector3d(a.x - b.x, a.y - b.y, a.z - b.z);
}

int32_t CVector3d::Dot(const CVector3d& a, const CVector3d& b) {
    return FixedMul(a.x, b.x) + FixedMul(a.y, b.y) + FixedMul(a.z, b.z);
}

int64_t CVector3d::DotWide(const CVector3d& a, const CVector3d& b) {
    return FixedMulWide(a.x, b.x) + FixedMulWide(a.y, b.y) + FixedMulWide(a.z, b.z);
}

CVector3d& CVector3d::Cross(const CVector3d& v) {
    *this = Cross(*this, v);
    return *this;
}

CVector3d CVector3d::Cross(const CVector3d& a, const CVector3d& b) {
    return CVector3d(FixedMul(a.y, b.z) - FixedMul(a.z, b.y), FixedMul(a.z, b.x) - FixedMul(a.x, b.z),
                     FixedMul(a.x, b.y) - FixedMul(a.y, b.x));
}

// The squared length is summed in 64 bits: vectors longer than about 104
// units (the cross product of two 11-unit edges) still get their length.
int32_t CVector3d::Length() const {
    return static_cast<int32_t>(static_cast<uint32_t>(CMath::SqrtWide(DotWide(*this, *this))) << 8);
}

CVector3d& CVector3d::Normalize() {
    const int32_t length = Length();
    if (length != 0) *this /= length;
    return *this;
}

int32_t CVector3d::MaxComponent() const {
    const int32_t larger = x > y ? x : y;
    return larger > z ? larger : z;
}

CVector3d& CVector3d::Lerp(const CVector3d& target, int32_t t) {
    x += FixedMul(t, target.x - x);
    y += FixedMul(t, target.y - y);
    z += FixedMul(t, target.z - z);
    return *this;
}

CVector3d& CVector3d::RotateX(int32_t angle) {
    const int32_t c = CMathFixed::Cos(angle);
    const int32_t s = CMathFixed::Sin(angle);
    const int32_t oldY = y;
    y = FixedMul(oldY, c) + FixedMul(z, s);
    z = FixedMul(oldY, -s) + FixedMul(z, c);
    return *this;
}

CVector3d& CVector3d::RotateY(int32_t angle) {
    const int32_t c = CMathFixed::Cos(angle);
    const int32_t s = CMathFixed::Sin(angle);
    const int32_t oldX = x;
    x = FixedMul(oldX, c) + FixedMul(z, -s);
    z = FixedMul(oldX, s) + FixedMul(z, c);
    return *this;
}

CVector3d& CVector3d::RotateZ(int32_t angle) {
    const int32_t c = CMathFixed::Cos(angle);
    const int32_t s = CMathFixed::Sin(angle);
    const int32_t oldX = x;
    x = FixedMul(oldX, c) + FixedMul(y, s);
    y = FixedMul(oldX, -s) + FixedMul(y, c);
    return *this;
}

int32_t CVector3d::AngleBetween(const CVector3d& a, const CVector3d& b) {
    const int32_t lengths = FixedMul(a.Length(), b.Length());
    if (lengths == 0) return 0;
    return CMathFixed::ACos(FixedDiv(Dot(a, b), lengths));
}

int32_t CVector3d::DistanceToSegment(const CVector3d& p, const CVector3d& a, const CVector3d& b, CVector3d& closest) {
    return VectorDistanceToSegment(p, a, b, closest);
}

int32_t CVector3d::DistanceToSegment(const CVector3d& p, const CVector3d segment[2], CVector3d& closest) {
    return DistanceToSegment(p, segment[0], segment[1], closest);
}

CVector3d operator+(const CVector3d& a, const CVector3d& b) {
    return CVector3d(a.x + b.x, a.y + b.y, a.z + b.z);
}

CVector3d operator-(const CVector3d& a, const CVector3d& b) {
    return CVector3d::Sub(a, b);
}

CVector3d operator*(int32_t s, const CVector3d& v) {
    return CVector3d(FixedMul(s, v.x), FixedMul(s, v.y), FixedMul(s, v.z));
}

CVector3d operator*(const CVector3d& v, int32_t s) {
    return s * v;
}

CVector3d operator*(const CMatrix3d& m, const CVector3d& v) {
    CVector3d result(v);
    result *= m;
    return result;
}

CVector3d operator*(const CMatrix4dh& m, const CVector3d& v) {
    CVector3d result(v);
    result *= m;
    return result;
}
