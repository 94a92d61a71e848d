#include "CMathFixed.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <utility>

#include "AssertCounter.h"
#include "CMath.h"
#include "FixedTestUtil.h"

namespace {

using FixedTest::ToFixed;
using FixedTest::Wrap32;

constexpr int32_t kOne = 0x10000;
constexpr int32_t kDeg = 0x10000;

// floor(a * b / 65536) in 80-bit arithmetic (exact for 32-bit operands),
// then the low 32 bits.
int32_t ReferenceMul(int32_t a, int32_t b) {
    const long double product = static_cast<long double>(a) * static_cast<long double>(b);
    return Wrap32(static_cast<int64_t>(std::floor(product / 65536.0L)));
}

// trunc(a * 65536 / b), then the low 32 bits.
int32_t ReferenceDiv(int32_t a, int32_t b) {
    const long double quotient = static_cast<long double>(a) * 65536.0L / static_cast<long double>(b);
    return Wrap32(static_cast<int64_t>(std::trunc(quotient)));
}

TEST(FixedMul, RoundsTowardMinusInfinity) {
    EXPECT_EQ(FixedMul(-1, 1), -1);
    EXPECT_EQ(FixedMul(1, 1), 0);
    EXPECT_EQ(FixedMul(-0x18000, 0x30000), static_cast<int32_t>(0xFFFB8000));
    EXPECT_EQ(FixedMul(kOne, kOne), kOne);
}

TEST(FixedMul, WrapsAtTheLimitsOfTheRange) {
    const int32_t limits[] = {INT32_MIN, INT32_MIN + 1, -kOne, -1, 0, 1, kOne, 181 * kOne, 182 * kOne, INT32_MAX};
    for (int32_t a : limits) {
        for (int32_t b : limits) EXPECT_EQ(FixedMul(a, b), ReferenceMul(a, b)) << a << " * " << b;
    }
    EXPECT_EQ(FixedMul(INT32_MIN, INT32_MIN), 0);  // 2^46 keeps no low bits
}

TEST(FixedMul, MatchesTheExactProductOnRandomOperands) {
    std::mt19937 random(1234);
    for (int i = 0; i < 20000; ++i) {
        const int32_t a = static_cast<int32_t>(random());
        const int32_t b = static_cast<int32_t>(random()) >> (i % 24);
        ASSERT_EQ(FixedMul(a, b), ReferenceMul(a, b)) << a << " * " << b;
    }
}

TEST(FixedDiv, TruncatesTowardZero) {
    EXPECT_EQ(FixedDiv(kOne, 3 * kOne), 21845);
    EXPECT_EQ(FixedDiv(-kOne, 3 * kOne), -21845);
    EXPECT_EQ(FixedDiv(-1, 2 * kOne), 0);
    EXPECT_EQ(FixedDiv(3 * kOne, 2 * kOne), 0x18000);
}

TEST(FixedDiv, WrapsAtTheLimitsOfTheRange) {
    const int32_t limits[] = {INT32_MIN, INT32_MIN + 1, -kOne, -1, 1, kOne, 0x7FFF0000, INT32_MAX};
    for (int32_t a : limits) {
        for (int32_t b : limits) EXPECT_EQ(FixedDiv(a, b), ReferenceDiv(a, b)) << a << " / " << b;
    }
    std::mt19937 random(99);
    for (int i = 0; i < 20000; ++i) {
        const int32_t a = static_cast<int32_t>(random()) >> (i % 20);
        int32_t b = static_cast<int32_t>(random()) >> (i % 31);
        if (b == 0) b = 1;
        ASSERT_EQ(FixedDiv(a, b), ReferenceDiv(a, b)) << a << " / " << b;
    }
}

TEST(FixedDiv, AZeroDivisorGivesTheLargestQuotientOfTheDividendsSign) {
    EXPECT_EQ(FixedDiv(0, 0), 0);
    EXPECT_EQ(FixedDiv(5, 0), INT32_MAX);
    EXPECT_EQ(FixedDiv(INT32_MAX, 0), INT32_MAX);
    EXPECT_EQ(FixedDiv(-5, 0), -INT32_MAX);
    EXPECT_EQ(FixedDiv(INT32_MIN, 0), -INT32_MAX);
}

TEST(CMathSqrt, GivesTheFloorOfTheRootAtTheStatedPoints) {
    EXPECT_EQ(CMath::Sqrt(0), 0);
    EXPECT_EQ(CMath::Sqrt(3), 1);
    EXPECT_EQ(CMath::Sqrt(4), 2);
    EXPECT_EQ(CMath::Sqrt(255), 15);
    EXPECT_EQ(CMath::Sqrt(256), 16);
    EXPECT_EQ(CMath::Sqrt(65535), 255);
    EXPECT_EQ(CMath::Sqrt(65536), 256);
    EXPECT_EQ(CMath::Sqrt(INT32_MAX), 46340);
    EXPECT_EQ(CMath::Sqrt(-5), 0);
    EXPECT_EQ(CMath::Sqrt(INT32_MIN), 0);
}

void ExpectFloorRoot(int64_t x) {
    const int64_t r = CMath::Sqrt(static_cast<int32_t>(x));
    ASSERT_TRUE(r * r <= x && x < (r + 1) * (r + 1)) << "sqrt(" << x << ") gave " << r;
}

TEST(CMathSqrt, IsExactBelowTwoToTheTwentyAndAroundEverySquare) {
    for (int64_t x = 0; x < (1 << 20); ++x) ExpectFloorRoot(x);
    for (int64_t r = 1; r <= 46340; ++r) {
        for (int64_t x = r * r - 1; x <= r * r + 1; ++x) ExpectFloorRoot(x);
    }
    for (int bit = 8; bit < 31; ++bit) {
        for (int64_t x = (int64_t{1} << bit) - 3; x <= (int64_t{1} << bit) + 3; ++x) ExpectFloorRoot(x);
    }
    for (int64_t x = INT32_MAX - 1000; x <= INT32_MAX; ++x) ExpectFloorRoot(x);
    std::mt19937 random(7);
    for (int i = 0; i < 200000; ++i) ExpectFloorRoot(random() >> 1);
}

TEST(FixedSqrt, KeepsEightFractionBits) {
    EXPECT_EQ(CMathFixed::Sqrt(0), 0);
    EXPECT_EQ(CMathFixed::Sqrt(kOne), kOne);
    EXPECT_EQ(CMathFixed::Sqrt(4 * kOne), 2 * kOne);
    EXPECT_EQ(CMathFixed::Sqrt(2 * kOne), 92672);
    EXPECT_EQ(CMathFixed::Sqrt(-kOne), 0);
    const int32_t values[] = {1, 255, 256, 3 * kOne, 100 * kOne + 12345, 0x40000000, INT32_MAX};
    for (int32_t x : values) {
        const int32_t root = CMathFixed::Sqrt(x);
        const double exact = std::sqrt(static_cast<double>(x) / 65536.0) * 65536.0;
        EXPECT_EQ(root % 256, 0) << x;
        EXPECT_LE(root, exact) << x;
        EXPECT_GT(root, exact - 256.0) << x;
    }
    EXPECT_EQ(CMathFixed::Sqrt(INT32_MAX), 46340 << 8);
}

TEST(SineTables, FollowTheirRules) {
    for (int32_t i = 0; i < CMathFixed::SIN_TABLE_SIZE; ++i) {
        const double exact = std::sin(i * 90.0 / 1023.0 * FixedTest::kRadiansPerDegree) * 65536.0;
        EXPECT_NEAR(CMathFixed::kSinTable[i], std::trunc(exact), 1.0) << i;
    }
    EXPECT_EQ(CMathFixed::kSinTable[0], 0);
    EXPECT_EQ(CMathFixed::kSinTable[1], 100);
    EXPECT_EQ(CMathFixed::kSinTable[1022], 65535);
    for (int32_t i = 0; i < 1023; ++i) {
        const double exact = std::asin(i / 1023.0) / FixedTest::kRadiansPerDegree * 65536.0;
        const int32_t difference = CMathFixed::kASinTable[i] - static_cast<int32_t>(std::trunc(exact));
        EXPECT_TRUE(difference >= -76 && difference <= 1) << i;
    }
    EXPECT_EQ(CMathFixed::kASinTable[0], 0);
    EXPECT_EQ(CMathFixed::kASinTable[1], 3670);
    EXPECT_EQ(CMathFixed::kASinTable[1023], 90 * kDeg);
}

TEST(FixedSin, HitsTheStatedValues) {
    EXPECT_EQ(CMathFixed::Sin(0), 0);
    EXPECT_EQ(CMathFixed::Sin(30 * kDeg), 32767);
    EXPECT_EQ(CMathFixed::Sin(90 * kDeg), kOne);
    EXPECT_EQ(CMathFixed::Sin(180 * kDeg), 0);
    EXPECT_EQ(CMathFixed::Sin(270 * kDeg), -kOne);
    EXPECT_EQ(CMathFixed::Sin(450 * kDeg), kOne);
    EXPECT_EQ(CMathFixed::Sin(-30 * kDeg), -32767);
    EXPECT_EQ(CMathFixed::Sin(1 * kDeg), 1106);
    EXPECT_EQ(CMathFixed::Cos(0), kOne);
    EXPECT_EQ(CMathFixed::Cos(90 * kDeg), 0);
    EXPECT_EQ(CMathFixed::Cos(180 * kDeg), -kOne);
}

// One table step is 90/1023 degrees without interpolation: at most about 101
// units below the exact magnitude, plus one for the truncation.
constexpr double kSinTolerance = 103.0;

TEST(FixedSin, FollowsTheSineInEveryQuadrantAndBeyondOneTurn) {
    for (int32_t angle = -800 * kDeg; angle <= 800 * kDeg; angle += 0x1234F) {
        const double radians = FixedTest::ToReal(angle) * FixedTest::kRadiansPerDegree;
        EXPECT_NEAR(CMathFixed::Sin(angle), std::sin(radians) * 65536.0, kSinTolerance) << angle;
        EXPECT_NEAR(CMathFixed::Cos(angle), std::cos(radians) * 65536.0, kSinTolerance) << angle;
    }
    // The extreme angles, whose negation or shift by 90 degrees would not fit.
    for (int32_t angle : {INT32_MIN, INT32_MIN + 1, INT32_MAX, INT32_MAX - 90 * kDeg}) {
        const double radians = std::fmod(FixedTest::ToReal(angle), 360.0) * FixedTest::kRadiansPerDegree;
        EXPECT_NEAR(CMathFixed::Sin(angle), std::sin(radians) * 65536.0, kSinTolerance) << angle;
    }
}

TEST(FixedASin, HitsTheStatedValuesAndEnds) {
    EXPECT_EQ(CMathFixed::ASin(0), 0);
    EXPECT_NEAR(CMathFixed::ASin(kOne / 2), 1968197, 80);
    EXPECT_EQ(CMathFixed::ASin(kOne), 90 * kDeg);
    EXPECT_EQ(CMathFixed::ASin(-kOne), -90 * kDeg);
    EXPECT_EQ(CMathFixed::ASin(ToFixed(0.9995)), 90 * kDeg);
    EXPECT_EQ(CMathFixed::ACos(kOne), 0);
    EXPECT_EQ(CMathFixed::ACos(-kOne), 180 * kDeg);
    EXPECT_EQ(CMathFixed::ACos(0), 90 * kDeg);
}

TEST(FixedASin, ReadsTheTableEntryOfTheTruncatedIndex) {
    for (int32_t x = -kOne; x <= kOne; x += 37) {
        const int32_t magnitude = x < 0 ? -x : x;
        double expected = 90.0 * 65536.0;
        if (magnitude < 0xFFFC) {
            expected = std::trunc(std::asin((magnitude >> 6) / 1023.0) / FixedTest::kRadiansPerDegree * 65536.0);
        }
        if (x < 0) expected = -expected;
        ASSERT_NEAR(CMathFixed::ASin(x), expected, 77) << x;
        ASSERT_EQ(CMathFixed::ACos(x), 90 * kDeg - CMathFixed::ASin(x)) << x;
    }
}

TEST(FixedASin, ChecksTheUnitRangeWithItsTolerance) {
    AssertCounter counter;
    EXPECT_EQ(CMathFixed::ASin(0x1028E), 90 * kDeg);
    EXPECT_EQ(CMathFixed::ASin(-0x1028E), -90 * kDeg);
    EXPECT_EQ(counter.Count(), 0);
    EXPECT_EQ(CMathFixed::ASin(0x1028F), 90 * kDeg);
    EXPECT_EQ(counter.Count(), 1);
    // The most negative value has no positive twin; it still answers -90.
    EXPECT_EQ(CMathFixed::ASin(INT32_MIN), -90 * kDeg);
    EXPECT_EQ(counter.Count(), 2);
}

TEST(FixedClampUnit, LimitsToPlusMinusOne) {
    EXPECT_EQ(CMathFixed::ClampUnit(0x10100), kOne);
    EXPECT_EQ(CMathFixed::ClampUnit(-0x10100), -kOne);
    EXPECT_EQ(CMathFixed::ClampUnit(1234), 1234);
    AssertCounter counter;
    EXPECT_EQ(CMathFixed::ClampUnit(3 * kOne), kOne);
    EXPECT_EQ(counter.Count(), 1);
}

TEST(FixedATan2, HitsTheStatedValuesOnTheAxesAndDiagonals) {
    EXPECT_NEAR(CMathFixed::ATan2(kOne, kOne), 2945853, 80);
    EXPECT_EQ(CMathFixed::ATan2(kOne, 0), 90 * kDeg);
    EXPECT_EQ(CMathFixed::ATan2(-kOne, 0), -90 * kDeg);
    EXPECT_EQ(CMathFixed::ATan2(0, -kOne), 180 * kDeg);
    EXPECT_EQ(CMathFixed::ATan2(0, kOne), 0);
    EXPECT_NEAR(CMathFixed::ATan2(-kOne, -kOne), -8850627, 80);
    EXPECT_EQ(CMathFixed::ATan2(0, 0), 0);
}

// The angle comes from the arc cosine of x / h with h rounded down to 8
// fraction bits (or to a whole number for plain integers) and a table without
// interpolation: the cosine it reads is off by less than 0.0055. Checks that
// the magnitude of the angle lies within what such a cosine allows and that
// its sign is the side of the x axis the point is on.
void ExpectAngleOf(int32_t angle, double y, double x) {
    constexpr double kCosineError = 0.0055;
    constexpr double kDegreeSlack = 0.05;
    const double cosine = x / std::hypot(x, y);
    const double lowest = std::acos(std::fmin(1.0, cosine + kCosineError)) / FixedTest::kRadiansPerDegree;
    const double highest = std::acos(std::fmax(-1.0, cosine - kCosineError)) / FixedTest::kRadiansPerDegree;
    const double magnitude = std::fabs(FixedTest::ToReal(angle));
    EXPECT_GE(magnitude, lowest - kDegreeSlack) << "point (" << x << ", " << y << ")";
    EXPECT_LE(magnitude, highest + kDegreeSlack) << "point (" << x << ", " << y << ")";
    if (magnitude > 0.1 && magnitude < 179.9) {
        EXPECT_EQ(angle < 0, y < 0) << "point (" << x << ", " << y << ")";
    }
}

TEST(FixedATan2, FindsTheAngleInEveryQuadrantAtEveryScale) {
    const double scales[] = {0.0001, 0.01, 1.0, 3.5, 100.0, 180.0, 5000.0, 32000.0};
    for (double scale : scales) {
        for (int step = 0; step < 720; ++step) {
            const double radians = (step * 0.5 + 0.25) * FixedTest::kRadiansPerDegree;
            const int32_t x = ToFixed(std::cos(radians) * scale);
            const int32_t y = ToFixed(std::sin(radians) * scale);
            ExpectAngleOf(CMathFixed::ATan2(y, x), y, x);
        }
    }
    ExpectAngleOf(CMathFixed::ATan2(INT32_MIN, INT32_MIN), -1.0, -1.0);
    ExpectAngleOf(CMathFixed::ATan2(INT32_MAX, INT32_MIN), 1.0, -1.0);
    ExpectAngleOf(CMathFixed::ATan2(1, -1), 1.0, -1.0);
    EXPECT_EQ(CMathFixed::ATan2(0, -1), 180 * kDeg);
}

TEST(FixedATan, CoversTheWholeRangeOfSlopes) {
    const double slopes[] = {-30000.0, -200.0, -3.0, -1.0, -0.25, 0.0, 0.25, 1.0, 3.0, 200.0, 30000.0};
    for (double slope : slopes) ExpectAngleOf(CMathFixed::ATan(ToFixed(slope)), ToFixed(slope), 65536.0);
    ExpectAngleOf(CMathFixed::ATan(INT32_MAX), INT32_MAX, 65536.0);
    ExpectAngleOf(CMathFixed::ATan(-INT32_MAX), -INT32_MAX, 65536.0);
}

TEST(FixedATan2Int, WorksOnPlainIntegersOfAnySize) {
    EXPECT_EQ(CMathFixed::ATan2Int(0, 0), 0);
    EXPECT_EQ(CMathFixed::ATan2Int(0, -7), 180 * kDeg);
    EXPECT_EQ(CMathFixed::ATan2Int(-7, 0), -90 * kDeg);
    EXPECT_EQ(CMathFixed::ATan2Int(7, 0), 90 * kDeg);
    for (int32_t y = -60; y <= 60; y += 3) {
        for (int32_t x = -60; x <= 60; x += 3) {
            if (x != 0 || y != 0) ExpectAngleOf(CMathFixed::ATan2Int(y, x), y, x);
        }
    }
    const int32_t points[][2] = {{-300, -400}, {1000, -20000}, {40000, -40000}, {INT32_MAX, 1},
                                 {INT32_MIN, -5}, {-20, 30000}, {INT32_MIN, INT32_MIN}};
    for (const auto& p : points) ExpectAngleOf(CMathFixed::ATan2Int(p[0], p[1]), p[0], p[1]);
}

// Odd negative components shift away from zero while they are scaled down,
// so -(2^k - 1) lands exactly on the bound the scaling must stay below.
TEST(FixedATan2, ComponentsJustBelowAPowerOfTwoInEveryQuadrant) {
    for (int k = 1; k <= 31; ++k) {
        const int32_t v = static_cast<int32_t>((int64_t{1} << k) - 1);
        for (const auto& sign : {std::pair<int, int>{-1, -1}, {-1, 1}, {1, -1}, {1, 1}}) {
            const int32_t y = sign.first * v;
            const int32_t x = sign.second * v;
            SCOPED_TRACE(testing::Message() << "k " << k << " y " << y << " x " << x);
            ExpectAngleOf(CMathFixed::ATan2Int(y, x), y, x);
            ExpectAngleOf(CMathFixed::ATan2(y, x), y, x);
            if (x / 2 != 0) ExpectAngleOf(CMathFixed::ATan2(y, x / 2), y, x / 2);
        }
    }
}

TEST(FixedSolveQuadratic, FindsBothRootsLargerFirstForPositiveA) {
    int32_t r1 = 0;
    int32_t r2 = 0;
    ASSERT_TRUE(CMathFixed::SolveQuadratic(&r1, &r2, kOne, 0, -kOne));
    EXPECT_EQ(r1, kOne);
    EXPECT_EQ(r2, -kOne);
    struct Case {
        double a, b, c;
    };
    const Case cases[] = {{1, -3, 2}, {2, 1, -6}, {-1, 0, 4}, {0.5, 3, -8}, {1, 2, 1}};
    for (const Case& q : cases) {
        ASSERT_TRUE(CMathFixed::SolveQuadratic(&r1, &r2, ToFixed(q.a), ToFixed(q.b), ToFixed(q.c)));
        const double root = std::sqrt(q.b * q.b - 4 * q.a * q.c);
        // The root of the discriminant keeps 8 fraction bits.
        const double tolerance = (1.0 / 256.0) / std::fabs(2 * q.a) * 65536.0 + 2.0;
        EXPECT_NEAR(r1, (-q.b + root) / (2 * q.a) * 65536.0, tolerance) << q.a << " " << q.b << " " << q.c;
        EXPECT_NEAR(r2, (-q.b - root) / (2 * q.a) * 65536.0, tolerance) << q.a << " " << q.b << " " << q.c;
    }
}

TEST(FixedSolveQuadratic, RefusesWithoutRealRootsAndLeavesTheOutputs) {
    int32_t r1 = 111;
    int32_t r2 = 222;
    EXPECT_FALSE(CMathFixed::SolveQuadratic(&r1, &r2, 0, kOne, kOne));
    EXPECT_FALSE(CMathFixed::SolveQuadratic(&r1, &r2, kOne, 0, kOne));
    EXPECT_FALSE(CMathFixed::SolveQuadratic(&r1, &r2, -kOne, 0, -2 * kOne));
    EXPECT_EQ(r1, 111);
    EXPECT_EQ(r2, 222);
    AssertCounter counter;
    EXPECT_FALSE(CMathFixed::SolveQuadratic(nullptr, &r2, kOne, 0, -kOne));
    EXPECT_EQ(counter.Count(), 1);
    EXPECT_EQ(r2, 222);
}

TEST(FixedAbsAndClamp, HandleTheEdges) {
    EXPECT_EQ(CMathFixed::Abs(INT32_MIN), INT32_MIN);
    EXPECT_EQ(CMathFixed::Abs(-5), 5);
    EXPECT_EQ(CMathFixed::Abs(INT32_MAX), INT32_MAX);
    EXPECT_EQ(CMathFixed::Clamp(5, 1, 5), 5);
    EXPECT_EQ(CMathFixed::Clamp(0, 1, 5), 1);
    EXPECT_EQ(CMathFixed::Clamp(9, 1, 5), 5);
    EXPECT_EQ(CMathFixed::Clamp(3, 1, 5), 3);
}

}  // namespace
