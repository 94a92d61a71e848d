// The flying boss of type 56, fought in a pinned camera frame: strafing
// passes that drop strikes, a landing with volleys of falling shots and a
// bomb that can hurt it; its ending is paced by the level script.
#include <algorithm>

#include "ActorKit.h"
#include "ActorUnits.h"
#include "CActor.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"
#include "EnemyKit.h"

namespace {

using ActorUnits::FromPixels;
using ActorUnits::ToPixels;
constexpr int32_t kPx = ActorUnits::kPerPixel;

// State words.
constexpr int32_t kState = 0;
constexpr int32_t kTimer = 1;
constexpr int32_t kPasses = 2;
constexpr int32_t kShots = 3;
constexpr int32_t kDone = 4;
constexpr int32_t kStrikeHeight = 5;
constexpr int32_t kBlink = 6;
constexpr int32_t kBlinkFrames = 7;
// States.
constexpr int32_t kTakingOff = 2;
constexpr int32_t kPassBefore = 1;
constexpr int32_t kBetweenPasses = 4;
constexpr int32_t kPassAfter = 5;
constexpr int32_t kWaitingOffScreen = 6;
constexpr int32_t kFinalPass = 7;
constexpr int32_t kLanding = 8;
constexpr int32_t kStanding = 9;
constexpr int32_t kVolley = 10;
constexpr int32_t kFloating = 11;
constexpr int32_t kDefeated = 12;
constexpr int32_t kDefeatedWaiting = 13;
constexpr int32_t kAimedVolleys = 14;
constexpr int32_t kFlyingAway = 15;
constexpr int32_t kOutOfView = 16;
constexpr int32_t kRemoval = 17;
constexpr int32_t kAfterAimed = 18;
constexpr int32_t kSecondVolley = 19;
// Animations.
constexpr int32_t kStand = 0;
constexpr int32_t kWindUp = 1;
constexpr int32_t kTakeOff = 2;
constexpr int32_t kLand = 3;
constexpr int32_t kFly = 4;
constexpr int32_t kFlyStriking = 5;
constexpr int32_t kDefeatedPose = 6;
constexpr int32_t kAimPose = 7;
constexpr int32_t kWindUpMore = 8;
constexpr int32_t kStrikeAnimation = 3;
constexpr int32_t kShotAnimation = 9;
// The shot and strike actors' words.
constexpr int32_t kShotPhase = 0;
constexpr int32_t kShotNoTiles = 1;
constexpr int32_t kShotFlying = 1;
constexpr int32_t kShotDropping = 3;
constexpr int32_t kStrikePhase = 0;
constexpr int32_t kStrikeDelay = 1;
constexpr int32_t kStrikeVariant = 2;
constexpr int32_t kStrikeStriking = 1;
constexpr int32_t kStrikeSideways = 2;
constexpr int32_t kStrikeSpriteSet = 11;
// Numbers of the fight.
constexpr int32_t kFullHitPoints = 1900;
constexpr int32_t kFastBelow = 1000;
constexpr int32_t kTwoVolleysBelow = 500;
constexpr int32_t kHitPointsPerShot = 500;
constexpr int32_t kBaseShots = 3;
constexpr int32_t kMaxShots = 5;
constexpr int32_t kPassesBeforeLanding = 4;
constexpr int32_t kAimedVolleyCount = 4;
constexpr int32_t kAimedShots = 5;
constexpr int32_t kAimedDrop[kAimedShots] = {0, 8, 16, 16, 8};
constexpr int32_t kAimedDamageFactor = 4;
constexpr int32_t kAimedBlinkReload = 4;
constexpr int32_t kBombSpread = 24;
constexpr int32_t kDefeatTime = 4000;
constexpr int32_t kPassPause = 1000;
constexpr int32_t kTurnPause = 500;
constexpr int32_t kStandTime = 1000;
constexpr int32_t kSecondVolleyTime = 2000;
constexpr int32_t kFloatTime = 8000;
constexpr int32_t kAfterAimedTime = 4000;
constexpr int32_t kRemovalTime = 2000;
constexpr int32_t kPassSpeed = 160 * kPx;
constexpr int32_t kRunSpeed = 200 * kPx;
constexpr int32_t kLeaveAcceleration = 200 * kPx;
constexpr int32_t kLeaveTopSpeed = 400 * kPx;
constexpr int32_t kLeaveClimb = -10 * kPx;
constexpr int32_t kShotVy = 40 * kPx;
constexpr int32_t kShotGravity = 96 * kPx;
constexpr int32_t kFallTopSpeed = 400 * kPx;

class FlyingBoss {
public:
    FlyingBoss(CActor& boss, CGameWorld& w, CActor& player, int32_t frameTime)
        : a(boss), s(boss.state), world(w), p(player), dt(frameTime) {}

    void Update() {
        if (a.hitPoints < 1 && s[kState] < kDefeated) {
            Defeat();
            return;
        }
        if (s[kBlink] > 0) {
            s[kBlink] = EnemyKit::Drop(s[kBlink], dt);
            ++s[kBlinkFrames];
        }
        Step();
    }

private:
    void Step() {
        switch (s[kState]) {
            case kWaitingOffScreen: WaitingOffScreen(); break;
            case kBetweenPasses: BetweenPasses(); break;
            case kPassBefore: PassBefore(); break;
            case kPassAfter: PassAfter(); break;
            case kFinalPass: FinalPass(); break;
            case kLanding: Landing(); break;
            case kStanding: Standing(); break;
            case kVolley: Volley(); break;
            case kSecondVolley: SecondVolley(); break;
            case kFloating: Floating(); break;
            case kTakingOff: TakingOff(); break;
            case kDefeated: Defeated(); break;
            case kDefeatedWaiting: DefeatedWaiting(); break;
            case kAimedVolleys: AimedVolleys(); break;
            case kAfterAimed: AfterAimed(); break;
            case kFlyingAway: FlyingAway(); break;
            case kOutOfView: OutOfView(); break;
            case kRemoval: Removal(); break;
            default: break;
        }
    }

    int32_t BoxX() const { return a.sprite ? a.sprite->GetBoxX() : 0; }
    int32_t BoxWidth() const { return a.sprite ? a.sprite->GetBoxWidth() : 0; }
    int32_t BoxHeight() const { return a.sprite ? a.sprite->GetBoxHeight() : 0; }
    int32_t Left() const { return ToPixels(a.x) + BoxX(); }
    int32_t Right() const { return Left() + BoxWidth(); }
    int32_t FlightY() const { return FromPixels(world.cameraY + 3 * BoxHeight()); }
    void ShowGauge(bool on) {
        if (world.bossGaugeSprite) world.bossGaugeSprite->SetVisible(on);
    }
    // Counts the timer down; true once it has run out.
    bool TimerOut() {
        if (s[kTimer] < 1) return true;
        s[kTimer] = EnemyKit::Drop(s[kTimer], dt);
        return false;
    }

    void Defeat() {
        s[kState] = kDefeated;
        a.SetAnimation(kDefeatedPose, true);
        s[kTimer] = kDefeatTime;
        p.SetStateWord(PlayerWord::kMode, PlayerWord::kModeFormBSpecial);
        p.SetStateWord(PlayerWord::kProtected, 1);
        world.cameraArrived = 1;
        world.fixedTargetX = world.fixedTargetY = CGameWorld::kNoFixedTarget;
        world.cameraTarget = &p;
    }

    void WaitingOffScreen() {
        if (p.onGround != 0 && world.type56Signal != 0) {
            s[kState] = kBetweenPasses;
            if (a.sprite) a.sprite->SetVisible(true);
            a.facing = 1;
            s[kTimer] = kPassPause;
            a.SetAnimation(kFly, true);
            s[kStrikeHeight] = p.y;
            ShowGauge(true);
        }
        a.SetPosition(FromPixels(world.cameraX - BoxWidth()), FlightY());
    }

    void BetweenPasses() {
        if (world.cameraTarget == &p) {
            world.cameraArrived = 0;
            world.fixedTargetX = world.cameraX;
            world.fixedTargetY = ToPixels(p.y);
            world.cameraTarget = nullptr;
        }
        if (!TimerOut()) return;
        a.collisionFlags = 0;
        a.SetPosition(a.x, FlightY());
        a.hitDir = a.facing != 0 ? 1 : -1;
        if (s[kPasses] < kPassesBeforeLanding) {
            s[kState] = kPassBefore;
            a.vx = a.hitDir * kPassSpeed * (a.hitPoints < kFastBelow ? 2 : 1);
        } else {
            s[kState] = kFinalPass;
            a.vx = a.hitDir * kRunSpeed;
        }
        a.SetAnimation(kFly, true);
        ++s[kPasses];
    }

    void PassBefore() {
        const bool inView = a.vx > 0 ? Left() >= world.cameraX : Right() < world.cameraX + world.viewWidth;
        if (!inView) return;
        s[kState] = kPassAfter;
        CActor* strike = world.CreateEffect(kStrikeSpriteSet, ActorType::kStrikeEffect, ToPixels(p.x),
                                            ToPixels(p.y) - p.GetHeight() / 2, 0);
        a.SetAnimation(kFlyStriking, true);
        if (strike == nullptr) return;
        strike->SetStateWord(kStrikeVariant, kStrikeSideways);
        strike->SetStateWord(kStrikePhase, kStrikeStriking);
        strike->SetStateWord(kStrikeDelay, 0);
        strike->SetAnimation(kStrikeAnimation, true);
        strike->vx = a.vx;
        strike->SetPosition(a.x, s[kStrikeHeight]);
        world.QueueAddActor(strike);
    }

    void PassAfter() {
        if (a.vx > 0 && world.cameraX + world.viewWidth < Left()) {
            TurnOutside(0);
        } else if (a.vx < 0 && Right() < world.cameraX) {
            TurnOutside(1);
        }
    }

    void TurnOutside(int32_t facing) {
        a.vx = 0;
        s[kTimer] = kTurnPause;
        s[kState] = kBetweenPasses;
        a.facing = facing;
    }

    void FinalPass() {
        if (Left() < world.cameraX) return;
        s[kState] = kLanding;
        a.SetAnimation(kLand, false);
        a.vx = a.vy = 0;
        a.targetVy = kFallTopSpeed;
        a.collisionFlags = CActor::kCollideAll;
        a.gravity = CActor::kGravity;
    }

    void Landing() {
        if (a.onGround != 0) a.vx = 0;
        if (!a.IsAnimation(kLand) || !a.IsAnimationDone()) return;
        a.ChangeAnimation(kStand, true);
        a.vx = 0;
        s[kState] = kStanding;
        s[kTimer] = kStandTime;
    }

    void Standing() {
        a.vx = 0;
        if (!TimerOut()) return;
        s[kState] = kVolley;
        a.SetAnimation(kWindUp, false);
        s[kDone] = 0;
        s[kShots] = std::min(kMaxShots, (kFullHitPoints - a.hitPoints) / kHitPointsPerShot + kBaseShots);
    }

    // One wind-up more, or the volley; true when the volley was fired.
    bool WindUpOrFire() {
        if (s[kDone] < s[kShots] / 2) {
            ++s[kDone];
            a.ChangeAnimation(kWindUpMore, false);
            return false;
        }
        const int32_t count = std::max(1, s[kShots]);
        const int32_t w = world.viewWidth / count;
        for (int32_t i = 0; i < count; ++i) {
            const int32_t px = world.cameraX + CGameWorld::Random(i * w, (i + 1) * w);
            const int32_t py = world.cameraY - CGameWorld::Random(0, world.viewHeight / 4);
            FallingShot(px, py, kShotFlying, kShotVy);
        }
        return true;
    }

    void Volley() {
        if (!a.IsAnimationDone() || !WindUpOrFire()) return;
        if (a.hitPoints < kTwoVolleysBelow) {
            s[kState] = kSecondVolley;
            s[kTimer] = kSecondVolleyTime;
            a.ChangeAnimation(kStand, true);
            s[kDone] = 0;
        } else {
            DropBombAndFloat();
        }
    }

    void SecondVolley() {
        if (!TimerOut()) return;
        if (a.IsAnimation(kStand)) a.SetAnimation(kWindUp, false);
        if (a.IsAnimationDone() && WindUpOrFire()) DropBombAndFloat();
    }

    CActor* FallingShot(int32_t px, int32_t py, int32_t phase, int32_t vy) {
        CActor* shot = ActorKit::NewShot(px, py);
        if (shot == nullptr) return nullptr;
        shot->ChangeAnimation(kShotAnimation, true);
        shot->SetStateWord(kShotPhase, phase);
        shot->vx = 0;
        shot->vy = vy;
        shot->gravity = kShotGravity;
        shot->SetStateWord(kShotNoTiles, 0);
        world.QueueAddActor(shot);
        return shot;
    }

    void DropBombAndFloat() {
        // Drawn as an offset: the same value for a boss near the map's left
        // edge, where the range would start below 0.
        const int32_t px = ToPixels(a.x) - kBombSpread + CGameWorld::Random(0, 2 * kBombSpread);
        if (CActor* bomb = FallingShot(px, world.cameraY - world.viewHeight / 4, kShotDropping, 0)) bomb->link = &a;
        a.ChangeAnimation(kStand, true);
        s[kTimer] = kFloatTime;
        a.gravity = a.ay = a.vy = a.targetVy = 0;
        a.collisionFlags = 0;
        s[kState] = kFloating;
    }

    void Floating() {
        if (!TimerOut()) return;
        s[kState] = kTakingOff;
        a.SetAnimation(kTakeOff, false);
    }

    void TakingOff() {
        if (!a.IsAnimationDone()) return;
        a.hitDir = a.facing != 0 ? 1 : -1;
        a.vx = a.hitDir * kRunSpeed;
        a.SetAnimation(kFly, true);
        s[kPasses] = 1;
        s[kState] = kPassAfter;
    }

    void Defeated() {
        if (!TimerOut()) return;
        s[kState] = kDefeatedWaiting;
        a.SetAnimation(kStand, true);
        s[kTimer] = kStandTime;
        ActorKit::TellScript();
        ShowGauge(false);
    }

    void DefeatedWaiting() {
        if (!ActorKit::ScriptWaiting()) return;
        s[kState] = kAimedVolleys;
        a.SetAnimation(kWindUp, false);
        s[kDone] = 0;
        s[kShots] = kAimedVolleyCount;
    }

    void AimedVolleys() {
        if (!a.IsAnimationDone()) return;
        if (s[kDone] < s[kShots]) {
            ++s[kDone];
            a.ChangeAnimation(kAimPose, false);
            AimedVolley();
            return;
        }
        s[kState] = kAfterAimed;
        a.SetAnimation(kStand, true);
        s[kTimer] = kAfterAimedTime;
    }

    // Five shots over the player, heavier than the others.
    void AimedVolley() {
        const int32_t w = p.GetWidth();
        const int32_t step = 4 * w / 5;
        const int32_t left = ToPixels(p.x) + (p.sprite ? p.sprite->GetBoxX() : 0) - w / 2;
        for (int32_t i = 0; i < kAimedShots; ++i) {
            const int32_t py = world.cameraY - world.viewHeight / 4 + kAimedDrop[i];
            CActor* shot = FallingShot(left + i * step - step / 2, py, kShotFlying, kShotVy);
            if (shot == nullptr) continue;
            if (shot->moves.size() > 1) shot->moves[1].damage *= kAimedDamageFactor;
            p.SetStateWord(PlayerWord::kBlinkReload, kAimedBlinkReload);
        }
    }

    void AfterAimed() {
        if (!TimerOut()) return;
        ActorKit::TellScript();
        s[kState] = kFlyingAway;
    }

    void FlyingAway() {
        if (!ActorKit::ScriptWaiting()) return;
        if (a.IsAnimation(kStand)) a.SetAnimation(kTakeOff, false);
        if (a.IsAnimation(kTakeOff) && a.IsAnimationDone()) a.ChangeAnimation(kFly, true);
        if (!a.IsAnimation(kFly)) return;
        a.vy = kLeaveClimb;
        a.vx = std::max(a.vx, kRunSpeed);
        a.ax = kLeaveAcceleration;
        a.targetVx = kLeaveTopSpeed;
        if (a.sprite && CSpriteInstance::IsOffScreen(*a.sprite, world.cameraX, world.cameraY, world.viewWidth,
                                                     world.viewHeight)) {
            ActorKit::TellScript();
            a.vx = a.vy = a.ax = a.targetVx = 0;
            s[kState] = kOutOfView;
        }
    }

    void OutOfView() {
        if (!ActorKit::ScriptWaiting()) return;
        s[kState] = kRemoval;
        s[kTimer] = kRemovalTime;
    }

    void Removal() {
        if (!TimerOut()) return;
        ActorKit::TellScript();
        a.Remove(true);
        world.type56Signal = 0;
        ShowGauge(false);
    }

    CActor& a;
    std::vector<int32_t>& s;
    CGameWorld& world;
    CActor& p;
    int32_t dt;
};

}  // namespace

void CActor::UpdateType56(int32_t dt) {
    CGameWorld* world = ActorKit::World();
    CActor* p = ActorKit::Player();
    if (world != nullptr && p != nullptr) FlyingBoss(*this, *world, *p, dt).Update();
}
