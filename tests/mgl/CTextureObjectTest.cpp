#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "AssertCounter.h"
#include "CArrayInputStream.h"
#include "CRenderSurface.h"
#include "CRenderSurfaceAttribute.h"
#include "CRenderSurfaceBuffer.h"
#include "CRenderSurfaceLoadParams.h"
#include "CPixelChannels.h"
#include "CTextureObject_MGL.h"
#include "ImageFileBuilder.h"
#include "MGLContextCore.h"
#include "MGLSpans.h"
#include "RenderPolyRig.h"

namespace {

using T = CTextureObject_MGL;

class CTextureObjectTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(r.ok); }

    // Creates the texture's planes: a colour plane of the format, with
    // sub-planes when `extended`.
    static bool CreatePlanes(T& texture, uint32_t width, uint32_t height, uint32_t format, bool extended = false) {
        CRenderSurface* surface = nullptr;
        texture.GetSurface(&surface);
        if (surface == nullptr) return false;
        const CRenderSurfaceAttribute attributes[] = {{kSurfaceAttrWidth, width},
                                                      {kSurfaceAttrHeight, height},
                                                      {kSurfaceAttrColorFormat, format},
                                                      {kSurfaceAttrExtendedColor, extended ? 1u : 0u},
                                                      {kSurfaceAttrEnd, 0}};
        return surface->Create(attributes);
    }

    // The texture's colour plane made anew through its own buffer.
    static bool CreatePlaneThroughBuffer(T& texture, uint16_t width, uint16_t height) {
        CRenderSurface* surface = nullptr;
        texture.GetSurface(&surface);
        return surface->GetPlane(0)->Create(RSBFormat_R5G6B5, width, height, false, nullptr, nullptr,
                                            CRenderSurfaceBuffer::kPitchTopDown, 0, nullptr);
    }

    // The first `count` texels of the texture's colour plane set to `texel`.
    static uint8_t* FillTexels(T& texture, int32_t count, uint16_t texel) {
        CRenderSurface* surface = nullptr;
        texture.GetSurface(&surface);
        auto* pixels = static_cast<uint8_t*>(surface->GetPlane(0)->GetPixels(0));
        for (int32_t i = 0; i < count; ++i) PixelChannels::Store16(pixels + 2 * i, texel);
        return pixels;
    }

    // A one-colour 8-bit palette image loaded through the plane's own
    // buffer into `memory`, the plane keeping its format and size.
    static bool LoadPngInto(CRenderSurfaceBuffer& plane, void* memory) {
        imagetest::PngSpec spec;
        spec.width = plane.GetWidth();
        spec.height = plane.GetHeight();
        spec.palette = {0x00FF00};
        spec.rows.assign(static_cast<size_t>(spec.height), std::vector<uint8_t>(static_cast<size_t>(spec.width), 0));
        const std::vector<uint8_t> file = imagetest::BuildPng(spec);
        CArrayInputStream stream;
        stream.Open(file.data(), static_cast<uint32_t>(file.size()));
        CRenderSurfaceLoadParams params;
        params.Init();
        params.stream = &stream;
        uint32_t scratch[CRenderSurfaceBuffer::kPaletteEntries];
        return plane.LoadPNG(scratch, nullptr, &params, CRenderSurfaceBuffer::kPitchTopDown, 0, memory);
    }

    const TextureUnit& Unit(int32_t n) const { return r.context->Record().texture_units[n]; }

    imagetest::BlitRegistryScope registry;
    rig::Renderer r{16, 16};
};

// Each row: the parameter set, then the filter and wrap modes after it and
// whether it was taken (a refused one asserts).
TEST_F(CTextureObjectTest, ParametersMapToFilterAndWrapModes) {
    struct Step {
        uint32_t name, value;
        int32_t filter, wrap;
        bool taken;
    };
    const Step steps[] = {
        {T::kMinFilter, T::kLinearMipmapLinear, 6, 2, true},
        {T::kMagFilter, T::kLinear, 6, 2, true},
        {T::kMinFilter, T::kNearestMipmapNearest, 3, 2, true},
        {T::kMagFilter, T::kNearest, 1, 2, true},
        {T::kMinFilter, T::kNearest, 0, 2, true},
        {T::kMagFilter, T::kLinear, 4, 2, true},
        {T::kMagFilter, 0x1234, 4, 2, false},          // nearest with an unknown magnifier
        {T::kMinFilter, T::kNearestMipmapLinear, 2, 2, true},
        {T::kMinFilter, T::kLinearMipmapNearest, 5, 2, true},
        {T::kMinFilter, 0x2704, 5, 2, false},
        {T::kWrapS, T::kClampToEdge, 5, 2, true},
        {T::kWrapT, T::kRepeat, 5, 1, true},            // one field for both directions
        {T::kWrapS, 0x2900, 5, 1, false},
        {0x2804, T::kRepeat, 5, 1, false},
    };
    T texture;
    EXPECT_EQ(texture.GetFilter(), 0);
    EXPECT_EQ(texture.GetWrap(), 2);
    for (const Step& step : steps) {
        AssertCounter asserts;
        EXPECT_EQ(texture.SetParameter(step.name, step.value), step.taken) << std::hex << step.name << " " << step.value;
        EXPECT_EQ(asserts.Count(), step.taken ? 0 : 1);
        EXPECT_EQ(texture.GetFilter(), step.filter) << std::hex << step.value;
        EXPECT_EQ(texture.GetWrap(), step.wrap) << std::hex << step.value;
    }
    EXPECT_EQ(texture.GetMinFilter(), 0x2704u) << "a refused value stays stored";

    const uint32_t list[] = {T::kMinFilter, T::kNearest, T::kWrapS, T::kClampToEdge, 0, 0};
    texture.SetParameterList(list);
    EXPECT_EQ(texture.GetFilter(), 5);
    EXPECT_EQ(texture.GetWrap(), 1);
    const uint32_t names[] = {T::kMinFilter, T::kWrapS};
    const uint32_t values[] = {T::kLinear, T::kClampToEdge};
    texture.SetParameters(2, names, values);
    EXPECT_EQ(texture.GetFilter(), 4);
    EXPECT_EQ(texture.GetWrap(), 2);
}

TEST_F(CTextureObjectTest, BindCopiesSizesFormatAndModes) {
    T texture;
    ASSERT_TRUE(CreatePlanes(texture, 64, 32, RSBFormat_R5G6B5));
    texture.SetParameter(T::kWrapS, T::kRepeat);
    texture.BindToUnit(3);
    const TextureUnit& unit = Unit(3);
    EXPECT_EQ(unit.b.format, RSBFormat_R5G6B5);
    EXPECT_EQ(unit.b.width, 64);
    EXPECT_EQ(unit.b.height, 32);
    EXPECT_EQ(unit.width_log2, 6);
    EXPECT_EQ(unit.height_log2, 5);
    EXPECT_EQ(unit.bpp, 2);
    EXPECT_EQ(unit.cpp, 3);
    EXPECT_EQ(unit.b.maxD, 1);
    EXPECT_EQ(unit.b.miptype, 0);
    EXPECT_EQ(unit.filter_mode, 0);
    EXPECT_EQ(unit.texmode, 1);
    CRenderSurface* surface = nullptr;
    texture.GetSurface(&surface);
    uint8_t* pixels = static_cast<uint8_t*>(surface->GetPlane(0)->GetPixels(0));
    EXPECT_EQ(MGLContextCore::Of(*r.context).GuestMemory().ToHost(unit.b.levels[0], 64 * 32 * 2), pixels);

    // The sampler reads the texels through the unit.
    const uint16_t texel = 0x07E0;
    std::memcpy(pixels + 2 * (64 * 5 + 7), &texel, 2);
    RSBFormat_ARGB_fixed colour;
    SampleTexture(*r.context, 3, 7 * 0x10000 + 0x8000, 5 * 0x10000 + 0x8000, 0, &colour);
    EXPECT_EQ(colour.g, 0xFFFF);
    EXPECT_EQ(colour.r, 0);

    T wide;
    ASSERT_TRUE(CreatePlanes(wide, 48, 16, RSBFormat_R5G6B5));
    wide.BindToUnit(4);
    EXPECT_EQ(Unit(4).width_log2, 0);
    EXPECT_EQ(Unit(4).height_log2, 4);
}

// Units past the eight, a texture without planes and a device without a
// context leave every unit as it was.
TEST_F(CTextureObjectTest, BindsThatCannotHappenChangeNothing) {
    std::vector<uint8_t> before(sizeof r.context->Record().texture_units);
    std::memcpy(before.data(), r.context->Record().texture_units, before.size());
    auto unchanged = [&] {
        return std::memcmp(before.data(), r.context->Record().texture_units, before.size()) == 0;
    };
    T empty;
    empty.BindToUnit(0);
    EXPECT_TRUE(unchanged());
    T texture;
    ASSERT_TRUE(CreatePlanes(texture, 8, 8, RSBFormat_R5G6B5));
    const int32_t gradients = r.context->Record().perspectiveGradients;
    texture.BindToUnit(8);
    texture.BindToUnit(-1);
    EXPECT_TRUE(unchanged());
    EXPECT_EQ(r.context->Record().perspectiveGradients, gradients);
    r.device.SetRendererContext(nullptr);
    texture.BindToUnit(0);
    EXPECT_TRUE(unchanged());
    r.device.SetRendererContext(r.context.get());
}

// The sampler reads a plane's rows packed from the top: a plane over caller
// memory whose rows lie padded or bottom-up leaves the unit it is bound to
// empty rather than showing padding as texels, at the bind or when a bound
// plane is made so.
TEST_F(CTextureObjectTest, RowsTheSamplerCannotReadLeaveTheUnitEmpty) {
    T packed;
    ASSERT_TRUE(CreatePlanes(packed, 4, 4, RSBFormat_R5G6B5));
    T texture;
    ASSERT_TRUE(CreatePlanes(texture, 4, 4, RSBFormat_R5G6B5));
    CRenderSurface* surface = nullptr;
    texture.GetSurface(&surface);
    uint8_t memory[4 * 16] = {};
    const auto remake = [surface, &memory](int32_t pitchMode, int16_t pitch) {
        return surface->GetPlane(0)->Create(RSBFormat_R5G6B5, 4, 4, false, nullptr, nullptr, pitchMode, pitch, memory);
    };
    ASSERT_TRUE(remake(CRenderSurfaceBuffer::kPitchExplicit, 16));
    packed.BindToUnit(2);
    texture.BindToUnit(2);
    EXPECT_EQ(Unit(2).b.levels[0], 0u);
    EXPECT_EQ(Unit(2).b.width, 0);

    ASSERT_TRUE(remake(CRenderSurfaceBuffer::kPitchExplicit, 8));
    texture.BindToUnit(2);
    EXPECT_EQ(MGLContextCore::Of(*r.context).GuestMemory().ToHost(Unit(2).b.levels[0], 32), memory);
    ASSERT_TRUE(remake(CRenderSurfaceBuffer::kPitchBottomUp, 0));
    EXPECT_EQ(Unit(2).b.levels[0], 0u);
}

// A texture going away empties the unit still showing it and takes its
// mapping along; a unit another texture has taken since stays. A surface
// deleted by the host before its texture is let go of the same way.
TEST_F(CTextureObjectTest, DestructionReleasesWhatBindsMapped) {
    auto first = std::make_unique<T>();
    ASSERT_TRUE(CreatePlanes(*first, 8, 8, RSBFormat_R5G6B5));
    first->BindToUnit(0);
    first->BindToUnit(1);
    const uint32_t guest = Unit(0).b.levels[0];
    ASSERT_NE(MGLContextCore::Of(*r.context).GuestMemory().ToHost(guest, 128), nullptr);
    T second;
    ASSERT_TRUE(CreatePlanes(second, 4, 4, RSBFormat_R5G6B5));
    second.BindToUnit(1);
    const uint32_t secondGuest = Unit(1).b.levels[0];
    first.reset();
    EXPECT_EQ(Unit(0).b.levels[0], 0u);
    EXPECT_EQ(Unit(0).id, -1);
    EXPECT_EQ(MGLContextCore::Of(*r.context).GuestMemory().ToHost(guest, 1), nullptr);
    EXPECT_EQ(Unit(1).b.levels[0], secondGuest);
    EXPECT_NE(MGLContextCore::Of(*r.context).GuestMemory().ToHost(secondGuest, 32), nullptr);

    // The surface is handed out, so the host may delete it first.
    CRenderSurface* surface = nullptr;
    second.GetSurface(&surface);
    delete surface;
    EXPECT_EQ(Unit(1).b.levels[0], 0u);
    second.GetSurface(&surface);
    EXPECT_EQ(surface, nullptr);
}

// A texture that lost its last mapping in a context, however it lost it
// (its destruction, its surface's planes let go of, its plane released
// through the plane's own buffer and a sample since), is one the context no
// longer visits: a sample after the texture is gone reaches nothing of it.
TEST_F(CTextureObjectTest, AContextForgetsATextureWithoutMappings) {
    for (int32_t how = 0; how < 3; ++how) {
        auto texture = std::make_unique<T>();
        ASSERT_TRUE(CreatePlanes(*texture, 8, 8, RSBFormat_R5G6B5));
        texture->BindToUnit(0);
        CRenderSurface* surface = nullptr;
        texture->GetSurface(&surface);
        RSBFormat_ARGB_fixed colour;
        if (how == 1) surface->Destroy();
        if (how == 2) {
            surface->GetPlane(0)->Release();
            SampleTexture(*r.context, 0, 0, 0, 0, &colour);
        }
        texture.reset();
        SampleTexture(*r.context, 0, 0, 0, 0, &colour);
        EXPECT_EQ(Unit(0).b.levels[0], 0u) << how;
    }
}

// The device may have moved on to another context since the bind: the
// texture still empties the unit it was bound in and unmaps its texels.
TEST_F(CTextureObjectTest, DestructionReleasesBindsInAContextTheDeviceNoLongerHas) {
    auto texture = std::make_unique<T>();
    ASSERT_TRUE(CreatePlanes(*texture, 8, 8, RSBFormat_R5G6B5));
    texture->BindToUnit(0);
    const uint32_t guest = Unit(0).b.levels[0];
    ASSERT_NE(guest, 0u);
    MGLContext second;
    ASSERT_NE(second.Init(4), nullptr);
    ASSERT_EQ(r.device.GetRendererContext(), &second);
    texture.reset();
    EXPECT_EQ(Unit(0).b.levels[0], 0u);
    EXPECT_EQ(MGLContextCore::Of(*r.context).GuestMemory().ToHost(guest, 1), nullptr);
}

// One texture bound to the same unit of two live contexts: each keeps its
// own mapping, and the first still samples it.
TEST_F(CTextureObjectTest, EachContextKeepsItsOwnMapping) {
    T texture;
    ASSERT_TRUE(CreatePlanes(texture, 8, 8, RSBFormat_R5G6B5));
    texture.BindToUnit(0);
    const uint32_t first = Unit(0).b.levels[0];
    MGLContext second;
    ASSERT_NE(second.Init(4), nullptr);
    ASSERT_EQ(r.device.GetRendererContext(), &second);
    texture.BindToUnit(0);
    EXPECT_EQ(Unit(0).b.levels[0], first);
    EXPECT_NE(MGLContextCore::Of(*r.context).GuestMemory().ToHost(first, 128), nullptr);
    const uint32_t other = second.Record().texture_units[0].b.levels[0];
    EXPECT_NE(MGLContextCore::Of(second).GuestMemory().ToHost(other, 128), nullptr);
}

TEST_F(CTextureObjectTest, ASampleOutsideADrawReadsThePlanesTheSurfaceHasNow) {
    T texture;
    ASSERT_TRUE(CreatePlanes(texture, 8, 8, RSBFormat_R5G6B5));
    texture.BindToUnit(0);
    ASSERT_TRUE(CreatePlanes(texture, 4, 4, RSBFormat_R5G6B5));
    FillTexels(texture, 4 * 4, 0x07E0);

    RSBFormat_ARGB_fixed colour;
    SampleTexture(*r.context, 0, 0x18000, 0x18000, 0, &colour);
    EXPECT_EQ(colour.g, 0xFFFF);
    EXPECT_EQ(Unit(0).b.width, 4);
}

// The texture's surface makes its planes anew at another size: at once,
// outside any draw, the unit shows the new texels, its wrap and filter as
// bound, and the old pixels are mapped nowhere, in the unit still showing
// the texture nor in one another texture has taken since; the same when the
// plane (one with sub-planes) is made anew through its own buffer. The
// vertex hook doing that between a call's polygons: the next one samples
// the new texels. A plane released through its buffer empties the unit.
TEST_F(CTextureObjectTest, AMappingFollowsPlanesTheSurfaceMakesAnew) {
    T texture;
    ASSERT_TRUE(CreatePlanes(texture, 8, 8, RSBFormat_R5G6B5));
    texture.SetParameter(T::kWrapS, T::kRepeat);
    texture.BindToUnit(0);
    texture.BindToUnit(1);
    const uint32_t shown = Unit(0).b.levels[0];
    const uint32_t taken = Unit(1).b.levels[0];
    T other;
    ASSERT_TRUE(CreatePlanes(other, 4, 4, RSBFormat_R5G6B5));
    other.BindToUnit(1);
    ASSERT_TRUE(CreatePlanes(texture, 16, 4, RSBFormat_R5G6B5, true));
    uint8_t* pixels = FillTexels(texture, 16 * 4, 0x07E0);
    EXPECT_EQ(Unit(0).b.width, 16);
    EXPECT_EQ(Unit(0).b.height, 4);
    EXPECT_EQ(Unit(0).width_log2, 4);
    EXPECT_EQ(Unit(0).texmode, T::kWrapRepeat);
    EXPECT_EQ(MGLContextCore::Of(*r.context).GuestMemory().ToHost(Unit(0).b.levels[0], 16 * 4 * 2), pixels);
    for (const uint32_t old : {shown, taken}) {
        if (old != Unit(0).b.levels[0]) {
            EXPECT_EQ(MGLContextCore::Of(*r.context).GuestMemory().ToHost(old, 1), nullptr);
        }
    }

    r.context->SetViewport(0, 0, r.Width(), r.Height(), 0, rig::ONE / 16);
    r.context->UpdateProjection(1);
    r.context->Record().depthTest = 0;
    ASSERT_TRUE(r.poly->BindNativeSpan(SpanTexturedPerspective, MGLNativeSpanLayout{3, 0, 0, 6, 3}));
    r.poly->SetVertexHook([&texture](int32_t* vertex, int32_t n) {
        if (n == 4) {
            ASSERT_TRUE(CreatePlaneThroughBuffer(texture, 32, 4));
            FillTexels(texture, 32 * 4, 0x001F);
        }
        const int32_t corner = n % 4;
        vertex[15] = (corner == 1 || corner == 2) ? 16 * rig::ONE : 0;
        vertex[16] = corner >= 2 ? 4 * rig::ONE : 0;
    });
    const std::vector<double> corners[] = {{-1, -1, -2}, {1, -1, -2}, {1, 1, -2}, {-1, 1, -2}};
    r.SetPositions({corners[0], corners[1], corners[2], corners[3], corners[0], corners[1], corners[2], corners[3]});
    r.poly->DrawPolygons(4, 8, 2);
    EXPECT_EQ(r.Pixel16(8, 8), 0x001F);
    const uint32_t drawn = Unit(0).b.levels[0];
    ASSERT_TRUE(CreatePlaneThroughBuffer(texture, 8, 2));
    pixels = FillTexels(texture, 8 * 2, 0x07E0);
    EXPECT_EQ(MGLContextCore::Of(*r.context).GuestMemory().ToHost(Unit(0).b.levels[0], 8 * 2 * 2), pixels);
    if (drawn != Unit(0).b.levels[0]) {
        EXPECT_EQ(MGLContextCore::Of(*r.context).GuestMemory().ToHost(drawn, 1), nullptr);
    }

    CRenderSurface* surface = nullptr;
    texture.GetSurface(&surface);
    surface->GetPlane(0)->Release();
    EXPECT_EQ(Unit(0).b.levels[0], 0u);
}

// A plane with sub-planes answers its pixels from its table: a PNG loaded
// through its own buffer into the caller's memory frees the block the table
// named. A unit showing it shows the caller's memory; a render target bound
// to it is let go of, and a clear writes nowhere.
TEST_F(CTextureObjectTest, APngLoadedThroughAPlaneWithSubPlanesLeavesNoFreedBlockReachable) {
    T texture;
    ASSERT_TRUE(CreatePlanes(texture, 4, 2, RSBFormat_R5G6B5, true));
    texture.BindToUnit(0);
    CRenderSurface* surface = nullptr;
    texture.GetSurface(&surface);
    std::vector<uint8_t> texels(4 * 2 * 2);
    ASSERT_TRUE(LoadPngInto(*surface->GetPlane(0), texels.data()));
    EXPECT_EQ(surface->GetPlane(0)->GetPixels(0), texels.data());
    EXPECT_EQ(MGLContextCore::Of(*r.context).GuestMemory().ToHost(Unit(0).b.levels[0], texels.size()), texels.data());

    ASSERT_TRUE(CreatePlaneThroughBuffer(texture, 4, 2));
    r.device.SetCurrentSurface(surface);
    ASSERT_TRUE(r.context->BindRenderTarget());
    std::vector<uint8_t> target(texels.size());
    ASSERT_TRUE(LoadPngInto(*surface->GetPlane(0), target.data()));
    r.context->ClearColorPlane(4, 2);
    EXPECT_EQ(r.context->PlanePixels(MGLContext::Plane::Colour), nullptr);
    r.device.SetCurrentSurface(nullptr);
}

TEST_F(CTextureObjectTest, FormatNumbersListAndPrinters) {
    EXPECT_EQ(T::TextureFormatIndex(0x90303), 5);
    EXPECT_EQ(T::FindTextureFormat(0x90303), 4u);
    EXPECT_EQ(T::TextureFormatIndex(0x1F4410), -1);
    EXPECT_EQ(T::FindTextureFormat(0x1F4410), T::kNoFormat);
    EXPECT_EQ(T::TextureFormatIndex(0x520104), 14);
    EXPECT_EQ(T::GetTextureFormat(12), 0x520104u);
    EXPECT_EQ(T::GetTextureFormat(13), T::kNoFormat);
    EXPECT_EQ(T::Log2OfPowerOfTwo(1024), 10);
    EXPECT_EQ(T::Log2OfPowerOfTwo(48), 0);
    T texture;
    EXPECT_EQ(texture.GetType(), 2u);
    EXPECT_EQ(texture.GetClassKey(), CTextureObjectInterface::kClassKey);

    AssertCounter capture;
    T::PrintName("tex");
    T::PrintNameInt("width", -3);
    T::PrintNameFixed("scale", 0x18000);
    EXPECT_TRUE(capture.Logged("tex"));
    EXPECT_TRUE(capture.Logged("width -3"));
    EXPECT_TRUE(capture.Logged("scale 18000 1.500"));
}

}  // namespace
