#include "HeadlessBackend.h"
#include "HostDisplay.h"
#include "HostFrame.h"
#include "HostSystemInfo.h"
#include "HostTestEnvironment.h"
#include "HostWindowSystem.h"
#include "WinCeDDraw.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

DDSURFACEDESC Desc(DWORD flags = 0) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(DDSURFACEDESC);
    desc.dwFlags = flags;
    return desc;
}

class HostDirectDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        HostDisplay::Reset();
        m_backend = new HeadlessBackend(HostInputScript());
        HostWindowSystem::SetBackend(m_backend);
        ASSERT_EQ(DirectDrawCreate(nullptr, &m_dd, nullptr), DD_OK);
        ASSERT_EQ(m_dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    }

    void TearDown() override {
        for (IDirectDrawSurface* surface : m_surfaces) surface->Release();
        if (m_dd != nullptr) m_dd->Release();
        EXPECT_EQ(HostDisplay::LiveSurfaces(), 0);
        EXPECT_EQ(HostDisplay::LiveDrivers(), 0);
        HostDisplay::Reset();
    }

    IDirectDrawSurface* Primary() {
        DDSURFACEDESC desc = Desc(DDSD_CAPS);
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        IDirectDrawSurface* surface = nullptr;
        EXPECT_EQ(m_dd->CreateSurface(&desc, &surface, nullptr), DD_OK);
        if (surface != nullptr) m_surfaces.push_back(surface);
        return surface;
    }

    IDirectDrawSurface* OffScreen(DWORD width, DWORD height) {
        DDSURFACEDESC desc = Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT);
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        desc.dwWidth = width;
        desc.dwHeight = height;
        IDirectDrawSurface* surface = nullptr;
        EXPECT_EQ(m_dd->CreateSurface(&desc, &surface, nullptr), DD_OK);
        if (surface != nullptr) m_surfaces.push_back(surface);
        return surface;
    }

    // Writes value(x, y) into every pixel of a 16-bit surface.
    template <typename Value>
    static void Paint16(IDirectDrawSurface* surface, Value value) {
        DDSURFACEDESC desc = Desc();
        ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAITNOTBUSY, nullptr), DD_OK);
        for (DWORD y = 0; y < desc.dwHeight; ++y) {
            for (DWORD x = 0; x < desc.dwWidth; ++x) {
                const uint16_t pixel = value(x, y);
                std::memcpy(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * 2, &pixel, 2);
            }
        }
        ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
    }

    static uint32_t Read(IDirectDrawSurface* surface, DWORD x, DWORD y) {
        DDSURFACEDESC desc = Desc();
        EXPECT_EQ(surface->Lock(nullptr, &desc, 0, nullptr), DD_OK);
        const DWORD bytes = desc.ddpfPixelFormat.dwRGBBitCount / 8;
        uint32_t pixel = 0;
        std::memcpy(&pixel, static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * bytes, bytes);
        surface->Unlock(nullptr);
        return pixel;
    }

    HostTestEnvironment m_environment;
    HeadlessBackend* m_backend = nullptr;
    IDirectDraw* m_dd = nullptr;
    std::vector<IDirectDrawSurface*> m_surfaces;
};

TEST_F(HostDirectDrawTest, DisplayModeFollowsTheScreenAndTheChosenFormat) {
    DDSURFACEDESC mode = Desc();
    ASSERT_EQ(m_dd->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(mode.dwWidth, 480u);
    EXPECT_EQ(mode.dwHeight, 640u);
    EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, 16u);
    EXPECT_EQ(mode.ddpfPixelFormat.dwGBitMask, 0x07E0u);

    HostSystemInfo::SwapScreenAxes();
    HostDisplay::UseX8R8G8B8();
    ASSERT_EQ(m_dd->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(mode.dwWidth, 640u);
    EXPECT_EQ(mode.dwHeight, 480u);
    EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, 32u);
    EXPECT_EQ(mode.ddpfPixelFormat.dwRBitMask, 0xFF0000u);
    EXPECT_FALSE(HostDisplay::SetPixelFormat(24, 0xFF0000, 0xFF00, 0xFF));

    DDSURFACEDESC wrongSize = Desc();
    wrongSize.dwSize = 108;
    EXPECT_EQ(m_dd->GetDisplayMode(&wrongSize), DDERR_INVALIDPARAMS);
}

TEST_F(HostDirectDrawTest, SurfacesNeedACooperativeLevelAndOnlyOnePrimaryExists) {
    IDirectDraw* fresh = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &fresh, nullptr), DD_OK);
    DDSURFACEDESC desc = Desc(DDSD_CAPS);
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface* surface = nullptr;
    EXPECT_EQ(fresh->CreateSurface(&desc, &surface, nullptr), DDERR_NOCOOPERATIVELEVELSET);
    EXPECT_EQ(surface, nullptr);
    EXPECT_EQ(fresh->SetCooperativeLevel(reinterpret_cast<HWND>(uintptr_t{0x1234}), DDSCL_NORMAL),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(fresh->Release(), 0u);

    IDirectDrawSurface* primary = Primary();
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(m_dd->CreateSurface(&desc, &surface, nullptr), DDERR_PRIMARYSURFACEALREADYEXISTS);
    DDSURFACEDESC screen = Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT);
    ASSERT_EQ(primary->GetSurfaceDesc(&screen), DD_OK);
    EXPECT_EQ(screen.dwWidth, 480u);
    EXPECT_EQ(screen.dwHeight, 640u);
    EXPECT_EQ(screen.ddsCaps.dwCaps, DDSCAPS_PRIMARYSURFACE);

    // Once the primary is gone another may be made.
    primary->Release();
    m_surfaces.clear();
    EXPECT_NE(Primary(), nullptr);
}

TEST_F(HostDirectDrawTest, LockIsExclusiveAndHandsOutTheRectanglesPixels) {
    HostDisplay::SetPitchPadding(6);
    IDirectDrawSurface* surface = OffScreen(10, 8);
    ASSERT_NE(surface, nullptr);
    DDSURFACEDESC whole = Desc();
    ASSERT_EQ(surface->Lock(nullptr, &whole, DDLOCK_WAITNOTBUSY | DDLOCK_KEEPCONTENTS, nullptr), DD_OK);
    EXPECT_EQ(whole.lPitch, 10 * 2 + 6);
    DDSURFACEDESC again = Desc();
    EXPECT_EQ(surface->Lock(nullptr, &again, 0, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
    EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);

    const RECT inner{3, 2, 5, 4};
    DDSURFACEDESC part = Desc();
    ASSERT_EQ(surface->Lock(&inner, &part, 0, nullptr), DD_OK);
    EXPECT_EQ(static_cast<uint8_t*>(part.lpSurface), static_cast<uint8_t*>(whole.lpSurface) + 2 * whole.lPitch + 3 * 2);
    surface->Unlock(nullptr);
    const RECT outside{8, 0, 11, 1};
    EXPECT_EQ(surface->Lock(&outside, &part, 0, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(surface->Lock(nullptr, &part, 0x4000, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(HostDirectDrawTest, ColourFillWritesThePixelSizeOfTheSurface) {
    IDirectDrawSurface* surface = OffScreen(5, 3);
    Paint16(surface, [](DWORD, DWORD) { return uint16_t{0x1111}; });
    DDBLTFX fx{};
    fx.dwSize = sizeof(DDBLTFX);
    fx.dwFillColor = 0xABCDF81F;
    const RECT part{1, 1, 4, 3};
    ASSERT_EQ(surface->Blt(&part, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAITNOTBUSY, &fx), DD_OK);
    for (DWORD y = 0; y < 3; ++y) {
        for (DWORD x = 0; x < 5; ++x) {
            const bool inside = x >= 1 && x < 4 && y >= 1;
            EXPECT_EQ(Read(surface, x, y), inside ? 0xF81Fu : 0x1111u) << x << "," << y;
        }
    }
    // Nothing reaches the screen from an off-screen surface.
    EXPECT_EQ(m_backend->FramesPresented(), 0u);

    HostDisplay::UseX8R8G8B8();
    IDirectDrawSurface* wide = OffScreen(2, 2);
    ASSERT_EQ(wide->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    EXPECT_EQ(Read(wide, 1, 1), 0xABCDF81Fu);
    fx.dwSize = sizeof(DDBLTFX) + 1;
    EXPECT_EQ(wide->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_INVALIDPARAMS);
}

// Each destination pixel shows the source pixel at (x * sw / dw, y * sh / dh).
TEST_F(HostDirectDrawTest, StretchBlitPicksTheNearestSourcePixelAndPresentsThePrimary) {
    IDirectDrawSurface* primary = Primary();
    IDirectDrawSurface* back = OffScreen(240, 320);
    auto source = [](DWORD x, DWORD y) { return static_cast<uint16_t>(x * 131 + y * 7); };
    Paint16(back, source);
    ASSERT_EQ(primary->Blt(nullptr, back, nullptr, DDBLT_WAITNOTBUSY, nullptr), DD_OK);

    ASSERT_EQ(m_backend->FramesPresented(), 1u);
    const HostFrame& frame = m_backend->LastFrame();
    ASSERT_EQ(frame.Width(), 480);
    ASSERT_EQ(frame.Height(), 640);
    EXPECT_EQ(frame.Format(), HostFrame::kR5G6B5);
    int mismatches = 0;
    for (int32_t y = 0; y < 640; ++y) {
        for (int32_t x = 0; x < 480; ++x) {
            if (frame.PixelAt(x, y) != source(x / 2, y / 2)) ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(HostDisplay::PrimaryBlits(), 1u);
    EXPECT_EQ(HostDisplay::FramesShown(), 1u);
}

TEST_F(HostDirectDrawTest, StretchBlitBetweenRectanglesOfUnevenSizes) {
    HostDisplay::SetPitchPadding(2);
    IDirectDrawSurface* from = OffScreen(7, 5);
    IDirectDrawSurface* to = OffScreen(11, 9);
    auto source = [](DWORD x, DWORD y) { return static_cast<uint16_t>(0x100 * y + x + 1); };
    Paint16(from, source);
    Paint16(to, [](DWORD, DWORD) { return uint16_t{0}; });
    const RECT fromRect{1, 1, 6, 4};  // 5 x 3
    const RECT toRect{2, 1, 10, 8};   // 8 x 7
    ASSERT_EQ(to->Blt(&toRect, from, &fromRect, 0, nullptr), DD_OK);
    for (DWORD y = 0; y < 9; ++y) {
        for (DWORD x = 0; x < 11; ++x) {
            const bool inside = x >= 2 && x < 10 && y >= 1 && y < 8;
            const uint32_t expected = inside ? source(1 + (x - 2) * 5 / 8, 1 + (y - 1) * 3 / 7) : 0;
            EXPECT_EQ(Read(to, x, y), expected) << x << "," << y;
        }
    }
    // Twice as wide, from an odd number of columns, each row three times.
    const RECT doubled{0, 0, 10, 9};
    ASSERT_EQ(to->Blt(&doubled, from, &fromRect, 0, nullptr), DD_OK);
    for (DWORD y = 0; y < 9; ++y) {
        for (DWORD x = 0; x < 10; ++x) EXPECT_EQ(Read(to, x, y), source(1 + x / 2, 1 + y / 3)) << x << "," << y;
    }
    const RECT tooWide{0, 0, 8, 1};
    EXPECT_EQ(to->Blt(nullptr, from, &tooWide, 0, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(to->Blt(nullptr, to, nullptr, 0, nullptr), DDERR_INVALIDPARAMS);
    HostDisplay::UseX8R8G8B8();
    IDirectDrawSurface* wide = OffScreen(4, 4);
    EXPECT_EQ(wide->Blt(nullptr, from, nullptr, 0, nullptr), DDERR_INVALIDPIXELFORMAT);
}

TEST_F(HostDirectDrawTest, ThirtyTwoBitPixelsStretchWhole) {
    HostDisplay::UseX8R8G8B8();
    IDirectDrawSurface* from = OffScreen(3, 2);
    IDirectDrawSurface* to = OffScreen(6, 4);
    DDSURFACEDESC desc = Desc();
    ASSERT_EQ(from->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    for (DWORD y = 0; y < 2; ++y) {
        for (DWORD x = 0; x < 3; ++x) {
            const uint32_t pixel = 0xFF000000u | (x + 1) << 16 | (y + 1) << 8 | 0x5A;
            std::memcpy(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * 4, &pixel, 4);
        }
    }
    from->Unlock(nullptr);
    ASSERT_EQ(to->Blt(nullptr, from, nullptr, DDBLT_WAITNOTBUSY, nullptr), DD_OK);
    for (DWORD y = 0; y < 4; ++y) {
        for (DWORD x = 0; x < 6; ++x) {
            EXPECT_EQ(Read(to, x, y), 0xFF000000u | (x / 2 + 1) << 16 | (y / 2 + 1) << 8 | 0x5A) << x << "," << y;
        }
    }
}

TEST_F(HostDirectDrawTest, InjectedFailuresHitTheNamedCallAfterItsPasses) {
    HostDisplay::FailAfter(HostDDrawCall::CreateSurface, 1);
    IDirectDrawSurface* first = OffScreen(2, 2);
    EXPECT_NE(first, nullptr);
    DDSURFACEDESC desc = Desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.dwWidth = 2;
    desc.dwHeight = 2;
    IDirectDrawSurface* second = reinterpret_cast<IDirectDrawSurface*>(uintptr_t{1});
    EXPECT_NE(m_dd->CreateSurface(&desc, &second, nullptr), DD_OK);
    EXPECT_EQ(second, nullptr);
    HostDisplay::ClearFailures();

    HostDisplay::FailAfter(HostDDrawCall::DirectDrawCreate, 0);
    IDirectDraw* none = nullptr;
    EXPECT_EQ(DirectDrawCreate(nullptr, &none, nullptr), DDERR_NODIRECTDRAWHW);
    EXPECT_EQ(none, nullptr);
    HostDisplay::FailAfter(HostDDrawCall::Lock, 0);
    DDSURFACEDESC locked = Desc();
    EXPECT_NE(first->Lock(nullptr, &locked, 0, nullptr), DD_OK);
    HostDisplay::FailAfter(HostDDrawCall::Blt, 0);
    DDBLTFX fx{};
    fx.dwSize = sizeof(DDBLTFX);
    EXPECT_NE(first->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
}

// A surface keeps its driver alive; a surface released while locked is counted.
TEST_F(HostDirectDrawTest, SurfacesOutliveTheirDriversLastReference) {
    IDirectDrawSurface* surface = OffScreen(3, 3);
    m_surfaces.clear();
    EXPECT_EQ(m_dd->Release(), 1u);
    m_dd = nullptr;
    EXPECT_EQ(HostDisplay::LiveDrivers(), 1);
    DDSURFACEDESC desc = Desc();
    ASSERT_EQ(surface->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    EXPECT_EQ(surface->Release(), 0u);
    EXPECT_EQ(HostDisplay::ReleasedWhileLocked(), 1);
}

}  // namespace
