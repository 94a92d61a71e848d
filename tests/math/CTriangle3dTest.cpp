#include <gtest/gtest.h>

#include <utility>

#include "AssertCounter.h"
#include "CMathFixed.h"
#include "CPlane.h"
#include "CTriangle3d.h"
#include "GeometryTestSupport.h"

using namespace GeometryTest;

namespace {

constexpr int32_t ONE = CMathFixed::ONE;

const CTriangle3d kFloor(V3(0, 0, 0), V3(4, 0, 0), V3(0, 4, 0));

CVector3d Fixed(Real3 v) { return V3(v.x, v.y, v.z); }

TEST(CTriangle3dTest, ClassifyPointOnEdgesCornersAndBeyondTheEdgesLines) {
    // Inside, on edge ab, on bc, on corners a and c; then outside, and on the
    // lines through b and c, a and b, c and a, past the triangle.
    for (const Real3 p : {Real3{1, 1, 0}, Real3{2, 0, 0}, Real3{2, 2, 0}, Real3{0, 0, 0}, Real3{0, 4, 0}}) {
        EXPECT_EQ(kFloor.ClassifyPoint(Fixed(p)), CTriangle3d::kInside) << p.x << " " << p.y;
    }
    for (const Real3 p : {Real3{3, 3, 0}, Real3{-1, 1, 0}, Real3{6, -2, 0}, Real3{-1, 5, 0}, Real3{-2, 0, 0},
                          Real3{0, 6, 0}}) {
        EXPECT_EQ(kFloor.ClassifyPoint(Fixed(p)), CTriangle3d::kOutside) << p.x << " " << p.y;
    }
    const CTriangle3d tilted(V3(1, 0, 0), V3(0, 2, 0), V3(0, 0, 2));
    EXPECT_EQ(tilted.ClassifyPoint(V3(0, 3, -1)), CTriangle3d::kOutside);  // line bc
    EXPECT_EQ(tilted.ClassifyPoint(V3(0, 1, 1)), CTriangle3d::kInside);    // on bc
    EXPECT_EQ(tilted.ClassifyPoint(V3(0.5, 0.5, 0.5)), CTriangle3d::kInside);
}

TEST(CTriangle3dTest, ClosestPointInEveryRegion) {
    const Real3 a{0.5, -0.25, 1}, b{3, 0.5, 0.25}, c{1, 2.5, 1.5};
    const CTriangle3d triangle(Fixed(a), Fixed(b), Fixed(c));
    const Real3 centroid = (1.0 / 3.0) * (a + b + c);
    const Real3 n = Unit(Cross(b - a, c - a));
    // Beyond each corner, beside each edge, and above and below the face.
    const Real3 probes[] = {
        a + 1.5 * (a - centroid),
        b + 1.5 * (b - centroid),
        c + 1.5 * (c - centroid),
        (0.5 * (a + b)) + 1.0 * ((0.5 * (a + b)) - centroid) + 0.5 * n,
        (0.5 * (b + c)) + 1.0 * ((0.5 * (b + c)) - centroid) - 0.5 * n,
        (0.5 * (c + a)) + 1.0 * ((0.5 * (c + a)) - centroid),
        centroid + 2.0 * n,
        centroid - 0.75 * n + 0.1 * (b - a),
    };
    for (const Real3& p : probes) {
        const Real3 expected = NearestOnTriangle(a, b, c, p);
        CVector3d out;
        triangle.ClosestPoint(Fixed(p), out);
        EXPECT_VEC3_NEAR(out, expected.x, expected.y, expected.z, 48);
    }
}

TEST(CTriangle3dTest, ClosestPointOfATriangleWithoutArea) {
    const CTriangle3d flat(V3(0, 0, 0), V3(2, 0, 0), V3(4, 0, 0));
    CVector3d out;
    flat.ClosestPoint(V3(3, 2, 1), out);
    EXPECT_VEC3_NEAR(out, 3, 0, 0, 0);
    flat.ClosestPoint(V3(-1, 1, 0), out);
    EXPECT_VEC3_NEAR(out, 0, 0, 0, 0);
}

TEST(CTriangle3dTest, BarycentricInTheProjectionPlane) {
    int32_t u = 0, v = 0, w = 0;
    ASSERT_TRUE(kFloor.Barycentric(V3(1, 1, 0), u, v, w));
    EXPECT_EQ(u, ONE / 2);
    EXPECT_EQ(v, ONE / 4);
    EXPECT_EQ(w, ONE / 4);

    // A tilted triangle, weights from real-valued areas.
    const Real3 a{0, 0, 1}, b{2, 0, 0}, c{0, 3, 0.5};
    const Real3 p = 0.2 * a + 0.5 * b + 0.3 * c;
    const CTriangle3d tilted(Fixed(a), Fixed(b), Fixed(c));
    ASSERT_TRUE(tilted.Barycentric(Fixed(p), u, v, w));
    EXPECT_NEAR(u, ToFixed(0.2), 8);
    EXPECT_NEAR(v, ToFixed(0.5), 8);
    EXPECT_NEAR(w, ToFixed(0.3), 8);

    const CTriangle3d flat(V3(0, 0, 0), V3(1, 1, 1), V3(2, 2, 2));
    EXPECT_FALSE(flat.Barycentric(V3(1, 1, 1), u, v, w));
    EXPECT_EQ(u, ONE);
    EXPECT_EQ(v, 0);
}

TEST(CTriangle3dTest, OnPlaneTolerance) {
    const CPlane ground(V3(0, 0, 1), 0);
    EXPECT_TRUE(CTriangle3d::OnPlane(ground, CVector3d(5, 5, 65)));
    EXPECT_TRUE(CTriangle3d::OnPlane(ground, CVector3d(5, 5, -65)));
    EXPECT_FALSE(CTriangle3d::OnPlane(ground, CVector3d(5, 5, 66)));
}

TEST(CTriangle3dTest, TriangleAgainstAPlane) {
    EXPECT_TRUE(kFloor.IntersectsPlane(CPlane(V3(0, 0, 1), 0)));
    EXPECT_FALSE(kFloor.IntersectsPlane(CPlane(V3(0, 0, 1), ONE)));
    EXPECT_TRUE(kFloor.IntersectsPlane(CPlane(V3(1, 0, 0), ONE)));
    // Touching the plane x = 4 with a corner only, and missing x = 4.5.
    EXPECT_TRUE(kFloor.IntersectsPlane(CPlane(V3(1, 0, 0), 4 * ONE)));
    EXPECT_FALSE(kFloor.IntersectsPlane(CPlane(V3(1, 0, 0), ToFixed(4.5))));
    // An upright triangle crossing the floor plane, and one above it.
    const CPlane ground(V3(0, 0, 1), 0);
    EXPECT_TRUE(CTriangle3d(V3(0, 0, -1), V3(2, 0, 1), V3(0, 1, 2)).IntersectsPlane(ground));
    EXPECT_FALSE(CTriangle3d(V3(0, 0, 0.5), V3(2, 0, 1), V3(0, 1, 2)).IntersectsPlane(ground));
}

TEST(CTriangle3dTest, TrianglesThatMeet) {
    // One piercing the other.
    EXPECT_TRUE(kFloor.IntersectsTriangle(CTriangle3d(V3(1, 1, -1), V3(1, 1, 1), V3(2, 0.5, 1))));
    // Coplanar and overlapping; coplanar and apart.
    EXPECT_TRUE(kFloor.IntersectsTriangle(CTriangle3d(V3(1, 1, 0), V3(5, 1, 0), V3(1, 5, 0))));
    EXPECT_FALSE(kFloor.IntersectsTriangle(CTriangle3d(V3(3, 3, 0), V3(5, 3, 0), V3(5, 5, 0))));
    // Parallel planes apart.
    EXPECT_FALSE(kFloor.IntersectsTriangle(CTriangle3d(V3(0, 0, 1), V3(4, 0, 1), V3(0, 4, 1))));
    // Upright triangle whose foot only reaches the floor beside the triangle.
    EXPECT_FALSE(kFloor.IntersectsTriangle(CTriangle3d(V3(3, 3, -1), V3(5, 3, -1), V3(4, 3, 1))));
}

TEST(CTriangle3dTest, TrianglesWhoseSpansOnTheCommonLineAreApart) {
    // Both cross the line y = 0, z = 0 (the x axis), at x in [0, 4] and
    // around x = 6 respectively: the triangles themselves never meet.
    const CTriangle3d upright(V3(5, 0, -1), V3(7, 0, -1), V3(6, 0, 1));
    EXPECT_FALSE(kFloor.IntersectsTriangle(upright));
    EXPECT_FALSE(upright.IntersectsTriangle(kFloor));
    // Moved to overlap the floor's span, they do.
    const CTriangle3d overlapping(V3(3, 0, -1), V3(5, 0, -1), V3(4, 0, 1));
    EXPECT_TRUE(kFloor.IntersectsTriangle(overlapping));
    EXPECT_TRUE(overlapping.IntersectsTriangle(kFloor));
}

TEST(CTriangle3dTest, ClosestPointsOfSegmentsCrossingAboveBesideAndHalfOverTheFace) {
    struct Case {
        Real3 p0, p1, onTriangle, onSegment;
        double t;
    };
    const Case cases[] = {
        {{1, 1, -1}, {1, 1, 3}, {1, 1, 0}, {1, 1, 0}, 0.25},
        {{1, 1, 2}, {2, 1, 1}, {2, 1, 0}, {2, 1, 1}, 1.0},
        {{1, 1, 1}, {2, 1, 1}, {1, 1, 0}, {1, 1, 1}, 0.0},
        {{3, 3, -1}, {3, 3, 1}, {2, 2, 0}, {3, 3, 0}, 0.5},
        {{1, 1, 0.25}, {9, 9, 6}, {1, 1, 0}, {1, 1, 0.25}, 0.0},
    };
    for (const Case& c : cases) {
        CVector3d q, r;
        int32_t t = -1;
        kFloor.ClosestPointsSegment(Fixed(c.p0), Fixed(c.p1), q, r, t);
        EXPECT_VEC3_NEAR(q, c.onTriangle.x, c.onTriangle.y, c.onTriangle.z, 0);
        EXPECT_VEC3_NEAR(r, c.onSegment.x, c.onSegment.y, c.onSegment.z, 0);
        EXPECT_EQ(t, ToFixed(c.t));
    }
}

TEST(CTriangle3dTest, ClosestPointsDistanceMatchesRealGeometry) {
    const Real3 a{0.5, -0.25, 1}, b{3, 0.5, 0.25}, c{1, 2.5, 1.5};
    const CTriangle3d triangle(Fixed(a), Fixed(b), Fixed(c));
    const Real3 segments[][2] = {
        {{-1, -1, 3}, {4, 3, 2}}, {{2, 2, -1}, {3, 3, 3}}, {{4, -1, 0}, {4, 3, 1}},
        {{1, 0.5, 1.5}, {-2, 4, 3}}, {{-1, 1, 0}, {0, 3, 2.5}},
    };
    for (const auto& s : segments) {
        CVector3d q, r;
        int32_t t = 0;
        triangle.ClosestPointsSegment(Fixed(s[0]), Fixed(s[1]), q, r, t);
        double at = 0.0;
        const double realDistance = MinimiseConvex(
            [&](double u) {
                const Real3 p = s[0] + u * (s[1] - s[0]);
                return Length(NearestOnTriangle(a, b, c, p) - p);
            },
            at);
        EXPECT_NEAR(Length(R(q) - R(r)), realDistance, 0.01);
        const Real3 onSegment = s[0] + ToReal(t) * (s[1] - s[0]);
        EXPECT_VEC3_NEAR(r, onSegment.x, onSegment.y, onSegment.z, 16);
    }
}

TEST(CTriangle3dTest, SphereTouchingTheFaceEdgeAndCorner) {
    // Over the face, beside an edge, beyond corner b along a 3-4-5 diagonal.
    for (const auto& [centre, radius] : {std::pair{V3(1, 1, 1), ONE}, std::pair{V3(2, -1, 0), ONE},
                                         std::pair{V3(7, -4, 0), 5 * ONE}}) {
        EXPECT_TRUE(kFloor.TestSphere(centre, radius));
        EXPECT_FALSE(kFloor.TestSphere(centre, radius - 1));
    }
}

TEST(CTriangle3dTest, SegmentThroughTheTriangleFromEitherSide) {
    int32_t t = -1;
    ASSERT_TRUE(kFloor.IntersectSegment(V3(1, 1, 3), V3(1, 1, -1), t));
    EXPECT_EQ(t, ONE * 3 / 4);
    ASSERT_TRUE(kFloor.IntersectSegment(V3(1, 1, -1), V3(1, 1, 3), t));
    EXPECT_EQ(t, ONE / 4);
    ASSERT_TRUE(CTriangle3d::IntersectSegment(kFloor.a, kFloor.c, kFloor.b, V3(1, 1, 3), V3(1, 1, -1), t));
    EXPECT_EQ(t, ONE * 3 / 4);
}

TEST(CTriangle3dTest, SegmentAtTheTrianglesBoundaries) {
    int32_t t = -1;
    // Through an edge, through a corner, ending exactly on the face.
    EXPECT_TRUE(kFloor.IntersectSegment(V3(2, 0, 1), V3(2, 0, -1), t));
    EXPECT_TRUE(kFloor.IntersectSegment(V3(0, 4, -1), V3(0, 4, 1), t));
    ASSERT_TRUE(kFloor.IntersectSegment(V3(1, 1, 2), V3(1, 1, 0), t));
    EXPECT_EQ(t, ONE);
    // Missing beside it, stopping short of it, lying in its plane.
    t = -1;
    EXPECT_FALSE(kFloor.IntersectSegment(V3(3, 3, 1), V3(3, 3, -1), t));
    EXPECT_FALSE(kFloor.IntersectSegment(V3(1, 1, 2), V3(1, 1, 0.5), t));
    EXPECT_FALSE(kFloor.IntersectSegment(V3(-1, 1, 0), V3(5, 1, 0), t));
    EXPECT_EQ(t, -1);
}

TEST(CTriangle3dTest, ObliqueSegmentCrossingMatchesRealValues) {
    const Real3 a{0.5, -0.25, 1}, b{3, 0.5, 0.25}, c{1, 2.5, 1.5};
    const Real3 p{0, 0, 3}, q{3, 1.5, -1};
    const Real3 n = Cross(b - a, c - a);
    const double realT = Dot(a - p, n) / Dot(q - p, n);
    int32_t t = 0;
    ASSERT_TRUE(CTriangle3d(Fixed(a), Fixed(b), Fixed(c)).IntersectSegment(Fixed(p), Fixed(q), t));
    EXPECT_NEAR(t, ToFixed(realT), 8);
}

TEST(CTriangle3dTest, IsoscelesIn3d) {
    EXPECT_TRUE(CTriangle3d(V3(0, 0, 0), V3(2, 0, 0), V3(1, 1, 3)).IsIsosceles());
    EXPECT_FALSE(CTriangle3d(V3(0, 0, 0), V3(2, 0, 0), V3(1, 1, 3)).IsEquilateral());
    // (2, 0, 0), (0, 2, 0), (0, 0, 2): every edge squared is exactly 8.
    EXPECT_TRUE(CTriangle3d(V3(2, 0, 0), V3(0, 2, 0), V3(0, 0, 2)).IsEquilateral());
    EXPECT_FALSE(CTriangle3d(V3(2, 0, 0), V3(0, 2, 0), CVector3d(0, 0, 2 * ONE + 1)).IsEquilateral());
}

TEST(CTriangle3dTest, DegenerateTrianglesAreReportedNotFatal) {
    const CTriangle3d flat(V3(0, 0, 0), V3(1, 0, 0), V3(2, 0, 0));
    CVector3d q, r;
    int32_t t = 0;
    flat.ClosestPointsSegment(V3(1, -1, 1), V3(1, 1, 1), q, r, t);
    EXPECT_VEC3_NEAR(q, 1, 0, 0, 0);
    EXPECT_VEC3_NEAR(r, 1, 0, 1, 0);
    EXPECT_FALSE(flat.IntersectSegment(V3(1, 0, 1), V3(1, 0, -1), t));
    // Choosing a projection from a zero normal is a caller error.
    AssertCounter asserts;
    flat.IntersectsTriangle(kFloor);
    EXPECT_GE(asserts.Count(), 1);
}

}  // namespace

namespace {

// Triangles from a few units to about a thousand across, placed up to a
// thousand units from the origin: every intermediate dot product passes
// 16.16 at the larger sizes.
struct FarTriangle {
    double size;
    double offset;
};
const FarTriangle kFarTriangles[] = {{4, 0}, {4, 1000}, {60, -700}, {300, 300}, {900, 1000}, {900, -1000}};

Real3 Place(const FarTriangle& f, double x, double y, double z) {
    return Real3{f.offset + x * f.size, f.offset / 2 + y * f.size, -f.offset + z * f.size};
}

TEST(CTriangle3dTest, FarAndLargeTrianglesClassifyAndFindClosestPoints) {
    for (const FarTriangle& f : kFarTriangles) {
        SCOPED_TRACE(testing::Message() << "size " << f.size << " offset " << f.offset);
        const CTriangle3d triangle(Fixed(Place(f, 0, 0, 0)), Fixed(Place(f, 1, 0, 0)), Fixed(Place(f, 0, 1, 0.5)));
        const Real3 inside = Place(f, 0.25, 0.25, 0.125);
        EXPECT_EQ(triangle.ClassifyPoint(Fixed(inside)), CTriangle3d::kInside);
        EXPECT_EQ(triangle.ClassifyPoint(Fixed(Place(f, 0.75, 0.5, 0.25))), CTriangle3d::kOutside);
        EXPECT_EQ(triangle.ClassifyPoint(Fixed(Place(f, -0.1, 0.5, 0.25))), CTriangle3d::kOutside);

        // Above the face: the foot of the perpendicular, (0, -1, 2) / sqrt(5).
        // Small triangles keep the 16.16 reciprocal of their weights' sum,
        // good to about 0.004 units here.
        const double tolerance = 4 * f.size + 300;
        CVector3d nearest;
        const Real3 above = inside + Real3{0, -0.2 * f.size, 0.4 * f.size};
        triangle.ClosestPoint(Fixed(above), nearest);
        EXPECT_VEC3_NEAR(nearest, inside.x, inside.y, inside.z, tolerance);
        // Beyond corner b.
        const Real3 b = Place(f, 1, 0, 0);
        triangle.ClosestPoint(Fixed(Place(f, 1.5, -0.5, 0)), nearest);
        EXPECT_VEC3_NEAR(nearest, b.x, b.y, b.z, 0);
        // Beyond the middle of edge ab.
        const Real3 midAB = Place(f, 0.5, 0, 0);
        triangle.ClosestPoint(Fixed(Place(f, 0.5, -0.5, 0)), nearest);
        EXPECT_VEC3_NEAR(nearest, midAB.x, midAB.y, midAB.z, tolerance);
    }
}

}  // namespace
