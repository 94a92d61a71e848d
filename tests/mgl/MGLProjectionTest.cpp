#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>

#include "MGLContext.h"
#include "MGLContextCore.h"

namespace {

constexpr int32_t ONE = 0x10000;

class MGLProjectionTest : public ::testing::Test {
protected:
    std::unique_ptr<MGLContext> context = std::make_unique<MGLContext>();
    MGLRecord& s = context->Record();

    static bool IsIdentity(const Matrix3x4& m) {
        const int32_t identity[9] = {ONE, 0, 0, 0, ONE, 0, 0, 0, ONE};
        return std::memcmp(m.r.m, identity, sizeof identity) == 0 && m.t[0] == 0 && m.t[1] == 0 && m.t[2] == 0 &&
               m.orthographic == 1;
    }

    // A rigid transform: three rotations by random angles and a translation
    // of up to 100.0 on each axis.
    Matrix3x4 RandomRigid(std::mt19937& random) {
        std::uniform_int_distribution<int32_t> angle(0, 1023);
        std::uniform_int_distribution<int32_t> offset(-100 * ONE, 100 * ONE);
        Matrix3x4 m{};
        m.Identity();
        Matrix3x3 rotation;
        rotation.SetRotationX(context->Tables(), angle(random));
        m.MultiplyLinear(rotation);
        rotation.SetRotationY(context->Tables(), angle(random));
        m.MultiplyLinear(rotation);
        rotation.SetRotationZ(context->Tables(), angle(random));
        m.MultiplyLinear(rotation);
        for (int32_t& t : m.t) t = offset(random);
        return m;
    }
};

TEST_F(MGLProjectionTest, EveryStackStartsWithOneOrthographicIdentity) {
    context->PushModelview();
    context->PushTexture();
    context->PushAux();
    context->SetFrustum(-ONE, ONE, -ONE, ONE, ONE, 2 * ONE);
    context->ResetMatrixStacks();
    for (MatrixStack stack : {context->ModelviewStack(), context->TextureStack(), context->AuxStack()}) {
        EXPECT_EQ(stack.Count(), 1);
        EXPECT_TRUE(IsIdentity(stack.Top()));
    }
}

TEST_F(MGLProjectionTest, StacksRefuseOverflowAndUnderflowAndStayApart) {
    const auto before = std::make_unique<MGLRecord>(s);
    for (int32_t i = 1; i < 20; ++i) EXPECT_TRUE(context->PushModelview()) << i;
    EXPECT_FALSE(context->PushModelview());
    EXPECT_EQ(context->ModelviewStack().Count(), 20);
    // The full stack wrote nothing past itself (the interpreter stack
    // follows it) and left the other stacks alone.
    EXPECT_EQ(std::memcmp(s.interpreterStack, before->interpreterStack, sizeof s.interpreterStack), 0);
    EXPECT_EQ(context->AuxStack().Count(), 1);
    EXPECT_EQ(context->TextureStack().Count(), 1);
    for (int32_t i = 1; i < 20; ++i) EXPECT_TRUE(context->PopModelview()) << i;
    EXPECT_FALSE(context->PopModelview());
    EXPECT_EQ(context->ModelviewStack().Count(), 1);
    EXPECT_FALSE(context->PopTexture());
    EXPECT_FALSE(context->PopAux());
    EXPECT_TRUE(IsIdentity(context->ModelviewStack().Top()));
}

TEST_F(MGLProjectionTest, ACountWrittenOutOfRangeIsReadAsTheNearestValidOne) {
    const int32_t wild[] = {1000, -5, 0, INT32_MIN};
    for (const int32_t count : wild) {
        std::memcpy(s.modelviewStack + MatrixStack::kCountOffset, &count, sizeof count);
        MatrixStack stack = context->ModelviewStack();
        EXPECT_EQ(stack.Count(), count > 20 ? 20 : 1) << count;
        EXPECT_EQ(stack.Push(), count <= 0) << count;
    }
}

TEST_F(MGLProjectionTest, PushTransformTranslatesThenRotatesTheNewTop) {
    const int32_t first[3] = {ONE, 2 * ONE, 3 * ONE};
    Matrix3x3 quarter;
    quarter.SetRotationZ(context->Tables(), 256);  // x -> y, y -> -x
    ASSERT_TRUE(context->PushTransform(&quarter, first));
    const int32_t second[3] = {ONE, 0, 0};
    ASSERT_TRUE(context->PushTransform(nullptr, second));
    const Matrix3x4 top = context->ModelviewStack().Top();
    // The second translation passes through the first rotation.
    EXPECT_EQ(top.t[0], ONE);
    EXPECT_EQ(top.t[1], 3 * ONE);
    EXPECT_EQ(top.t[2], 3 * ONE);
    EXPECT_EQ(top.r.m[1], -ONE);
    EXPECT_EQ(top.r.m[3], ONE);
    EXPECT_EQ(context->ModelviewStack().Count(), 3);
    context->PopModelview();
    EXPECT_EQ(context->ModelviewStack().Top().t[1], 2 * ONE);
}

TEST_F(MGLProjectionTest, InversePushesMatchTheRealInverseOfRigidTransforms) {
    std::mt19937 random(26);
    double worstInverse = 0;
    double worstRoundTrip = 0;
    for (int32_t trial = 0; trial < 500; ++trial) {
        const Matrix3x4 m = RandomRigid(random);
        context->ResetMatrixStacks();
        ASSERT_TRUE(context->PushInverseTransform(m));
        const Matrix3x4 inverse = context->ModelviewStack().Top();
        // On an identity top the linear part is exactly R^T and the
        // translation -R^T t, each of its three terms rounded on its own.
        for (int32_t row = 0; row < 3; ++row) {
            double translation = 0;
            for (int32_t k = 0; k < 3; ++k) {
                EXPECT_EQ(inverse.r.m[3 * row + k], m.r.m[3 * k + row]);
                translation -= static_cast<double>(m.r.m[3 * k + row]) * m.t[k] / ONE;
            }
            worstInverse = std::max(worstInverse, std::fabs(inverse.t[row] - translation));
        }
        // m then its inverse brings points back.
        context->ResetMatrixStacks();
        context->ModelviewStack().SetTop(m);
        ASSERT_TRUE(context->PushInverseTransform(m));
        const Matrix3x4 product = context->ModelviewStack().Top();
        for (int32_t i = 0; i < 9; ++i)
            worstRoundTrip = std::max(worstRoundTrip, std::fabs(product.r.m[i] - (i % 4 == 0 ? ONE : 0)));
        for (const int32_t t : product.t) worstRoundTrip = std::max(worstRoundTrip, std::fabs(double(t)));
    }
    EXPECT_LE(worstInverse, 3.0) << "units of 1/65536";
    // Rotation entries carry a few units of table error, times coordinates of 100.0.
    EXPECT_LE(worstRoundTrip, 2048.0) << "units of 1/65536";
}

TEST_F(MGLProjectionTest, ViewportSetsScissorAndSaturatesTheFarValue) {
    context->SetViewport(0, 0, 240, 320, 0, ONE);
    EXPECT_EQ(s.depthrange_f, 0x8000000);
    EXPECT_EQ(s.depthrange_n, 0);
    EXPECT_EQ(s.scissorx0, 0);
    EXPECT_EQ(s.scissory0, 0);
    EXPECT_EQ(s.scissorx1, 240);
    EXPECT_EQ(s.scissory1, 320);
    EXPECT_EQ(s.viewport_H, 320);

    const std::pair<int32_t, int32_t> farValues[] = {
        {0x7FFFF, 0x3FFFF800},  // the largest that fits
        {1 << 20, 0x7FFFFFF},   // shifts to a negative value
        {1 << 21, 0x7FFFFFF},   // would wrap to 0
        {INT32_MAX, 0x7FFFFFF},
        {-1, 0x7FFFFFF},        // negative after the shift
        {0, 0},
    };
    for (auto [far, expected] : farValues) {
        context->SetViewport(10, 20, 30, 40, -ONE, far);
        EXPECT_EQ(s.depthrange_f, expected) << far;
    }
    EXPECT_EQ(s.depthrange_n, -0x8000000);
    EXPECT_EQ(s.scissorx1, 40);
    EXPECT_EQ(s.scissory1, 60);
    context->SetViewport(INT32_MAX, 0, 1, 1, 0, 0);
    EXPECT_EQ(s.scissorx1, INT32_MIN) << "wraps as on the handset";
}

TEST_F(MGLProjectionTest, PerspectiveConstantsMatchHandValues) {
    context->SetViewport(0, 0, 240, 320, 0, ONE);
    context->SetFrustum(-ONE, ONE, -ONE, ONE, ONE, 9 * ONE);
    EXPECT_EQ(context->ModelviewStack().Top().orthographic, 0);
    context->UpdateProjection(1);
    EXPECT_EQ(s.projection_matrix_mode, 0);
    EXPECT_EQ(s.cfx0, 120 * ONE);  // the centre column, exactly for an even width
    EXPECT_EQ(s.cfx1, 120 * ONE);  // W N / (R - L)
    EXPECT_EQ(s.cfy0, 160 * ONE);
    EXPECT_EQ(s.cfy1, -160 * ONE);
    EXPECT_EQ(s.cfz0, -(1 << 24));  // -N far / (F - N)
    EXPECT_EQ(s.cfz1, 2304);        // F/(F - N) x N x far / 2^32
    EXPECT_EQ(s.ccx0, -ONE);
    EXPECT_EQ(s.ccx1, ONE);
    EXPECT_EQ(s.ccy0, -ONE);
    EXPECT_EQ(s.ccy1, ONE);
    EXPECT_EQ(s.ccz0, -9 * ONE);
    EXPECT_EQ(s.ccz1, -ONE);

    // A point with x / -z = R / N lands on the right edge of the viewport.
    const int32_t z = -4 * ONE;
    const int32_t x = 4 * ONE;
    const int32_t column = s.cfx0 + FixedMul16(FixedDiv(x, -z), s.cfx1);
    EXPECT_NEAR(column, 240 * ONE, 4);

    // Depth (cfz0 + cfz1 / w, w = -z): near gives the far value of the
    // range, far the near value.
    for (const auto& [w, depth] : {std::pair{ONE, 0x8000000}, {9 * ONE, 0}}) {
        const MGLReciprocal r = MGLContextCore::Of(*context).Reciprocal(w);
        EXPECT_NEAR(s.cfz0 + FixedMul16(ONE, FixedMulShift(r.entry, s.cfz1, r.shift - 16)), depth, 4096) << w;
    }

    // Without clip bounds they stay as they were.
    s.ccx0 = 77;
    context->UpdateProjection(0x100);
    EXPECT_EQ(s.ccx0, 77);
}

TEST_F(MGLProjectionTest, OrthographicMapsEyePointsOntoPixels) {
    const int32_t w = 240;
    const int32_t h = 320;
    context->SetViewport(0, 0, w, h, 0, ONE);
    context->SetOrtho(0, w * ONE, 0, h * ONE, ONE, 9 * ONE);
    EXPECT_EQ(context->ModelviewStack().Top().orthographic, 1);
    context->UpdateProjection(1);
    EXPECT_EQ(s.projection_matrix_mode, 1);
    // The 15-bit reciprocal makes (R + L) / (R - L) one unit short of 1.0.
    EXPECT_EQ(s.cfx0, w / 2);
    EXPECT_NEAR(s.cfx1, ONE, 2);
    EXPECT_NEAR(-s.cfy1, ONE, 2);
    EXPECT_NEAR(s.cfy0 - h * ONE, 0, h / 2);
    EXPECT_EQ(s.ccx1, w * ONE);
    EXPECT_EQ(s.ccz0, -9 * ONE);
    // Eye point (x, y) lands on pixel (x, h - y), y growing downwards, to
    // within half the size in units for the offset and one unit per pixel
    // for the scale: under 1/100 of a pixel.
    for (const auto& [x, y] : {std::pair{0, 0}, {10, 300}, {239, 1}, {120, 160}}) {
        EXPECT_NEAR(s.cfx0 + FixedMul16(x * ONE, s.cfx1), x * ONE, w / 2 + x) << x;
        EXPECT_NEAR(s.cfy0 + FixedMul16(y * ONE, s.cfy1), (h - y) * ONE, h / 2 + y) << y;
    }
    // Depth (cfz0 - z cfz1): the near plane maps to the far value of the
    // range, the far plane to the near value, so nearer is greater.
    EXPECT_NEAR(s.cfz0 - FixedMul16(-ONE, s.cfz1), 0x8000000, 4096);
    EXPECT_NEAR(s.cfz0 - FixedMul16(-9 * ONE, s.cfz1), 0, 4096);
}

TEST_F(MGLProjectionTest, AFlippedVolumeSwapsTheYBoundsAndMovesTheOffset) {
    context->SetViewport(0, 0, 100, 50, 0, ONE);
    context->SetOrtho(0, 100 * ONE, 50 * ONE, 0, ONE, 2 * ONE);
    context->UpdateProjection(1);
    EXPECT_EQ(s.ccy0, 0);
    EXPECT_EQ(s.ccy1, 50 * ONE);
    // Top-down volume: eye y = 0 is pixel row 0.
    EXPECT_NEAR(s.cfy0 + FixedMul16(0, s.cfy1), 0, 64);
    EXPECT_NEAR(s.cfy0 + FixedMul16(50 * ONE, s.cfy1), 50 * ONE, 64);
}

TEST_F(MGLProjectionTest, ADegenerateVolumeGivesZeroQuotients) {
    context->SetViewport(0, 0, 64, 64, 0, ONE);
    context->SetFrustum(ONE, ONE, ONE, ONE, 0, 0);
    context->UpdateProjection(1);
    EXPECT_EQ(s.cfx1, 0);
    EXPECT_EQ(s.ccx0, 0);
    EXPECT_EQ(s.cfz1, 0);
}

TEST_F(MGLProjectionTest, OutcodesTreatBoundsAsInside) {
    s.ccx0 = -ONE;
    s.ccx1 = ONE;
    s.ccy0 = -2 * ONE;
    s.ccy1 = 2 * ONE;
    s.ccz0 = -10 * ONE;
    s.ccz1 = -ONE;
    struct Case {
        int32_t x, y, z, w, code;
    };
    const int32_t w = 3 * ONE;  // bounds scale with w; z bounds with the input w of 1.0
    const Case cases[] = {
        {3 * ONE, 6 * ONE, -ONE, w, 0},         // on every upper bound
        {-3 * ONE, -6 * ONE, -10 * ONE, w, 0},  // on every lower bound
        {3 * ONE + 1, 0, -2 * ONE, w, 1},
        {-3 * ONE - 1, 0, -2 * ONE, w, 2},
        {0, 6 * ONE + 1, -2 * ONE, w, 4},
        {0, -6 * ONE - 1, -2 * ONE, w, 8},
        {0, 0, -ONE + 1, w, 16},               // in front of the near plane
        {0, 0, -10 * ONE - 1, w, 32},          // beyond the far plane
        {4 * ONE, 7 * ONE, 0, w, 1 | 4 | 16},
    };
    for (const Case& c : cases) {
        int32_t vertex[14] = {0, 0, 0, ONE, c.x, c.y, c.z, c.w, 0x7FFF};
        MGLContextCore::ComputeOutcode(context->Record(), vertex);
        EXPECT_EQ(vertex[8], c.code) << c.x << " " << c.y << " " << c.z;
        MGLContextCore::ComputeOutcodeXY(context->Record(), vertex);
        EXPECT_EQ(vertex[8], c.code & 15) << c.x << " " << c.y;
    }
    // Screen-space vertices compare against the bounds themselves.
    s.screenSpace = 1;
    int32_t vertex[14] = {0, 0, 0, ONE, 2 * ONE, 0, 0, 3 * ONE, 0};
    MGLContextCore::ComputeOutcodeXY(context->Record(), vertex);
    EXPECT_EQ(vertex[8], 1);
}

}  // namespace
