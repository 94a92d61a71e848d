#include "CVector2d.h"

#include <gtest/gtest.h>

#include <cmath>

#include "CMathFixed.h"
#include "CMatrix2d.h"
#include "FixedTestUtil.h"

namespace {

using FixedTest::ToFixed;

constexpr int32_t kOne = 0x10000;
constexpr int32_t kDeg = 0x10000;

void ExpectVector(const CVector2d& v, int32_t x, int32_t y) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
}

TEST(CVector2d, StartsAtZeroAndDoesComponentArithmetic) {
    CVector2d v;
    ExpectVector(v, 0, 0);
    const CVector2d a(3 * kOne, -kOne / 2);
    const CVector2d b(kOne, 5 * kOne);
    ExpectVector(a + b, 4 * kOne, 9 * kOne / 2);
    ExpectVector(a - b, 2 * kOne, -11 * kOne / 2);
    ExpectVector(a * (kOne / 2), 3 * kOne / 2, -kOne / 4);
    ExpectVector((kOne / 2) * a, 3 * kOne / 2, -kOne / 4);
    ExpectVector(a / (2 * kOne), 3 * kOne / 2, -kOne / 4);
    v = a;
    v += b;
    v -= CVector2d(kOne, kOne);
    ExpectVector(v, 3 * kOne, 7 * kOne / 2);
    v *= -kOne;
    ExpectVector(v, -3 * kOne, -7 * kOne / 2);
    v /= -2 * kOne;
    ExpectVector(v, 3 * kOne / 2, 7 * kOne / 4);
    // Each product rounds toward minus infinity on its own.
    EXPECT_EQ(CVector2d::Dot(CVector2d(-1, -1), CVector2d(1, 1)), -2);
}

TEST(CVector2d, NormalizeKeepsZeroAndDividesByTheLength) {
    CVector2d zero(0, 0);
    ExpectVector(zero.Normalize(), 0, 0);
    CVector2d v(3 * kOne, 4 * kOne);
    EXPECT_EQ(v.Length(), 5 * kOne);
    v.Normalize();
    ExpectVector(v, static_cast<int32_t>(0.6 * 65536), static_cast<int32_t>(0.8 * 65536));
}

TEST(CVector2d, RotateTurnsFromXTowardY) {
    CVector2d v(12345, -67891);
    ExpectVector(v.Rotate(0), 12345, -67891);
    CVector2d x(kOne, 0);
    ExpectVector(x.Rotate(90 * kDeg), 0, kOne);
    CVector2d d(2 * kOne, kOne);
    d.Rotate(30 * kDeg);
    const double c = std::cos(30 * FixedTest::kRadiansPerDegree);
    const double s = std::sin(30 * FixedTest::kRadiansPerDegree);
    EXPECT_NEAR(d.x, (2 * c - s) * 65536, 250);
    EXPECT_NEAR(d.y, (2 * s + c) * 65536, 250);
}

TEST(CVector2d, AnglesFollowTheHeading) {
    EXPECT_EQ(CVector2d(kOne, 0).Angle(), 0);
    EXPECT_EQ(CVector2d(0, -kOne).Angle(), 270 * kDeg);
    EXPECT_EQ(CVector2d(-kOne, 0).Angle(), 180 * kDeg);
    EXPECT_EQ(CVector2d(0, 0).Angle(), 90 * kDeg);
    EXPECT_NEAR(CVector2d(-kOne, -kOne).Angle(), 225 * kDeg, kDeg / 5);

    EXPECT_EQ(CVector2d::AngleTo(CVector2d(kOne, 0), CVector2d(0, -kOne)), -90 * kDeg);
    EXPECT_EQ(CVector2d::AngleTo(CVector2d(kOne, 0), CVector2d(-kOne, 0)), -180 * kDeg);
    EXPECT_EQ(CVector2d::AngleTo(CVector2d(-kOne, 0), CVector2d(kOne, 0)), 180 * kDeg);

    EXPECT_EQ(CVector2d::AngleBetween(CVector2d(0, 0), CVector2d(kOne, 0)), 0);
    EXPECT_EQ(CVector2d::AngleBetween(CVector2d(kOne, 0), CVector2d(0, 3 * kOne)), 90 * kDeg);
    EXPECT_EQ(CVector2d::AngleBetween(CVector2d(kOne, 0), CVector2d(-2 * kOne, 0)), 180 * kDeg);
}

TEST(CVector2d, DistanceToSegmentPicksTheClosestPoint) {
    const CVector2d a(0, 0);
    const CVector2d b(4 * kOne, 0);
    CVector2d closest;
    EXPECT_EQ(CVector2d::DistanceToSegment(CVector2d(7 * kOne, 4 * kOne), a, b, closest), 5 * kOne);
    ExpectVector(closest, b.x, b.y);
    EXPECT_EQ(CVector2d::DistanceToSegment(CVector2d(-3 * kOne, -4 * kOne), a, b, closest), 5 * kOne);
    ExpectVector(closest, 0, 0);
    const CVector2d segment[2] = {a, b};
    EXPECT_EQ(CVector2d::DistanceToSegment(CVector2d(kOne, 2 * kOne), segment, closest), 2 * kOne);
    ExpectVector(closest, kOne, 0);
    // A segment of no length has no direction to divide by.
    EXPECT_EQ(CVector2d::DistanceToSegment(CVector2d(3 * kOne, 4 * kOne), a, a, closest), 5 * kOne);
    ExpectVector(closest, 0, 0);
}

TEST(CVector2d, SideAndWindingNumber) {
    const CVector2d a(0, 0);
    const CVector2d b(kOne, 0);
    EXPECT_GT(CVector2d::Side(CVector2d(0, kOne), a, b), 0);
    EXPECT_LT(CVector2d::Side(CVector2d(0, -kOne), a, b), 0);
    const CVector2d segment[2] = {a, b};
    EXPECT_EQ(CVector2d::Side(CVector2d(5 * kOne, 0), segment), 0);
    EXPECT_EQ(CVector2d::Side(CVector2d(kOne / 2, 2 * kOne), segment), 2 * kOne);

    const CVector2d square[4] = {{0, 0}, {kOne, 0}, {kOne, kOne}, {0, kOne}};
    const CVector2d clockwise[4] = {{0, 0}, {0, kOne}, {kOne, kOne}, {kOne, 0}};
    const CVector2d centre(kOne / 2, kOne / 2);
    EXPECT_EQ(CVector2d::WindingNumber(centre, square, 4), 1);
    EXPECT_EQ(CVector2d::WindingNumber(centre, clockwise, 4), -1);
    EXPECT_EQ(CVector2d::WindingNumber(CVector2d(2 * kOne, kOne / 2), square, 4), 0);
    EXPECT_EQ(CVector2d::WindingNumber(CVector2d(kOne, kOne / 2), square, 4), 1);
    EXPECT_EQ(CVector2d::WindingNumber(centre, square, 0), 0);
}

TEST(CVector2d, LerpAndMatrixProduct) {
    CVector2d v(0, 2 * kOne);
    v.Lerp(CVector2d(4 * kOne, 0), kOne / 4);
    ExpectVector(v, kOne, 3 * kOne / 2);
    // Rows (1, 2) and (3, 4): (5, 6) x M = (5 + 18, 10 + 24).
    const CMatrix2d m(kOne, 2 * kOne, 3 * kOne, 4 * kOne, 0);
    const CVector2d p(5 * kOne, 6 * kOne);
    ExpectVector(m * p, 23 * kOne, 34 * kOne);
    CVector2d q = p;
    q *= m;
    ExpectVector(q, 23 * kOne, 34 * kOne);
    ExpectVector(CVector2d(ToFixed(0.5), 0) * ToFixed(3.0), ToFixed(1.5), 0);
}

}  // namespace
