// Attackers from the background layer and the edges of the view: the
// runner and the command points that command it, the flyer that calls
// strikes, and the scripted bomber.
#include <algorithm>
#include <cstdlib>

#include "ActorKit.h"
#include "ActorUnits.h"
#include "CActor.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"

namespace {

using ActorUnits::FromPixels;
using ActorUnits::ToPixels;
constexpr int32_t kPx = ActorUnits::kPerPixel;
constexpr int32_t kTile = CGameWorld::kTileSize;

namespace Runner {
constexpr int32_t kPhase = 0;
constexpr int32_t kStruck = 3;
constexpr int32_t kEntering = 1;
constexpr int32_t kLeaving = 2;
constexpr int32_t kAttacking = 3;
constexpr int32_t kWaiting = 4;
constexpr int32_t kHiddenPose = 0;
constexpr int32_t kAttackPose = 2;
constexpr int32_t kThrow = 3;
constexpr int32_t kAfterThrow = 4;
constexpr int32_t kCall = 6;
constexpr int32_t kAfterCall = 7;
constexpr int32_t kCallStrikes = 8;
constexpr int32_t kShotGravity = 96 * kPx;
constexpr int32_t kStrikeVariant = 1;
}  // namespace Runner

namespace Command {
constexpr int32_t kOrder = 0;
constexpr int32_t kGiven = 1;
constexpr int32_t kBringIn = 0;
constexpr int32_t kThrow = 1;
constexpr int32_t kCall = 2;
constexpr int32_t kSendAway = 3;
}  // namespace Command

namespace Flyer {
constexpr int32_t kPhase = 0;
constexpr int32_t kStayTime = 1;
constexpr int32_t kSinceStrike = 2;
constexpr int32_t kStrikeInterval = 3;
constexpr int32_t kEdgePatrol = 4;
constexpr int32_t kWaitingForSignal = 0;
constexpr int32_t kApproaching = -1;
constexpr int32_t kEngaged = 1;
constexpr int32_t kLeaving = 2;
constexpr int32_t kGlide = 0;
constexpr int32_t kStriking = 1;
constexpr int32_t kPatrolSpeed = 85 * kPx;
constexpr int32_t kEngageColumns = 8;
constexpr int32_t kEngageRows = 5;
constexpr int32_t kLoseColumns = 9;
constexpr int32_t kLoseRows = 6;
constexpr int32_t kStrikeVariant = 0;
}  // namespace Flyer

namespace Bomber {
constexpr int32_t kPhase = 0;
constexpr int32_t kStopTiles = 1;
constexpr int32_t kEntering = 0;
constexpr int32_t kLanding = 1;
constexpr int32_t kTurning = 2;
constexpr int32_t kWaitingForScript = 3;
constexpr int32_t kAttacking = 4;
constexpr int32_t kLeaving = 5;
constexpr int32_t kStand = 0;
constexpr int32_t kAttack = 1;
constexpr int32_t kAfterVolley = 2;
constexpr int32_t kLand = 3;
constexpr int32_t kFly = 4;
constexpr int32_t kVolleyPose = 7;
constexpr int32_t kShotAnimation = 9;
constexpr int32_t kLandingFlags = CActor::kCollideLanding | CActor::kCollideSolid;
constexpr int32_t kAttackVy = 200 * kPx;
constexpr int32_t kLeaveSpeed = 200 * kPx;
constexpr int32_t kVolleyShots = 5;
constexpr int32_t kShotVy = 40 * kPx;
constexpr int32_t kShotFlying = 1;
}  // namespace Bomber

// The first actor of a type in the draw list.
CActor* FirstOfType(int32_t type) {
    CGameWorld* world = ActorKit::World();
    if (world == nullptr || !world->drawList) return nullptr;
    for (int32_t i = 0; i < world->drawList->size(); ++i) {
        CActor* a = world->drawList->elementAt(i);
        if (a->type == type) return a;
    }
    return nullptr;
}

int32_t BoxWidth(const CActor& a) { return a.sprite ? a.sprite->GetBoxWidth() : 0; }

class RunnerBehaviour {
public:
    RunnerBehaviour(CActor& runner, CGameWorld& w, CActor& player) : a(runner), world(w), p(player) {}

    void Update() {
        using namespace Runner;
        switch (a.state[kPhase]) {
            case kWaiting: a.SetPosition(FromPixels(world.cameraX - BoxWidth(a)), a.y); break;
            case kEntering: Entering(); break;
            case kAttacking: Attacking(); break;
            case kLeaving: Leaving(); break;
            default: break;
        }
    }

private:
    void Entering() {
        using namespace Runner;
        a.vx = 2 * p.vx;
        if (a.x > FromPixels(world.cameraX + BoxWidth(a) / 2)) {
            a.ChangeAnimation(kAttackPose, true);
            a.state[kPhase] = kAttacking;
        }
    }

    void Attacking() {
        using namespace Runner;
        a.SetPosition(FromPixels(world.cameraX + BoxWidth(a) / 2), a.y);
        if (!a.IsAnimationDone()) return;
        if (a.IsAnimation(kThrow)) {
            Throw();
            a.ChangeAnimation(kAfterThrow, false);
        } else if (a.IsAnimation(kAfterThrow)) {
            a.ChangeAnimation(kAttackPose, true);
        } else if (a.IsAnimation(kCall)) {
            if (a.state[kStruck] == 0) {
                ActorKit::CallStrike(&a, kStrikeVariant);
                a.state[kStruck] = 1;
            }
        } else if (a.IsAnimation(kCallStrikes)) {
            a.ChangeAnimation(kAfterCall, false);
        } else if (a.IsAnimation(kAfterCall)) {
            a.ChangeAnimation(kAttackPose, true);
            a.state[kStruck] = 0;
        }
    }

    void Throw() {
        CActor* shot = ActorKit::NewShot(ToPixels(a.x), ToPixels(a.y));
        if (shot == nullptr) return;
        shot->vx = p.vx - (p.vx >> 2);
        shot->gravity = Runner::kShotGravity;
        world.QueueAddActor(shot);
    }

    void Leaving() {
        using namespace Runner;
        a.vx = (-p.vx) >> 1;
        if (a.x <= FromPixels(world.cameraX - BoxWidth(a))) {
            a.ChangeAnimation(kHiddenPose, true);
            if (a.sprite) a.sprite->SetVisible(false);
            a.state[kPhase] = kWaiting;
        }
    }

    CActor& a;
    CGameWorld& world;
    CActor& p;
};

void GiveCommand(int32_t order, CActor& runner, const CActor& p) {
    using namespace Command;
    switch (order) {
        case kBringIn:
            if (runner.StateWord(Runner::kPhase) != Runner::kWaiting) return;
            if (runner.sprite) runner.sprite->SetVisible(true);
            runner.vx = 2 * p.vx;
            runner.SetStateWord(Runner::kPhase, Runner::kEntering);
            return;
        case kThrow: runner.ChangeAnimation(Runner::kThrow, false); return;
        case kCall: runner.ChangeAnimation(Runner::kCall, false); return;
        case kSendAway:
            // Only a runner standing in its attack pose can be sent away.
            if (runner.StateWord(Runner::kPhase) != Runner::kAttacking || !runner.IsAnimation(Runner::kAttackPose)) {
                return;
            }
            runner.vx = (-p.vx) >> 1;
            runner.SetStateWord(Runner::kPhase, Runner::kLeaving);
            return;
        default: return;
    }
}

class FlyerBehaviour {
public:
    FlyerBehaviour(CActor& flyer, CGameWorld& w, CActor& player, int32_t frameTime)
        : a(flyer), world(w), p(player), dt(frameTime) {}

    void Update() {
        using namespace Flyer;
        int32_t& phase = a.state[kPhase];
        if (phase == kWaitingForSignal) return;
        if (p.link == nullptr && phase != kLeaving) p.link = &a;
        const int32_t columns = std::abs((p.x - a.x) >> ActorUnits::kShift) / kTile;
        const int32_t rows = std::abs((p.y - a.y) >> ActorUnits::kShift) / kTile;
        if (phase == kApproaching && columns < kEngageColumns && rows < kEngageRows) phase = kEngaged;
        if ((columns >= kLoseColumns || rows >= kLoseRows) && phase != kLeaving) {
            EndStrikePose();
            a.vx = a.vy = 0;
            return;
        }
        if (a.vx == 0) a.vx = -a.targetVx;
        if (phase == kEngaged) Engaged();
        if (phase == kLeaving && a.IsOutOfRange()) {
            if (p.link == &a) p.link = nullptr;
            a.Remove(true);
        }
    }

private:
    void EndStrikePose() {
        if (a.IsAnimationDone() && a.IsAnimation(Flyer::kStriking)) a.SetAnimation(Flyer::kGlide, true);
    }

    void Engaged() {
        using namespace Flyer;
        if (a.state[kEdgePatrol] == 0 && a.state[kStayTime] > 0) {
            a.state[kStayTime] -= dt;
            if (a.state[kStayTime] < 1) {
                a.vy = -std::abs(a.vx);
                a.vx += a.vx >> 1;
                a.state[kPhase] = kLeaving;
                return;
            }
        }
        EndStrikePose();
        a.state[kSinceStrike] += dt;
        if (a.state[kSinceStrike] >= a.state[kStrikeInterval]) {
            a.state[kSinceStrike] = 0;
            if (CActor* strike = ActorKit::CallStrike(&a, kStrikeVariant)) strike->ChangeAnimation(0, true);
        }
        Patrol();
    }

    void Patrol() {
        using namespace Flyer;
        const bool edges = a.state[kEdgePatrol] == 1;
        const int32_t around = FromPixels(BoxWidth(p));
        if (a.vx > 0) {
            const int32_t turn = edges ? FromPixels(world.cameraX + world.viewWidth) : p.x + around;
            if (a.x > turn) Turn(0, -kPatrolSpeed);
        } else if (a.vx < 0) {
            const int32_t turn = edges ? FromPixels(world.cameraX) : p.x - around;
            if (a.x < turn) Turn(1, kPatrolSpeed);
        }
    }

    void Turn(int32_t facing, int32_t speed) {
        a.facing = facing;
        a.vx = a.targetVx = speed;
        a.ax = 0;
    }

    CActor& a;
    CGameWorld& world;
    CActor& p;
    int32_t dt;
};

class BomberBehaviour {
public:
    BomberBehaviour(CActor& bomber, CGameWorld& w, CActor& player) : a(bomber), world(w), p(player) {}

    void Update() {
        using namespace Bomber;
        switch (a.state[kPhase]) {
            case kEntering: Entering(); break;
            case kLanding: Landing(); break;
            case kTurning:
                if (a.IsAnimationDone() && a.IsAnimation(kStand)) {
                    a.ChangeAnimation(kStand, true);
                    a.state[kPhase] = kWaitingForScript;
                    ActorKit::TellScript();
                }
                break;
            case kWaitingForScript:
                if (ActorKit::ScriptWaiting()) {
                    a.ChangeAnimation(kAttack, false);
                    a.vy = kAttackVy;
                    a.state[kPhase] = kAttacking;
                    p.SetStateWord(PlayerWord::kMode, PlayerWord::kModeHeld);
                }
                break;
            case kAttacking: Attacking(); break;
            case kLeaving: Leaving(); break;
            default: break;
        }
    }

private:
    void Entering() {
        using namespace Bomber;
        if (ToPixels(a.x) - world.cameraX <= kTile * a.state[kStopTiles]) return;
        a.ChangeAnimation(kLand, false);
        a.state[kPhase] = kLanding;
        a.vx = 0;
    }

    void Landing() {
        using namespace Bomber;
        if (a.IsAnimationDone() && a.IsAnimation(kLand)) {
            a.collisionFlags = kLandingFlags;
            a.gravity = CActor::kGravity;
        }
        if (a.onGround == 0) return;
        if (a.x > p.x) a.facing = 0;
        a.ChangeAnimation(kStand, false);
        a.state[kPhase] = kTurning;
    }

    void Attacking() {
        using namespace Bomber;
        if (!a.IsAnimationDone()) return;
        if (a.IsAnimation(kAttack)) {
            a.ChangeAnimation(kVolleyPose, false);
        } else if (a.IsAnimation(kVolleyPose)) {
            Volley();
            a.ChangeAnimation(kAfterVolley, false);
            a.gravity = 0;
            a.facing = 1;
            a.vy = a.ay = 0;
            a.state[kPhase] = kLeaving;
        }
    }

    // Five shots spread over the view's width, above it. A shot that would
    // appear at the player is not made at all.
    void Volley() {
        using namespace Bomber;
        const int32_t w = world.viewWidth / kVolleyShots;
        const int32_t shotWidth = world.projectileSprite ? world.projectileSprite->GetBoxWidth() : 0;
        const int32_t clearance = std::max(BoxWidth(p), shotWidth);
        for (int32_t i = 0; i < kVolleyShots; ++i) {
            const int32_t px = world.cameraX + CGameWorld::Random(i * w, (i + 1) * w);
            const int32_t py = world.cameraY - CGameWorld::Random(0, world.viewHeight / 4);
            if (std::abs(ToPixels(p.x) - px) < clearance) continue;
            CActor* shot = ActorKit::NewShot(px, py);
            if (shot == nullptr) continue;
            shot->ChangeAnimation(kShotAnimation, true);
            shot->SetStateWord(0, kShotFlying);
            shot->vx = 0;
            shot->vy = kShotVy;
            shot->gravity = CActor::kGravity;
            shot->SetStateWord(1, 0);
            world.QueueAddActor(shot);
        }
    }

    void Leaving() {
        using namespace Bomber;
        if (ToPixels(a.x) > world.cameraX + world.viewWidth + BoxWidth(a)) {
            ActorKit::TellScript();
            world.playerControl = 1;
            p.SetStateWord(PlayerWord::kMode, PlayerWord::kModeFree);
            a.Remove(true);
            return;
        }
        if (!a.IsAnimationDone()) return;
        a.gravity = 0;
        a.vx = kLeaveSpeed;
        a.ChangeAnimation(kFly, true);
        a.facing = 1;
    }

    CActor& a;
    CGameWorld& world;
    CActor& p;
};

}  // namespace

void CActor::UpdateType8(int32_t) {
    CGameWorld* world = ActorKit::World();
    CActor* p = ActorKit::Player();
    if (world != nullptr && p != nullptr) RunnerBehaviour(*this, *world, *p).Update();
}

void CActor::UpdateType47(int32_t) {
    if (link == nullptr) link = FirstOfType(ActorType::kBackgroundRunner);
    CActor* p = ActorKit::Player();
    if (link == nullptr || p == nullptr || state[Command::kGiven] != 0 || !ActorKit::Touches(p, this)) return;
    GiveCommand(state[Command::kOrder], *link, *p);
    state[Command::kGiven] = 1;
}

void CActor::UpdateType12(int32_t dt) {
    CGameWorld* world = ActorKit::World();
    CActor* p = ActorKit::Player();
    if (world != nullptr && p != nullptr) FlyerBehaviour(*this, *world, *p, dt).Update();
}

void CActor::UpdateType58(int32_t) {
    CGameWorld* world = ActorKit::World();
    CActor* p = ActorKit::Player();
    if (world != nullptr && p != nullptr) BomberBehaviour(*this, *world, *p).Update();
}
