#include <algorithm>

#include "ActorUnits.h"
#include "CActor.h"
#include "CGameWorld.h"
#include "CScriptCommand.h"
#include "CSpriteInstance.h"

namespace {

// Checkpoint record words.
constexpr size_t kWordCameraX = 0;
constexpr size_t kWordCameraY = 1;
constexpr size_t kWordControl = 2;
constexpr size_t kWordCollected = 3;
constexpr size_t kWordScriptFlag = 4;
constexpr size_t kWordScripts = 5;
constexpr size_t kWordWindow = 10;
constexpr size_t kWordSubState = 14;
constexpr size_t kWordSpawns = 15;
constexpr int32_t kIndexBits = 16;
constexpr int32_t kIndexMask = 0xFFFF;

// Pooled shots by the type that fires them.
constexpr int32_t kNoAnimation = -1;
constexpr int32_t kShotDamageFormA = 300;
constexpr int32_t kShotDamageType1 = 200;
constexpr int32_t kShotDamageFormB = 800;
constexpr int32_t kShotDamageFormBSpecial = 4000;
constexpr int32_t kShotDamageType3 = 200;
constexpr int32_t kShotAnimationType1 = 2;
constexpr int32_t kShotAnimationFormBSpecial = 1;
constexpr int32_t kShotAnimationBoss41 = 4;
constexpr int32_t kLargeEnemy3LowAttack = 4;
constexpr int32_t kLargeEnemy3HighAttack = 11;
constexpr int32_t kLargeEnemy3LowShot = 2;
constexpr int32_t kLargeEnemy3HighShot = 3;
constexpr int32_t kShotKindWord = 0;
constexpr int32_t kShotSourceWord = 1;
constexpr int32_t kShotLive = 1;

// Partner mode.
constexpr int32_t kPartnerSpeed = 307200;
constexpr int32_t kPartnerFormWord = 2;
constexpr int32_t kPartnerStepWord = 0;
constexpr int32_t kPartnerModeHeld = 2;
constexpr int32_t kPartnerFadeOutMs = 100;
// The partner's run by its form: form 2 runs once, the others loop.
constexpr int32_t kPartnerRunAnimation = 5;
constexpr int32_t kPartnerForm0RunAnimation = 4;
constexpr int32_t kPartnerOnceForm = 2;
constexpr int32_t kPartnerLoopForm = 1;
constexpr int32_t kPlayerStandA = 0;
constexpr int32_t kPlayerStandB = 2;
constexpr uint32_t kBlack = 0x000000;

}  // namespace

// The camera back on the player, which it follows from where it stands.
void CGameWorld::FollowPlayer() {
    playerControl = 1;
    cameraTarget = player;
    fixedTargetX = kNoFixedTarget;
    fixedTargetY = kNoFixedTarget;
    cameraArrived = 0;
    cameraRelX = 0;
    cameraRelY = 0;
}

// Only commands that belong to a script are saved: a detached one has no
// position to come back to.
void CGameWorld::SaveCheckpoint() {
    const size_t words = kWordSpawns + spawns.size();
    checkpoint.assign(words, 0);
    checkpoint[kWordCameraX] = cameraX;
    checkpoint[kWordCameraY] = cameraY;
    checkpoint[kWordControl] = playerControl != 0 ? 1 : 0;
    checkpoint[kWordCollected] = collectedCount;
    checkpoint[kWordScriptFlag] = scriptFlag != 0 ? 1 : 0;
    size_t slot = 0;
    for (const CScriptCommand* cmd : runningCommands) {
        if (slot == static_cast<size_t>(kCheckpointScripts)) break;
        if (cmd->IsDetached()) continue;
        checkpoint[kWordScripts + slot++] = (cmd->scriptIndex << kIndexBits) | (cmd->commandIndex & kIndexMask);
    }
    for (; slot < static_cast<size_t>(kCheckpointScripts); ++slot) checkpoint[kWordScripts + slot] = kNoSavedCommand;
    checkpoint[kWordWindow] = windowX1;
    checkpoint[kWordWindow + 1] = windowY1;
    checkpoint[kWordWindow + 2] = windowX2;
    checkpoint[kWordWindow + 3] = windowY2;
    checkpoint[kWordSubState] = subState;
    for (size_t i = 0; i < spawns.size(); ++i) checkpoint[kWordSpawns + i] = spawns[i].state;
    if (player != nullptr) player->SaveState();
    for (size_t i = spawnActors.size(); i-- > 0;) {
        if (spawnActors[i] != nullptr) spawnActors[i]->SaveState();
    }
}

void CGameWorld::RestoreCheckpoint() {
    if (checkpoint.size() < kWordSpawns) return;
    cameraX = checkpoint[kWordCameraX];
    cameraY = checkpoint[kWordCameraY];
    playerControl = checkpoint[kWordControl] != 0 ? 1 : 0;
    collectedCount = checkpoint[kWordCollected];
    scriptFlag = checkpoint[kWordScriptFlag] != 0 ? 1 : 0;
    DeleteRunningCommands();
    for (size_t slot = 0; slot < static_cast<size_t>(kCheckpointScripts); ++slot) {
        const int32_t word = checkpoint[kWordScripts + slot];
        if (word == kNoSavedCommand) break;
        CScriptCommand* cmd = MakeCommand((word >> kIndexBits) & kIndexMask, word & kIndexMask);
        if (cmd != nullptr) AddRunningCommand(cmd);
    }
    SetCameraBounds(checkpoint[kWordWindow], checkpoint[kWordWindow + 1], checkpoint[kWordWindow + 2],
                    checkpoint[kWordWindow + 3]);
    subState = checkpoint[kWordSubState];
    const size_t saved = std::min(spawns.size(), checkpoint.size() - kWordSpawns);
    for (size_t i = 0; i < saved; ++i) spawns[i].state = checkpoint[kWordSpawns + i];
    for (size_t i = spawnActors.size(); i-- > 0;) {
        if (spawnActors[i] == nullptr) continue;
        spawnActors[i]->RestoreState();
        if (i < spawns.size() && spawns[i].state == kSpawnLive) spawns[i].state = kSpawnFree;
    }
    ClearActorLists(true);
    if (player != nullptr) {
        QueueAddActor(player);
        player->RestoreState();
    }
    // Leaving play for the game-over box hid the energy row; a retry plays
    // on with it.
    if (hudSprite) hudSprite->SetVisible(true);
    FollowPlayer();
}

CActor* CGameWorld::SpawnProjectile(CActor* source, int32_t kind, int32_t vx, int32_t vy, int32_t x, int32_t y,
                                    int32_t facing) {
    if (source == nullptr || !projectilePool) return nullptr;
    CActor* shot = nullptr;
    for (int32_t i = 0; i < projectilePool->size(); ++i) {
        CActor* a = projectilePool->elementAt(i);
        if (a->hitPoints == CActor::kPoolFree) {
            shot = a;
            shot->hitPoints = kShotLive;
            break;
        }
    }
    if (shot == nullptr) {
        shot = CreateActor(projectileSprite.get(), ActorType::kPooledShot, 0, 0, 0);
        if (shot == nullptr) return nullptr;
        projectilePool->addElement(shot);
    }
    shot->facing = facing;
    shot->SetPosition(x, y);
    shot->vx = vx;
    shot->vy = vy;
    shot->SetStateWord(kShotKindWord, kind);
    shot->SetStateWord(kShotSourceWord, source->type);
    shot->ChangeAnimation(ArmShot(*shot, *source), true);
    QueueAddActor(shot);
    return shot;
}

// Sets the shot's damage by its source and answers its animation.
int32_t CGameWorld::ArmShot(CActor& shot, const CActor& source) const {
    CActor::AttackMove* move = shot.moves.empty() ? nullptr : &shot.moves.front();
    auto arm = [move](int32_t damage, bool clearReaction) {
        if (move == nullptr) return;
        move->damage = damage;
        if (clearReaction) move->reaction = 0;
    };
    switch (source.type) {
        case ActorType::kPlayerFormA: arm(kShotDamageFormA, false); return 0;
        case ActorType::kLargeEnemy1: arm(kShotDamageType1, true); return kShotAnimationType1;
        case ActorType::kPlayerFormB:
            if (player != nullptr && player->StateWord(PlayerWord::kSpecial) > 0) {
                arm(kShotDamageFormBSpecial, false);
                return kShotAnimationFormBSpecial;
            }
            arm(kShotDamageFormB, false);
            return 0;
        case ActorType::kLargeEnemy3:
            arm(kShotDamageType3, true);
            if (source.GetAnimationId() == kLargeEnemy3LowAttack) return kLargeEnemy3LowShot;
            if (source.GetAnimationId() == kLargeEnemy3HighAttack) return kLargeEnemy3HighShot;
            return kNoAnimation;
        case ActorType::kBoss41: return kShotAnimationBoss41;
        default: return kNoAnimation;
    }
}

void CGameWorld::StartPartnerMode() {
    if (partner == nullptr) return;
    partnerMode = 1;
    if (partner->sprite) partner->sprite->SetVisible(true);
    StartFade(kFadeUpHoldPartner, kWhite, kBlack, 0);
    partner->vy = 0;
    const int32_t w = partner->sprite ? partner->sprite->GetBoxWidth() : 0;
    const int32_t py = player != nullptr ? player->y : partner->y;
    if (player != nullptr) {
        player->vx = 0;
        player->ax = 0;
        player->vy = 0;
    }
    const bool fromLeft =
        player != nullptr && player->x >= ActorUnits::FromPixels(cameraX + screenWidth / 2);
    if (fromLeft) {
        partner->SetPosition(ActorUnits::FromPixels(cameraX - w), py);
        partner->facing = 1;
        partner->vx = kPartnerSpeed;
    } else {
        partner->SetPosition(ActorUnits::FromPixels(cameraX + viewWidth + w), py);
        partner->facing = 0;
        partner->vx = -kPartnerSpeed;
    }
    partner->gravity = 0;
    partner->targetVx = kPartnerSpeed;
    partner->SetStateWord(kPartnerStepWord, 0);
    const int32_t form = partner->StateWord(kPartnerFormWord);
    if (form == kPartnerOnceForm) {
        partner->ChangeAnimation(kPartnerRunAnimation, false);
    } else {
        partner->ChangeAnimation(form == kPartnerLoopForm ? kPartnerRunAnimation : kPartnerForm0RunAnimation, true);
    }
    if (player != nullptr) {
        player->SetStateWord(PlayerWord::kMode, kPartnerModeHeld);
        player->SetAnimation(player->type == ActorType::kPlayerFormA ? kPlayerStandA : kPlayerStandB, true);
    }
}

void CGameWorld::EndPartnerMode() {
    partnerMode = 0;
    if (partner != nullptr && partner->sprite) partner->sprite->SetVisible(false);
    StartFade(kFadeDown, kBlack, kWhite, kPartnerFadeOutMs);
    if (player != nullptr) player->SetStateWord(PlayerWord::kMode, PlayerWord::kModeFree);
}
