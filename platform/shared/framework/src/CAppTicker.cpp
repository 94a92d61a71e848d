#include "CAppTicker.h"

#include "CAppBase.h"
#include "CExecutableRegistry.h"
#include "CRuntime.h"

CAppTicker::~CAppTicker() { Destroy(); }

bool CAppTicker::Create() {
    if (m_registry == nullptr) m_registry = new CExecutableRegistry();
    if (m_registry == nullptr) return false;
    CAppBase* app = GetApplication();
    return app == nullptr || app->CreateRegistries(m_registry);
}

void CAppTicker::Destroy() {
    if (m_registry == nullptr) return;
    CAppBase* app = GetApplication();
    if (app != nullptr) app->DestroyRegistries(m_registry);
    delete m_registry;
    m_registry = nullptr;
}

void CAppTicker::MeasureFrame(uint32_t now) {
    // The difference is taken in 32 bits so that a wrapped tick count still
    // gives the elapsed time.
    const int32_t elapsed = static_cast<int32_t>(now - m_lastMs);
    m_frameMs = elapsed < m_maxStepMs ? elapsed : m_maxStepMs;
    m_frameSeconds = static_cast<int32_t>((static_cast<int64_t>(m_frameMs) * 65536) / 1000);
}

void CAppTicker::Tick() {
    const bool wasFrozen = m_frozen != 0;
    const uint32_t now = GetTimeMillis();
    if (!wasFrozen) MeasureFrame(now);
    OnTick();
    if (!wasFrozen) m_lastMs = now;
}

void CAppTicker::OnStart() {
    m_frozen = 0;
    m_state = kStarting;
    m_lastMs = GetTimeMillis();
    Tick();
    m_state = kRunning;
}

void CAppTicker::OnQuit() {
    m_frozen = 0;
    m_state = kQuitting;
    Tick();
}

void CAppTicker::OnPause() {
    m_frozen = 0;
    m_state = kPaused;
    Tick();
}

void CAppTicker::OnResume() {
    m_frozen = 1;
    m_state = kResuming;
    m_lastMs = GetTimeMillis();
    Tick();
    m_state = kRunning;
}
