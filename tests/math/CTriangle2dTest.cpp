#include <gtest/gtest.h>

#include "CMathFixed.h"
#include "CTriangle2d.h"
#include "GeometryTestSupport.h"

using namespace GeometryTest;

namespace {

constexpr int32_t ONE = CMathFixed::ONE;

const CTriangle2d kRight(V2(0, 0), V2(4, 0), V2(0, 4));

TEST(CTriangle2dTest, ClassifyPointInsideOnEdgesAndCorners) {
    // Inside, on ab, on bc, on ca and on the corners.
    for (const CVector2d& p : {V2(1, 1), V2(2, 0), V2(2, 2), V2(0, 3), kRight.a, kRight.b, kRight.c}) {
        EXPECT_EQ(kRight.ClassifyPoint(p), CTriangle2d::kInside) << p.x << " " << p.y;
    }
    // Outside, one unit past ab and bc, and on the lines through b and c, a
    // and b, c and a, past the triangle.
    for (const CVector2d& p : {V2(3, 3), CVector2d(2 * ONE, -1), CVector2d(2 * ONE + 1, 2 * ONE), V2(6, -2),
                               V2(-1, 5), V2(6, 0), V2(-2, 0), V2(0, -3)}) {
        EXPECT_EQ(kRight.ClassifyPoint(p), CTriangle2d::kOutside) << p.x << " " << p.y;
    }
    // The same triangle wound the other way answers the same.
    const CTriangle2d reversed(kRight.a, kRight.c, kRight.b);
    EXPECT_EQ(reversed.ClassifyPoint(V2(6, -2)), CTriangle2d::kOutside);
    EXPECT_EQ(reversed.ClassifyPoint(V2(1, 1)), CTriangle2d::kInside);
    EXPECT_EQ(reversed.ClassifyPoint(V2(2, 2)), CTriangle2d::kInside);
}

TEST(CTriangle2dTest, LargeTrianglesKeepTheirSigns) {
    // Edge tests in the thousands: a product of two of them does not fit
    // 16.16, so only their signs may be compared.
    const CTriangle2d big(V2(-40, -40), V2(40, -40), V2(0, 40));
    EXPECT_EQ(big.ClassifyPoint(V2(-30, -30)), CTriangle2d::kInside);
    EXPECT_EQ(big.ClassifyPoint(V2(-35, -35)), CTriangle2d::kInside);
    EXPECT_EQ(big.ClassifyPoint(V2(-30, 0)), CTriangle2d::kOutside);
    EXPECT_EQ(big.ClassifyPoint(V2(-35, 10)), CTriangle2d::kOutside);
}

TEST(CTriangle2dTest, ClassifySegment) {
    EXPECT_EQ(kRight.ClassifySegment(V2(0.5, 0.5), V2(1, 2)), CTriangle2d::kInside);
    EXPECT_EQ(kRight.ClassifySegment(V2(1, 1), V2(5, 1)), CTriangle2d::kCrossing);
    EXPECT_EQ(kRight.ClassifySegment(V2(-1, 2), V2(5, 2)), CTriangle2d::kCrossing);
    EXPECT_EQ(kRight.ClassifySegment(V2(5, 5), V2(6, 1)), CTriangle2d::kOutside);
    // Ending exactly on an edge, or touching a corner, counts as crossing.
    EXPECT_EQ(kRight.ClassifySegment(V2(3, 3), V2(2, 2)), CTriangle2d::kCrossing);
    EXPECT_EQ(kRight.ClassifySegment(V2(5, 1), V2(3, -1)), CTriangle2d::kCrossing);
}

TEST(CTriangle2dTest, TriangleOverlap) {
    // Edges crossing.
    EXPECT_TRUE(kRight.IntersectsTriangle(CTriangle2d(V2(1, 1), V2(5, 1), V2(1, 5))));
    // One inside the other without crossing edges, both ways round.
    const CTriangle2d small(V2(0.5, 0.5), V2(1.5, 0.5), V2(0.5, 1.5));
    EXPECT_TRUE(kRight.IntersectsTriangle(small));
    EXPECT_TRUE(small.IntersectsTriangle(kRight));
    // Sharing only a corner.
    EXPECT_TRUE(kRight.IntersectsTriangle(CTriangle2d(V2(4, 0), V2(6, 0), V2(6, 2))));
    // Disjoint, also when one lies along the line of another's edge.
    EXPECT_FALSE(kRight.IntersectsTriangle(CTriangle2d(V2(3, 3), V2(5, 3), V2(5, 5))));
    EXPECT_FALSE(kRight.IntersectsTriangle(CTriangle2d(V2(5, 0), V2(7, 0), V2(7, 2))));
}

TEST(CTriangle2dTest, BarycentricWeights) {
    int32_t u = 0, v = 0, w = 0;
    ASSERT_TRUE(kRight.Barycentric(V2(1, 1), u, v, w));
    EXPECT_EQ(u, ONE / 2);
    EXPECT_EQ(v, ONE / 4);
    EXPECT_EQ(w, ONE / 4);

    // Away from the triangle the weights go negative and still sum to 1.0.
    ASSERT_TRUE(kRight.Barycentric(V2(-1, 3), u, v, w));
    EXPECT_EQ(u, ONE / 2);
    EXPECT_EQ(v, -ONE / 4);
    EXPECT_EQ(w, ONE * 3 / 4);

    // A general triangle against real-valued weights; the reciprocal of the
    // squared double area (about 1/35 here) is held to 16.16.
    const Real2 a{0.5, -1}, b{3, 0.25}, c{-0.5, 2}, p{0.75, 0.5};
    const double area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
    const double realV = ((p.x - a.x) * (c.y - a.y) - (c.x - a.x) * (p.y - a.y)) / area;
    const double realW = ((b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y)) / area;
    const CTriangle2d general(V2(a.x, a.y), V2(b.x, b.y), V2(c.x, c.y));
    ASSERT_TRUE(general.Barycentric(V2(p.x, p.y), u, v, w));
    const double relative = 1.0 / (65536.0 / (area * area));  // one unit of the reciprocal
    EXPECT_NEAR(ToReal(v), realV, relative * std::fabs(realV) + 1e-4);
    EXPECT_NEAR(ToReal(w), realW, relative * std::fabs(realW) + 1e-4);
    EXPECT_EQ(u + v + w, ONE);
}

TEST(CTriangle2dTest, BarycentricOfATriangleWithoutArea) {
    const CTriangle2d flat(V2(0, 0), V2(1, 1), V2(3, 3));
    int32_t u = 0, v = 7, w = 7;
    EXPECT_FALSE(flat.Barycentric(V2(2, 2), u, v, w));
    EXPECT_EQ(u, ONE);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(w, 0);
}

TEST(CTriangle2dTest, IsoscelesAndEquilateralAreExact) {
    EXPECT_TRUE(CTriangle2d(V2(0, 0), V2(4, 0), V2(2, 3)).IsIsosceles());
    EXPECT_FALSE(CTriangle2d(V2(0, 0), V2(4, 0), V2(2, 3)).IsEquilateral());
    EXPECT_FALSE(CTriangle2d(V2(0, 0), V2(4, 0), V2(1, 3)).IsIsosceles());
    // Corners whose three squared edge lengths agree to the last bit in 16.16
    // (131078^2 >> 16 == (65539^2 >> 16) + (113517^2 >> 16) == 262168).
    const CTriangle2d equilateral(CVector2d(0, 0), CVector2d(131078, 0), CVector2d(65539, 113517));
    EXPECT_TRUE(equilateral.IsEquilateral());
    EXPECT_TRUE(equilateral.IsIsosceles());
    const CTriangle2d nearly(CVector2d(0, 0), CVector2d(131078, 0), CVector2d(65539, 113518));
    EXPECT_FALSE(nearly.IsEquilateral());
    EXPECT_TRUE(nearly.IsIsosceles());
}

}  // namespace

namespace {

// Up to a thousand units from the origin and across: the squared double
// area alone passes 16.16 from about 14 units on.
TEST(CTriangle2dTest, BarycentricWeightsOfFarAndLargeTriangles) {
    const double sizes[] = {4, 60, 900};
    const double offsets[] = {0, -1000, 1000};
    for (double size : sizes) {
        for (double offset : offsets) {
            SCOPED_TRACE(testing::Message() << "size " << size << " offset " << offset);
            const auto at = [&](double x, double y) { return V2(offset + x * size, offset / 3 + y * size); };
            const CTriangle2d triangle(at(0, 0), at(1, 0), at(0, 1));
            int32_t u = 0, v = 0, w = 0;
            ASSERT_TRUE(triangle.Barycentric(at(0.25, 0.5), u, v, w));
            EXPECT_NEAR(v, ONE / 4, 8);
            EXPECT_NEAR(w, ONE / 2, 8);
            EXPECT_EQ(u + v + w, ONE);
            ASSERT_TRUE(triangle.Barycentric(at(-0.5, 1.25), u, v, w));
            EXPECT_NEAR(v, -ONE / 2, 8);
            EXPECT_NEAR(w, ONE * 5 / 4, 8);
        }
    }
}

}  // namespace
