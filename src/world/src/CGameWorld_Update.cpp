#include <algorithm>

#include "AppServices.h"
#include "CActor.h"
#include "CAssert.h"
#include "CGame.h"
#include "CGameApp.h"
#include "CGameInput.h"
#include "CGameProgress.h"
#include "CGameSettings.h"
#include "CGameWorld.h"
#include "CHud.h"
#include "CSpriteInstance.h"
#include "CSoundManager.h"
#include "CStates.h"
#include "CTouchButtonManager.h"

namespace {

// Debug key sequences: level complete, then the player's words 44 and 29
// filled up.
constexpr uint32_t kCheatKeys[CGameWorld::kCheatSequences][CGameWorld::kCheatLength] = {
    {16, 64, 16}, {64, 64, 256}, {256, 16, 16}};
constexpr int32_t kCheatValue = 10000000;
constexpr uint32_t kKeyDebugOverlay = 512;
constexpr uint32_t kKeyFreeMove = 1024;
constexpr int32_t kEndingMusic = 0x9000169;

constexpr int32_t kTouchGroupMove = 1;
constexpr int32_t kTouchGroupFormA = 2;
constexpr int32_t kTouchGroupFormB = 3;
constexpr int32_t kTouchGroupCheats = 5;

bool CheatsEnabled() { return IsCheatsEnabled(GetGameSettings()) != 0; }

}  // namespace

CHud* CGameWorld::GetHud() const { return links.hud != nullptr ? links.hud : CGame::GetHud(); }

CStates* CGameWorld::GetStates() const { return links.states != nullptr ? links.states : CGame::GetStateMachine(); }

CTouchButtonManager* CGameWorld::GetTouchButtons() const {
    return links.touchButtons != nullptr ? links.touchButtons : CGame::GetTouchButtons();
}

uint8_t CGameWorld::Update(int32_t dt) {
    if (CheatsEnabled()) UpdateCheatKeys();
    uint8_t result = 0;
    switch (subState) {
        case kSubStateNormal: UpdatePlaying(dt); break;
        case kSubStateLeave:
            result = kLeavePlayResult;
            if (hudSprite) hudSprite->SetVisible(false);
            break;
        case kSubStateComplete: FinishLevel(); break;
        case kSubStateBlack: UpdateScripts(dt); break;
        case kSubStateNoStart:
            DebugPrintf("world: level %d cannot be played without a player start: back to the menu", level);
            Unload();
            result = static_cast<uint8_t>(CStates::kMainMenu);
            break;
        default: break;
    }
    return result;
}

// Each sequence follows only its own next key.
void CGameWorld::UpdateCheatKeys() {
    CGameInput* input = GetInput();
    if (input == nullptr) return;
    if (input->AnyPressed()) {
        for (int32_t k = 0; k < kCheatSequences; ++k) {
            int32_t& counter = cheatCounters[static_cast<size_t>(k)];
            if (!input->IsPressed(kCheatKeys[k][counter])) {
                counter = 0;
                continue;
            }
            if (++counter < kCheatLength) continue;
            counter = 0;
            if (k == 0) SetSubState(kSubStateComplete);
            if (k == 1 && player != nullptr) player->SetStateWord(PlayerWord::kCharge, kCheatValue);
            if (k == 2 && player != nullptr) player->SetStateWord(PlayerWord::kPower, kCheatValue);
        }
    }
    if (debugKeys == 0) return;
    if (input->IsPressed(kKeyDebugOverlay)) {
        debugOverlay ^= 1;
        if (CGameApp* app = GetGameApp()) app->ToggleDebugBoxes();
    } else if (input->IsPressed(kKeyFreeMove)) {
        freeMove ^= 1;
    }
}

void CGameWorld::UpdatePlaying(int32_t dt) {
    playTime += static_cast<uint64_t>(std::max(dt, 0));
    viewCentreX = cameraX + viewWidth / 2;
    viewCentreY = cameraY + viewHeight / 2;
    if (inputBlocked == 0) {
        SetUpTouchControls();
        UpdateActors(dt);
    }
    TickEffects(dt);
    if (shakeTime > 0) UpdateShake(dt);
    UpdateScripts(dt);
    UpdateSpawns();
    FlushActorLists();
    const CHud* hud = GetHud();
    if (hud == nullptr || hud->modal == 0) UpdateCamera(dt, false);
    UpdateFade(dt);
}

// Play that starts, or comes back from a menu page over it, starts from no
// key at all.
void CGameWorld::SetUpTouchControls() {
    const CGame* game = CGame::Get();
    if (game == nullptr || game->playControlsShown != 0) return;
    ShowTouchControls();
    if (CGameInput* input = GetInput()) input->Reset();
}

void CGameWorld::ShowTouchControls() {
    CGame* game = CGame::Get();
    if (game == nullptr) return;
    if (CTouchButtonManager* touch = GetTouchButtons()) {
        touch->Enable(kTouchGroupMove);
        if (player != nullptr) touch->Enable(player->type != ActorType::kPlayerFormA ? kTouchGroupFormB : kTouchGroupFormA);
        if (CheatsEnabled()) touch->Enable(kTouchGroupCheats);
        touch->Reset();
    }
    game->playControlsShown = 1;
}

// Actors added while the frame runs wait for the next flush; the counts
// are taken before each loop.
void CGameWorld::UpdateActors(int32_t dt) {
    if (partnerMode != 0) {
        if (player != nullptr) player->Update(dt);
        if (partner == nullptr) {
            partnerMode = 0;
            return;
        }
        partner->Update(dt);
        if (partner != nullptr && partner->link != nullptr) partner->link->Update(dt);
        return;
    }
    if (player != nullptr && player->type == ActorType::kPlayerFormA) {
        UpdateKeyPrompt(dt);
        if (player != nullptr) player->SetStateWord(PlayerWord::kMeleeOnly, 0);
    }
    if (!activeList || !drawList) return;
    const int32_t active = activeList->size();
    for (int32_t i = 0; i < active && i < activeList->size(); ++i) activeList->elementAt(i)->Update(dt);
    const int32_t drawn = drawList->size();
    for (int32_t i = 0; i < drawn && i < drawList->size(); ++i) {
        CActor* a = drawList->elementAt(i);
        if (!activeList->contains(a)) a->Update(dt);
    }
}

// The level is done: the next one, or the ending after the last.
void CGameWorld::FinishLevel() {
    Unload();
    CGameProgress* progress = GetProgress();
    CStates* states = GetStates();
    if (level + 1 >= kLevelCount) {
        if (progress != nullptr) progress->highestLevel = kLevelCount - 1;
        if (states != nullptr) states->SetState(kStateEnding);
        if (CSoundManager* sound = GetSound()) sound->Play(kEndingMusic, false);
    } else {
        const int32_t next = (level + 1) % kLevelCount;
        if (progress != nullptr) {
            progress->level = next;
            progress->highestLevel = std::max(progress->highestLevel, next);
        }
        if (states != nullptr) states->SetState(kStateNextLevel);
    }
    // Every level end tries to save, also after a failed one: the disk may
    // work again, and the progress reached would otherwise be lost on quit.
    if (CGame* game = CGame::Get()) game->SaveProgress();
    subState = kSubStateBlack;
}
