#include <cstdlib>

#include "ActorKit.h"
#include "ActorUnits.h"
#include "CActor.h"
#include "CGameInput.h"
#include "CGameWorld.h"

// Doors that block the player until their switch opens them (some shut
// again behind the player), the switches that open them after the number
// of presses the door carries, and one-shot use points.

namespace {

using namespace PlayerWord;

namespace Door {
constexpr int32_t kShutsBehind = 0;
constexpr int32_t kOpen = 1;
constexpr int32_t kPressesLeft = 2;
constexpr int32_t kClosedAnimation = 0;
constexpr int32_t kOpeningAnimation = 1;
constexpr int32_t kShuttingAnimation = 10;
constexpr int32_t kBehindPlayer = 1;
constexpr int32_t kInFrontOfPlayer = 3;
constexpr int32_t kFrontDepthFrom = 2;
constexpr int32_t kShutDepth = 4;
}  // namespace Door

namespace Switch {
constexpr int32_t kSwitchMode = 0;
constexpr int32_t kUsed = 1;
constexpr int32_t kDoorRef = 2;
constexpr int32_t kWobble = 3;
constexpr int32_t kFloor = 0;
constexpr int32_t kCentre = 1;
constexpr int32_t kFloorUsedAnimation = 3;
constexpr int32_t kCentreIdleAnimation = 4;
constexpr int32_t kCentreUsedAnimation = 5;
constexpr int32_t kWobbleRightAnimation = 6;
constexpr int32_t kWobbleLeftAnimation = 7;
constexpr int32_t kStruckAnimation = 9;
constexpr int32_t kWobbleMs = 500;
}  // namespace Switch

namespace UsePoint {
constexpr int32_t kUsed = 0;
constexpr int32_t kUseAnimationWord = 2;
constexpr uint32_t kActionKeys = 0x8010;
constexpr int32_t kDepth = 3;
constexpr int32_t kPlayerAnimation = 22;
}  // namespace UsePoint

bool IsDoor(const CActor* a) {
    return a != nullptr &&
           (a->type == ActorType::kDoor27 || a->type == ActorType::kDoor50 || a->type == ActorType::kDoor54);
}

// The door the switch names, when it is a door in play.
CActor* NamedDoor(const CActor& button) {
    CGameWorld* world = ActorKit::World();
    CActor* door = world != nullptr ? world->FindActorById(button.StateWord(Switch::kDoorRef)) : nullptr;
    return IsDoor(door) ? door : nullptr;
}

// One press on the door: the last one opens it. True when it opened.
bool PressDoor(CActor& button, CActor& door, int32_t switchAnimation) {
    if (door.StateWord(Door::kPressesLeft) >= 1) {
        door.SetStateWord(Door::kPressesLeft, door.StateWord(Door::kPressesLeft) - 1);
        return false;
    }
    door.ChangeAnimation(Door::kOpeningAnimation, false);
    door.SetStateWord(Door::kOpen, 1);
    button.ChangeAnimation(switchAnimation, false);
    return true;
}

// A closed door is drawn behind the player on its left and in front of the
// player on its right.
void LayerDoor(CActor& door, const CActor& p) {
    using namespace Door;
    if (p.x <= door.x && door.depth >= kFrontDepthFrom) door.SetDepth(kBehindPlayer);
    if (p.x > door.x && door.depth < kFrontDepthFrom) door.SetDepth(kInFrontOfPlayer);
}

// A door the player walks into pushes it back out, one unit clear on the
// left, one pixel clear on the right.
void BlockPlayer(CActor& door, CActor& p) {
    if (!ActorKit::Touches(&door, &p)) return;
    const int32_t x =
        p.x < door.x ? ActorKit::BesideLeft(&door, &p, -1) : ActorKit::BesideRight(&door, &p, ActorUnits::kPerPixel);
    p.SetPosition(x, p.y);
    p.vx = p.ax = 0;
}

void RunCentreSwitch(CActor& button, CActor* p, int32_t dt) {
    using namespace Switch;
    if (button.StateWord(kUsed) != 0) return;
    if (!ActorKit::Touches(&button, p) || p->onGround == 0) {
        if (ActorKit::RunDown(&button, kWobble, dt)) button.ChangeAnimation(kCentreIdleAnimation, false);
        return;
    }
    const int32_t halfWidth = button.GetWidth() / 2;
    if (std::abs(ActorUnits::ToPixels(button.x - p->x)) < halfWidth && p->StateWord(kStance) == kStanceLow) {
        // A missing or wrong actor leaves the switch as it is.
        CActor* door = NamedDoor(button);
        if (door != nullptr && PressDoor(button, *door, kCentreUsedAnimation)) button.SetStateWord(kUsed, 1);
        return;
    }
    button.ChangeAnimation(button.x >= p->x ? kWobbleRightAnimation : kWobbleLeftAnimation, false);
    button.SetStateWord(kWobble, kWobbleMs);
}

}  // namespace

void CActor::UpdateType27(int32_t) {
    using namespace Door;
    CActor* p = ActorKit::Player();
    if (p == nullptr) return;
    if (StateWord(kShutsBehind) != 0) {
        if (StateWord(kOpen) == 1) {
            if (!ActorKit::StruckBy(p, this, ActorKit::kSecondBox)) return;
            SetStateWord(kOpen, 0);
            depth = kShutDepth;
            if (CGameWorld* world = GetWorld()) world->ResortActor(this);
            SetAnimation(kShuttingAnimation, false);
            return;
        }
    } else if (StateWord(kOpen) == 1 && IsAnimationDone()) {
        if (depth != kBehindPlayer) SetDepth(kBehindPlayer);
        return;
    } else {
        LayerDoor(*this, *p);
    }
    if (IsAnimation(kShuttingAnimation) && IsAnimationDone()) ChangeAnimation(kClosedAnimation, true);
    BlockPlayer(*this, *p);
}

void CActor::UpdateType28(int32_t dt) {
    using namespace Switch;
    CActor* p = ActorKit::Player();
    const int32_t mode = StateWord(kSwitchMode);
    if (mode == kCentre) {
        if (p != nullptr) RunCentreSwitch(*this, p, dt);
    } else if (mode == kFloor) {
        if (StateWord(kUsed) != 0 || p == nullptr || p->onGround == 0 || !ActorKit::Touches(this, p)) return;
        SetStateWord(kUsed, 1);
        if (CActor* door = NamedDoor(*this)) PressDoor(*this, *door, kFloorUsedAnimation);
    } else if (CollideWithActors()) {
        SetStateWord(kUsed, 1);
        if (CActor* door = NamedDoor(*this)) PressDoor(*this, *door, kStruckAnimation);
    }
}

void CActor::UpdateType30(int32_t) {
    using namespace UsePoint;
    CActor* p = ActorKit::Player();
    CGameInput* input = ActorKit::Input();
    if (p == nullptr || p->StateWord(kStance) != kStanceNormal) return;
    const int32_t mode = p->StateWord(kMode);
    if (input != nullptr && input->IsPressed(kActionKeys) && (mode == kModeFree || mode == kModeAttacking) &&
        StateWord(kUsed) == 0 && ActorKit::StruckBy(p, this) &&
        std::abs(p->x - x) < ActorUnits::FromPixels(GetWidth())) {
        SetStateWord(kUsed, 1);
        if (p->type == ActorType::kPlayerFormA) {
            input->pressed = 0;
            input->held = 0;
            p->SetStateWord(kMode, kModeFree);
            p->SetAnimation(kPlayerAnimation, false);
            SetPosition(p->x, p->y);
            p->vx = p->ax = 0;
            p->SetStateWord(kMode, kModeHeld);
            facing = p->facing;
        }
        depth = kDepth;
        createFlag = 0;
        SetAnimation(StateWord(kUseAnimationWord), false);
        return;
    }
    if (IsAnimation(StateWord(kUseAnimationWord)) && IsAnimationDone()) {
        p->SetStateWord(kMode, kModeFree);
        Remove(true);
    }
}
