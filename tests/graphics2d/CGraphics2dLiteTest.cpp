#include "CGraphics2d_Lite.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "AssertCounter.h"
#include "Reference565.h"
#include "RendererFixture.h"

namespace {

using rendertest::kKey565;
using ref565::Blend565;
using ref565::BlendColor;

constexpr uint32_t kRed = 0xF800;
constexpr uint32_t kGreen = 0x07E0;
constexpr uint32_t kBlue = 0x001F;
constexpr const char* kUnsupported = "Warning: Graphics2d's state is configured to an unsupported arrangement.";

class Graphics2dTest : public rendertest::RendererTest {
protected:
    // A filled rectangle between two corners through the vertex pointer.
    void FillCorners(int16_t x1, int16_t y1, int16_t x2, int16_t y2) {
        m_vertices[0] = x1;
        m_vertices[1] = y1;
        m_vertices[2] = x2;
        m_vertices[3] = y2;
        m_renderer->VertexPointer(2, CGraphics2d_Lite::kVertexInt16, 0, m_vertices);
        m_renderer->DrawArrays(CGraphics2d_Lite::kDrawRectangles, 0, 2);
    }

    // 2 × 2 image: red, key / green, blue.
    CRenderSurface* KeyedImage() { return MakeImage(2, 2, {kRed, kKey565, kGreen, kBlue}); }

    void ResetFrame() {
        m_device->SetClearColor(0xFF000000u);
        m_device->Clear(CGraphics::kClearColor);
    }

    int16_t m_vertices[8] = {};
};

TEST_F(Graphics2dTest, ImagesArePlainKeyedOrKeyedWithConstantAlpha) {
    CRenderSurface* image = KeyedImage();
    m_renderer->DrawImage(image, 0, nullptr);
    EXPECT_EQ(Frame(0, 0), kRed);
    EXPECT_EQ(Frame(1, 0), kKey565);
    EXPECT_EQ(Frame(1, 1), kBlue);

    ResetFrame();
    m_renderer->Enable(CGraphics2d_Lite::kCapColorKey);
    m_renderer->DrawImage(image, 0, nullptr);
    EXPECT_EQ(Frame(0, 0), kRed);
    EXPECT_EQ(Frame(1, 0), 0u);

    // Blend mode 0 with the key: the current colour's alpha blends the image.
    ResetFrame();
    m_renderer->Enable(CGraphics2d_Lite::kCapBlend);
    m_renderer->SetBlendMode(CGraphics2d_Lite::kBlendConstant);
    m_renderer->SetColor(0x60FFFFFFu);
    m_renderer->DrawImage(image, 0, nullptr);
    EXPECT_EQ(Frame(0, 0), Blend565(kRed, 0, 0x60));
    EXPECT_EQ(Frame(1, 0), 0u);
    EXPECT_EQ(Frame(0, 1), Blend565(kGreen, 0, 0x60));
    // ... but no rectangle: no fill serves a keyed blend.
    FillCorners(4, 4, 6, 6);
    EXPECT_EQ(Frame(4, 4), 0u);
}

TEST_F(Graphics2dTest, UnsupportedStatesDrawNothing) {
    CRenderSurface* image = KeyedImage();
    AssertCounter log;
    m_renderer->SetColor(0xFFFFFFFFu);
    m_renderer->Enable(CGraphics2d_Lite::kCapColorKey);
    m_renderer->Enable(CGraphics2d_Lite::kCapAlpha);
    m_renderer->DrawImage(image, 0, nullptr);
    FillCorners(4, 4, 6, 6);
    EXPECT_TRUE(log.Logged(kUnsupported));
    EXPECT_EQ(Where(0u).size(), m_width * m_height);

    // Blend mode 2 with the key is no arrangement either.
    log.Reset();
    m_renderer->Disable(CGraphics2d_Lite::kCapAlpha);
    m_renderer->Enable(CGraphics2d_Lite::kCapBlend);
    m_renderer->DrawImage(image, 0, nullptr);
    EXPECT_TRUE(log.Logged(kUnsupported));
    EXPECT_EQ(Where(0u).size(), m_width * m_height);

    // Alpha on alone draws no image: no copy takes it.
    log.Reset();
    m_renderer->Disable(CGraphics2d_Lite::kCapBlend);
    m_renderer->Disable(CGraphics2d_Lite::kCapColorKey);
    m_renderer->Enable(CGraphics2d_Lite::kCapAlpha);
    m_renderer->DrawImage(image, 0, nullptr);
    EXPECT_FALSE(log.Logged(kUnsupported));
    EXPECT_EQ(Where(0u).size(), m_width * m_height);
    EXPECT_EQ(log.Count(), 0);
}

TEST_F(Graphics2dTest, RectanglesOpaqueAlphaTestedAndBlended) {
    Write(m_device->Surface(), 1, 1, kBlue);
    m_renderer->SetColor(0xFFFF0000u);
    FillCorners(0, 0, 3, 2);
    EXPECT_EQ(Where(kRed), RectPositions(0, 0, 3, 2));

    // Alpha on: a colour of alpha 0 is not drawn, any other is, opaque.
    m_renderer->Enable(CGraphics2d_Lite::kCapAlpha);
    m_renderer->SetColor(0x0000FF00u);
    FillCorners(0, 0, 3, 2);
    EXPECT_EQ(Where(kRed).size(), 6u);
    m_renderer->SetColor(0x1000FF00u);
    FillCorners(0, 0, 1, 1);
    EXPECT_EQ(Frame(0, 0), kGreen);
    m_renderer->Disable(CGraphics2d_Lite::kCapAlpha);

    // Blend on with mode 0 blends fills as mode 2 does.
    m_renderer->Enable(CGraphics2d_Lite::kCapBlend);
    m_renderer->SetBlendMode(CGraphics2d_Lite::kBlendConstant);
    m_renderer->SetColor(0x800000FFu);
    FillCorners(1, 1, 2, 2);
    EXPECT_EQ(Frame(1, 1), BlendColor(0x800000FFu, kRed));
}

TEST_F(Graphics2dTest, ChangedStateIsNeverServedFromTheCache) {
    CRenderSurface* image = KeyedImage();
    m_renderer->DrawImage(image, 0, nullptr);
    EXPECT_EQ(Frame(1, 0), kKey565);
    ResetFrame();
    m_renderer->Enable(CGraphics2d_Lite::kCapColorKey);
    m_renderer->DrawImage(image, 0, nullptr);
    EXPECT_EQ(Frame(1, 0), 0u);
    m_renderer->Disable(CGraphics2d_Lite::kCapColorKey);
    // A request nothing serves is remembered as such, and then replaced.
    m_renderer->Enable(CGraphics2d_Lite::kCapAlpha);
    m_renderer->DrawImage(image, 0, nullptr);
    m_renderer->DrawImage(image, 0, nullptr);
    EXPECT_EQ(Frame(1, 0), 0u);
    m_renderer->Disable(CGraphics2d_Lite::kCapAlpha);
    EXPECT_TRUE(m_renderer->DropBlitCache());
    m_renderer->DrawImage(image, 0, nullptr);
    EXPECT_EQ(Frame(1, 0), kKey565);
    // States taken in turn are each served their own routine.
    for (int32_t turn = 0; turn < 3; ++turn) {
        ResetFrame();
        m_renderer->Enable(CGraphics2d_Lite::kCapColorKey);
        m_renderer->DrawImage(image, 0, nullptr);
        EXPECT_EQ(Frame(1, 0), 0u);
        m_renderer->Disable(CGraphics2d_Lite::kCapColorKey);
        m_renderer->DrawImage(image, 0, nullptr);
        EXPECT_EQ(Frame(1, 0), kKey565);
    }
}

TEST_F(Graphics2dTest, TranslationDropsHalfPixels) {
    CRenderSurface* image = KeyedImage();
    m_renderer->Translate(0x18000, 0x20000);
    m_renderer->DrawImage(image, 0, nullptr);
    EXPECT_EQ(Frame(1, 2), kRed);
    EXPECT_EQ(Frame(0, 2), 0u);
    m_renderer->SetColor(0xFF0000FFu);
    FillCorners(10, 20, 30, 25);
    EXPECT_EQ(Where(kBlue).size(), 20u * 5u + 1u);
    EXPECT_EQ(Frame(11, 22), kBlue);
    EXPECT_EQ(Frame(30, 26), kBlue);
    EXPECT_EQ(Frame(31, 26), 0u);
    EXPECT_EQ(Frame(10, 22), 0u);

    // Push and pop restore the translation.
    m_renderer->PushMatrix();
    m_renderer->LoadIdentity();
    const CGraphics2d_Lite::Translation moved = {0x50000, 0};
    m_renderer->MultMatrix(1, &moved);
    const CGraphics2d_Lite::Translation* top = nullptr;
    uint32_t kind = 9;
    m_renderer->GetMatrixPointer(&kind, &top);
    EXPECT_EQ(kind, 0u);
    EXPECT_EQ(top->x, 0x50000);
    m_renderer->PopMatrix();
    m_renderer->GetMatrixPointer(nullptr, &top);
    EXPECT_EQ(top->x, 0x18000);
    EXPECT_EQ(top->y, 0x20000);
}

TEST_F(Graphics2dTest, ClipIsTakenAtOnceOnlyInsideAFrame) {
    m_renderer->SetColor(0xFFFF0000u);
    m_renderer->SetClip(2, 2, 100, 3);
    EXPECT_EQ(m_renderer->GetClip()->width, 100);
    EXPECT_EQ(m_renderer->GetEffectiveClip().width, static_cast<int16_t>(m_width - 2));
    FillCorners(0, 0, 8, 8);
    EXPECT_EQ(Where(kRed), RectPositions(2, 2, 6, 3));

    m_renderer->EndFrame();
    m_renderer->SetClip(0, 0, 1, 1);
    EXPECT_EQ(m_renderer->GetClip()->width, 1);
    EXPECT_EQ(m_renderer->GetEffectiveClip().height, 3);
    m_renderer->BeginFrame();
    EXPECT_EQ(m_renderer->GetClip()->width, static_cast<int16_t>(m_width));
    EXPECT_EQ(m_renderer->GetEffectiveClip().height, static_cast<int16_t>(m_height));

    // An image wholly outside the clip is not even locked.
    CRenderSurface* image = KeyedImage();
    m_renderer->SetClip(10, 10, 5, 5);
    m_renderer->DrawImage(image, 0, nullptr);
    EXPECT_FALSE(image->IsLocked());
    EXPECT_EQ(Where(kRed).size(), 18u);
}

// A batch of pieces draws what the same pieces drawn one by one draw, at
// the translation, in the clip and in order (a later piece covers an
// earlier one), inside a frame and outside one.
TEST_F(Graphics2dTest, PiecesInOneCallDrawAsOneDrawEach) {
    CRenderSurface* image = MakeImage(4, 2, {kRed, kKey565, kGreen, kBlue, kBlue, kGreen, kKey565, kRed});
    CRect left;
    left.Set(0, 0, 2, 2);
    CRect right;
    right.Set(2, 0, 2, 2);
    const CGraphics2d_Lite::ImagePiece pieces[] = {{left, 0, 0}, {right, 1, 0}, {left, 30, 3}, {right, -1, 30}};
    m_renderer->Enable(CGraphics2d_Lite::kCapColorKey);
    m_renderer->SetClip(0, 0, 31, 31);
    for (const bool insideFrame : {true, false}) {
        if (!insideFrame) m_renderer->EndFrame();
        ResetFrame();
        m_renderer->LoadIdentity();
        m_renderer->Translate(0x18000, 0x10000);
        for (const CGraphics2d_Lite::ImagePiece& piece : pieces) {
            m_renderer->PushMatrix();
            m_renderer->Translate(piece.x << 16, piece.y << 16);
            m_renderer->DrawImage(image, 0, &piece.source);
            m_renderer->PopMatrix();
        }
        const std::vector<uint32_t> oneByOne = m_drawing->ReadFrame();
        ResetFrame();
        m_renderer->DrawImagePieces(image, 0, pieces, 4);
        EXPECT_EQ(m_drawing->ReadFrame(), oneByOne) << (insideFrame ? "inside a frame" : "outside a frame");
    }
    EXPECT_EQ(Frame(1, 1), kRed);
    EXPECT_EQ(Frame(3, 1), kBlue);
    m_renderer->BeginFrame();
}

TEST_F(Graphics2dTest, FlipsMirrorTheImage) {
    CRenderSurface* image = MakeImage(3, 2, {1, 2, 3, 4, 5, 6});
    m_renderer->DrawImage(image, CGraphics2d_Lite::kFlipX, nullptr);
    EXPECT_EQ(Frame(0, 0), 3u);
    EXPECT_EQ(Frame(2, 1), 4u);
    m_renderer->DrawImage(image, CGraphics2d_Lite::kFlipX | CGraphics2d_Lite::kFlipY, nullptr);
    EXPECT_EQ(Frame(0, 0), 6u);
    EXPECT_EQ(Frame(2, 0), 4u);
    CRect source;
    source.Set(1, 0, 2, 2);
    m_renderer->DrawImage(image, CGraphics2d_Lite::kFlipY, &source);
    EXPECT_EQ(Frame(0, 0), 5u);
    EXPECT_EQ(Frame(1, 1), 3u);
    EXPECT_EQ(Frame(2, 0), 4u);
}

// The pieces of one call read their image under one lock, given back after.
TEST_F(Graphics2dTest, PiecesOfOneCallLockTheirImageOnce) {
    class CountingImage : public CRenderSurface_SW_OffScreen {
    public:
        bool Lock(uint8_t** pixels, int32_t* pitch, uint32_t lockFlags, const CRect* rect) override {
            ++locks;
            return CRenderSurface_SW_OffScreen::Lock(pixels, pitch, lockFlags, rect);
        }
        int32_t locks = 0;
    };
    CountingImage image;
    const CRenderSurfaceAttribute attributes[] = {
        {kSurfaceAttrWidth, 4}, {kSurfaceAttrHeight, 2}, {kSurfaceAttrColorFormat, rendertest::k565}, {0, 0}};
    ASSERT_TRUE(image.Create(attributes));
    Write(&image, 2, 0, kBlue);
    CRect left;
    left.Set(0, 0, 2, 2);
    CRect right;
    right.Set(2, 0, 2, 2);
    const CGraphics2d_Lite::ImagePiece pieces[] = {{left, 0, 0}, {right, 2, 0}, {left, 4, 0}, {right, 6, 0}};
    m_renderer->DrawImagePieces(&image, 0, pieces, 4);
    EXPECT_EQ(image.locks, 1);
    EXPECT_FALSE(image.IsLocked());
    EXPECT_EQ(Frame(6, 0), kBlue);
}

TEST_F(Graphics2dTest, MissingOrBrokenImagesLeaveLaterDrawsIntact) {
    CRenderSurface_SW_OffScreen empty;
    CRect outside;
    outside.Set(1, 1, 5, 5);
    CRenderSurface* image = KeyedImage();
    m_renderer->DrawImage(nullptr, 0, nullptr);
    m_renderer->DrawImage(&empty, 0, nullptr);
    m_renderer->DrawImage(image, 0, &outside);
    EXPECT_EQ(Where(0u).size(), m_width * m_height);
    m_renderer->DrawImage(image, 0, nullptr);
    EXPECT_EQ(Frame(0, 0), kRed);
    EXPECT_FALSE(image->IsLocked());
}

TEST_F(Graphics2dTest, PalettedImagesWithoutAPaletteDrawNothing) {
    uint32_t palette[256] = {};
    palette[1] = 0xFFFF0000u;
    std::vector<std::unique_ptr<CRenderSurface_SW_OffScreen>> images;
    const auto paletted = [&images](const uint32_t* colors) {
        auto* image = images.emplace_back(std::make_unique<CRenderSurface_SW_OffScreen>()).get();
        const CRenderSurfaceAttribute attributes[] = {{kSurfaceAttrWidth, 2},
                                                      {kSurfaceAttrHeight, 2},
                                                      {kSurfaceAttrColorFormat, RSBFormat_P256X8R8G8B8},
                                                      {colors != nullptr ? kSurfaceAttrPalette : kSurfaceAttrEnd,
                                                       reinterpret_cast<uintptr_t>(colors)},
                                                      {0, 0}};
        EXPECT_TRUE(image->Create(attributes));
        uint8_t* pixels = static_cast<uint8_t*>(image->GetPlane(0)->GetPixels(0));
        for (int32_t y = 0; y < 2; ++y) pixels[y * image->GetPlane(0)->GetPitch()] = 1;
        return image;
    };
    AssertCounter log;
    m_renderer->DrawImage(paletted(nullptr), 0, nullptr);
    EXPECT_TRUE(log.Logged("has no palette"));
    EXPECT_EQ(Where(0u).size(), m_width * m_height);
    // With its palette the same image draws.
    m_renderer->DrawImage(paletted(palette), 0, nullptr);
    EXPECT_EQ(Where(kRed), std::vector<uint32_t>({0, m_width}));
}

TEST_F(Graphics2dTest, VerticesOtherThanWholePairsOfKnownTypeDrawNothing) {
    m_renderer->SetColor(0xFFFF0000u);
    const int16_t backwards[4] = {6, 6, 2, 2};
    m_renderer->VertexPointer(2, CGraphics2d_Lite::kVertexInt16, 0, backwards);
    m_renderer->DrawArrays(CGraphics2d_Lite::kDrawRectangles, 0, 2);
    m_renderer->VertexPointer(2, 0x1234, 0, backwards);
    m_renderer->DrawArrays(CGraphics2d_Lite::kDrawRectangles, 0, 2);
    const int32_t fixedCorners[6] = {0x10000, 0x10000, 0x30000, 0x28000, 0x50000, 0x50000};
    m_renderer->VertexPointer(2, CGraphics2d_Lite::kVertexFixed, 0, fixedCorners);
    m_renderer->DrawArrays(CGraphics2d_Lite::kDrawRectangles, 0, 3);
    EXPECT_EQ(Where(kRed), RectPositions(1, 1, 2, 1));
    const int8_t bytes[4] = {4, 0, 6, 1};
    m_renderer->VertexPointer(2, CGraphics2d_Lite::kVertexInt8, 0, bytes);
    m_renderer->DrawArrays(CGraphics2d_Lite::kDrawNothing, 0, 2);
    EXPECT_EQ(Where(kRed).size(), 2u);
    m_renderer->DrawArrays(CGraphics2d_Lite::kDrawRectangles, 0, 2);
    EXPECT_EQ(Where(kRed).size(), 4u);
}

TEST_F(Graphics2dTest, LinesStopShortOfTheirEnd) {
    m_renderer->SetColor(0xFF00FF00u);
    const int16_t line[4] = {2, 3, 7, 3};
    m_renderer->VertexPointer(2, CGraphics2d_Lite::kVertexInt16, 0, line);
    m_renderer->DrawArrays(CGraphics2d_Lite::kDrawLines, 0, 2);
    EXPECT_EQ(Where(kGreen), RectPositions(2, 3, 5, 1));
}

TEST_F(Graphics2dTest, StateStacksRefuseOverflowAndUnderflow) {
    AssertCounter asserts;
    m_renderer->Enable(CGraphics2d_Lite::kCapColorKey);
    m_renderer->PushState(CGraphics2d_Lite::kGroupColorKey);
    m_renderer->Disable(CGraphics2d_Lite::kCapColorKey);
    m_renderer->PushState(CGraphics2d_Lite::kGroupColorKey);
    EXPECT_EQ(asserts.Count(), 0);
    m_renderer->PushState(CGraphics2d_Lite::kGroupColorKey);
    EXPECT_EQ(asserts.Count(), 1);
    m_renderer->PopState(CGraphics2d_Lite::kGroupColorKey);
    m_renderer->PopState(CGraphics2d_Lite::kGroupColorKey);
    m_renderer->PopState(CGraphics2d_Lite::kGroupColorKey);
    EXPECT_EQ(asserts.Count(), 2);
    // The bottom entry survived: the key is on again.
    CRenderSurface* image = KeyedImage();
    m_renderer->DrawImage(image, 0, nullptr);
    EXPECT_EQ(Frame(1, 0), 0u);
    EXPECT_EQ(Frame(0, 0), kRed);

    for (uint32_t i = 0; i < CGraphics2d_Lite::kMatrixDepth - 1; ++i) m_renderer->PushMatrix();
    EXPECT_EQ(asserts.Count(), 2);
    m_renderer->PushMatrix();
    EXPECT_EQ(asserts.Count(), 3);
}

TEST_F(Graphics2dTest, ColourFollowsItsStack) {
    m_renderer->SetColor(0x80FF0000u);
    m_renderer->PushState(CGraphics2d_Lite::kGroupColor);
    m_renderer->SetColor(0x100, 0, 0x7F80, 0);
    EXPECT_EQ(m_renderer->GetColor().packed, 0x01007F00u);
    m_renderer->PopState(CGraphics2d_Lite::kGroupColor);
    EXPECT_EQ(m_renderer->GetColor().packed, 0x80FF0000u);
    EXPECT_EQ(m_renderer->GetColor().fixed.r, 0xFFFF);
}

TEST_F(Graphics2dTest, CloseResetsAndOpenStartsAfresh) {
    m_renderer->SuppressImages(1);
    CRenderSurface* image = KeyedImage();
    m_renderer->DrawImage(image, 0, nullptr);
    EXPECT_EQ(Frame(0, 0), 0u);
    m_renderer->EndFrame();
    m_renderer->Close();
    EXPECT_TRUE(m_renderer->GetClip()->IsEmpty());
    ASSERT_TRUE(m_renderer->Open());
    ASSERT_TRUE(m_renderer->Open());
    m_renderer->BeginFrame();
    m_renderer->DrawImage(image, 0, nullptr);
    EXPECT_EQ(Frame(0, 0), kRed);
}

// Everything one run of draw calls is drawn from; each field is varied alone.
struct DrawInputs {
    bool otherTarget = false;
    bool colourKey = true;
    bool blend = false;
    uint32_t blendMode = CGraphics2d_Lite::kBlendConstant;
    uint32_t colour = 0xFF00FF00u;
    int32_t translateX = 0x30000;
    int16_t clipWidth = 30;
    bool otherImage = false;
    bool imageWritten = false;
    uint32_t flip = 0;
    int16_t sourceX = 0;
    int32_t pieceX = 5;
    int16_t corner = 6;
    uint32_t primitive = CGraphics2d_Lite::kDrawRectangles;
};

class CallHashTest : public Graphics2dTest {
protected:
    void SetUp() override {
        Graphics2dTest::SetUp();
        m_image = KeyedImage();
        m_twin = KeyedImage();
        m_other = MakeImage(40, 32, std::vector<uint16_t>(40 * 32, 0));
    }

    uint64_t Digest(const DrawInputs& in, CDrawCallHash::Mode mode) {
        CRenderSurface* image = in.otherImage ? m_twin : m_image;
        if (in.imageWritten) WriteLock(image);
        if (in.otherTarget) m_other->MakeCurrent();
        m_renderer->StartCallHash(mode);
        if (in.colourKey) m_renderer->Enable(CGraphics2d_Lite::kCapColorKey);
        if (in.blend) m_renderer->Enable(CGraphics2d_Lite::kCapBlend);
        m_renderer->SetBlendMode(in.blendMode);
        m_renderer->SetColor(in.colour);
        m_renderer->SetClip(0, 0, in.clipWidth, 30);
        m_renderer->LoadIdentity();
        m_renderer->Translate(in.translateX, 0x10000);
        CRect source;
        source.Set(in.sourceX, 0, 1, 2);
        m_renderer->DrawImage(image, in.flip, &source);
        const CGraphics2d_Lite::ImagePiece piece = {source, in.pieceX, 1};
        m_renderer->DrawImagePieces(image, 0, &piece, 1);
        const int16_t corners[4] = {1, 1, in.corner, 4};
        m_renderer->VertexPointer(2, CGraphics2d_Lite::kVertexInt16, 0, corners);
        m_renderer->DrawArrays(in.primitive, 0, 2);
        const uint64_t digest = m_renderer->StopCallHash();
        m_renderer->Disable(CGraphics2d_Lite::kCapColorKey);
        m_renderer->Disable(CGraphics2d_Lite::kCapBlend);
        m_renderer->ClearVertexPointer();
        m_device->Surface()->MakeCurrent();
        return digest;
    }

    static void WriteLock(CRenderSurface* image) {
        uint8_t* pixels = nullptr;
        int32_t pitch = 0;
        ASSERT_TRUE(image->Lock(&pixels, &pitch, 0, nullptr));
        image->Unlock(0);
    }

    CRenderSurface* m_image = nullptr;
    CRenderSurface* m_twin = nullptr;
    CRenderSurface* m_other = nullptr;
};

TEST_F(CallHashTest, EveryInputOfADrawChangesTheDigest) {
    const std::vector<std::pair<const char*, std::function<void(DrawInputs&)>>> changes = {
        {"target", [](DrawInputs& in) { in.otherTarget = true; }},
        {"colour key", [](DrawInputs& in) { in.colourKey = false; }},
        {"blending", [](DrawInputs& in) { in.blend = true; }},
        {"blend mode", [](DrawInputs& in) { in.blendMode = CGraphics2d_Lite::kBlendChannels; }},
        {"colour", [](DrawInputs& in) { in.colour = 0xFF00FF01u; }},
        {"translation", [](DrawInputs& in) { in.translateX += 0x8000; }},
        {"clip", [](DrawInputs& in) { in.clipWidth = 29; }},
        {"image", [](DrawInputs& in) { in.otherImage = true; }},
        {"image written", [](DrawInputs& in) { in.imageWritten = true; }},
        {"flip", [](DrawInputs& in) { in.flip = CGraphics2d_Lite::kFlipX; }},
        {"source", [](DrawInputs& in) { in.sourceX = 1; }},
        {"piece", [](DrawInputs& in) { in.pieceX = 6; }},
        {"vertex", [](DrawInputs& in) { in.corner = 7; }},
        {"primitive", [](DrawInputs& in) { in.primitive = CGraphics2d_Lite::kDrawLines; }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        DrawInputs changed;
        change(changed);
        const uint64_t unchanged = Digest(DrawInputs(), CDrawCallHash::Mode::kRehearse);
        EXPECT_EQ(Digest(DrawInputs(), CDrawCallHash::Mode::kRehearse), unchanged);
        EXPECT_NE(Digest(changed, CDrawCallHash::Mode::kRehearse), unchanged);
    }
}

TEST_F(CallHashTest, ARehearsalDigestsWhatARecordingDrawsAndDrawsNothing) {
    CRenderSurface* screen = m_device->Surface();
    const std::vector<uint32_t> blank = m_drawing->ReadFrame();
    const uint64_t serial = screen->GetChangeSerial();
    const uint64_t rehearsed = Digest(DrawInputs(), CDrawCallHash::Mode::kRehearse);
    EXPECT_EQ(m_drawing->ReadFrame(), blank);
    EXPECT_EQ(screen->GetChangeSerial(), serial);
    EXPECT_EQ(Digest(DrawInputs(), CDrawCallHash::Mode::kRecord), rehearsed);
    EXPECT_NE(m_drawing->ReadFrame(), blank);
    EXPECT_NE(screen->GetChangeSerial(), serial);
}

TEST_F(CallHashTest, TheChangeSerialMovesWithTheTargetsPixelsNotWithTheFrameLock) {
    CRenderSurface* screen = m_device->Surface();
    uint64_t serial = screen->GetChangeSerial();
    m_renderer->EndFrame();
    m_renderer->BeginFrame();
    EXPECT_EQ(screen->GetChangeSerial(), serial);

    FillCorners(1, 1, 3, 3);
    EXPECT_NE(screen->GetChangeSerial(), serial);
    serial = screen->GetChangeSerial();
    ResetFrame();
    EXPECT_NE(screen->GetChangeSerial(), serial);

    // Restoring a copy changes the screen, not the copy it reads.
    serial = screen->GetChangeSerial();
    const uint64_t copySerial = m_other->GetChangeSerial();
    ASSERT_TRUE(m_renderer->RestoreTarget(m_other));
    EXPECT_NE(screen->GetChangeSerial(), serial);
    EXPECT_EQ(m_other->GetChangeSerial(), copySerial);
}

}  // namespace
