#include "CMatrix4d.h"

#include <utility>

#include "CAssert.h"
#include "MatrixKernel.h"

CMatrix4d::CMatrix4d() : m_elements{}, m_counter() {}

CMatrix4d::CMatrix4d(const CMatrix4d* source) : CMatrix4d() {
    if (source == nullptr) {
        ASSERT(false);
        return;
    }
    *this = *source;
    ASSERT(m_counter.IsConsistent());
}

CMatrix4d::CMatrix4d(int32_t m0, int32_t m1, int32_t m2, int32_t m3, int32_t m4, int32_t m5, int32_t m6,
                     int32_t m7, int32_t m8, int32_t m9, int32_t m10, int32_t m11, int32_t m12, int32_t m13,
                     int32_t m14, int32_t m15, uint16_t threshold)
    : m_elements{m0, m1, m2, m3, m4, m5, m6, m7, m8, m9, m10, m11, m12, m13, m14, m15}, m_counter(threshold) {}

CMatrix4d::CMatrix4d(const int32_t elements[16], uint16_t threshold) : m_elements{}, m_counter(threshold) {
    for (uint32_t i = 0; i < 16; ++i) m_elements[i] = elements[i];
}

CMatrix4d::CMatrix4d(const CVector4d& row0, const CVector4d& row1, const CVector4d& row2, const CVector4d& row3,
                     uint16_t threshold)
    : m_elements{row0.x, row0.y, row0.z, row0.w, row1.x, row1.y, row1.z, row1.w,
                 row2.x, row2.y, row2.z, row2.w, row3.x, row3.y, row3.z, row3.w},
      m_counter(threshold) {}

void CMatrix4d::Transpose() {
    for (uint32_t r = 0; r < 4; ++r) {
        for (uint32_t c = r + 1; c < 4; ++c) std::swap(m_elements[r * 4 + c], m_elements[c * 4 + r]);
    }
}

CMatrix4d& CMatrix4d::operator*=(const CMatrix4d& b) {
    int32_t product[16];
    MatrixKernel::MultiplyBlock(b.m_elements, m_elements, product, 4, 4);
    for (uint32_t i = 0; i < 16; ++i) m_elements[i] = product[i];
    CountOperation();
    return *this;
}

void CMatrix4d::Orthonormalize() {
    MatrixKernel::OrthonormalizeColumns3(m_elements, 4);
    m_counter.Reset();
}

int32_t& CMatrix4d::GetElement(uint32_t i) {
    if (i >= 16) {
        ASSERT(false);
        return MatrixKernel::ScratchElement();
    }
    return m_elements[i];
}

int32_t CMatrix4d::GetElement(uint32_t i) const {
    return const_cast<CMatrix4d&>(*this).GetElement(i);
}

void CMatrix4d::CountOperation() {
    if (m_counter.Count()) Orthonormalize();
}

CMatrix4d operator*(const CMatrix4d& a, const CMatrix4d& b) {
    CMatrix4d result;
    MatrixKernel::MultiplyBlock(b.m_elements, a.m_elements, result.m_elements, 4, 4);
    result.m_counter = CMatrixCounter(a.GetThreshold());
    return result;
}
