#include <algorithm>

#include "ActorUnits.h"
#include "CActor.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"

namespace {

// Checkpoint copy words.
enum CheckpointWord : int32_t {
    kSavedFacing = 0,
    kSavedOnGround = 1,
    kSavedOnActor = 2,
    kSavedX = 3,
    kSavedY = 4,
    kSavedPrevX = 5,
    kSavedPrevY = 6,
    kSavedCollisionFlags = 7,
    kSavedAnimation = 8,
    kSavedLoop = 9,
    kSavedVisible = 10,
    kSavedVx = 11,
    kSavedHitPoints = 12,
    kSavedDepth = 13,
    kSavedGravity = 14,
    kSavedCreateFlag = 15,
};

constexpr int32_t kBomberSpeed = 122880;
constexpr int32_t kBomberAnimation = 4;
constexpr int32_t kFollowingDisplayShowMs = 401;
constexpr int32_t kFollowingDisplayAnimation = 1;

bool StaysInRange(int32_t type) {
    using namespace ActorType;
    for (int32_t t : {kBackgroundRunner, kDoor27, kRemote, kBoss41, kDoor50, kDoor54, kFlyingBoss, kType60}) {
        if (type == t) return true;
    }
    return false;
}

}  // namespace

bool CActor::IsOutOfRange() const {
    const CGameWorld* world = GetWorld();
    if (StaysInRange(type) || world == nullptr || !sprite) return false;
    return CSpriteInstance::IsOffScreen(*sprite, world->cameraX, world->cameraY, world->viewWidth, world->viewHeight);
}

void CActor::OnScriptSignal() {
    using namespace ActorType;
    CGameWorld* world = GetWorld();
    if (world == nullptr) return;
    CActor* p = world->player;
    switch (type) {
        case kBoss35:
            SetStateWord(0, 0);
            if (p == nullptr) break;
            if (p->StateWord(PlayerWord::kStance) == PlayerWord::kStanceLow) {
                p->SetAnimation(10, false);
                p->SetStateWord(PlayerWord::kStance, 2);
                p->vx = p->ax = p->targetVx = 0;
            }
            p->SetStateWord(PlayerWord::kBossSignal, 1);
            break;
        case kLargeEnemy1:
            ChangeAnimation(2, false);
            break;
        case kBomber:
            SetPosition(ActorUnits::FromPixels(world->cameraX - GetWidth()),
                        ActorUnits::FromPixels(world->cameraY + world->screenHeight / 2));
            ChangeAnimation(kBomberAnimation, true);
            vx = kBomberSpeed;
            SetStateWord(0, 0);
            if (sprite) sprite->SetVisible(true);
            break;
        case kFlyingBoss:
            world->type56Signal = 1;
            break;
        case kBoss41:
            if (StateWord(0) == 10) {
                SetStateWord(0, 9);
                SetStateWord(1, 100);
            }
            break;
        case kLargeEnemy67:
            SetStateWord(12, 1);
            if (sprite) sprite->SetVisible(true);
            break;
        case kPatrolFlyer:
            if (StateWord(0) == 0) {
                SetStateWord(0, 1);
                targetVx = StateWord(5);
                vx = -targetVx;
            }
            break;
        default:
            break;
    }
}

// A pooled shot goes back to the pool; a spawned actor frees its spawn, or
// marks it destroyed so that it never comes back.
void CActor::Remove(bool destroyed) {
    CGameWorld* world = GetWorld();
    if (world != nullptr) world->QueueRemoveActor(this);
    if (type == ActorType::kPooledShot) {
        hitPoints = kPoolFree;
        probe = {0, 0, 0, 0};
        vx = x = y = prevX = prevY = ax = 0;
    }
    if (spawnId >= 0 && world != nullptr) {
        world->SetSpawnState(spawnId, destroyed ? CGameWorld::kSpawnDestroyed : CGameWorld::kSpawnFree);
    }
}

void CActor::SaveState() {
    if (type == ActorType::kDecoration || checkpointState.size() < static_cast<size_t>(kCheckpointHeader)) return;
    int32_t* saved = checkpointState.data();
    saved[kSavedFacing] = facing;
    saved[kSavedOnGround] = onGround != 0 ? 1 : 0;
    saved[kSavedOnActor] = onActor != 0 ? 1 : 0;
    saved[kSavedX] = x;
    saved[kSavedY] = y;
    saved[kSavedPrevX] = prevX;
    saved[kSavedPrevY] = prevY;
    saved[kSavedCollisionFlags] = collisionFlags;
    saved[kSavedAnimation] = GetAnimationId();
    saved[kSavedLoop] = sprite && sprite->GetLoop() ? 1 : 0;
    saved[kSavedVisible] = sprite && sprite->IsVisible() ? 1 : 0;
    saved[kSavedVx] = vx;
    saved[kSavedHitPoints] = hitPoints;
    saved[kSavedDepth] = depth;
    saved[kSavedGravity] = gravity;
    saved[kSavedCreateFlag] = createFlag;
    std::copy(state.begin(), state.end(), checkpointState.begin() + kCheckpointHeader);
}

// The target speeds and the sprite's frame are not part of the copy.
void CActor::RestoreState() {
    if (type == ActorType::kDecoration || checkpointState.size() < static_cast<size_t>(kCheckpointHeader)) return;
    const int32_t* saved = checkpointState.data();
    facing = saved[kSavedFacing];
    onGround = static_cast<uint8_t>(saved[kSavedOnGround]);
    onActor = static_cast<uint8_t>(saved[kSavedOnActor]);
    collisionFlags = saved[kSavedCollisionFlags];
    createFlag = saved[kSavedCreateFlag];
    vx = saved[kSavedVx];
    hitPoints = saved[kSavedHitPoints];
    depth = saved[kSavedDepth];
    gravity = saved[kSavedGravity];
    vy = ax = ay = 0;
    prevX = saved[kSavedPrevX];
    prevY = saved[kSavedPrevY];
    SetAnimation(saved[kSavedAnimation], saved[kSavedLoop] != 0);
    if (sprite) sprite->SetVisible(saved[kSavedVisible] != 0);
    SetPosition(saved[kSavedX], saved[kSavedY]);
    std::copy(checkpointState.begin() + kCheckpointHeader, checkpointState.end(), state.begin());
    if (!ActorType::IsPlayer(type)) return;
    CGameWorld* world = GetWorld();
    if (world != nullptr) world->playerDead = 0;
    vx = 0;
    const int32_t stance = StateWord(PlayerWord::kStance);
    const bool formA = type == ActorType::kPlayerFormA;
    if (stance == PlayerWord::kStanceLow) ChangeAnimation(formA ? 13 : 12, true);
    if (stance == PlayerWord::kStanceNormal) ChangeAnimation(formA ? 0 : 2, true);
}

// A spark at the centre of the overlap of the attack box and the victim's
// collision box.
void CActor::SpawnHitEffect(CActor* victim) {
    CGameWorld* world = GetWorld();
    if (world == nullptr || victim == nullptr || !sprite || !victim->sprite) return;
    const CSpriteInstance& a = *sprite;
    const CSpriteInstance& v = *victim->sprite;
    const int32_t attackLeft = ActorUnits::ToPixels(x) + a.GetAttackX();
    const int32_t attackTop = ActorUnits::ToPixels(y) + a.GetAttackY();
    const int32_t victimLeft = ActorUnits::ToPixels(victim->x) + v.GetBoxX();
    const int32_t victimTop = ActorUnits::ToPixels(victim->y) + v.GetBoxY();
    const int32_t left = std::max(attackLeft, victimLeft);
    const int32_t top = std::max(attackTop, victimTop);
    const int32_t right = std::min(attackLeft + a.GetAttackWidth(), victimLeft + v.GetBoxWidth());
    const int32_t bottom = std::min(attackTop + a.GetAttackHeight(), victimTop + v.GetBoxHeight());
    CActor* spark = world->CreateActor(world->hitSparkSprite.get(), ActorType::kHitSpark, left + ((right - left) >> 1),
                                       top + ((bottom - top) >> 1), 0);
    if (spark == nullptr) return;
    if (spark->sprite) spark->sprite->SetVisible(true);
    world->QueueAddActor(spark);
}

void CActor::SetDepth(int32_t d) {
    depth = d;
    if (CGameWorld* world = GetWorld()) world->ResortActor(this);
}

void CActor::UpdateType69(int32_t dt) {
    CGameWorld* world = GetWorld();
    if (world == nullptr || world->player == nullptr) return;
    SetPosition(world->player->x, world->player->y);
    if (world->type69Display == 0) return;
    if (sprite) sprite->SetVisible(true);
    if (world->type69Timer == 0) ChangeAnimation(kFollowingDisplayAnimation, true);
    world->type69Timer += dt;
    if (world->type69Timer >= kFollowingDisplayShowMs) {
        if (sprite) sprite->SetVisible(false);
        world->type69Display = 0;
    }
}

void CActor::StartType69Display() {
    CGameWorld* world = GetWorld();
    if (world == nullptr) return;
    world->type69Display = 1;
    world->type69Timer = 0;
}
