#include "CQuaternion.h"

#include "CAssert.h"
#include "CMathFixed.h"
#include "CMatrix3d.h"

namespace {

// At or above this cosine the two rotations are close enough for the
// normalised linear blend.
constexpr int32_t kSlerpLimit = 0xF333;

// p and q blended along the great arc between them, whose cosine is c.
CQuaternion SphericalBlend(const CQuaternion& p, const CQuaternion& q, int32_t c, int32_t t) {
    const int32_t h = CMathFixed::ACos(c);
    const int32_t s = CMathFixed::Sin(h);
    const int32_t weightP = CMathFixed::Sin(FixedMul(h, CMathFixed::ONE - t));
    const int32_t weightQ = CMathFixed::Sin(FixedMul(h, t));
    return p * weightP / s + q * weightQ / s;
}

}  // namespace

CQuaternion::CQuaternion(const CQuaternion* source) : x(0), y(0), z(0), w(0) {
    if (source == nullptr) {
        ASSERT(false);
        return;
    }
    *this = *source;
}

int32_t CQuaternion::Dot(const CQuaternion& p, const CQuaternion& q) {
    return FixedMul(p.x, q.x) + FixedMul(p.y, q.y) + FixedMul(p.z, q.z) + FixedMul(p.w, q.w);
}

int32_t CQuaternion::Length() const {
    return CMathFixed::Sqrt(Dot(*this, *this));
}

CQuaternion& CQuaternion::Normalize() {
    return *this /= Length();
}

void CQuaternion::Normalized(CQuaternion& out) const {
    out = *this / Length();
}

CQuaternion& CQuaternion::operator/=(int32_t s) {
    x = FixedDiv(x, s);
    y = FixedDiv(y, s);
    z = FixedDiv(z, s);
    w = FixedDiv(w, s);
    return *this;
}

CQuaternion CQuaternion::operator/(int32_t s) const {
    CQuaternion result(*this);
    result /= s;
    return result;
}

CQuaternion CQuaternion::operator*(int32_t s) const {
    return CQuaternion(FixedMul(x, s), FixedMul(y, s), FixedMul(z, s), FixedMul(w, s));
}

CQuaternion CQuaternion::operator+(const CQuaternion& p) const {
    return CQuaternion(x + p.x, y + p.y, z + p.z, w + p.w);
}

CQuaternion CQuaternion::operator-() const {
    return CQuaternion(-x, -y, -z, -w);
}

CQuaternion& CQuaternion::operator*=(const CQuaternion& q) {
    const CQuaternion p(*this);
    w = FixedMul(p.w, q.w) - FixedMul(p.x, q.x) - FixedMul(p.y, q.y) - FixedMul(p.z, q.z);
    x = FixedMul(p.y, q.z) - FixedMul(p.z, q.y) + FixedMul(p.w, q.x) + FixedMul(p.x, q.w);
    y = FixedMul(p.z, q.x) - FixedMul(p.x, q.z) + FixedMul(p.w, q.y) + FixedMul(p.y, q.w);
    z = FixedMul(p.x, q.y) - FixedMul(p.y, q.x) + FixedMul(p.w, q.z) + FixedMul(p.z, q.w);
    return *this;
}

void CQuaternion::ToMatrix(CMatrix3d& out) const {
    const int32_t xx = FixedMul(x, x), yy = FixedMul(y, y), zz = FixedMul(z, z);
    const int32_t xy = FixedMul(x, y), xz = FixedMul(x, z), yz = FixedMul(y, z);
    const int32_t wx = FixedMul(w, x), wy = FixedMul(w, y), wz = FixedMul(w, z);
    const int32_t one = CMathFixed::ONE;
    out = CMatrix3d(one - 2 * (yy + zz), 2 * (xy - wz), 2 * (xz + wy),
                    2 * (xy + wz), one - 2 * (xx + zz), 2 * (yz - wx),
                    2 * (xz - wy), 2 * (yz + wx), one - 2 * (xx + yy), 0);
}

void CQuaternion::ToAxisAngle(CVector3d& axis, int32_t& angle) const {
    const int32_t h = CMathFixed::ACos(w);
    angle = 2 * h;
    const int32_t s = CMathFixed::Sin(h);
    if (s == 0) {
        axis.Set(CMathFixed::ONE, 0, 0);
        return;
    }
    const int32_t k = FixedDiv(CMathFixed::ONE, s);
    axis[0] = FixedMul(x, k);
    axis[1] = FixedMul(y, k);
    axis[2] = FixedMul(z, k);
}

void CQuaternion::ToEuler(CVector3d& out) const {
    const int32_t xx = FixedMul(x, x), yy = FixedMul(y, y), zz = FixedMul(z, z), ww = FixedMul(w, w);
    out.x = CMathFixed::ATan(FixedDiv(2 * (FixedMul(x, y) + FixedMul(z, w)), xx - yy - zz + ww));
    out.y = CMathFixed::ASin(-2 * (FixedMul(x, z) - FixedMul(y, w)));
    out.z = CMathFixed::ATan(FixedDiv(2 * (FixedMul(y, z) + FixedMul(x, w)), -xx - yy + zz + ww));
}

void CQuaternion::Log(CQuaternion& out) const {
    const int32_t h = CMathFixed::ACos(w);
    const int32_t s = CMathFixed::Sin(h);
    if (s > 0) {
        const int32_t k = FixedDiv(h, s);
        out = CQuaternion(FixedMul(x, k), FixedMul(y, k), FixedMul(z, k), 0);
    } else {
        out = CQuaternion(0, 0, 0, 0);
    }
}

void CQuaternion::Exp(CQuaternion& out) const {
    const int32_t h = CMathFixed::Sqrt(FixedMul(x, x) + FixedMul(y, y) + FixedMul(z, z));
    const int32_t s = CMathFixed::Sin(h);
    const int32_t c = CMathFixed::Cos(h);
    if (h > 0) {
        const int32_t k = FixedDiv(s, h);
        out = CQuaternion(FixedMul(x, k), FixedMul(y, k), FixedMul(z, k), c);
    } else {
        out = CQuaternion(0, 0, 0, c);
    }
}

void CQuaternion::Slerp(CQuaternion& out, const CQuaternion& p, const CQuaternion& q, int32_t t) {
    int32_t c = Dot(p, q);
    const CQuaternion nearQ = c < 0 ? -q : q;
    if (c < 0) c = -c;
    if (c < kSlerpLimit) {
        out = SphericalBlend(p, nearQ, c, t);
    } else {
        Nlerp(out, p, nearQ, t);
    }
}

void CQuaternion::SlerpNoInvert(CQuaternion& out, const CQuaternion& p, const CQuaternion& q, int32_t t) {
    const int32_t c = Dot(p, q);
    if (CMathFixed::Abs(c) < kSlerpLimit) {
        out = SphericalBlend(p, q, c, t);
    } else {
        Nlerp(out, p, q, t);
    }
}

void CQuaternion::Nlerp(CQuaternion& out, const CQuaternion& p, const CQuaternion& q, int32_t t) {
    const CQuaternion nearQ = Dot(p, q) < 0 ? -q : q;
    const CQuaternion blend = nearQ * t + p * (CMathFixed::ONE - t);
    out = blend / blend.Length();
}
