#include "CGameWorld.h"

#include "AppServices.h"
#include "CActor.h"
#include "CGame.h"
#include "CGameApp.h"
#include "CRandGen.h"
#include "CSoundManager.h"
#include "CSpriteInstance.h"
#include "SK_Home.h"

namespace {

// Gives the sprite's images back to the sprite module.
void ReleaseImages(const CSpriteInstance* sprite) {
    uint8_t set = 0;
    uint8_t index = 0;
    SK_Home* home = GetSpriteHome();
    if (sprite != nullptr && home != nullptr && home->IsLoaded() && sprite->GetSetAndSprite(set, index)) {
        home->ReleaseSprite(set, index);
    }
}

void ReleaseSprite(std::unique_ptr<CSpriteInstance>& sprite) {
    ReleaseImages(sprite.get());
    sprite.reset();
}

}  // namespace

CGameWorld::CGameWorld() = default;

CGameWorld::~CGameWorld() {
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

// What a level took of the actors' side: sprites, actors, lists, tiles and
// spawns. Safe to run twice and on a world that never loaded.
void CGameWorld::Unload() {
    player = nullptr;
    partner = nullptr;
    cameraTarget = nullptr;
    waitingCommand = nullptr;
    waitingActor = nullptr;
    if (projectilePool && projectilePool->size() > 0) ReleaseImages(projectilePool->elementAt(0)->sprite.get());
    ReleaseSprite(hudSprite);
    ReleaseSprite(projectileSprite);
    ReleaseSprite(promptSprite);
    ReleaseSprite(hitSparkSprite);
    ReleaseSprite(bossGaugeSprite);
    ClearActorLists(false);
    DeleteActorLists();
    SK_Home* home = GetSpriteHome();
    if (home != nullptr && home->IsLoaded()) home->ReleaseAll();
    tileTypes.clear();
    tileTypeCount = 0;
    collisionLayer.clear();
    collisionWidth = collisionHeight = 0;
    spawns.clear();
    templateRanges.clear();
    loaded = false;
    CScreen::Unload();
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
