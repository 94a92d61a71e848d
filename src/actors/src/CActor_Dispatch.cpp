#include "CActor.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"

namespace {

// The player's state words the wrappers consume: a behaviour that stood the
// player on something sets kStoodOn for one frame; form B's melee-only flag
// lasts one frame too.
constexpr int32_t kStoodOn = 43;
constexpr int32_t kStoodOnSet = 1;

// Type 4's state word 0 and animations.
constexpr int32_t kTriggerWord = 0;
constexpr int32_t kTriggerWaiting = 0;
constexpr int32_t kTriggerFired = 1;
constexpr int32_t kTriggerAnimation = 1;
// The player's animations when a type-4 trigger stops it.
constexpr int32_t kFormAStand = 0;
constexpr int32_t kFormALowStand = 13;
constexpr int32_t kFormBStand = 2;
constexpr int32_t kFormBHeld = 12;

}  // namespace

void CActor::UpdateBehaviour(int32_t dt) {
    using namespace ActorType;
    switch (type) {
        case kPlayerFormA:
            if (StateWord(kStoodOn) == kStoodOnSet) onGround = 1;
            UpdatePlayerFormA(dt);
            SetStateWord(kStoodOn, 0);
            return;
        case kPlayerFormB:
            if (StateWord(kStoodOn) == kStoodOnSet) onGround = 1;
            UpdatePlayerFormB(dt);
            SetStateWord(kStoodOn, 0);
            SetStateWord(PlayerWord::kMeleeOnly, 0);
            return;
        case kLargeEnemy1: UpdateType1(dt); return;
        case kLargeEnemy3: UpdateType3(dt); return;
        case kLargeEnemy67: UpdateType67(dt); return;
        case kStopTrigger: UpdateType4Trigger(); return;
        case kFlyingMine: UpdateType6(dt); return;
        case kBackgroundRunner: UpdateType8(dt); return;
        case kStrikeEffect: UpdateType9(dt); return;
        case kPatrolFlyer: UpdateType12(dt); return;
        case kLift: UpdateType14(dt); return;
        case kPot: UpdateType53(dt); return;
        case kPooledShot: UpdateType17(dt); return;
        case kBlock19:
        case kBlock61: UpdateType19(dt); return;
        case kPartner: UpdateType22(dt); return;
        case kContainer: UpdateType24(dt); return;
        case kPickup: UpdateType25(dt); return;
        case kDoor27:
        case kDoor50:
        case kDoor54: UpdateType27(dt); return;
        case kSwitch28:
        case kSwitch51:
        case kSwitch55: UpdateType28(dt); return;
        case kUsePoint30:
        case kUsePoint31:
        case kUsePoint62: UpdateType30(dt); return;
        case kBoss35: UpdateType35(dt); return;
        case kBossPart36: UpdateType36(dt); return;
        case kBossMinion: UpdateType37(dt); return;
        case kRemote: UpdateType38(dt); return;
        case kRock: UpdateType40(dt); return;
        case kBoss41: UpdateType41(dt); return;
        case kSpikeTrap: UpdateType42(dt); return;
        case kHitSpark: UpdateType39(dt); return;
        case kSummoningPoint: UpdateType43(dt); return;
        case kDrainingHazard: UpdateType44(dt); return;
        case kBarrier: UpdateType45(dt); return;
        case kBouncePad: UpdateType46(dt); return;
        case kCommandPoint: UpdateType47(dt); return;
        case kThrownShot: UpdateType48(dt); return;
        case kCrumblingLedge: UpdateType49(dt); return;
        case kHangingObject: UpdateType52(dt); return;
        case kFlyingBoss: UpdateType56(dt); return;
        case kLaunchPad: UpdateType57(dt); return;
        case kBomber: UpdateType58(dt); return;
        case kLargeEnemy59: UpdateType59(dt); return;
        case kDispenser: UpdateType64(dt); return;
        case kBossShot: UpdateType68(dt); return;
        case kFollowingDisplay: UpdateType69(dt); return;
        default: return;
    }
}

// A trigger that stops the player on the ground and plays its own animation;
// when that ends it releases the script waiting on it and goes.
void CActor::UpdateType4Trigger() {
    CGameWorld* world = GetWorld();
    CActor* p = world != nullptr ? world->player : nullptr;
    if (StateWord(kTriggerWord) == kTriggerWaiting && p != nullptr && p->onGround != 0) {
        if (sprite && p->sprite && CSpriteInstance::Overlaps(*sprite, *p->sprite)) StopPlayerAtTrigger(*world, *p);
        return;
    }
    if (!IsAnimationDone()) return;
    if (world != nullptr) world->ReleaseWaitingCommand();
    Remove(true);
}

void CActor::StopPlayerAtTrigger(CGameWorld& world, CActor& p) {
    using namespace PlayerWord;
    SetStateWord(kTriggerWord, kTriggerFired);
    SetAnimation(kTriggerAnimation, false);
    p.vx = 0;
    p.ax = 0;
    if (p.type != ActorType::kPlayerFormB) {
        p.SetAnimation(p.StateWord(kStance) != 0 ? kFormALowStand : kFormAStand, true);
    } else if (world.autoRun != 0) {
        world.autoRun = 0;
        p.SetAnimation(kFormBHeld, true);
    } else {
        p.SetAnimation(p.StateWord(kStance) != 0 ? kFormBHeld : kFormBStand, true);
    }
    p.SetStateWord(kMode, kModeHeld);
}
