#include "CGameProgress.h"

#include "CAssert.h"
#include "CGame.h"
#include "CGameInput.h"
#include "CGameWorld.h"
#include "CHud.h"
#include "CSoundManager.h"
#include "CStates.h"
#include "CTouchButtonManager.h"
#include "JGraphics.h"
#include "JImage.h"
#include "JSystem.h"

namespace {

constexpr uint32_t kOpaque = 0xFF000000;
constexpr uint32_t kPlaySoftKeys = 0x08;
constexpr int32_t kLoaded = 100;

}  // namespace

CGameProgress::~CGameProgress() { delete interludeImage; }

void CGameProgress::StartLevel(int32_t state) {
    pauseRequested = 0;
    CHud* hud = CGame::GetHud();
    CGameInput* input = CGame::GetInput();
    switch (state) {
        case CStates::kPlayLoad: {
            if (hud != nullptr) hud->Clear();
            if (world == nullptr) world = CGame::GetWorld();
            CGame* game = CGame::Get();
            if (game != nullptr) game->touchPicturesShown = true;
            break;
        }
        case CStates::kPlay:
            // Play resumed by a tap is played with the stylus; a key that
            // resumes it leaves the pictures as they were.
            if (CGame* game = CGame::Get()) ShowPicturesOnTap(*game);
            if (world == nullptr) world = CGame::GetWorld();
            if (world != nullptr && world->subState == CGameWorld::kSubStateBlack) break;
            // A page's modal hold ends with it: play must move the camera
            // again after the pause page.
            if (hud != nullptr) {
                hud->laidOut = false;
                hud->modal = 0;
            }
            if (input != nullptr) input->SetSoftKeys(kPlaySoftKeys);
            // This frame already paints play: its controls must be there,
            // not wait for the world's next update.
            if (world != nullptr && world->subState == CGameWorld::kSubStateNormal && world->inputBlocked == 0) {
                world->SetUpTouchControls();
            }
            break;
        default: {
            PlaySound(-1, false, true);
            if (input != nullptr) input->SetSoftKeys(0);
            CGame* game = CGame::Get();
            if (game != nullptr) game->repaintPending = 1;
            break;
        }
    }
}

int32_t CGameProgress::UpdatePlay(int32_t dt) {
    const CStates* states = CGame::GetStateMachine();
    if (states == nullptr) return 0;
    switch (states->state) {
        case CStates::kPlayLoad:
            return UpdateLoading();
        case CStates::kPlay:
            return UpdatePlaying(dt);
        case CStates::kPlayOver:
            PushPlayReturn(CStates::kPlay);
            return CStates::kGameOver;
        default:
            return 0;
    }
}

// The HUD's percentage is the loading step: 0 when a load begins, 100 when
// the level is loaded.
int32_t CGameProgress::UpdateLoading() {
    CHud* hud = CGame::GetHud();
    const CGameInput* input = CGame::GetInput();
    if (hud == nullptr || input == nullptr) return 0;
    const int32_t step = hud->percent;
    if (step == kLoaded) return level == kInterludeLevel ? UpdateInterlude() : CStates::kPlay;
    if (input->IsPressed(GameKey::kBack) || world == nullptr) {
        if (world == nullptr) DebugPrintf("no play world to load level %d: back to the menu", level);
        PlaySound(kMenuMusic, true, false);
        closeRequested = 1;
        // The next load of the level makes its picture anew and shows it.
        EndInterlude();
        return CStates::kMainMenu;
    }
    hud->percent = world->LoadStep(step);
    return 0;
}

int32_t CGameProgress::UpdateInterlude() {
    const uint32_t now = JSystem::currentTimeMillis();
    if (interludeStart == 0) {
        interludeStart = now;
        return 0;
    }
    if (static_cast<int32_t>(now - interludeStart) <= kInterludeMs) return 0;
    EndInterlude();
    return CStates::kPlay;
}

void CGameProgress::EndInterlude() {
    delete interludeImage;
    interludeImage = nullptr;
    interludeShown = 0;
    interludeStart = 0;
}

// The pause page opens unless a cut scene blocks the player's input. The
// pause key then stands the world still for this tick; a suspension's
// request waits while the world plays on, since only the world's own update
// ends the block. Back pauses only a world that is still playing after its
// update: one that has left play in this tick (the level ended, a notice
// opened, the game went to the menu or is over) has moved the game on, and
// a pause page over it would hold the player on a level already gone.
int32_t CGameProgress::UpdatePlaying(int32_t dt) {
    const CGameInput* input = CGame::GetInput();
    CHud* hud = CGame::GetHud();
    const CStates* states = CGame::GetStateMachine();
    if (input == nullptr || hud == nullptr || world == nullptr || states == nullptr) return 0;
    CGame* game = CGame::Get();
    if (game != nullptr) FollowPointerOrKeys(*game, *input);
    const bool pauseKey = input->IsPressed(GameKey::kSoftRight);
    const bool back = input->IsPressed(GameKey::kBack);
    int32_t next = 0;
    bool updated = false;
    if (pauseKey || pauseRequested != 0) {
        hud->imageDone = false;
        if (world->inputBlocked == 0) {
            PushPlayReturn(CStates::kPlay);
            PlaySound(-1, false, true);
            return CStates::kPause;
        }
    }
    if (!pauseKey) {
        next = static_cast<int32_t>(world->Update(dt));
        updated = true;
    }
    const bool stillPlaying = next == 0 && states->state == CStates::kPlay;
    if (back && stillPlaying && world->inputBlocked == 0) {
        PushPlayReturn(CStates::kPlay);
        next = CStates::kPause;
        PlaySound(-1, false, true);
    }
    if (updated && game != nullptr && (next != 0 || !WorldCoversScreen(*game))) game->repaintPending = 1;
    return next;
}

// The touch pictures cover the lower left of the level, where the camera
// keeps the player: they show only while the stylus is the one playing.
void CGameProgress::FollowPointerOrKeys(CGame& game, const CGameInput& input) {
    if (!ShowPicturesOnTap(game) && input.KeyWentDown()) game.touchPicturesShown = false;
}

bool CGameProgress::ShowPicturesOnTap(CGame& game) {
    const CTouchButtonManager* touch = CGame::GetTouchButtons();
    if (touch == nullptr || !touch->HasDownEdge()) return false;
    game.touchPicturesShown = true;
    return true;
}

// A world laid out for the screen as it is paints all of it, its background
// first: clearing the screen before it would be overwritten at once.
bool CGameProgress::WorldCoversScreen(const CGame& game) const {
    return world->screenWidth == game.GetScreenWidth() && world->screenHeight == game.GetScreenHeight();
}

void CGameProgress::PaintPlay(JGraphics& g) {
    CGame* game = CGame::Get();
    const CStates* states = CGame::GetStateMachine();
    if (game == nullptr || states == nullptr) return;
    game->clearColour = 0;
    const int32_t w = game->GetScreenWidth();
    const int32_t h = game->GetScreenHeight();
    if (states->state == CStates::kPause) {
        g.setColor(kOpaque);
        g.fillRect(0, 0, w, h);
        if (world != nullptr) world->Paint(g);
    } else if (states->state == CStates::kPlay) {
        if (world != nullptr && world->subState == CGameWorld::kSubStateNormal) game->clearColour = world->backgroundColour;
        if (world != nullptr) world->Paint(g);
    } else {
        resetClip(g);
        g.setColor(kOpaque);
        g.fillRect(0, 0, w, h);
    }
}

void CGameProgress::ClosePlay() {
    if (world != nullptr) world->Unload();
    closeRequested = 0;
}

void CGameProgress::PushPlayReturn(int32_t s) {
    CStates* states = CGame::GetStateMachine();
    if (states == nullptr) return;
    const int32_t current = states->state;
    states->state = s;
    states->PushState();
    states->state = current;
}

void CGameProgress::PlaySound(int32_t id, bool loop, bool stopFirst) {
    CSoundManager* sound = CGame::GetSound();
    if (sound == nullptr) return;
    if (stopFirst) sound->Stop(false);
    if (id >= 0) sound->Play(id, loop);
}
