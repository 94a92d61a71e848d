#include "CMatrix2d.h"

#include "CAssert.h"
#include "CMathFixed.h"
#include "MatrixKernel.h"

CMatrix2d::CMatrix2d() : m_elements{0, 0, 0, 0}, m_counter() {}

CMatrix2d::CMatrix2d(const CMatrix2d* source) : CMatrix2d() {
    if (source == nullptr) {
        ASSERT(false);
        return;
    }
    *this = *source;
    ASSERT(m_counter.IsConsistent());
}

CMatrix2d::CMatrix2d(int32_t m0, int32_t m1, int32_t m2, int32_t m3, uint16_t threshold)
    : m_elements{m0, m1, m2, m3}, m_counter(threshold) {}

CMatrix2d::CMatrix2d(const CVector2d rows[2], uint16_t threshold) : CMatrix2d(rows[0], rows[1], threshold) {}

CMatrix2d::CMatrix2d(const CVector2d& row0, const CVector2d& row1, uint16_t threshold)
    : m_elements{row0.x, row0.y, row1.x, row1.y}, m_counter(threshold) {}

void CMatrix2d::SetZero() {
    for (int32_t& element : m_elements) element = 0;
    m_counter.Reset();
}

void CMatrix2d::SetIdentity() {
    m_elements[0] = CMathFixed::ONE;
    m_elements[1] = 0;
    m_elements[2] = 0;
    m_elements[3] = CMathFixed::ONE;
    m_counter.Reset();
}

void CMatrix2d::Scale(int32_t sx, int32_t sy) {
    m_elements[0] = FixedMul(m_elements[0], sx);
    m_elements[1] = FixedMul(m_elements[1], sx);
    m_elements[2] = FixedMul(m_elements[2], sy);
    m_elements[3] = FixedMul(m_elements[3], sy);
    m_counter.StopAutoOrthonormalize();
}

void CMatrix2d::Scale(const CVector2d& s) {
    Scale(s.x, s.y);
}

void CMatrix2d::Rotate(int32_t angle) {
    MatrixKernel::RotateRowPair(m_elements, 2, 2, 0, 1, CMathFixed::Cos(angle), CMathFixed::Sin(angle));
    CountOperation();
}

CMatrix2d& CMatrix2d::operator*=(const CMatrix2d& b) {
    int32_t product[4];
    MatrixKernel::MultiplyBlock(b.m_elements, m_elements, product, 2, 2);
    for (uint32_t i = 0; i < 4; ++i) m_elements[i] = product[i];
    CountOperation();
    return *this;
}

void CMatrix2d::Orthonormalize() {
    MatrixKernel::OrthonormalizeColumns2(m_elements);
    m_counter.Reset();
}

int32_t& CMatrix2d::GetElement(uint32_t i) {
    if (i >= 4) {
        ASSERT(false);
        return MatrixKernel::ScratchElement();
    }
    return m_elements[i];
}

int32_t CMatrix2d::GetElement(uint32_t i) const {
    return const_cast<CMatrix2d&>(*this).GetElement(i);
}

void CMatrix2d::CountOperation() {
    if (m_counter.Count()) Orthonormalize();
}

CMatrix2d operator*(const CMatrix2d& a, const CMatrix2d& b) {
    CMatrix2d result(0, 0, 0, 0, a.GetThreshold());
    MatrixKernel::MultiplyBlock(b.m_elements, a.m_elements, result.m_elements, 2, 2);
    return result;
}
