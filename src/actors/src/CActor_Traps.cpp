#include "ActorKit.h"
#include "ActorUnits.h"
#include "CActor.h"
#include "CGameWorld.h"

// Scenery that hurts the player or breaks: rocks that drop when knocked,
// spike traps, draining hazards, barriers, crumbling ledges, hanging
// objects and pots.

namespace {

using namespace PlayerWord;
using ActorUnits::kPerPixel;

namespace Rock {
constexpr int32_t kPhase = 0;
constexpr int32_t kResting = 0;
constexpr int32_t kDropping = 1;
constexpr int32_t kLanded = 2;
constexpr int32_t kRestAnimation = 0;
constexpr int32_t kDropAnimation = 1;
}  // namespace Rock

namespace Spikes {
constexpr int32_t kTimer = 1;
constexpr int32_t kRecoverOnly = 2;
constexpr int32_t kDown = 0;
constexpr int32_t kRising = 1;
constexpr int32_t kRaised = 2;
constexpr int32_t kRetracting = 3;
constexpr int32_t kHurt = 4;
constexpr int32_t kRaisedMs = 1000;
constexpr int32_t kRetractedMs = 400;
constexpr int32_t kDepth = 3;
}  // namespace Spikes

namespace Barrier {
constexpr int32_t kIntact = 0;
constexpr int32_t kCrumbling = 1;
constexpr int32_t kBreaking = 2;
constexpr int32_t kBrokenDepth = 5;
constexpr int32_t kRunOnVx = 140 * kPerPixel;
}  // namespace Barrier

namespace Ledge {
constexpr int32_t kPhase = 0;
constexpr int32_t kTimer = 1;
constexpr int32_t kInert = 2;
constexpr int32_t kWaiting = 0;
constexpr int32_t kCrumbling = 1;
constexpr int32_t kFalling = -1;
constexpr int32_t kCrumbleMs = 500;
constexpr int32_t kShakeAnimation = 1;
constexpr int32_t kFallAnimation = 2;
constexpr int32_t kFallDepth = 5;
}  // namespace Ledge

namespace Hanging {
constexpr int32_t kPhase = 0;
constexpr int32_t kIdle = 0;
constexpr int32_t kTriggered = 1;
constexpr int32_t kIdleAnimation = 0;
constexpr int32_t kTriggerAnimation = 1;
constexpr int32_t kSwingAnimation = 2;
}  // namespace Hanging

namespace Pot {
constexpr int32_t kState = 1;
constexpr int32_t kWhole = 0;
constexpr int32_t kBroken = 2;
constexpr int32_t kCrackAnimation = 1;
constexpr int32_t kBrokenAnimation = 2;
constexpr int32_t kShatterAnimation = 3;
}  // namespace Pot

void HurtPlayerWhenStruck(CActor& a) {
    if (ActorKit::StruckBy(ActorKit::Player(), &a)) ActorKit::HurtPlayer(&a);
}

// Each actor of the collision list, other than a, whose attack box reaches
// a's body, in list order.
template <typename Action>
void ForEachStriker(CActor& a, Action action) {
    CGameWorld* world = ActorKit::World();
    if (world == nullptr || !world->collisionList) return;
    for (int32_t i = 0; i < world->collisionList->size(); ++i) {
        CActor* other = world->collisionList->elementAt(i);
        if (other != &a && ActorKit::StruckBy(&a, other)) action(*other);
    }
}

void RunCyclingSpikes(CActor& trap, int32_t dt) {
    using namespace Spikes;
    if (trap.IsAnimation(kHurt) && trap.IsAnimationDone()) {
        if (trap.StateWord(kTimer) < 1) {
            trap.ChangeAnimation(kRising, false);
            trap.depth = kDepth;
        } else {
            trap.SetStateWord(kTimer, trap.StateWord(kTimer) - dt);
        }
    } else if (trap.IsAnimation(kRising) && trap.IsAnimationDone()) {
        trap.ChangeAnimation(kRaised, true);
        trap.SetStateWord(kTimer, kRaisedMs);
    } else if (trap.IsAnimation(kRaised)) {
        if (trap.StateWord(kTimer) < 1) {
            trap.SetAnimation(kRetracting, false);
            trap.SetStateWord(kTimer, kRetractedMs);
        } else {
            trap.SetStateWord(kTimer, trap.StateWord(kTimer) - dt);
        }
    } else if (trap.IsAnimation(kRetracting) && trap.IsAnimationDone()) {
        if (trap.StateWord(kTimer) >= 1) trap.SetStateWord(kTimer, trap.StateWord(kTimer) - dt);
        if (trap.StateWord(kTimer) < 1) trap.ChangeAnimation(kRising, false);
    }
}

void BreakBarrier(CActor& barrier, int32_t animation, bool restart) {
    barrier.SetDepth(Barrier::kBrokenDepth);
    if (restart) {
        barrier.SetAnimation(animation, false);
    } else {
        barrier.ChangeAnimation(animation, false);
    }
    ActorKit::PlaySound(GameSound::kHit);
}

// The barrier stops a player walking into it, unless the player's power
// protects it; running by itself, the player is sent on.
void StopPlayerAtBarrier(CActor& barrier) {
    CActor* p = ActorKit::Player();
    const CGameWorld* world = ActorKit::World();
    ActorKit::HurtPlayer(&barrier);
    if (p == nullptr || world == nullptr || p->StateWord(kPower) >= 1) return;
    if (world->autoRun == 0) {
        p->vx = p->ax = 0;
    } else {
        p->vx = Barrier::kRunOnVx;
    }
}

}  // namespace

void CActor::UpdateType40(int32_t) {
    using namespace Rock;
    if (IsAnimation(kLanded)) {
        if (IsAnimationDone()) Remove(true);
        return;
    }
    switch (StateWord(kPhase)) {
        case kResting:
            if (!CollideWithActors()) return;
            SetAnimation(kDropAnimation, false);
            SetStateWord(kPhase, kDropping);
            gravity = kGravity;
            return;
        case kDropping:
            if (onGround == 0) return;
            SetStateWord(kPhase, kLanded);
            SetAnimation(kRestAnimation, true);
            return;
        case kLanded:
            Remove(true);
            return;
        default:
            return;
    }
}

void CActor::UpdateType42(int32_t dt) {
    using namespace Spikes;
    if (StateWord(kRecoverOnly) != 0) {
        if (IsAnimation(kHurt) && IsAnimationDone()) {
            if (StateWord(kTimer) < 1) {
                ChangeAnimation(kDown, true);
                depth = kDepth;
            } else {
                SetStateWord(kTimer, StateWord(kTimer) - dt);
            }
        }
    } else {
        RunCyclingSpikes(*this, dt);
    }
    HurtPlayerWhenStruck(*this);
}

// One drain of one hit point. A second-form player drained to nothing dies
// here, since its own update never looks at its hit points.
void CActor::UpdateType44(int32_t) {
    if (IsAnimationDone()) {
        Remove(true);
        return;
    }
    CGameWorld* world = GetWorld();
    CActor* p = ActorKit::Player();
    if (world == nullptr || !IsAnimation(0) || !ActorKit::Touches(this, p)) return;
    ChangeAnimation(1, false);
    if (world->boostFlag != 0) return;
    p->hitPoints -= 1;
    if (p->hitPoints < 1 && world->playerDead == 0) {
        world->playerDead = 1;
        if (p->StateWord(kDeathCountdown) <= 0) p->SetStateWord(kDeathCountdown, kDeathFrames);
    }
}

void CActor::UpdateType45(int32_t) {
    using namespace Barrier;
    CActor* p = ActorKit::Player();
    const CGameWorld* world = GetWorld();
    if (world == nullptr) return;
    if (ActorKit::StruckBy(p, this)) {
        StopPlayerAtBarrier(*this);
        return;
    }
    if (ActorKit::StruckBy(this, p)) {
        BreakBarrier(*this, kBreaking, false);
        return;
    }
    if (IsAnimationDone()) {
        Remove(true);
        return;
    }
    if (IsAnimation(kIntact) && ActorKit::Touches(this, p)) {
        if (world->autoRun != 0) {
            // A boosting runner may be past the crack's reach by the next
            // update: the crack's blow lands as the barrier is reached.
            BreakBarrier(*this, kCrumbling, false);
            StopPlayerAtBarrier(*this);
            return;
        }
        BreakBarrier(*this, kBreaking, true);
    }
    ForEachStriker(*this, [this](CActor& striker) {
        if (IsAnimation(kIntact)) BreakBarrier(*this, kBreaking, true);
        if (striker.type == ActorType::kPooledShot) striker.Remove(true);
    });
}

void CActor::UpdateType49(int32_t dt) {
    using namespace Ledge;
    if (StateWord(kInert) != 0) return;
    switch (StateWord(kPhase)) {
        case kWaiting:
            if (!ActorKit::StruckBy(ActorKit::Player(), this, ActorKit::kSecondBox)) return;
            ChangeAnimation(kShakeAnimation, true);
            SetStateWord(kPhase, kCrumbling);
            SetStateWord(kTimer, kCrumbleMs);
            return;
        case kCrumbling:
            if (!ActorKit::Expired(this, kTimer, dt)) return;
            SetDepth(kFallDepth);
            ChangeAnimation(kFallAnimation, false);
            createFlag = 0;
            SetStateWord(kPhase, kFalling);
            return;
        case kFalling:
            if (IsAnimationDone()) Remove(false);
            return;
        default:
            return;
    }
}

void CActor::UpdateType52(int32_t) {
    using namespace Hanging;
    const CActor* p = ActorKit::Player();
    if (StateWord(kPhase) == kTriggered) {
        if (IsAnimation(kTriggerAnimation) && IsAnimationDone()) ChangeAnimation(kSwingAnimation, false);
        return;
    }
    if (StateWord(kPhase) != kIdle || p == nullptr) return;
    if (p->StateWord(kStance) == kStanceNormal &&
        ActorKit::StruckBy(ActorKit::Player(), this, ActorKit::kSecondBox)) {
        ChangeAnimation(kTriggerAnimation, false);
        SetStateWord(kPhase, kTriggered);
        return;
    }
    ChangeAnimation(kIdleAnimation, true);
}

void CActor::UpdateType53(int32_t) {
    using namespace Pot;
    if (IsAnimation(kCrackAnimation) && IsAnimationDone()) {
        SetAnimation(kBrokenAnimation, false);
        SetStateWord(kState, kBroken);
        ActorKit::PlaySound(GameSound::kHit);
    } else if (IsAnimation(kShatterAnimation)) {
        if (!IsAnimationDone()) return;
        SetAnimation(kBrokenAnimation, false);
        ActorKit::PlaySound(GameSound::kHit);
    } else if (IsAnimation(kBrokenAnimation)) {
        if (IsAnimationDone()) {
            Remove(true);
        } else {
            HurtPlayerWhenStruck(*this);
        }
    } else if (StateWord(kState) != kBroken) {
        ForEachStriker(*this, [this](CActor& striker) {
            if (StateWord(kState) == kWhole) {
                SetStateWord(kState, kBroken);
                SetAnimation(kShatterAnimation, false);
            }
            if (striker.type == ActorType::kPooledShot) striker.Remove(true);
        });
    }
}
