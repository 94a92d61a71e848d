// The large health-bar enemies of types 1 and 3: type 1 sleeps until a
// script wakes it and attacks on a fixed rhythm; type 3 runs in, patrols,
// steps and attacks by random rolls.
#include <algorithm>
#include <cstdlib>

#include "ActorUnits.h"
#include "ActorKit.h"
#include "CActor.h"
#include "CGameInput.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"
#include "EnemyKit.h"

namespace {

using EnemyKit::kPx;

// Type 1.
namespace Type1 {
constexpr int32_t kPhase = 0;
constexpr int32_t kTimer = 1;
constexpr int32_t kAsleep = 0;
constexpr int32_t kAwake = 2;
constexpr int32_t kIdle = 0;
constexpr int32_t kAttack = 3;
constexpr int32_t kAfterShot = 4;
constexpr int32_t kDeath = 5;
constexpr int32_t kLast = 6;
constexpr int32_t kHurtLight = 7;
constexpr int32_t kHurtHeavy = 8;
constexpr int32_t kFirstAttackDelay = 100;
constexpr int32_t kAttackPause = 3000;
constexpr int32_t kHurtPause = 1500;
constexpr int32_t kShotKind = 0;
constexpr int32_t kShotSpeed = 360 * kPx;
}  // namespace Type1

// Type 3.
namespace Type3 {
constexpr int32_t kState = 0;
constexpr int32_t kTimer = 1;
constexpr int32_t kPatrols = 3;
constexpr int32_t kPatrolStart = 6;
constexpr int32_t kPatrolEnd = 7;
constexpr int32_t kMove = 8;
constexpr int32_t kBlink = 9;
constexpr int32_t kBlinkFrames = 10;
constexpr int32_t kWalkTarget = 11;
constexpr int32_t kRetreats = 12;
constexpr int32_t kRoll = 13;
constexpr int32_t kAdvances = 14;
constexpr int32_t kStepped = 15;
// States.
constexpr int32_t kIdle = 0;
constexpr int32_t kAttacking = 1;
constexpr int32_t kHurt = 2;
constexpr int32_t kDying = 3;
constexpr int32_t kRecovering = 7;
constexpr int32_t kWalking = 8;
constexpr int32_t kStepping = 9;
constexpr int32_t kLanding = 11;
constexpr int32_t kRunIn = 12;
constexpr int32_t kHidden = 13;
// Animations.
constexpr int32_t kStand = 0;
constexpr int32_t kWalk = 1;
constexpr int32_t kAttackA = 4;
constexpr int32_t kRecoverA = 5;
constexpr int32_t kLast = 7;
constexpr int32_t kStandB = 10;
constexpr int32_t kAttackB = 11;
constexpr int32_t kRecoverB = 12;
constexpr int32_t kLand = 13;
constexpr int32_t kRun = 15;
constexpr int32_t kPlayerBackAttack = 29;
// Times, speeds and distances.
constexpr int32_t kRunInSpeed = 160 * kPx;
constexpr int32_t kRunInTime = 100000;
constexpr int32_t kLandingTime = 5000;
constexpr int32_t kStepSpeed = 40 * kPx;
constexpr int32_t kStepTime = 1200;
constexpr int32_t kRetreatDistance = CGameWorld::kTileSize * kPx;
constexpr int32_t kAdvanceDistance = CGameWorld::kTileSize / 2 * kPx;
constexpr int32_t kPatrolTime = 8000;
constexpr int32_t kTurnTime = 2000;
constexpr int32_t kRestTime = 5000;
constexpr int32_t kBlinkTime = 800;
constexpr int32_t kMaxSteps = 3;
constexpr int32_t kStepRollBelow = 71;
constexpr int32_t kRetreatRollAbove = 35;
constexpr int32_t kAdvanceRollBelow = 36;
constexpr int32_t kShotKind = 1;
constexpr int32_t kShotSpeed = 240 * kPx;
constexpr int32_t kEngagedReach = 5 * CGameWorld::kTileSize / 2;
constexpr uint32_t kActionKeys = 0x8010;
}  // namespace Type3

int32_t DirectionOf(const CActor& a) { return a.facing != 0 ? 1 : -1; }

void StopAll(CActor& a) { a.vx = a.vy = a.ax = a.ay = 0; }

class Enemy1 {
public:
    Enemy1(CActor& enemy, int32_t frameTime) : a(enemy), dt(frameTime), p(ActorKit::Player()) {}

    void Update() {
        using namespace Type1;
        if (a.IsAnimation(kDeath)) {
            if (a.IsAnimationDone()) EnemyKit::StartLastAnimation(a, kLast);
            return;
        }
        if (a.IsAnimation(kLast)) {
            if (a.IsAnimationDone()) Gone();
            return;
        }
        if (a.state[kPhase] == kAsleep) {
            if (a.IsAnimationDone()) WakeUp();
        } else if (a.state[kPhase] == kAwake) {
            Awake();
        }
    }

private:
    void Gone() {
        if (CGameWorld* world = ActorKit::World()) world->SetCameraBounds(0, 0, world->mapWidth, world->mapHeight);
        a.Remove(true);
    }

    void WakeUp() {
        using namespace Type1;
        a.ChangeAnimation(kIdle, true);
        a.state[kPhase] = kAwake;
        a.state[kTimer] = kFirstAttackDelay;
    }

    void Awake() {
        using namespace Type1;
        EnemyKit::FlagEngagedWhenClose(a, true);
        EnemyKit::PushPlayerOut(a, true);
        const bool attack = ActorKit::Expired(&a, kTimer, dt);
        if (a.IsAnimation(kIdle) && p != nullptr) a.facing = p->x < a.x ? 0 : 1;
        if (attack) a.ChangeAnimation(kAttack, false);
        if (a.IsAnimation(kAttack)) EnemyKit::StrikePlayer(a);
        if (a.IsAnimationDone()) AnimationEnded();
        const bool hit = a.CollideWithActors() || EnemyKit::TakePlayerStrike(a);
        if (hit && a.hitPoints <= 0) {
            StopAll(a);
            a.SetAnimation(a.typeValue, false);
            return;
        }
        if (a.onGround != 0 && a.prevY < a.y) a.vx = a.ax = 0;
        if (p != nullptr && p->StateWord(PlayerWord::kStance) == PlayerWord::kStanceLow) {
            EnemyKit::PushPlayerOut(a, true);
        }
    }

    void AnimationEnded() {
        using namespace Type1;
        if (a.IsAnimation(kAttack)) {
            EnemyKit::FireShot(a, kShotKind, kShotSpeed);
            a.ChangeAnimation(kAfterShot, false);
        } else if (a.IsAnimation(kAfterShot)) {
            a.ChangeAnimation(kIdle, true);
            a.state[kTimer] = kAttackPause;
        } else if (a.IsAnimation(kHurtLight) || a.IsAnimation(kHurtHeavy)) {
            a.ChangeAnimation(kIdle, true);
            a.state[kTimer] = kHurtPause;
        }
    }

    CActor& a;
    int32_t dt;
    CActor* p;
};

class Enemy3 {
public:
    Enemy3(CActor& enemy, int32_t frameTime)
        : a(enemy), s(enemy.state), dt(frameTime), world(ActorKit::World()), p(ActorKit::Player()) {}

    void Update() {
        using namespace Type3;
        if (p == nullptr || !a.sprite || !p->sprite) return;
        bool goesOn = true;
        switch (s[kState]) {
            case kHidden: Hidden(); break;
            case kRunIn: RunIn(); break;
            case kLanding: Landing(); break;
            default: goesOn = Fight(); break;
        }
        if (goesOn) EnemyKit::StopAtLedge(a);
    }

private:
    int32_t PlayerHalfHeight() const { return EnemyKit::HalfPlayerHeight(*p); }

    bool IsClose() const {
        const int32_t reach = ActorUnits::FromPixels(world->viewWidth * 3 / 5);
        return std::abs(a.x - p->x) < reach && std::abs(a.y - p->y) < PlayerHalfHeight();
    }

    bool FacesPlayer() const { return (a.facing != 0 && a.x <= p->x) || (a.facing == 0 && a.x > p->x); }

    void Hidden() {
        using namespace Type3;
        // Both heights are taken in units: "level" means within half the
        // enemy's own height.
        if (std::abs(a.y - p->y) >= ActorUnits::FromPixels(a.sprite->GetBoxHeight() / 2)) return;
        s[kState] = kRunIn;
        a.facing = a.x < p->x ? 1 : 0;
        a.vx = DirectionOf(a) * kRunInSpeed;
        a.SetAnimation(kRun, true);
        s[kTimer] = kRunInTime;
        a.sprite->SetVisible(true);
    }

    void RunIn() {
        using namespace Type3;
        if (a.x == a.prevX) s[kTimer] = 0;
        if (s[kTimer] < 1) a.vx = DirectionOf(a) * kRunInSpeed;
        const CSpriteInstance& box = *a.sprite;
        const bool inView = a.x > ActorUnits::FromPixels(world->cameraX) &&
                            a.x + ActorUnits::FromPixels(box.GetBoxWidth() + box.GetBoxX()) <
                                ActorUnits::FromPixels(world->cameraX + world->viewWidth);
        const int32_t apart = ActorUnits::FromPixels((box.GetBoxWidth() + p->sprite->GetBoxWidth()) / 2);
        if (inView && std::abs(a.x - p->x) > apart) {
            a.SetAnimation(kLand, false);
            s[kState] = kLanding;
            a.vx = 0;
        }
    }

    void Landing() {
        using namespace Type3;
        s[kTimer] = kLandingTime;
        EnemyKit::FlagEngagedWhenClose(a, true);
        if (!a.IsAnimationDone()) return;
        s[kState] = kIdle;
        a.SetAnimation(kStand, false);
        a.vx = 0;
    }

    // Every state but the entry ones; false when the frame ended early.
    bool Fight() {
        using namespace Type3;
        const bool overlap = CSpriteInstance::Overlaps(*p->sprite, *a.sprite);
        const int32_t stance = p->StateWord(PlayerWord::kStance);
        if (overlap && stance == PlayerWord::kStanceNormal && a.hitPoints >= 1) EnemyKit::PushPlayerOut(a, false);
        if (a.hitPoints > 0 && EnemyKit::PixelDistanceX(a, *p) < kEngagedReach &&
            std::abs(p->y - a.y) < PlayerHalfHeight()) {
            EnemyKit::FlagEngaged(a, *p);
        }
        if (a.hitPoints < 1 && s[kState] != kDying) {
            StartDying();
            return false;
        }
        if (BackAttack()) return false;
        if (s[kBlink] > 0) {
            s[kBlink] = EnemyKit::Drop(s[kBlink], dt);
            ++s[kBlinkFrames];
        }
        if (s[kState] == kDying) {
            Dying();
            return true;
        }
        if (stance == PlayerWord::kStanceLow && overlap) {
            if (Rammed()) return false;
            EnemyKit::PushPlayerOut(a, false);
        }
        if (Hits()) return false;
        return Act();
    }

    void StartDying() {
        s[Type3::kState] = Type3::kDying;
        a.SetAnimation(a.typeValue, false);
    }

    bool BackAttack() {
        using namespace Type3;
        CGameInput* input = world->GetInput();
        const bool behind = (a.facing != 0 && p->x < a.x) || (a.facing == 0 && p->x > a.x);
        if (p->StateWord(PlayerWord::kMode) != 0 || a.facing != p->facing || p->onGround == 0 || input == nullptr ||
            !input->IsPressed(kActionKeys) || p->type != ActorType::kPlayerFormA ||
            p->StateWord(PlayerWord::kStance) != 0 || !behind ||
            !CSpriteInstance::AttackOverlaps(*p->sprite, *a.sprite, CSpriteInstance::kLastAttackKind)) {
            return false;
        }
        input->pressed = 0;
        input->held = 0;
        p->SetAnimation(kPlayerBackAttack, false);
        CActor::SetPlayerTimedMode(false);
        CActor::ResetPlayerAttack();
        p->SetStateWord(PlayerWord::kMode, PlayerWord::kModeHeld);
        p->vx = p->ax = 0;
        CActor::SetPlayerTarget(0, false, 0);
        a.Remove(true);
        return true;
    }

    // A charging low-stance player kills it outright.
    bool Rammed() {
        if (!EnemyKit::RammedByPlayer(a)) return false;
        StartDying();
        return true;
    }

    // Hits of this frame; true when the frame ended.
    bool Hits() {
        using namespace Type3;
        bool hit = false;
        if (a.CollideWithActors()) {
            if (a.hitPoints > 0) {
                s[kBlink] = kBlinkTime;
                s[kBlinkFrames] = 0;
            } else {
                hit = true;
            }
        } else {
            hit = EnemyKit::TakePlayerStrike(a);
        }
        if (!hit) return false;
        if (a.hitPoints > 0) {
            s[kState] = kHurt;
        } else if (a.hitPoints == -1) {
            a.Remove(true);
        } else {
            StartDying();
        }
        return true;
    }

    // The state's own step; false when the frame ended.
    bool Act() {
        using namespace Type3;
        switch (s[kState]) {
            case kIdle: return Idle();
            case kAttacking: Attacking(); return true;
            case kRecovering: Recovering(); return true;
            case kWalking:
            case kStepping: return Walking();
            case kHurt: return Hurt();
            default: return true;
        }
    }

    bool Idle() {
        using namespace Type3;
        s[kTimer] = EnemyKit::Drop(s[kTimer], dt);
        if (s[kTimer] >= 1) return true;
        if (!IsClose()) {
            StartWalk();
            return true;
        }
        const int32_t roll = CGameWorld::Random(0, 100);
        s[kRoll] = roll;
        if (roll < kStepRollBelow && s[kPatrols] == 1 && s[kStepped] != 1) {
            if (s[kRetreats] < kMaxSteps && roll > kRetreatRollAbove) {
                Retreat(true);
                return false;
            }
            if (s[kAdvances] < kMaxSteps && roll < kAdvanceRollBelow) {
                Advance();
                return false;
            }
        } else {
            a.facing = a.x <= p->x ? 1 : 0;
            s[kStepped] = 0;
        }
        s[kState] = kAttacking;
        s[kMove] = p->StateWord(PlayerWord::kStance) != 0 ? 1 : 0;
        a.ChangeAnimation(s[kMove] != 0 ? kAttackB : kAttackA, false);
        return true;
    }

    void StartWalk() {
        using namespace Type3;
        if (s[kPatrols] != 0) {
            a.facing = a.x < s[kWalkTarget] ? 1 : 0;
            a.vx = DirectionOf(a) * kStepSpeed;
            s[kTimer] = kPatrolTime;
            a.ChangeAnimation(kWalk, true);
        } else {
            a.facing = a.facing != 0 ? 0 : 1;
            a.vx = 0;
            a.ChangeAnimation(kStand, true);
            s[kTimer] = kTurnTime;
        }
        s[kState] = kWalking;
    }

    void Retreat(bool counted) {
        using namespace Type3;
        s[kState] = kStepping;
        if (counted) s[kStepped] = 1;
        ++s[kRetreats];
        if (p->x <= a.x) {
            a.facing = 0;
            a.vx = kStepSpeed;
            s[kWalkTarget] = a.x + kRetreatDistance;
        } else {
            a.facing = 1;
            a.vx = -kStepSpeed;
            s[kWalkTarget] = a.x - kRetreatDistance;
        }
        s[kTimer] = kStepTime;
        a.SetAnimation(kWalk, true);
    }

    void Advance() {
        using namespace Type3;
        s[kState] = kStepping;
        s[kStepped] = 1;
        ++s[kAdvances];
        if (p->x <= a.x) {
            a.facing = 0;
            a.vx = -kStepSpeed;
            s[kWalkTarget] = a.x - kAdvanceDistance;
        } else {
            a.facing = 1;
            a.vx = kStepSpeed;
            s[kWalkTarget] = a.x + kAdvanceDistance;
        }
        s[kTimer] = kStepTime;
        a.ChangeAnimation(kWalk, true);
    }

    void Attacking() {
        using namespace Type3;
        const bool first = a.IsAnimation(kAttackA);
        if (!first && !a.IsAnimation(kAttackB)) return;
        EnemyKit::StrikePlayer(a);
        if (!a.IsAnimationDone()) return;
        EnemyKit::FireShot(a, kShotKind, kShotSpeed);
        s[kState] = kRecovering;
        a.ChangeAnimation(first ? kRecoverA : kRecoverB, false);
    }

    void Recovering() {
        using namespace Type3;
        if (!a.IsAnimationDone()) return;
        s[kTimer] = kStepTime;
        s[kState] = kIdle;
        a.ChangeAnimation(s[kMove] != 0 ? kStandB : kStand, true);
    }

    bool Walking() {
        using namespace Type3;
        if (s[kState] == kWalking && IsClose() && FacesPlayer()) {
            s[kState] = kIdle;
            a.vx = 0;
            s[kTimer] = 0;
            a.SetAnimation(kStand, true);
            return false;
        }
        if (s[kTimer] > 0) {
            const bool stuck = a.x == a.prevX;
            if (s[kPatrols] == 0 && stuck && a.IsAnimation(kWalk)) {
                s[kTimer] = EnemyKit::Drop(std::min(s[kTimer], 1), dt);
            } else if ((s[kPatrols] != 0 && a.x >= s[kWalkTarget] && a.vx > 0) ||
                       (a.x <= s[kWalkTarget] && a.vx < 0) || (stuck && s[kTimer] != kPatrolTime)) {
                Arrive();
                return false;
            } else {
                s[kTimer] = EnemyKit::Drop(s[kTimer], dt);
            }
        }
        if (s[kTimer] > 0) return true;
        s[kState] = kIdle;
        a.vx = 0;
        s[kTimer] = kRestTime;
        a.ChangeAnimation(kStand, true);
        return false;
    }

    void Arrive() {
        using namespace Type3;
        s[kWalkTarget] = s[kWalkTarget] == s[kPatrolStart] ? s[kPatrolEnd] : s[kPatrolStart];
        a.SetAnimation(kStand, true);
        const bool wasStep = s[kState] == kStepping;
        s[kState] = kIdle;
        a.vx = 0;
        s[kTimer] = wasStep ? 1 : kRestTime;
    }

    bool Hurt() {
        using namespace Type3;
        if (a.onGround != 0) a.vx = 0;
        if (!a.IsAnimationDone()) return true;
        if (s[kRetreats] >= kMaxSteps) {
            s[kState] = kIdle;
            a.ChangeAnimation(kStand, true);
            s[kTimer] = 1;
            return true;
        }
        Retreat(false);
        return false;
    }

    void Dying() {
        StopAll(a);
        if (a.IsAnimation(Type3::kLast) && a.IsAnimationDone()) {
            a.Remove(true);
        } else if (a.IsAnimation(a.typeValue) && a.IsAnimationDone()) {
            EnemyKit::StartLastAnimation(a, Type3::kLast);
        }
    }

    CActor& a;
    std::vector<int32_t>& s;
    int32_t dt;
    CGameWorld* world;
    CActor* p;
};

}  // namespace

void CActor::UpdateType1(int32_t dt) { Enemy1(*this, dt).Update(); }

void CActor::UpdateType3(int32_t dt) { Enemy3(*this, dt).Update(); }
