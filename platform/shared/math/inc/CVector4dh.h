#ifndef CVECTOR4DH_H
#define CVECTOR4DH_H

#include <cstdint>

#include "CVector3d.h"

// A homogeneous 3-D vector: w is 1.0 for a point and 0 for a direction.
// The row type of CMatrix4dh.
class CVector4dh {
public:
    int32_t x;
    int32_t y;
    int32_t z;
    int32_t w;

    // Starts at zero.
    CVector4dh() : x(0), y(0), z(0), w(0) {}
    // Without the point/direction flag w would be a guess.
    CVector4dh(int32_t, int32_t, int32_t) = delete;
    // w = 0 when the low byte of isDirection is non-zero, 1.0 otherwise.
    CVector4dh(int32_t vx, int32_t vy, int32_t vz, int32_t isDirection);
    CVector4dh(const CVector3d& v, int32_t isDirection);
    // A null source is reported and gives the zero vector (w as the flag says).
    CVector4dh(const CVector3d* v, int32_t isDirection);

    void Set(int32_t vx, int32_t vy, int32_t vz, int32_t vw) {
        x = vx;
        y = vy;
        z = vz;
        w = vw;
    }
    // x, y, z from the vector; w unchanged.
    CVector4dh& operator=(const CVector3d& v);
};

#endif
