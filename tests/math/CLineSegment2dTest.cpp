#include <gtest/gtest.h>

#include "AssertCounter.h"
#include "CLineSegment2d.h"
#include "CMathFixed.h"
#include "GeometryTestSupport.h"

using namespace GeometryTest;

namespace {

constexpr int32_t ONE = CMathFixed::ONE;

TEST(SegmentTest, OrientationCodes) {
    EXPECT_EQ(Orientation2d(V2(0, 0), V2(1, 0), V2(0, 1)), kOrientationLeft);
    EXPECT_EQ(Orientation2d(V2(0, 0), V2(1, 0), V2(0, -1)), kOrientationRight);
    EXPECT_EQ(Orientation2d(V2(0, 0), V2(1, 0), V2(2, 0)), kOrientationCollinear);
    // On the line behind the start is collinear as well.
    EXPECT_EQ(CLineSegment2d(V2(1, 1), V2(3, 3)).Orientation(V2(-2, -2)), kOrientationCollinear);
}

TEST(SegmentTest, ClosestPointClampsToTheEnds) {
    const CVector2d a = V2(1, 1), b = V2(3, 2);
    CVector2d point;
    EXPECT_EQ(ClosestPointOnSegment2d(a, b, V2(6, 2), point), ONE);
    EXPECT_EQ(point.x, b.x);
    EXPECT_EQ(point.y, b.y);
    EXPECT_EQ(ClosestPointOnSegment2d(a, b, V2(-1, 0), point), 0);
    EXPECT_EQ(point.x, a.x);
    // Exactly perpendicular at an end.
    EXPECT_EQ(ClosestPointOnSegment2d(a, b, V2(0, 3), point), 0);
    EXPECT_EQ(ClosestPointOnSegment2d(a, b, V2(2, 4), point), ONE);
    // A segment that is a point.
    EXPECT_EQ(ClosestPointOnSegment2d(a, a, V2(5, 5), point), 0);
    EXPECT_EQ(point.y, a.y);
}

TEST(SegmentTest, ClosestPointInsideMatchesRealProjection) {
    const Real2 a{-1.25, 0.5}, b{2.75, 3.0}, p{1.5, -0.75};
    const Real2 d = b - a;
    const double realT = Dot(p - a, d) / Dot(d, d);
    const Real2 expected = a + realT * d;
    CVector2d point;
    const int32_t t = ClosestPointOnSegment2d(V2(a.x, a.y), V2(b.x, b.y), V2(p.x, p.y), point);
    EXPECT_NEAR(t, ToFixed(realT), 2);
    EXPECT_VEC2_NEAR(point, expected.x, expected.y, 4);

    CVector2d delta;
    int32_t deltaT = 0;
    CVector2d& result = CLineSegment2d(V2(a.x, a.y), V2(b.x, b.y)).DistanceVector(V2(p.x, p.y), delta, deltaT);
    EXPECT_EQ(&result, &delta);
    EXPECT_EQ(deltaT, t);
    EXPECT_VEC2_NEAR(delta, p.x - expected.x, p.y - expected.y, 4);
}

TEST(SegmentTest, ClosestPointsOfParallelCrossingPassingAndDegenerateSegments) {
    struct Case {
        Real2 p1, q1, p2, q2, c1, c2;
        double s, t, tolerance;
    };
    const Case cases[] = {
        {{0, 0}, {2, 0}, {1, 1}, {3, 1}, {1, 0}, {1, 1}, 0.5, 0.0, 0},          // parallel
        {{0, 0}, {4, 2}, {0, 3}, {3, -3}, {1.2, 0.6}, {1.2, 0.6}, 0.3, 0.4, 8},  // y = x/2 meets y = 3 - 2x
        {{0, 0}, {4, 0}, {-3, 2}, {-1, 1}, {0, 0}, {-1, 1}, 0.0, 1.0, 0},       // past the second's end
        {{1, 1}, {1, 1}, {3, 3}, {3, 3}, {1, 1}, {3, 3}, 0.0, 0.0, 0},          // two points
        {{1, 2}, {1, 2}, {0, 0}, {4, 0}, {1, 2}, {1, 0}, 0.0, 0.25, 0},         // the first a point
        {{0, 0}, {4, 0}, {3, -2}, {3, -2}, {3, 0}, {3, -2}, 0.75, 0.0, 0},      // the second a point
    };
    for (const Case& c : cases) {
        CVector2d c1, c2;
        int32_t s = -1, t = -1;
        ClosestPointsOfSegments2d(V2(c.p1.x, c.p1.y), V2(c.q1.x, c.q1.y), V2(c.p2.x, c.p2.y), V2(c.q2.x, c.q2.y),
                                  c1, c2, s, t);
        EXPECT_NEAR(s, ToFixed(c.s), c.tolerance / 2);
        EXPECT_NEAR(t, ToFixed(c.t), c.tolerance / 2);
        EXPECT_VEC2_NEAR(c1, c.c1.x, c.c1.y, c.tolerance);
        EXPECT_VEC2_NEAR(c2, c.c2.x, c.c2.y, c.tolerance);
    }
}

// Nearest distance between two 2-D segments in real numbers: zero when they
// cross, otherwise the nearest of the four end-to-segment distances.
double RealSegmentDistance(Real2 p1, Real2 q1, Real2 p2, Real2 q2) {
    auto side = [](Real2 a, Real2 b, Real2 p) { return (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y); };
    if (side(p1, q1, p2) * side(p1, q1, q2) < 0 && side(p2, q2, p1) * side(p2, q2, q1) < 0) return 0.0;
    double best = Length(NearestOnSegment(p2, q2, p1) - p1);
    best = std::min(best, Length(NearestOnSegment(p2, q2, q1) - q1));
    best = std::min(best, Length(NearestOnSegment(p1, q1, p2) - p2));
    return std::min(best, Length(NearestOnSegment(p1, q1, q2) - q2));
}

TEST(SegmentTest, ClosestPointsDistanceMatchesRealGeometry) {
    const Real2 cases[][4] = {
        {{0, 0}, {3, 1}, {1, 2}, {2, 5}},      {{-2, -1}, {2, 1.5}, {0.5, -3}, {1.5, -0.5}},
        {{0, 0}, {1, 0}, {2, 1}, {2, -1}},     {{1, 1}, {-1, 2}, {0.25, 0.25}, {3, 4}},
        {{-1, 3}, {2, 3.1}, {0, 0}, {0.1, 2}}, {{0, 0}, {2, 2}, {2.5, 2.4}, {4, 2.5}},
    };
    for (const auto& c : cases) {
        CVector2d c1, c2;
        int32_t s = 0, t = 0;
        ClosestPointsOfSegments2d(V2(c[0].x, c[0].y), V2(c[1].x, c[1].y), V2(c[2].x, c[2].y), V2(c[3].x, c[3].y),
                                  c1, c2, s, t);
        EXPECT_NEAR(Length(R(c1) - R(c2)), RealSegmentDistance(c[0], c[1], c[2], c[3]), 2e-4);
        // The reported points are the points at the reported parameters.
        const Real2 on1 = c[0] + ToReal(s) * (c[1] - c[0]);
        const Real2 on2 = c[2] + ToReal(t) * (c[3] - c[2]);
        EXPECT_VEC2_NEAR(c1, on1.x, on1.y, 4);
        EXPECT_VEC2_NEAR(c2, on2.x, on2.y, 4);
    }
}

TEST(SegmentTest, IntersectLinesGivesBothParameters) {
    int32_t tA = 0, tB = 0;
    ASSERT_TRUE(IntersectLines2d(V2(0, 0), V2(1, 0), V2(0.5, -1), V2(0.5, 1), &tA, &tB));
    EXPECT_EQ(tA, ONE / 2);
    EXPECT_EQ(tB, ONE / 2);

    // Beyond both segments: the parameters are not limited.
    ASSERT_TRUE(IntersectLines2d(V2(0, 0), V2(1, 1), V2(3, 0), V2(3, 1), &tA, &tB));
    EXPECT_EQ(tA, 3 * ONE);
    EXPECT_EQ(tB, 3 * ONE);

    // Crossing at an end point gives exactly 1.0; either output may be absent.
    ASSERT_TRUE(IntersectLines2d(V2(0, 0), V2(2, 0), V2(2, -1), V2(2, 3), &tA, nullptr));
    EXPECT_EQ(tA, ONE);
    EXPECT_TRUE(IntersectLines2d(V2(0, 0), V2(2, 0), V2(2, -1), V2(2, 3), nullptr, nullptr));
    ASSERT_TRUE(CLineSegment2d(0, 0, ONE, 0).IntersectLines(CLineSegment2d(ONE / 2, -ONE, ONE / 2, ONE), tA, tB));
    EXPECT_EQ(tA, ONE / 2);
}

TEST(SegmentTest, ParallelAndCollinearLinesDoNotIntersect) {
    int32_t tA = 77, tB = 88;
    EXPECT_FALSE(IntersectLines2d(V2(0, 0), V2(1, 1), V2(0, 1), V2(2, 3), &tA, &tB));
    EXPECT_FALSE(IntersectLines2d(V2(0, 0), V2(1, 1), V2(2, 2), V2(3, 3), &tA, &tB));
    EXPECT_EQ(tA, 77);
    EXPECT_EQ(tB, 88);
}

TEST(SegmentTest, RectangleIsHalfOpen) {
    const CVector2d min = V2(1, 1), max = V2(3, 2);
    EXPECT_TRUE(PointInRect2d(min, min, max));
    EXPECT_TRUE(PointInRect2d(CVector2d(max.x - 1, max.y - 1), min, max));
    EXPECT_FALSE(PointInRect2d(CVector2d(max.x, min.y), min, max));
    EXPECT_FALSE(PointInRect2d(CVector2d(min.x, max.y), min, max));
    EXPECT_FALSE(PointInRect2d(CVector2d(min.x - 1, min.y), min, max));
}

TEST(SegmentTest, SegmentAgainstRectangle) {
    const CVector2d min = V2(1, 1), max = V2(3, 2);
    // Passing through from left to right, both ends outside: found by the diagonal.
    EXPECT_TRUE(SegmentIntersectsRect2d(V2(0, 1.5), V2(4, 1.5), min, max));
    // Top to bottom, and corner to corner outside the box.
    EXPECT_TRUE(SegmentIntersectsRect2d(V2(2, 3), V2(2, 0), min, max));
    EXPECT_TRUE(SegmentIntersectsRect2d(V2(0, 2.5), V2(4, 0.5), min, max));
    // One end inside.
    EXPECT_TRUE(SegmentIntersectsRect2d(V2(2, 1.5), V2(9, 9), min, max));
    // Touching the lower-left corner exactly.
    EXPECT_TRUE(SegmentIntersectsRect2d(V2(0, 2), V2(2, 0), min, max));
    // Beside, above and short of the rectangle.
    EXPECT_FALSE(SegmentIntersectsRect2d(V2(0, 2.5), V2(4, 2.5), min, max));
    EXPECT_FALSE(SegmentIntersectsRect2d(V2(0, 0.5), V2(4, 0.9), min, max));
    EXPECT_FALSE(SegmentIntersectsRect2d(V2(0, 1.5), V2(0.9, 1.5), min, max));
}

TEST(SegmentTest, PolygonEdgesWrapAround) {
    const CVector2d points[3] = {V2(0, 0), V2(1, 0), V2(0, 1)};
    const CVector2d *first = nullptr, *second = nullptr, *next = nullptr;
    ASSERT_TRUE(GetPolygonEdge(points, 3, 2, &first, &second, &next));
    EXPECT_EQ(first, &points[2]);
    EXPECT_EQ(second, &points[0]);
    EXPECT_EQ(next, &points[1]);
    ASSERT_TRUE(GetPolygonEdge(points, 3, 1, &first, &second, &next));
    EXPECT_EQ(second, &points[2]);
    EXPECT_EQ(next, &points[0]);
    ASSERT_TRUE(GetPolygonEdge(points, 3, 0, &first, &second, nullptr));
    EXPECT_EQ(second, &points[1]);
}

TEST(SegmentTest, PolygonEdgeRefusesMissingOutputsAndBadIndices) {
    const CVector2d points[3] = {V2(0, 0), V2(1, 0), V2(0, 1)};
    const CVector2d* first = nullptr;
    const CVector2d* second = nullptr;
    AssertCounter asserts;
    EXPECT_FALSE(GetPolygonEdge(points, 3, 0, &first, nullptr, nullptr));
    EXPECT_FALSE(GetPolygonEdge(points, 3, 3, &first, &second, nullptr));
    EXPECT_FALSE(GetPolygonEdge(points, 3, -1, &first, &second, nullptr));
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(asserts.Count(), 3);
}

TEST(SegmentTest, CornerDirectionIsTheBisectorWhereverTheCornerIs) {
    const double half = std::sqrt(0.5);
    const double tolerance = kLengthStep * 65536.0;
    for (const Real2 corner : {Real2{0, 0}, Real2{5, -3}}) {
        CVector2d out;
        PolygonCornerDirection(V2(corner.x, corner.y + 2), V2(corner.x, corner.y), V2(corner.x + 2, corner.y), out,
                               kWindingRight);
        EXPECT_VEC2_NEAR(out, half, half, tolerance);
        PolygonCornerDirection(V2(corner.x, corner.y + 2), V2(corner.x, corner.y), V2(corner.x + 2, corner.y), out,
                               kWindingLeft);
        EXPECT_VEC2_NEAR(out, -half, -half, tolerance);
    }
    // A straight corner has no bisector direction.
    CVector2d out;
    PolygonCornerDirection(V2(-1, 4), V2(0, 4), V2(1, 4), out, kWindingRight);
    EXPECT_EQ(out.x, 0);
    EXPECT_EQ(out.y, 0);
}

// Segments up to a thousand units long and from the origin: their dot
// products and the products of those pass 16.16.
TEST(SegmentTest, ClosestPointsOfFarAndLongSegments) {
    const double sizes[] = {2, 40, 1000};
    const double offsets[] = {0, 1000, -1000};
    for (double size : sizes) {
        for (double offset : offsets) {
            SCOPED_TRACE(testing::Message() << "size " << size << " offset " << offset);
            const auto at = [&](double x, double y, double z) {
                return V3(offset + x * size, -offset + y * size, offset / 2 + z * size);
            };
            CVector3d c1, c2;
            int32_t s = 0, t = 0;
            ClosestPointsOfSegments3d(at(0, 0, 0), at(1, 0, 0), at(0.25, -0.5, 0.5), at(0.25, 0.5, 0.5), c1, c2, s, t);
            EXPECT_NEAR(s, ONE / 4, 2);
            EXPECT_NEAR(t, ONE / 2, 2);
            const CVector3d expected1 = at(0.25, 0, 0), expected2 = at(0.25, 0, 0.5);
            EXPECT_NEAR(c1.x, expected1.x, size * 2 + 1);
            EXPECT_NEAR(c2.z, expected2.z, size * 2 + 1);
            CVector3d point;
            EXPECT_NEAR(ClosestPointOnSegment3d(at(0, 0, 0), at(0, 0, 1), at(0.5, 0.5, 0.75), point), ONE * 3 / 4, 1);
            EXPECT_NEAR(point.z, at(0, 0, 0.75).z, size + 1);
        }
    }
}

TEST(SegmentTest, ClosestPointsOfSkewSegmentsIn3d) {
    CVector3d c1, c2;
    int32_t s = 0, t = 0;
    ClosestPointsOfSegments3d(V3(0, 0, 0), V3(2, 0, 0), V3(1, -1, 1), V3(1, 1, 1), c1, c2, s, t);
    EXPECT_EQ(s, ONE / 2);
    EXPECT_EQ(t, ONE / 2);
    EXPECT_VEC3_NEAR(c1, 1, 0, 0, 0);
    EXPECT_VEC3_NEAR(c2, 1, 0, 1, 0);

    // General skew segments against a real-valued search of the distance.
    const Real3 p1{-1, 0.5, 2}, q1{2, -1, 0.25}, p2{0, -2, -1}, q2{1.5, 2.5, 3};
    ClosestPointsOfSegments3d(V3(p1.x, p1.y, p1.z), V3(q1.x, q1.y, q1.z), V3(p2.x, p2.y, p2.z),
                              V3(q2.x, q2.y, q2.z), c1, c2, s, t);
    double at = 0.0;
    const double realDistance = MinimiseConvex(
        [&](double u) {
            const Real3 on1 = p1 + u * (q1 - p1);
            return Length(NearestOnSegment(p2, q2, on1) - on1);
        },
        at);
    EXPECT_NEAR(Length(R(c1) - R(c2)), realDistance, 2e-4);
    EXPECT_NEAR(ToReal(s), at, 1e-3);

    CVector3d point;
    EXPECT_EQ(ClosestPointOnSegment3d(V3(0, 0, 0), V3(0, 0, 4), V3(1, 1, 5), point), ONE);
    CVector3d delta;
    ClosestPointOnSegment3dDelta(V3(0, 0, 0), V3(0, 0, 4), V3(1, 1, 3), delta, t);
    EXPECT_EQ(t, ONE * 3 / 4);
    EXPECT_VEC3_NEAR(delta, 1, 1, 0, 0);
}

TEST(SegmentTest, CoplanarLinesCrossIn3d) {
    int32_t s = 0, t = 0;
    // Both in the plane z = 1, crossing at (1, 1, 1).
    ASSERT_TRUE(IntersectCoplanarLines3d(V3(0, 0, 1), V3(2, 2, 1), V3(2, 0, 1), V3(0, 2, 1), s, t));
    EXPECT_EQ(s, ONE / 2);
    EXPECT_EQ(t, ONE / 2);
    // In a tilted plane (dominant axis x).
    ASSERT_TRUE(IntersectCoplanarLines3d(V3(0, 0, 0), V3(0.5, 2, 0), V3(0.5, 0, 2), V3(0, 2, -2), s, t));
    EXPECT_NEAR(s, ToFixed(0.5), 8);
    EXPECT_NEAR(t, ToFixed(0.5), 8);
}

TEST(SegmentTest, SkewLinesDoNotCrossOnEitherSide) {
    int32_t s = 55, t = 66;
    // The second line's far end is well off the plane of the others, in front
    // of it and behind it.
    EXPECT_FALSE(IntersectCoplanarLines3d(V3(0, 0, 0), V3(2, 0, 0), V3(1, -1, 0), V3(1, 1, 3), s, t));
    EXPECT_FALSE(IntersectCoplanarLines3d(V3(0, 0, 0), V3(2, 0, 0), V3(1, -1, 0), V3(1, 1, -3), s, t));
    EXPECT_EQ(s, 55);
    EXPECT_EQ(t, 66);
}

TEST(SegmentTest, CoplanarLinesWithAPointOnTheFirstLine) {
    int32_t s = 0, t = 0;
    // The second line starts on the first one, so the plane comes from its other end.
    ASSERT_TRUE(IntersectCoplanarLines3d(V3(0, 0, 0), V3(4, 0, 0), V3(1, 0, 0), V3(1, 3, 3), s, t));
    EXPECT_EQ(s, ONE / 4);
    EXPECT_EQ(t, 0);
    // All four on one line: parallel.
    EXPECT_FALSE(IntersectCoplanarLines3d(V3(0, 0, 0), V3(1, 1, 1), V3(2, 2, 2), V3(3, 3, 3), s, t));
}

}  // namespace
