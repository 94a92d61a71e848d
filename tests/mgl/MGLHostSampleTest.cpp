// The sampler as a host reaches it, through the public headers alone: each
// sample looks its unit up as the unit is at the call, so no sample reads a
// texture the host has let go of.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "CRenderSurface.h"
#include "CRenderSurfaceAttribute.h"
#include "CRenderSurfaceBuffer.h"
#include "CTextureObject_MGL.h"
#include "MGLContext.h"
#include "MGLSpans.h"
#include "MGLTestDevice.h"
#include "RenderPoly.h"

namespace {

constexpr int32_t kOne = 0x10000;
constexpr int32_t kSide = 16;
constexpr uint16_t kGreen = 0x07E0;
constexpr uint16_t kRed = 0xF800;
constexpr uint16_t kBlue = 0x001F;
using Channels = std::array<int32_t, 4>;  // a, r, g, b
constexpr Channels kOpaqueGreen{0xFFFF, 0, 0xFFFF, 0};
constexpr Channels kOpaqueRed{0xFFFF, 0xFFFF, 0, 0};
constexpr Channels kOpaqueBlue{0xFFFF, 0, 0, 0xFFFF};
constexpr Channels kTransparentBlack{0, 0, 0, 0};
constexpr Channels kUntouched{1, 2, 3, 4};

// The texture's planes made anew, side x side texels of one r5g6b5 colour.
bool MakeTexels(CTextureObject_MGL& texture, uint32_t side, uint16_t texel) {
    CRenderSurface* surface = nullptr;
    texture.GetSurface(&surface);
    const CRenderSurfaceAttribute attributes[] = {{kSurfaceAttrWidth, side},
                                                  {kSurfaceAttrHeight, side},
                                                  {kSurfaceAttrColorFormat, RSBFormat_R5G6B5},
                                                  {kSurfaceAttrEnd, 0}};
    if (surface == nullptr || !surface->Create(attributes)) return false;
    auto* pixels = static_cast<uint8_t*>(surface->GetPlane(0)->GetPixels(0));
    for (uint32_t i = 0; i < side * side; ++i) std::memcpy(pixels + sizeof texel * i, &texel, sizeof texel);
    return true;
}

// Texel (0, 0) of the unit, into a colour that holds kUntouched before.
Channels Sample(MGLContext& context, int32_t unit) {
    RSBFormat_ARGB_fixed colour{kUntouched[0], kUntouched[1], kUntouched[2], kUntouched[3]};
    SampleTexture(context, unit, kOne / 2, kOne / 2, 0, &colour);
    return Channels{colour.a, colour.r, colour.g, colour.b};
}

class MGLHostSampleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(device.MakeSurface(kSide, kSide, RSBFormat_R5G6B5, RSBFormat_Z32));
        ASSERT_NE(context.Init(kSide * kSide), nullptr);
        context.Reset();
    }

    MGLTestDevice device;
    MGLContext context;
};

// A texture deleted leaves its unit sampling transparent black; another
// bound there is sampled, and its planes made anew are sampled at once,
// with no draw between. Units past the eight leave the colour alone.
TEST_F(MGLHostSampleTest, ASampleReadsWhatTheUnitShowsAtTheCall) {
    auto first = std::make_unique<CTextureObject_MGL>();
    ASSERT_TRUE(MakeTexels(*first, 4, kGreen));
    first->BindToUnit(2);
    EXPECT_EQ(Sample(context, 2), kOpaqueGreen);
    first.reset();
    EXPECT_EQ(Sample(context, 2), kTransparentBlack);

    CTextureObject_MGL second;
    ASSERT_TRUE(MakeTexels(second, 4, kRed));
    second.BindToUnit(2);
    EXPECT_EQ(Sample(context, 2), kOpaqueRed);
    ASSERT_TRUE(MakeTexels(second, 2, kBlue));
    EXPECT_EQ(Sample(context, 2), kOpaqueBlue);

    EXPECT_EQ(Sample(context, -1), kUntouched);
    EXPECT_EQ(Sample(context, MGLContext::kTextureUnits), kUntouched);
}

// A native span of the host's samples unit 0 at each row of a draw whose
// polygon observer deletes the texture before the second polygon: the rows
// of the first polygon read its texels, those of the second nothing.
TEST_F(MGLHostSampleTest, ANativeSpanSamplesTheUnitAsTheDrawLeftIt) {
    context.SetViewport(0, 0, kSide, kSide, 0, kOne);
    context.SetFrustum(-kOne, kOne, -kOne, kOne, kOne, 9 * kOne);
    context.UpdateProjection(1);
    context.Record().depthTest = 0;
    auto texture = std::make_unique<CTextureObject_MGL>();
    ASSERT_TRUE(MakeTexels(*texture, 4, kGreen));
    texture->BindToUnit(0);

    // Two quads over the whole view.
    constexpr int32_t kCorners = 4;
    constexpr int32_t kWords = 4;
    const int32_t corners[kCorners][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    std::array<int32_t, 2 * kCorners * kWords> positions{};
    for (int32_t i = 0; i < 2 * kCorners; ++i) {
        int32_t* position = &positions[static_cast<size_t>(kWords * i)];
        position[0] = corners[i % kCorners][0] * kOne;
        position[1] = corners[i % kCorners][1] * kOne;
        position[2] = -2 * kOne;
        position[3] = kOne;
    }
    RenderPoly poly(context);
    poly.PositionFetcher().Setup(positions.data(), kWords, CInterpolantFetcher::kTypeInt32, 0, 0,
                                 kWords * sizeof(int32_t));
    int32_t polygons = 0;
    std::array<std::vector<Channels>, 2> samples;
    ASSERT_TRUE(poly.SetPolygonObserver([&](const MGLVertexList&) {
        if (polygons++ == 1) texture.reset();
    }));
    ASSERT_TRUE(poly.BindNativeSpan(
        [&](MGLContext& drawing, uint32_t, uint32_t) { samples.at(polygons - 1).push_back(Sample(drawing, 0)); },
        MGLNativeSpanLayout{3, 0, 0, 6, 3}));
    poly.DrawPolygons(kCorners, 2 * kCorners, 2);

    ASSERT_EQ(polygons, 2);
    ASSERT_FALSE(samples[0].empty());
    ASSERT_FALSE(samples[1].empty());
    for (const Channels& sample : samples[0]) EXPECT_EQ(sample, kOpaqueGreen);
    for (const Channels& sample : samples[1]) EXPECT_EQ(sample, kTransparentBlack);
}

}  // namespace
