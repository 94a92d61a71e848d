#include "GameAppFixture.h"

#include "AppServices.h"
#include "CCore_Win32.h"
#include "EngineEvents.h"
#include "HeadlessBackend.h"
#include "HostDisplay.h"
#include "HostPngWriter.h"
#include "HostWindowSystem.h"

void GameAppFixture::TearDown() { Stop(); }

int32_t GameAppFixture::Start(const apptest::ArchiveSpec& spec) {
    if (m_writeArchive) apptest::WriteArchive(m_environment.Directory(), spec);
    m_backend = new HeadlessBackend(HostInputScript());
    HostWindowSystem::SetBackend(m_backend);
    m_core = CCore_Win32::Create();
    SetCore(m_core);
    m_app = new CGameApp();
    SetApplication(m_app);
    return m_app->Init();
}

void GameAppFixture::StartRunning(const apptest::ArchiveSpec& spec) {
    ASSERT_EQ(Start(spec), 0);
    Event(EngineEvent::kAppStart);
}

void GameAppFixture::Stop() {
    if (m_app != nullptr) {
        m_app->Shutdown();
        delete m_app;
        m_app = nullptr;
    }
    SetApplication(nullptr);
    delete m_core;
    m_core = nullptr;
    SetCore(nullptr);
    EXPECT_EQ(HostDisplay::LiveSurfaces(), 0);
    EXPECT_EQ(HostDisplay::LiveDrivers(), 0);
}

uint32_t GameAppFixture::ScreenRgb(int32_t x, int32_t y) const {
    return HostPngWriter::RgbAt(m_backend->LastFrame(), 2 * x, 2 * y);
}

bool GameAppFixture::NearRgb(uint32_t a, uint32_t b) {
    for (int32_t shift : {0, 8, 16}) {
        const int32_t d = static_cast<int32_t>((a >> shift) & 0xFF) - static_cast<int32_t>((b >> shift) & 0xFF);
        if (d < -8 || d > 8) return false;
    }
    return true;
}
