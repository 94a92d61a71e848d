#include "CMatrix2d.h"

#include <gtest/gtest.h>

#include <cmath>

#include "AssertCounter.h"
#include "MatrixTestUtil.h"

namespace {

using MatrixTest::Block;

constexpr int32_t kOne = 0x10000;
constexpr int32_t kDeg = 0x10000;

void ExpectElements(const CMatrix2d& m, int32_t m0, int32_t m1, int32_t m2, int32_t m3) {
    EXPECT_EQ(m.GetElement(0), m0);
    EXPECT_EQ(m.GetElement(1), m1);
    EXPECT_EQ(m.GetElement(2), m2);
    EXPECT_EQ(m.GetElement(3), m3);
}

CMatrix2d Identity(uint16_t threshold) {
    return CMatrix2d(kOne, 0, 0, kOne, threshold);
}

TEST(CMatrix2d, ConstructorsSetTheCounterFromTheThreshold) {
    const CMatrix2d none;
    ExpectElements(none, 0, 0, 0, 0);
    EXPECT_FALSE(none.IsAutoOrthonormalize());
    EXPECT_EQ(none.GetThreshold(), 0);
    const CVector2d rows[2] = {{1, 2}, {3, 4}};
    const CMatrix2d fromRows(rows, 7);
    ExpectElements(fromRows, 1, 2, 3, 4);
    EXPECT_TRUE(fromRows.IsAutoOrthonormalize());
    EXPECT_EQ(fromRows.GetThreshold(), 7);
    ExpectElements(CMatrix2d(CVector2d(5, 6), CVector2d(7, 8), 0), 5, 6, 7, 8);
    const CMatrix2d copy(&fromRows);
    ExpectElements(copy, 1, 2, 3, 4);
    EXPECT_EQ(copy.GetThreshold(), 7);

    AssertCounter counter;
    const CMatrix2d fromNull(static_cast<const CMatrix2d*>(nullptr));
    ExpectElements(fromNull, 0, 0, 0, 0);
    CMatrix2d m = fromRows;
    m.GetElement(4) = 99;
    ExpectElements(m, 1, 2, 3, 4);
    EXPECT_EQ(counter.Count(), 2);
}

TEST(CMatrix2d, RotatePreMultipliesByTheRotation) {
    CMatrix2d m = Identity(0);
    m.Rotate(90 * kDeg);
    ExpectElements(m, 0, kOne, -kOne, 0);
    CMatrix2d skew(kOne, kOne / 2, kOne / 4, kOne, 0);
    skew.Rotate(30 * kDeg);
    const double c = std::cos(30 * 3.14159265358979323846 / 180), s = std::sin(30 * 3.14159265358979323846 / 180);
    const std::vector<double> expected = MatrixTest::Multiply({c, s, -s, c}, {1, 0.5, 0.25, 1}, 2);
    MatrixTest::ExpectNear(Block(skew, 2, 2), expected, 0.004);
}

TEST(CMatrix2d, ProductsApplyTheRightOperandFirst) {
    const CMatrix2d a(0, kOne, -kOne, 0, 3);        // a quarter turn
    const CMatrix2d b(2 * kOne, 0, 0, kOne / 2, 0);  // a stretch along x
    const CMatrix2d ab = a * b;
    EXPECT_EQ(ab.GetThreshold(), 3);
    EXPECT_EQ(ab.GetOperationCount(), 0);
    // A row vector times (A * B) meets B first.
    CVector2d v(kOne, 0);
    v *= ab;
    CVector2d stepwise(kOne, 0);
    stepwise *= b;
    stepwise *= a;
    EXPECT_EQ(v.x, stepwise.x);
    EXPECT_EQ(v.y, stepwise.y);
    MatrixTest::ExpectNear(Block(ab, 2, 2), MatrixTest::Multiply(Block(b, 2, 2), Block(a, 2, 2), 2), 1e-4);

    CMatrix2d c = a;
    c *= b;
    MatrixTest::ExpectNear(Block(c, 2, 2), Block(ab, 2, 2), 0.0);
    EXPECT_EQ(c.GetOperationCount(), 1);

    const CMatrix2d skew(12345, -6789, 101112, 7, 0);
    const CMatrix2d left = Identity(0) * skew;
    const CMatrix2d right = skew * Identity(0);
    ExpectElements(left, 12345, -6789, 101112, 7);
    ExpectElements(right, 12345, -6789, 101112, 7);
}

TEST(CMatrix2d, ThresholdZeroNeverNormalisesAndTheCounterSaturates) {
    CMatrix2d m(2 * kOne, 0, 0, 2 * kOne, 0);
    for (int i = 0; i < 70000; ++i) m *= Identity(0);
    EXPECT_EQ(m.GetOperationCount(), 65535);
    ExpectElements(m, 2 * kOne, 0, 0, 2 * kOne);
}

TEST(CMatrix2d, NormalisesWhenTheCounterReachesTheThreshold) {
    CMatrix2d once(2 * kOne, 0, 0, 2 * kOne, 1);
    once.Rotate(45 * kDeg);
    EXPECT_EQ(once.GetOperationCount(), 0);
    MatrixTest::ExpectOrthonormal(Block(once, 2, 2), 2, MatrixTest::kNormalised);

    CMatrix2d m(2 * kOne, kOne / 3, 0, 2 * kOne, 4);
    for (int i = 0; i < 3; ++i) m.Rotate(10 * kDeg);
    EXPECT_EQ(m.GetOperationCount(), 3);
    EXPECT_NEAR(MatrixTest::ColumnDot(Block(m, 2, 2), 2, 0, 0), 4.0, 0.1);
    m.Rotate(10 * kDeg);
    EXPECT_EQ(m.GetOperationCount(), 0);
    MatrixTest::ExpectOrthonormal(Block(m, 2, 2), 2, MatrixTest::kNormalised);
}

TEST(CMatrix2d, PeriodicNormalisationStopsTheDrift) {
    // Table sines make every small rotation shrink the matrix a little.
    CMatrix2d drifting = Identity(0);
    CMatrix2d kept = Identity(10);
    for (int i = 0; i < 3600; ++i) {
        drifting.Rotate(kDeg);
        kept.Rotate(kDeg);
    }
    EXPECT_LT(MatrixTest::ColumnDot(Block(drifting, 2, 2), 2, 0, 0), 0.98);
    MatrixTest::ExpectOrthonormal(Block(kept, 2, 2), 2, MatrixTest::kNormalised);
}

TEST(CMatrix2d, ScaleSwitchesTheNormalisationOff) {
    CMatrix2d m = Identity(1);
    m.Scale(2 * kOne, 2 * kOne);
    ExpectElements(m, 2 * kOne, 0, 0, 2 * kOne);
    EXPECT_FALSE(m.IsAutoOrthonormalize());
    EXPECT_EQ(m.GetThreshold(), 1);
    m.Rotate(30 * kDeg);
    EXPECT_NEAR(MatrixTest::ColumnDot(Block(m, 2, 2), 2, 0, 0), 4.0, 0.01);
    EXPECT_EQ(m.GetOperationCount(), 1);
    m.Scale(CVector2d(kOne / 2, kOne));
    EXPECT_NEAR(m.GetElement(0), std::cos(30 * 3.14159265358979323846 / 180) * 65536, 300);
}

TEST(CMatrix2d, SetZeroAndOrthonormalize) {
    CMatrix2d m(kOne, kOne, 0, kOne, 5);
    m.Rotate(kDeg);
    m.SetZero();
    ExpectElements(m, 0, 0, 0, 0);
    EXPECT_EQ(m.GetOperationCount(), 0);
    EXPECT_TRUE(m.IsAutoOrthonormalize());
    m.Orthonormalize();
    ExpectElements(m, 0, 0, 0, 0);

    CMatrix2d skew(3 * kOne, kOne, 4 * kOne, 2 * kOne, 0);
    skew.Orthonormalize();
    const std::vector<double> b = Block(skew, 2, 2);
    MatrixTest::ExpectOrthonormal(b, 2, MatrixTest::kNormalised);
    // Column 0 keeps its direction (0.6, 0.8).
    EXPECT_NEAR(b[0], 0.6, 0.004);
    EXPECT_NEAR(b[2], 0.8, 0.004);
}

}  // namespace
