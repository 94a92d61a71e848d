#include "BenchRunningGame.h"

#include "AppServices.h"
#include "CCore_Win32.h"
#include "CGame.h"
#include "CGameApp.h"
#include "CGameProgress.h"
#include "CGameWorld.h"
#include "CStates.h"
#include "EngineEvents.h"
#include "GameKeys.h"
#include "HeadlessBackend.h"
#include "HostClock.h"
#include "HostDisplay.h"
#include "HostInstanceLock.h"
#include "HostPath.h"
#include "HostSystemInfo.h"
#include "HostWindowSystem.h"

namespace {

constexpr int32_t kScreenWidth = 480;
constexpr int32_t kScreenHeight = 640;
constexpr uint32_t kFrameMs = 40;
constexpr int32_t kBootFrameLimit = 2000;
constexpr int32_t kLoadFrameLimit = 4000;

}  // namespace

BenchRunningGame::BenchRunningGame() {
    if (m_folder.Path().empty()) return;
    HostPath::SetAppDirectory(m_folder.Path().c_str());
    HostClock::UseVirtual(1000, 1700000000000ull);
    HostSystemInfo::SetScreenSize(kScreenWidth, kScreenHeight);
    HeadlessBackend* backend = new HeadlessBackend(HostInputScript());
    // As the game runs headless without screenshots: frames are not kept.
    backend->KeepFrames(false);
    HostWindowSystem::SetBackend(backend);
    m_core = CCore_Win32::Create();
    SetCore(m_core);
    m_app = new CGameApp();
    SetApplication(m_app);
    if (m_app->Init() != 0) return;
    m_app->HandleEvent(EngineEvent::kAppStart, 0, 0);
    m_ready = BootToMainMenu();
}

BenchRunningGame::~BenchRunningGame() {
    if (m_app != nullptr) {
        m_app->Shutdown();
        delete m_app;
    }
    SetApplication(nullptr);
    delete m_core;
    SetCore(nullptr);
    HostWindowSystem::Reset();
    HostInstanceLock::ReleaseAll();
    HostDisplay::Reset();
    HostClock::UseMonotonic();
    HostPath::SetAppDirectory(nullptr);
}

void BenchRunningGame::Frame() {
    HostClock::Advance(kFrameMs);
    m_app->RunFrame();
}

int32_t BenchRunningGame::State() const { return CGame::GetStateMachine()->state; }

void BenchRunningGame::Key(uint32_t event, int32_t engineKey) {
    m_app->HandleEvent(event, static_cast<uint32_t>(engineKey), 0);
}

void BenchRunningGame::StartLevel(int32_t level) {
    CGame::GetProgress()->level = level;
    CGame::GetStateMachine()->SetState(CStates::kLoadLevel);
}

bool BenchRunningGame::Play(int32_t level) {
    StartLevel(level);
    Frame();
    return RunUntil(CStates::kPlay, kLoadFrameLimit) && CGame::GetWorld()->level == level;
}

int32_t BenchRunningGame::BusiestLevel() {
    int32_t busiest = 0;
    size_t most = 0;
    for (int32_t level = 0; level < CGameWorld::kLevelCount; ++level) {
        if (!Play(level)) continue;
        const size_t spawns = CGame::GetWorld()->spawnActors.size();
        if (spawns > most) {
            most = spawns;
            busiest = level;
        }
    }
    return busiest;
}

bool BenchRunningGame::RunUntil(int32_t state, int32_t limit) {
    for (int32_t i = 0; i < limit && State() != state; ++i) Frame();
    return State() == state;
}

// Answers the first message box (the sound question) with its first row.
bool BenchRunningGame::BootToMainMenu() {
    if (!RunUntil(CStates::kMessageBox, kBootFrameLimit)) return false;
    Key(EngineEvent::kKeyPressed, EngineKey::kSelect);
    Key(EngineEvent::kKeyReleased, EngineKey::kSelect);
    return RunUntil(CStates::kMainMenu, kBootFrameLimit);
}
