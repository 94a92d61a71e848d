// A frame drawn through the 2D renderer into the handset's window surface
// and presented: the frame the host shows (the headless backend's copy, or
// a real window on a virtual X display) equals, pixel for pixel, the frame
// painted by a plain reference and stretched to the screen.

#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "../graphics2d/Reference565.h"
#include "BigArchiveWriter.h"
#include "CBigFileReader.h"
#include "CDrawUtil.h"
#include "CGraphics2d_Lite.h"
#include "CRegistry.h"
#include "CResourceFactory.h"
#include "CResourceManager_v1.h"
#include "CResourceRenderSurface.h"
#include "DisplayTestSupport.h"
#include "HostFrame.h"
#include "HostPath.h"
#include "HostWindowSystem.h"
#include "SdlBackend.h"
#include "WinCeWindow.h"
#include "XvfbServer.h"

namespace {

constexpr uint32_t kBmpType = 0xB717945F;
constexpr uint32_t kImageType = 0xE179EFBE;
constexpr uint32_t kArchiveId = 0xA0D7812D;
constexpr uint32_t kBitmapId = 0x30;
constexpr uint32_t kImageId = 0x31;
constexpr uint32_t kMagenta = 0xFF00FF;
constexpr int32_t kImageWidth = 6;
constexpr int32_t kImageHeight = 4;
constexpr uint32_t kClearArgb = 0xFF203040;

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
    std::vector<uint8_t> out = {'B', 'M'};
    Le(out, 54 + rowBytes * kImageHeight, 4);
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
        out.resize(out.size() + rowBytes - kImageWidth * 3, 0);
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

// The back buffer as it should be, in the display's pixels (r5g6b5, or
// 0xRRGGBB for x8r8g8b8), painted pixel by pixel.
class ExpectedFrame {
public:
    ExpectedFrame(int32_t width, int32_t height, uint32_t format)
        : m_width(width), m_height(height), m_wide(format == HostFrame::kX8R8G8B8),
          m_pixels(static_cast<size_t>(width * height), Encode(kClearArgb & 0xFFFFFF)) {}

    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    uint32_t Get(int32_t x, int32_t y) const { return m_pixels[Index(x, y)]; }
    // What a presented pixel holds of the display's pixel.
    uint32_t Mask() const { return m_wide ? 0xFFFFFF : 0xFFFF; }

    uint32_t Encode(uint32_t rgb) const { return m_wide ? rgb : ref565::FromRgb(rgb); }

    void Clip(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
        m_clipX0 = x0;
        m_clipY0 = y0;
        m_clipX1 = x1;
        m_clipY1 = y1;
    }
    void Fill(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t rgb) {
        for (int32_t y = y0; y < y1; ++y) {
            for (int32_t x = x0; x < x1; ++x) Set(x, y, Encode(rgb));
        }
    }

    enum class Ink { Plain, Keyed, Blended };

    // Source (sx, sy, w, h) of the picture at (x, y), mirrored as asked.
    void Image(int32_t x, int32_t y, int32_t sx, int32_t sy, int32_t w, int32_t h, bool mirrorX, bool mirrorY,
               Ink ink) {
        for (int32_t j = 0; j < h; ++j) {
            for (int32_t i = 0; i < w; ++i) {
                const uint32_t rgb = ImageRgb(sx + (mirrorX ? w - 1 - i : i), sy + (mirrorY ? h - 1 - j : j));
                if (ink != Ink::Plain && rgb == kMagenta) continue;
                if (x + i < 0 || y + j < 0 || x + i >= m_width || y + j >= m_height) continue;
                Set(x + i, y + j, ink == Ink::Blended ? HalfBlend(Encode(rgb), Get(x + i, y + j)) : Encode(rgb));
            }
        }
    }

private:
    // Constant alpha 0x80: (s × a + d × (255 − a)) / 256 per 8-bit channel.
    uint32_t HalfBlend(uint32_t source, uint32_t dest) const {
        if (!m_wide) return ref565::Blend565(source, dest, 0x80);
        uint32_t mixed = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            mixed |= ref565::Mix(source >> shift & 0xFF, dest >> shift & 0xFF, 0x80) << shift;
        }
        return mixed;
    }
    void Set(int32_t x, int32_t y, uint32_t value) {
        if (x >= m_clipX0 && y >= m_clipY0 && x < m_clipX1 && y < m_clipY1) m_pixels[Index(x, y)] = value;
    }
    size_t Index(int32_t x, int32_t y) const { return static_cast<size_t>(y * m_width + x); }

    int32_t m_width;
    int32_t m_height;
    bool m_wide;
    std::vector<uint32_t> m_pixels;
    int32_t m_clipX0 = 0;
    int32_t m_clipY0 = 0;
    int32_t m_clipX1 = 1 << 20;
    int32_t m_clipY1 = 1 << 20;
};

// A presented frame: the back buffer stretched twice in each direction.
// Counts the screen pixels that differ and describes the first few.
int32_t CountMismatches(const ExpectedFrame& expected, int32_t screenWidth, int32_t screenHeight,
                        uint32_t (*pixelAt)(const void* context, int32_t x, int32_t y), const void* context,
                        std::string* report) {
    int32_t mismatches = 0;
    for (int32_t y = 0; y < screenHeight; ++y) {
        for (int32_t x = 0; x < screenWidth; ++x) {
            const uint32_t want = expected.Get(x / 2, y / 2);
            const uint32_t got = pixelAt(context, x, y) & expected.Mask();
            if (got == want || ++mismatches > 8) continue;
            char line[96];
            std::snprintf(line, sizeof(line), "screen pixel (%d, %d): 0x%x expected 0x%x\n", x, y, got, want);
            *report += line;
        }
    }
    return mismatches;
}

// The window's pixels, read back in the display's own layout so that the
// comparison does not depend on how the window widens 565 pixels.
struct WindowShot {
    std::vector<uint8_t> pixels;
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytes = 0;

    static uint32_t PixelAt(const void* context, int32_t x, int32_t y) {
        const WindowShot* shot = static_cast<const WindowShot*>(context);
        uint32_t value = 0;
        std::memcpy(&value, shot->pixels.data() + (static_cast<size_t>(y) * shot->width + x) * shot->bytes,
                    static_cast<size_t>(shot->bytes));
        return value;
    }

    bool Read(SDL_Renderer* renderer, bool wide) {
        if (SDL_GetRendererOutputSize(renderer, &width, &height) != 0) return false;
        bytes = wide ? 4 : 2;
        pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * static_cast<size_t>(bytes));
        return SDL_RenderReadPixels(renderer, nullptr, wide ? SDL_PIXELFORMAT_ARGB8888 : SDL_PIXELFORMAT_RGB565,
                                    pixels.data(), width * bytes) == 0;
    }
};

// Ends the process that showed the window: 0 when it showed the frame,
// else 1 after saying why. The X and D-Bus client libraries keep memory
// to the end, which the leak check of this short-lived process need not see.
[[noreturn]] void EndDesktopProcess(int32_t mismatches, const std::string& report) {
    std::fputs(report.c_str(), stderr);
    std::fflush(stderr);
    ::_exit(mismatches == 0 && report.empty() ? 0 : 1);
}

class WindowSceneTest : public DisplayTest, public ::testing::WithParamInterface<uint32_t> {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        new ImageFactory();
        m_path = std::filesystem::temp_directory_path() / ("window-scene-" + std::to_string(::getpid()) + ".big");
        BigArchiveWriter writer(IdTableForm::List);
        std::string error;
        ASSERT_TRUE(writer.AddPayload(271, 0, std::vector<uint8_t>(20, 0), false, 4, error)) << error;
        ASSERT_TRUE(writer.AddPayload(kBitmapId, kBmpType, PictureBmp(), true, 4, error)) << error;
        ASSERT_TRUE(writer.AddPayload(kImageId, kImageType, Pairs({6, 0xFFFFFFFF, 14, kBitmapId}), false, 4, error));
        ASSERT_TRUE(writer.WriteFile(m_path.string(), error)) << error;
        ASSERT_TRUE(m_archive.Open(HostPath::ToWide(m_path.string()).c_str()));
        m_archiveItem = m_app.GetRegistry()->NewItem(kArchiveId, &m_archive, CBigFileReader::kClassKey, 0x3FFFFFFF);
        m_app.GetRegistry()->Register(m_archiveItem);
        m_manager = new CResourceManager_v1();
        ASSERT_TRUE(m_manager->Open(&m_archive, 20, 8, true));
        m_app.SetResourceManager(m_manager);
    }

    void TearDown() override {
        if (m_renderer != nullptr) {
            m_renderer->Close();
            delete m_renderer;
        }
        m_manager->Close();
        m_app.SetResourceManager(nullptr);
        delete m_manager;
        m_app.GetRegistry()->Unregister(m_archiveItem);
        delete m_archiveItem;
        m_archive.Close();
        std::filesystem::remove(m_path);
        DisplayTest::TearDown();
    }

    // The device and the renderer, open on a handset screen of that size.
    void OpenScreen(int32_t width, int32_t height) {
        ASSERT_TRUE(OpenDisplay(width, height, GetParam()));
        m_renderer = CreateGraphics2d();
        ASSERT_NE(m_renderer, nullptr);
        ASSERT_TRUE(m_renderer->Open());
        CResource* resource = nullptr;
        ASSERT_NE(m_manager->CreateByHandle(kImageId, &resource), CResourceManager::kFailed);
        m_picture = static_cast<CResourceRenderSurface*>(resource)->GetSurface();
        ASSERT_NE(m_picture, nullptr);
    }

    void MoveTo(int32_t xFixed, int32_t yFixed) {
        m_renderer->LoadIdentity();
        m_renderer->Translate(xFixed, yFixed);
    }

    // One frame as the application paints it: frame hooks, the scene, and
    // the presentation. Returns what the frame should look like.
    ExpectedFrame PaintFrame() {
        uint32_t width = 0;
        uint32_t height = 0;
        m_device->GetCurrentSurface()->GetSize(&width, &height);
        const int32_t w = static_cast<int32_t>(width);
        const int32_t h = static_cast<int32_t>(height);
        ExpectedFrame expected(w, h, GetParam());

        m_device->BeginFrame();
        m_renderer->BeginFrame();
        m_renderer->SetOrigin(CGraphics2d_Lite::kOriginTopLeft);
        m_renderer->Disable(CGraphics2d_Lite::kCapColorKey);
        m_renderer->Disable(CGraphics2d_Lite::kCapBlend);
        m_renderer->LoadIdentity();
        m_device->SetClearColor(kClearArgb);
        m_device->Clear(CGraphics::kClearColor);

        CDrawUtil::FillRect(2, 2, 20, 10, 0xFFFFC000u);
        expected.Fill(2, 2, 20, 10, 0xFFC000);
        CDrawUtil::DrawLine(0, 30, 40, 30, 0xFF00FFFFu);
        expected.Fill(0, 30, 41, 31, 0x00FFFF);
        CDrawUtil::DrawLine(50, 0, 50, 20, 0xFFFFFFFFu);
        expected.Fill(50, 0, 51, 21, 0xFFFFFF);
        CRect frame;
        frame.Set(44, 24, 10, 6);
        CDrawUtil::DrawRectFrame(frame, 0xFF0000FFu, 1, 0);
        expected.Fill(44, 24, 54, 25, 0x0000FF);
        expected.Fill(44, 29, 54, 30, 0x0000FF);
        expected.Fill(44, 24, 45, 30, 0x0000FF);
        expected.Fill(53, 24, 54, 30, 0x0000FF);

        // Plain, under a translation whose half pixels are dropped.
        MoveTo(0x48000, 0xC8000);
        m_renderer->DrawImage(m_picture, 0, nullptr);
        expected.Image(4, 12, 0, 0, 6, 4, false, false, ExpectedFrame::Ink::Plain);

        m_renderer->Enable(CGraphics2d_Lite::kCapColorKey);
        MoveTo(12 << 16, 12 << 16);
        m_renderer->DrawImage(m_picture, 0, nullptr);
        expected.Image(12, 12, 0, 0, 6, 4, false, false, ExpectedFrame::Ink::Keyed);

        // Constant alpha over the orange rectangle.
        m_renderer->PushState(CGraphics2d_Lite::kGroupBlend);
        m_renderer->Enable(CGraphics2d_Lite::kCapBlend);
        m_renderer->SetBlendMode(CGraphics2d_Lite::kBlendConstant);
        m_renderer->SetColor(0x80FFFFFFu);
        MoveTo(16 << 16, 4 << 16);
        m_renderer->DrawImage(m_picture, 0, nullptr);
        expected.Image(16, 4, 0, 0, 6, 4, false, false, ExpectedFrame::Ink::Blended);
        m_renderer->PopState(CGraphics2d_Lite::kGroupBlend);

        MoveTo(28 << 16, 12 << 16);
        m_renderer->DrawImage(m_picture, CGraphics2d_Lite::kFlipX | CGraphics2d_Lite::kFlipY, nullptr);
        expected.Image(28, 12, 0, 0, 6, 4, true, true, ExpectedFrame::Ink::Keyed);
        MoveTo(36 << 16, 12 << 16);
        m_renderer->DrawImage(m_picture, CGraphics2d_Lite::kFlipX, nullptr);
        expected.Image(36, 12, 0, 0, 6, 4, true, false, ExpectedFrame::Ink::Keyed);

        // Clipped by the clip rectangle, by the surface's edge and by a
        // source rectangle, near the corners of whichever way the screen is.
        m_renderer->Disable(CGraphics2d_Lite::kCapColorKey);
        m_renderer->SetClip(0, 0, static_cast<int16_t>(w - 4), static_cast<int16_t>(h - 4));
        expected.Clip(0, 0, w - 4, h - 4);
        MoveTo((w - 7) << 16, (h - 6) << 16);
        m_renderer->DrawImage(m_picture, 0, nullptr);
        expected.Image(w - 7, h - 6, 0, 0, 6, 4, false, false, ExpectedFrame::Ink::Plain);
        MoveTo(-3 * 65536, (h - 8) << 16);
        m_renderer->DrawImage(m_picture, CGraphics2d_Lite::kFlipY, nullptr);
        expected.Image(-3, h - 8, 0, 0, 6, 4, false, true, ExpectedFrame::Ink::Plain);
        CRect source;
        source.Set(1, 1, 4, 3);
        MoveTo(40 << 16, 36 << 16);
        m_renderer->DrawImage(m_picture, CGraphics2d_Lite::kFlipX, &source);
        expected.Image(40, 36, 1, 1, 4, 3, true, false, ExpectedFrame::Ink::Plain);
        m_renderer->LoadIdentity();
        CDrawUtil::FillRect(w - 6, 0, w, 3, 0xFFFFFFFFu);
        expected.Fill(w - 6, 0, w, 3, 0xFFFFFF);

        m_renderer->EndFrame();
        m_device->EndFrame();
        m_device->Present();
        return expected;
    }

    // The last frame the headless backend was given, against the expected one.
    void ExpectPresented(const ExpectedFrame& expected) {
        const HostFrame& frame = LastFrame();
        ASSERT_EQ(frame.Width(), expected.Width() * 2);
        ASSERT_EQ(frame.Height(), expected.Height() * 2);
        EXPECT_EQ(frame.Format(), GetParam());
        auto pixelAt = [](const void* context, int32_t x, int32_t y) {
            return static_cast<const HostFrame*>(context)->PixelAt(x, y);
        };
        std::string report;
        EXPECT_EQ(CountMismatches(expected, frame.Width(), frame.Height(), pixelAt, &frame, &report), 0) << report;
    }

    // Runs in the child process of the desktop test; does not return.
    void ShowInDesktopWindow() {
        ::setenv("SDL_VIDEODRIVER", "x11", 1);
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
        std::string error;
        SdlBackend* backend = SdlBackend::Create(&error);
        if (backend == nullptr) EndDesktopProcess(-1, error + "\n");
        HostWindowSystem::SetBackend(backend);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.lpszClassName = u"scene";
        if (RegisterClassW(&windowClass) == 0 ||
            CreateWindowExW(0, u"scene", u"handset", WS_VISIBLE, 0, 0, 480, 640, nullptr, nullptr, nullptr,
                            nullptr) == nullptr) {
            EndDesktopProcess(-1, "the handset's window cannot be made\n");
        }
        OpenScreen(480, 640);
        const ExpectedFrame expected = PaintFrame();
        SDL_Renderer* renderer = SDL_GetRenderer(SDL_GetWindowFromID(backend->WindowId()));
        WindowShot shot;
        if (renderer == nullptr || !shot.Read(renderer, GetParam() == HostFrame::kX8R8G8B8)) {
            EndDesktopProcess(-1, std::string("the window cannot be read: ") + SDL_GetError() + "\n");
        }
        if (shot.width != 480 || shot.height != 640) EndDesktopProcess(-1, "the window is not the screen's size\n");
        std::string report;
        const int32_t mismatches =
            CountMismatches(expected, shot.width, shot.height, WindowShot::PixelAt, &shot, &report);
        EndDesktopProcess(mismatches, report);
    }

    std::filesystem::path m_path;
    CBigFileReader m_archive;
    CRegistryItem* m_archiveItem = nullptr;
    CResourceManager_v1* m_manager = nullptr;
    CGraphics2d_Lite* m_renderer = nullptr;
    CRenderSurface* m_picture = nullptr;
};

TEST_P(WindowSceneTest, PresentedFrameMatchesTheReferencePixelForPixel) {
    OpenScreen(480, 640);
    const ExpectedFrame expected = PaintFrame();
    EXPECT_EQ(FramesPresented(), 1u);
    ExpectPresented(expected);
    EXPECT_FALSE(Window()->IsLocked());
}

TEST_P(WindowSceneTest, AfterTheScreenTurnsTheNextFramePresentsAtTheNewSize) {
    OpenScreen(480, 640);
    PaintFrame();
    Rotate();
    uint32_t width = 0;
    uint32_t height = 0;
    ASSERT_TRUE(m_device->GetCurrentSurface()->GetSize(&width, &height));
    EXPECT_EQ(width, 320u);
    EXPECT_EQ(height, 240u);
    const ExpectedFrame expected = PaintFrame();
    EXPECT_EQ(FramesPresented(), 2u);
    ExpectPresented(expected);
}

// The same frame in a real window on a virtual X display: the desktop
// backend with SDL's software renderer, the window's pixels read back. The
// window lives in a child process of its own.
TEST_P(WindowSceneTest, SameFrameAppearsInTheDesktopWindow) {
    if (!XvfbServer::IsInstalled()) {
        GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps.sh installs xvfb): "
                        "the desktop window is not checked";
    }
    XvfbServer server;
    std::string error;
    ASSERT_TRUE(server.Start(1280, 1024, &error)) << error;
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(ShowInDesktopWindow(), ::testing::ExitedWithCode(0), "");
}

INSTANTIATE_TEST_SUITE_P(Displays, WindowSceneTest, ::testing::Values(HostFrame::kR5G6B5, HostFrame::kX8R8G8B8),
                         [](const ::testing::TestParamInfo<uint32_t>& info) {
                             return info.param == HostFrame::kR5G6B5 ? std::string("R5G6B5") : std::string("X8R8G8B8");
                         });

}  // namespace
