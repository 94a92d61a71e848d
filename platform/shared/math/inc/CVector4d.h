#ifndef CVECTOR4D_H
#define CVECTOR4D_H

#include <cstdint>

#include "CVector3d.h"

// Four 16.16 components; the row type of CMatrix4d.
class CVector4d {
public:
    int32_t x;
    int32_t y;
    int32_t z;
    int32_t w;

    // Starts at zero.
    CVector4d() : x(0), y(0), z(0), w(0) {}
    CVector4d(int32_t vx, int32_t vy, int32_t vz, int32_t vw) : x(vx), y(vy), z(vz), w(vw) {}
    // Copy through a pointer; a null source is reported and gives zero.
    explicit CVector4d(const CVector4d* source);

    void Set(int32_t vx, int32_t vy, int32_t vz, int32_t vw) {
        x = vx;
        y = vy;
        z = vz;
        w = vw;
    }
    // Copy through a pointer; a null source is reported and leaves it unchanged.
    CVector4d& operator=(const CVector4d* source);
    // x, y, z from the vector; w unchanged.
    CVector4d& operator=(const CVector3d& v);

    CVector4d& operator+=(const CVector4d& v);
    CVector4d& operator-=(const CVector4d& v);
    CVector4d& operator+=(int32_t s);
    CVector4d& operator-=(int32_t s);
    CVector4d& operator*=(int32_t s);
    // FixedDiv of each component; see FixedDiv for a zero s.
    CVector4d& operator/=(int32_t s);
};

#endif
