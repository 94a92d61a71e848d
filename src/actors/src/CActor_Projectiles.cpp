#include "ActorKit.h"
#include "ActorUnits.h"
#include "CActor.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"

// Shots, strikes and hit sparks. The physics step moves them; these routines
// set their speeds, switch their tile collision and decide when they hit,
// burst and go.

namespace {

using ActorUnits::kPerPixel;

// Boss shot (type 68).
namespace BossShot {
constexpr int32_t kPhase = 0;
constexpr int32_t kWait = 1;
constexpr int32_t kWaiting = 0;
constexpr int32_t kFlying = 1;
constexpr int32_t kFlyAnimation = 0;
constexpr int32_t kSpeed = -200 * kPerPixel;
}  // namespace BossShot

// Thrown shot and bomb (type 48).
namespace Thrown {
constexpr int32_t kPhase = 0;
constexpr int32_t kNoTileSwitch = 1;
constexpr int32_t kLying = 2;
constexpr int32_t kFollowing = 0;
constexpr int32_t kFlyingPhase = 1;
constexpr int32_t kExploding = 2;
constexpr int32_t kDropping = 3;
constexpr int32_t kLyingPhase = 4;
constexpr int32_t kFinishing = -1;
constexpr int32_t kFlyAnimation = 6;
constexpr int32_t kHitAnimation = 8;
constexpr int32_t kGroundAnimation = 10;
constexpr int32_t kBombAnimation = 11;
constexpr int32_t kBombBlastAnimation = 12;
constexpr int32_t kLaunchVx = 140 * kPerPixel;
constexpr int32_t kTargetVx = 450 * kPerPixel;
constexpr int32_t kLaunchAx = 200 * kPerPixel;
constexpr int32_t kBlastDepth = 5;
constexpr int32_t kLyingMs = 3000;
constexpr int32_t kShakeMs = 150;
constexpr int32_t kShakeAmplitude = 4;
// The type-56 owner's word that a blast cuts down.
constexpr int32_t kOwnerTimer = 1;
constexpr int32_t kOwnerTimerCap = 500;
}  // namespace Thrown

// Pooled projectile (type 17).
namespace Pooled {
constexpr int32_t kShooter = 1;
constexpr int32_t kBurst = -1;
constexpr int32_t kBurstDone = -2;
constexpr int32_t kBurstAnimation = 5;
}  // namespace Pooled

// Strike effect (type 9).
namespace Strike {
constexpr int32_t kPhase = 0;
constexpr int32_t kCountdown = 1;
constexpr int32_t kVariant = 2;
constexpr int32_t kCounting = 0;
constexpr int32_t kStriking = 1;
constexpr int32_t kStill = 0;
constexpr int32_t kFollowing = 1;
constexpr int32_t kSweeping = 2;
constexpr int32_t kBlowAnimation = 1;
constexpr int32_t kSweepAnimation = 3;
constexpr int32_t kCallerBlowAnimation = 1;
constexpr int32_t kCallerSweepAnimation = 8;
constexpr int32_t kFollowLag = 40 * kPerPixel;
constexpr int32_t kFlashMode = 4;
constexpr uint32_t kFlashFrom = 0xFF0000;
constexpr uint32_t kFlashTo = 0xFFFFFF;
constexpr int32_t kFlashMs = 250;
}  // namespace Strike

// Shots of these shooters stop at walls, blocks and doors.
bool ChecksWalls(int32_t shooter) {
    return shooter == ActorType::kLargeEnemy1 || shooter == ActorType::kPlayerFormB ||
           shooter == ActorType::kLargeEnemy3;
}

bool IsShotBlocker(int32_t type) {
    return type == ActorType::kBlock19 || type == ActorType::kDoor50 || type == ActorType::kBlock61;
}

void FollowPlayerAsShot(CActor& shot);
void FlyAsShot(CActor& shot);
void ExplodeAsShot(CActor& shot);
void DropAsBomb(CActor& bomb);
void LieAsBomb(CActor& bomb, int32_t dt);
bool ShotStopped(CActor& shot, CGameWorld& world);
void StartStrike(CActor& strike);
void StrikePlayer(CActor& strike);

}  // namespace

void CActor::UpdateType68(int32_t dt) {
    using namespace BossShot;
    CGameWorld* world = GetWorld();
    if (world == nullptr) return;
    if (StateWord(kPhase) == kWaiting) {
        SetPosition(ActorUnits::FromPixels(world->cameraX + world->viewWidth), y);
        if (ActorKit::Expired(this, kWait, dt)) {
            ChangeAnimation(kFlyAnimation, true);
            SetStateWord(kPhase, kFlying);
            vx = kSpeed;
        }
        return;
    }
    if (StateWord(kPhase) != kFlying) return;
    if (!ActorKit::PlayerShielded() && ActorKit::StruckBy(ActorKit::Player(), this)) {
        ActorKit::HurtPlayer(this);
        Remove(true);
    } else if (IsOutOfRange()) {
        // A shot that missed would otherwise fly on until the level ends.
        Remove(true);
    }
}

void CActor::UpdateType48(int32_t dt) {
    using namespace Thrown;
    switch (StateWord(kPhase)) {
        case kFollowing: FollowPlayerAsShot(*this); return;
        case kFlyingPhase: FlyAsShot(*this); return;
        case kExploding: ExplodeAsShot(*this); return;
        case kDropping: DropAsBomb(*this); return;
        case kLyingPhase: LieAsBomb(*this, dt); return;
        default:
            if (IsAnimationDone()) Remove(true);
            return;
    }
}

void CActor::UpdateType17(int32_t) {
    using namespace Pooled;
    CGameWorld* world = GetWorld();
    if (world == nullptr) return;
    if (ChecksWalls(StateWord(kShooter)) && ShotStopped(*this, *world)) {
        Remove(false);
        return;
    }
    if (hitPoints == kBurst) {
        SetAnimation(kBurstAnimation, false);
        hitPoints = kBurstDone;
        vx = 0;
        return;
    }
    CActor* p = world->player;
    if (IsAnimation(kBurstAnimation) && IsAnimationDone()) {
        Remove(true);
    } else if (!ActorKit::PlayerShielded() && StateWord(kShooter) != ActorType::kPlayerFormB &&
               ActorKit::StruckBy(p, this)) {
        SpawnHitEffect(p);
        ActorKit::HurtPlayer(this);
        Remove(true);
    } else if (IsOutOfRange()) {
        Remove(true);
    }
}

void CActor::UpdateType9(int32_t dt) {
    using namespace Strike;
    const CActor* p = ActorKit::Player();
    if (StateWord(kPhase) != kCounting) {
        StrikePlayer(*this);
        return;
    }
    SetStateWord(kCountdown, StateWord(kCountdown) - dt);
    if (StateWord(kVariant) == kFollowing && p != nullptr) {
        if (p->vx < p->targetVx) vx = p->vx - kFollowLag;
        if (p->vx > p->targetVx) vx = p->vx + kFollowLag;
    }
    if (StateWord(kCountdown) < 1) StartStrike(*this);
}

void CActor::UpdateType39(int32_t) {
    if (!IsAnimationDone()) return;
    Hide();
    Remove(true);
}

namespace {

void FollowPlayerAsShot(CActor& shot) {
    using namespace Thrown;
    const CGameWorld* world = CActor::GetWorld();
    const CActor* p = ActorKit::Player();
    if (world == nullptr || p == nullptr) return;
    shot.vx = p->vx - (p->vx >> 2);
    if (shot.x > ActorUnits::FromPixels(world->cameraX)) return;
    shot.vx = kLaunchVx;
    shot.targetVx = kTargetVx;
    shot.gravity = shot.vy = shot.ay = 0;
    shot.ax = kLaunchAx;
    shot.SetPosition(shot.x, p->y - ActorUnits::FromPixels(p->GetHeight() / 2));
    shot.ChangeAnimation(kFlyAnimation, true);
    shot.SetStateWord(kPhase, kFlyingPhase);
}

void FlyAsShot(CActor& shot) {
    using namespace Thrown;
    CGameWorld* world = CActor::GetWorld();
    if (world == nullptr) return;
    if (ActorKit::Touches(&shot, ActorKit::Player())) {
        ActorKit::HurtPlayer(&shot);
        shot.SetStateWord(kPhase, kFinishing);
        shot.SetDepth(kBlastDepth);
        shot.SetAnimation(kHitAnimation, false);
        shot.vx = shot.ax = 0;
    }
    const int32_t lowestQuarter = world->cameraY + 3 * world->screenHeight / 4;
    if (shot.StateWord(kNoTileSwitch) == 0 && shot.y > ActorUnits::FromPixels(lowestQuarter) && shot.vy != 0) {
        shot.collisionFlags = CActor::kCollideAll;
    }
    if (shot.onGround != 0) {
        shot.gravity = shot.vy = shot.ay = shot.collisionFlags = 0;
        shot.SetDepth(kBlastDepth);
        shot.SetAnimation(kGroundAnimation, false);
        ActorKit::PlaySound(GameSound::kHit);
        world->SetShake(kShakeMs, kShakeAmplitude, kShakeAmplitude, false);
        shot.SetStateWord(kPhase, kExploding);
    } else if (shot.StateWord(kPhase) == kFlyingPhase && shot.IsOutOfRange()) {
        // A shot that flew past the player would otherwise live until the
        // level ends.
        shot.Remove(true);
    }
}

void ExplodeAsShot(CActor& shot) {
    using namespace Thrown;
    CActor* owner = shot.link;
    if (owner != nullptr && owner->type == ActorType::kFlyingBoss) {
        if (ActorKit::StruckBy(owner, &shot)) {
            shot.SetStateWord(kPhase, kFinishing);
            owner->OnHit(&shot);
            if (owner->StateWord(kOwnerTimer) > kOwnerTimerCap) owner->SetStateWord(kOwnerTimer, kOwnerTimerCap);
        }
    } else if (ActorKit::Touches(&shot, ActorKit::Player())) {
        ActorKit::HurtPlayer(&shot);
        shot.SetStateWord(kPhase, kFinishing);
    }
    if (shot.IsAnimationDone()) shot.SetStateWord(kPhase, kFinishing);
}

void DropAsBomb(CActor& bomb) {
    using namespace Thrown;
    const CGameWorld* world = CActor::GetWorld();
    if (world != nullptr && ActorKit::BoxTop(&bomb) > world->cameraY) bomb.collisionFlags = CActor::kCollideAll;
    if (bomb.onGround == 0) return;
    bomb.SetAnimation(kBombAnimation, true);
    bomb.SetStateWord(kPhase, kLyingPhase);
    bomb.SetStateWord(kLying, kLyingMs);
}

void LieAsBomb(CActor& bomb, int32_t dt) {
    using namespace Thrown;
    if (bomb.StateWord(kLying) >= 1) {
        bomb.SetStateWord(kLying, bomb.StateWord(kLying) - dt);
        if (bomb.CollideWithActors()) {
            bomb.SetStateWord(kPhase, kExploding);
            bomb.SetDepth(kBlastDepth);
            bomb.SetAnimation(kBombBlastAnimation, false);
            return;
        }
    }
    if (bomb.StateWord(kLying) < 1) bomb.Remove(true);
}

// A wall under the middle of the shot's attack box, or a block or door on
// screen that the box reaches, stops the shot.
bool ShotStopped(CActor& shot, CGameWorld& world) {
    if (!shot.sprite || world.tileWidth == 0 || world.tileHeight == 0) return false;
    CSpriteInstance& s = *shot.sprite;
    s.UpdateAttackBox(CSpriteInstance::kAttackAttributeBase + ActorKit::kAttackBox);
    const int32_t column = (ActorUnits::ToPixels(shot.x) + s.GetAttackX() + s.GetAttackWidth() / 2) / world.tileWidth;
    const int32_t row = (ActorUnits::ToPixels(shot.y) + s.GetAttackY() + s.GetAttackHeight() / 2) / world.tileHeight;
    if (!world.TileHasFlag(world.GetTile(column, row), CGameWorld::kTilePassable)) return true;
    if (!world.drawList) return false;
    for (int32_t i = 0; i < world.drawList->size(); ++i) {
        CActor* a = world.drawList->elementAt(i);
        if (a == &shot || !IsShotBlocker(a->type) || !a->sprite) continue;
        if (CSpriteInstance::IsOffScreen(*a->sprite, world.cameraX, world.cameraY, world.viewWidth, world.viewHeight)) {
            continue;
        }
        if (ActorKit::StruckBy(a, &shot)) return true;
    }
    return false;
}

void StartStrike(CActor& strike) {
    using namespace Strike;
    const CActor* p = ActorKit::Player();
    strike.SetStateWord(kPhase, kStriking);
    switch (strike.StateWord(kVariant)) {
        case kStill:
            strike.SetAnimation(kBlowAnimation, false);
            if (strike.link != nullptr) strike.link->SetAnimation(kCallerBlowAnimation, false);
            break;
        case kFollowing:
            strike.SetAnimation(kSweepAnimation, false);
            if (p != nullptr) {
                strike.SetPosition(strike.x, p->y);
                strike.vx = p->vx;
            }
            if (strike.link != nullptr) strike.link->SetAnimation(kCallerSweepAnimation, false);
            break;
        case kSweeping:
            strike.SetAnimation(kSweepAnimation, false);
            break;
        default:
            break;
    }
}

void StrikePlayer(CActor& strike) {
    using namespace Strike;
    CGameWorld* world = CActor::GetWorld();
    const CActor* p = ActorKit::Player();
    if (world == nullptr || (!strike.IsAnimation(kBlowAnimation) && !strike.IsAnimation(kSweepAnimation))) return;
    if (ActorKit::StruckBy(p, &strike)) {
        ActorKit::HurtPlayer(&strike);
        if (strike.IsAnimation(kBlowAnimation)) world->StartFade(kFlashMode, kFlashFrom, kFlashTo, kFlashMs);
    }
    if (strike.StateWord(kVariant) == kSweeping) {
        const int32_t px = ActorUnits::ToPixels(strike.x);
        if (px < world->cameraX || px > world->cameraX + world->viewWidth) strike.Remove(true);
        return;
    }
    if (strike.IsAnimation(kSweepAnimation) && p != nullptr) strike.vx = p->vx;
    if (strike.IsAnimationDone()) strike.Remove(true);
}

}  // namespace
