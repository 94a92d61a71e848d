#include "CVector2d.h"

#include "CFixedWide.h"
#include "CMathFixed.h"
#include "CMatrix2d.h"
#include "VectorSegmentDistance.h"

CVector2d& CVector2d::operator+=(const CVector2d& v) {
    x += v.x;
    y += v.y;
    return *this;
}

CVector2d& CVector2d::operator-=(const CVector2d& v) {
    x -= v.x;
    y -= v.y;
    return *this;
}

CVector2d& CVector2d::operator*=(int32_t s) {
    x = FixedMul(s, x);
    y = FixedMul(s, y);
    return *this;
}

CVector2d& CVector2d::operator/=(int32_t s) {
    x = FixedDiv(x, s);
    y = FixedDiv(y, s);
    return *this;
}

CVector2d& CVector2d::operator*=(const CMatrix2d& m) {
    const int32_t oldX = x;
    x = FixedMul(m.GetElement(0), oldX) + FixedMul(m.GetElement(2), y);
    y = FixedMul(m.GetElement(1), oldX) + FixedMul(m.GetElement(3), y);
    return *this;
}

int32_t CVector2d::Dot(const CVector2d& a, const CVector2d& b) {
    return FixedMul(a.x, b.x) + FixedMul(a.y, b.y);
}

int64_t CVector2d::DotWide(const CVector2d& a, const CVector2d& b) {
    return FixedMulWide(a.x, b.x) + FixedMulWide(a.y, b.y);
}

int32_t CVector2d::Length() const {
    return CMathFixed::Sqrt(Dot(*this, *this));
}

CVector2d& CVector2d::Normalize() {
    const int32_t length = Length();
    if (length != 0) *this /= length;
    return *this;
}

CVector2d& CVector2d::Lerp(const CVector2d& target, int32_t t) {
    x += FixedMul(t, target.x - x);
    y += FixedMul(t, target.y - y);
    return *this;
}

CVector2d& CVector2d::Rotate(int32_t angle) {
    if (angle == 0) return *this;
    const int32_t s = CMathFixed::Sin(angle);
    const int32_t c = CMathFixed::Cos(angle);
    const int32_t oldX = x;
    x = FixedMul(c, oldX) + FixedMul(-s, y);
    y = FixedMul(s, oldX) + FixedMul(c, y);
    return *this;
}

int32_t CVector2d::Angle() const {
    CVector2d unit(*this);
    unit.Normalize();
    const int32_t angle = CMathFixed::ACos(unit.x);
    if (y < 0 && angle != 0) return CMathFixed::DEG_360 - angle;
    return angle;
}

int32_t CVector2d::AngleBetween(const CVector2d& a, const CVector2d& b) {
    const int32_t lengths = FixedMul(a.Length(), b.Length());
    if (lengths == 0) return 0;
    return CMathFixed::ACos(FixedDiv(Dot(a, b), lengths));
}

int32_t CVector2d::AngleTo(const CVector2d& a, const CVector2d& b) {
    int32_t turn = b.Angle() - a.Angle();
    if (turn <= -CMathFixed::DEG_180) {
        turn += CMathFixed::DEG_360;
    } else if (turn >= CMathFixed::DEG_180) {
        turn -= CMathFixed::DEG_360;
    }
    return turn;
}

int32_t CVector2d::DistanceToSegment(const CVector2d& p, const CVector2d& a, const CVector2d& b, CVector2d& closest) {
    return VectorDistanceToSegment(p, a, b, closest);
}

int32_t CVector2d::DistanceToSegment(const CVector2d& p, const CVector2d segment[2], CVector2d& closest) {
    return DistanceToSegment(p, segment[0], segment[1], closest);
}

int32_t CVector2d::Side(const CVector2d& p, const CVector2d& a, const CVector2d& b) {
    return FixedMul(b.x - a.x, p.y - a.y) - FixedMul(p.x - a.x, b.y - a.y);
}

int32_t CVector2d::Side(const CVector2d& p, const CVector2d segment[2]) {
    return Side(p, segment[0], segment[1]);
}

int32_t CVector2d::WindingNumber(const CVector2d& p, const CVector2d* points, int32_t count) {
    int32_t winding = 0;
    if (points == nullptr) return winding;
    for (int32_t i = 0; i < count; ++i) {
        const CVector2d& e0 = points[i];
        const CVector2d& e1 = points[i + 1 < count ? i + 1 : 0];
        if (e0.y > p.y) {
            if (e1.y <= p.y && Side(p, e0, e1) <= 0) --winding;
        } else if (e1.y > p.y && Side(p, e0, e1) >= 0) {
            ++winding;
        }
    }
    return winding;
}

CVector2d operator+(const CVector2d& a, const CVector2d& b) {
    return CVector2d(a.x + b.x, a.y + b.y);
}

CVector2d operator-(const CVector2d& a, const CVector2d& b) {
    return CVector2d(a.x - b.x, a.y - b.y);
}

CVector2d operator*(int32_t s, const CVector2d& v) {
    return CVector2d(FixedMul(s, v.x), FixedMul(s, v.y));
}

CVector2d operator*(const CVector2d& v, int32_t s) {
    return s * v;
}

CVector2d operator/(const CVector2d& v, int32_t s) {
    return CVector2d(FixedDiv(v.x, s), FixedDiv(v.y, s));
}

CVector2d operator*(const CMatrix2d& m, const CVector2d& v) {
    CVector2d result(v);
    result *= m;
    return result;
}
