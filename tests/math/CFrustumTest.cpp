#include <gtest/gtest.h>

#include <cmath>

#include "CBoundingSphere.h"
#include "CFrustum.h"
#include "CMathFixed.h"
#include "GeometryTestSupport.h"

using namespace GeometryTest;

namespace {

constexpr int32_t ONE = CMathFixed::ONE;

// Eye at the origin looking along +z, near rectangle at z = 1 from -1 to 1,
// far plane at ten times the near distance.
CFrustum MakeView() {
    const CVector3d points[5] = {V3(0, 0, 0), V3(-1, -1, 1), V3(1, -1, 1), V3(1, 1, 1), V3(-1, 1, 1)};
    return CFrustum(points, 10 * ONE);
}

int32_t Classify(const CFrustum& frustum, double x, double y, double z, double radius) {
    return frustum.Classify(CBoundingSphere(V3(x, y, z), ToFixed(radius)));
}

TEST(CFrustumTest, NearAndFarPlanesFaceEachOther) {
    const CFrustum view = MakeView();
    const CPlane& nearPlane = view.GetPlane(CFrustum::kNearPlane);
    EXPECT_VEC3_NEAR(nearPlane.normal, 0, 0, 1, 0);
    EXPECT_EQ(nearPlane.distance, ONE);
    const CPlane& farPlane = view.GetPlane(CFrustum::kFarPlane);
    EXPECT_VEC3_NEAR(farPlane.normal, 0, 0, -1, 0);
    // The far point is 10 times c1, reached through a normalised direction
    // whose components keep about 1/256 of their length.
    EXPECT_NEAR(ToReal(farPlane.distance), -10.0, 10.0 * kLengthStep);
}

TEST(CFrustumTest, SidePlanesPointInward) {
    const CFrustum view = MakeView();
    const double s = std::sqrt(0.5);
    const double tolerance = kLengthStep * 65536.0;
    // Plane 0 holds the apex, c4 and c1: the left side x = -z.
    EXPECT_VEC3_NEAR(view.GetPlane(0).normal, s, 0, s, tolerance);
    EXPECT_VEC3_NEAR(view.GetPlane(1).normal, 0, s, s, tolerance);
    EXPECT_VEC3_NEAR(view.GetPlane(2).normal, -s, 0, s, tolerance);
    EXPECT_VEC3_NEAR(view.GetPlane(3).normal, 0, -s, s, tolerance);
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(view.GetPlane(i).distance, 0);
}

TEST(CFrustumTest, ClassifySpheres) {
    const CFrustum view = MakeView();
    EXPECT_EQ(Classify(view, 0, 0, 2, 0.1), CFrustum::kInside);
    EXPECT_EQ(Classify(view, 0, 0, 11, 0.5), CFrustum::kOutside);
    EXPECT_EQ(Classify(view, 0, 0, 10, 0.5), CFrustum::kIntersecting);
    EXPECT_EQ(Classify(view, 5, 0, 2, 0.1), CFrustum::kOutside);
    // Across the near plane, across a side, and enclosing the whole volume.
    EXPECT_EQ(Classify(view, 0, 0, 1, 0.25), CFrustum::kIntersecting);
    EXPECT_EQ(Classify(view, 2, 0, 2, 0.25), CFrustum::kIntersecting);
    EXPECT_EQ(Classify(view, 0, 0, 5, 50), CFrustum::kIntersecting);
    // Behind the eye.
    EXPECT_EQ(Classify(view, 0, 0, -3, 1), CFrustum::kOutside);
}

TEST(CFrustumTest, SphereTouchingASidePlaneFromOutside) {
    const CFrustum view = MakeView();
    // The side plane x = z, approached from x > z: the centre (3, 0, 2) is
    // 1/sqrt(2) away; the radius decides between outside and touching.
    const double gap = 1.0 / std::sqrt(2.0);
    EXPECT_EQ(Classify(view, 3, 0, 2, gap - 0.01), CFrustum::kOutside);
    EXPECT_EQ(Classify(view, 3, 0, 2, gap + 0.01), CFrustum::kIntersecting);
}

TEST(CFrustumTest, CopiesAreIndependent) {
    CFrustum original = MakeView();
    const CFrustum copy(original);
    CFrustum assigned;
    assigned = original;
    // Rebuild the original with the far plane much closer.
    original.Set(V3(0, 0, 0), V3(-1, -1, 1), V3(1, -1, 1), V3(1, 1, 1), V3(-1, 1, 1), 2 * ONE);
    EXPECT_EQ(Classify(original, 0, 0, 5, 0.1), CFrustum::kOutside);
    EXPECT_EQ(Classify(copy, 0, 0, 5, 0.1), CFrustum::kInside);
    EXPECT_EQ(Classify(assigned, 0, 0, 5, 0.1), CFrustum::kInside);
}

}  // namespace
