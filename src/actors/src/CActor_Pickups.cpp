#include "ActorKit.h"
#include "CActor.h"
#include "CGameInput.h"
#include "CGameWorld.h"

// Pickups, the containers that hold one, and the dispensers that refill
// after a rest. Containers and dispensers are use points as well: the
// action keys make a grounded player stop and play its use animation.

namespace {

using namespace PlayerWord;

namespace Pickup {
constexpr int32_t kKind = 0;
constexpr int32_t kAmount = 1;
constexpr int32_t kCollected = 2;
constexpr int32_t kDelay = 3;
constexpr int32_t kKindCount = 5;
// By kind: the collect animation and whether it sounds.
constexpr int32_t kCollectAnimation[kKindCount] = {3, 1, 5, 7, 10};
constexpr bool kCollectSounds[kKindCount] = {true, true, false, true, true};
constexpr int32_t kFullReserve = 3;
}  // namespace Pickup

namespace Container {
constexpr int32_t kKind = 0;
constexpr int32_t kOpening = 1;
constexpr int32_t kOpen = 2;
struct Content {
    int32_t animation;
    int32_t kind;
    int32_t amount;  // -1: a third of the maximum hit points
};
constexpr int32_t kContentCount = 4;
constexpr Content kContents[kContentCount] = {{2, 0, -1}, {0, 1, 1}, {4, 2, 5}, {4, 3, 1}};
}  // namespace Container

namespace Dispenser {
constexpr int32_t kPhase = 0;
constexpr int32_t kRest = 1;
constexpr int32_t kReady = 0;
constexpr int32_t kDispensed = 1;
constexpr int32_t kClosing = 2;
constexpr int32_t kRestingAnimation = 2;
constexpr int32_t kClosingAnimation = 3;
constexpr int32_t kReadyAnimation = 0;
constexpr int32_t kPickupAnimation = 6;
constexpr int32_t kRestMs = 8000;
}  // namespace Dispenser

constexpr uint32_t kActionKeys = 0x8010;
constexpr int32_t kOpenAnimation = 1;
// The player's use animations and what it plays after them, by form.
constexpr int32_t kFormAUse = 20;
constexpr int32_t kFormAAfterUse = 0;
constexpr int32_t kFormBUse = 24;
constexpr int32_t kFormBAfterUse = 2;
constexpr int32_t kFormAWalk = 1;
constexpr int32_t kFormBWalk = 0;

void CollectPickup(CActor& pickup, CActor* p) {
    using namespace Pickup;
    const int32_t kind = pickup.StateWord(kKind);
    const bool known = kind >= 0 && kind < kKindCount;
    pickup.SetAnimation(known ? kCollectAnimation[kind] : CActor::kNoAnimation, false);
    if (known && kCollectSounds[kind]) ActorKit::PlaySound(GameSound::kPickup);
    if (p != nullptr) CActor::AwardPlayer(kind, pickup.StateWord(kAmount));
    pickup.SetStateWord(kCollected, 1);
}

// The player may use a point only on the ground, free and in control.
bool PlayerMayUse(const CActor* p) {
    const CGameWorld* world = ActorKit::World();
    return p != nullptr && world != nullptr && p->StateWord(kMode) == kModeFree && p->onGround != 0 &&
           world->playerControl != 0;
}

// The action keys while touching the actor: the player stops and plays its
// use animation, then stands again.
void UseAction(CActor& point) {
    CActor* p = ActorKit::Player();
    CGameInput* input = ActorKit::Input();
    if (!PlayerMayUse(p) || input == nullptr || !input->IsPressed(kActionKeys) || !ActorKit::Touches(&point, p)) {
        return;
    }
    input->pressed = 0;
    input->held = 0;
    const bool formB = p->type == ActorType::kPlayerFormB;
    if (!formB && p->type != ActorType::kPlayerFormA) return;
    const int32_t stand = formB ? kFormBAfterUse : kFormAAfterUse;
    if (!p->IsAnimation(stand) && !p->IsAnimation(formB ? kFormBWalk : kFormAWalk)) return;
    CActor::SetPlayerTimedMode(false);
    CActor::ResetPlayerAttack();
    p->SetStateWord(kMode, kModeHeld);
    p->vx = 0;
    p->ax = 0;
    p->SetAnimation(formB ? kFormBUse : kFormAUse, false);
    CActor::SetPlayerTarget(stand, true, 0);
}

void OpenWhenStruck(CActor& a) {
    if (ActorKit::StruckBy(&a, ActorKit::Player())) a.ChangeAnimation(kOpenAnimation, false);
}

}  // namespace

void CActor::UpdateType25(int32_t dt) {
    using namespace Pickup;
    if (StateWord(kCollected) == 1) {
        if (!IsAnimationDone()) return;
        if (StateWord(kKind) == kFullReserve && link != nullptr && link->type == ActorType::kDispenser) {
            link->SetStateWord(Dispenser::kPhase, Dispenser::kClosing);
        }
        Remove(true);
        return;
    }
    if (StateWord(kDelay) >= 1) {
        SetStateWord(kDelay, StateWord(kDelay) - dt);
        return;
    }
    targetVy = vy = gravity = 0;
    CActor* p = ActorKit::Player();
    if (ActorKit::Touches(this, p)) CollectPickup(*this, p);
}

void CActor::UpdateType24(int32_t) {
    using namespace Container;
    if (IsAnimation(kOpening)) {
        if (!IsAnimationDone()) return;
        CActor* pickup = ActorKit::DropPickup(this);
        const int32_t kind = StateWord(kKind);
        if (pickup != nullptr && kind >= 0 && kind < kContentCount) {
            const Content& content = kContents[kind];
            const CGameWorld* world = GetWorld();
            pickup->ChangeAnimation(content.animation, true);
            pickup->SetStateWord(Pickup::kKind, content.kind);
            pickup->SetStateWord(Pickup::kAmount, content.amount >= 0 ? content.amount : world->GetMaxHitPoints() / 3);
        }
        if (pickup != nullptr) pickup->SetStateWord(Pickup::kCollected, 0);
        ChangeAnimation(kOpen, false);
        return;
    }
    if (IsAnimation(kOpen)) {
        if (IsAnimationDone()) Remove(true);
        return;
    }
    OpenWhenStruck(*this);
    if (!PlayerMayUse(ActorKit::Player())) return;
    UseAction(*this);
    OpenWhenStruck(*this);
}

void CActor::UpdateType64(int32_t dt) {
    using namespace Dispenser;
    if (IsAnimation(kOpenAnimation) && IsAnimationDone()) {
        CActor* pickup = ActorKit::DropPickup(this);
        if (pickup != nullptr) {
            pickup->ChangeAnimation(kPickupAnimation, true);
            pickup->SetStateWord(Pickup::kKind, Pickup::kFullReserve);
            pickup->SetStateWord(Pickup::kAmount, 0);
            pickup->SetStateWord(Pickup::kCollected, 0);
            pickup->link = this;
        }
        ChangeAnimation(kRestingAnimation, false);
        SetStateWord(kRest, kRestMs);
        SetStateWord(kPhase, kDispensed);
    } else if (IsAnimation(kRestingAnimation)) {
        if (ActorKit::RunDown(this, kRest, dt)) SetStateWord(kPhase, kClosing);
    } else if (IsAnimation(kClosingAnimation)) {
        if (IsAnimationDone()) {
            ChangeAnimation(kReadyAnimation, false);
            SetStateWord(kPhase, kReady);
        }
    } else if (StateWord(kPhase) == kReady) {
        OpenWhenStruck(*this);
        UseAction(*this);
    }
    if (StateWord(kPhase) == kClosing && ActorKit::RunDown(this, kRest, dt)) ChangeAnimation(kClosingAnimation, false);
}
