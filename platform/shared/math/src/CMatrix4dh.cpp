#include "CMatrix4dh.h"

#include "CAssert.h"
#include "CMathFixed.h"
#include "CMatrix4d.h"
#include "MatrixKernel.h"

namespace {

// Elements of the fourth column above element 15, which stay 0.
constexpr uint32_t kColumn3[3] = {3, 7, 11};

}  // namespace

CMatrix4dh::CMatrix4dh() : m_elements{}, m_counter() {}

CMatrix4dh::CMatrix4dh(const CMatrix4dh* source) : CMatrix4dh() {
    if (source == nullptr) {
        ASSERT(false);
        return;
    }
    *this = *source;
    ASSERT(m_counter.IsConsistent());
}

CMatrix4dh::CMatrix4dh(int32_t m0, int32_t m1, int32_t m2, int32_t m4, int32_t m5, int32_t m6, int32_t m8,
                       int32_t m9, int32_t m10, int32_t m12, int32_t m13, int32_t m14, uint16_t threshold)
    : m_elements{m0, m1, m2, 0, m4, m5, m6, 0, m8, m9, m10, 0, m12, m13, m14, CMathFixed::ONE},
      m_counter(threshold) {}

CMatrix4dh::CMatrix4dh(const int32_t elements[16], uint16_t threshold) : m_elements{}, m_counter(threshold) {
    for (uint32_t i = 0; i < 16; ++i) m_elements[i] = elements[i];
}

CMatrix4dh::CMatrix4dh(const CVector4dh& row0, const CVector4dh& row1, const CVector4dh& row2,
                       const CVector4dh& row3, uint16_t threshold)
    : m_elements{row0.x, row0.y, row0.z, row0.w, row1.x, row1.y, row1.z, row1.w,
                 row2.x, row2.y, row2.z, row2.w, row3.x, row3.y, row3.z, row3.w},
      m_counter(threshold) {}

void CMatrix4dh::SetIdentity() {
    for (uint32_t i = 0; i < 16; ++i) m_elements[i] = (i % 5 == 0) ? CMathFixed::ONE : 0;
    m_counter.Reset();
}

void CMatrix4dh::SetIdentityRotation() {
    for (uint32_t i = 0; i < 12; ++i) m_elements[i] = (i % 5 == 0) ? CMathFixed::ONE : 0;
    m_counter.Reset();
}

void CMatrix4dh::SetRotation(const CMatrix4dh& m) {
    for (uint32_t i = 0; i < 12; ++i) m_elements[i] = m.m_elements[i];
    m_counter = m.m_counter;
}

void CMatrix4dh::SetRotation(const CMatrix4d& m) {
    for (uint32_t i = 0; i < 12; ++i) m_elements[i] = m.GetElement(i);
    m_counter = m.GetCounter();
}

void CMatrix4dh::RotateX(int32_t angle) {
    MatrixKernel::RotateRowPair(m_elements, 4, 3, 1, 2, CMathFixed::Cos(angle), CMathFixed::Sin(angle));
    CountOperation();
}

void CMatrix4dh::RotateY(int32_t angle) {
    MatrixKernel::RotateRowPair(m_elements, 4, 3, 0, 2, CMathFixed::Cos(angle), -CMathFixed::Sin(angle));
    CountOperation();
}

void CMatrix4dh::RotateZ(int32_t angle) {
    MatrixKernel::RotateRowPair(m_elements, 4, 3, 0, 1, CMathFixed::Cos(angle), CMathFixed::Sin(angle));
    CountOperation();
}

void CMatrix4dh::Rotate(int32_t angle, int32_t x, int32_t y, int32_t z) {
    int32_t r[9];
    MatrixKernel::AxisRotation(r, angle, x, y, z);
    *this *= CMatrix4dh(r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7], r[8], 0, 0, 0, 0);
    CountOperation();
}

void CMatrix4dh::Translate(int32_t x, int32_t y, int32_t z) {
    m_elements[12] += x;
    m_elements[13] += y;
    m_elements[14] += z;
    m_counter.StopAutoOrthonormalize();
}

void CMatrix4dh::AlignZ(int32_t x, int32_t y, int32_t z) {
    MatrixKernel::AlignZ(m_elements, 4, x, y, z);
    for (uint32_t i : kColumn3) m_elements[i] = 0;
    m_elements[15] = CMathFixed::ONE;
    m_counter.Reset();
}

void CMatrix4dh::AlignY(int32_t x, int32_t y, int32_t z) {
    MatrixKernel::AlignY(m_elements, 4, x, y, z);
    for (uint32_t i : kColumn3) m_elements[i] = 0;
    m_elements[15] = CMathFixed::ONE;
    m_counter.Reset();
}

CMatrix4dh& CMatrix4dh::operator*=(const CMatrix4dh& b) {
    int32_t product[16];
    MatrixKernel::AffineProduct(b.m_elements, m_elements, product);
    for (uint32_t r = 0; r < 4; ++r) {
        for (uint32_t c = 0; c < 3; ++c) m_elements[r * 4 + c] = product[r * 4 + c];
    }
    CountOperation();
    return *this;
}

void CMatrix4dh::Orthonormalize() {
    MatrixKernel::OrthonormalizeColumns3(m_elements, 4);
    m_counter.Reset();
}

int32_t& CMatrix4dh::GetElement(uint32_t i) {
    if (i >= 16) {
        ASSERT(false);
        return MatrixKernel::ScratchElement();
    }
    return m_elements[i];
}

int32_t CMatrix4dh::GetElement(uint32_t i) const {
    return const_cast<CMatrix4dh&>(*this).GetElement(i);
}

void CMatrix4dh::CountOperation() {
    if (m_counter.Count()) Orthonormalize();
}

CMatrix4dh operator*(const CMatrix4dh& a, const CMatrix4dh& b) {
    int32_t p[16];
    MatrixKernel::AffineProduct(b.m_elements, a.m_elements, p);
    return CMatrix4dh(p[0], p[1], p[2], p[4], p[5], p[6], p[8], p[9], p[10], p[12], p[13], p[14], a.GetThreshold());
}
