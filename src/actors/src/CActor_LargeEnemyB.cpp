// The large melee enemies of types 59 and 67: type 59 patrols and strikes
// with a near or far blow; type 67 drops in when the script wakes it,
// charges, then duels with steps, lunges and blows.
#include <cstdlib>

#include "ActorUnits.h"
#include "ActorKit.h"
#include "CActor.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"
#include "EnemyKit.h"

namespace {

using EnemyKit::kPx;

namespace Type59 {
constexpr int32_t kAction = 0;
constexpr int32_t kTimer = 1;
constexpr int32_t kPatrolTiles = 2;
constexpr int32_t kPatrolTarget = 3;
constexpr int32_t kStays = 4;
constexpr int32_t kNearReach = 5;
// Actions.
constexpr int32_t kRamKilled = -1;
constexpr int32_t kPatrol = 0;
constexpr int32_t kWait = 1;
constexpr int32_t kWindUp = 2;
constexpr int32_t kBlow = 3;
constexpr int32_t kRecover = 4;
// Animations.
constexpr int32_t kStand = 0;
constexpr int32_t kWalk = 1;
constexpr int32_t kWindUpAnimation = 3;
constexpr int32_t kNearBlow = 4;
constexpr int32_t kDeath = 5;
constexpr int32_t kLast = 6;
constexpr int32_t kFarBlow = 7;
// Times and speeds.
constexpr int32_t kWindUpTime = 1300;
constexpr int32_t kBlockedWait = 500;
constexpr int32_t kPatrolWait = 1000;
constexpr int32_t kRecoverTime = 2000;
constexpr int32_t kPatrolSpeed = 100 * kPx;
// Blows are ignored in wind-up and blow while a prompt runs, unless the
// player's power or special move is at least this.
constexpr int32_t kBlowBreaker = 2;
}  // namespace Type59

namespace Type67 {
constexpr int32_t kAction = 0;
constexpr int32_t kTimer = 1;
constexpr int32_t kBackOff = 4;
constexpr int32_t kFirstCharge = 10;
constexpr int32_t kAwakeFlag = 12;
constexpr int32_t kCounterRef = 13;
// Actions.
constexpr int32_t kDropIn = 0;
constexpr int32_t kBlow = 1;
constexpr int32_t kHurt = 2;
constexpr int32_t kDying = 3;
constexpr int32_t kDecide = 10;
constexpr int32_t kStop = 11;
constexpr int32_t kCharge = 12;
constexpr int32_t kLunge = 13;
constexpr int32_t kStep = 14;
// Animations.
constexpr int32_t kStand = 0;
constexpr int32_t kStepForward = 1;
constexpr int32_t kStepBack = 2;
constexpr int32_t kLungeStart = 4;
constexpr int32_t kBlowAnimation = 5;
constexpr int32_t kChargeRun = 7;
constexpr int32_t kChargeStop = 8;
constexpr int32_t kDeath = 11;
constexpr int32_t kLast = 12;
constexpr int32_t kLungeRun = 13;
// Times, speeds and distances.
constexpr int32_t kChargeTime = 8000;
constexpr int32_t kDeathTime = 2000;
constexpr int32_t kStepBase = 700;
constexpr int32_t kStepRandomUnit = 50;
constexpr int32_t kStepRandomMax = 10;
constexpr int32_t kLungeWait = 150;
constexpr int32_t kLungeTime = 120;
constexpr int32_t kBlowPause = 2000;
constexpr int32_t kHurtStepTime = 400;
constexpr int32_t kFarAgainTime = 100;
constexpr int32_t kChargeSpeed = 240 * kPx;
constexpr int32_t kStepSpeed = 40 * kPx;
constexpr int32_t kDuelTiles = 8;
constexpr int32_t kNoCounter = -1;
// The counter actor's words.
constexpr int32_t kCounterStarted = 1;
constexpr int32_t kCounterCount = 2;
constexpr int32_t kCounterAnimation = 1;
}  // namespace Type67

int32_t Direction(int32_t facing) { return facing != 0 ? 1 : -1; }

void FacePlayer(CActor& a, const CActor& p) { a.facing = p.x < a.x ? 0 : 1; }

bool Blocked(const CActor& a) { return a.prevX == a.x; }

class Enemy59 {
public:
    Enemy59(CActor& enemy, int32_t frameTime) : a(enemy), s(enemy.state), dt(frameTime), p(ActorKit::Player()) {}

    void Update() {
        using namespace Type59;
        expired = ActorKit::Expired(&a, kTimer, dt);
        if (a.IsAnimation(kLast)) {
            if (a.IsAnimationDone()) a.Remove(true);
            return;
        }
        if (a.IsAnimation(kDeath)) {
            if (a.IsAnimationDone()) EnemyKit::StartLastAnimation(a, kLast);
            return;
        }
        if (p == nullptr || !a.sprite || !p->sprite) return;
        EnemyKit::FlagEngagedWhenClose(a, true);
        if (Contact()) return;
        if (a.vy > 0 && a.onGround != 0) a.vx = 0;
        if (Hits() && a.hitPoints <= 0) {
            a.vx = a.vy = 0;
            a.SetAnimation(kDeath, false);
            return;
        }
        if (Act()) EnemyKit::StopAtLedge(a);
    }

private:
    // True when a ram ended the frame.
    bool Contact() {
        using namespace Type59;
        if (!CSpriteInstance::Overlaps(*a.sprite, *p->sprite)) return false;
        const int32_t stance = p->StateWord(PlayerWord::kStance);
        if (stance == PlayerWord::kStanceLow && EnemyKit::RammedByPlayer(a)) {
            s[kAction] = kRamKilled;
            a.SetAnimation(kDeath, false);
            return true;
        }
        if (stance == PlayerWord::kStanceNormal || stance == PlayerWord::kStanceLow) EnemyKit::PushPlayerClear(a);
        return false;
    }

    bool Hits() {
        using namespace Type59;
        if (a.CollideWithActors()) return true;
        CGameWorld* world = ActorKit::World();
        const bool guarding = s[kAction] == kWindUp || s[kAction] == kBlow;
        if (guarding && p->StateWord(PlayerWord::kCharge) < kBlowBreaker &&
            p->StateWord(PlayerWord::kSpecial) < kBlowBreaker && world->promptStatus != 0) {
            return false;
        }
        return EnemyKit::TakePlayerStrike(a);
    }

    // The player's body within the reach box of the current pose.
    bool PlayerInReach() const { return ActorKit::StruckBy(p, &a, ActorKit::kSecondBox); }

    // The action's step; false when the update ended.
    bool Act() {
        using namespace Type59;
        switch (s[kAction]) {
            case kWait: return Wait();
            case kPatrol: return Patrol();
            case kWindUp: WindUp(); return true;
            case kBlow: Blow(); return true;
            case kRecover:
                if (expired) {
                    s[kAction] = kWait;
                    s[kTimer] = kBlockedWait;
                }
                return true;
            default: return true;
        }
    }

    void StartWindUp() {
        using namespace Type59;
        a.vx = 0;
        FacePlayer(a, *p);
        a.ChangeAnimation(kWindUpAnimation, true);
        s[kAction] = kWindUp;
        s[kTimer] = kWindUpTime;
    }

    bool Wait() {
        using namespace Type59;
        if (PlayerInReach()) {
            StartWindUp();
            return false;
        }
        if (!expired || s[kStays] != 0) return true;
        a.facing = a.facing != 0 ? 0 : 1;
        a.vx = Direction(a.facing) * kPatrolSpeed;
        s[kAction] = kPatrol;
        const int64_t leg = static_cast<int64_t>(Direction(a.facing)) * CGameWorld::kTileSize * s[kPatrolTiles] * kPx;
        s[kPatrolTarget] = ActorUnits::Narrow(a.x + leg);
        a.ChangeAnimation(kWalk, true);
        return true;
    }

    bool Patrol() {
        using namespace Type59;
        if (Blocked(a)) {
            s[kAction] = kWait;
            s[kTimer] = kBlockedWait;
            a.ChangeAnimation(kStand, true);
            return false;
        }
        if (PlayerInReach()) {
            StartWindUp();
            return false;
        }
        if ((a.vx > 0 && a.x > s[kPatrolTarget]) || (a.vx < 0 && a.x < s[kPatrolTarget])) {
            a.vx = 0;
            s[kTimer] = kPatrolWait;
            s[kAction] = kWait;
            a.ChangeAnimation(kStand, true);
        }
        return true;
    }

    void WindUp() {
        using namespace Type59;
        if (!expired) return;
        s[kAction] = kBlow;
        // The box width is added in pixels to a distance in units, as the
        // reach has always been measured.
        const int32_t width = a.sprite->GetBoxWidth();
        const int32_t d = a.facing != 0 ? std::abs(a.x - p->x + width) : std::abs(a.x - p->x - width);
        a.ChangeAnimation(d < s[kNearReach] * kPx ? kNearBlow : kFarBlow, false);
    }

    void Blow() {
        using namespace Type59;
        if (a.IsAnimationDone()) {
            a.ChangeAnimation(kStand, true);
            s[kAction] = kRecover;
            s[kTimer] = kRecoverTime;
        }
        EnemyKit::StrikePlayer(a);
    }

    CActor& a;
    std::vector<int32_t>& s;
    int32_t dt;
    CActor* p;
    bool expired = false;
};

class Enemy67 {
public:
    Enemy67(CActor& enemy, int32_t frameTime)
        : a(enemy), s(enemy.state), dt(frameTime), world(ActorKit::World()), p(ActorKit::Player()) {}

    void Update() {
        using namespace Type67;
        if (s[kAwakeFlag] == 0 || p == nullptr || !a.sprite || !p->sprite) return;
        if (s[kAction] == kDropIn) {
            DropIn();
            return;
        }
        overlap = CSpriteInstance::Overlaps(*a.sprite, *p->sprite);
        contact = overlap && a.hitPoints > 0 && s[kFirstCharge] != 1;
        if (contact) {
            a.vx = 0;
            EnemyKit::PushPlayerClear(a);
        }
        EnemyKit::FlagEngagedWhenClose(a, true);
        if (a.hitPoints <= 0 && s[kAction] != kDying) {
            s[kAction] = kDying;
            a.SetAnimation(kDeath, false);
            s[kTimer] = kDeathTime;
            return;
        }
        if (s[kAction] == kDying) {
            Dying();
            return;
        }
        if (a.CollideWithActors() || EnemyKit::TakePlayerStrike(a)) {
            if (a.hitPoints <= 0) return;
            s[kAction] = kHurt;
            FacePlayer(a, *p);
            return;
        }
        Act();
        EnemyKit::StopAtLedge(a);
    }

private:
    int32_t TowardsPlayer() const { return p->x < a.x ? -1 : 1; }

    void DropIn() {
        using namespace Type67;
        if (a.onGround == 0) return;
        s[kAction] = kCharge;
        FacePlayer(a, *p);
        a.vx = TowardsPlayer() * kChargeSpeed;
        a.SetAnimation(kChargeRun, true);
        s[kTimer] = kChargeTime;
    }

    void Dying() {
        using namespace Type67;
        a.gravity = a.ax = a.vx = a.ay = a.vy = 0;
        if (a.IsAnimation(kLast)) {
            EnemyKit::StrikePlayer(a);
            if (!a.IsAnimationDone()) return;
            CountDown();
            a.Remove(true);
        } else if (s[kTimer] < 1) {
            EnemyKit::StartLastAnimation(a, kLast);
        } else {
            s[kTimer] = EnemyKit::Drop(s[kTimer], dt);
            a.ChangeAnimation(kDeath, false);
        }
    }

    // The counter actor named by the spawn data loses one, or starts when
    // it is already spent; nothing when it is not in play.
    void CountDown() {
        using namespace Type67;
        if (s[kCounterRef] == kNoCounter || world == nullptr) return;
        CActor* counter = world->FindActorById(s[kCounterRef]);
        if (counter == nullptr) return;
        if (counter->StateWord(kCounterCount) < 1) {
            counter->SetAnimation(kCounterAnimation, false);
            counter->SetStateWord(kCounterStarted, 1);
        } else {
            counter->SetStateWord(kCounterCount, counter->StateWord(kCounterCount) - 1);
        }
    }

    void Act() {
        using namespace Type67;
        switch (s[kAction]) {
            case kCharge: Charge(); break;
            case kStop:
                if (a.IsAnimationDone()) {
                    s[kAction] = kDecide;
                    s[kFirstCharge] = 0;
                    a.SetAnimation(kStand, true);
                }
                break;
            case kDecide: Decide(); break;
            case kStep: Step(); break;
            case kLunge: Lunge(); break;
            case kBlow: Blow(); break;
            case kHurt: Hurt(); break;
            default: break;
        }
    }

    void Charge() {
        using namespace Type67;
        if (Blocked(a)) {
            s[kTimer] = 0;
            a.facing = a.facing != 0 ? 0 : 1;
        }
        if (s[kTimer] < 1) a.vx = Direction(a.facing) * kChargeSpeed;
        const bool inView = a.x >= ActorUnits::FromPixels(world->cameraX) &&
                            a.x <= ActorUnits::FromPixels(world->cameraX + world->viewWidth);
        const int32_t apart = (a.sprite->GetBoxWidth() + p->sprite->GetBoxWidth()) / 2;
        if (inView && EnemyKit::PixelDistanceX(a, *p) > apart) {
            a.SetAnimation(kChargeStop, false);
            s[kAction] = kStop;
            s[kTimer] = 0;
            a.vx = 0;
        }
    }

    void Decide() {
        using namespace Type67;
        FacePlayer(a, *p);
        s[kTimer] = EnemyKit::Drop(s[kTimer], dt);
        a.ChangeAnimation(kStand, true);
        if (s[kTimer] >= 1) return;
        s[kTimer] = kStepBase + kStepRandomUnit * CGameWorld::Random(0, kStepRandomMax);
        s[kAction] = kStep;
        const bool near = EnemyKit::PixelDistanceX(a, *p) < kDuelTiles * CGameWorld::kTileSize &&
                          std::abs(a.y - p->y) < EnemyKit::HalfPlayerHeight(*p);
        if (!near) {
            a.vx = TowardsPlayer() * kStepSpeed;
            a.ChangeAnimation(kStepForward, true);
            return;
        }
        a.vx = kStepSpeed * (CGameWorld::Random(0, 2) - 1);
        if (s[kBackOff] != 0) {
            a.vx = -Direction(a.facing) * kStepSpeed;
            s[kBackOff] = 0;
        }
        const bool forward = (a.vx > 0 && a.facing != 0) || (a.vx < 0 && a.facing == 0);
        a.SetAnimation(forward ? kStepForward : kStepBack, true);
    }

    void Step() {
        using namespace Type67;
        s[kTimer] = EnemyKit::Drop(s[kTimer], dt);
        if (contact) a.vx = 0;
        if (Blocked(a) || overlap) s[kTimer] = 0;
        if (s[kTimer] >= 1) return;
        const int32_t d = EnemyKit::PixelDistanceX(a, *p);
        if (d < a.sprite->GetBoxWidth() + 2 * p->sprite->GetBoxWidth() / 3) {
            StartBlow();
        } else if (d > 2 * world->viewWidth / 3) {
            s[kAction] = kDecide;
            s[kTimer] = kFarAgainTime;
        } else {
            s[kAction] = kLunge;
            a.ChangeAnimation(kLungeStart, false);
            s[kTimer] = kLungeWait;
            if (overlap) a.vx = 0;
        }
    }

    void StartBlow() {
        using namespace Type67;
        s[kAction] = kBlow;
        a.vx = 0;
        a.ChangeAnimation(kBlowAnimation, false);
    }

    void Lunge() {
        using namespace Type67;
        if (a.IsAnimation(kLungeStart) && a.IsAnimationDone()) {
            a.vx = Direction(a.facing) * kChargeSpeed;
            a.ChangeAnimation(kLungeRun, true);
            s[kTimer] = kLungeTime;
            if (overlap) a.vx = 0;
        }
        if (a.IsAnimation(kLungeRun)) s[kTimer] = EnemyKit::Drop(s[kTimer], dt);
        if (overlap) {
            s[kTimer] = 0;
            a.vx = 0;
        }
        if (s[kTimer] < 1) StartBlow();
    }

    void Blow() {
        using namespace Type67;
        if (!a.IsAnimation(kBlowAnimation)) {
            s[kTimer] = EnemyKit::Drop(s[kTimer], dt);
            if (s[kTimer] < 0) a.SetAnimation(kBlowAnimation, false);
        }
        if (!a.IsAnimation(kBlowAnimation)) return;
        if (CSpriteInstance::AttackOverlaps(*p->sprite, *a.sprite, CSpriteInstance::kFirstAttackKind) &&
            a.AttackPlayer(&a)) {
            a.SpawnHitEffect(p);
            s[kBackOff] = 1;
            return;
        }
        if (!a.IsAnimationDone()) return;
        s[kAction] = kDecide;
        s[kTimer] = kBlowPause;
        a.SetAnimation(kStand, true);
    }

    void Hurt() {
        using namespace Type67;
        if (a.onGround != 0) a.vx = 0;
        if (!a.IsAnimationDone()) return;
        s[kAction] = kStep;
        a.vx = -TowardsPlayer() * kStepSpeed;
        a.SetAnimation(kStepBack, true);
        s[kTimer] = kHurtStepTime;
    }

    CActor& a;
    std::vector<int32_t>& s;
    int32_t dt;
    CGameWorld* world;
    CActor* p;
    bool overlap = false;
    bool contact = false;
};

}  // namespace

void CActor::UpdateType59(int32_t dt) { Enemy59(*this, dt).Update(); }

void CActor::UpdateType67(int32_t dt) { Enemy67(*this, dt).Update(); }
