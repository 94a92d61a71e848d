#include <gtest/gtest.h>

#include "AssertCounter.h"
#include "CMathFixed.h"
#include "CPlane.h"
#include "GeometryTestSupport.h"

using namespace GeometryTest;

namespace {

constexpr int32_t ONE = CMathFixed::ONE;

// Error of a normal built from a cross product of length crossLength: the
// square root's last place relative to that length, plus rounding.
double NormalTolerance(double crossLength) { return kLengthStep / crossLength * 65536.0 + 4.0; }

TEST(CPlaneTest, ThroughThreePointsFollowsTheRightHandRule) {
    const CPlane plane(V3(0, 0, 0), V3(1, 0, 0), V3(0, 1, 0));
    EXPECT_EQ(plane.normal.x, 0);
    EXPECT_EQ(plane.normal.y, 0);
    EXPECT_EQ(plane.normal.z, ONE);
    EXPECT_EQ(plane.distance, 0);
    EXPECT_EQ(plane.DominantAxis(), CPlane::kAxisXY);

    const CPlane reversed(V3(0, 0, 0), V3(0, 1, 0), V3(1, 0, 0));
    EXPECT_EQ(reversed.normal.z, -ONE);
}

TEST(CPlaneTest, GeneralPlaneMatchesTheRealPlane) {
    const Real3 a{1, 2, 3}, b{4, -1, 2}, c{0, 5, -2};
    const Real3 cross = Cross(b - a, c - a);
    const Real3 n = Unit(cross);
    const CPlane plane(V3(a.x, a.y, a.z), V3(b.x, b.y, b.z), V3(c.x, c.y, c.z));
    const double tolerance = NormalTolerance(Length(cross));
    EXPECT_VEC3_NEAR(plane.normal, n.x, n.y, n.z, tolerance);
    EXPECT_NEAR(plane.distance, ToFixed(Dot(a, n)), tolerance * 6);

    // The three points lie on it, and a point along the normal is in front.
    for (Real3 p : {a, b, c}) EXPECT_NEAR(plane.Distance(V3(p.x, p.y, p.z)), 0, 8);
    const Real3 front = a + 2.0 * n;
    EXPECT_NEAR(plane.Distance(V3(front.x, front.y, front.z)), 2 * ONE, tolerance * 4);
}

TEST(CPlaneTest, CollinearPointsGiveAZeroNormal) {
    const CPlane plane(V3(0, 0, 0), V3(1, 1, 1), V3(3, 3, 3));
    EXPECT_EQ(plane.normal.x, 0);
    EXPECT_EQ(plane.normal.y, 0);
    EXPECT_EQ(plane.normal.z, 0);
    AssertCounter asserts;
    EXPECT_EQ(plane.DominantAxis(), CPlane::kAxisXY);
    EXPECT_EQ(asserts.Count(), 1);
}

TEST(CPlaneTest, DominantAxisBreaksTiesTowardZThenX) {
    EXPECT_EQ(CPlane(V3(1, 1, 1), 0).DominantAxis(), CPlane::kAxisXY);
    EXPECT_EQ(CPlane(V3(1, 0, -1), 0).DominantAxis(), CPlane::kAxisXY);
    EXPECT_EQ(CPlane(V3(-1, 1, 0.5), 0).DominantAxis(), CPlane::kAxisYZ);
    EXPECT_EQ(CPlane(V3(-3, 1, 1), 0).DominantAxis(), CPlane::kAxisYZ);
    EXPECT_EQ(CPlane(V3(0.5, -2, 1), 0).DominantAxis(), CPlane::kAxisZX);
}

TEST(CPlaneTest, NormalizeDividesNormalAndDistance) {
    CPlane plane(V3(0, 0, 2), 4 * ONE);
    plane.Normalize();
    EXPECT_EQ(plane.normal.z, ONE);
    EXPECT_EQ(plane.distance, 2 * ONE);

    CPlane zero(V3(0, 0, 0), 3 * ONE);
    zero.Normalize();
    EXPECT_EQ(zero.distance, 3 * ONE);
}

TEST(CPlaneTest, CopyThroughNullPointerIsReportedAndChangesNothing) {
    CPlane plane(V3(0, 1, 0), 5);
    AssertCounter asserts;
    plane.Set(static_cast<const CPlane*>(nullptr));
    EXPECT_EQ(asserts.Count(), 1);
    EXPECT_EQ(plane.normal.y, ONE);
    EXPECT_EQ(plane.distance, 5);
}

TEST(CPlaneTest, SegmentCrossingIncludesBothEnds) {
    const CPlane ground(V3(0, 0, 1), 0);
    CVector3d point(9, 9, 9);
    int32_t t = 12345;

    ASSERT_TRUE(ground.IntersectSegment(V3(0, 0, -1), V3(0, 0, 1), point, t));
    EXPECT_EQ(t, ONE / 2);
    EXPECT_VEC3_NEAR(point, 0, 0, 0, 0);

    // Ends exactly on the plane still cross it.
    ASSERT_TRUE(ground.IntersectSegment(V3(1, 2, 1), V3(1, 2, 0), point, t));
    EXPECT_EQ(t, ONE);
    EXPECT_VEC3_NEAR(point, 1, 2, 0, 0);
    ASSERT_TRUE(ground.IntersectSegment(V3(1, 2, 0), V3(1, 2, 1), point, t));
    EXPECT_EQ(t, 0);

    // Beyond the segment: false, with t written.
    point = CVector3d(9, 9, 9);
    EXPECT_FALSE(ground.IntersectSegment(V3(0, 0, 1), V3(0, 0, 2), point, t));
    EXPECT_EQ(t, -ONE);
    EXPECT_EQ(point.x, 9);

    // Parallel: false and nothing written.
    t = 12345;
    EXPECT_FALSE(ground.IntersectSegment(V3(0, 0, 1), V3(5, 3, 1), point, t));
    EXPECT_EQ(t, 12345);
}

TEST(CPlaneTest, ObliqueSegmentCrossingMatchesRealValues) {
    const Real3 n = Unit({1, 2, 2});  // exactly (1/3, 2/3, 2/3)
    const CPlane plane(V3(n.x, n.y, n.z), ToFixed(1.5));
    const Real3 p0{-1, -1, -0.5}, p1{2, 1.5, 2.25};
    const double realT = (1.5 - Dot(n, p0)) / Dot(n, p1 - p0);
    const Real3 realPoint = p0 + realT * (p1 - p0);
    CVector3d point;
    int32_t t = 0;
    ASSERT_TRUE(plane.IntersectSegment(V3(p0.x, p0.y, p0.z), V3(p1.x, p1.y, p1.z), point, t));
    EXPECT_NEAR(t, ToFixed(realT), 4);
    EXPECT_VEC3_NEAR(point, realPoint.x, realPoint.y, realPoint.z, 16);
}

TEST(CPlaneTest, TwoPlanesMeetInALine) {
    const CPlane x2(V3(1, 0, 0), 2 * ONE);
    const CPlane y3(V3(0, 1, 0), 3 * ONE);
    CVector3d direction;
    CVector3d point;
    ASSERT_TRUE(x2.IntersectPlane(y3, direction, point));
    EXPECT_VEC3_NEAR(direction, 0, 0, 1, 0);
    EXPECT_VEC3_NEAR(point, 2, 3, 0, 0);
    EXPECT_TRUE(x2.IntersectsPlane(y3, direction));

    // Oblique planes: the point lies on both, the direction along n x m.
    const Real3 n = Unit({1, 1, 0});
    const Real3 m = Unit({0, 1, 2});
    const CPlane p(V3(n.x, n.y, n.z), ToFixed(0.75));
    const CPlane q(V3(m.x, m.y, m.z), ToFixed(-1.25));
    ASSERT_TRUE(p.IntersectPlane(q, direction, point));
    const Real3 realPoint = R(point);
    EXPECT_NEAR(Dot(n, realPoint), 0.75, 1e-3);
    EXPECT_NEAR(Dot(m, realPoint), -1.25, 1e-3);
    const Real3 d = Cross(n, m);
    EXPECT_VEC3_NEAR(direction, d.x, d.y, d.z, 4);
}

TEST(CPlaneTest, ParallelPlanesHaveNoLine) {
    const CPlane z0(V3(0, 0, 1), 0);
    const CPlane z1(V3(0, 0, -1), -ONE);
    CVector3d direction;
    CVector3d point(7, 7, 7);
    EXPECT_FALSE(z0.IntersectPlane(z1, direction, point));
    EXPECT_FALSE(z0.IntersectsPlane(z1, direction));
    EXPECT_EQ(point.x, 7);
}

TEST(CPlaneTest, ThreePlanesMeetInAPoint) {
    const CPlane x(V3(1, 0, 0), ONE), y(V3(0, 1, 0), 2 * ONE), z(V3(0, 0, 1), 3 * ONE);
    CVector3d point;
    ASSERT_TRUE(x.IntersectPlanes(y, z, point));
    EXPECT_VEC3_NEAR(point, 1, 2, 3, 0);

    // Oblique planes solved by Cramer's rule in real numbers.
    const Real3 n1 = Unit({2, 1, 2}), n2 = Unit({-1, 2, 2}), n3 = Unit({2, -2, 1});
    const double d1 = 0.5, d2 = -1.0, d3 = 1.5;
    const double det = Dot(n1, Cross(n2, n3));
    const Real3 expected = (1.0 / det) * (d1 * Cross(n2, n3) + d2 * Cross(n3, n1) + d3 * Cross(n1, n2));
    const CPlane p1(V3(n1.x, n1.y, n1.z), ToFixed(d1)), p2(V3(n2.x, n2.y, n2.z), ToFixed(d2)),
        p3(V3(n3.x, n3.y, n3.z), ToFixed(d3));
    ASSERT_TRUE(p1.IntersectPlanes(p2, p3, point));
    EXPECT_VEC3_NEAR(point, expected.x, expected.y, expected.z, 16);

    // Two of them parallel: no single point.
    const CPlane z2(V3(0, 0, 1), 5 * ONE);
    CVector3d untouched(4, 4, 4);
    EXPECT_FALSE(z.IntersectPlanes(x, z2, untouched));
    EXPECT_EQ(untouched.x, 4);
}

}  // namespace
