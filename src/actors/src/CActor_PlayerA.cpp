#include "ActorKit.h"
#include "ActorUnits.h"
#include "CActor.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"
#include "PlayerControl.h"

// The player's first form: walking, a wound-up jump, the four-blow combo
// with its timed window, the special move, the low stance, ledge climbing,
// hard landings and the death countdown.

namespace {

using namespace PlayerWord;
using PC = PlayerControl;

namespace FormA {
constexpr int32_t kStand = 0;
constexpr int32_t kWalk = 1;
constexpr int32_t kWindUp = 6;
constexpr int32_t kRise = 7;
constexpr int32_t kFall = 8;
constexpr int32_t kLand = 9;
constexpr int32_t kStandUp = 11;
constexpr int32_t kGoLow = 12;
constexpr int32_t kLowStill = 13;
constexpr int32_t kLowFall = 14;
constexpr int32_t kLowMove = 15;
constexpr int32_t kLowLand = 16;
constexpr int32_t kDeath = 19;
constexpr int32_t kClimb = 21;
constexpr int32_t kUsePoint = 22;
constexpr int32_t kSpecialMove = 26;
constexpr int32_t kHeld = 28;
constexpr int32_t kBackAttack = 29;
constexpr int32_t kClimbJump = 30;
constexpr int32_t kCombo[] = {2, 3, 4, 5};
constexpr int32_t kBackAttackSoundFrame = 13;

constexpr int32_t kWalkAccel = 512000;
constexpr int32_t kWalkSpeed = 122880;
constexpr int32_t kLowAccel = 716800;
constexpr int32_t kLowSpeed = 245760;
constexpr int32_t kLowBrake = 409600;
constexpr int32_t kKnockBackVx = 256000;
constexpr int32_t kHardLandingVy = 291841;
constexpr int32_t kLandingShakeMs = 300;
constexpr int32_t kLandingShakeY = 2;
constexpr PC::Gait kGait = {kWalkAccel, kWalkSpeed, kLowAccel, kLowSpeed, kLowBrake, kKnockBackVx, false};
}  // namespace FormA

// The box's left and top at the actor's position, in pixels.
void PlaceBox(CActor& p, int32_t left, int32_t top) {
    const int32_t bx = p.sprite ? p.sprite->GetBoxX() : 0;
    const int32_t by = p.sprite ? p.sprite->GetBoxY() : 0;
    p.SetPosition(ActorUnits::FromPixels(left - bx), ActorUnits::FromPixels(top - by));
}

// One update of the first form, step by step.
class FormAUpdate {
public:
    FormAUpdate(CActor& player, CGameWorld& gameWorld)
        : p(player), world(gameWorld), control(player, gameWorld, FormA::kGait) {}

    void Run(int32_t dt);

private:
    void Die();
    void RunTimers(int32_t dt);
    bool FinishTransition();
    bool GrabLedge();
    bool Act(uint32_t keys);
    bool Jump(uint32_t keys);
    bool Fire();
    void RunMode();
    void Fall();
    void Walk();
    void ClimbLedge();
    void Attack();
    void EndAttack();

    CActor& p;
    CGameWorld& world;
    PlayerControl control;
};

void FormAUpdate::Run(int32_t dt) {
    using namespace FormA;
    if (p.StateWord(kMode) != PC::kModeLedge) {
        p.gravity = PC::kGravity;
        p.targetVy = CActor::kFallingTargetVy;
    }
    if (p.hitPoints < 1 && world.playerDead == 0) {
        if (p.StateWord(kDeathCountdown) < 1) p.SetStateWord(kDeathCountdown, kDeathFrames);
        world.playerDead = 1;
    }
    control.ProbeTiles();
    if (world.playerDead != 0) {
        Die();
        return;
    }
    RunTimers(dt);
    if (p.StateWord(kFollowAnimation) != -1 && p.IsAnimation(kBackAttack) && p.sprite &&
        p.sprite->GetFrame() == kBackAttackSoundFrame) {
        ActorKit::PlaySound(GameSound::kHit);
    }
    if (control.RunQueuedAnimation() || FinishTransition()) return;
    if (p.StateWord(kMode) == kModeHeld) return;
    if (p.StateWord(kSpecial) > 0) p.SetStateWord(kSpecial, p.StateWord(kSpecial) - dt);
    if (p.IsAnimation(kUsePoint)) {
        if (p.IsAnimationDone()) {
            p.ChangeAnimation(kStand, true);
            p.vx = p.vy = 0;
        }
        return;
    }
    if (p.IsAnimation(kHeld)) return;
    if (p.IsAnimation(kWindUp) && p.IsAnimationDone()) {
        p.onGround = 0;
        p.vy = PC::kTakeOffVy;
        p.ChangeAnimation(kRise, false);
    }
    if (p.timedMode != 0) {
        p.SetStateWord(kTimedCountdown, p.StateWord(kTimedCountdown) - dt);
        if (p.StateWord(kTimedCountdown) < 1) {
            CActor::SetPlayerTimedMode(false);
            CActor::ResetPlayerAttack();
        }
    }
    if (GrabLedge()) return;
    const uint32_t keys = control.ReadKeys();
    p.ax = p.targetVx = 0;
    control.Steer(keys, false);
    p.collisionFlags |= CActor::kCollideLanding;
    if (Act(keys)) return;
    RunMode();
}

void FormAUpdate::Die() {
    if (p.onGround != 0 && !p.IsAnimation(FormA::kDeath)) p.SetAnimation(FormA::kDeath, true);
    p.ax = p.targetVx = p.vx = 0;
    p.hitPoints = 0;
    p.SetStateWord(kDeathCountdown, p.StateWord(kDeathCountdown) - 1);
    if (p.StateWord(kDeathCountdown) <= 0) world.SetSubState(CGameWorld::kSubStateLeave);
}

void FormAUpdate::RunTimers(int32_t dt) {
    const bool blocked = control.InputBlocked();
    if (p.StateWord(kPower) > 0 && !blocked) p.SetStateWord(kPower, p.StateWord(kPower) - dt);
    if (p.StateWord(PC::kPowerTimer) > 0 && !blocked) {
        p.SetStateWord(PC::kPowerTimer, p.StateWord(PC::kPowerTimer) - dt);
    } else {
        p.SetStateWord(PC::kRamCost, 1);
    }
    control.TickBlink();
}

// Going low or standing up: the player holds still until the animation
// ends; low, it starts in its moving pose.
bool FormAUpdate::FinishTransition() {
    if ((p.StateWord(kStance) & kStanceImmuneBit) == 0) return false;
    p.vx = 0;
    if (!p.IsAnimationDone()) return true;
    p.SetStateWord(kStance, p.StateWord(kStance) & ~kStanceImmuneBit);
    if (PC::LowStance(p)) {
        p.SetAnimation(FormA::kLowMove, true);
        p.SetStateWord(PC::kLowHold, 0);
    }
    return true;
}

// A ledge ahead at head height while in the air: hang on it with the box at
// the ledge's edge, motionless until the climb ends. Not again right after
// a climb, until the player has stood once.
bool FormAUpdate::GrabLedge() {
    if (p.StateWord(kMode) == PC::kModeLedge || world.ledgeFlag == 0 || p.onGround != 0 ||
        p.StateWord(kPreviousMode) == PC::kModeLedge) {
        return false;
    }
    CActor::SetPlayerState8(PC::kModeLedge);
    p.ChangeAnimation(FormA::kClimb, false);
    const int32_t tw = world.tileWidth;
    const int32_t d = p.facing != 0 ? -1 : 1;
    const int32_t ahead = p.probe[2];
    int32_t left = ahead * tw + d * (tw / 2);
    if (!world.TileHasFlag(world.GetTile(p.probe[0], control.GetTiles().topRow), CGameWorld::kTileLedge)) {
        left = (ahead + d) * tw;
    }
    PlaceBox(p, left, control.GetTiles().topRow * world.tileHeight);
    p.vx = p.vy = p.ax = p.ay = p.gravity = p.targetVx = p.targetVy = 0;
    return true;
}

// The first action whose keys are there; true when the update ends.
bool FormAUpdate::Act(uint32_t keys) {
    using namespace FormA;
    if ((keys & PC::kJumpKeys) != 0) return Jump(keys);
    if ((keys & PC::kFire) != 0 && p.onGround != 0 && PC::Standing(p) && control.Pressed(PC::kFire)) return Fire();
    if ((keys & PC::kDown) == 0 || p.StateWord(kMode) != kModeFree || p.onGround == 0 ||
        p.StateWord(kBossSignal) != 0 || !PC::Standing(p) || world.variantFlag != 0) {
        return false;
    }
    using namespace ActorType;
    if (!control.CanGoLow(kStand, {kBlock19, kLargeEnemy1, kLargeEnemy3, kLargeEnemy59, kLargeEnemy67})) return false;
    p.SetAnimation(kGoLow, false);
    p.SetStateWord(kStance, kStanceLow | kStanceImmuneBit);
    p.vx = p.ax = 0;
    return true;
}

bool FormAUpdate::Jump(uint32_t keys) {
    using namespace FormA;
    const int32_t mode = p.StateWord(kMode);
    if (mode != kModeFree) {
        if (mode == PC::kModeLedge && p.IsAnimation(kClimbJump)) {
            p.collisionFlags = CActor::kCollideLanding;
            p.ChangeAnimation(kClimb, false);
        }
    } else if (PC::LowStance(p)) {
        if (!control.CanStandUp()) return false;
        p.SetAnimation(kStandUp, false);
        p.SetStateWord(kStance, kStanceNormal | kStanceImmuneBit);
        p.vx = p.ax = p.targetVx = 0;
        return true;
    } else if (p.onGround != 0) {
        if (!control.Pressed(PC::kJumpKeys)) return false;
        const bool upLeft = (keys & PC::kUpLeft) != 0;
        const bool upRight = (keys & PC::kUpRight) != 0;
        if (upLeft != upRight) p.facing = upRight ? 1 : 0;
        p.ChangeAnimation(kWindUp, false);
    } else {
        control.SteerInAir(keys);
    }
    return false;
}

// Fire: the special move while it lasts, else the next blow of the combo
// while the timed window is open, else the first blow.
bool FormAUpdate::Fire() {
    using namespace FormA;
    if (p.StateWord(kSpecial) > 0) {
        if (!p.IsAnimation(kSpecialMove) || p.IsAnimationDone()) p.SetAnimation(kSpecialMove, false);
    } else if (p.timedMode != 0) {
        const int32_t following = p.StateWord(kAttackQueued) + 1;
        const int32_t next = following < p.StateWord(PC::kComboLength) ? following : -1;
        if (next < 1) {
            p.SetStateWord(kAttackNext, -1);
            return true;
        }
        if (p.IsAnimation(kCombo[next - 1])) {
            p.SetStateWord(kAttackNext, next);
            CActor::SetPlayerTimedMode(false);
        }
    } else if (p.StateWord(kMode) == kModeFree) {
        p.SetStateWord(kAttackNext, 0);
    }
    p.SetStateWord(kMode, kModeAttacking);
    p.vx = p.ax = 0;
    return false;
}

void FormAUpdate::RunMode() {
    switch (p.StateWord(kMode)) {
        case kModeFree:
            if (p.onGround == 0) {
                Fall();
            } else {
                Walk();
            }
            return;
        case PC::kModeLedge:
            ClimbLedge();
            return;
        case kModeAttacking:
            if (p.onGround != 0) Attack();
            return;
        case PC::kModeKnockBack:
            control.EndKnockBack();
            return;
        default:
            return;
    }
}

void FormAUpdate::Fall() {
    using namespace FormA;
    if (p.prevY >= p.y) return;
    if (PC::Standing(p)) {
        p.hardLanding = p.vy >= kHardLandingVy ? 1 : 0;
        p.ChangeAnimation(kFall, false);
    } else if (PC::LowStance(p)) {
        p.ChangeAnimation(kLowFall, false);
    }
}

void FormAUpdate::Walk() {
    using namespace FormA;
    if (p.IsAnimation(kFall)) {
        p.SetAnimation(kLand, false);
        p.vx = p.vy = 0;
        if (p.hardLanding != 0) {
            // Twice on purpose: the hard landing's thud is started twice,
            // as the game has always played it. Not a slip to fold into one.
            ActorKit::PlaySound(GameSound::kHardLanding);
            ActorKit::PlaySound(GameSound::kHardLanding);
            world.SetShake(kLandingShakeMs, 0, kLandingShakeY, false);
        }
        return;
    }
    if (p.IsAnimation(kLowFall)) {
        p.SetAnimation(kLowLand, false);
        return;
    }
    if (p.IsAnimation(kWindUp)) {
        p.vx /= 2;
        p.ax = p.ay = 0;
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
    const bool standing = PC::Standing(p);
    if (p.ax == 0) {
        if (standing) {
            p.ChangeAnimation(kStand, true);
        } else if (p.StateWord(PC::kLowHold) != 1) {
            p.ChangeAnimation(kLowStill, true);
        }
    } else if (standing) {
        p.ChangeAnimation(kWalk, true);
    } else if (!p.IsAnimation(kLowLand)) {
        p.ChangeAnimation(kLowMove, true);
    } else if (p.IsAnimationDone()) {
        p.ChangeAnimation(kLowStill, true);
    }
}

// The climb ends with the player standing where the hanging box was.
void FormAUpdate::ClimbLedge() {
    if (!p.IsAnimation(FormA::kClimb) || !p.IsAnimationDone()) return;
    const int32_t left = ActorKit::BoxLeft(&p);
    const int32_t top = ActorKit::BoxTop(&p);
    p.ChangeAnimation(FormA::kStand, true);
    if (p.sprite) p.sprite->UpdateCollisionBox();
    PlaceBox(p, left, top);
    CActor::SetPlayerState8(kModeFree);
}

// The first queued blow starts at once, a later one when the blow before it
// ends; the last blow of the chain closes the timed window.
void FormAUpdate::Attack() {
    using namespace FormA;
    if (p.IsAnimation(kBackAttack) && p.IsAnimationDone()) {
        CActor::SetPlayerTimedMode(false);
        EndAttack();
        return;
    }
    const int32_t next = p.StateWord(kAttackNext);
    if (next == -1) {
        if (!p.IsAnimationDone()) return;
        if (p.IsAnimation(kCombo[3])) CActor::SetPlayerTimedMode(false);
        EndAttack();
        return;
    }
    if (next < 0 || next > 3 || (next != 0 && !p.IsAnimationDone())) return;
    p.SetStateWord(kAttackQueued, next);
    p.SetAnimation(kCombo[next], false);
    p.SetStateWord(kAttackNext, -1);
}

void FormAUpdate::EndAttack() {
    p.vx = 0;
    p.SetStateWord(kMode, kModeFree);
    p.ChangeAnimation(FormA::kStand, true);
}

}  // namespace

void CActor::UpdatePlayerFormA(int32_t dt) {
    CGameWorld* world = GetWorld();
    if (world == nullptr) return;
    FormAUpdate(*this, *world).Run(dt);
}
