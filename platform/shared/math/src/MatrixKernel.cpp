#include "MatrixKernel.h"

#include "CMathFixed.h"
#include "CVector2d.h"
#include "CVector3d.h"

namespace {

// Beyond this the direction lies within about 2.2 degrees of the tested axis
// and the other construction is taken to keep the basis well conditioned.
constexpr int32_t kNearAxis = 0xFF9C;

int32_t g_scratchElement = 0;

CVector3d Column(const int32_t* m, uint32_t stride, uint32_t c) {
    return CVector3d(m[c], m[stride + c], m[2 * stride + c]);
}

void SetColumn(int32_t* m, uint32_t stride, uint32_t c, const CVector3d& v) {
    m[c] = v.x;
    m[stride + c] = v.y;
    m[2 * stride + c] = v.z;
}

// c1 without its part along the unit vector c0.
template <class Vector>
void RemoveProjection(Vector& c1, const Vector& c0) {
    const int32_t d = Vector::Dot(c0, c1);
    if (d != 0) c1 -= c0 * d;
}

// The unit vector u = axis - d * d.axis for a unit direction d, where
// component `axis` of the unit axis is 1.0.
CVector3d PerpendicularTo(const CVector3d& d, uint32_t axis) {
    const int32_t k = d[axis];
    CVector3d u(-FixedMul(k, d.x), -FixedMul(k, d.y), -FixedMul(k, d.z));
    u[axis] = CMathFixed::ONE - FixedMul(k, k);
    u.Normalize();
    return u;
}

CVector3d NormalizedDirection(int32_t x, int32_t y, int32_t z) {
    CVector3d d(x, y, z);
    d.Normalize();
    return d;
}

}  // namespace

namespace MatrixKernel {

int32_t& ScratchElement() {
    g_scratchElement = 0;
    return g_scratchElement;
}

void RotateRowPair(int32_t* m, uint32_t stride, uint32_t columns, uint32_t rowA, uint32_t rowB, int32_t c,
                   int32_t s) {
    int32_t* a = m + rowA * stride;
    int32_t* b = m + rowB * stride;
    for (uint32_t j = 0; j < columns; ++j) {
        const int32_t oldA = a[j];
        a[j] = FixedMul(oldA, c) + FixedMul(b[j], s);
        b[j] = FixedMul(oldA, -s) + FixedMul(b[j], c);
    }
}

void MultiplyBlock(const int32_t* b, const int32_t* a, int32_t* out, uint32_t n, uint32_t stride) {
    for (uint32_t i = 0; i < n; ++i) {
        for (uint32_t j = 0; j < n; ++j) {
            int32_t sum = 0;
            for (uint32_t k = 0; k < n; ++k) sum += FixedMul(b[i * stride + k], a[k * stride + j]);
            out[i * stride + j] = sum;
        }
    }
}

void AffineProduct(const int32_t* b, const int32_t* a, int32_t* out) {
    MultiplyBlock(b, a, out, 3, 4);
    for (uint32_t j = 0; j < 3; ++j) {
        int32_t sum = a[12 + j];
        for (uint32_t k = 0; k < 3; ++k) sum += FixedMul(b[12 + k], a[k * 4 + j]);
        out[12 + j] = sum;
    }
}

void OrthonormalizeColumns2(int32_t* m) {
    CVector2d c0(m[0], m[2]);
    CVector2d c1(m[1], m[3]);
    c0.Normalize();
    RemoveProjection(c1, c0);
    c1.Normalize();
    m[0] = c0.x;
    m[2] = c0.y;
    m[1] = c1.x;
    m[3] = c1.y;
}

void OrthonormalizeColumns3(int32_t* m, uint32_t stride) {
    CVector3d c0 = Column(m, stride, 0);
    CVector3d c1 = Column(m, stride, 1);
    c0.Normalize();
    RemoveProjection(c1, c0);
    c1.Normalize();
    SetColumn(m, stride, 0, c0);
    SetColumn(m, stride, 1, c1);
    SetColumn(m, stride, 2, CVector3d::Cross(c0, c1));
}

void AxisRotation(int32_t out[9], int32_t angle, int32_t x, int32_t y, int32_t z) {
    const int32_t c = CMathFixed::Cos(angle);
    const int32_t s = CMathFixed::Sin(angle);
    const int32_t t = CMathFixed::ONE - c;
    const int32_t xx = FixedMul(x, x), yy = FixedMul(y, y), zz = FixedMul(z, z);
    const int32_t xy = FixedMul(x, y), xz = FixedMul(x, z), yz = FixedMul(y, z);
    const int32_t sx = FixedMul(s, x), sy = FixedMul(s, y), sz = FixedMul(s, z);
    const int32_t txy = FixedMul(t, xy), txz = FixedMul(t, xz), tyz = FixedMul(t, yz);
    out[0] = CMathFixed::ONE + FixedMul(t, -zz - yy);
    out[1] = sz + txy;
    out[2] = txz - sy;
    out[3] = txy - sz;
    out[4] = CMathFixed::ONE + FixedMul(t, -zz - xx);
    out[5] = sx + tyz;
    out[6] = sy + txz;
    out[7] = tyz - sx;
    out[8] = CMathFixed::ONE + FixedMul(t, -yy - xx);
}

void AlignZ(int32_t* m, uint32_t stride, int32_t x, int32_t y, int32_t z) {
    const CVector3d d = NormalizedDirection(x, y, z);
    SetColumn(m, stride, 2, d);
    if (FixedMul(d.y, d.y) >= kNearAxis) {
        const CVector3d u = PerpendicularTo(d, 0);
        SetColumn(m, stride, 0, u);
        SetColumn(m, stride, 1, CVector3d::Cross(d, u));
    } else {
        const CVector3d u = PerpendicularTo(d, 1);
        SetColumn(m, stride, 1, u);
        SetColumn(m, stride, 0, CVector3d::Cross(u, d));
    }
}

void AlignY(int32_t* m, uint32_t stride, int32_t x, int32_t y, int32_t z) {
    const CVector3d d = NormalizedDirection(x, y, z);
    SetColumn(m, stride, 1, d);
    if (FixedMul(d.z, d.z) >= kNearAxis) {
        const CVector3d u = PerpendicularTo(d, 0);
        SetColumn(m, stride, 0, u);
        SetColumn(m, stride, 2, CVector3d::Cross(u, d));
    } else {
        const CVector3d u = PerpendicularTo(d, 2);
        SetColumn(m, stride, 2, u);
        SetColumn(m, stride, 0, CVector3d::Cross(d, u));
    }
}

}  // namespace MatrixKernel
