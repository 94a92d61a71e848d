#include <gtest/gtest.h>

#include <cstdio>

#include "MGLPeerRenderer.h"
#include "OSMesaPeer.h"

// Mesa keeps a few blocks of its context set-up until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libOSMesa\n"; }

namespace {

constexpr int32_t kWidth = 240;
constexpr int32_t kHeight = 320;

// Our renderer and Mesa's software rasteriser draw the same scenes into
// r5g6b5 targets of 240 x 320; coverage is compared pixel by pixel. The
// share of identical pixels counts over the pixels either of them drew.
class OSMesaPeerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ours.ok);
        ASSERT_TRUE(mesa.ok);
    }

    struct Share {
        int64_t same = 0;
        int64_t either = 0;
        double Value() const { return either == 0 ? 1.0 : static_cast<double>(same) / either; }
    };

    // Adds one frame: covered by both / covered by either (or, by colour,
    // pixels where both drew the same colour).
    void Count(Share& share, bool byColour) const {
        for (int32_t y = 0; y < kHeight; ++y) {
            for (int32_t x = 0; x < kWidth; ++x) {
                const uint16_t a = ours.Pixel(x, y);
                const uint16_t b = mesa.Pixel(x, y);
                if (a == 0 && b == 0) continue;
                ++share.either;
                if (byColour ? a == b : (a != 0 && b != 0)) ++share.same;
            }
        }
    }

    // Each triangle of the scene alone in both, its coverage compared.
    Share TriangleByTriangle(const std::vector<peer::SceneTriangle>& scene, bool textured) {
        ours.SetScene(scene);
        Share share;
        for (int32_t i = 0; i < static_cast<int32_t>(scene.size()); ++i) {
            ours.BeginFrame(textured);
            ours.Draw(textured, i, 1);
            mesa.Clear();
            mesa.Draw({scene[i]}, textured);
            mesa.Finish();
            Count(share, false);
        }
        return share;
    }

    static uint32_t Checker(int32_t x, int32_t y) {
        return static_cast<uint32_t>(((x / 8 + y / 8) % 2 != 0 ? 0xF800 : 0x07FF) | (x * 31 / 63));
    }

    peer::MGLPeerRenderer ours{kWidth, kHeight};
    peer::OSMesaPeer mesa{kWidth, kHeight};
};

TEST_F(OSMesaPeerTest, FlatTriangleCoverageAgrees) {
    const Share small = TriangleByTriangle(peer::MakeScene(1, 300, 0.08f, false), false);
    const Share large = TriangleByTriangle(peer::MakeScene(2, 60, 0.9f, false), false);
    const Share across = TriangleByTriangle(peer::MakeScene(3, 60, 1.5f, true), false);
    std::printf("coverage identical: small %.4f of %lld, large %.4f of %lld, across the frustum %.4f of %lld pixels\n",
                small.Value(), static_cast<long long>(small.either), large.Value(),
                static_cast<long long>(large.either), across.Value(), static_cast<long long>(across.either));
    Share all = small;
    for (const Share& s : {large, across}) {
        all.same += s.same;
        all.either += s.either;
    }
    std::printf("coverage identical over all flat triangles: %.4f\n", all.Value());
    EXPECT_GT(small.either, 3000);
    // Triangles of a dozen pixels are mostly edge pixels.
    EXPECT_GE(small.Value(), 0.98);
    EXPECT_GE(large.Value(), 0.99);
    EXPECT_GE(across.Value(), 0.99);
    EXPECT_GE(all.Value(), 0.99);
}

TEST_F(OSMesaPeerTest, TexturedTriangleCoverageAgrees) {
    mesa.SetTexture(ours.SetTexture(Checker));
    const Share share = TriangleByTriangle(peer::MakeScene(4, 80, 0.5f, false), true);
    std::printf("textured coverage identical: %.4f of %lld pixels\n", share.Value(), static_cast<long long>(share.either));
    EXPECT_GE(share.Value(), 0.99);
}

// Quads facing the eye at depths from near to far, each with three texels
// a pixel across and down: Mesa draws one mip level for all of them, and so
// must we (each level has a colour of its own).
TEST_F(OSMesaPeerTest, QuadsOfOneTexelDensityDrawTheLevelMesaDraws) {
    ours.SetTexture(Checker);
    mesa.SetTexture(ours.PaintLevels({0xF800, 0x07E0, 0x001F, 0xFFE0, 0xF81F, 0x07FF, 0xFFFF}));
    Share colour;
    for (const float depth : {1.5f, 2.5f, 4.0f, 6.0f, 8.5f}) {
        const float h = depth / 16;
        const std::vector<peer::SceneTriangle> quad = {
            {{{-h, -h, -depth}, {h, -h, -depth}, {h, h, -depth}}, {{0, 60}, {45, 60}, {45, 0}}, 0},
            {{{-h, -h, -depth}, {h, h, -depth}, {-h, h, -depth}}, {{0, 60}, {45, 0}, {0, 0}}, 0}};
        ours.SetScene(quad);
        ours.BeginFrame(true);
        ours.Draw(true, 0, 2);
        mesa.Clear();
        mesa.Draw(quad, true);
        mesa.Finish();
        Count(colour, true);
    }
    std::printf("quads of one texel density: colour identical %.4f of %lld pixels\n", colour.Value(),
                static_cast<long long>(colour.either));
    EXPECT_GE(colour.Value(), 0.97);
}

// A thousand small depth-tested triangles in one frame: the same colour
// (the same nearest triangle) at nearly every pixel.
TEST_F(OSMesaPeerTest, DepthTestedSceneShowsTheSameTriangles) {
    const std::vector<peer::SceneTriangle> scene = peer::MakeScene(5, 1000, 0.12f, false);
    ours.SetScene(scene);
    ours.BeginFrame(false);
    ours.Draw(false, 0, static_cast<int32_t>(scene.size()));
    mesa.Clear();
    mesa.Draw(scene, false);
    mesa.Finish();
    Share coverage;
    Share colour;
    Count(coverage, false);
    Count(colour, true);
    std::printf("depth-tested scene: coverage identical %.4f, colour identical %.4f of %lld pixels\n",
                coverage.Value(), colour.Value(), static_cast<long long>(coverage.either));
    EXPECT_GE(coverage.Value(), 0.99);
    EXPECT_GE(colour.Value(), 0.97);
}

}  // namespace
