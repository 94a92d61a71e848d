#include "CVector4d.h"

#include "CAssert.h"
#include "CMathFixed.h"

CVector4d::CVector4d(const CVector4d* source) : x(0), y(0), z(0), w(0) {
    *this = source;
}

CVector4d& CVector4d::operator=(const CVector4d* source) {
    if (source == nullptr) {
        ASSERT(false);
        return *this;
    }
    *this = *source;
    return *this;
}

CVector4d& CVector4d::operator=(const CVector3d& v) {
    x = v.x;
    y = v.y;
    z = v.z;
    return *this;
}

CVector4d& CVector4d::operator+=(const CVector4d& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    w += v.w;
    return *this;
}

CVector4d& CVector4d::operator-=(const CVector4d& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    w -= v.w;
    return *this;
}

CVector4d& CVector4d::operator+=(int32_t s) {
    return *this += CVector4d(s, s, s, s);
}

CVector4d& CVector4d::operator-=(int32_t s) {
    return *this -= CVector4d(s, s, s, s);
}

CVector4d& CVector4d::operator*=(int32_t s) {
    x = FixedMul(x, s);
    y = FixedMul(y, s);
    z = FixedMul(z, s);
    w = FixedMul(w, s);
    return *this;
}

CVector4d& CVector4d::operator/=(int32_t s) {
    x = FixedDiv(x, s);
    y = FixedDiv(y, s);
    z = FixedDiv(z, s);
    w = FixedDiv(w, s);
    return *this;
}
