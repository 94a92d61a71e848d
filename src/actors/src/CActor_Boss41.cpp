// The boss of type 41: dormant until the script wakes it, it sends shots
// from the view's edge while the player comes, locks the camera and fights
// with dives, jumps, a grabbing charge and walks; below 3500 hit points it
// runs off once and fights a second bout.
#include <cstdlib>

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
constexpr int32_t kAction = 0;
constexpr int32_t kTimer = 1;
constexpr int32_t kPhase = 2;
constexpr int32_t kMarkX = 3;
constexpr int32_t kDiveX = 4;
constexpr int32_t kDiveY = 5;
constexpr int32_t kNoPush = 6;
constexpr int32_t kSecondBout = 7;
constexpr int32_t kReturnRef = 8;
// Phases.
constexpr int32_t kFight = 0;
constexpr int32_t kAway = 1;
constexpr int32_t kDying = 2;
// Dead, and the script was told once: only waits that name it end.
constexpr int32_t kGone = 3;
// Actions.
constexpr int32_t kDive = 0;
constexpr int32_t kCharge = 2;
constexpr int32_t kRetreat = 3;
constexpr int32_t kIdle = 4;
constexpr int32_t kWalkForward = 5;
constexpr int32_t kWalkBack = 6;
constexpr int32_t kRunAway = 3;
constexpr int32_t kCameraLock = 4;
constexpr int32_t kApproach = 9;
constexpr int32_t kDormant = 10;
// Animations.
constexpr int32_t kWalk = 0;
constexpr int32_t kCrouch = 1;
constexpr int32_t kAirborne = 2;
constexpr int32_t kHover = 3;
constexpr int32_t kDiving = 4;
constexpr int32_t kLandingAnimation = 5;
constexpr int32_t kStand = 6;
constexpr int32_t kChargeWindUp = 8;
constexpr int32_t kChargeWait = 9;
constexpr int32_t kChargeStart = 10;
constexpr int32_t kChargeRun = 11;
constexpr int32_t kChargeEnd = 12;
constexpr int32_t kHitReaction = 13;
constexpr int32_t kWalkBackAnimation = 14;
constexpr int32_t kWaiting = 15;
constexpr int32_t kRoar = 17;
constexpr int32_t kHurtRoar = 18;
constexpr int32_t kRun = 20;
constexpr int32_t kDeath = 24;
constexpr int32_t kRecoil = 25;
// The player's animations and words used here.
constexpr int32_t kPlayerStand = 0;
constexpr int32_t kPlayerLeaveLow = 11;
constexpr int32_t kPlayerDefeat = 19;
constexpr int32_t kPlayerHeld = 28;
constexpr int32_t kLowStanceForbidden = PlayerWord::kBossSignal;
constexpr int32_t kPlayerStoodUp = 2;
// Numbers of the fight.
constexpr int32_t kFullHitPoints = 10000;
constexpr int32_t kSecondBoutBelow = 3500;
constexpr int32_t kGrabDamage = 3;
constexpr int32_t kIdleTime = 800;
constexpr int32_t kWalkTime = 1000;
constexpr int32_t kChargeWaitTime = 1000;
constexpr int32_t kShotInterval = 2000;
constexpr int32_t kDyingTime = 3000;
constexpr int32_t kLaunchVy = -480 * kPx;
constexpr int32_t kDiveVy = 600 * kPx;
constexpr int32_t kRecoilSpeed = 200 * kPx;
constexpr int32_t kChargeSpeed = 500 * kPx;
constexpr int32_t kRetreatSpeed = 450 * kPx;
constexpr int32_t kRetreatVy = -160 * kPx;
constexpr int32_t kWalkSpeed = 120 * kPx;
constexpr int32_t kWalkBackSpeed = 200 * kPx;
constexpr int32_t kRunAwaySpeed = 200 * kPx;
// The choice in idle, by a roll 0..100: the highest roll of each action.
constexpr int32_t kRollWalk = 10;
constexpr int32_t kRollWalkBack = 30;
constexpr int32_t kRollStay = 40;
constexpr int32_t kRollJumpOrCharge = 70;
// The shot it sends while the player comes.
constexpr int32_t kShotSpriteSet = 48;
constexpr int32_t kShotSecondBout = 2;
constexpr int32_t kShotLook = 1;
constexpr int32_t kShotAnchor = CActor::kAnchorRight | CActor::kAnchorBottom;
constexpr int32_t kCameraMarginTiles = 2;

int32_t Direction(int32_t facing) { return facing != 0 ? 1 : -1; }

class Boss41 {
public:
    Boss41(CActor& boss, CGameWorld& w, CActor& player, int32_t frameTime)
        : a(boss), s(boss.state), world(w), p(player), dt(frameTime) {}

    void Update() {
        UpdateGauge();
        expired = ActorKit::Expired(&a, kTimer, dt);
        ContactPush();
        switch (s[kPhase]) {
            case kFight: Fight(); break;
            case kAway: Away(); break;
            case kDying: Dying(); break;
            case kGone: Gone(); break;
            default: break;
        }
    }

private:
    int32_t BoxWidth() const { return a.sprite ? a.sprite->GetBoxWidth() : 0; }
    int32_t ViewCentre() const { return FromPixels(world.cameraX + world.viewWidth / 2); }

    void UpdateGauge() {
        CSpriteInstance* gauge = world.bossGaugeSprite.get();
        if (gauge == nullptr) return;
        const bool onView = ToPixels(a.x) <= world.cameraX + world.viewWidth || s[kPhase] == kFight;
        if (a.hitPoints > 0 && s[kAction] != kDormant && onView) {
            gauge->Tick(dt, true);
            gauge->SetVisible(true);
        } else {
            gauge->SetVisible(false);
        }
    }

    void ContactPush() {
        if (s[kNoPush] != 0 || !ActorKit::Touches(&a, &p)) return;
        EnemyKit::PushPlayerClear(a);
        if (s[kAction] != kWalkForward) return;
        a.ax = a.vx = 0;
        GoIdle(kIdleTime);
    }

    void GoIdle(int32_t time) {
        s[kAction] = kIdle;
        s[kTimer] = time;
        a.ChangeAnimation(kStand, true);
    }

    void Fight() {
        bool ended = false;
        switch (s[kAction]) {
            case kDive: Dive(); break;
            case kCharge: Charge(); break;
            case kRetreat: RetreatJump(); break;
            case kIdle: ended = Idle(); break;
            case kWalkForward:
                if (a.prevX == a.x) {
                    a.vx = a.ax = 0;
                    s[kAction] = kIdle;
                    s[kTimer] = kIdleTime;
                }
                break;
            case kWalkBack:
                if (a.prevX == a.x || a.IsAnimationDone()) {
                    a.vx = a.ax = 0;
                    GoIdle(kIdleTime);
                }
                break;
            default: break;
        }
        if (ended || a.hitPoints >= 1) return;
        s[kPhase] = kDying;
        s[kTimer] = kDyingTime;
        a.ChangeAnimation(kDeath, false);
        world.playerControl = 0;
    }

    void Dive() {
        if (a.IsAnimationDone()) {
            DiveStep();
            return;
        }
        if (ActorKit::StruckBy(&p, &a)) {
            a.AttackPlayer(&a);
            CActor::ResetPlayerAttack();
            a.vx = (a.x > ViewCentre() ? -1 : 1) * kRecoilSpeed;
            a.vy = 0;
            a.ChangeAnimation(kRecoil, true);
        }
        if (a.IsAnimation(kAirborne) && a.vy > 0) {
            a.gravity = a.vy = a.vx = a.ay = 0;
            a.facing = s[kDiveX] < a.x ? 0 : 1;
            a.SetAnimation(kHover, false);
        }
        if (a.onGround != 0 && (a.IsAnimation(kDiving) || a.IsAnimation(kRecoil))) {
            a.vx = a.vy = 0;
            a.SetAnimation(kLandingAnimation, false);
            s[kNoPush] = 0;
        }
    }

    // The dive's animation ended: the launch, the dive itself or the end.
    void DiveStep() {
        if (a.IsAnimation(kCrouch)) {
            a.ChangeAnimation(kAirborne, true);
            a.vy = kLaunchVy;
            // Speed that puts it above the view's centre at the top of the
            // jump; no speed when it cannot be worked out.
            const int32_t d = a.x - ViewCentre();
            const int32_t rise = a.gravity != 0 ? ActorUnits::MulDiv(a.vy, 1000, a.gravity) : 0;
            a.vx = ActorUnits::MulDiv(d, 1000, rise);
            s[kDiveX] = p.x;
            s[kDiveY] = a.y;
        } else if (a.IsAnimation(kHover)) {
            a.gravity = CActor::kGravity;
            s[kMarkX] = p.x;
            a.vy = kDiveVy;
            const int32_t across = ToPixels(s[kDiveX]) - ToPixels(a.x) - (a.sprite ? a.sprite->GetBoxX() : 0);
            const int32_t down = ToPixels(s[kDiveY]) - ToPixels(a.y);
            a.vx = ActorUnits::MulDiv(across, a.vy, down);
            a.ChangeAnimation(kDiving, true);
            s[kNoPush] = 1;
        } else if (a.IsAnimation(kLandingAnimation)) {
            GoIdle(kIdleTime);
        }
    }

    void Charge() {
        if (!a.IsAnimationDone()) {
            if (a.IsAnimation(kChargeEnd)) GoIdle(kIdleTime);
        } else if (a.IsAnimation(kChargeWindUp)) {
            a.ChangeAnimation(kChargeWait, true);
            s[kTimer] = kChargeWaitTime;
        } else if (a.IsAnimation(kChargeStart)) {
            a.SetAnimation(kChargeRun, false);
            s[kMarkX] = a.x;
            a.vx = Direction(a.facing) * kChargeSpeed;
        } else if (a.IsAnimation(kChargeRun)) {
            EndCharge();
        }
        if (expired && a.IsAnimation(kChargeWait)) a.SetAnimation(kChargeStart, false);
        if (!ActorKit::StruckBy(&p, &a)) return;
        if (a.IsAnimation(kChargeStart)) {
            a.AttackPlayer(&a);
        } else if (a.IsAnimation(kChargeRun) && !p.IsAnimation(kPlayerHeld)) {
            Grab();
        }
    }

    // The charge ran out: a held player is let go.
    void EndCharge() {
        a.vx = a.ax = 0;
        p.vx = 0;
        if (p.IsAnimation(kPlayerHeld)) {
            if (p.hitPoints <= 0) {
                world.playerDead = 1;
                p.ChangeAnimation(a.typeValue, false);
            } else {
                p.ChangeAnimation(kPlayerStand, true);
                p.SetStateWord(PlayerWord::kMode, PlayerWord::kModeFree);
            }
        }
        a.ChangeAnimation(kChargeEnd, false);
    }

    // The running charge takes the player along.
    void Grab() {
        using namespace PlayerWord;
        p.hitPoints -= kGrabDamage;
        if (p.hitPoints <= 0) {
            world.playerDead = 1;
            if (p.StateWord(kDeathCountdown) <= 0) {
                p.SetStateWord(kDeathCountdown, kDeathFrames);
                p.SetAnimation(kPlayerDefeat, false);
            }
        }
        CActor::ResetPlayerAttack();
        p.SetAnimation(kPlayerHeld, true);
        if (p.StateWord(kStance) != kStanceLow && p.StateWord(kMode) != kModeFormBSpecial) {
            p.SetStateWord(kMode, kModeHurt);
        }
        p.SetStateWord(kHurtRecovery, 1);
        p.SetStateWord(kBlink, p.StateWord(kBlinkReload));
        p.vx = a.vx;
    }

    void RetreatJump() {
        if (a.IsAnimation(kCrouch)) {
            if (!a.IsAnimationDone()) return;
            const int32_t away = a.x < p.x ? -1 : 1;
            a.ChangeAnimation(kAirborne, true);
            a.vx = away * kRetreatSpeed;
            a.vy = kRetreatVy;
        } else if (a.IsAnimation(kAirborne) && a.onGround != 0) {
            a.vx = 0;
            a.ChangeAnimation(kChargeWindUp, false);
            s[kAction] = kCharge;
        }
    }

    // Idle and the choice; true when the second bout began.
    bool Idle() {
        a.facing = p.x < a.x ? 0 : 1;
        if (expired) {
            Choose(CGameWorld::Random(0, 100));
        } else if (a.IsAnimation(kHitReaction) && a.IsAnimationDone()) {
            a.ChangeAnimation(kStand, true);
        }
        if (a.CollideWithActors() && SecondBoutDue()) {
            StartSecondBout();
            return true;
        }
        if (!ActorKit::StruckBy(&a, &p)) return false;
        CActor::SetPlayerTimedMode(true);
        a.OnHit(&p);
        p.SpawnHitEffect(&a);
        a.vx = 0;
        // A hit the frame a move was chosen takes the move's opening
        // animation away, and the move would wait for it for good: it stays idle.
        if (s[kAction] != kIdle) {
            s[kAction] = kIdle;
            s[kTimer] = kIdleTime;
        }
        if (!SecondBoutDue()) return false;
        StartSecondBout();
        return true;
    }

    void Choose(int32_t roll) {
        const int32_t dir = Direction(a.facing);
        if (roll <= kRollWalk) {
            s[kAction] = kWalkForward;
            s[kTimer] = kWalkTime;
            a.ChangeAnimation(kWalk, true);
            a.vx = dir * kWalkSpeed;
        } else if (roll <= kRollWalkBack) {
            s[kAction] = kWalkBack;
            s[kTimer] = kWalkTime;
            a.ChangeAnimation(kWalkBackAnimation, false);
            a.vx = -dir * kWalkBackSpeed;
        } else if (roll <= kRollStay) {
            s[kTimer] = kIdleTime;
        } else if (roll <= kRollJumpOrCharge) {
            if (InsideCameraLimits()) {
                s[kAction] = kRetreat;
                a.ChangeAnimation(kCrouch, false);
            } else {
                a.vx = 0;
                a.ChangeAnimation(kChargeWindUp, false);
                s[kAction] = kCharge;
            }
        } else {
            s[kAction] = kDive;
            a.ChangeAnimation(kCrouch, false);
        }
    }

    bool InsideCameraLimits() const {
        const int32_t width = FromPixels(BoxWidth());
        return a.x - width >= FromPixels(world.cameraMinX) &&
               a.x + width <= FromPixels(world.cameraMinX + world.cameraSpanX);
    }

    bool SecondBoutDue() const { return s[kSecondBout] == 0 && a.hitPoints < kSecondBoutBelow; }

    void StartSecondBout() {
        s[kSecondBout] = 1;
        s[kPhase] = kAway;
        s[kDiveX] = -1;
        a.collisionFlags = 0;
        a.gravity = a.vy = a.ay = 0;
        s[kAction] = kRunAway;
        a.facing = 1;
        world.playerControl = 0;
        a.ChangeAnimation(kHurtRoar, false);
    }

    void Away() {
        a.gravity = 0;
        switch (s[kAction]) {
            case kRunAway: RunAway(); break;
            case kApproach: Approach(); break;
            case kCameraLock: CameraLock(); break;
            default: break;
        }
    }

    void RunAway() {
        if (a.IsAnimation(kHurtRoar) && a.IsAnimationDone()) {
            a.vx = kRunAwaySpeed;
            a.ChangeAnimation(kRun, true);
            world.SetCameraBounds(world.cameraX / world.tileWidth + kCameraMarginTiles, 0, world.mapWidth,
                                  world.mapHeight);
            s[kNoPush] = 1;
        }
        if (a.x - FromPixels(BoxWidth()) <= FromPixels(world.cameraX + world.viewWidth)) return;
        if (const CActor* point = world.FindActorById(s[kReturnRef])) a.SetPosition(point->x, a.y);
        a.facing = 0;
        a.collisionFlags = CActor::kCollideAll;
        a.gravity = a.vx = 0;
        s[kAction] = kApproach;
        s[kTimer] = 1;
        s[kNoPush] = 0;
        a.ChangeAnimation(kWaiting, true);
        p.SetStateWord(kLowStanceForbidden, 0);
        world.playerControl = 1;
        world.cameraFollow = 1;
        world.cameraTarget = &p;
        world.fixedTargetX = world.fixedTargetY = CGameWorld::kNoFixedTarget;
    }

    void Approach() {
        if (EnemyKit::PixelDistanceX(a, p) < 2 * world.viewWidth) s[kAction] = kCameraLock;
        if (!expired) return;
        const int32_t edge = world.cameraX + world.viewWidth;
        CActor* shot = world.CreateEffect(kShotSpriteSet, ActorType::kBossShot, edge, ToPixels(a.y), kShotAnchor);
        s[kTimer] = kShotInterval;
        if (shot == nullptr) return;
        // The shot has no word for the bout: the accessor drops the mark.
        shot->SetStateWord(kShotSecondBout, s[kSecondBout] != 0 ? 1 : 0);
        shot->ChangeAnimation(kShotLook, true);
        shot->SetPosition(FromPixels(edge), a.y);
        if (shot->sprite) shot->sprite->SetVisible(true);
        world.QueueAddActor(shot);
    }

    void CameraLock() {
        if (a.hitPoints == kFullHitPoints && p.onGround != 0 && a.sprite && p.sprite) {
            const int32_t bottoms = p.sprite->GetBoxY() + p.sprite->GetBoxHeight() - a.sprite->GetBoxY() -
                                    a.sprite->GetBoxHeight();
            a.SetPosition(a.x, p.y + FromPixels(bottoms));
        }
        if (!a.IsAnimation(kRoar)) {
            if (EnemyKit::PixelDistanceX(a, p) < 2 * world.viewWidth / 3) LockCamera();
            return;
        }
        if (!a.IsAnimationDone()) return;
        a.ChangeAnimation(kStand, true);
        s[kPhase] = kFight;
        s[kTimer] = kIdleTime;
        a.collisionFlags = CActor::kCollideAll;
        a.gravity = CActor::kGravity;
        world.playerControl = 1;
        world.cameraFollow = 0;
        world.fixedTargetX = world.cameraX;
        world.fixedTargetY = ToPixels(p.y);
        world.cameraTarget = nullptr;
    }

    void LockCamera() {
        const int32_t x1 = ToPixels(p.x) / world.tileWidth - kCameraMarginTiles;
        world.SetCameraBounds(x1, 0, x1 + world.viewWidth / world.tileWidth, world.mapHeight);
        a.ChangeAnimation(kRoar, false);
        world.playerControl = 0;
        if (p.StateWord(PlayerWord::kStance) == PlayerWord::kStanceLow) {
            p.SetAnimation(kPlayerLeaveLow, false);
            p.SetStateWord(PlayerWord::kStance, kPlayerStoodUp);
            p.vx = p.ax = p.targetVx = 0;
        }
        p.SetStateWord(kLowStanceForbidden, 1);
    }

    // The death releases one wait for the boss; the body stays on its last
    // frame through the closing words.
    void Dying() {
        s[kTimer] = EnemyKit::Drop(s[kTimer], dt);
        if (!a.IsAnimationDone() || s[kTimer] > 0 || !ActorKit::ScriptWaiting()) return;
        ActorKit::TellScript();
        s[kPhase] = kGone;
    }

    // A later wait for the dead boss ends at once; the waits that later
    // commands hold for others are not the boss's to release.
    void Gone() {
        if (ActorKit::ScriptWaiting() && world.waitingActor == &a) ActorKit::TellScript();
    }

    CActor& a;
    std::vector<int32_t>& s;
    CGameWorld& world;
    CActor& p;
    int32_t dt;
    bool expired = false;
};

}  // namespace

void CActor::UpdateType41(int32_t dt) {
    CGameWorld* world = ActorKit::World();
    CActor* p = ActorKit::Player();
    if (world != nullptr && p != nullptr) Boss41(*this, *world, *p, dt).Update();
}
