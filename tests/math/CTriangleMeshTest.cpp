#include <gtest/gtest.h>

#include "AssertCounter.h"
#include "CMathFixed.h"
#include "CPlane.h"
#include "CTriangleMesh.h"
#include "GeometryTestSupport.h"

using namespace GeometryTest;

namespace {

constexpr int32_t ONE = CMathFixed::ONE;

// Two floor squares, each of two triangles: one at z = 0 over x in [0, 2],
// one at z = -1 over x in [2, 4] (triangles 2 and 3, listed after).
const CVector3d kVertices[] = {V3(0, 0, 0), V3(2, 0, 0), V3(2, 2, 0),  V3(0, 2, 0),
                               V3(2, 0, -1), V3(4, 0, -1), V3(4, 2, -1), V3(2, 2, -1)};
const uint32_t kTriangles[] = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};

const CTriangleMesh kMesh(kVertices, 8, kTriangles, 4);

TEST(CTriangleMeshTest, BadIndicesAreReportedAndGiveNothing) {
    AssertCounter asserts;
    EXPECT_EQ(kMesh.GetVertex(8), nullptr);
    EXPECT_EQ(kMesh.GetVertex(-1), nullptr);
    EXPECT_EQ(kMesh.GetTriangle(4), nullptr);
    EXPECT_EQ(kMesh.GetTriangleVertex(0, 3), nullptr);
    EXPECT_EQ(asserts.Count(), 4);

    // A triangle naming a missing vertex is skipped by the queries.
    const uint32_t broken[] = {0, 1, 9, 0, 2, 3};
    const CTriangleMesh mesh(kVertices, 4, broken, 2);
    int32_t index = -1;
    EXPECT_FALSE(mesh.FindSegment(V3(1.5, 0.25, 1), V3(1.5, 0.25, -1), index));
    EXPECT_TRUE(mesh.FindSegment(V3(0.25, 1.5, 1), V3(0.25, 1.5, -1), index));
    EXPECT_EQ(index, 1);
    EXPECT_GE(asserts.Count(), 5);
}

TEST(CTriangleMeshTest, EmptyMeshFindsNothing) {
    const CTriangleMesh empty;
    int32_t index = -7, t = -7;
    EXPECT_FALSE(empty.FindSphere(V3(0, 0, 0), ONE, index));
    EXPECT_FALSE(empty.FindSegment(V3(0, 0, 1), V3(0, 0, -1), index));
    EXPECT_FALSE(empty.FindTriangle(V3(0, 0, 0), V3(1, 0, 0), V3(0, 1, 0), index));
    EXPECT_FALSE(empty.FindPlane(CPlane(V3(0, 0, 1), 0), index));
    EXPECT_FALSE(empty.SweepSphere(V3(0, 0, 1), ONE, V3(0, 0, 0), V3(0, 0, -5), t, index));
    EXPECT_EQ(index, -7);
    EXPECT_EQ(t, -7);
}

TEST(CTriangleMeshTest, QueriesReportTheLowestIndexHit) {
    int32_t index = -1;
    // The diagonal edge of the first square belongs to triangles 0 and 1.
    ASSERT_TRUE(kMesh.FindSegment(V3(1, 1, 1), V3(1, 1, -1), index));
    EXPECT_EQ(index, 0);
    // Exactly 1.0 from the edge x = 2 of triangle 0, and 0.25 above triangle 2
    // while within 0.44 of triangle 3.
    ASSERT_TRUE(kMesh.FindSphere(V3(3, 0.5, 0), ONE, index));
    EXPECT_EQ(index, 0);
    ASSERT_TRUE(kMesh.FindSphere(V3(3.5, 1, -0.75), ONE / 2, index));
    EXPECT_EQ(index, 2);
    ASSERT_TRUE(kMesh.FindPlane(CPlane(V3(1, 0, 0), 3 * ONE), index));
    EXPECT_EQ(index, 2);
    ASSERT_TRUE(kMesh.FindTriangle(V3(3, 1, -2), V3(3.5, 1, 1), V3(3, 1.5, 1), index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(kMesh.FindSphere(V3(1, 1, 2), ONE, index));
    EXPECT_FALSE(kMesh.FindPlane(CPlane(V3(0, 0, 1), ONE), index));
}

TEST(CTriangleMeshTest, SweptSphereReportsTheEarliestContact) {
    // A sphere of radius 0.5 falling steeply over the upper square: it meets
    // the upper square when its centre is 0.5 above z = 0, at x = 1.8125, and
    // would go on past x = 2 to meet the lower square later.
    const double realT = (3 - 0.5) / 4.0;
    int32_t t = -1, index = -1;
    ASSERT_TRUE(kMesh.SweepSphere(V3(1.5, 1, 3), ONE / 2, V3(0, 0, 0), V3(0.5, 0, -4), t, index));
    EXPECT_NEAR(t, ToFixed(realT), 4);
    EXPECT_EQ(index, 0);

    // Listed after the lower square, the upper one is still the earliest.
    const uint32_t lowerFirst[] = {4, 5, 6, 4, 6, 7, 0, 1, 2, 0, 2, 3};
    const CTriangleMesh mesh(kVertices, 8, lowerFirst, 4);
    ASSERT_TRUE(mesh.SweepSphere(V3(1.5, 1, 3), ONE / 2, V3(0, 0, 0), V3(0.5, 0, -4), t, index));
    EXPECT_NEAR(t, ToFixed(realT), 4);
    EXPECT_EQ(index, 2);

    // Starting over the lower square only, the hit is there.
    ASSERT_TRUE(kMesh.SweepSphere(V3(3.5, 1, 3), ONE / 2, V3(0, 0, 0), V3(0, 0, -4), t, index));
    EXPECT_NEAR(t, ToFixed(3.5 / 4.0), 4);
    EXPECT_EQ(index, 2);
}

TEST(CTriangleMeshTest, SweptSpherePassingACorner) {
    // Moving along x at y = -0.3, z = 0.3, beside the upper square: the
    // corner (0, 0, 0) is first within 0.5 when x^2 + 0.18 = 0.25.
    const double realT = (2 - std::sqrt(0.07)) / 4.0;
    int32_t t = -1, index = -1;
    ASSERT_TRUE(kMesh.SweepSphere(V3(-2, -0.3, 0.3), ONE / 2, V3(0, 0, 0), V3(4, 0, 0), t, index));
    EXPECT_NEAR(t, ToFixed(realT), 8);
    EXPECT_EQ(index, 0);
    // Passing 0.54 from the corner and the edge y = 0.
    EXPECT_FALSE(kMesh.SweepSphere(V3(-2, -0.45, 0.3), ONE / 2, V3(0, 0, 0), V3(4, 0, 0), t, index));
}

TEST(CTriangleMeshTest, SweptSphereStartingInContactStopsAtTimeZero) {
    int32_t t = -1, index = -1;
    ASSERT_TRUE(kMesh.SweepSphere(V3(1, 1, 0.25), ONE / 2, V3(0, 0, 0), V3(0, 0, 4), t, index));
    EXPECT_EQ(t, 0);
    EXPECT_EQ(index, 0);
    // Moving away from a mesh it is clear of.
    t = -1;
    EXPECT_FALSE(kMesh.SweepSphere(V3(1, 1, 1), ONE / 2, V3(0, 0, 0), V3(0, 0, 4), t, index));
    EXPECT_EQ(t, -1);
}

TEST(CTriangleMeshTest, SweptCapsuleReportsTheEarliestContact) {
    // A horizontal capsule from x = 1 to x = 3 at height 2, radius 0.25,
    // falling by 4: its lower end is over the lower square at z = -1, but the
    // part over the upper square reaches z = 0 first.
    int32_t t = -1, index = -1;
    ASSERT_TRUE(kMesh.SweepSphereSegment(V3(1, 1, 2), V3(3, 1, 2), ONE / 4, V3(0, 0, 4), V3(0, 0, 0), t, index));
    EXPECT_NEAR(t, ToFixed(1.75 / 4.0), 4);
    EXPECT_LT(index, 2);
    // Passing beside the mesh.
    EXPECT_FALSE(kMesh.SweepSphereSegment(V3(5, 1, 2), V3(6, 1, 2), ONE / 4, V3(0, 0, 4), V3(0, 0, 0), t, index));
}

}  // namespace

namespace {

// Two floor triangles 20 units across, placed up to a thousand units from
// the origin; a sphere of radius 1 comes down on them from 6 units above.
TEST(CTriangleMeshTest, SweptShapesFindContactsFarFromTheOrigin) {
    const double offsets[] = {0, 1000, -1000};
    for (double offset : offsets) {
        SCOPED_TRACE(testing::Message() << "offset " << offset);
        const CVector3d floor[] = {V3(offset, offset, offset), V3(offset + 20, offset, offset),
                                   V3(offset + 20, offset + 20, offset), V3(offset, offset + 20, offset)};
        const uint32_t triangles[] = {0, 1, 2, 0, 2, 3};
        const CTriangleMesh mesh(floor, 4, triangles, 2);
        const CVector3d centre = V3(offset + 5, offset + 12, offset + 6);
        int32_t t = -1, index = -1;
        ASSERT_TRUE(mesh.SweepSphere(centre, ONE, V3(0, 0, 0), V3(3, 0, -10), t, index));
        EXPECT_NEAR(t, ToFixed(5.0 / 10.0), 8);
        EXPECT_EQ(index, 1);
        EXPECT_FALSE(mesh.SweepSphere(centre, ONE, V3(0, 0, 0), V3(0, 0, 4.5), t, index));
        // A capsule from 6 units above, tilted, its lower end first.
        ASSERT_TRUE(mesh.SweepSphereSegment(centre, centre + V3(8, -6, 3), ONE / 2, V3(0, 0, 0), V3(0, 0, -12), t,
                                            index));
        EXPECT_NEAR(t, ToFixed(5.5 / 12.0), 8);
    }
}

}  // namespace
