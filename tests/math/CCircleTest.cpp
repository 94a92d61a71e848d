#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "AssertCounter.h"
#include "CCircle.h"
#include "CLineSegment2d.h"
#include "CMathFixed.h"
#include "GeometryTestSupport.h"

using namespace GeometryTest;

namespace {

constexpr int32_t ONE = CMathFixed::ONE;
constexpr int32_t HALF = ONE / 2;
constexpr int32_t QUARTER = ONE / 4;  // HALF squared

const CLineSegment2d kWall(V2(0, 0), V2(4, 0));

// The contact fraction of a circle moving from start to end against segment
// a-b, in real numbers: 0 when touching at the start, else the squared
// distances' ratio when it ends touching or crosses.
double RealSweep(Real2 start, Real2 end, Real2 a, Real2 b, double r2, bool& hit) {
    const Real2 w0 = start - NearestOnSegment(a, b, start);
    const Real2 w1 = end - NearestOnSegment(a, b, end);
    const double d0 = Dot(w0, w0), d1 = Dot(w1, w1);
    hit = d0 <= r2 || d1 <= r2 || Dot(w0, w1) < 0;
    return d0 <= r2 ? 0.0 : (d0 - r2) / (d0 + d1);
}

TEST(CCircleTest, TouchingASegmentAtExactlyTheRadius) {
    CVector2d closest;
    int32_t side = 0;
    EXPECT_TRUE(CCircle::TouchesSegment(V2(2, 1), ONE, kWall, closest, &side));
    EXPECT_EQ(side, kOrientationCollinear);
    EXPECT_VEC2_NEAR(closest, 2, 0, 0);
    EXPECT_FALSE(CCircle::TouchesSegment(CVector2d(2 * ONE, ONE + 1), ONE, kWall, closest, &side));
    EXPECT_EQ(side, kOrientationLeft);
    EXPECT_FALSE(CCircle::TouchesSegment(V2(2, -2), ONE, kWall, closest, &side));
    EXPECT_EQ(side, kOrientationRight);
    // Beside the end: the nearest point is the end itself.
    EXPECT_FALSE(CCircle::TouchesSegment(V2(5, 0.5), ONE, kWall, closest, nullptr));
    EXPECT_VEC2_NEAR(closest, 4, 0, 0);
}

TEST(CCircleTest, SweepFromTheWallThroughItAndOntoIt) {
    bool hit = false;
    int32_t t = -1;
    ASSERT_TRUE(CCircle::SweepSegment(V2(2, 0.5), HALF, QUARTER, V2(2, 5), kWall, t));
    EXPECT_EQ(t, 0);
    // Through the wall, both ends clear of it.
    const double through = RealSweep({2, 2}, {2, -2}, {0, 0}, {4, 0}, 0.25, hit);
    ASSERT_TRUE(CCircle::SweepSegment(V2(2, 2), HALF, QUARTER, V2(2, -2), kWall, t));
    EXPECT_EQ(t, ToFixed(through));
    // Ending in contact, obliquely.
    const double onto = RealSweep({1, 3}, {2.5, 0.4}, {0, 0}, {4, 0}, 0.25, hit);
    ASSERT_TRUE(CCircle::SweepSegment(V2(1, 3), HALF, QUARTER, V2(2.5, 0.4), kWall, t));
    EXPECT_NEAR(t, ToFixed(onto), 4);
}

TEST(CCircleTest, SweepParallelToTheWallMissesIt) {
    int32_t t = -1;
    // Clear of the wall all the way; the offsets at the ends are perpendicular.
    EXPECT_FALSE(CCircle::SweepSegment(V2(-1, 1), HALF, QUARTER, V2(5, 1), kWall, t));
    EXPECT_FALSE(CCircle::SweepSegment(V2(0, 1), HALF, QUARTER, V2(4, 1), kWall, t));
    EXPECT_EQ(t, -1);
}

TEST(CCircleTest, StopAtTheContact) {
    CVector2d end = V2(2, 5);
    int32_t t = -1;
    ASSERT_TRUE(CCircle::CollideSegment(V2(2, 0.5), HALF, QUARTER, kWall, end, t, CCircle::kStop, nullptr));
    EXPECT_VEC2_NEAR(end, 2, 0.5, 0);

    end = V2(2, -2);
    ASSERT_TRUE(CCircle::CollideSegment(V2(2, 2), HALF, QUARTER, kWall, end, t, CCircle::kStop, nullptr));
    const double fraction = (4 - 0.25) / 8;
    EXPECT_VEC2_NEAR(end, 2, 2 - 4 * fraction, 0);

    // No contact: the end stays where it was asked to be.
    end = V2(5, 1);
    EXPECT_FALSE(CCircle::CollideSegment(V2(-1, 1), HALF, QUARTER, kWall, end, t, CCircle::kStop, nullptr));
    EXPECT_VEC2_NEAR(end, 5, 1, 0);
}

TEST(CCircleTest, SlideAlongAHorizontalWall) {
    const double fraction = (4 - 0.25) / 8;
    const Real2 contact = Real2{1, 2} + fraction * Real2{2, -4};
    CVector2d end = V2(3, -2);
    int32_t t = -1;
    ASSERT_TRUE(CCircle::CollideSegment(V2(1, 2), HALF, QUARTER, kWall, end, t, CCircle::kSlide, nullptr));
    // The requested x motion is kept; the height stops at the contact.
    EXPECT_VEC2_NEAR(end, 3, contact.y, 2);

    // Along a given direction: the remaining motion projected onto it.
    const Real2 u{0.6, 0.8};
    const Real2 rest = Real2{3, -2} - contact;
    const Real2 expected = contact + Dot(rest, u) * u;
    end = V2(3, -2);
    const CVector2d direction = V2(u.x, u.y);
    ASSERT_TRUE(CCircle::CollideSegment(V2(1, 2), HALF, QUARTER, kWall, end, t, CCircle::kSlide, &direction));
    EXPECT_VEC2_NEAR(end, expected.x, expected.y, 8);
}

TEST(CCircleTest, UnknownResponseModeIsReportedAndLeavesTheEnd) {
    CVector2d end = V2(2, -2);
    int32_t t = -1;
    AssertCounter asserts;
    EXPECT_TRUE(CCircle::CollideSegment(V2(2, 2), HALF, QUARTER, kWall, end, t, 2, nullptr));
    EXPECT_EQ(asserts.Count(), 1);
    EXPECT_VEC2_NEAR(end, 2, -2, 0);
}

TEST(CCircleTest, PolygonAnswersOnlyTheFirstTwoContacts) {
    // Edges 0, 1 and 2 all stand across the path from (0, 0) to (4, 0), at
    // x = 3, 2.5 and 2; each contact pulls the end further back.
    const CVector2d points[] = {V2(3, -1), V2(3, 1), V2(2, -1), V2(2, 1)};
    const Real2 real[] = {{3, -1}, {3, 1}, {2, -1}, {2, 1}};
    const double r2 = 0.01;
    Real2 expected{4, 0};
    bool hit = false;
    for (int edge = 0; edge < 2; ++edge) {
        const double t = RealSweep({0, 0}, expected, real[edge], real[edge + 1], r2, hit);
        ASSERT_TRUE(hit);
        expected = t * expected;
    }
    // A third contact would have pulled it back behind x = 2.5.
    const double third = RealSweep({0, 0}, expected, real[2], real[3], r2, hit);
    ASSERT_TRUE(hit);
    ASSERT_LT(third * expected.x, 2.5);

    CVector2d end = V2(4, 0);
    ASSERT_TRUE(CCircle::CollidePolygon(V2(0, 0), ToFixed(0.1), points, 4, end, CCircle::kStop, nullptr));
    EXPECT_NEAR(ToReal(end.x), expected.x, 1e-3);
    EXPECT_EQ(end.y, 0);

    end = V2(-4, 0);
    EXPECT_FALSE(CCircle::CollidePolygon(V2(0, 0), ToFixed(0.1), points, 4, end, CCircle::kStop, nullptr));
    EXPECT_VEC2_NEAR(end, -4, 0, 0);
}

// A square whose inside lies on side kOrientationRight of every edge.
const CVector2d kSquare[] = {V2(0, 0), V2(0, 4), V2(4, 4), V2(4, 0)};

TEST(CCircleTest, PushOutAwayFromOneEdgeOrNotAtAll) {
    CVector2d out;
    EXPECT_TRUE(CCircle::PushOutOfPolygon(V2(2, 2), ONE, kSquare, 4, out));
    EXPECT_VEC2_NEAR(out, 2, 2, 0);
    ASSERT_TRUE(CCircle::PushOutOfPolygon(V2(2, 0.5), ONE, kSquare, 4, out));
    EXPECT_VEC2_NEAR(out, 2, 1, 0);
    // A distance the square root does not hold exactly: good to its last
    // place relative to that distance.
    ASSERT_TRUE(CCircle::PushOutOfPolygon(V2(2, 0.3), ONE, kSquare, 4, out));
    EXPECT_EQ(out.x, 2 * ONE);
    EXPECT_NEAR(ToReal(out.y), 1.0, kLengthStep / 0.3 + 1e-4);
    // A centre beyond the edge is carried back across it.
    ASSERT_TRUE(CCircle::PushOutOfPolygon(V2(2, -0.5), ONE, kSquare, 4, out));
    EXPECT_VEC2_NEAR(out, 2, 1, 0);
}

// Random circles that fit inside the square room: each must come out clear,
// and clear means inside the room at least r from every wall (to a few
// places of the square root's precision).
TEST(CCircleTest, PushOutClearsEveryCircleThatFitsTheRoom) {
    std::mt19937 random(1313);
    std::uniform_real_distribution<double> position(0.05, 3.95);
    std::uniform_real_distribution<double> radius(0.05, 1.95);
    constexpr double kSlack = 0.002;
    int cornered = 0;
    for (int i = 0; i < 2000; ++i) {
        const double x = position(random), y = position(random), r = radius(random);
        CVector2d out;
        const bool clear = CCircle::PushOutOfPolygon(V2(x, y), ToFixed(r), kSquare, 4, out);
        const double ox = ToReal(out.x), oy = ToReal(out.y);
        const double nearestWall = std::min(std::min(ox, 4 - ox), std::min(oy, 4 - oy));
        EXPECT_TRUE(clear) << "centre (" << x << ", " << y << ") r " << r;
        EXPECT_GE(nearestWall, r - kSlack) << "centre (" << x << ", " << y << ") r " << r << " ends at (" << ox
                                           << ", " << oy << ")";
        const bool inCorner = (x < r || x > 4 - r) && (y < r || y > 4 - r);
        if (inCorner) ++cornered;
    }
    EXPECT_GT(cornered, 100);  // the cases that need pushes from two walls
}

TEST(CCircleTest, PushOutGivesUpAfterTwentyPasses) {
    // Narrower than the circle: no position clears both long edges.
    const CVector2d strip[] = {V2(0, 0), V2(0, 10), V2(1, 10), V2(1, 0)};
    CVector2d out;
    EXPECT_FALSE(CCircle::PushOutOfPolygon(V2(0.5, 5), ONE, strip, 4, out));

    AssertCounter asserts;
    EXPECT_FALSE(CCircle::PushOutOfPolygon(V2(0.5, 5), ONE, nullptr, 4, out));
    EXPECT_EQ(asserts.Count(), 1);
}

}  // namespace
