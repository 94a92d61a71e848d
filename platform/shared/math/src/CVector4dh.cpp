#include "CVector4dh.h"

#include "CAssert.h"
#include "CMathFixed.h"

namespace {

// Only the low byte of the flag counts, as a byte flag would.
int32_t WFromFlag(int32_t isDirection) {
    return (isDirection & 0xFF) != 0 ? 0 : CMathFixed::ONE;
}

}  // namespace

CVector4dh::CVector4dh(int32_t vx, int32_t vy, int32_t vz, int32_t isDirection)
    : x(vx), y(vy), z(vz), w(WFromFlag(isDirection)) {}

CVector4dh::CVector4dh(const CVector3d& v, int32_t isDirection)
    : x(v.x), y(v.y), z(v.z), w(WFromFlag(isDirection)) {}

CVector4dh::CVector4dh(const CVector3d* v, int32_t isDirection) : x(0), y(0), z(0), w(WFromFlag(isDirection)) {
    if (v == nullptr) {
        ASSERT(false);
        return;
    }
    *this = *v;
}

CVector4dh& CVector4dh::operator=(const CVector3d& v) {
    x = v.x;
    y = v.y;
    z = v.z;
    return *this;
}
