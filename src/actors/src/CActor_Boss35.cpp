// The armoured boss of type 35: a slow walker in the background layer that
// strikes with a limb drawn by its weak part and drops minions after every
// third attack; the part decides its phases, and in the last phase it can
// be hurt itself.
#include "ActorKit.h"
#include "ActorUnits.h"
#include "ArmouredBoss.h"
#include "CActor.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"
#include "EnemyKit.h"

namespace {

using ActorUnits::FromPixels;
using namespace ArmouredBoss;
constexpr int32_t kPx = ActorUnits::kPerPixel;

// State words beside the shared ones.
constexpr int32_t kAttacks = 3;
constexpr int32_t kDropping = 4;
constexpr int32_t kDropDelay = 5;
constexpr int32_t kDropped = 6;
constexpr int32_t kMayWalk = 7;
// Actions.
constexpr int32_t kDormant = -1;
constexpr int32_t kAttack = 1;
constexpr int32_t kRecover = 2;
constexpr int32_t kExposed = 3;
constexpr int32_t kDying = 4;
// Animations, by phase where they differ.
constexpr int32_t kStill[3] = {0, 1, 2};
constexpr int32_t kWalking[3] = {3, 4, 5};
constexpr int32_t kWindUp[2] = {6, 9};
constexpr int32_t kStrike[2] = {7, 10};
constexpr int32_t kBigWindUp[2] = {15, 24};
constexpr int32_t kBigStrike[2] = {18, 16};
constexpr int32_t kPartStrike[2] = {8, 11};
constexpr int32_t kPartBigStrike[2] = {19, 17};
constexpr int32_t kLastAttackStart = 25;
constexpr int32_t kHitInLastPhase = 31;
constexpr int32_t kLastAttackA = 32;
constexpr int32_t kLastAttackB = 33;
constexpr int32_t kPartLastAttack = 34;
constexpr int32_t kExposedPose = 36;
constexpr int32_t kBigStrikeSoundFrame = 3;
// Numbers of the fight.
constexpr int32_t kBigAttackEvery = 3;
constexpr int32_t kDropSize[3] = {3, 3, 5};
constexpr int32_t kMinionLoops[2] = {20, 21};
constexpr int32_t kPickupMinion = 2;
constexpr int32_t kPartDepth = 3;
constexpr int32_t kShortPause = 100;
constexpr int32_t kStrikePause = 3000;
constexpr int32_t kExposedTime = 4000;
constexpr int32_t kHitPause = 750;
constexpr int32_t kExposedPause = 3000;
constexpr int32_t kSinkDelay = 2000;
constexpr int32_t kSinkSpeed = 80 * kPx;
constexpr int32_t kWalkAcceleration[3] = {20 * kPx, 20 * kPx, 40 * kPx};
constexpr int32_t kWalkSpeed[3] = {40 * kPx, 40 * kPx, 80 * kPx};

struct Shake {
    int32_t time;
    int32_t amplitude;
};
constexpr Shake kBigStrikeShake = {1000, 8};
constexpr Shake kStrikeShake = {600, 5};
constexpr Shake kLastAttackShake = {1500, 4};
constexpr Shake kSinkShake = {2000, 4};

// The boss's weak part, once the part has found the boss.
CActor* PartOf(const CActor& boss) {
    return boss.link != nullptr && boss.link->type == ActorType::kBossPart36 ? boss.link : nullptr;
}

class Boss35 {
public:
    Boss35(CActor& boss, CGameWorld& w, CActor& player, int32_t frameTime)
        : a(boss), s(boss.state), world(w), p(player), part(PartOf(boss)), dt(frameTime) {}

    void Update() {
        if (s[kAction] == kDormant) return;
        if (CSpriteInstance* gauge = world.bossGaugeSprite.get()) {
            gauge->Tick(dt, true);
            gauge->SetVisible(true);
        }
        if (part != nullptr) part->SetPosition(a.x, a.y);
        expired = ActorKit::Expired(&a, kTimer, dt);
        p.SetStateWord(PlayerWord::kMeleeOnly, 1);
        if (s[kAction] == kDying) {
            Dying();
            return;
        }
        Approach();
        if (s[kDropping] == 1) DropMinions();
        if (Phase() == kLastPhase) {
            LastPhase();
        } else {
            EarlyPhases();
        }
    }

private:
    int32_t Phase() const { return s[kPhase] >= kFirstPhase && s[kPhase] <= kLastPhase ? s[kPhase] : kFirstPhase; }
    // Index of the animation tables of the first two phases.
    int32_t Early() const { return Phase() == kSecondPhase ? 1 : 0; }

    void ShakeFor(const Shake& shake) { world.SetShake(shake.time, shake.amplitude, shake.amplitude, false); }

    void ShowPart(bool on) {
        if (part != nullptr && part->sprite) part->sprite->SetVisible(on);
    }
    void PartAnimation(int32_t animation) {
        if (part != nullptr) part->SetAnimation(animation, false);
    }

    void Dying() {
        if (!expired) return;
        if (a.vy == 0) {
            a.vy = kSinkSpeed;
            s[kTimer] = kSinkDelay;
            ShakeFor(kSinkShake);
        } else {
            ActorKit::TellScript();
        }
    }

    void Approach() {
        if (s[kAction] != kApproach) return;
        if (expired) {
            s[kMayWalk] = 1;
            expired = false;
        }
        if (s[kMayWalk] != 1) return;
        if (ActorKit::Touches(&a, &p)) {
            a.vx = a.ax = a.targetVx = 0;
            expired = true;
            s[kTimer] = 0;
            s[kMayWalk] = 0;
            return;
        }
        if (a.vx != 0) return;
        const int32_t leftEdge = a.x + FromPixels(a.sprite ? a.sprite->GetBoxX() : 0);
        a.hitDir = p.x > leftEdge ? 1 : -1;
        a.ax = a.hitDir * kWalkAcceleration[Phase()];
        a.targetVx = a.hitDir * kWalkSpeed[Phase()];
        a.ChangeAnimation(kWalking[Phase()], true);
    }

    // One minion an update while a drop runs.
    void DropMinions() {
        s[kDropDelay] = EnemyKit::Drop(s[kDropDelay], dt);
        if (s[kDropDelay] >= 0) return;
        ++s[kDropped];
        const int32_t size = kDropSize[Phase()];
        if (s[kDropped] < size) MakeMinion();
        if (s[kDropped] >= size) {
            s[kDropping] = 0;
            s[kDropped] = 0;
        }
    }

    void MakeMinion() {
        const int32_t r = CGameWorld::Random(0, world.viewWidth / 2);
        CActor* minion = world.CreateActor(a.sprite.get(), ActorType::kBossMinion, world.cameraX + r * s[kDropped],
                                           world.cameraY, 0);
        if (minion == nullptr) return;
        minion->SetAnimation(kMinionEntry, false);
        if (minion->sprite) minion->sprite->SetVisible(true);
        minion->collisionFlags = CActor::kCollideAll;
        if (Phase() == kLastPhase) {
            minion->SetStateWord(kMinionLoop, kMinionLoops[CGameWorld::Random(0, 1)]);
            if (s[kDropped] == kPickupMinion) minion->SetStateWord(kMinionDrops, 1);
        } else {
            minion->SetStateWord(kMinionLoop, kMinionLoops[0]);
        }
        world.QueueAddActor(minion);
    }

    void EarlyPhases() {
        switch (s[kAction]) {
            case kApproach: EarlyApproach(); break;
            case kAttack: EarlyAttack(); break;
            case kRecover:
                if (!expired) break;
                if (s[kAttacks] > kBigAttackEvery - 1) s[kAttacks] = 0;
                ShowPart(false);
                s[kAction] = kApproach;
                s[kTimer] = kShortPause;
                a.ChangeAnimation(kStill[Early()], true);
                break;
            default: break;
        }
    }

    void EarlyApproach() {
        if (a.IsAnimation(kFirstPhaseLost) && a.IsAnimationDone()) {
            a.ChangeAnimation(kStill[1], true);
            s[kTimer] = kShortPause;
        } else if (a.IsAnimation(kSecondPhaseLost) && a.IsAnimationDone()) {
            a.ChangeAnimation(kStill[2], true);
            s[kTimer] = kShortPause;
        } else if (expired) {
            ++s[kAttacks];
            s[kAction] = kAttack;
            a.vx = 0;
            a.ChangeAnimation(s[kAttacks] < kBigAttackEvery ? kWindUp[Early()] : kBigWindUp[Early()], false);
        }
    }

    void EarlyAttack() {
        const int32_t e = Early();
        if ((a.IsAnimation(kBigStrike[0]) || a.IsAnimation(kBigStrike[1])) && a.sprite &&
            a.sprite->GetFrame() == kBigStrikeSoundFrame) {
            world.PlaySound(GameSound::kBlowHigh);
            ShakeFor(kBigStrikeShake);
        }
        if (!a.IsAnimationDone() || s[kTimer] != 0) return;
        if (a.IsAnimation(kBigWindUp[0])) {
            ShowPart(true);
            PartAnimation(kPartBigStrike[0]);
            a.SetAnimation(kBigStrike[0], false);
        } else if (a.IsAnimation(kBigWindUp[1])) {
            PartAnimation(kPartBigStrike[1]);
            ShowPart(true);
            a.SetAnimation(kBigStrike[1], false);
        } else if (s[kAttacks] < kBigAttackEvery) {
            a.SetAnimation(kStrike[e], false);
            PartAnimation(kPartStrike[e]);
            world.PlaySound(GameSound::kBlowHigh);
            ShakeFor(kStrikeShake);
            ShowPart(true);
            s[kTimer] = kStrikePause;
            s[kAction] = kRecover;
        } else {
            s[kTimer] = 1;
            s[kAction] = kRecover;
            s[kDropping] = 1;
        }
    }

    void LastPhase() {
        switch (s[kAction]) {
            case kApproach:
                if (a.IsAnimation(kHitInLastPhase) && a.IsAnimationDone()) a.ChangeAnimation(kStill[2], true);
                if (expired) {
                    s[kAction] = kAttack;
                    a.ChangeAnimation(kLastAttackStart, false);
                }
                break;
            case kAttack: LastAttack(); break;
            case kExposed: Exposed(); break;
            default: break;
        }
    }

    void LastAttack() {
        if (a.IsAnimationDone()) {
            if (a.IsAnimation(kLastAttackA)) {
                a.ChangeAnimation(kLastAttackB, false);
                if (part != nullptr) part->depth = kPartDepth;
                ShowPart(true);
                PartAnimation(kPartLastAttack);
                ShakeFor(kLastAttackShake);
                world.PlaySound(GameSound::kBlowLow);
            } else if (a.IsAnimation(kLastAttackB)) {
                s[kDropping] = 1;
                a.ChangeAnimation(kExposedPose, true);
                s[kAction] = kExposed;
                s[kTimer] = kExposedTime;
            }
        }
        if (ActorKit::StruckBy(&p, &a)) a.AttackPlayer(&a);
        if (a.IsAnimationDone() && s[kTimer] == 0) a.SetAnimation(kLastAttackA, false);
    }

    void Exposed() {
        if (a.CollideWithActors()) {
            s[kAction] = kApproach;
            s[kTimer] = kHitPause;
            a.ChangeAnimation(kHitInLastPhase, false);
            if (a.hitPoints >= 1) return;
            a.ChangeAnimation(a.typeValue, true);
            world.PlaySound(GameSound::kHit);
            a.vy = 0;
            s[kAction] = kDying;
            s[kTimer] = kSinkDelay;
            ShakeFor(kSinkShake);
            return;
        }
        if (!expired) return;
        s[kAction] = kApproach;
        s[kTimer] = kExposedPause;
        a.ChangeAnimation(kStill[2], true);
    }

    CActor& a;
    std::vector<int32_t>& s;
    CGameWorld& world;
    CActor& p;
    CActor* part;
    int32_t dt;
    bool expired = false;
};

}  // namespace

void CActor::UpdateType35(int32_t dt) {
    CGameWorld* world = ActorKit::World();
    CActor* p = ActorKit::Player();
    if (world != nullptr && p != nullptr) Boss35(*this, *world, *p, dt).Update();
}
