#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "AssertCounter.h"
#include "CBlitUtil.h"
#include "CMessage.h"
#include "CRenderSurfaceFactory.h"
#include "CRenderSurface_SW_OffScreen.h"
#include "DisplayTestSupport.h"
#include "EngineEvents.h"
#include "HostDisplay.h"
#include "HostFrame.h"
#include "HostSystemInfo.h"

namespace {

using namespace EngineEvent;

constexpr uint32_t k565 = 0x21302;
constexpr uint32_t k888 = 0xB0304;

uint32_t Pack565(uint32_t rgb) { return (rgb >> 19 & 0x1F) << 11 | (rgb >> 10 & 0x3F) << 5 | (rgb >> 3 & 0x1F); }

std::string Text(const CStrChar* name) {
    if (name == nullptr) return "(null)";
    return name->GetBuffer() == nullptr ? std::string() : std::string(name->GetBuffer());
}

class CGraphicsWinMobileTest : public DisplayTest {
protected:
    // Nothing of an open device is left: no listener, surface, back end,
    // driver object or registration.
    void ExpectFullyClosed() {
        EXPECT_FALSE(m_device->IsOpen());
        EXPECT_FALSE(m_device->IsInitialised());
        EXPECT_FALSE(m_device->IsDriverOpen());
        EXPECT_EQ(m_device->GetListener(), nullptr);
        EXPECT_EQ(m_device->GetWindowSurface(), nullptr);
        EXPECT_EQ(m_device->GetBackEnd(), nullptr);
        EXPECT_EQ(HostDisplay::LiveSurfaces(), 0);
        EXPECT_EQ(HostDisplay::LiveDrivers(), 0);
        EXPECT_EQ(ListenersOf(kDeviceOrientationChanged), 0);
        EXPECT_EQ(ListenersOf(kAppResume), 0);
    }
};

struct ScreenCase {
    int32_t width;
    int32_t height;
    uint32_t backWidth;
    uint32_t backHeight;
};

class CGraphicsWinMobileScreenTest : public CGraphicsWinMobileTest,
                                     public ::testing::WithParamInterface<ScreenCase> {};

TEST_P(CGraphicsWinMobileScreenTest, OpenMakesTheHalfSizeWindowSurfaceCurrent) {
    const ScreenCase& screen = GetParam();
    ASSERT_TRUE(OpenDisplay(screen.width, screen.height, HostFrame::kR5G6B5));
    CRenderSurface_DDraw_Window_WinMobile* window = Window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(m_device->GetCurrentSurface(), window);
    EXPECT_EQ(Driver()->GetCurrentSurface(), window);
    uint32_t width = 0;
    uint32_t height = 0;
    ASSERT_TRUE(window->GetSize(&width, &height));
    EXPECT_EQ(width, screen.backWidth);
    EXPECT_EQ(height, screen.backHeight);
    EXPECT_EQ(window->GetType(), 1u);
    EXPECT_EQ(window->GetFormat(), k565);
    EXPECT_EQ(m_device->GetDisplayFormat(), k565);
    // Window, double buffered, key 4, colour requested, created; not
    // software. (Whether the surface would own a palette does not matter:
    // it has none.)
    EXPECT_EQ(window->GetFlags() & ~CRenderSurface::kFlagOwnsPalette,
              0x1202u | 0x800u | 0x4u | 0x400u | 0x8u | 0x40u | 0x10000u | 0x80000000u);
    EXPECT_EQ(window->GetPalette(), nullptr);
    EXPECT_EQ(Driver()->GetDisplayMode().dwWidth, static_cast<DWORD>(screen.width));
}

INSTANTIATE_TEST_SUITE_P(Screens, CGraphicsWinMobileScreenTest,
                         ::testing::Values(ScreenCase{240, 320, 120, 160}, ScreenCase{480, 640, 240, 320},
                                           ScreenCase{481, 641, 240, 320}));

TEST_F(CGraphicsWinMobileTest, OpenSetsNamesInformationAndDefaultClearValues) {
    EXPECT_EQ(Text(m_device->GetName(1)), "(null)");
    ASSERT_TRUE(OpenDisplay(480, 640, HostFrame::kR5G6B5));
    EXPECT_EQ(Text(m_device->GetName(1)), "DirectDraw");
    EXPECT_EQ(Text(m_device->GetName(2)), "CBlit 1.0");
    EXPECT_EQ(Text(Driver()->GetName(2)), "(null)");
    const CGraphicsInfo* info = m_device->GetInfo(1);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->id, 1u);
    EXPECT_EQ(info->limits[7], 2048u);
    EXPECT_EQ(Driver()->GetClearColor().packed, 0xFF000000u);
    EXPECT_EQ(Driver()->GetClearDepth(), 0x10000);
    EXPECT_EQ(m_device->GetClearDepth(), 0x10000);
    EXPECT_EQ(ListenersOf(kDeviceOrientationChanged), 1);
    EXPECT_EQ(ListenersOf(kAppResume), 1);
    EXPECT_EQ(ListenersOf(kOrientationFollowUp), 1);

    CGraphics_DDraw* driver = Driver();
    driver->Close();
    EXPECT_EQ(Text(driver->GetName(1)), "");
    EXPECT_EQ(driver->GetInfo(1)->id, 0u);
    EXPECT_EQ(driver->GetDirectDraw(), nullptr);
}

TEST_F(CGraphicsWinMobileTest, OpeningTwiceEndsInTheSameState) {
    ASSERT_TRUE(OpenDisplay(480, 640, HostFrame::kR5G6B5));
    const int32_t blitters = CBlitUtil::GetInstance()->GetEntryCount();
    ASSERT_TRUE(m_device->Open());
    EXPECT_TRUE(m_device->IsOpen());
    EXPECT_EQ(CBlitUtil::GetInstance()->GetEntryCount(), blitters);
    EXPECT_EQ(HostDisplay::LiveSurfaces(), 2);
    EXPECT_EQ(HostDisplay::LiveDrivers(), 1);
    EXPECT_EQ(ListenersOf(kDeviceOrientationChanged), 1);
    EXPECT_EQ(m_device->GetCurrentSurface(), Window());
    m_device->Close();
    ExpectFullyClosed();
}

// Whichever driver call fails, Open fails and leaves nothing behind.
TEST_F(CGraphicsWinMobileTest, EveryDriverFailureMakesOpenFailCleanly) {
    struct Failure {
        HostDDrawCall call;
        uint32_t passes;
    };
    const Failure failures[] = {
        {HostDDrawCall::DirectDrawCreate, 0}, {HostDDrawCall::SetCooperativeLevel, 0},
        {HostDDrawCall::GetDisplayMode, 0},   {HostDDrawCall::GetCaps, 0},
        {HostDDrawCall::CreateSurface, 0},    {HostDDrawCall::CreateSurface, 1},
        {HostDDrawCall::GetSurfaceDesc, 0},
    };
    for (const Failure& failure : failures) {
        SCOPED_TRACE(static_cast<int>(failure.call) * 10 + static_cast<int>(failure.passes));
        HostDisplay::FailAfter(failure.call, failure.passes);
        EXPECT_FALSE(OpenDisplay(480, 640, HostFrame::kR5G6B5));
        ExpectFullyClosed();
        HostDisplay::ClearFailures();
    }
    EXPECT_TRUE(m_device->Open());
}

TEST_F(CGraphicsWinMobileTest, ClearFillsTheBackBufferInTheDisplaysFormat) {
    ASSERT_TRUE(OpenDisplay(240, 320, HostFrame::kR5G6B5));
    m_device->SetClearColor(0xFF336699u);
    m_device->Clear(0x70000);
    EXPECT_EQ(BackBufferPixel(0, 0), Pack565(0x336699));
    EXPECT_EQ(BackBufferPixel(119, 159), Pack565(0x336699));
    EXPECT_EQ(FramesPresented(), 0u);

    ASSERT_TRUE(OpenDisplay(240, 320, HostFrame::kX8R8G8B8));
    EXPECT_EQ(m_device->GetDisplayFormat(), k888);
    m_device->SetClearColor(0x10000, 0x8000, 0x4000, 0x18000);
    m_device->Clear(0x10000);
    EXPECT_EQ(BackBufferPixel(60, 80) & 0xFFFFFF, 0x8040FFu);
}

// A depth or stencil clear leaves the picture alone.
TEST_F(CGraphicsWinMobileTest, ClearWithoutTheColourBitKeepsThePicture) {
    ASSERT_TRUE(OpenDisplay(240, 320, HostFrame::kR5G6B5));
    m_device->SetClearColor(0xFFFFFFFFu);
    m_device->Clear(0x10000);
    m_device->SetClearColor(0xFF000000u);
    m_device->Clear(0x20000);
    m_device->Clear(0x40000);
    EXPECT_EQ(BackBufferPixel(5, 5), 0xFFFFu);
}

// A display whose pixels no blit routine writes gives a surface of format
// 0: it is created, but nothing is filled or drawn.
TEST_F(CGraphicsWinMobileTest, UndrawableDisplayGetsFormatZeroAndIsNeverFilled) {
    ASSERT_TRUE(HostDisplay::SetPixelFormat(32, 0x3F000, 0xFC0, 0x3F));
    HostSystemInfo::SetScreenSize(240, 320);
    ASSERT_TRUE(m_device->Open());
    EXPECT_EQ(Window()->GetFormat(), 0u);
    m_device->SetClearColor(0xFFFFFFFFu);
    m_device->Clear(0x10000);
    EXPECT_EQ(BackBufferPixel(3, 3), 0u);
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    EXPECT_FALSE(Window()->Lock(&pixels, &pitch, 0, nullptr));
    EXPECT_EQ(pixels, nullptr);
    EXPECT_FALSE(Window()->IsLocked());
}

TEST_F(CGraphicsWinMobileTest, PresentStretchesTheBackBufferOntoTheScreen) {
    ASSERT_TRUE(OpenDisplay(240, 320, HostFrame::kR5G6B5));
    m_device->SetClearColor(0xFF00FF00u);
    m_device->Clear(0x10000);
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    ASSERT_TRUE(Window()->Lock(&pixels, &pitch, 0, nullptr));
    const uint16_t marker = 0xF800;
    std::memcpy(pixels + 7 * pitch + 5 * 2, &marker, 2);
    Window()->Unlock(0);
    m_device->Present();

    ASSERT_EQ(FramesPresented(), 1u);
    const HostFrame& frame = LastFrame();
    ASSERT_EQ(frame.Width(), 240);
    ASSERT_EQ(frame.Height(), 320);
    for (int32_t y = 13; y <= 16; ++y) {
        for (int32_t x = 9; x <= 12; ++x) {
            const bool marked = x >= 10 && x <= 11 && y >= 14 && y <= 15;
            EXPECT_EQ(frame.PixelAt(x, y), marked ? 0xF800u : Pack565(0x00FF00)) << x << "," << y;
        }
    }
}

TEST_F(CGraphicsWinMobileTest, PresentIgnoresSurfacesOtherThanItsOwnWindow) {
    ASSERT_TRUE(OpenDisplay(240, 320, HostFrame::kR5G6B5));
    auto* offScreen = static_cast<CRenderSurface_SW_OffScreen*>(CreateRenderSurface(2, 0, 1));
    ASSERT_NE(offScreen, nullptr);
    const CRenderSurfaceAttribute size[] = {{1, 8}, {2, 8}, {6, k565}, {0, 0}};
    ASSERT_TRUE(offScreen->Create(size));
    offScreen->MakeCurrent();
    m_device->Present();
    EXPECT_EQ(FramesPresented(), 0u);
    delete offScreen;

    // A second window surface can only have the screen once the first gave it up.
    Window()->Destroy();
    CRenderSurface_DDraw_Window_WinMobile* other = CRenderSurface_DDraw_Window_WinMobile::CreateForDevice(1);
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(CGraphics_WinMobile::CreateSurface(other));
    other->MakeCurrent();
    EXPECT_EQ(m_device->GetCurrentSurface(), other);
    m_device->Present();
    EXPECT_EQ(FramesPresented(), 0u);
    delete other;
    EXPECT_EQ(m_device->GetCurrentSurface(), nullptr);
    m_device->Present();
    EXPECT_EQ(FramesPresented(), 0u);
}

TEST_F(CGraphicsWinMobileTest, TurningTheScreenRebuildsTheWindowSurfaceAtTheNewSize) {
    ASSERT_TRUE(OpenDisplay(480, 640, HostFrame::kR5G6B5));
    Rotate();
    CRenderSurface_DDraw_Window_WinMobile* window = Window();
    EXPECT_EQ(m_device->GetCurrentSurface(), window);
    uint32_t width = 0;
    uint32_t height = 0;
    ASSERT_TRUE(window->GetSize(&width, &height));
    EXPECT_EQ(width, 320u);
    EXPECT_EQ(height, 240u);
    EXPECT_EQ(HostDisplay::LiveSurfaces(), 2);
    m_device->Clear(0x10000);
    m_device->Present();
    EXPECT_EQ(LastFrame().Width(), 640);
    EXPECT_EQ(LastFrame().Height(), 480);
}

TEST_F(CGraphicsWinMobileTest, ResumeAndTheFollowUpEventAreNotActedOn) {
    ASSERT_TRUE(OpenDisplay(480, 640, HostFrame::kR5G6B5));
    IDirectDrawSurface* primary = Window()->GetPrimary();
    Deliver(kAppResume);
    Deliver(kOrientationFollowUp);
    EXPECT_EQ(Window()->GetPrimary(), primary);

    CMessage resume(nullptr, kAppResume, 0, {});
    EXPECT_FALSE(CGraphics_WinMobile::OnEvent(&resume, const_cast<CEventListener*>(m_device->GetListener())));
    CMessage turned(nullptr, kDeviceOrientationChanged, 0, {});
    EXPECT_TRUE(CGraphics_WinMobile::OnEvent(&turned, const_cast<CEventListener*>(m_device->GetListener())));
}

// When the turned screen's surfaces cannot be made there is no current
// surface: frames are then neither cleared nor presented, and the next turn
// brings the window back.
TEST_F(CGraphicsWinMobileTest, AFailedRebuildLeavesNoCurrentSurfaceUntilTheNextTurn) {
    ASSERT_TRUE(OpenDisplay(480, 640, HostFrame::kR5G6B5));
    HostDisplay::FailAfter(HostDDrawCall::CreateSurface, 0);
    {
        AssertCounter counter;
        Rotate();
        EXPECT_TRUE(counter.Logged("cannot be made"));
    }
    EXPECT_EQ(m_device->GetCurrentSurface(), nullptr);
    EXPECT_EQ(HostDisplay::LiveSurfaces(), 0);
    m_device->Clear(0x70000);
    m_device->Present();
    EXPECT_EQ(FramesPresented(), 0u);

    HostDisplay::ClearFailures();
    Rotate();
    EXPECT_EQ(m_device->GetCurrentSurface(), Window());
    m_device->Present();
    EXPECT_EQ(LastFrame().Width(), 480);
}

TEST_F(CGraphicsWinMobileTest, DeletingAnOpenDeviceIsReportedAndReleasesEverything) {
    ASSERT_TRUE(OpenDisplay(240, 320, HostFrame::kR5G6B5));
    {
        AssertCounter counter;
        delete m_device;
        m_device = nullptr;
        EXPECT_GE(counter.Count(), 1);
    }
    EXPECT_EQ(HostDisplay::LiveSurfaces(), 0);
    EXPECT_EQ(HostDisplay::LiveDrivers(), 0);
    EXPECT_EQ(ListenersOf(kDeviceOrientationChanged), 0);
}

}  // namespace
