#include "CMatrix3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "AssertCounter.h"
#include "CMatrix4d.h"
#include "CMatrix4dh.h"
#include "MatrixTestUtil.h"

namespace {

using MatrixTest::Block;

constexpr int32_t kOne = 0x10000;
constexpr int32_t kDeg = 0x10000;
constexpr double kPi = 3.14159265358979323846;
// A table sine is off by up to about 0.0016; a few products add up.
constexpr double kRotationTolerance = 0.006;

CMatrix3d Identity(uint16_t threshold) {
    return CMatrix3d(kOne, 0, 0, 0, kOne, 0, 0, 0, kOne, threshold);
}

CMatrix3d RandomMatrix(std::mt19937& random, uint16_t threshold) {
    int32_t e[9];
    for (int32_t& v : e) v = static_cast<int32_t>(random() % 0x40000) - 0x20000;
    return CMatrix3d(e, threshold);
}

void ExpectRows(const CMatrix3d& m, const std::vector<int32_t>& expected) {
    for (uint32_t i = 0; i < 9; ++i) EXPECT_EQ(m.GetElement(i), expected[i]) << "element " << i;
}

TEST(CMatrix3d, ConstructorsAndChecks) {
    const CMatrix3d fromRows(CVector3d(1, 2, 3), CVector3d(4, 5, 6), CVector3d(7, 8, 9), 4);
    ExpectRows(fromRows, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_TRUE(fromRows.IsAutoOrthonormalize());
    const CMatrix3d copy(&fromRows);
    ExpectRows(copy, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(copy.GetThreshold(), 4);
    const CMatrix3d none;
    ExpectRows(none, {0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(none.IsAutoOrthonormalize());

    CMatrix4dh affine;
    affine.SetIdentity();
    affine.RotateX(30 * kDeg);
    affine.Translate(kOne, kOne, kOne);  // switches the flag off
    const CMatrix3d block(affine);
    for (uint32_t r = 0; r < 3; ++r) {
        for (uint32_t c = 0; c < 3; ++c) EXPECT_EQ(block.GetElement(r * 3 + c), affine.GetElement(r * 4 + c));
    }
    EXPECT_EQ(block.GetOperationCount(), 1);
    EXPECT_FALSE(block.IsAutoOrthonormalize());
    int32_t general[16];
    for (int32_t i = 0; i < 16; ++i) general[i] = i;
    const CMatrix3d fromGeneral{CMatrix4d(general, 9)};
    ExpectRows(fromGeneral, {0, 1, 2, 4, 5, 6, 8, 9, 10});
    EXPECT_EQ(fromGeneral.GetThreshold(), 9);

    AssertCounter counter;
    const CMatrix3d fromNull(static_cast<const CMatrix3d*>(nullptr));
    ExpectRows(fromNull, {0, 0, 0, 0, 0, 0, 0, 0, 0});
    CMatrix3d m = fromRows;
    m.GetElement(9) = 1;
    ExpectRows(m, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(counter.Count(), 2);
}

TEST(CMatrix3d, AxisRotationsPreMultiply) {
    CMatrix3d z = Identity(0);
    z.RotateZ(90 * kDeg);
    ExpectRows(z, {0, kOne, 0, -kOne, 0, 0, 0, 0, kOne});
    std::mt19937 random(17);
    for (int i = 0; i < 20; ++i) {
        const CMatrix3d start = RandomMatrix(random, 0);
        const double degrees = static_cast<double>(random() % 720) - 360.0 + 0.5;
        const int32_t angle = static_cast<int32_t>(degrees * 65536);
        CMatrix3d x = start, y = start, zz = start;
        x.RotateX(angle);
        y.RotateY(angle);
        zz.RotateZ(angle);
        const std::vector<double> m = Block(start, 3, 3);
        MatrixTest::ExpectNear(Block(x, 3, 3), MatrixTest::Multiply(MatrixTest::RotationX(degrees), m, 3),
                               kRotationTolerance);
        MatrixTest::ExpectNear(Block(y, 3, 3), MatrixTest::Multiply(MatrixTest::RotationY(degrees), m, 3),
                               kRotationTolerance);
        MatrixTest::ExpectNear(Block(zz, 3, 3), MatrixTest::Multiply(MatrixTest::RotationZ(degrees), m, 3),
                               kRotationTolerance);
        EXPECT_EQ(x.GetOperationCount(), 1);
    }
}

TEST(CMatrix3d, RotateAboutAnAxisTurnsRowVectorsByTheRightHandRule) {
    const double axis[3] = {2.0 / 7.0, -3.0 / 7.0, 6.0 / 7.0};
    const double degrees = 50.0;
    CMatrix3d m = Identity(0);
    m.Rotate(static_cast<int32_t>(degrees * 65536), std::lround(axis[0] * 65536), std::lround(axis[1] * 65536),
             std::lround(axis[2] * 65536));
    EXPECT_EQ(m.GetOperationCount(), 2);
    const double v[3] = {1.0, 2.0, -0.5};
    CVector3d fixed(std::lround(v[0] * 65536), std::lround(v[1] * 65536), std::lround(v[2] * 65536));
    fixed *= m;
    // v cos + (k x v) sin + k (k . v)(1 - cos)
    const double c = std::cos(degrees * kPi / 180), s = std::sin(degrees * kPi / 180);
    const double kv = axis[0] * v[0] + axis[1] * v[1] + axis[2] * v[2];
    const double cross[3] = {axis[1] * v[2] - axis[2] * v[1], axis[2] * v[0] - axis[0] * v[2],
                             axis[0] * v[1] - axis[1] * v[0]};
    for (int i = 0; i < 3; ++i) {
        const double expected = v[i] * c + cross[i] * s + axis[i] * kv * (1 - c);
        EXPECT_NEAR(fixed[i] / 65536.0, expected, 0.01) << "component " << i;
    }
}

TEST(CMatrix3d, AxisRotationCountsTwiceAndNormalisesWithinOneCall) {
    CMatrix3d m(2 * kOne, 0, 0, 0, 2 * kOne, 0, 0, 0, 2 * kOne, 2);
    m.Rotate(20 * kDeg, 0, 0, kOne);
    EXPECT_EQ(m.GetOperationCount(), 0);
    MatrixTest::ExpectOrthonormal(Block(m, 3, 3), 3, MatrixTest::kNormalisedCross);
    CMatrix3d three(2 * kOne, 0, 0, 0, 2 * kOne, 0, 0, 0, 2 * kOne, 3);
    three.Rotate(20 * kDeg, 0, 0, kOne);
    EXPECT_EQ(three.GetOperationCount(), 2);
    EXPECT_NEAR(MatrixTest::ColumnDot(Block(three, 3, 3), 3, 2, 2), 4.0, 0.01);
}

TEST(CMatrix3d, ProductsApplyTheRightOperandFirst) {
    std::mt19937 random(23);
    const CMatrix3d a = RandomMatrix(random, 6);
    const CMatrix3d b = RandomMatrix(random, 0);
    const CMatrix3d ab = a * b;
    EXPECT_EQ(ab.GetThreshold(), 6);
    EXPECT_EQ(ab.GetOperationCount(), 0);
    MatrixTest::ExpectNear(Block(ab, 3, 3), MatrixTest::Multiply(Block(b, 3, 3), Block(a, 3, 3), 3), 1e-4);
    CMatrix3d c = a;
    c *= b;
    MatrixTest::ExpectNear(Block(c, 3, 3), Block(ab, 3, 3), 0.0);
    EXPECT_EQ(c.GetOperationCount(), 1);
    c = a;
    c *= c;
    MatrixTest::ExpectNear(Block(c, 3, 3), Block(a * a, 3, 3), 0.0);
    const std::vector<double> exactA = Block(a, 3, 3);
    MatrixTest::ExpectNear(Block(Identity(0) * a, 3, 3), exactA, 0.0);
    MatrixTest::ExpectNear(Block(a * Identity(0), 3, 3), exactA, 0.0);
}

TEST(CMatrix3d, CounterThresholds) {
    CMatrix3d never(2 * kOne, 0, 0, 0, 2 * kOne, 0, 0, 0, 2 * kOne, 0);
    for (int i = 0; i < 66000; ++i) never *= Identity(0);
    EXPECT_EQ(never.GetOperationCount(), 65535);
    EXPECT_EQ(never.GetElement(0), 2 * kOne);
    CMatrix3d every(2 * kOne, 0, 0, 0, 2 * kOne, 0, 0, 0, 2 * kOne, 1);
    every.RotateY(kDeg);
    EXPECT_EQ(every.GetOperationCount(), 0);
    MatrixTest::ExpectOrthonormal(Block(every, 3, 3), 3, MatrixTest::kNormalisedCross);

    CMatrix3d drifting = Identity(0);
    CMatrix3d kept = Identity(12);
    for (int i = 0; i < 2000; ++i) {
        drifting.RotateX(kDeg);
        drifting.RotateZ(2 * kDeg);
        kept.RotateX(kDeg);
        kept.RotateZ(2 * kDeg);
    }
    EXPECT_LT(MatrixTest::Determinant3(Block(drifting, 3, 3)), 0.9);
    MatrixTest::ExpectOrthonormal(Block(kept, 3, 3), 3, MatrixTest::kNormalisedCross);
    EXPECT_NEAR(MatrixTest::Determinant3(Block(kept, 3, 3)), 1.0, 0.03);
}

TEST(CMatrix3d, OrthonormalizeKeepsColumnZeroDirectionAndZeroColumns) {
    CMatrix3d skew(kOne, kOne / 2, 0, 0, kOne, kOne / 3, 0, 0, kOne, 0);
    skew.Orthonormalize();
    const std::vector<double> m = Block(skew, 3, 3);
    MatrixTest::ExpectOrthonormal(m, 3, MatrixTest::kNormalisedCross);
    EXPECT_NEAR(MatrixTest::Determinant3(m), 1.0, 0.02);
    EXPECT_NEAR(m[0], 1.0, 0.005);
    EXPECT_NEAR(m[3], 0.0, 0.005);

    CMatrix3d zeroColumn(0, kOne, 0, 0, kOne, 0, 0, 0, 0, 0);
    zeroColumn.Orthonormalize();
    for (uint32_t r = 0; r < 3; ++r) {
        EXPECT_EQ(zeroColumn.GetElement(r * 3), 0);
        EXPECT_EQ(zeroColumn.GetElement(r * 3 + 2), 0);
    }
    EXPECT_NEAR(zeroColumn.GetElement(1) / 65536.0, 0.7071, 0.005);
}

TEST(CMatrix3d, TransposeSwapsAcrossTheDiagonal) {
    CMatrix3d m(1, 2, 3, 4, 5, 6, 7, 8, 9, 0);
    m.Transpose();
    ExpectRows(m, {1, 4, 7, 2, 5, 8, 3, 6, 9});
    EXPECT_EQ(m.GetOperationCount(), 0);
}

TEST(CMatrix3d, AlignBuildsARightHandedBasisAroundTheDirection) {
    CMatrix3d m = Identity(0);
    m.AlignZ(0, kOne, 0);
    // Columns (1, 0, 0), (0, 0, -1) and the direction (0, 1, 0).
    ExpectRows(m, {kOne, 0, 0, 0, 0, kOne, 0, -kOne, 0});
    const int32_t directions[][3] = {{kOne, 2 * kOne, -kOne}, {0, 0, 3 * kOne}, {-kOne, 0, 0},
                                     {100, -kOne, 300},       {5 * kOne, kOne, 2 * kOne}};
    for (const auto& d : directions) {
        const double length = std::sqrt(double(d[0]) * d[0] + double(d[1]) * d[1] + double(d[2]) * d[2]);
        CMatrix3d z(3 * kOne, 0, 0, 0, 0, 0, 0, 0, 0, 4);
        z.RotateX(kDeg);
        z.AlignZ(d[0], d[1], d[2]);
        EXPECT_EQ(z.GetOperationCount(), 0);
        EXPECT_TRUE(z.IsAutoOrthonormalize());
        CMatrix3d y = Identity(0);
        y.AlignY(d[0], d[1], d[2]);
        const std::vector<double> bz = Block(z, 3, 3);
        const std::vector<double> by = Block(y, 3, 3);
        for (int r = 0; r < 3; ++r) {
            EXPECT_NEAR(bz[r * 3 + 2], d[r] / length, 0.005);
            EXPECT_NEAR(by[r * 3 + 1], d[r] / length, 0.005);
        }
        MatrixTest::ExpectOrthonormal(bz, 3, MatrixTest::kNormalisedCross);
        MatrixTest::ExpectOrthonormal(by, 3, MatrixTest::kNormalisedCross);
        EXPECT_NEAR(MatrixTest::Determinant3(bz), 1.0, 0.03);
        EXPECT_NEAR(MatrixTest::Determinant3(by), 1.0, 0.03);
    }
}

}  // namespace
