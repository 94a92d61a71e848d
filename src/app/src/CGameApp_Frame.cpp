// One frame of the game: power notifications, sound and the game's update
// (Tick), then the game's picture, the message screens over it and the
// presentation (Paint).

#include "CGameApp.h"

#include "AppServices.h"
#include "CAppTicker.h"
#include "CApplet.h"
#include "CGame.h"
#include "CGraphics.h"
#include "CGraphics2d_Lite.h"
#include "CRenderSurface.h"
#include "CSoundManager.h"
#include "EngineEvents.h"
#include "ICCore.h"
#include "ICMediaPlayer.h"
#include "WinCeMsgQueue.h"

namespace {

constexpr DWORD kPowerMessageBytes = 1024;
// The power-state flags word of a power notification, and the states
// (unattended, user idle) that stand for the device being left alone.
constexpr DWORD kPowerFlagsOffset = 4;
constexpr uint32_t kIdlePowerStates = 0x1400000;
// Surface presentations that want the game to repaint everything.
constexpr uint32_t kRefreshPresentationA = 3;
constexpr uint32_t kRefreshPresentationB = 4;

uint32_t ReadLittleEndian32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace

void CGameApp::ForwardToTicker() {
    if (GetTicker() != nullptr) GetTicker()->Tick();
}

void CGameApp::Tick() {
    const int32_t frameMs = GetTicker() != nullptr ? GetTicker()->GetFrameMs() : 0;
    DrainPowerQueue();
    PauseOrResumeSystemSound();
    if (!IsSuspended()) {
        if (m_game != nullptr) m_game->Update(frameMs);
        ICMediaPlayer* player = GetMediaPlayer();
        if (player != nullptr) player->Update(frameMs);
    }
    m_keysPressed = 0;
    m_keysReleasedLastFrame = m_keysReleased;
    m_keysReleased = 0;
    if (m_exitRequested != 0 && GetCore() != nullptr) GetCore()->Exit();
}

// A device left alone is suspended and resumed at once: the game pauses
// and shows its pause page when the user comes back.
void CGameApp::DrainPowerQueue() {
    CApplet* applet = GetApplet();
    HANDLE queue = applet != nullptr ? applet->GetPowerQueue() : nullptr;
    if (queue == nullptr) return;
    uint8_t message[kPowerMessageBytes];
    DWORD bytesRead = 0;
    DWORD flags = 0;
    while (ReadMsgQueue(queue, message, kPowerMessageBytes, &bytesRead, 0, &flags) != 0) {
        // A message too short to hold the flags says nothing.
        if (bytesRead < kPowerFlagsOffset + 4) continue;
        if ((ReadLittleEndian32(message + kPowerFlagsOffset) & kIdlePowerStates) == 0) continue;
        applet->GetEventQueue()->Post(EngineEvent::kAppSuspend, 0, 0);
        applet->GetEventQueue()->Post(EngineEvent::kAppResume, 0, 0);
    }
}

// While a message screen shows, the sound stops (the loop's id is kept);
// the first frame after it starts the loop again.
void CGameApp::PauseOrResumeSystemSound() {
    CSoundManager* sound = CGame::GetSound();
    if (sound == nullptr) return;
    if (IsSuspended()) {
        if (sound->IsPlaying()) {
            sound->Stop(true);
            m_soundPausedBySystem = 1;
        }
        return;
    }
    if (m_soundPausedBySystem == 0) return;
    m_soundPausedBySystem = 0;
    if (sound->loopingId != CSoundManager::kNoLoop) sound->Play(sound->loopingId, true);
}

void CGameApp::Paint() {
    CGraphics* graphics = GetGraphics();
    CGraphics2d_Lite* renderer = GetGraphics2d();
    CRenderSurface* surface = graphics != nullptr ? graphics->GetCurrentSurface() : nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
    if (renderer == nullptr || surface == nullptr || !surface->GetSize(&width, &height)) return;
    m_orientationMismatch = IsWrongOrientation(width, height) ? 1 : 0;
    // A game started in a shape it does not support quits once the shape
    // is right.
    if (m_startedInWrongOrientation != 0 && m_orientationMismatch == 0) m_exitRequested = 1;
    graphics->BeginFrame();
    renderer->BeginFrame();
    BeginFrame2d();
    if (m_game != nullptr) m_game->Paint();
    if (m_orientationMismatch != 0) {
        PaintOrientationMessage(width, height);
    } else if (m_hibernating != 0) {
        PaintHibernationMessage(width, height);
    }
    renderer->EndFrame();
    renderer->BeginFrame();
    renderer->EndFrame();
    graphics->EndFrame();
    graphics->Present();
    RequestRefreshIfAsked(surface);
}

void CGameApp::RequestRefreshIfAsked(CRenderSurface* surface) {
    CRenderSurfaceDesc desc{};
    if (!surface->GetDesc(&desc) || m_game == nullptr) return;
    if (desc.presentation == kRefreshPresentationA || desc.presentation == kRefreshPresentationB) {
        m_game->HandleEvent(EngineEvent::kRefresh, 0, 0);
    }
}

void CGameApp::BeginFrame2d() {
    CGraphics2d_Lite* renderer = GetGraphics2d();
    if (renderer == nullptr) return;
    renderer->SetOrigin(CGraphics2d_Lite::kOriginTopLeft);
    if (renderer->GetMode() == CGraphics2d_Lite::kMode) {
        renderer->Enable(CGraphics2d_Lite::kCapColorKey);
        renderer->Disable(CGraphics2d_Lite::kCapAlpha);
    } else {
        renderer->Disable(CGraphics2d_Lite::kCapColorKey);
        renderer->Enable(CGraphics2d_Lite::kCapAlpha);
    }
    renderer->Disable(CGraphics2d_Lite::kCapBlend);
    renderer->LoadIdentity();
}
