// A whole frame drawn through the 2D renderer into an off-screen surface and
// compared, pixel for pixel, with the frame painted by a plain reference.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "BigArchiveWriter.h"
#include "CBigFileReader.h"
#include "CDrawUtil.h"
#include "CRegistry.h"
#include "CResourceFactory.h"
#include "CResourceManager_v1.h"
#include "CResourceRenderSurface.h"
#include "HostPath.h"
#include "Reference565.h"
#include "RendererFixture.h"

namespace {

constexpr uint32_t kBmpType = 0xB717945F;
constexpr uint32_t kImageType = 0xE179EFBE;
constexpr uint32_t kArchiveId = 0xA0D7812D;
constexpr uint32_t kBitmapId = 0x30;
constexpr uint32_t kImageId = 0x31;
constexpr uint32_t kMissingImageId = 0x32;
constexpr uint32_t kMagenta = 0xFF00FF;
constexpr int32_t kImageWidth = 6;
constexpr int32_t kImageHeight = 4;

// The picture: a gradient with a magenta (transparent) diagonal.
uint32_t ImageRgb(int32_t x, int32_t y) {
    if (x == y || x == y + 2) return kMagenta;
    return static_cast<uint32_t>(40 * x + 10) << 16 | static_cast<uint32_t>(60 * y + 5) << 8 |
           static_cast<uint32_t>(200 - 25 * x);
}

void Le(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A 24-bit bottom-up BMP of the picture.
std::vector<uint8_t> PictureBmp() {
    const uint32_t rowBytes = (kImageWidth * 3 + 3) / 4 * 4;
    const uint32_t pixelBytes = rowBytes * kImageHeight;
    std::vector<uint8_t> out = {'B', 'M'};
    Le(out, 54 + pixelBytes, 4);
    Le(out, 0, 4);
    Le(out, 54, 4);
    Le(out, 40, 4);
    Le(out, kImageWidth, 4);
    Le(out, kImageHeight, 4);
    Le(out, 1, 2);
    Le(out, 24, 2);
    for (int i = 0; i < 6; ++i) Le(out, 0, 4);
    for (int32_t y = kImageHeight - 1; y >= 0; --y) {
        for (int32_t x = 0; x < kImageWidth; ++x) Le(out, ImageRgb(x, y), 3);
        for (uint32_t pad = kImageWidth * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    return out;
}

std::vector<uint8_t> Pairs(std::initializer_list<uint32_t> words) {
    std::vector<uint8_t> out;
    for (uint32_t word : words) Le(out, word, 4);
    return out;
}

// Serves the image type as the game's factory does; the singleton table owns it.
class ImageFactory : public CResourceFactory {
public:
    bool Create(uint32_t typeKey, CResource** outResource) override {
        *outResource = typeKey == kImageType ? new CResourceRenderSurface() : nullptr;
        return *outResource != nullptr;
    }
};

// The frame as it should be, painted pixel by pixel.
class ReferenceFrame {
public:
    ReferenceFrame(int32_t width, int32_t height, uint32_t clear)
        : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width * height), clear) {}

    void Set(int32_t x, int32_t y, uint32_t value) {
        if (x >= m_clipX0 && y >= m_clipY0 && x < m_clipX1 && y < m_clipY1) m_pixels[Index(x, y)] = value;
    }
    uint32_t Get(int32_t x, int32_t y) const { return m_pixels[Index(x, y)]; }
    void Clip(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
        m_clipX0 = x0;
        m_clipY0 = y0;
        m_clipX1 = x1;
        m_clipY1 = y1;
    }
    void Fill(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t value) {
        for (int32_t y = y0; y < y1; ++y) {
            for (int32_t x = x0; x < x1; ++x) Set(x, y, value);
        }
    }

    enum class Ink { Plain, Keyed, Blended };

    // Source (sx, sy, w, h) of the picture at (x, y), mirrored as asked.
    void Image(int32_t x, int32_t y, int32_t sx, int32_t sy, int32_t w, int32_t h, bool mirrorX, bool mirrorY,
               Ink ink, uint32_t alpha) {
        for (int32_t j = 0; j < h; ++j) {
            for (int32_t i = 0; i < w; ++i) {
                const int32_t px = sx + (mirrorX ? w - 1 - i : i);
                const int32_t py = sy + (mirrorY ? h - 1 - j : j);
                const uint32_t rgb = ImageRgb(px, py);
                if (ink != Ink::Plain && rgb == kMagenta) continue;
                const uint32_t source = ref565::FromRgb(rgb);
                const bool inside = x + i >= 0 && y + j >= 0 && x + i < m_width && y + j < m_height;
                if (!inside) continue;
                Set(x + i, y + j, ink == Ink::Blended ? ref565::Blend565(source, Get(x + i, y + j), alpha) : source);
            }
        }
    }

private:
    size_t Index(int32_t x, int32_t y) const { return static_cast<size_t>(y * m_width + x); }

    int32_t m_width;
    int32_t m_height;
    std::vector<uint32_t> m_pixels;
    int32_t m_clipX0 = 0;
    int32_t m_clipY0 = 0;
    int32_t m_clipX1 = 1 << 20;
    int32_t m_clipY1 = 1 << 20;
};

class SceneTest : public rendertest::RendererTest {
protected:
    SceneTest() : RendererTest(64, 48) {}

    void SetUp() override {
        rendertest::RendererTest::SetUp();
        new ImageFactory();
        m_path = std::filesystem::temp_directory_path() / ("scene-" + std::to_string(::getpid()) + ".big");
        BigArchiveWriter writer(IdTableForm::List);
        std::string error;
        ASSERT_TRUE(writer.AddPayload(271, 0, std::vector<uint8_t>(20, 0), false, 4, error)) << error;
        ASSERT_TRUE(writer.AddPayload(kBitmapId, kBmpType, PictureBmp(), true, 4, error)) << error;
        ASSERT_TRUE(writer.AddPayload(kImageId, kImageType, Pairs({6, 0xFFFFFFFF, 14, kBitmapId}), false, 4, error));
        ASSERT_TRUE(writer.AddPayload(kMissingImageId, kImageType, Pairs({6, 0xFFFFFFFF, 14, 0x7777}), false, 4,
                                      error));
        ASSERT_TRUE(writer.WriteFile(m_path.string(), error)) << error;
        ASSERT_TRUE(m_archive.Open(HostPath::ToWide(m_path.string()).c_str()));
        m_archiveItem = m_app.GetRegistry()->NewItem(kArchiveId, &m_archive, CBigFileReader::kClassKey, 0x3FFFFFFF);
        m_app.GetRegistry()->Register(m_archiveItem);
        m_manager = new CResourceManager_v1();
        ASSERT_TRUE(m_manager->Open(&m_archive, 20, 8, true));
        m_app.SetResourceManager(m_manager);
    }

    void TearDown() override {
        m_manager->Close();
        m_app.SetResourceManager(nullptr);
        delete m_manager;
        m_app.GetRegistry()->Unregister(m_archiveItem);
        delete m_archiveItem;
        m_archive.Close();
        std::filesystem::remove(m_path);
        rendertest::RendererTest::TearDown();
    }

    CRenderSurface* LoadImage(uint32_t handle) {
        CResource* resource = nullptr;
        if (m_manager->CreateByHandle(handle, &resource) == CResourceManager::kFailed) return nullptr;
        return static_cast<CResourceRenderSurface*>(resource)->GetSurface();
    }

    void MoveTo(int32_t xFixed, int32_t yFixed) {
        m_renderer->LoadIdentity();
        m_renderer->Translate(xFixed, yFixed);
    }

    std::filesystem::path m_path;
    CBigFileReader m_archive;
    CRegistryItem* m_archiveItem = nullptr;
    CResourceManager_v1* m_manager = nullptr;
};

TEST_F(SceneTest, FrameMatchesTheReferencePixelForPixel) {
    CRenderSurface* picture = LoadImage(kImageId);
    ASSERT_NE(picture, nullptr);
    CRenderSurface* missing = LoadImage(kMissingImageId);
    EXPECT_EQ(missing, nullptr);
    const uint32_t clear = 0xFF203040u;
    ReferenceFrame expected(64, 48, ref565::FromRgb(clear & 0xFFFFFF));

    m_device->SetClearColor(clear);
    m_device->Clear(CGraphics::kClearColor);
    CDrawUtil::FillRect(2, 2, 20, 10, 0xFFFFC000u);
    expected.Fill(2, 2, 20, 10, ref565::FromRgb(0xFFC000));
    CDrawUtil::DrawLine(0, 30, 40, 30, 0xFF00FFFFu);
    expected.Fill(0, 30, 41, 31, ref565::FromRgb(0x00FFFF));
    CDrawUtil::DrawLine(50, 0, 50, 20, 0xFFFFFFFFu);
    expected.Fill(50, 0, 51, 21, 0xFFFF);
    CRect frame;
    frame.Set(44, 24, 10, 6);
    CDrawUtil::DrawRectFrame(frame, 0xFF0000FFu, 1, 0);
    expected.Fill(44, 24, 54, 25, 0x001F);
    expected.Fill(44, 29, 54, 30, 0x001F);
    expected.Fill(44, 24, 45, 30, 0x001F);
    expected.Fill(53, 24, 54, 30, 0x001F);

    // Plain, under a translation whose half pixels are dropped.
    MoveTo(0x48000, 0xC8000);
    m_renderer->DrawImage(picture, 0, nullptr);
    expected.Image(4, 12, 0, 0, 6, 4, false, false, ReferenceFrame::Ink::Plain, 0);

    m_renderer->Enable(CGraphics2d_Lite::kCapColorKey);
    MoveTo(12 << 16, 12 << 16);
    m_renderer->DrawImage(picture, 0, nullptr);
    expected.Image(12, 12, 0, 0, 6, 4, false, false, ReferenceFrame::Ink::Keyed, 0);

    // Constant alpha over the orange rectangle.
    m_renderer->PushState(CGraphics2d_Lite::kGroupBlend);
    m_renderer->Enable(CGraphics2d_Lite::kCapBlend);
    m_renderer->SetBlendMode(CGraphics2d_Lite::kBlendConstant);
    m_renderer->SetColor(0x80FFFFFFu);
    MoveTo(16 << 16, 4 << 16);
    m_renderer->DrawImage(picture, 0, nullptr);
    expected.Image(16, 4, 0, 0, 6, 4, false, false, ReferenceFrame::Ink::Blended, 0x80);
    m_renderer->PopState(CGraphics2d_Lite::kGroupBlend);

    MoveTo(28 << 16, 12 << 16);
    m_renderer->DrawImage(picture, CGraphics2d_Lite::kFlipX | CGraphics2d_Lite::kFlipY, nullptr);
    expected.Image(28, 12, 0, 0, 6, 4, true, true, ReferenceFrame::Ink::Keyed, 0);
    MoveTo(36 << 16, 12 << 16);
    m_renderer->DrawImage(picture, CGraphics2d_Lite::kFlipX, nullptr);
    expected.Image(36, 12, 0, 0, 6, 4, true, false, ReferenceFrame::Ink::Keyed, 0);

    // A missing image draws nothing and breaks nothing after it.
    m_renderer->DrawImage(missing, 0, nullptr);

    // Clipped by the clip rectangle, by the surface and by a source rectangle.
    m_renderer->Disable(CGraphics2d_Lite::kCapColorKey);
    m_renderer->SetClip(0, 0, 60, 44);
    expected.Clip(0, 0, 60, 44);
    MoveTo(57 << 16, 42 << 16);
    m_renderer->DrawImage(picture, 0, nullptr);
    expected.Image(57, 42, 0, 0, 6, 4, false, false, ReferenceFrame::Ink::Plain, 0);
    MoveTo(-3 << 16, 40 << 16);
    m_renderer->DrawImage(picture, CGraphics2d_Lite::kFlipY, nullptr);
    expected.Image(-3, 40, 0, 0, 6, 4, false, true, ReferenceFrame::Ink::Plain, 0);
    CRect source;
    source.Set(1, 1, 4, 3);
    MoveTo(40 << 16, 36 << 16);
    m_renderer->DrawImage(picture, CGraphics2d_Lite::kFlipX, &source);
    expected.Image(40, 36, 1, 1, 4, 3, true, false, ReferenceFrame::Ink::Plain, 0);
    m_renderer->LoadIdentity();
    CDrawUtil::FillRect(58, 0, 64, 3, 0xFFFFFFFFu);
    expected.Fill(58, 0, 64, 3, 0xFFFF);
    m_renderer->EndFrame();
    m_device->Present();

    int mismatches = 0;
    for (int32_t y = 0; y < 48; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            if (Frame(x, y) != expected.Get(x, y) && ++mismatches <= 10) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): 0x" << std::hex << Frame(x, y) << " expected 0x"
                              << expected.Get(x, y);
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_FALSE(m_device->Surface()->IsLocked());
    EXPECT_EQ(m_device->presents, 1);
    m_renderer->BeginFrame();
}

}  // namespace
