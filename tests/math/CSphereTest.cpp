#include <gtest/gtest.h>

#include <cmath>

#include "CMathFixed.h"
#include "CPlane.h"
#include "CSphere.h"
#include "GeometryTestSupport.h"

using namespace GeometryTest;

namespace {

constexpr int32_t ONE = CMathFixed::ONE;

TEST(CSphereTest, TangentSpheresTouch) {
    EXPECT_TRUE(CSphere::TestSphere(V3(0, 0, 0), ONE, V3(3, 0, 0), 2 * ONE));
    EXPECT_FALSE(CSphere::TestSphere(V3(0, 0, 0), ONE, CVector3d(3 * ONE + 1, 0, 0), 2 * ONE));
    // Along a 3-4-5 diagonal.
    EXPECT_TRUE(CSphere::TestSphere(V3(1, 1, 1), 2 * ONE, V3(4, 5, 1), 3 * ONE));
    EXPECT_FALSE(CSphere::TestSphere(V3(1, 1, 1), 2 * ONE, V3(4, 5, 1), 3 * ONE - 1));
}

TEST(CSphereTest, SegmentTangentToTheSphere) {
    const CVector3d centre = V3(0, 0, 0);
    EXPECT_TRUE(CSphere::TestSegment(centre, ONE, V3(-2, 1, 0), V3(2, 1, 0)));
    EXPECT_FALSE(CSphere::TestSegment(centre, ONE, CVector3d(-2 * ONE, ONE + 1, 0), CVector3d(2 * ONE, ONE + 1, 0)));
    // An end exactly on the surface, and a segment stopping short of it.
    EXPECT_TRUE(CSphere::TestSegment(centre, ONE, V3(1, 0, 0), V3(5, 0, 0)));
    EXPECT_FALSE(CSphere::TestSegment(centre, ONE, V3(2, 0, 0), V3(5, 0, 0)));
    // A segment passing right through.
    EXPECT_TRUE(CSphere::TestSegment(centre, ONE, V3(-3, 0.5, 0.5), V3(3, 0.5, 0.5)));
}

TEST(CSphereTest, ClassifyAgainstAPlaneAtTheBoundaries) {
    const CPlane ground(V3(0, 0, 1), 0);
    int32_t code = 0;
    EXPECT_TRUE(CSphere::ClassifyPlane(V3(0, 0, 1), ONE, ground, code));
    EXPECT_EQ(code, CPlane::kOnPlane);
    EXPECT_FALSE(CSphere::ClassifyPlane(CVector3d(0, 0, ONE + 1), ONE, ground, code));
    EXPECT_EQ(code, CPlane::kInFront);
    EXPECT_TRUE(CSphere::ClassifyPlane(V3(0, 0, -1), ONE, ground, code));
    EXPECT_EQ(code, CPlane::kOnPlane);
    EXPECT_FALSE(CSphere::ClassifyPlane(CVector3d(0, 0, -ONE - 1), ONE, ground, code));
    EXPECT_EQ(code, CPlane::kBehind);
}

TEST(CSphereTest, MovingSpheresHeadOn) {
    int32_t t = -1;
    CVector3d point(9, 9, 9);
    // Radius 1 each, 4 apart, closing at 2 per unit: contact at t = 1.0,
    // halfway between the centres then.
    ASSERT_TRUE(CSphere::TestMovingSphere(V3(0, 0, 0), ONE, V3(4, 0, 0), ONE, V3(0, 0, 0), V3(-2, 0, 0), t, point));
    EXPECT_EQ(t, ONE);
    EXPECT_VEC3_NEAR(point, 1, 0, 0, 0);

    // Both moving: the contact point moves with them.
    ASSERT_TRUE(CSphere::TestMovingSphere(V3(0, 0, 0), ONE, V3(4, 0, 0), 3 * ONE, V3(1, 0, 0), V3(-1, 0, 0), t, point));
    // 4 apart with radii summing to 4: touching at the start, 1 from the first centre.
    EXPECT_EQ(t, 0);
    EXPECT_VEC3_NEAR(point, 1, 0, 0, 0);

    // Already overlapping: met at once, no contact point written.
    point = CVector3d(9, 9, 9);
    ASSERT_TRUE(CSphere::TestMovingSphere(V3(0, 0, 0), ONE, V3(1, 0, 0), ONE, V3(5, 0, 0), V3(0, 0, 0), t, point));
    EXPECT_EQ(t, 0);
    EXPECT_EQ(point.x, 9);
}

TEST(CSphereTest, MovingSpheresThatDoNotMeet) {
    int32_t t = -1;
    CVector3d point;
    // Moving apart.
    EXPECT_FALSE(CSphere::TestMovingSphere(V3(0, 0, 0), ONE, V3(4, 0, 0), ONE, V3(-1, 0, 0), V3(1, 0, 0), t, point));
    // Passing by with 3 between the paths.
    EXPECT_FALSE(CSphere::TestMovingSphere(V3(0, 0, 0), ONE, V3(4, 3, 0), ONE, V3(0, 0, 0), V3(-8, 0, 0), t, point));
    // No relative motion.
    EXPECT_FALSE(CSphere::TestMovingSphere(V3(0, 0, 0), ONE, V3(4, 0, 0), ONE, V3(1, 1, 0), V3(1, 1, 0), t, point));
    EXPECT_EQ(t, -1);
}

TEST(CSphereTest, ObliqueMovingSpheresMatchTheRealQuadratic) {
    const Real3 c0{0.5, -1, 0.25}, c1{3, 1.5, -0.5}, v0{0.25, 0.5, 0}, v1{-1.5, -1.25, 0.5};
    const double r0 = 0.75, r1 = 0.5;
    const Real3 s = c1 - c0, v = v1 - v0;
    const double a = Dot(v, v), b = Dot(v, s), c = Dot(s, s) - (r0 + r1) * (r0 + r1);
    const double realT = (-b - std::sqrt(b * b - a * c)) / a;
    int32_t t = 0;
    CVector3d point;
    ASSERT_TRUE(CSphere::TestMovingSphere(V3(c0.x, c0.y, c0.z), ToFixed(r0), V3(c1.x, c1.y, c1.z), ToFixed(r1),
                                          V3(v0.x, v0.y, v0.z), V3(v1.x, v1.y, v1.z), t, point));
    // The square root keeps 8 fraction bits: t is good to that over a.
    EXPECT_NEAR(ToReal(t), realT, kLengthStep / a + 1e-4);
    // The contact point lies r0 from the first centre and r1 from the second.
    const Real3 centre0 = c0 + ToReal(t) * v0, centre1 = c1 + ToReal(t) * v1;
    EXPECT_NEAR(Length(R(point) - centre0), r0, 0.01);
    EXPECT_NEAR(Length(R(point) - centre1), r1, 0.01);
}

TEST(CSphereTest, MovingSphereAgainstAPlane) {
    const CPlane ground(V3(0, 0, 1), 0);
    int32_t t = -1;
    CVector3d point;
    ASSERT_TRUE(CSphere::IntersectMovingPlane(V3(0, 0, 3), ONE, ground, V3(0, 0, -4), t, point));
    EXPECT_EQ(t, ONE / 2);
    EXPECT_VEC3_NEAR(point, 0, 0, 0, 0);
    // From behind.
    ASSERT_TRUE(CSphere::IntersectMovingPlane(V3(2, 1, -3), ONE, ground, V3(0, 0, 4), t, point));
    EXPECT_EQ(t, ONE / 2);
    EXPECT_VEC3_NEAR(point, 2, 1, 0, 0);
    // Touching at the start.
    ASSERT_TRUE(CSphere::IntersectMovingPlane(V3(1, 1, 1), ONE, ground, V3(0, 0, 4), t, point));
    EXPECT_EQ(t, 0);
    EXPECT_VEC3_NEAR(point, 1, 1, 1, 0);
    // Moving away or along the plane.
    t = -1;
    EXPECT_FALSE(CSphere::IntersectMovingPlane(V3(0, 0, 3), ONE, ground, V3(0, 0, 4), t, point));
    EXPECT_FALSE(CSphere::IntersectMovingPlane(V3(0, 0, 3), ONE, ground, V3(4, 0, 0), t, point));
    EXPECT_EQ(t, -1);
}

// Distances whose 16.16 product passes 32 bits: the approach must still be
// seen, whichever side the sphere comes from.
TEST(CSphereTest, MovingSphereFarFromThePlane) {
    const CPlane ground(V3(0, 0, 1), 0);
    const struct {
        double z, dz, r;
    } cases[] = {{200, -300, 1.1}, {-200, 300, 1.1}, {1000, -1500, 10}, {30000, -30001, 0.5}};
    for (const auto& c : cases) {
        const double realT = (std::fabs(c.z) - c.r) / std::fabs(c.dz);
        int32_t t = -1;
        CVector3d point;
        ASSERT_TRUE(CSphere::IntersectMovingPlane(V3(0, 0, c.z), ToFixed(c.r), ground, V3(0, 0, c.dz), t, point))
            << "z " << c.z;
        EXPECT_NEAR(t, ToFixed(realT), 2) << "z " << c.z;
        EXPECT_NEAR(point.z, 0, 2 * std::fabs(c.dz) + 8) << "z " << c.z;  // t is off by up to 2 / 65536
        EXPECT_FALSE(CSphere::IntersectMovingPlane(V3(0, 0, c.z), ToFixed(c.r), ground, V3(0, 0, -c.dz), t, point));
    }
}

TEST(CSphereTest, MovingSphereAgainstATiltedPlane) {
    const Real3 n = Unit({2, -1, 2});  // exactly (2/3, -1/3, 2/3)
    const CPlane plane(V3(n.x, n.y, n.z), ToFixed(1.0));
    const Real3 c{3, -2, 3}, v{-4, 1, -5};
    const double r = 0.5;
    const double s = Dot(n, c) - 1.0;
    const double realT = (r - s) / Dot(n, v);
    const Real3 realPoint = c + realT * v - r * n;
    int32_t t = 0;
    CVector3d point;
    ASSERT_TRUE(CSphere::IntersectMovingPlane(V3(c.x, c.y, c.z), ToFixed(r), plane, V3(v.x, v.y, v.z), t, point));
    EXPECT_NEAR(t, ToFixed(realT), 4);
    EXPECT_VEC3_NEAR(point, realPoint.x, realPoint.y, realPoint.z, 24);
}

}  // namespace
