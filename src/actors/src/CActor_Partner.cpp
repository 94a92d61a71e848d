#include <algorithm>
#include <cstdlib>

#include "ActorKit.h"
#include "ActorUnits.h"
#include "CActor.h"
#include "CGameInput.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"

// The partner who comes to the player's side for a short scene and leaves a
// timed boon, the summoning points that call it, and the remote that the
// second form sends out and steers.

namespace {

using namespace PlayerWord;
using ActorUnits::kPerPixel;

namespace Partner {
constexpr int32_t kPhase = 0;
constexpr int32_t kTimer = 1;
constexpr int32_t kKind = 2;
constexpr int32_t kArriving = 0;
constexpr int32_t kRunningOff = 1;
constexpr int32_t kPausing = 2;
constexpr int32_t kActing = 3;
constexpr int32_t kTurning = 4;
constexpr int32_t kGreeting = 5;
constexpr int32_t kWaitingForPoint = 6;
constexpr int32_t kActAnimation = 0;
constexpr int32_t kBoonAnimation = 1;
constexpr int32_t kArrivedAnimation = 2;
constexpr int32_t kTurnAnimation = 3;
constexpr int32_t kRunAnimation = 4;
constexpr int32_t kFastRunAnimation = 5;
constexpr int32_t kPauseMs = 1000;
constexpr int32_t kTurnMs = 100;
constexpr int32_t kRunOffMs = 800;
constexpr int32_t kRunOffSpeed = 600 * kPerPixel;
// The player's poses in the scene, by form.
constexpr int32_t kFormAWatch = 17;
constexpr int32_t kFormAReceive = 18;
constexpr int32_t kFormBWatch = 2;
constexpr int32_t kFormAStand = 0;
constexpr int32_t kFormBStand = 2;
// Boons, in ms of the player's words.
constexpr int32_t kPowerBoonMs = 18000;
constexpr int32_t kChargeBoonMs = 18000;
constexpr int32_t kSpecialBoonMs = 9000;
constexpr int32_t kChargeWord = 44;
constexpr int32_t kRamCostWord = 45;
}  // namespace Partner

namespace Point {
constexpr int32_t kPhase = 0;
constexpr int32_t kVariant = 1;
constexpr int32_t kCall = 2;
constexpr int32_t kWaiting = 0;
constexpr int32_t kFinished = 1;
constexpr int32_t kHolding = 2;
constexpr int32_t kCalling = 3;
constexpr int32_t kArrived = 4;
constexpr int32_t kScripted = 2;
constexpr int32_t kFormAStandUp = 11;
constexpr int32_t kFormBStandUp = 10;
constexpr int32_t kFormAStand = 0;
constexpr int32_t kFormBStand = 2;
}  // namespace Point

namespace Remote {
constexpr int32_t kPhase = 0;
constexpr int32_t kSteered = 0;
constexpr int32_t kAttacking = 1;
constexpr int32_t kStowed = 2;
constexpr int32_t kWorldOut = 1;
constexpr int32_t kWorldStowed = 2;
constexpr int32_t kIdleAnimation = 0;
constexpr int32_t kAttackAnimation = 1;
constexpr int32_t kSpeed = 160 * kPerPixel;
constexpr uint32_t kFire = 16;
constexpr uint32_t kRemoteKey = 0x100000;
constexpr int32_t kModeRemote = 12;
constexpr int32_t kFormBStand = 2;
struct Steer {
    uint32_t key;
    int32_t dx;
    int32_t dy;
};
// The first held key of the table decides.
constexpr Steer kSteering[] = {{64, -1, 0},        {32, 1, 0},       {256, 0, -1},   {128, 0, 1},
                               {0x80000, -1, -1}, {0x20000, 1, -1}, {8192, -1, 1}, {2048, 1, 1}};
}  // namespace Remote

bool IsFormB(const CActor* p) { return p != nullptr && p->type == ActorType::kPlayerFormB; }

void GrantBoon(CActor& p, int32_t kind) {
    using namespace Partner;
    switch (kind) {
        case 0:
            p.SetStateWord(kPower, kPowerBoonMs);
            break;
        case 1:
            p.SetStateWord(kChargeWord, kChargeBoonMs);
            p.SetStateWord(kRamCostWord, 0);
            break;
        case 2:
            p.SetStateWord(kSpecial, kSpecialBoonMs);
            break;
        default:
            break;
    }
}

// Arriving, the partner stops beside the player, on its right unless it
// came from the left.
void ArriveAsPartner(CActor& partner, CActor& p) {
    using namespace Partner;
    const int32_t gap = partner.GetWidth() + p.GetWidth() / 2;
    if ((std::abs(partner.x - p.x) >> ActorUnits::kShift) < gap) {
        const int32_t side = partner.vx < 1 ? 1 : -1;
        partner.SetPosition(p.x + side * ActorUnits::FromPixels(gap), partner.y);
        partner.onGround = 1;
    }
    if (partner.onGround == 0) return;
    partner.SetAnimation(kArrivedAnimation, false);
    partner.vx = partner.vy = partner.ay = partner.targetVy = partner.gravity = 0;
    partner.SetStateWord(kPhase, partner.link != nullptr ? kWaitingForPoint : kGreeting);
}

void ActAsPartner(CActor& partner, CActor* p) {
    using namespace Partner;
    if (!partner.IsAnimationDone()) return;
    partner.ChangeAnimation(kBoonAnimation, false);
    const int32_t kind = partner.StateWord(kKind);
    if (p != nullptr && kind == 1) p->ChangeAnimation(IsFormB(p) ? kFormBWatch : kFormAWatch, true);
    if (p != nullptr && kind == 0 && !IsFormB(p)) p->ChangeAnimation(kFormAReceive, true);
    partner.SetStateWord(kPhase, kPausing);
    partner.SetStateWord(kTimer, kPauseMs);
}

// The partner runs away from the player, through walls.
void TurnAsPartner(CActor& partner, const CActor* p) {
    using namespace Partner;
    if (!partner.IsAnimationDone()) return;
    if (partner.StateWord(kKind) == 0) {
        partner.ChangeAnimation(kRunAnimation, true);
    } else {
        partner.SetAnimation(kFastRunAnimation, true);
    }
    partner.SetStateWord(kPhase, kRunningOff);
    partner.SetStateWord(kTimer, kRunOffMs);
    partner.gravity = 0;
    partner.collisionFlags = 0;
    const bool playerLeft = p == nullptr || p->x <= partner.x;
    partner.vx = playerLeft ? kRunOffSpeed : -kRunOffSpeed;
}

void RunOffAsPartner(CActor& partner, CActor* p, int32_t dt) {
    using namespace Partner;
    partner.vy = partner.gravity = 0;
    partner.SetStateWord(kTimer, partner.StateWord(kTimer) - dt);
    if (partner.StateWord(kTimer) >= 1) return;
    if (p != nullptr) GrantBoon(*p, partner.StateWord(kKind));
    if (CGameWorld* world = ActorKit::World()) world->EndPartnerMode();
    if (p != nullptr) p->SetAnimation(IsFormB(p) ? kFormBStand : kFormAStand, true);
}

CActor* WorldPartner() {
    CGameWorld* world = ActorKit::World();
    return world != nullptr ? world->partner : nullptr;
}

void CallPartner(CActor* link) {
    CGameWorld* world = ActorKit::World();
    if (world == nullptr || world->partner == nullptr) return;
    world->StartPartnerMode();
    world->partner->link = link;
}

// A scripted point holds the player: a low player stands up first, then
// the partner is called.
void HoldPlayerAtPoint(CActor& point, CActor& p) {
    using namespace Point;
    const bool formB = IsFormB(&p);
    if (p.onGround == 0) {
        p.vx = 0;
        p.facing = 1;
    } else if (p.StateWord(kStance) == kStanceLow) {
        p.vx = 0;
        p.SetAnimation(formB ? kFormBStandUp : kFormAStandUp, false);
        CActor::SetPlayerTarget(formB ? kFormBStand : kFormAStand, false, 0);
        p.SetStateWord(kStance, kStanceNormal);
    } else {
        p.vx = 0;
        if (p.IsAnimation(formB ? kFormBStandUp : kFormAStandUp)) return;
        point.SetStateWord(kPhase, kCalling);
        CallPartner(&point);
    }
}

void HideRemote(CActor& remote) {
    if (remote.sprite) remote.sprite->SetVisible(false);
}

void StowRemote(CActor& remote, CGameWorld& world) {
    remote.SetStateWord(Remote::kPhase, Remote::kStowed);
    world.remoteState = Remote::kWorldStowed;
    HideRemote(remote);
}

// The remote keeps inside the view, below the top margin; a clamped axis
// stops.
void KeepRemoteInView(CActor& remote, const CGameWorld& world) {
    const int32_t halfHeight = remote.GetHeight() / 2;
    const int32_t px = ActorUnits::ToPixels(remote.x);
    const int32_t py = ActorUnits::ToPixels(remote.y);
    const int32_t keptX = std::clamp(px, world.cameraX, world.cameraX + world.viewWidth);
    const int32_t keptY = std::max(std::min(py, world.cameraY + world.viewHeight - halfHeight),
                                   world.cameraY + world.topMargin - halfHeight);
    int32_t x = remote.x;
    int32_t y = remote.y;
    if (keptX != px) {
        remote.vx = 0;
        x = ActorUnits::FromPixels(keptX);
    }
    if (keptY != py) {
        remote.vy = 0;
        y = ActorUnits::FromPixels(keptY);
    }
    remote.SetPosition(x, y);
}

// Steering: the player stands frozen while the keys move the remote; fire
// attacks once, the remote key stows it.
void SteerRemote(CActor& remote, CActor& p, CGameWorld& world, CGameInput* input) {
    using namespace Remote;
    remote.vx = remote.vy = remote.ax = remote.ay = 0;
    p.vx = p.vy = p.ax = p.ay = 0;
    p.SetStateWord(kMode, kModeRemote);
    if (input == nullptr) return;
    bool steered = false;
    for (const Steer& s : kSteering) {
        if (!input->IsHeld(s.key)) continue;
        remote.vx = s.dx * kSpeed;
        remote.vy = s.dy * kSpeed;
        steered = true;
        break;
    }
    if (!steered && input->IsPressed(kFire)) {
        input->Release(GameKey::kAll);
        remote.SetStateWord(kPhase, kAttacking);
        remote.SetAnimation(kAttackAnimation, false);
        p.SetStateWord(kReserve, std::max(p.StateWord(kReserve) - p.StateWord(Partner::kRamCostWord), 0));
        ActorKit::PlaySound(GameSound::kHit);
    } else if (!steered && input->IsPressed(kRemoteKey) && IsFormB(&p) && p.StateWord(kMode) != kModeFormBSpecial) {
        StowRemote(remote, world);
        remote.SetAnimation(kIdleAnimation, true);
        p.SetStateWord(kMode, kModeFree);
        return;
    }
    KeepRemoteInView(remote, world);
}

// Stowed, the remote rides along hidden until the second form, standing
// still on the ground with reserve or charge, sends it out.
void SendRemote(CActor& remote, CActor& p, CGameWorld& world, CGameInput* input) {
    using namespace Remote;
    const bool mayGo = input != nullptr && input->IsPressed(kRemoteKey) && IsFormB(&p) &&
                       p.StateWord(kMode) == kModeFree && p.IsAnimation(kFormBStand) &&
                       (p.StateWord(kReserve) > 0 || p.StateWord(Partner::kChargeWord) >= 1) && p.onGround != 0;
    if (!mayGo) {
        HideRemote(remote);
        remote.SetPosition(p.x, p.y);
        return;
    }
    world.QueueAddActor(&remote);
    remote.SetStateWord(kPhase, kSteered);
    world.remoteState = kWorldOut;
    world.remoteUsed = 1;
    if (remote.sprite) remote.sprite->SetVisible(true);
    p.SetStateWord(kMode, kModeRemote);
    p.SetAnimation(kFormBStand, true);
    remote.SetPosition(ActorUnits::FromPixels(world.viewCentreX), ActorUnits::FromPixels(world.viewCentreY));
}

}  // namespace

void CActor::UpdateType22(int32_t dt) {
    using namespace Partner;
    CActor* p = ActorKit::Player();
    switch (StateWord(kPhase)) {
        case kArriving:
            if (p != nullptr) ArriveAsPartner(*this, *p);
            return;
        case kGreeting:
            if (!IsAnimationDone()) return;
            SetStateWord(kPhase, kActing);
            SetAnimation(kActAnimation, false);
            ActorKit::PlaySound(GameSound::kPartnerGreeting);
            return;
        case kActing:
            ActAsPartner(*this, p);
            return;
        case kPausing:
            SetStateWord(kTimer, StateWord(kTimer) - dt);
            if (StateWord(kTimer) >= 1) return;
            gravity = 0;
            SetStateWord(kPhase, kTurning);
            SetStateWord(kTimer, kTurnMs);
            facing = p == nullptr || p->x <= x ? 1 : 0;
            SetAnimation(kTurnAnimation, false);
            return;
        case kTurning:
            TurnAsPartner(*this, p);
            return;
        case kRunningOff:
            RunOffAsPartner(*this, p, dt);
            return;
        default:
            return;
    }
}

void CActor::UpdateType43(int32_t) {
    using namespace Point;
    CActor* p = ActorKit::Player();
    CActor* partner = WorldPartner();
    switch (StateWord(kPhase)) {
        case kWaiting:
            if (p == nullptr || !ActorKit::Touches(this, p)) return;
            if (StateWord(kCall) != kScripted) {
                if (p->onGround == 0 || p->StateWord(kStance) != kStanceNormal) return;
                CallPartner(nullptr);
                SetStateWord(kPhase, kFinished);
                return;
            }
            SetAnimation(StateWord(kVariant) == 0 || StateWord(kVariant) == 1 ? StateWord(kVariant) : 2, false);
            p->vx = 0;
            SetStateWord(kPhase, kHolding);
            return;
        case kHolding:
            if (p != nullptr) HoldPlayerAtPoint(*this, *p);
            return;
        case kCalling:
            if (partner == nullptr || partner->StateWord(Partner::kPhase) != Partner::kWaitingForPoint) return;
            ActorKit::TellScript();
            SetStateWord(kPhase, kArrived);
            return;
        case kArrived:
            if (!ActorKit::ScriptWaiting()) return;
            ActorKit::TellScript();
            SetStateWord(kPhase, kFinished);
            if (partner != nullptr) partner->SetStateWord(Partner::kPhase, Partner::kGreeting);
            return;
        case kFinished:
            if (partner != nullptr) partner->link = nullptr;
            Remove(true);
            return;
        default:
            return;
    }
}

void CActor::UpdateType38(int32_t) {
    using namespace Remote;
    CGameWorld* world = GetWorld();
    CActor* p = ActorKit::Player();
    if (world == nullptr || p == nullptr) return;
    CGameInput* input = world->GetInput();
    if (world->playerDead != 0 || (IsFormB(p) && p->StateWord(kMode) == kModeRemote && p->onGround == 0)) {
        StowRemote(*this, *world);
        if (p->StateWord(kMode) == kModeRemote) p->SetStateWord(kMode, kModeFree);
        return;
    }
    switch (StateWord(kPhase)) {
        case kSteered:
            SteerRemote(*this, *p, *world, input);
            return;
        case kAttacking:
            if (!IsAnimationDone()) return;
            StowRemote(*this, *world);
            if (p->StateWord(kMode) != kModeFormBSpecial) p->SetStateWord(kMode, kModeFree);
            SetAnimation(kIdleAnimation, true);
            return;
        case kStowed:
            SendRemote(*this, *p, *world, input);
            return;
        default:
            return;
    }
}
