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
        case kType1: UpdateType1(dt); return;
        case kType3: UpdateType3(dt); return;
        case kType67: UpdateType67(dt); return;
        case kType4: UpdateType4Trigger(); return;
        case kType6: UpdateType6(dt); return;
        case kType8: UpdateType8(dt); return;
        case kType9: UpdateType9(dt); return;
        case kType12: UpdateType12(dt); return;
        case kType14: UpdateType14(dt); return;
        case kType53: UpdateType53(dt); return;
        case kPooledShot: UpdateType17(dt); return;
        case kType19:
        case kType61: UpdateType19(dt); return;
        case kType22: UpdateType22(dt); return;
        case kType24: UpdateType24(dt); return;
        case kPickup: UpdateType25(dt); return;
        case kType27:
        case kType50:
        case kType54: UpdateType27(dt); return;
        case kType28:
        case kType51:
        case kType55: UpdateType28(dt); return;
        case kType30:
        case kType31:
        case kType62: UpdateType30(dt); return;
        case kBoss35: UpdateType35(dt); return;
        case kBossPart36: UpdateType36(dt); return;
        case kType37: UpdateType37(dt); return;
        case kType38: UpdateType38(dt); return;
        case kType40: UpdateType40(dt); return;
        case kBoss41: UpdateType41(dt); return;
        case kType42: UpdateType42(dt); return;
        case kHitSpark: UpdateType39(dt); return;
        case kType43: UpdateType43(dt); return;
        case kType44: UpdateType44(dt); return;
        case kType45: UpdateType45(dt); return;
        case kType46: UpdateType46(dt); return;
        case kType47: UpdateType47(dt); return;
        case kType48: UpdateType48(dt); return;
        case kType49: UpdateType49(dt); return;
        case kType52: UpdateType52(dt); return;
        case kType56: UpdateType56(dt); return;
        case kType57: UpdateType57(dt); return;
        case kType58: UpdateType58(dt); return;
        case kType59: UpdateType59(dt); return;
        case kType64: UpdateType64(dt); return;
        case kType68: UpdateType68(dt); return;
        case kType69: UpdateType69(dt); return;
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
