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
#include <string>
#include <vector>

#include "CGraphics2d_Lite.h"
#include "CResourceManager_v1.h"
#include "CResourceRenderSurface.h"
#include "DisplayTestSupport.h"
#include "HostFrame.h"
#include "HostWindowSystem.h"
#include "MountedArchive.h"
#include "SceneData.h"
#include "SceneReference.h"
#include "SdlBackend.h"
#include "WinCeWindow.h"
#include "XvfbServer.h"

namespace {

// A presented frame: the back buffer stretched twice in each direction.
// Counts the screen pixels that differ and describes the first few.
int32_t CountMismatches(const SceneReference& expected, int32_t screenWidth, int32_t screenHeight,
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
        std::string error;
        ASSERT_TRUE(scenetest::MountScene(&m_app, &m_archive, "window-scene", &error)) << error;
    }

    void TearDown() override {
        if (m_renderer != nullptr) {
            m_renderer->Close();
            delete m_renderer;
        }
        m_archive.Unmount();
        DisplayTest::TearDown();
    }

    // The device and the renderer, open on a handset screen of that size.
    void OpenScreen(int32_t width, int32_t height) {
        ASSERT_TRUE(OpenDisplay(width, height, GetParam()));
        m_renderer = CreateGraphics2d();
        ASSERT_NE(m_renderer, nullptr);
        ASSERT_TRUE(m_renderer->Open());
        CResource* resource = nullptr;
        ASSERT_NE(m_archive.Manager()->CreateByHandle(scenetest::kImageId, &resource), CResourceManager::kFailed);
        m_picture = static_cast<CResourceRenderSurface*>(resource)->GetSurface();
        ASSERT_NE(m_picture, nullptr);
    }

    // One frame as the application paints it: frame hooks, the scene, and
    // the presentation. Returns what the frame should look like.
    SceneReference PaintFrame() {
        uint32_t width = 0;
        uint32_t height = 0;
        m_device->GetCurrentSurface()->GetSize(&width, &height);
        SceneReference expected(static_cast<int32_t>(width), static_cast<int32_t>(height),
                                GetParam() == HostFrame::kX8R8G8B8);

        m_device->BeginFrame();
        m_renderer->BeginFrame();
        m_renderer->SetOrigin(CGraphics2d_Lite::kOriginTopLeft);
        m_renderer->Disable(CGraphics2d_Lite::kCapColorKey);
        m_renderer->Disable(CGraphics2d_Lite::kCapBlend);
        m_renderer->LoadIdentity();
        scenetest::PaintOpenScene(m_device, m_renderer, m_picture, &expected);
        scenetest::PaintClippedScene(m_renderer, m_picture, &expected);
        m_renderer->EndFrame();
        m_device->EndFrame();
        m_device->Present();
        return expected;
    }

    // The last frame the headless backend was given, against the expected one.
    void ExpectPresented(const SceneReference& expected) {
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
        const SceneReference expected = PaintFrame();
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

    MountedArchive m_archive;
    CGraphics2d_Lite* m_renderer = nullptr;
    CRenderSurface* m_picture = nullptr;
};

TEST_P(WindowSceneTest, PresentedFrameMatchesTheReferencePixelForPixel) {
    OpenScreen(480, 640);
    const SceneReference expected = PaintFrame();
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
    const SceneReference expected = PaintFrame();
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
