#include <gtest/gtest.h>

#include <cstring>

#include "AssertCounter.h"
#include "CRenderSurfaceFactory.h"
#include "DisplayTestSupport.h"
#include "HostDisplay.h"
#include "HostFrame.h"

namespace {

constexpr uint32_t k565 = 0x21302;
constexpr uint32_t k888 = 0xB0304;

class WindowSurfaceTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        ASSERT_TRUE(OpenDisplay(240, 320, HostFrame::kR5G6B5));
    }

    // Whether the driver's back buffer is free to be locked by someone else.
    bool BackBufferFree() const {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(DDSURFACEDESC);
        if (Window()->GetBackBuffer()->Lock(nullptr, &desc, 0, nullptr) != DD_OK) return false;
        Window()->GetBackBuffer()->Unlock(nullptr);
        return true;
    }
};

TEST_F(WindowSurfaceTest, CreateNeedsDoubleBufferingAndAColourPlane) {
    CRenderSurface_DDraw_Window_WinMobile* window = Window();
    const CRenderSurfaceAttribute noDoubleBuffer[] = {{6, 0}, {3, 0x100}, {0, 0}};
    const CRenderSurfaceAttribute noColour[] = {{3, 1}, {7, 0x520104}, {0, 0}};
    const CRenderSurfaceAttribute withSize[] = {{3, 1}, {6, 0}, {1, 240}, {0, 0}};
    const CRenderSurfaceAttribute extended[] = {{3, 1}, {6, 0}, {5, 1}, {0, 0}};
    for (const CRenderSurfaceAttribute* list : {noDoubleBuffer, noColour, withSize, extended}) {
        EXPECT_FALSE(window->Create(list));
        EXPECT_EQ(window->GetPrimary(), nullptr);
        EXPECT_EQ(window->GetBackBuffer(), nullptr);
        EXPECT_EQ(HostDisplay::LiveSurfaces(), 0);
        EXPECT_EQ(window->GetFlags() & ~0x1B7Bu, 0u);
    }
    const CRenderSurfaceAttribute plain[] = {{3, 1}, {6, 0}, {5, 0}, {99, 7}, {0, 0}};
    EXPECT_TRUE(window->Create(plain));
    EXPECT_EQ(window->GetFlags() & 0x400u, 0u);
    EXPECT_EQ(window->GetFormat(), k565);
}

TEST_F(WindowSurfaceTest, AskedFormatMustBeTheDisplays) {
    const CRenderSurfaceAttribute wide[] = {{3, 1}, {6, k888}, {0, 0}};
    EXPECT_FALSE(Window()->Create(wide));
    EXPECT_EQ(HostDisplay::LiveSurfaces(), 0);
    const CRenderSurfaceAttribute narrow[] = {{3, 1}, {6, k565}, {0, 0}};
    EXPECT_TRUE(Window()->Create(narrow));
    EXPECT_EQ(Window()->GetFormat(), k565);
}

TEST_F(WindowSurfaceTest, LocksAreCountedAndHandOutTheBackBuffer) {
    CRenderSurface_DDraw_Window_WinMobile* window = Window();
    uint8_t* first = nullptr;
    int32_t firstPitch = 0;
    ASSERT_TRUE(window->Lock(&first, &firstPitch, 0, nullptr));
    EXPECT_EQ(firstPitch, 120 * 2);
    uint8_t* second = nullptr;
    int32_t secondPitch = 0;
    CRect rect;
    rect.Set(3, 2, 4, 4);
    ASSERT_TRUE(window->Lock(&second, &secondPitch, 0, &rect));
    EXPECT_EQ(second, first + 2 * firstPitch + 3 * 2);
    EXPECT_EQ(window->GetLockCount(), 2);
    window->Unlock(0);
    EXPECT_TRUE(window->IsLocked());
    EXPECT_FALSE(BackBufferFree());
    const uint16_t pixel = 0x07E0;
    std::memcpy(first, &pixel, 2);
    window->Unlock(0);
    EXPECT_FALSE(window->IsLocked());
    EXPECT_TRUE(BackBufferFree());
    EXPECT_EQ(BackBufferPixel(0, 0), 0x07E0u);
    window->Unlock(0);
    EXPECT_FALSE(window->IsLocked());
    EXPECT_EQ(window->GetLockCount(), 0);
    uint32_t width = 0;
    uint32_t height = 0;
    ASSERT_TRUE(window->GetSize(&width, &height));
    EXPECT_EQ(width, 120u);
    EXPECT_EQ(height, 160u);
}

// A refused first lock gives the driver's lock back: the next frame can lock.
TEST_F(WindowSurfaceTest, ARectangleOutsideIsRefusedWithoutKeepingTheDriversLock) {
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    CRect outside;
    outside.Set(100, 150, 30, 20);
    EXPECT_FALSE(Window()->Lock(&pixels, &pitch, 0, &outside));
    EXPECT_EQ(pixels, nullptr);
    EXPECT_EQ(pitch, 0);
    EXPECT_FALSE(Window()->IsLocked());
    EXPECT_TRUE(BackBufferFree());
    EXPECT_TRUE(Window()->Lock(&pixels, &pitch, 0, nullptr));
    EXPECT_NE(pixels, nullptr);
    Window()->Unlock(0);
}

TEST_F(WindowSurfaceTest, ARefusedDriverLockLeavesTheOutputsAlone) {
    uint8_t marker = 0;
    uint8_t* pixels = &marker;
    int32_t pitch = 77;
    HostDisplay::FailAfter(HostDDrawCall::Lock, 0);
    EXPECT_FALSE(Window()->Lock(&pixels, &pitch, 0, nullptr));
    EXPECT_EQ(pixels, &marker);
    EXPECT_EQ(pitch, 77);
    EXPECT_FALSE(Window()->IsLocked());
}

// However many locks are outstanding, the driver's surfaces are unlocked
// before they are released.
TEST_F(WindowSurfaceTest, DestroyingALockedSurfaceUnlocksItFirst) {
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    ASSERT_TRUE(Window()->Lock(&pixels, &pitch, 0, nullptr));
    ASSERT_TRUE(Window()->Lock(&pixels, &pitch, 0, nullptr));
    Window()->Destroy();
    EXPECT_EQ(HostDisplay::ReleasedWhileLocked(), 0);
    EXPECT_FALSE(Window()->IsLocked());
    EXPECT_EQ(HostDisplay::LiveSurfaces(), 0);
    EXPECT_EQ(Window()->GetFlags() & 0x80000000u, 0u);
    uint32_t width = 1;
    uint32_t height = 1;
    EXPECT_FALSE(Window()->GetSize(&width, &height));
    EXPECT_EQ(width, 0u);
    EXPECT_EQ(height, 0u);
    EXPECT_FALSE(Window()->Lock(&pixels, &pitch, 0, nullptr));
}

TEST_F(WindowSurfaceTest, PaddedDriverRowsReachTheColourPlane) {
    HostDisplay::SetPitchPadding(12);
    ASSERT_TRUE(CGraphics_WinMobile::CreateSurface(Window()));
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    ASSERT_TRUE(Window()->Lock(&pixels, &pitch, 0, nullptr));
    EXPECT_EQ(pitch, 120 * 2 + 12);
    const uint16_t pixel = 0x1234;
    std::memcpy(pixels + 5 * pitch + 7 * 2, &pixel, 2);
    Window()->Unlock(0);
    EXPECT_EQ(BackBufferPixel(7, 5), 0x1234u);
}

// Plane pitches are 16-bit: rows further apart cannot be drawn.
TEST_F(WindowSurfaceTest, DriverRowsTooFarApartAreNotLocked) {
    HostDisplay::SetPitchPadding(40000);
    ASSERT_TRUE(CGraphics_WinMobile::CreateSurface(Window()));
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    AssertCounter counter;
    EXPECT_FALSE(Window()->Lock(&pixels, &pitch, 0, nullptr));
    EXPECT_EQ(pixels, nullptr);
    EXPECT_TRUE(counter.Logged("does not fit"));
    EXPECT_TRUE(BackBufferFree());
}

TEST_F(WindowSurfaceTest, FactoryMakesWindowSurfacesOnlyForTheDirectDrawDriver) {
    CRenderSurface* offScreen = CreateRenderSurface(2, 0, 1);
    ASSERT_NE(offScreen, nullptr);
    EXPECT_EQ(offScreen->GetType(), 2u);
    delete offScreen;
    EXPECT_EQ(CreateRenderSurface(2, 1, 3), nullptr);
    EXPECT_EQ(CRenderSurface_DDraw_Window_WinMobile::CreateForDevice(0), nullptr);
    CRenderSurface_DDraw_Window_WinMobile* window = CRenderSurface_DDraw_Window_WinMobile::CreateForDevice(1);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetType(), 1u);
    EXPECT_EQ(window->GetFlags(), 0x1A02u);
    delete window;

    m_device->Close();
    EXPECT_EQ(CRenderSurface_DDraw_Window_WinMobile::CreateForDevice(1), nullptr);
}

}  // namespace
