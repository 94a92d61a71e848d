#include <gtest/gtest.h>

#include "CMathFixed.h"
#include "CSweep.h"
#include "GeometryTestSupport.h"

using namespace GeometryTest;

namespace {

constexpr int32_t ONE = CMathFixed::ONE;
constexpr int32_t HALF = ONE / 2;

const CVector2d kStill2(0, 0);
const CVector3d kStill3(0, 0, 0);

TEST(CSweepTest, CircleCrossingTheMiddleOfTheCapsule) {
    // Capsule (0,0)-(4,0), circle at (2,3), radii 0.5 each, falling by 4:
    // the centre is 1.0 from the segment when it has fallen 2, at t = 0.5.
    int32_t t = -1;
    ASSERT_TRUE(SweepCircleCapsule2d(V2(0, 0), V2(4, 0), HALF, V2(2, 3), HALF, kStill2, V2(0, -4), t));
    EXPECT_EQ(t, ONE / 2);
    // The same relative motion with the capsule moving instead.
    ASSERT_TRUE(SweepCircleCapsule2d(V2(0, 0), V2(4, 0), HALF, V2(2, 3), HALF, V2(0, 4), kStill2, t));
    EXPECT_EQ(t, ONE / 2);
}

TEST(CSweepTest, CircleCrossingObliquely) {
    // From (1, 2) by (2, -3): the distance to the line y = 0 is 2 - 3t and
    // reaches the radii's sum 1.0 at t = 1/3.
    int32_t t = -1;
    ASSERT_TRUE(SweepCircleCapsule2d(V2(0, 0), V2(4, 0), HALF, V2(1, 2), HALF, kStill2, V2(2, -3), t));
    EXPECT_NEAR(t, ToFixed(1.0 / 3.0), 4);
}

// The path meets the capsule's segment exactly at its end (sA = 1.0): still
// the direct crossing, t = 0.75 (3 - 1) / 3 = 0.5; the closest-approach
// step would answer 0.75, when the centre reaches the end point itself.
TEST(CSweepTest, PathMeetingTheSegmentAtItsEnd) {
    int32_t t = -1;
    ASSERT_TRUE(SweepCircleCapsule2d(V2(0, 0), V2(4, 0), HALF, V2(4, 3), HALF, kStill2, V2(0, -4), t));
    EXPECT_NEAR(t, ONE / 2, 2);
    t = -1;
    ASSERT_TRUE(SweepSphereCapsule3d(V3(0, 0, 0), V3(4, 0, 0), HALF, V3(4, 3, 0), HALF, kStill3, V3(0, -4, 0), t));
    EXPECT_NEAR(t, ONE / 2, 2);
}

TEST(CSweepTest, CrossingBehindTheCircle) {
    int32_t t = -1;
    EXPECT_FALSE(SweepCircleCapsule2d(V2(0, 0), V2(4, 0), HALF, V2(2, 3), HALF, kStill2, V2(0, 4), t));
    EXPECT_EQ(t, 0);
    // Already overlapping while moving apart.
    t = -1;
    EXPECT_FALSE(SweepCircleCapsule2d(V2(0, 0), V2(4, 0), HALF, V2(2, 0.5), HALF, kStill2, V2(0, 1), t));
    EXPECT_EQ(t, 0);
}

TEST(CSweepTest, CircleMovingParallelToTheCapsule) {
    // Along y = 0.8 from x = -3: the ten-step path's nearest point to the
    // capsule's nearer end (0, 0) is at 0.3 of that path, a tenth of which is t.
    int32_t t = -1;
    ASSERT_TRUE(SweepCircleCapsule2d(V2(0, 0), V2(4, 0), HALF, V2(-3, 0.8), HALF, kStill2, V2(1, 0), t));
    EXPECT_NEAR(t, ToFixed(0.03), 2);
    // Passing 1.2 away, clear of the radii's sum.
    EXPECT_FALSE(SweepCircleCapsule2d(V2(0, 0), V2(4, 0), HALF, V2(-3, 1.2), HALF, kStill2, V2(1, 0), t));
    // Overlapping at the end and moving away along the axis: nearest at the start.
    t = -1;
    EXPECT_FALSE(SweepCircleCapsule2d(V2(0, 0), V2(4, 0), HALF, V2(4.5, 0), HALF, kStill2, V2(1, 0), t));
    EXPECT_EQ(t, 0);
}

TEST(CSweepTest, CircleMissingTheCapsulesEnd) {
    // The motion line crosses the capsule's line beyond its end (x = 6): the
    // closest approach decides, 2 from the end (4, 0).
    int32_t t = -1;
    EXPECT_FALSE(SweepCircleCapsule2d(V2(0, 0), V2(4, 0), HALF, V2(6, 2), HALF, kStill2, V2(0, -4), t));
    // With radii reaching that far it is a contact.
    EXPECT_TRUE(SweepCircleCapsule2d(V2(0, 0), V2(4, 0), ONE, V2(6, 2), 1 * ONE + HALF, kStill2, V2(0, -4), t));
}

TEST(CSweepTest, CircleCentreOnTheSegment) {
    int32_t t = -1;
    ASSERT_TRUE(SweepCircleCapsule2d(V2(0, 0), V2(4, 0), HALF, V2(2, 0), HALF, kStill2, V2(0, 1), t));
    EXPECT_EQ(t, 0);
}

TEST(CSweepTest, SphereCrossingACapsuleInItsPlane) {
    int32_t t = -1;
    ASSERT_TRUE(
        SweepSphereCapsule3d(V3(0, 0, 1), V3(4, 0, 1), HALF, V3(2, 3, 1), HALF, kStill3, V3(0, -4, 0), t));
    EXPECT_EQ(t, ONE / 2);
}

TEST(CSweepTest, SpherePassingACapsuleOnASkewLine) {
    // The sphere falls along x = 2 at z = 0; the capsule lies at z = 1, so the
    // two lines never share a plane and pass 1.0 apart.
    int32_t t = -1;
    EXPECT_FALSE(SweepSphereCapsule3d(V3(0, 0, 1), V3(4, 0, 1), ToFixed(0.4), V3(2, 3, 0), HALF, kStill3,
                                      V3(0, -4, 0), t));
    // Radii reaching across that gap: contact, timed by the closest approach
    // (3 along a path of 40).
    ASSERT_TRUE(SweepSphereCapsule3d(V3(0, 0, 1), V3(4, 0, 1), ToFixed(0.6), V3(2, 3, 0), HALF, kStill3,
                                     V3(0, -4, 0), t));
    EXPECT_NEAR(t, ToFixed(3.0 / 40.0 / 10.0), 2);
}

TEST(CSweepTest, CapsuleSweptThroughAnother) {
    // Capsule A along x from 0 to 2 rises by 4 in z; B crosses its path at
    // (1, 0, 2), halfway up.
    int32_t t = -1;
    ASSERT_TRUE(SweepCapsuleCapsule3d(V3(0, 0, 0), V3(2, 0, 0), ONE / 4, V3(1, -1, 2), V3(1, 1, 2), ONE / 4,
                                      V3(0, 0, 4), kStill3, ONE, t));
    EXPECT_EQ(t, ONE / 2);
    // B given the other way round, and B moving down instead of A moving up.
    ASSERT_TRUE(SweepCapsuleCapsule3d(V3(0, 0, 0), V3(2, 0, 0), ONE / 4, V3(1, 1, 2), V3(1, -1, 2), ONE / 4,
                                      kStill3, V3(0, 0, -4), ONE, t));
    EXPECT_EQ(t, ONE / 2);
    // Crossing a quarter of the way up, off centre.
    ASSERT_TRUE(SweepCapsuleCapsule3d(V3(0, 0, 0), V3(2, 0, 0), ONE / 4, V3(0.5, -1, 1), V3(0.5, 3, 1), ONE / 4,
                                      V3(0, 0, 4), kStill3, ONE, t));
    EXPECT_EQ(t, ONE / 4);
}

TEST(CSweepTest, CapsuleSweptPastAnotherWithinTheRadii) {
    // B lies 0.3 beyond A's end (x = 2.3) and misses the swept area; radii of
    // 0.2 each reach it, at the height of B (2 of 4).
    int32_t t = -1;
    ASSERT_TRUE(SweepCapsuleCapsule3d(V3(0, 0, 0), V3(2, 0, 0), ONE / 5, V3(2.3, -1, 2), V3(2.3, 1, 2), ONE / 5,
                                      V3(0, 0, 4), kStill3, ONE, t));
    EXPECT_NEAR(t, ToFixed(0.5), 4);
    // Radii of 0.1 each do not.
    t = -1;
    EXPECT_FALSE(SweepCapsuleCapsule3d(V3(0, 0, 0), V3(2, 0, 0), ONE / 10, V3(2.3, -1, 2), V3(2.3, 1, 2),
                                       ONE / 10, V3(0, 0, 4), kStill3, ONE, t));
    EXPECT_EQ(t, -1);
}

TEST(CSweepTest, CapsulesWithoutRelativeMotion) {
    int32_t t = -1;
    EXPECT_FALSE(SweepCapsuleCapsule3d(V3(0, 0, 0), V3(2, 0, 0), ONE, V3(1, -1, 0.5), V3(1, 1, 0.5), ONE,
                                       V3(1, 2, 3), V3(1, 2, 3), ONE, t));
    EXPECT_FALSE(SweepCapsuleCapsule3d(V3(0, 0, 0), V3(2, 0, 0), ONE, V3(1, -1, 0.5), V3(1, 1, 0.5), ONE,
                                       V3(0, 0, 4), kStill3, 0, t));
    EXPECT_EQ(t, -1);
}

}  // namespace
