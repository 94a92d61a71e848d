#include "CMatrix3d.h"

#include <utility>

#include "CAssert.h"
#include "CMathFixed.h"
#include "CMatrix4d.h"
#include "CMatrix4dh.h"
#include "MatrixKernel.h"

namespace {

// The upper-left 3x3 block of a 4x4 matrix.
template <class Matrix4>
void CopyBlock(const Matrix4& source, int32_t* elements) {
    for (uint32_t r = 0; r < 3; ++r) {
        for (uint32_t c = 0; c < 3; ++c) elements[r * 3 + c] = source.GetElement(r * 4 + c);
    }
}

}  // namespace

CMatrix3d::CMatrix3d() : m_elements{}, m_counter() {}

CMatrix3d::CMatrix3d(const CMatrix3d* source) : CMatrix3d() {
    if (source == nullptr) {
        ASSERT(false);
        return;
    }
    *this = *source;
    ASSERT(m_counter.IsConsistent());
}

CMatrix3d::CMatrix3d(int32_t m0, int32_t m1, int32_t m2, int32_t m3, int32_t m4, int32_t m5, int32_t m6,
                     int32_t m7, int32_t m8, uint16_t threshold)
    : m_elements{m0, m1, m2, m3, m4, m5, m6, m7, m8}, m_counter(threshold) {}

CMatrix3d::CMatrix3d(const int32_t elements[9], uint16_t threshold)
    : CMatrix3d(elements[0], elements[1], elements[2], elements[3], elements[4], elements[5], elements[6],
                elements[7], elements[8], threshold) {}

CMatrix3d::CMatrix3d(const CVector3d& row0, const CVector3d& row1, const CVector3d& row2, uint16_t threshold)
    : CMatrix3d(row0.x, row0.y, row0.z, row1.x, row1.y, row1.z, row2.x, row2.y, row2.z, threshold) {}

CMatrix3d::CMatrix3d(const CMatrix4d& m) : m_elements{}, m_counter(m.GetCounter()) {
    CopyBlock(m, m_elements);
}

CMatrix3d::CMatrix3d(const CMatrix4dh& m) : m_elements{}, m_counter(m.GetCounter()) {
    CopyBlock(m, m_elements);
}

void CMatrix3d::SetIdentity() {
    for (uint32_t i = 0; i < 9; ++i) m_elements[i] = (i % 4 == 0) ? CMathFixed::ONE : 0;
    m_counter.Reset();
}

void CMatrix3d::RotateX(int32_t angle) {
    MatrixKernel::RotateRowPair(m_elements, 3, 3, 1, 2, CMathFixed::Cos(angle), CMathFixed::Sin(angle));
    CountOperation();
}

void CMatrix3d::RotateY(int32_t angle) {
    MatrixKernel::RotateRowPair(m_elements, 3, 3, 0, 2, CMathFixed::Cos(angle), -CMathFixed::Sin(angle));
    CountOperation();
}

void CMatrix3d::RotateZ(int32_t angle) {
    MatrixKernel::RotateRowPair(m_elements, 3, 3, 0, 1, CMathFixed::Cos(angle), CMathFixed::Sin(angle));
    CountOperation();
}

void CMatrix3d::Rotate(int32_t angle, int32_t x, int32_t y, int32_t z) {
    int32_t r[9];
    MatrixKernel::AxisRotation(r, angle, x, y, z);
    *this *= CMatrix3d(r, 0);
    CountOperation();
}

void CMatrix3d::AlignZ(int32_t x, int32_t y, int32_t z) {
    MatrixKernel::AlignZ(m_elements, 3, x, y, z);
    m_counter.Reset();
}

void CMatrix3d::AlignY(int32_t x, int32_t y, int32_t z) {
    MatrixKernel::AlignY(m_elements, 3, x, y, z);
    m_counter.Reset();
}

void CMatrix3d::Transpose() {
    std::swap(m_elements[1], m_elements[3]);
    std::swap(m_elements[2], m_elements[6]);
    std::swap(m_elements[5], m_elements[7]);
}

CMatrix3d& CMatrix3d::operator*=(const CMatrix3d& b) {
    int32_t product[9];
    MatrixKernel::MultiplyBlock(b.m_elements, m_elements, product, 3, 3);
    for (uint32_t i = 0; i < 9; ++i) m_elements[i] = product[i];
    CountOperation();
    return *this;
}

void CMatrix3d::Orthonormalize() {
    MatrixKernel::OrthonormalizeColumns3(m_elements, 3);
    m_counter.Reset();
}

int32_t& CMatrix3d::GetElement(uint32_t i) {
    if (i >= 9) {
        ASSERT(false);
        return MatrixKernel::ScratchElement();
    }
    return m_elements[i];
}

int32_t CMatrix3d::GetElement(uint32_t i) const {
    return const_cast<CMatrix3d&>(*this).GetElement(i);
}

void CMatrix3d::CountOperation() {
    if (m_counter.Count()) Orthonormalize();
}

CMatrix3d operator*(const CMatrix3d& a, const CMatrix3d& b) {
    CMatrix3d result;
    MatrixKernel::MultiplyBlock(b.m_elements, a.m_elements, result.m_elements, 3, 3);
    result.m_counter = CMatrixCounter(a.GetThreshold());
    return result;
}
