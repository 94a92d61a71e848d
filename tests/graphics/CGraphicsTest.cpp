#include "CGraphics_HAL.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AssertCounter.h"
#include "CBlitUtil.h"
#include "CRenderSurfaceBuffer.h"
#include "CRenderSurface_SW_OffScreen.h"
#include "SurfaceProbe.h"
#include "TestApplication.h"
#include "../graphics2d/OffScreenDevice.h"

namespace {

constexpr uint32_t k565 = 0x21302;

// A back end that records what reaches it.
class RecordingBackEnd : public CGraphicsInterface {
public:
    bool Open() override { return true; }
    void Close() override {}
    CRenderSurface* GetCurrentSurface() const override { return current; }
    void SetCurrentSurface(CRenderSurface* surface) override { current = surface; }
    void BeginFrame() override { calls.push_back("begin"); }
    void EndFrame() override { calls.push_back("end"); }
    void Clear(uint32_t mask) override { calls.push_back("clear " + std::to_string(mask)); }
    void Present() override {}
    void SetClearColor(uint32_t packed) override { calls.push_back("packed " + std::to_string(packed)); }
    void SetClearColor(const RSBFormat_ARGB_fixed& c) override { calls.push_back("record " + std::to_string(c.r)); }
    void SetClearColor(int32_t, int32_t r, int32_t, int32_t) override { calls.push_back("channels " + std::to_string(r)); }
    void SetClearDepth(int32_t depth) override { calls.push_back("depth " + std::to_string(depth)); }
    void SetClearStencil(uint32_t stencil) override { calls.push_back("stencil " + std::to_string(stencil)); }
    const CGraphicsInfo* GetInfo(uint32_t id) const override { return id == 1 ? &info : nullptr; }
    const CStrChar* GetName(uint32_t id) const override { return id == 1 ? &name : nullptr; }

    CRenderSurface* current = nullptr;
    std::vector<std::string> calls;
    CStrChar name{"DirectDraw"};
    CGraphicsInfo info = {1, &name, {}};
};

class HalDevice : public CGraphics_HAL {
public:
    ~HalDevice() override { HalDevice::Close(); }
    bool Open() override {
        Init();
        SetBackEnd(backEnd);
        SetOpen(true);
        return true;
    }
    void Close() override {
        SetBackEnd(nullptr);
        Shutdown();
        SetOpen(false);
    }
    void Present() override {}
    void DropBackEnd() { SetBackEnd(nullptr); }

    RecordingBackEnd* backEnd = new RecordingBackEnd();
};

// An off-screen surface dressed as a window surface drawn by a driver.
class DriverSurface : public CRenderSurface_SW_OffScreen {
public:
    DriverSurface() {
        RemoveFlags(kFlagSoftware | kFlagOffScreen);
        AddFlags(0x1202);
    }
};

bool AllPixels(CRenderSurface* surface, uint32_t value) {
    const CRenderSurfaceBuffer* plane = surface->GetPlane(0);
    for (int y = 0; y < plane->GetHeight(); ++y) {
        for (int x = 0; x < plane->GetWidth(); ++x) {
            if (surfacetest::Pixel16(surface, x, y) != value) return false;
        }
    }
    return true;
}

// A device that runs code of its own when it lets go of its surface.
class ReactingDevice : public CGraphics {
public:
    bool Open() override { return true; }
    void Close() override {}
    void Present() override {}
    void SetCurrentSurface(CRenderSurface* surface) override {
        CGraphics::SetCurrentSurface(surface);
        if (surface == nullptr && onRelease) onRelease();
    }

    std::function<void()> onRelease;
};

class GraphicsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(m_app.Init(), 0); }
    TestApplication m_app;
};

TEST(CGraphics, PackColorPlacesAlphaRedGreenBlue) {
    EXPECT_EQ(CGraphics::PackColor(0x12, 0x34, 0x56, 0x78), 0x12345678u);
    EXPECT_EQ(CGraphics::PackColor(0xFF, 0, 0, 0), 0xFF000000u);
    EXPECT_EQ(CGraphics::PackColor(0, 0xFF, 0, 0x80), 0x00FF0080u);
    EXPECT_EQ(CGraphics::PackColor(0xFF, 0xFF, 0xFF, 0xFF), 0xFFFFFFFFu);
}

TEST_F(GraphicsTest, ClearColourKeepsBothForms) {
    auto* device = new OffScreenDevice(4, 4, k565);
    EXPECT_EQ(device->GetDisplayFormat(), 0xB0304u);
    EXPECT_EQ(CGraphics::GetInstance(), device);
    device->SetClearColor(0x80FF0000u);
    const CColorEntry& color = device->GetClearColor();
    EXPECT_EQ(color.packed, 0x80FF0000u);
    EXPECT_EQ(color.fixed.a, 0x8080);
    EXPECT_EQ(color.fixed.r, 0xFFFF);
    EXPECT_EQ(color.fixed.g, 0);
    EXPECT_EQ(color.fixed.b, 0);
    device->SetClearColor(0x18000, -5, 0x7F80, 0x100);
    EXPECT_EQ(device->GetClearColor().packed, 0xFF007F01u);
    EXPECT_EQ(device->GetClearColor().fixed.r, -5);
    device->SetClearColor(RSBFormat_ARGB_fixed{0xFF00, 0x1234, 0xFFFF, 0});
    EXPECT_EQ(device->GetClearColor().packed, 0xFF12FF00u);
    delete device;
    EXPECT_EQ(CGraphics::GetInstance(), nullptr);
}

TEST_F(GraphicsTest, InitRegistersTheBlitterSetOnce) {
    auto* device = new OffScreenDevice(4, 4, k565);
    EXPECT_EQ(device->GetInfo(2)->id, 0u);
    ASSERT_TRUE(device->Init());
    EXPECT_TRUE(device->IsInitialised());
    EXPECT_EQ(CBlitUtil::GetInstance()->GetEntryCount(), 50);
    const CGraphicsInfo* info = device->GetInfo(2);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->id, 2u);
    EXPECT_STREQ(info->name->GetBuffer(), "CBlit 1.0");
    EXPECT_EQ(device->GetInfo(3), nullptr);

    device->Shutdown();
    EXPECT_FALSE(device->IsInitialised());
    EXPECT_EQ(info->name, nullptr);
    // Opening again initialises again without growing the registry.
    ASSERT_TRUE(device->Open());
    ASSERT_TRUE(device->Open());
    EXPECT_EQ(CBlitUtil::GetInstance()->GetEntryCount(), 50);
    EXPECT_EQ(device->GetDisplayFormat(), k565);
    device->Close();
    delete device;
}

TEST_F(GraphicsTest, HalSendsDriverSurfacesToTheBackEnd) {
    auto* device = new HalDevice();
    ASSERT_TRUE(device->Open());
    RecordingBackEnd* backEnd = device->backEnd;
    DriverSurface window;
    ASSERT_TRUE(surfacetest::CreateSized(&window, 4, 2, k565));
    window.MakeCurrent();
    EXPECT_EQ(backEnd->current, &window);
    EXPECT_EQ(device->GetCurrentSurface(), &window);
    device->SetClearColor(0xFFFFFFFFu);
    backEnd->calls.clear();

    device->BeginFrame();
    device->Clear(0x70000);
    device->EndFrame();
    EXPECT_EQ(backEnd->calls, (std::vector<std::string>{"begin", "clear 458752", "end"}));
    // Only depth and stencil went through the surface: its colour is untouched.
    EXPECT_TRUE(AllPixels(&window, 0));

    CRenderSurface_SW_OffScreen software;
    ASSERT_TRUE(surfacetest::CreateSized(&software, 4, 2, k565));
    software.MakeCurrent();
    backEnd->calls.clear();
    device->BeginFrame();
    device->Clear(0x70000);
    device->EndFrame();
    EXPECT_TRUE(backEnd->calls.empty());
    EXPECT_TRUE(AllPixels(&software, 0xFFFF));

    device->SetClearDepth(0x10000);
    device->SetClearStencil(3);
    device->SetClearColor(0xFF102030u);
    EXPECT_EQ(backEnd->calls, (std::vector<std::string>{"depth 65536", "stencil 3", "packed 4279246896"}));
    EXPECT_EQ(device->GetInfo(1), &backEnd->info);
    EXPECT_STREQ(device->GetName(2)->GetBuffer(), "CBlit 1.0");
    software.Destroy();
    window.Destroy();
    device->Close();
    delete backEnd;
    delete device;
}

TEST_F(GraphicsTest, SurfacesOutliveAClosedDeviceWithoutFalseChecks) {
    auto* device = new HalDevice();
    ASSERT_TRUE(device->Open());
    auto* current = new CRenderSurface_SW_OffScreen();
    auto* other = new CRenderSurface_SW_OffScreen();
    current->MakeCurrent();
    device->Close();
    AssertCounter asserts;
    delete other;
    delete current;
    EXPECT_EQ(asserts.Count(), 0);
    EXPECT_EQ(device->CGraphics::GetCurrentSurface(), nullptr);
    delete device->backEnd;
    delete device;
}

TEST_F(GraphicsTest, HalWithoutBackEndReportsAndDoesNothing) {
    auto* device = new HalDevice();
    ASSERT_TRUE(device->Open());
    device->DropBackEnd();
    AssertCounter asserts;
    EXPECT_EQ(device->GetCurrentSurface(), nullptr);
    device->Clear(0x10000);
    device->BeginFrame();
    device->SetClearStencil(1);
    EXPECT_EQ(asserts.Count(), 4);
    EXPECT_EQ(device->GetName(1), nullptr);
    EXPECT_EQ(device->GetInfo(1), nullptr);
    device->Close();
    delete device->backEnd;
    delete device;
}

// A device told that its surface ends may delete the device after it, or
// make devices (the live-device list grows), from its own
// SetCurrentSurface: every device still live is told.
TEST_F(GraphicsTest, ADeviceToldOfAnEndingSurfaceMayMakeOrDeleteDevices) {
    const AssertCounter secondDevices;
    CRenderSurface_SW_OffScreen surface;
    auto deleting = std::make_unique<ReactingDevice>();
    auto deleted = std::make_unique<ReactingDevice>();
    auto skipped = std::make_unique<ReactingDevice>();
    for (ReactingDevice* device : {deleting.get(), deleted.get(), skipped.get()}) device->SetCurrentSurface(&surface);
    deleting->onRelease = [&deleted] { deleted.reset(); };
    surface.ReleaseCurrent();
    EXPECT_EQ(skipped->GetCurrentSurface(), nullptr) << "the device after the deleted one is told too";

    std::vector<std::unique_ptr<ReactingDevice>> made;
    skipped->SetCurrentSurface(&surface);
    deleting->SetCurrentSurface(&surface);
    deleting->onRelease = [&made] {
        for (int32_t i = 0; i < 64; ++i) made.push_back(std::make_unique<ReactingDevice>());
    };
    surface.ReleaseCurrent();
    EXPECT_EQ(skipped->GetCurrentSurface(), nullptr);
}

}  // namespace
