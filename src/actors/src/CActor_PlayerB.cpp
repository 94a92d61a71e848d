#include "ActorKit.h"
#include "ActorUnits.h"
#include "CActor.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"
#include "PlayerControl.h"

// The player's second form: it shoots while fire is held (or fights hand to
// hand when an enemy is close), takes off without a wind-up, and in the
// auto-run levels runs by itself with a fuel-driven boost.

namespace {

using namespace PlayerWord;
using PC = PlayerControl;

namespace FormB {
constexpr int32_t kWalk = 0;
constexpr int32_t kStep = 1;
constexpr int32_t kStand = 2;
constexpr int32_t kRise = 7;
constexpr int32_t kFall = 8;
constexpr int32_t kLand = 9;
constexpr int32_t kStandUp = 10;
constexpr int32_t kGoLow = 11;
constexpr int32_t kLowStill = 12;
constexpr int32_t kLowMove = 14;
constexpr int32_t kLowFall = 16;
constexpr int32_t kLowLand = 17;
constexpr int32_t kAim = 21;
constexpr int32_t kShoot = 22;
constexpr int32_t kHoldAim = 23;
constexpr int32_t kCombo[] = {3, 4, 5, 6};

// State words of this form.
constexpr int32_t kShotSequence = 27;
constexpr int32_t kFuelCost = 31;
constexpr int32_t kFuelRegain = 32;
constexpr int32_t kRecharge = 33;

constexpr int32_t kModeFrozenA = 12;
constexpr int32_t kModeFrozenB = 13;

constexpr int32_t kWalkAccel = 614400;
constexpr int32_t kWalkSpeed = 143360;
constexpr int32_t kLowAccel = 921600;
constexpr int32_t kLowSpeed = 245760;
constexpr int32_t kLowBrake = 409600;
constexpr int32_t kKnockBackVx = 256000;
constexpr int32_t kRunGravity = 393216;
constexpr int32_t kRunAccelMoving = 307200;
constexpr int32_t kRunAccelStarting = 358400;
constexpr int32_t kRunSpeed = 143360;
constexpr int32_t kBoostSpeed = 307200;
constexpr int32_t kRechargeDelay = 3000;
constexpr int32_t kShotSpeed = 368640;
constexpr int32_t kShotKind = 0;
constexpr PC::Gait kGait = {kWalkAccel, kWalkSpeed, kLowAccel, kLowSpeed, kLowBrake, kKnockBackVx, true};
}  // namespace FormB

// One update of the second form, step by step.
class FormBUpdate {
public:
    FormBUpdate(CActor& player, CGameWorld& gameWorld)
        : p(player), world(gameWorld), control(player, gameWorld, FormB::kGait) {}

    void Run(int32_t dt);

private:
    bool Die();
    bool FinishTransition();
    void RunTimers(int32_t dt);
    void AutoRun(int32_t dt);
    bool MayShoot() const;
    void Fire(uint32_t keys, bool mayShoot);
    void Boost();
    bool JumpOrGoLow(uint32_t keys);
    void RunMode(uint32_t keys, bool mayShoot);
    void Fall();
    void Walk();
    void ContinueShots(uint32_t keys);
    void Melee();
    void Shoot();
    void EndAttack();

    CActor& p;
    CGameWorld& world;
    PlayerControl control;
};

void FormBUpdate::Run(int32_t dt) {
    if (p.StateWord(kMode) != PC::kModeLedge) {
        p.gravity = PC::kGravity;
        p.targetVy = CActor::kFallingTargetVy;
    }
    if (CSpriteInstance* attached = world.playerExtraSprite.get()) {
        attached->Tick(dt, false);
        attached->SetPosition(ActorUnits::ToPixels(p.x), ActorUnits::ToPixels(p.y));
    }
    control.ProbeTiles();
    if (world.playerDead != 0) {
        Die();
        return;
    }
    if (p.StateWord(kPower) > 0) p.SetStateWord(kPower, p.StateWord(kPower) - dt);
    control.TickBlink();
    if (control.RunQueuedAnimation() || FinishTransition()) return;
    const int32_t mode = p.StateWord(kMode);
    if (mode == kModeHeld || mode == FormB::kModeFrozenA || mode == FormB::kModeFrozenB) return;
    RunTimers(dt);
    const uint32_t keys = control.ReadKeys();
    p.ax = p.targetVx = 0;
    world.boostFlag = 0;
    if (world.autoRun != 0) AutoRun(dt);
    control.Steer(keys, world.autoRun != 0);
    const bool mayShoot = MayShoot();
    p.collisionFlags |= CActor::kCollideLanding;
    Fire(keys, mayShoot);
    if (JumpOrGoLow(keys)) return;
    RunMode(keys, mayShoot);
}

// No death animation: the countdown runs, then play is left.
bool FormBUpdate::Die() {
    p.ax = p.targetVx = p.vx = 0;
    p.hitPoints = 0;
    p.SetStateWord(kDeathCountdown, p.StateWord(kDeathCountdown) - 1);
    if (p.StateWord(kDeathCountdown) > 0) return true;
    if (world.playerSecondShown != 0) {
        if (world.playerSecondSprite) world.playerSecondSprite->SetVisible(false);
        world.playerSecondShown = 0;
    }
    world.SetSubState(CGameWorld::kSubStateLeave);
    return true;
}

bool FormBUpdate::FinishTransition() {
    if ((p.StateWord(kStance) & kStanceImmuneBit) == 0) return false;
    if (!p.IsAnimationDone()) return true;
    p.SetStateWord(kStance, p.StateWord(kStance) & ~kStanceImmuneBit);
    if (PC::LowStance(p)) p.SetStateWord(PC::kLowHold, 0);
    return true;
}

// The power word runs down a second time here, so a power boon lasts half
// as long in this form.
void FormBUpdate::RunTimers(int32_t dt) {
    if (p.StateWord(kSpecial) > 0) p.SetStateWord(kSpecial, p.StateWord(kSpecial) - dt);
    if (p.StateWord(kPower) > 0) p.SetStateWord(kPower, p.StateWord(kPower) - dt);
    if (p.StateWord(PC::kPowerTimer) > 0) {
        p.SetStateWord(PC::kPowerTimer, p.StateWord(PC::kPowerTimer) - dt);
    } else {
        p.SetStateWord(PC::kRamCost, 1);
    }
}

// Running by itself: the fuel comes back once the recharge delay is over.
void FormBUpdate::AutoRun(int32_t dt) {
    using namespace FormB;
    p.gravity = kRunGravity;
    p.SetStateWord(kRecharge, p.StateWord(kRecharge) - dt);
    if (p.StateWord(kRecharge) < 0) {
        const int32_t fuel = p.StateWord(kGauge);
        p.SetStateWord(kGauge, fuel < kGaugeMax + 1 ? fuel + p.StateWord(kFuelRegain) : kGaugeMax);
        p.SetStateWord(kRecharge, -1);
    }
    p.ax = p.vx > 0 ? kRunAccelMoving : kRunAccelStarting;
    p.targetVx = kRunSpeed;
}

bool FormBUpdate::MayShoot() const {
    if (p.StateWord(kMeleeOnly) == 1) return false;
    if (p.timedMode != 0 && p.StateWord(kMode) != kModeFree) return false;
    return p.CurrentMove() == nullptr;
}

void FormBUpdate::Fire(uint32_t keys, bool mayShoot) {
    using namespace FormB;
    if ((keys & PC::kFire) == 0) {
        if (p.IsAnimation(kHoldAim)) {
            p.SetStateWord(kMode, kModeFree);
            p.SetStateWord(kShotSequence, 0);
            p.ChangeAnimation(kStand, false);
        }
        return;
    }
    if (p.onGround == 0) return;
    if (PC::LowStance(p)) {
        if (world.autoRun != 0) Boost();
        return;
    }
    if (!PC::Standing(p)) return;
    const int32_t mode = p.StateWord(kMode);
    if (mayShoot) {
        CActor::SetPlayerTimedMode(false);
        CActor::ResetPlayerAttack();
        if (mode == kModeAttacking && p.StateWord(kShotSequence) == 0) {
            Shoot();
        } else if (mode == kModeFree) {
            p.SetStateWord(kMode, kModeAttacking);
            p.SetAnimation(kAim, false);
            p.SetStateWord(kShotSequence, 1);
        }
    } else if (control.Pressed(PC::kFire)) {
        if (p.timedMode != 0) {
            const int32_t following = p.StateWord(kAttackQueued) + 1;
            p.SetStateWord(kAttackNext, following < p.StateWord(PC::kComboLength) ? following : -1);
            CActor::SetPlayerTimedMode(false);
        } else if (mode == kModeFree) {
            p.SetStateWord(kAttackNext, 0);
        }
        p.SetStateWord(kMode, kModeAttacking);
        p.SetStateWord(kShotSequence, 0);
    }
    p.vx = p.ax = 0;
}

// A shot: its animation restarts, its sound plays and a pooled shot leaves
// towards the facing side.
void FormBUpdate::Shoot() {
    using namespace FormB;
    p.SetAnimation(kShoot, false);
    ActorKit::PlaySound(GameSound::kFormBShot);
    world.SpawnProjectile(&p, kShotKind, p.facing != 0 ? kShotSpeed : -kShotSpeed, 0, p.x, p.y, p.facing);
    p.SetStateWord(kShotSequence, 1);
}

// Low and running by itself, fire spends fuel for speed; without enough
// fuel the recharge delay starts over.
void FormBUpdate::Boost() {
    using namespace FormB;
    const int32_t cost = p.StateWord(kFuelCost);
    if (cost < p.StateWord(kGauge)) {
        if (control.Pressed(PC::kFire)) ActorKit::PlaySound(GameSound::kBoost);
        world.boostFlag = 1;
        p.SetStateWord(kGauge, p.StateWord(kGauge) - cost);
        p.targetVx = kBoostSpeed;
    } else {
        p.SetStateWord(kGauge, 0);
        p.SetStateWord(kRecharge, kRechargeDelay);
    }
}

// The jump keys, then the down key; true when the update ends.
bool FormBUpdate::JumpOrGoLow(uint32_t keys) {
    using namespace FormB;
    const int32_t mode = p.StateWord(kMode);
    if ((keys & PC::kJumpKeys) != 0) {
        if (mode != kModeFree) return false;
        if (PC::LowStance(p)) {
            if (world.autoRun != 0 || !control.CanStandUp()) return false;
            p.SetAnimation(kStandUp, false);
            p.SetStateWord(kStance, kStanceNormal | kStanceImmuneBit);
            p.vx = p.targetVx = p.ax = 0;
            return true;
        }
        if (p.onGround != 0) {
            if (!control.Pressed(PC::kJumpKeys)) return false;
            const bool upLeft = (keys & PC::kUpLeft) != 0;
            const bool upRight = (keys & PC::kUpRight) != 0;
            if (upLeft != upRight) p.facing = upRight ? 1 : 0;
            p.onGround = 0;
            p.vy = PC::kTakeOffVy;
            p.ChangeAnimation(kRise, false);
        } else {
            control.SteerInAir(keys);
        }
        return false;
    }
    if ((keys & PC::kDown) == 0) return false;
    if (mode != kModeFree || p.onGround == 0 || p.StateWord(kBossSignal) != 0) {
        if (mode == PC::kModeLedge) CActor::SetPlayerState8(kModeFree);
        return false;
    }
    using namespace ActorType;
    if (!PC::Standing(p)) return false;
    if (!control.CanGoLow(kStand, {kBlock19, kLargeEnemy1, kLargeEnemy3, kLargeEnemy59, kLargeEnemy67, kBlock61})) {
        return false;
    }
    p.SetAnimation(kGoLow, false);
    p.SetStateWord(kStance, kStanceLow | kStanceImmuneBit);
    p.vx = p.ax = 0;
    return true;
}

void FormBUpdate::RunMode(uint32_t keys, bool mayShoot) {
    switch (p.StateWord(kMode)) {
        case kModeFree:
            if (p.onGround == 0) {
                Fall();
            } else {
                Walk();
            }
            return;
        case kModeAttacking:
            if (p.onGround == 0) return;
            if (mayShoot) {
                ContinueShots(keys);
            } else {
                Melee();
            }
            return;
        case PC::kModeKnockBack:
            control.EndKnockBack();
            return;
        default:
            return;
    }
}

void FormBUpdate::Fall() {
    if (p.prevY >= p.y) return;
    if (PC::Standing(p)) {
        p.ChangeAnimation(FormB::kFall, false);
    } else if (PC::LowStance(p)) {
        p.ChangeAnimation(FormB::kLowFall, false);
    }
}

// On the ground: landings, then the loops. Standing still and walking pass
// through the step animation between them.
void FormBUpdate::Walk() {
    using namespace FormB;
    if (p.IsAnimation(kFall)) {
        p.SetAnimation(kLand, false);
        p.vx = p.vy = 0;
        return;
    }
    if (p.IsAnimation(kLowFall)) {
        p.SetAnimation(kLowLand, false);
        return;
    }
    if (p.IsAnimation(kLand) && !p.IsAnimationDone()) {
        p.vx = p.vy = p.ax = p.ay = 0;
        return;
    }
    if (p.StateWord(kPreviousMode) == PC::kModeLedge) {
        p.collisionFlags = CActor::kCollideAll;
        CActor::SetPlayerState8(p.StateWord(kMode));
    }
    const bool moving = p.ax != 0;
    if (PC::Standing(p)) {
        const int32_t from = moving ? kStand : kWalk;
        const int32_t to = moving ? kWalk : kStand;
        if (p.IsAnimation(from)) {
            p.ChangeAnimation(kStep, false);
        } else if (p.IsAnimation(kStep)) {
            if (p.IsAnimationDone()) p.ChangeAnimation(to, true);
        } else {
            p.ChangeAnimation(to, true);
        }
        return;
    }
    if (p.IsAnimation(kLowLand)) {
        if (p.IsAnimationDone()) p.ChangeAnimation(kLowStill, true);
        return;
    }
    p.ChangeAnimation(!moving || p.vx == 0 ? kLowStill : kLowMove, true);
}

// Aim, shoot, hold: holding fire shoots again each time the hold ends;
// letting go during the hold ends the attack.
void FormBUpdate::ContinueShots(uint32_t keys) {
    using namespace FormB;
    if (p.StateWord(kShotSequence) != 1 || !p.IsAnimationDone()) return;
    if (p.IsAnimation(kAim)) {
        Shoot();
    } else if (p.IsAnimation(kShoot)) {
        if ((keys & PC::kFire) != 0) {
            p.ChangeAnimation(kHoldAim, false);
        } else {
            p.SetStateWord(kShotSequence, 0);
            EndAttack();
        }
    } else if (p.IsAnimation(kHoldAim)) {
        p.SetStateWord(kShotSequence, 0);
    }
}

// A queued blow cuts the current one short.
void FormBUpdate::Melee() {
    using namespace FormB;
    const int32_t next = p.StateWord(kAttackNext);
    if (next >= 0 && next <= 3) {
        p.SetStateWord(kAttackQueued, next);
        p.SetAnimation(kCombo[next], false);
        p.SetStateWord(kAttackNext, -1);
        return;
    }
    if (!p.IsAnimationDone()) return;
    if (p.IsAnimation(kCombo[3])) CActor::SetPlayerTimedMode(false);
    EndAttack();
}

void FormBUpdate::EndAttack() {
    p.vx = 0;
    p.SetStateWord(kMode, kModeFree);
    p.ChangeAnimation(FormB::kStand, false);
}

}  // namespace

void CActor::UpdatePlayerFormB(int32_t dt) {
    CGameWorld* world = GetWorld();
    if (world == nullptr) return;
    FormBUpdate(*this, *world).Run(dt);
}
