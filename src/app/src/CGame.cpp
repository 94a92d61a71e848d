#include "CGame.h"

#include "AppServices.h"
#include "CDrawUtil.h"
#include "CGameApp.h"
#include "CSoundManager.h"
#include "CStates.h"
#include "EngineEvents.h"

namespace {

constexpr uint32_t kOpaque = 0xFF000000;

}  // namespace

CGame::CGame() : m_states(new CStates()), m_sound(new CSoundManager()) {}

CGame::~CGame() {
    delete m_states;
    delete m_sound;
}

CGame* CGame::Get() {
    const CGameApp* app = GetGameApp();
    return app != nullptr ? app->GetGame() : nullptr;
}

CSoundManager* CGame::GetSound() {
    const CGame* game = Get();
    return game != nullptr ? game->m_sound : nullptr;
}

CStates* CGame::GetStateMachine() {
    const CGame* game = Get();
    return game != nullptr ? game->m_states : nullptr;
}

bool CGame::HandleEvent(uint32_t id, uint32_t, uint32_t) {
    if (id == EngineEvent::kAppSuspend) Pause();
    if (id == EngineEvent::kAppResume) Resume();
    return true;
}

// The game moves by one fixed step whatever time has passed.
bool CGame::Update(int32_t) {
    if (m_paused == 0) m_elapsedMs += kStepMs;
    if (m_clearPending != 0) {
        ClearScreen();
        m_clearPending = 0;
    }
    return true;
}

bool CGame::Paint() {
    if (repaintPending != 0) {
        ClearScreen();
        repaintPending = 0;
    }
    return true;
}

void CGame::ClearScreen() const {
    CDrawUtil::FillRect(0, 0, m_screenWidth, m_screenHeight, kOpaque | static_cast<uint32_t>(clearColour));
}

void CGame::Pause() {
    if (m_paused == 0) {
        m_paused = 1;
        repaintPending = 1;
        m_sound->Stop(true);
    }
    m_clearPending = 1;
}

void CGame::Resume() {
    m_paused = 0;
    if (m_sound->loopingId != CSoundManager::kNoLoop) m_sound->Play(m_sound->loopingId, true);
}

void CGame::OnScreenSize() {
    m_screenWidth = ::GetScreenWidth();
    m_screenHeight = ::GetScreenHeight();
    m_halfWidth = m_screenWidth >> 1;
    m_halfHeight = m_screenHeight >> 1;
}
