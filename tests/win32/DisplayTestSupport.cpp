#include "DisplayTestSupport.h"

#include <cstring>

#include "CEventListener.h"
#include "CMessage.h"
#include "CRegistry.h"
#include "EngineEvents.h"
#include "HostDisplay.h"
#include "HostFrame.h"
#include "HostInput.h"
#include "HostSystemInfo.h"
#include "HostWindowSystem.h"

void DisplayTest::SetUp() {
    HostDisplay::Reset();
    ASSERT_EQ(m_app.Init(), 0);
    m_backend = new HeadlessBackend(HostInputScript());
    HostWindowSystem::SetBackend(m_backend);
    m_device = CGraphics_WinMobile::Create();
    ASSERT_NE(m_device, nullptr);
}

void DisplayTest::TearDown() {
    if (m_device != nullptr) {
        m_device->Close();
        delete m_device;
    }
    EXPECT_EQ(HostDisplay::LiveSurfaces(), 0);
    EXPECT_EQ(HostDisplay::LiveDrivers(), 0);
    EXPECT_EQ(HostDisplay::ReleasedWhileLocked(), 0);
    HostDisplay::Reset();
}

bool DisplayTest::OpenDisplay(int32_t width, int32_t height, uint32_t format) {
    HostSystemInfo::SetScreenSize(width, height);
    if (format == HostFrame::kX8R8G8B8) {
        HostDisplay::UseX8R8G8B8();
    } else {
        HostDisplay::UseR5G6B5();
    }
    return m_device->Open();
}

CGraphics_DDraw* DisplayTest::Driver() const { return dynamic_cast<CGraphics_DDraw*>(m_device->GetBackEnd()); }

CRenderSurface_DDraw_Window_WinMobile* DisplayTest::Window() const {
    return dynamic_cast<CRenderSurface_DDraw_Window_WinMobile*>(m_device->GetWindowSurface());
}

void DisplayTest::Deliver(uint32_t eventId) { CExecutable::Update(new CMessage(nullptr, eventId, 0, {})); }

void DisplayTest::Rotate() {
    HostInput::Rotate();
    Deliver(EngineEvent::kDeviceOrientationChanged);
    Deliver(EngineEvent::kOrientationFollowUp);
}

int32_t DisplayTest::ListenersOf(uint32_t eventId) {
    CRegistry* listeners = CEventListener::FindMessageRegistry(eventId, nullptr);
    int32_t count = 0;
    if (listeners == nullptr) return 0;
    for (CRegistryItem* item = listeners->Begin(); item != listeners->End(); item = item->GetNext()) ++count;
    return count;
}

uint32_t DisplayTest::BackBufferPixel(uint32_t x, uint32_t y) const {
    IDirectDrawSurface* back = Window()->GetBackBuffer();
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(DDSURFACEDESC);
    if (back->Lock(nullptr, &desc, 0, nullptr) != DD_OK) return 0xDEADBEEF;
    const uint32_t bytes = desc.ddpfPixelFormat.dwRGBBitCount / 8;
    uint32_t pixel = 0;
    std::memcpy(&pixel, static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * bytes, bytes);
    back->Unlock(nullptr);
    return pixel;
}
