#include "CRenderSurface_SW_OffScreen.h"

#include <gtest/gtest.h>

#include <vector>

#include "AssertCounter.h"
#include "CArrayInputStream.h"
#include "CColor.h"
#include "CGraphics2d_Lite.h"
#include "CRenderSurfaceBuffer.h"
#include "CRenderSurfaceLoadParams.h"
#include "CRenderSurfaceWatcher.h"
#include "ImageFileBuilder.h"
#include "SurfaceProbe.h"
#include "TestApplication.h"
#include "../graphics2d/OffScreenDevice.h"

namespace {

using surfacetest::CreateSized;
using surfacetest::Pixel16;

constexpr uint32_t k565 = 0x21302;
constexpr uint32_t kX8 = 0xB0304;
constexpr uint32_t kA8 = 0xC4404;
constexpr uint32_t kZ32 = 0x520104;
constexpr uint32_t kStencil = 0x570104;
constexpr uint32_t kBmpType = 0xB717945F;
constexpr uint32_t kSurfaceKey = 0xC9403F77;
constexpr uint32_t kConstructorFlags = 0x901;  // off-screen, software, buffering 1

// 8-bit channels packed by truncation, as the decoders and fills store them.
uint32_t Pack565(uint32_t rgb) { return ((rgb >> 19) & 0x1F) * 2048 + ((rgb >> 10) & 0x3F) * 32 + ((rgb >> 3) & 0x1F); }

CRect Rect(int16_t x, int16_t y, int16_t w, int16_t h) {
    CRect rect;
    rect.Set(x, y, w, h);
    return rect;
}

// An off-screen surface whose buffering bits a test can change, to stand
// for other kinds of target.
class ProbeSurface : public CRenderSurface_SW_OffScreen {
public:
    void SetBuffering(uint32_t bits) {
        RemoveFlags(kFlagBuffering1 | kFlagBuffering2);
        AddFlags(bits);
    }
};

class RenderSurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(m_app.Init(), 0);
        m_device = new OffScreenDevice(16, 8, k565);
        ASSERT_TRUE(m_device->Open());
    }
    void TearDown() override {
        m_device->Close();
        delete m_device;
    }

    TestApplication m_app;
    OffScreenDevice* m_device = nullptr;
};

TEST_F(RenderSurfaceTest, SizeAloneGivesZeroedPlaneInTheDisplayFormat) {
    CRenderSurface_SW_OffScreen surface;
    const CRenderSurfaceAttribute attributes[] = {{kSurfaceAttrWidth, 7}, {kSurfaceAttrHeight, 5}, {0, 0}};
    ASSERT_TRUE(surface.Create(attributes));
    EXPECT_EQ(surface.GetFormat(), k565);
    // A surface given no palette owns whatever palette its loader would make.
    EXPECT_EQ(surface.GetFlags(), kConstructorFlags | CRenderSurface::kFlagOwnsPalette | CRenderSurface::kFlagCreated);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) EXPECT_EQ(Pixel16(&surface, x, y), 0u);
    }
    CRenderSurfaceDesc desc = {};
    ASSERT_TRUE(surface.GetDesc(&desc));
    EXPECT_EQ(desc.kind, 2u);
    EXPECT_EQ(desc.width, 7);
    EXPECT_EQ(desc.colorFormat, k565);
}

// Owners of shaders, textures and surfaces delete them through the root:
// the whole surface, planes and all, must go (the leak checker watches).
TEST_F(RenderSurfaceTest, SurfacesAreRenderSurfaceObjects) {
    auto* surface = new CRenderSurface_SW_OffScreen();
    ASSERT_TRUE(CreateSized(surface, 4, 3, k565));
    CRenderSurfaceObject* object = surface;
    EXPECT_EQ(object->GetClassKey(), kSurfaceKey);
    EXPECT_EQ(dynamic_cast<ICRenderSurface*>(object), surface);
    delete object;
}

TEST_F(RenderSurfaceTest, DestroyLeavesOnlyTheConstructorBits) {
    CRenderSurface_SW_OffScreen surface;
    const CRenderSurfaceAttribute attributes[] = {{kSurfaceAttrWidth, 4},          {kSurfaceAttrHeight, 4},
                                                  {kSurfaceAttrCapability, 1},     {kSurfaceAttrColorFormat, kX8},
                                                  {kSurfaceAttrDepthFormat, kZ32}, {kSurfaceAttrStencilFormat, kStencil},
                                                  {0, 0}};
    ASSERT_TRUE(surface.Create(attributes));
    EXPECT_EQ(surface.GetFlags(), kConstructorFlags | 0x400u | 0x10000u | 0x20000u | 0x80000u | 0x800000u | 0x80000000u);
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    ASSERT_TRUE(surface.Lock(&pixels, &pitch, 0, nullptr));
    EXPECT_TRUE(surface.IsLocked());
    surface.Destroy();
    EXPECT_FALSE(surface.IsLocked());
    EXPECT_EQ(surface.GetFlags(), kConstructorFlags);
    uint32_t width = 0;
    uint32_t height = 0;
    EXPECT_FALSE(surface.GetSize(&width, &height));
    EXPECT_TRUE(CreateSized(&surface, 2, 2, k565));
}

TEST_F(RenderSurfaceTest, SizeComesFromTheFirstPlanePresent) {
    CRenderSurface_SW_OffScreen surface;
    const uint32_t depthOnly[3] = {0, kZ32, 0};
    surface.CreateAuxPlanes(depthOnly, 9, 4);
    uint32_t width = 0;
    uint32_t height = 0;
    ASSERT_TRUE(surface.GetSize(&width, &height));
    EXPECT_EQ(width, 9u);
    EXPECT_EQ(height, 4u);
    EXPECT_EQ(surface.GetFormat(), 0u);
}

TEST_F(RenderSurfaceTest, LockedRectangleMustLieInside) {
    CRenderSurface_SW_OffScreen surface;
    ASSERT_TRUE(CreateSized(&surface, 16, 8, k565));
    uint8_t* base = nullptr;
    int32_t pitch = 0;
    ASSERT_TRUE(surface.Lock(&base, &pitch, 0, nullptr));
    EXPECT_EQ(pitch, 32);
    surface.Unlock(0);

    struct Case {
        CRect rect;
        bool inside;
    };
    const Case cases[] = {
        {Rect(0, 0, 16, 8), true},  {Rect(10, 2, 6, 6), true},  {Rect(11, 2, 6, 6), false},
        {Rect(10, 3, 6, 6), false}, {Rect(-1, 0, 2, 2), false}, {Rect(4, 2, -2, 3), false},
        {Rect(4, 2, 3, -1), false}, {Rect(16, 8, 0, 0), true},
    };
    for (const Case& c : cases) {
        uint8_t* pixels = reinterpret_cast<uint8_t*>(1);
        int32_t rowPitch = 1;
        EXPECT_EQ(surface.Lock(&pixels, &rowPitch, 1, &c.rect), c.inside) << c.rect.x << "," << c.rect.width;
        if (c.inside) {
            EXPECT_EQ(pixels, base + c.rect.y * 32 + c.rect.x * 2);
            EXPECT_EQ(rowPitch, 32);
            EXPECT_TRUE(surface.IsLocked());
        } else {
            EXPECT_EQ(pixels, nullptr);
            EXPECT_EQ(rowPitch, 0);
            EXPECT_FALSE(surface.IsLocked());
        }
        surface.Unlock(1);
    }
    int32_t onlyPitch = 5;
    EXPECT_FALSE(surface.Lock(nullptr, &onlyPitch, 0, nullptr));
    EXPECT_FALSE(surface.IsLocked());
}

TEST_F(RenderSurfaceTest, BottomUpPlaneLocksAtItsTopRow) {
    CRenderSurface_SW_OffScreen surface;
    const uint32_t formats[3] = {k565, 0, 0};
    ASSERT_TRUE(surface.CreatePlanes(formats, 4, 3, nullptr, nullptr, CRenderSurfaceBuffer::kPitchBottomUp, 0, nullptr));
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    ASSERT_TRUE(surface.Lock(&pixels, &pitch, 0, nullptr));
    EXPECT_EQ(pitch, -8);
    EXPECT_EQ(pixels, surface.GetPlane(0)->GetPixels(0));
    // Row 2 is the first row of the block: writing every row stays inside it.
    for (int y = 0; y < 3; ++y) pixels[y * pitch] = static_cast<uint8_t>(y + 1);
    EXPECT_EQ(Pixel16(&surface, 0, 2), 3u);
    surface.Unlock(0);
}

TEST_F(RenderSurfaceTest, ClearFillsTheColourPlaneInItsFormat) {
    CRenderSurface* target = m_device->Surface();
    m_device->SetClearColor(0xFF12A4F0u);
    m_device->Clear(CRenderSurface::kClearColor);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) ASSERT_EQ(Pixel16(target, x, y), Pack565(0x12A4F0));
    }
    EXPECT_FALSE(target->IsLocked());
}

TEST_F(RenderSurfaceTest, PlanesWithoutAFillRoutineKeepTheirPixels) {
    CRenderSurface_SW_OffScreen surface;
    const CRenderSurfaceAttribute attributes[] = {{kSurfaceAttrWidth, 3},
                                                  {kSurfaceAttrHeight, 2},
                                                  {kSurfaceAttrColorFormat, kA8},
                                                  {kSurfaceAttrDepthFormat, kZ32},
                                                  {0, 0}};
    ASSERT_TRUE(surface.Create(attributes));
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    ASSERT_TRUE(surface.Lock(&pixels, &pitch, 0, nullptr));
    std::fill(pixels, pixels + pitch * 2, 0x5A);
    surface.Unlock(0);
    const RSBFormat_ARGB_fixed white = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    surface.Clear(CRenderSurface::kClearColor | CRenderSurface::kClearDepth, &white, 0x12345678, 0);
    EXPECT_FALSE(surface.IsLocked());
    for (int i = 0; i < pitch * 2; ++i) ASSERT_EQ(pixels[i], 0x5A);
    const uint8_t* depth = static_cast<const uint8_t*>(surface.GetPlane(1)->GetPixels(0));
    for (int i = 0; i < 3 * 2 * 4; ++i) ASSERT_EQ(depth[i], 0);
}

TEST_F(RenderSurfaceTest, AttributeListsThatAreRefused) {
    CRenderSurface_SW_OffScreen target;
    ASSERT_TRUE(CreateSized(&target, 4, 4, k565));
    const uintptr_t targetValue = reinterpret_cast<uintptr_t>(static_cast<CClass*>(&target));
    CArrayInputStream unused;
    const uintptr_t stream = reinterpret_cast<uintptr_t>(static_cast<CInputStream*>(&unused));
    struct Case {
        std::vector<CRenderSurfaceAttribute> list;
        bool accepted;
    };
    const Case cases[] = {
        {{{1, 2}, {2, 2}, {3, 1}}, false},
        {{{1, 2}, {2, 2}, {3, 0x100}}, true},  // only the low byte is the boolean
        {{{1, 2}, {2, 2}, {16, 7}}, false},
        {{{1, 2}, {2, 2}, {16, 6}}, true},
        {{{1, 2}, {2, 2}, {17, 99}}, true},
        {{{1, 70000}, {2, 2}}, false},
        {{{1, 8192}, {2, 4096}, {6, kX8}}, false},  // 128 MB: more than the handset could ever hold
        {{{1, 2}, {2, 2}, {8, kStencil}, {7, 0x520104}}, true},
        {{{12, targetValue}, {9, 0xFF000000}}, false},
        {{{12, targetValue}, {15, kBmpType}}, false},
        {{{12, targetValue}, {14, stream}, {13, kSurfaceKey}}, false},
        {{{12, targetValue}, {13, kSurfaceKey}, {14, stream}}, true},
        {{{12, targetValue}, {13, 0x12345678}}, false},
        {{{12, 0}, {13, kSurfaceKey}}, false},
    };
    for (const Case& c : cases) {
        std::vector<CRenderSurfaceAttribute> list = c.list;
        list.push_back({0, 0});
        CRenderSurface_SW_OffScreen surface;
        EXPECT_EQ(surface.Create(list.data()), c.accepted) << "first key " << c.list[0].key << ", last "
                                                           << c.list.back().key << "=" << c.list.back().value;
        if (!c.accepted) {
            EXPECT_EQ(surface.GetFlags(), kConstructorFlags);
        }
    }
}

TEST_F(RenderSurfaceTest, ForwardingSurfaceStandsForItsTarget) {
    auto* target = new CRenderSurface_SW_OffScreen();
    ASSERT_TRUE(CreateSized(target, 6, 3, kX8));
    CRenderSurface_SW_OffScreen forwarder;
    const CRenderSurfaceAttribute attributes[] = {
        {kSurfaceAttrForwardTarget, reinterpret_cast<uintptr_t>(static_cast<CClass*>(target))},
        {kSurfaceAttrForwardClassKey, kSurfaceKey},
        {kSurfaceAttrDepthFormat, kZ32},
        {0, 0}};
    ASSERT_TRUE(forwarder.Create(attributes));
    EXPECT_EQ(forwarder.GetFormat(), kX8);
    uint8_t* mine = nullptr;
    uint8_t* theirs = nullptr;
    int32_t pitch = 0;
    ASSERT_TRUE(target->Lock(&theirs, &pitch, 0, nullptr));
    target->Unlock(0);
    ASSERT_TRUE(forwarder.Lock(&mine, &pitch, 0, nullptr));
    EXPECT_EQ(mine, theirs);
    EXPECT_TRUE(target->IsLocked());
    forwarder.Unlock(0);
    EXPECT_FALSE(target->IsLocked());
    // Its own depth plane has the target's size but is not described.
    ASSERT_NE(forwarder.GetPlane(CRenderSurface::kPlaneDepth), nullptr);
    EXPECT_EQ(forwarder.GetPlane(CRenderSurface::kPlaneDepth)->GetWidth(), 6);
    CRenderSurfaceDesc desc = {};
    ASSERT_TRUE(forwarder.GetDesc(&desc));
    EXPECT_EQ(desc.depthFormat, 0u);
    forwarder.Destroy();
    uint32_t width = 0;
    uint32_t height = 0;
    ASSERT_TRUE(target->GetSize(&width, &height));  // destroying the forwarder leaves the target whole

    // Deleted first, the target leaves a forwarder that stands for nothing.
    ASSERT_TRUE(forwarder.Create(attributes));
    delete target;
    EXPECT_EQ(forwarder.GetFormat(), 0u);
    EXPECT_FALSE(forwarder.GetSize(&width, &height));
    EXPECT_FALSE(forwarder.GetDesc(&desc));
    EXPECT_FALSE(forwarder.Lock(&mine, &pitch, 0, nullptr));
    EXPECT_EQ(mine, nullptr);
    forwarder.Unlock(0);
}

TEST_F(RenderSurfaceTest, ForwardingFollowsTheTargetsBuffering) {
    struct Case {
        uint32_t targetBits;
        bool accepted;
    };
    const Case cases[] = {{0x800, true}, {0x1000, false}, {0x1800, true}, {0, false}};
    for (const Case& c : cases) {
        ProbeSurface target;
        ASSERT_TRUE(CreateSized(&target, 2, 2, k565));
        target.SetBuffering(c.targetBits);
        CRenderSurface_SW_OffScreen forwarder;
        const uint32_t formats[3] = {0, 0, 0};
        EXPECT_EQ(forwarder.CreateForwarding(formats, &target, kSurfaceKey, nullptr), c.accepted) << c.targetBits;
    }
    // A colour format or palette the target cannot honour is refused too.
    CRenderSurface_SW_OffScreen target;
    ASSERT_TRUE(CreateSized(&target, 2, 2, k565));
    CRenderSurface_SW_OffScreen forwarder;
    const uint32_t wrongFormat[3] = {kX8, 0, 0};
    EXPECT_FALSE(forwarder.CreateForwarding(wrongFormat, &target, kSurfaceKey, nullptr));
    uint32_t palette[256] = {};
    const uint32_t anyFormat[3] = {0, 0, 0};
    EXPECT_FALSE(forwarder.CreateForwarding(anyFormat, &target, kSurfaceKey, palette));
}

TEST_F(RenderSurfaceTest, FormatMapFollowsTheDisplayKeyAndPalettes) {
    const uint32_t sources[6] = {0x21302, 0x90303, 0x328300, 0x33C400, 0x348301, 0x35C401};
    struct Case {
        uint32_t display;
        bool keep;
        bool key;
        uint32_t expected[6];
    };
    const Case cases[] = {
        {kA8, false, true, {kA8, kA8, kA8, kA8, kA8, kA8}},
        {kX8, false, false, {kX8, kX8, kX8, kX8, kX8, kX8}},
        {k565, false, true, {0x45402, 0x45402, 0x45402, 0x45402, 0x45402, 0x45402}},
        {0x81304, false, false, {0x81304, 0x81304, 0x81304, 0x81304, 0x81304, 0x81304}},
        {k565, true, false, {k565, k565, 0x328300, 0x33C400, 0x348301, 0x35C401}},
        {kX8, true, true, {kA8, kA8, 0x33C400, 0x33C400, 0x35C401, 0x35C401}},
    };
    for (const Case& c : cases) {
        CRenderSurfaceLoadParams params;
        params.Init();
        ASSERT_TRUE(CRenderSurface_SW_OffScreen::FillFormatMap(c.display, c.keep, c.key, &params));
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(params.formatMap[i].source, sources[i]);
            EXPECT_EQ(params.formatMap[i].destination, c.expected[i]) << std::hex << c.display << " pair " << i;
        }
        EXPECT_EQ(params.formatMap[6].source, 0u);
    }
    CRenderSurfaceLoadParams params;
    params.Init();
    EXPECT_FALSE(CRenderSurface_SW_OffScreen::FillFormatMap(0x45402, false, false, &params));
}

TEST_F(RenderSurfaceTest, ImageFromAStreamDecodesToTheDisplayFormatAndOrientation) {
    imagetest::BmpSpec spec;
    spec.width = 3;
    spec.height = 2;
    spec.bitCount = 24;
    spec.rows = {{0xFF0000, 0x00FF00, 0x0000FF}, {0x808080, 0xFFFFFF, 0x102030}};
    const std::vector<uint8_t> bmp = imagetest::BuildBmp(spec);
    for (uint32_t orientation : {0xFFu, 3u}) {
        CArrayInputStream stream;
        ASSERT_TRUE(stream.Open(bmp.data(), static_cast<uint32_t>(bmp.size())));
        std::vector<CRenderSurfaceAttribute> list = {{kSurfaceAttrColorFormat, 0},
                                                     {kSurfaceAttrImageStream,
                                                      reinterpret_cast<uintptr_t>(static_cast<CInputStream*>(&stream))},
                                                     {kSurfaceAttrImageType, kBmpType}};
        if (orientation != 0xFF) list.push_back({kSurfaceAttrOrientation, orientation});
        list.push_back({0, 0});
        CRenderSurface_SW_OffScreen surface;
        ASSERT_TRUE(surface.Create(list.data()));
        EXPECT_EQ(surface.GetFormat(), k565);
        const bool swapped = orientation == 3;
        uint32_t width = 0;
        uint32_t height = 0;
        ASSERT_TRUE(surface.GetSize(&width, &height));
        EXPECT_EQ(width, swapped ? 2u : 3u);
        EXPECT_EQ(height, swapped ? 3u : 2u);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x) {
                const uint32_t expected = Pack565(spec.rows[y][x]);
                EXPECT_EQ(swapped ? Pixel16(&surface, y, x) : Pixel16(&surface, x, y), expected) << x << "," << y;
            }
        }
    }
}

TEST_F(RenderSurfaceTest, BecomingCurrentAndBeingDestroyed) {
    auto* surface = new CRenderSurface_SW_OffScreen();
    ASSERT_TRUE(CreateSized(surface, 2, 2, k565));
    surface->MakeCurrent();
    EXPECT_EQ(m_device->GetCurrentSurface(), surface);
    delete surface;
    EXPECT_EQ(m_device->GetCurrentSurface(), nullptr);
    m_device->Clear(CRenderSurface::kClearColor);  // no surface: nothing happens
}

// A watcher that deletes the surface telling it of a change.
class DeletingWatcher : public CRenderSurfaceWatcher {
public:
    void PlanesChanged(CRenderSurface& surface) override { delete &surface; }
    void SurfaceEnding(CRenderSurface&) override {}
};

class CountingWatcher : public CRenderSurfaceWatcher {
public:
    void PlanesChanged(CRenderSurface&) override { ++changes; }
    void SurfaceEnding(CRenderSurface&) override { ++endings; }
    int32_t changes = 0;
    int32_t endings = 0;
};

// A watcher deletes the surface while it is being told of a change: the
// watcher after it learns of the end alone, once; the destruction tells no
// change, so the first watcher does not delete it again; and the tell reads
// nothing of the surface once it is gone.
TEST_F(RenderSurfaceTest, AWatcherMayDeleteTheSurfaceWhileTold) {
    auto* surface = new CRenderSurface_SW_OffScreen();
    ASSERT_TRUE(CreateSized(surface, 2, 2, k565));
    DeletingWatcher deleting;
    CountingWatcher counting;
    surface->AddWatcher(&deleting);
    surface->AddWatcher(&counting);
    surface->ReleasePlanes();
    EXPECT_EQ(counting.endings, 1);
    EXPECT_EQ(counting.changes, 0);
}

// A watcher that hears of changes alone, as watchers were written before
// the end was told apart.
class ChangeWatcher : public CRenderSurfaceWatcher {
public:
    void PlanesChanged(CRenderSurface&) override { ++changes; }
    int32_t changes = 0;
};

TEST_F(RenderSurfaceTest, AWatcherNeedNotHearOfTheEnd) {
    auto* surface = new CRenderSurface_SW_OffScreen();
    ASSERT_TRUE(CreateSized(surface, 2, 2, k565));
    ChangeWatcher watcher;
    surface->AddWatcher(&watcher);
    surface->ReleasePlanes();
    EXPECT_EQ(watcher.changes, 1);
    delete surface;
    EXPECT_EQ(watcher.changes, 1);
}

TEST_F(RenderSurfaceTest, UnknownBufferTypeIsReported) {
    AssertCounter asserts;
    EXPECT_EQ(CRenderSurface::BufferTypeToIndex(2), 2u);
    EXPECT_EQ(asserts.Count(), 0);
    EXPECT_EQ(CRenderSurface::BufferTypeToIndex(3), 0u);
    EXPECT_EQ(asserts.Count(), 1);
}

}  // namespace

// Opaque: no pixel is the colour key. One keyed pixel is enough to say no,
// and pixels handed out for writing are looked at again.
TEST_F(RenderSurfaceTest, OpaqueOnlyWithoutAKeyedPixel) {
    constexpr uint32_t kKey565 = 0xF81F;
    CRenderSurface_SW_OffScreen surface;
    ASSERT_TRUE(CreateSized(&surface, 4, 3, k565));
    EXPECT_TRUE(surface.IsOpaque());
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    ASSERT_TRUE(surface.Lock(&pixels, &pitch, 0, nullptr));
    pixels[2 * pitch + 6] = kKey565 & 0xFF;
    pixels[2 * pitch + 7] = kKey565 >> 8;
    surface.Unlock(0);
    EXPECT_FALSE(surface.IsOpaque());
    ASSERT_TRUE(surface.Lock(&pixels, &pitch, 0, nullptr));
    pixels[2 * pitch + 6] = 0x1E;
    surface.Unlock(0);
    EXPECT_TRUE(surface.IsOpaque());
}
