#include "CGameWorld.h"

#include "AppServices.h"
#include "CActor.h"
#include "CGame.h"
#include "CGameApp.h"
#include "CRandGen.h"
#include "CScriptCommand.h"
#include "CSoundManager.h"
#include "CSpriteInstance.h"
#include "SK_Home.h"

CGameWorld::CGameWorld() = default;

CGameWorld::~CGameWorld() {
    UnloadLevel();
    DeleteHudTables();
    ClearActorLists(false);
    DeleteActorLists();
    projectileSprite.reset();
    promptSprite.reset();
    bossGaugeSprite.reset();
    hitSparkSprite.reset();
    hudSprite.reset();
    hudSpriteCopy.reset();
    SK_Home* home = GetSpriteHome();
    if (home != nullptr && home->IsLoaded()) home->ReleaseAll();
}

void CGameWorld::TickEffects(int32_t dt) {
    if (hudSprite) hudSprite->Tick(dt, false);
    if (hudSpriteCopy) hudSpriteCopy->Tick(dt, false);
}

int32_t CGameWorld::GetMaxHitPoints() const {
    const CGameApp* app = GetGameApp();
    return app != nullptr ? app->GetMaxHitPoints() : m_maxHitPoints;
}

void CGameWorld::SetMaxHitPoints(int32_t value) {
    m_maxHitPoints = value;
    if (CGameApp* app = GetGameApp()) app->SetMaxHitPoints(value);
}

CGameInput* CGameWorld::GetInput() const { return links.input != nullptr ? links.input : CGame::GetInput(); }

CGameProgress* CGameWorld::GetProgress() const {
    return links.progress != nullptr ? links.progress : CGame::GetProgress();
}

CSoundManager* CGameWorld::GetSound() const { return links.sound != nullptr ? links.sound : CGame::GetSound(); }

void CGameWorld::PlaySound(int32_t id) const {
    if (CSoundManager* sound = GetSound()) sound->Play(id, false);
}

int32_t CGameWorld::Random(int32_t low, int32_t high) {
    CRandGen* random = GetRandom();
    if (random == nullptr) return low;
    return static_cast<int32_t>(random->NextInRange(static_cast<uint32_t>(low), static_cast<uint32_t>(high)));
}
