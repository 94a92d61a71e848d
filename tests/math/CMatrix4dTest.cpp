#include "CMatrix4d.h"

#include <gtest/gtest.h>

#include <random>

#include "AssertCounter.h"
#include "CMatrix3d.h"
#include "CMatrix4dh.h"
#include "MatrixTestUtil.h"

namespace {

using MatrixTest::Block;

constexpr int32_t kOne = 0x10000;
constexpr int32_t kDeg = 0x10000;

CMatrix4d Identity4d(uint16_t threshold) {
    int32_t e[16] = {};
    e[0] = e[5] = e[10] = e[15] = kOne;
    return CMatrix4d(e, threshold);
}

CMatrix4d Random4d(std::mt19937& random, uint16_t threshold) {
    int32_t e[16];
    for (int32_t& v : e) v = static_cast<int32_t>(random() % 0x40000) - 0x20000;
    return CMatrix4d(e, threshold);
}

template <class Matrix>
void ExpectElements(const Matrix& m, const std::vector<int32_t>& expected) {
    for (uint32_t i = 0; i < 16; ++i) EXPECT_EQ(m.GetElement(i), expected[i]) << "element " << i;
}

template <class Matrix>
std::vector<int32_t> Elements(const Matrix& m) {
    std::vector<int32_t> out(16);
    for (uint32_t i = 0; i < 16; ++i) out[i] = m.GetElement(i);
    return out;
}

TEST(CMatrix4d, ConstructorsTransposeAndChecks) {
    CMatrix4d m(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 2);
    EXPECT_TRUE(m.IsAutoOrthonormalize());
    m.Transpose();
    ExpectElements(m, {0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15});
    EXPECT_EQ(m.GetOperationCount(), 0);
    const CMatrix4d rows(CVector4d(1, 2, 3, 4), CVector4d(5, 6, 7, 8), CVector4d(9, 10, 11, 12),
                         CVector4d(13, 14, 15, 16), 0);
    const CMatrix4d copy(&rows);
    ExpectElements(copy, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    EXPECT_FALSE(copy.IsAutoOrthonormalize());
    AssertCounter counter;
    const CMatrix4d fromNull(static_cast<const CMatrix4d*>(nullptr));
    ExpectElements(fromNull, std::vector<int32_t>(16, 0));
    CMatrix4d target = rows;
    target.GetElement(16) = 5;
    ExpectElements(target, Elements(rows));
    EXPECT_EQ(counter.Count(), 2);
}

TEST(CMatrix4d, ProductsApplyTheRightOperandFirst) {
    std::mt19937 random(31);
    const CMatrix4d a = Random4d(random, 5);
    const CMatrix4d b = Random4d(random, 0);
    const CMatrix4d ab = a * b;
    EXPECT_EQ(ab.GetThreshold(), 5);
    EXPECT_EQ(ab.GetOperationCount(), 0);
    MatrixTest::ExpectNear(Block(ab, 4, 4), MatrixTest::Multiply(Block(b, 4, 4), Block(a, 4, 4), 4), 1e-4);
    CMatrix4d c = a;
    c *= b;
    ExpectElements(c, Elements(ab));
    EXPECT_EQ(c.GetOperationCount(), 1);
    // The identity on either side keeps everything, translation row included.
    ExpectElements(Identity4d(0) * a, Elements(a));
    ExpectElements(a * Identity4d(0), Elements(a));
    CMatrix4d d = a;
    d *= Identity4d(0);
    ExpectElements(d, Elements(a));
}

TEST(CMatrix4d, NormalisesOnlyItsRotationBlockAtTheThreshold) {
    CMatrix4d m(2 * kOne, kOne, 0, 7, 0, 2 * kOne, 0, 8, 0, 0, 2 * kOne, 9, 10 * kOne, 11 * kOne, 12 * kOne, 13, 2);
    m *= Identity4d(0);
    EXPECT_EQ(m.GetOperationCount(), 1);
    EXPECT_EQ(m.GetElement(0), 2 * kOne);
    m *= Identity4d(0);
    EXPECT_EQ(m.GetOperationCount(), 0);
    MatrixTest::ExpectOrthonormal(Block(m, 3, 4), 3, MatrixTest::kNormalisedCross);
    for (uint32_t i : {3u, 7u, 11u, 12u, 13u, 14u, 15u}) {
        const int32_t before[] = {0, 0, 0, 7, 0, 0, 0, 8, 0, 0, 0, 9, 10 * kOne, 11 * kOne, 12 * kOne, 13};
        EXPECT_EQ(m.GetElement(i), before[i]) << "element " << i;
    }
}

CMatrix4dh Translation(int32_t x, int32_t y, int32_t z) {
    return CMatrix4dh(kOne, 0, 0, 0, kOne, 0, 0, 0, kOne, x, y, z, 0);
}

TEST(CMatrix4dh, TwelveValueConstructorAndIdentities) {
    const CMatrix4dh m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0);
    ExpectElements(m, {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, kOne});
    int32_t raw[16];
    for (int32_t i = 0; i < 16; ++i) raw[i] = 100 + i;
    CMatrix4dh copied(raw, 3);
    ExpectElements(copied, Elements(CMatrix4d(raw, 0)));
    copied.SetIdentityRotation();
    ExpectElements(copied, {kOne, 0, 0, 0, 0, kOne, 0, 0, 0, 0, kOne, 0, 112, 113, 114, 115});
    copied.SetIdentity();
    ExpectElements(copied, {kOne, 0, 0, 0, 0, kOne, 0, 0, 0, 0, kOne, 0, 0, 0, 0, kOne});
    const CMatrix4dh rows(CVector4dh(1, 2, 3, 0), CVector4dh(4, 5, 6, 1), CVector4dh(7, 8, 9, 0),
                          CVector4dh(10, 11, 12, 0), 0);
    ExpectElements(rows, {1, 2, 3, kOne, 4, 5, 6, 0, 7, 8, 9, kOne, 10, 11, 12, kOne});
}

TEST(CMatrix4dh, TranslateAddsAndSwitchesTheNormalisationOff) {
    CMatrix4dh m(kOne, 0, 0, 0, kOne, 0, 0, 0, kOne, 0, 0, 0, 4);
    m.Translate(kOne, 2 * kOne, 3 * kOne);
    ExpectElements(m, {kOne, 0, 0, 0, 0, kOne, 0, 0, 0, 0, kOne, 0, kOne, 2 * kOne, 3 * kOne, kOne});
    EXPECT_FALSE(m.IsAutoOrthonormalize());
    EXPECT_EQ(m.GetOperationCount(), 0);
    m.Translate(-kOne, 0, kOne);
    EXPECT_EQ(m.GetElement(12), 0);
    EXPECT_EQ(m.GetElement(14), 4 * kOne);
}

TEST(CMatrix4dh, AffineProductsIgnoreTheFourthColumn) {
    const CMatrix4dh product = Translation(kOne, 2 * kOne, 3 * kOne) * Translation(10 * kOne, -kOne, 0);
    ExpectElements(product, Elements(Translation(11 * kOne, kOne, 3 * kOne)));

    std::mt19937 random(41);
    int32_t a[16], b[16], junk[16];
    for (int32_t i = 0; i < 16; ++i) {
        a[i] = static_cast<int32_t>(random() % 0x40000) - 0x20000;
        b[i] = static_cast<int32_t>(random() % 0x40000) - 0x20000;
        junk[i] = b[i];
    }
    for (int32_t i : {3, 7, 11}) {
        a[i] = 0;
        b[i] = 0;
        junk[i] = 0x12345 * (i + 1);
    }
    a[15] = b[15] = kOne;
    junk[15] = -7;
    const CMatrix4dh ma(a, 8);
    const CMatrix4dh clean = ma * CMatrix4dh(b, 0);
    ExpectElements(ma * CMatrix4dh(junk, 0), Elements(clean));
    EXPECT_EQ(clean.GetThreshold(), 8);
    // As full 4x4 matrices with the fourth column (0, 0, 0, 1).
    MatrixTest::ExpectNear(Block(clean, 4, 4), MatrixTest::Multiply(Block(CMatrix4d(b, 0), 4, 4),
                                                                     Block(CMatrix4d(a, 0), 4, 4), 4), 1e-4);
    CMatrix4dh inPlace = ma;
    inPlace *= CMatrix4dh(junk, 0);
    ExpectElements(inPlace, Elements(clean));
    EXPECT_EQ(inPlace.GetOperationCount(), 1);
}

TEST(CMatrix4dh, NormalisesTheRotationBlockOnTheThresholdOperation) {
    const int32_t skewed[16] = {2 * kOne, kOne / 2, 0, 0, 0, 2 * kOne, 0, 0, 0, 0, 2 * kOne, 0,
                                5 * kOne, 6 * kOne, 7 * kOne, kOne};
    CMatrix4dh m(skewed, 3);
    m.RotateX(10 * kDeg);
    m.RotateX(10 * kDeg);
    EXPECT_EQ(m.GetOperationCount(), 2);
    EXPECT_NEAR(MatrixTest::ColumnDot(Block(m, 3, 4), 3, 0, 0), 4.0, 0.05);
    m.RotateX(10 * kDeg);
    EXPECT_EQ(m.GetOperationCount(), 0);
    MatrixTest::ExpectOrthonormal(Block(m, 3, 4), 3, MatrixTest::kNormalisedCross);
    ExpectElements(m, [&] {
        std::vector<int32_t> expected = Elements(m);
        for (uint32_t i : {3u, 7u, 11u, 12u, 13u, 14u, 15u}) expected[i] = skewed[i];
        return expected;
    }());
}

TEST(CMatrix4dh, RotationsMatchTheThreeByThreeMatrix) {
    CMatrix4dh h;
    h.SetIdentity();
    h.Translate(kOne, 2 * kOne, 3 * kOne);
    CMatrix3d r(kOne, 0, 0, 0, kOne, 0, 0, 0, kOne, 0);
    h.RotateX(20 * kDeg);
    r.RotateX(20 * kDeg);
    h.RotateY(-35 * kDeg);
    r.RotateY(-35 * kDeg);
    h.RotateZ(100 * kDeg);
    r.RotateZ(100 * kDeg);
    h.Rotate(45 * kDeg, 0, kOne, 0);
    r.Rotate(45 * kDeg, 0, kOne, 0);
    EXPECT_EQ(h.GetOperationCount(), 5);
    for (uint32_t row = 0; row < 3; ++row) {
        for (uint32_t c = 0; c < 3; ++c) EXPECT_EQ(h.GetElement(row * 4 + c), r.GetElement(row * 3 + c));
    }
    EXPECT_EQ(h.GetElement(12), kOne);
    EXPECT_EQ(h.GetElement(14), 3 * kOne);
    EXPECT_EQ(h.GetElement(15), kOne);
}

TEST(CMatrix4dh, AlignAndSetRotationKeepTheTranslation) {
    CMatrix4dh h(kOne, 0, 0, 0, kOne, 0, 0, 0, kOne, 5 * kOne, 6 * kOne, 7 * kOne, 2);
    h.GetElement(3) = 99;
    h.RotateZ(kDeg);
    h.AlignZ(0, kOne, 0);
    CMatrix3d r;
    r.AlignZ(0, kOne, 0);
    for (uint32_t row = 0; row < 3; ++row) {
        for (uint32_t c = 0; c < 3; ++c) EXPECT_EQ(h.GetElement(row * 4 + c), r.GetElement(row * 3 + c));
        EXPECT_EQ(h.GetElement(row * 4 + 3), 0);
    }
    EXPECT_EQ(h.GetElement(13), 6 * kOne);
    EXPECT_EQ(h.GetElement(15), kOne);
    EXPECT_EQ(h.GetOperationCount(), 0);
    h.AlignY(kOne, kOne, 0);
    r.AlignY(kOne, kOne, 0);
    EXPECT_EQ(h.GetElement(5), r.GetElement(4));
    EXPECT_EQ(h.GetElement(14), 7 * kOne);

    int32_t raw[16];
    for (int32_t i = 0; i < 16; ++i) raw[i] = i + 1;
    CMatrix4dh source(raw, 0);
    source.RotateX(kDeg);
    h.SetRotation(source);
    for (uint32_t i = 0; i < 12; ++i) EXPECT_EQ(h.GetElement(i), source.GetElement(i));
    EXPECT_EQ(h.GetElement(12), 5 * kOne);
    EXPECT_FALSE(h.IsAutoOrthonormalize());
    EXPECT_EQ(h.GetOperationCount(), 1);
    h.SetRotation(CMatrix4d(raw, 6));
    EXPECT_EQ(h.GetElement(11), 12);
    EXPECT_EQ(h.GetThreshold(), 6);
    EXPECT_TRUE(h.IsAutoOrthonormalize());
}

}  // namespace
