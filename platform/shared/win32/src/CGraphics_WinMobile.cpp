#include "CGraphics_WinMobile.h"

#include "CAssert.h"
#include "CEvent.h"
#include "CEventListener.h"
#include "CGraphics2d_Lite.h"
#include "CGraphics_DDraw.h"
#include "CRenderSurfaceAttribute.h"
#include "CRenderSurfaceFactory.h"
#include "CRenderSurface_DDraw_Window_WinMobile.h"
#include "CStringToKey.h"
#include "EngineEvents.h"

namespace {

constexpr uint32_t kListenedEvents[] = {EngineEvent::kAppResume, EngineEvent::kDeviceOrientationChanged,
                                        EngineEvent::kOrientationFollowUp};

}  // namespace

CGraphics_WinMobile* CGraphics_WinMobile::Create() { return new CGraphics_WinMobile(); }

// The application closes the device before it goes; one that is still
// open is reported and released all the same.
CGraphics_WinMobile::~CGraphics_WinMobile() {
    ASSERT(!IsOpen() && !IsInitialised());
    Close();
}

const RSBFormat_ARGB_fixed& CGraphics_WinMobile::GetDefaultClearColor() {
    static const RSBFormat_ARGB_fixed kOpaqueBlack = {0x10000, 0, 0, 0};
    return kOpaqueBlack;
}

bool CGraphics_WinMobile::Open() {
    if (IsOpen()) Close();
    if (!Listen()) {
        Close();
        return false;
    }
    Init();
    OpenDriver();
    if (!IsInitialised() && !IsDriverOpen()) {
        Close();
        return false;
    }
    const uint32_t capabilities =
        (IsInitialised() ? kCapabilityInitialised : 0) | (IsDriverOpen() ? kCapabilityDriver : 0);
    m_windowSurface =
        CreateRenderSurface(IsDriverOpen() ? kRenderSurfaceKindWindow : kRenderSurfaceKindOffScreen,
                            CRenderSurface_DDraw_Window_WinMobile::kBuffered, capabilities);
    if (m_windowSurface == nullptr || !CreateSurface(m_windowSurface)) {
        Close();
        return false;
    }
    m_windowSurface->MakeCurrent();
    SetDisplayFormat(m_windowSurface->GetFormat());
    SetClearColor(GetDefaultClearColor());
    SetClearDepth(kDefaultClearDepth);
    SetClearStencil(kDefaultClearStencil);
    SetOpen(true);
    return true;
}

bool CGraphics_WinMobile::Listen() {
    m_listener = new CEventListener();
    if (m_listener == nullptr) return false;
    m_listener->Bind(StringToKey("Graphics"), this, OnEvent);
    for (uint32_t id : kListenedEvents) CEventListener::Listen(m_listener, id, kListenerPriority);
    return true;
}

bool CGraphics_WinMobile::OpenDriver() {
    m_driver = new CGraphics_DDraw();
    SetBackEnd(m_driver);
    m_driverOpen = m_driver != nullptr && m_driver->Open() ? 1 : 0;
    return IsDriverOpen();
}

void CGraphics_WinMobile::CloseDriver() {
    if (m_driver != nullptr) m_driver->Close();
    delete m_driver;
    m_driver = nullptr;
    SetBackEnd(nullptr);
    m_driverOpen = 0;
}

bool CGraphics_WinMobile::CreateSurface(CRenderSurface* surface) {
    const CRenderSurfaceAttribute attributes[] = {
        {kSurfaceAttrDoubleBuffered, 1}, {kSurfaceAttrCapability, 1}, {kSurfaceAttrColorFormat, 0}, {0, 0}};
    return surface->Create(attributes);
}

void CGraphics_WinMobile::Close() {
    delete m_windowSurface;
    m_windowSurface = nullptr;
    CloseDriver();
    Shutdown();
    CGraphics::SetCurrentSurface(nullptr);
    if (m_listener != nullptr) {
        CEventListener::UnlistenAll(m_listener);
        delete m_listener;
        m_listener = nullptr;
    }
    SetOpen(false);
}

void CGraphics_WinMobile::Present() {
    if (m_driver == nullptr) return;
    const CRenderSurface* surface = GetCurrentSurface();
    if (surface != nullptr && (surface->GetFlags() & CRenderSurface::kFlagSoftware) == 0) m_driver->Present();
}

bool CGraphics_WinMobile::OnEvent(CEvent* message, CEventListener* listener) {
    if (message == nullptr || message->GetId() != EngineEvent::kDeviceOrientationChanged) return false;
    CGraphics_WinMobile* device = dynamic_cast<CGraphics_WinMobile*>(listener->GetOwner());
    if (device != nullptr) device->OnOrientationChanged();
    return true;
}

// Creating the surface again releases its DirectDraw surfaces and makes new
// ones at the turned display's size.
void CGraphics_WinMobile::OnOrientationChanged() {
    if (m_windowSurface == nullptr) return;
    if (!CreateSurface(m_windowSurface)) {
        DebugPrintf("CGraphics_WinMobile: the window surface cannot be made for the turned screen\n");
    }
    m_windowSurface->MakeCurrent();
}

CGraphics2d_Lite* CreateGraphics2d() { return new CGraphics2d_Lite(); }
