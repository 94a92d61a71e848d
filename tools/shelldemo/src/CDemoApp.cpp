#include "CDemoApp.h"

#include "CApplet.h"
#include "CDemoTicker.h"
#include "CEvent.h"
#include "CGraphics2d_Lite.h"
#include "CGraphics_WinMobile.h"
#include "CMessage.h"
#include "CRegistry.h"
#include "CRegistryAccelerateHandleQuery.h"
#include "CRenderSurface.h"
#include "DemoScene.h"
#include "EngineEvents.h"
#include "WinMain.h"

#include <cstdio>

namespace {

constexpr int32_t kRegistryPriority = 0x3FFFFFFF;
constexpr uint32_t kBackground = 0xFF182838;

CRegistryAccelerateHandleQuery* NewAccelerator() { return new CRegistryAccelerateHandleQuery(150, 50, true); }

}  // namespace

CAppBase* CreateGameApp() { return new CDemoApp(); }

CDemoApp::Settings& CDemoApp::GetSettings() {
    static Settings settings;
    return settings;
}

DemoState& CDemoApp::GetState() {
    static DemoState state;
    return state;
}

CDemoApp::~CDemoApp() { Shutdown(); }

int32_t CDemoApp::Init() {
    if (!CreateSingletonTable() || !CreateEventRegistry()) return 1;
    CDemoTicker* ticker = new CDemoTicker(this);
    SetTicker(ticker);
    if (ticker == nullptr || !ticker->Create()) return 1;
    if (!OpenGraphics()) {
        std::fprintf(stderr, "shelldemo: the graphics device or the 2D renderer cannot open\n");
        return 1;
    }
    GetState().started = true;
    return 0;
}

// Also reached from the destructor: undoes what Init got to, once.
void CDemoApp::Shutdown() {
    CloseGraphics();
    delete GetTicker();
    SetTicker(nullptr);
    DestroyEventRegistry();
}

bool CDemoApp::CreateEventRegistry() {
    CRegistry* root = new CRegistry();
    SetRegistry(root);
    CRegistry* events = new CRegistry();
    if (root == nullptr || events == nullptr) {
        delete events;
        return false;
    }
    root->SetQueryAccelerator(NewAccelerator());
    events->SetQueryAccelerator(NewAccelerator());
    m_eventRegistryItem = root->NewItem(CEvent::kEventRegistryId, events, CRegistry::kClassKey, kRegistryPriority);
    if (m_eventRegistryItem == nullptr) {
        delete events;
        return false;
    }
    root->Register(m_eventRegistryItem);
    return true;
}

// The device's listener has gone with the device, so the event registry
// holds no message registries any more.
void CDemoApp::DestroyEventRegistry() {
    CRegistry* root = GetRegistry();
    if (root != nullptr && m_eventRegistryItem != nullptr) {
        root->Unregister(m_eventRegistryItem);
        delete static_cast<CRegistry*>(m_eventRegistryItem->GetObject());
        delete m_eventRegistryItem;
        m_eventRegistryItem = nullptr;
    }
    delete root;
    SetRegistry(nullptr);
}

bool CDemoApp::OpenGraphics() {
    m_device = CGraphics_WinMobile::Create();
    if (m_device == nullptr || !m_device->Open()) return false;
    m_renderer = CreateGraphics2d();
    return m_renderer != nullptr && m_renderer->Open();
}

void CDemoApp::CloseGraphics() {
    if (m_renderer != nullptr) m_renderer->Close();
    delete m_renderer;
    m_renderer = nullptr;
    if (m_device != nullptr) m_device->Close();
    delete m_device;
    m_device = nullptr;
}

void CDemoApp::RunFrame() {
    if (GetTicker() != nullptr) GetTicker()->Tick();
}

void CDemoApp::HandleEvent(uint32_t id, uint32_t arg1, uint32_t arg2) {
    Deliver(id, arg1, arg2);
    Remember(id, arg1, arg2);
    FollowLifeCycle(id);
}

// To every listener of the id at once, as a one-shot message.
void CDemoApp::Deliver(uint32_t id, uint32_t arg1, uint32_t arg2) {
    CMessage* message = new CMessage(this, id, 0, {CMessageParam::Integer(arg1), CMessageParam::Integer(arg2)});
    if (message != nullptr) CExecutable::Update(message);
}

void CDemoApp::Remember(uint32_t id, uint32_t arg1, uint32_t arg2) {
    DemoState& state = GetState();
    if (id == EngineEvent::kMouseButtonDown) {
        state.stylusX = static_cast<int32_t>(arg2 & 0xFFFF);
        state.stylusY = static_cast<int32_t>(arg2 >> 16);
    } else if (id == EngineEvent::kKeyPressed) {
        state.lastKey = static_cast<int32_t>(arg1);
    }
}

void CDemoApp::FollowLifeCycle(uint32_t id) {
    CAppTicker* ticker = GetTicker();
    if (ticker == nullptr) return;
    switch (id) {
        case EngineEvent::kAppStart:
            ticker->OnStart();
            break;
        case EngineEvent::kAppStop:
            ticker->OnQuit();
            break;
        case EngineEvent::kAppSuspend:
            ticker->OnPause();
            break;
        case EngineEvent::kAppResume:
            ticker->OnResume();
            break;
        default:
            break;
    }
}

void CDemoApp::Update(int32_t frameMs) { GetState().elapsedMs += static_cast<uint32_t>(frameMs); }

void CDemoApp::Paint() {
    CRenderSurface* surface = m_device->GetCurrentSurface();
    uint32_t width = 0;
    uint32_t height = 0;
    if (surface == nullptr || !surface->GetSize(&width, &height)) return;
    m_device->BeginFrame();
    m_renderer->BeginFrame();
    m_renderer->SetOrigin(CGraphics2d_Lite::kOriginTopLeft);
    m_renderer->Disable(CGraphics2d_Lite::kCapColorKey);
    m_renderer->Disable(CGraphics2d_Lite::kCapBlend);
    m_renderer->LoadIdentity();
    m_device->SetClearColor(kBackground);
    m_device->Clear(CGraphics::kClearColor);
    DemoScene::Draw(m_renderer, GetState(), static_cast<int32_t>(width), static_cast<int32_t>(height));
    m_renderer->EndFrame();
    m_device->EndFrame();
    m_device->Present();

    DemoState& state = GetState();
    ++state.framesPainted;
    state.surfaceWidth = width;
    state.surfaceHeight = height;
    if (ShouldQuit()) PostQuit();
}

bool CDemoApp::ShouldQuit() {
    const Settings& settings = GetSettings();
    if (settings.frameLimit != 0 && GetState().framesPainted >= settings.frameLimit) return true;
    return settings.inputEnded && settings.inputEnded();
}
