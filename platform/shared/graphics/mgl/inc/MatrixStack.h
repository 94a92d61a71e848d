#ifndef MATRIXSTACK_H
#define MATRIXSTACK_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "MGLRecord.h"
#include "Matrix2x3.h"
#include "Matrix3x4.h"

// A view of one matrix stack of the state record: 20 matrices, then the
// count of entries in use; the top is entry count - 1. The bytes stay in the
// record (span code and hosts may look at them), so matrices are copied in
// and out rather than referenced. Depth is kept between 1 and 20: a push on
// a full stack or a pop of the last entry is refused, and a count that
// something else wrote out of range is read as the nearest valid one.
template <typename Matrix>
class MatrixStackOf {
public:
    static constexpr int32_t kDepth = 20;
    static constexpr size_t kCountOffset = kDepth * sizeof(Matrix);
    static constexpr size_t kBytes = kCountOffset + sizeof(int32_t);

    explicit MatrixStackOf(uint8_t* storage) : m_storage(storage) {}

    // Entries in use, 1..20.
    int32_t Count() const {
        const int32_t count = StoredCount();
        return count < 1 ? 1 : (count > kDepth ? kDepth : count);
    }

    // One entry, `bottom`.
    void Reset(const Matrix& bottom) {
        StoreEntry(0, bottom);
        StoreCount(1);
    }

    // Copies the top one entry up; false when the stack is full.
    bool Push() {
        const int32_t count = Count();
        if (count >= kDepth) return false;
        StoreEntry(count, Entry(count - 1));
        StoreCount(count + 1);
        return true;
    }

    // Drops the top; false when only one entry is left.
    bool Pop() {
        const int32_t count = Count();
        if (count <= 1) return false;
        StoreCount(count - 1);
        return true;
    }

    Matrix Top() const { return Entry(Count() - 1); }
    void SetTop(const Matrix& matrix) { StoreEntry(Count() - 1, matrix); }

private:
    Matrix Entry(int32_t index) const {
        Matrix matrix;
        std::memcpy(&matrix, m_storage + static_cast<size_t>(index) * sizeof(Matrix), sizeof(Matrix));
        return matrix;
    }
    void StoreEntry(int32_t index, const Matrix& matrix) {
        std::memcpy(m_storage + static_cast<size_t>(index) * sizeof(Matrix), &matrix, sizeof(Matrix));
    }
    int32_t StoredCount() const {
        int32_t count;
        std::memcpy(&count, m_storage + kCountOffset, sizeof count);
        return count;
    }
    void StoreCount(int32_t count) { std::memcpy(m_storage + kCountOffset, &count, sizeof count); }

    uint8_t* m_storage;
};

// The host-filled stack of 2D matrices the screen-space draws use.
using MatrixStack2d = MatrixStackOf<Matrix2x3>;

// A stack of 3D affine matrices (modelview, texture, aux).
class MatrixStack : public MatrixStackOf<Matrix3x4> {
public:
    using MatrixStackOf<Matrix3x4>::MatrixStackOf;

    // Top translation = top 3x3 x t + top translation: t is applied first.
    void Translate(const int32_t* translation);
    // Top 3x3 = top 3x3 x rotation.
    void Rotate(const Matrix3x3& rotation);
};

static_assert(MatrixStack2d::kBytes == MGLRecord::kMatrixStack2dBytes);
static_assert(MatrixStack::kBytes == MGLRecord::kMatrixStack3x4Bytes);

#endif
