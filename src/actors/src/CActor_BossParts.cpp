// The armoured boss's weak part, which takes the hits and moves the boss
// from phase to phase, and its minions, which drop in from the top of the
// view. Both find the boss themselves and do nothing without it.
#include "ActorKit.h"
#include "ActorUnits.h"
#include "ArmouredBoss.h"
#include "CActor.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"

namespace {

using namespace ArmouredBoss;
constexpr int32_t kPx = ActorUnits::kPerPixel;

// The part's animations.
constexpr int32_t kVulnerableA = 8;
constexpr int32_t kVulnerableB = 11;
constexpr int32_t kLastAttack = 34;
// The minion's animations and fall.
constexpr int32_t kFightA = 20;
constexpr int32_t kFightB = 21;
constexpr int32_t kLeave = 22;
constexpr int32_t kFallBase = 80 * kPx;
constexpr int32_t kFallExtraLow = 40 * kPx;
constexpr int32_t kFallExtraHigh = 80 * kPx;
constexpr int32_t kFallAcceleration = 200 * kPx;
constexpr int32_t kFallTopSpeed = 200 * kPx;
// The pickup a minion may leave: kind 1, worth 1.
constexpr int32_t kPickupKindWord = 0;
constexpr int32_t kPickupAmountWord = 1;
constexpr int32_t kPickupSpareWord = 2;
constexpr int32_t kPickupKind = 1;
constexpr int32_t kPickupAmount = 1;
constexpr int32_t kPickupLook = 0;

// The first type-35 actor of the draw list.
CActor* FindBoss() {
    CGameWorld* world = ActorKit::World();
    if (world == nullptr || !world->drawList) return nullptr;
    for (int32_t i = 0; i < world->drawList->size(); ++i) {
        CActor* a = world->drawList->elementAt(i);
        if (a->type == ActorType::kBoss35) return a;
    }
    return nullptr;
}

bool IsVisible(const CActor& a) { return a.sprite && a.sprite->IsVisible(); }

void Hide(CActor& a) {
    if (a.sprite) a.sprite->SetVisible(false);
}

class WeakPart {
public:
    WeakPart(CActor& part, CActor& theBoss, CActor* player) : a(part), boss(theBoss), p(player) {}

    void Update() {
        if (!IsVisible(a)) return;
        if (a.IsAnimation(kLastAttack) && a.IsAnimationDone()) Hide(a);
        if (ActorKit::StruckBy(p, &a)) {
            a.AttackPlayer(&a);
            a.SpawnHitEffect(p);
        }
        if (!TakeHit()) return;
        a.vx = a.vy = a.ax = a.ay = 0;
        a.facing = 1;
        if (a.hitPoints > 0) return;
        const int32_t phase = boss.StateWord(kPhase);
        if (phase == kFirstPhase) {
            LosePhase(kSecondPhase, kFirstPhaseLost, kWaitWithoutLimit);
            a.hitPoints = kPartHitPoints;
        } else if (phase == kSecondPhase) {
            LosePhase(kLastPhase, kSecondPhaseLost, kLastPhaseDelay);
        }
    }

private:
    // A hit from the collision list, or from the player while the part is
    // open; the damage is passed on to the boss. True when either hit.
    bool TakeHit() {
        const int32_t before = a.hitPoints;
        if (a.CollideWithActors()) {
            boss.hitPoints -= before - a.hitPoints;
            return true;
        }
        if (p == nullptr || !(a.IsAnimation(kVulnerableB) || a.IsAnimation(kVulnerableA)) ||
            !ActorKit::StruckBy(&a, p)) {
            return false;
        }
        CActor::SetPlayerTimedMode(true);
        p->SpawnHitEffect(&a);
        a.OnHit(p);
        boss.hitPoints -= before - a.hitPoints;
        return true;
    }

    void LosePhase(int32_t phase, int32_t bossAnimation, int32_t wait) {
        boss.SetStateWord(kPhase, phase);
        Hide(a);
        boss.ChangeAnimation(bossAnimation, false);
        ActorKit::PlaySound(GameSound::kHit);
        boss.SetStateWord(kAction, kApproach);
        boss.SetStateWord(kTimer, wait);
    }

    CActor& a;
    CActor& boss;
    CActor* p;
};

class Minion {
public:
    Minion(CActor& minion, CActor& theBoss, CGameWorld& w, CActor* player, int32_t frameTime)
        : a(minion), boss(theBoss), world(w), p(player), dt(frameTime) {}

    void Update() {
        if (a.IsAnimation(kMinionEntry)) {
            Entry();
        } else if (a.IsAnimation(kLeave)) {
            if (a.IsAnimationDone()) a.Remove(true);
        } else {
            Fight();
        }
    }

private:
    void Entry() {
        if (!a.IsAnimationDone()) {
            a.SetPosition(a.x, ActorUnits::FromPixels(world.cameraY));
            return;
        }
        a.ChangeAnimation(a.state[kMinionLoop], true);
        a.vy = CGameWorld::Random(kFallExtraLow, kFallExtraHigh) + kFallBase;
        a.ay = kFallAcceleration;
        a.targetVy = kFallTopSpeed;
    }

    void Fight() {
        if ((a.IsAnimation(kFightA) || a.IsAnimation(kFightB)) && boss.hitPoints > 0 && ActorKit::StruckBy(p, &a)) {
            a.AttackPlayer(&a);
        }
        int32_t& life = a.state[kMinionLife];
        if (life < 1) {
            if (a.onGround == 0) return;
            a.ay = a.vy = 0;
            a.ChangeAnimation(kLeave, false);
            if (a.state[kMinionDrops] == 1) DropPickup();
            return;
        }
        life -= dt;
        if (life >= 0) return;
        boss.SetStateWord(kTimer, kMinionGoneDelay);
        a.Remove(true);
    }

    void DropPickup() {
        CActor* pickup = ActorKit::DropPickup(&a);
        if (pickup == nullptr) return;
        pickup->ChangeAnimation(kPickupLook, true);
        pickup->SetStateWord(kPickupKindWord, kPickupKind);
        pickup->SetStateWord(kPickupAmountWord, kPickupAmount);
        pickup->SetStateWord(kPickupSpareWord, 0);
    }

    CActor& a;
    CActor& boss;
    CGameWorld& world;
    CActor* p;
    int32_t dt;
};

// Finds the boss while it is not known yet; the part also makes itself the
// boss's part then.
CActor* BossOf(CActor& a, bool isPart) {
    if (a.link == nullptr) {
        a.link = FindBoss();
        if (isPart && a.link != nullptr) a.link->link = &a;
    }
    return a.link != nullptr && a.link->type == ActorType::kBoss35 ? a.link : nullptr;
}

}  // namespace

void CActor::UpdateType36(int32_t) {
    if (CActor* boss = BossOf(*this, true)) WeakPart(*this, *boss, ActorKit::Player()).Update();
}

void CActor::UpdateType37(int32_t dt) {
    CGameWorld* world = ActorKit::World();
    CActor* boss = BossOf(*this, false);
    if (boss != nullptr && world != nullptr) Minion(*this, *boss, *world, ActorKit::Player(), dt).Update();
}
