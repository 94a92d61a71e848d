#include <algorithm>
#include <cstdlib>

#include "ActorKit.h"
#include "ActorUnits.h"
#include "CActor.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"

// Lifts that run along the track drawn in the tile map, blocks that the
// player lands on, pushes or kicks, launch pads and bounce pads.

namespace {

using namespace PlayerWord;
using ActorUnits::kPerPixel;

namespace Lift {
constexpr int32_t kLiftMode = 0;
constexpr int32_t kEndA = 1;
constexpr int32_t kEndB = 2;
constexpr int32_t kSpeed = 4;
constexpr int32_t kAccel = 5;
constexpr int32_t kRest = 6;
constexpr int32_t kSelfRunning = 8;
constexpr int32_t kHeading = 9;
constexpr int32_t kVertical = 0;
constexpr int32_t kHorizontal = 1;
constexpr int32_t kVerticalResting = 2;
constexpr int32_t kHorizontalResting = 3;
constexpr int32_t kUnmeasured = -1;
constexpr int32_t kTrackTile = 9;
constexpr int32_t kCruise = 40 * kPerPixel;
constexpr int32_t kAcceleration = 10 * kPerPixel;
constexpr int32_t kRestMs = 600;
constexpr int32_t kFlyerLeaveSpeed = 40 * kPerPixel;
constexpr int32_t kFlyerLeaving = 2;
constexpr int32_t kFlyerTimer = 1;
constexpr int32_t kFlyerGone = -1;
constexpr int32_t kCameraStepX = 3;
constexpr int32_t kCameraStepY = 2;
// The rider's poses while carried, by form and stance.
constexpr int32_t kFormALow = 13;
constexpr int32_t kFormAStand = 0;
constexpr int32_t kFormBLow = 12;
constexpr int32_t kFormBStand = 2;
}  // namespace Lift

namespace Block {
constexpr int32_t kOneSided = 0;
constexpr int32_t kIdleAnimation = 0;
constexpr int32_t kLandedAnimation = 1;
constexpr int32_t kPushedAnimation = 2;
constexpr int32_t kStoodOn = 43;
constexpr int32_t kHeadRoom = 3;
constexpr int32_t kKickFrom = 245761;
constexpr int32_t kKickedPlayerVx = 240 * kPerPixel;
}  // namespace Block

namespace Pad {
constexpr int32_t kUsed = 0;
constexpr int32_t kDirection = 1;
constexpr int32_t kRight = 1;
constexpr int32_t kLaunchVy = -200 * kPerPixel;
constexpr int32_t kLaunchVx = 300 * kPerPixel;
constexpr int32_t kLaunchAnimation = 19;
// Both forms fall once the launch pose ends, back in their free mode.
constexpr int32_t kFallAfterLaunch = 8;
constexpr int32_t kTouching = 0;
constexpr int32_t kHopVy = -200 * kPerPixel;
}  // namespace Pad

// Steps from (column, row) in one direction, from `first` on, while the
// tiles are track; the search ends at the map window, so it always ends.
int32_t TrackLength(const CGameWorld& world, int32_t column, int32_t row, int32_t dc, int32_t dr, int32_t first) {
    int32_t k = first;
    for (;;) {
        const int32_t c = column + k * dc;
        const int32_t r = row + k * dr;
        if (c < world.windowX1 || c >= world.windowX2 || r < world.windowY1 || r >= world.windowY2) return k;
        if (world.GetTile(c, r) != Lift::kTrackTile) return k;
        ++k;
    }
}

bool IsRider(const CActor& lift, const CActor& p) {
    if (!ActorKit::Touches(&lift, &p) || p.y < p.prevY) return false;
    if (ActorKit::BoxBottom(&p) > ActorKit::BoxTop(&lift)) return false;
    return p.StateWord(kMode) == kModeFree && p.StateWord(kStance) != kStanceImmuneBit;
}

class LiftUpdate {
public:
    LiftUpdate(CActor& lift, CGameWorld& gameWorld) : a(lift), world(gameWorld), p(gameWorld.player) {}

    void Run(int32_t dt);

private:
    bool Resting() const;
    bool RiderDriven() const { return a.StateWord(Lift::kSelfRunning) == 0; }
    void ReleaseFlyer();
    void Measure();
    void MeasureHorizontal(int32_t c, int32_t cr, int32_t r, int32_t bx, int32_t bw);
    void MeasureVertical(int32_t c, int32_t r, int32_t by);
    bool CentreRider();
    void Start();
    void HoldRider();
    void Travel();
    void SteerCamera();
    void Arrive(int32_t& position, int32_t& speed, int32_t& accel, int32_t& target, int32_t restingMode);
    void Rest(int32_t dt);

    CActor& a;
    CGameWorld& world;
    CActor* p;
};

void LiftUpdate::Run(int32_t dt) {
    if (world.partnerMode != 0) return;
    ReleaseFlyer();
    if (a.StateWord(Lift::kHeading) == Lift::kUnmeasured) Measure();
    if (Resting()) {
        Rest(dt);
        return;
    }
    const bool riding = p != nullptr && IsRider(a, *p);
    if (riding || !RiderDriven()) {
        if (RiderDriven() && !CentreRider()) return;
        Start();
    }
    Travel();
}

bool LiftUpdate::Resting() const {
    const int32_t mode = a.StateWord(Lift::kLiftMode);
    return mode == Lift::kVerticalResting || mode == Lift::kHorizontalResting;
}

// The player's flyer goes away when the player steps onto a lift.
void LiftUpdate::ReleaseFlyer() {
    using namespace Lift;
    if (p == nullptr || Resting() || !ActorKit::Touches(&a, p)) return;
    CActor* flyer = p->link;
    if (flyer == nullptr || flyer->type != ActorType::kPatrolFlyer || flyer->IsOutOfRange() ||
        flyer->StateWord(0) == kFlyerGone) {
        return;
    }
    flyer->SetStateWord(kFlyerTimer, -1);
    flyer->vy = -kFlyerLeaveSpeed;
    flyer->vx = kFlyerLeaveSpeed;
    flyer->SetStateWord(0, kFlyerLeaving);
}

void LiftUpdate::Measure() {
    using namespace Lift;
    if (!a.sprite || world.tileWidth == 0 || world.tileHeight == 0) return;
    a.sprite->UpdateCollisionBox();
    const int32_t bx = a.sprite->GetBoxX();
    const int32_t by = a.sprite->GetBoxY();
    const int32_t bw = a.sprite->GetBoxWidth();
    const int32_t px = ActorUnits::ToPixels(a.x);
    const int32_t c = (px + bx) / world.tileWidth;
    const int32_t cr = (px + bx + bw) / world.tileWidth;
    const int32_t r = (ActorUnits::ToPixels(a.y) + by) / world.tileHeight;
    const int32_t mode = a.StateWord(kLiftMode);
    if (mode == kHorizontal || mode == kHorizontalResting) {
        MeasureHorizontal(c, cr, r, bx, bw);
    } else {
        MeasureVertical(c, r, by);
    }
    a.SetStateWord(kAccel, kAcceleration);
    a.SetStateWord(kHeading, a.StateWord(kEndB));
}

// The end with more track beyond the start is the one the lift heads for.
void LiftUpdate::MeasureHorizontal(int32_t c, int32_t cr, int32_t r, int32_t bx, int32_t bw) {
    using namespace Lift;
    int32_t k = TrackLength(world, c, r, -1, 0, 0);
    const int32_t m = TrackLength(world, cr, r, 1, 0, 0);
    if (k > 0) --k;
    const int32_t left = ActorUnits::FromPixels((c - k) * world.tileWidth - bx);
    const int32_t right = ActorUnits::FromPixels((cr + m) * world.tileWidth - bx - bw);
    a.SetStateWord(kEndB, k >= m ? left : right);
    a.SetStateWord(kEndA, k >= m ? right : left);
    a.SetStateWord(kSpeed, kCruise);
    if (!RiderDriven()) a.vx = a.x - a.StateWord(kEndB) < 1 ? kCruise : -kCruise;
}

void LiftUpdate::MeasureVertical(int32_t c, int32_t r, int32_t by) {
    using namespace Lift;
    int32_t k = TrackLength(world, c, r, 0, -1, 0);
    const int32_t n = TrackLength(world, c, r, 0, 1, 1);
    if (k > 0) --k;
    const int32_t top = ActorUnits::FromPixels((r - k) * world.tileHeight - by);
    const int32_t bottom = ActorUnits::FromPixels((r + n + 1) * world.tileHeight - by);
    a.SetStateWord(kEndB, k >= n + 1 ? top : bottom);
    a.SetStateWord(kEndA, k >= n + 1 ? bottom : top);
    a.SetStateWord(kSpeed, kCruise);
    if (!RiderDriven()) a.vy = a.y - a.StateWord(kEndB) < 1 ? kCruise : -kCruise;
}

// A rider who crossed the lift's middle in its last step, or stands on it,
// is put on the middle; one further off than a sixteenth of the lift's width
// does not start it.
bool LiftUpdate::CentreRider() {
    const bool crossed = (p->prevX < a.x) != (p->x < a.x) || p->x == a.x;
    if (crossed) {
        p->SetPosition(a.x, p->y);
        return true;
    }
    return std::abs(a.x - p->x) <= ActorUnits::FromPixels(a.GetWidth() >> 4);
}

void LiftUpdate::Start() {
    using namespace Lift;
    const int32_t speed = a.StateWord(kSpeed);
    const int32_t accel = a.StateWord(kAccel);
    const int32_t heading = a.StateWord(kHeading);
    if (a.StateWord(kLiftMode) == kVertical) {
        if (a.vy != 0) return;
        const int32_t dir = a.y <= heading ? 1 : -1;
        a.ay = dir * accel;
        a.targetVy = dir * speed;
        a.vy = a.targetVy / 2;
        if (RiderDriven()) HoldRider();
        return;
    }
    if (a.StateWord(kLiftMode) != kHorizontal || a.vx != 0) return;
    if (a.x == a.StateWord(kEndA) || a.x == a.StateWord(kEndB)) {
        const int32_t dir = a.x <= heading ? 1 : -1;
        a.ax = dir * accel;
        a.targetVx = dir * speed;
        a.vx = a.targetVx / 2;
    }
    if (RiderDriven() && p != nullptr) p->SetStateWord(kMode, kModeHeld);
}

void LiftUpdate::HoldRider() {
    using namespace Lift;
    if (p == nullptr) return;
    p->SetStateWord(kMode, kModeHeld);
    const bool low = p->StateWord(kStance) != 0;
    if (p->type == ActorType::kPlayerFormB) {
        p->SetAnimation(low ? kFormBLow : kFormBStand, true);
    } else {
        p->SetAnimation(low ? kFormALow : kFormAStand, true);
    }
    p->vx = p->vy = p->ax = p->ay = 0;
}

void LiftUpdate::Travel() {
    using namespace Lift;
    if (a.StateWord(kLiftMode) == kVertical) {
        if (RiderDriven() && a.vy != 0) SteerCamera();
        const bool passed = (a.vy < 0 && a.y < a.StateWord(kHeading)) || (a.vy > 0 && a.y > a.StateWord(kHeading));
        if (passed) Arrive(a.y, a.vy, a.ay, a.targetVy, kVerticalResting);
    } else if (a.StateWord(kLiftMode) == kHorizontal) {
        const bool passed = (a.vx < 0 && a.x < a.StateWord(kHeading)) || (a.vx > 0 && a.x > a.StateWord(kHeading));
        if (passed) Arrive(a.x, a.vx, a.ax, a.targetVx, kHorizontalResting);
    }
}

// A carried player is kept in view: the camera follows the lift a few
// pixels a frame, held inside its limits.
void LiftUpdate::SteerCamera() {
    using namespace Lift;
    if (p == nullptr || !a.sprite) return;
    const int32_t dx = std::clamp(a.sprite->GetScreenX() - world.viewCentreX, -kCameraStepX, kCameraStepX);
    const int32_t dy = std::clamp(ActorKit::BoxTop(p) - world.viewCentreY, -kCameraStepY, kCameraStepY);
    world.cameraFreeze = 1;
    const int32_t rightLimit = world.cameraMinX + world.cameraSpanX - world.viewWidth;
    const int32_t bottomLimit = world.cameraMinY + world.cameraSpanY - world.viewHeight;
    world.cameraX = std::min(std::max(world.cameraX + dx, 0), rightLimit);
    world.cameraY = std::min(std::max(world.cameraY + dy, 0), bottomLimit);
}

void LiftUpdate::Arrive(int32_t& position, int32_t& speed, int32_t& accel, int32_t& target, int32_t restingMode) {
    using namespace Lift;
    speed = accel = target = 0;
    position = a.StateWord(kHeading);
    const bool atB = a.StateWord(kHeading) == a.StateWord(kEndB);
    a.SetStateWord(kHeading, atB ? a.StateWord(kEndA) : a.StateWord(kEndB));
    a.SetPosition(a.x, a.y);
    a.SetStateWord(kRest, kRestMs);
    a.SetStateWord(kLiftMode, restingMode);
    if (!RiderDriven()) return;
    if (p != nullptr) p->SetStateWord(kMode, kModeFree);
    world.cameraFreeze = 0;
    world.desiredOffsetX = world.desiredOffsetY = 0;
}

// A self-running lift waits at each end; one driven by its rider stays.
void LiftUpdate::Rest(int32_t dt) {
    using namespace Lift;
    if (RiderDriven()) return;
    a.SetStateWord(kRest, a.StateWord(kRest) - dt);
    if (a.StateWord(kRest) >= 1) return;
    a.SetStateWord(kLiftMode, a.StateWord(kLiftMode) == kVerticalResting ? kVertical : kHorizontal);
}

// A pushing player moves the block along at two thirds of its speed; a
// fast push to the right kicks it away.
void PushBlock(CActor& block, CActor& p) {
    using namespace Block;
    if (block.StateWord(kOneSided) != 0) {
        if (p.x < block.x) {
            p.SetPosition(ActorKit::BesideLeft(&block, &p, -1), p.y);
            p.vx = 0;
        } else {
            p.SetPosition(ActorKit::BesideRight(&block, &p, 1), p.y);
        }
    } else if (p.x > block.x) {
        p.SetPosition(ActorKit::BesideRight(&block, &p, -1), p.y);
        p.vx = 0;
    } else {
        p.SetPosition(ActorKit::BesideLeft(&block, &p, 1), p.y);
    }
    const int32_t v = p.vx;
    if (v < kKickFrom) {
        p.vx = ActorUnits::MulDiv(2, v, 3);
        block.vx = p.vx;
        return;
    }
    block.vx = v;
    block.ax = ActorUnits::Narrow(-2 * static_cast<int64_t>(v));
    p.ax = ActorUnits::MulDiv(3, block.ax, 2);
    p.vx = kKickedPlayerVx;
    block.targetVx = p.targetVx = 0;
}

// The player standing on the block, or walking into it.
void MeetPlayer(CActor& block, CActor& p) {
    using namespace Block;
    const int32_t blockTop = block.y + ActorUnits::FromPixels(block.sprite->GetBoxY());
    if (p.prevY <= p.y && p.vy >= 0 && p.prevY <= blockTop) {
        p.SetStateWord(kStoodOn, 1);
        p.onGround = p.onActor = 1;
        p.vy = p.targetVy = 0;
        p.SetPosition(p.x, blockTop);
        return;
    }
    const bool below = ActorKit::BoxBottom(&p) - kHeadRoom > ActorKit::BoxTop(&block);
    if (!below) return;
    const int32_t stance = p.StateWord(kStance);
    if (stance == kStanceNormal) {
        p.vx = p.ax = 0;
        const int32_t x = p.x < block.x ? ActorKit::BesideLeft(&block, &p, -kPerPixel)
                                        : ActorKit::BesideRight(&block, &p, kPerPixel);
        p.SetPosition(x, p.y);
    } else if (stance == kStanceLow) {
        PushBlock(block, p);
    }
}

}  // namespace

void CActor::UpdateType14(int32_t dt) {
    CGameWorld* world = GetWorld();
    if (world == nullptr) return;
    LiftUpdate(*this, *world).Run(dt);
}

// A kicked block slides until it has stopped; otherwise it moves only
// while it is pushed.
void CActor::UpdateType19(int32_t) {
    using namespace Block;
    if (ax == 0 || vx == 0) vx = ax = 0;
    if (IsAnimationDone()) ChangeAnimation(kIdleAnimation, true);
    if (y > prevY && onGround != 0) {
        ChangeAnimation(kLandedAnimation, false);
        return;
    }
    if (onGround != 0 && x != prevX) ChangeAnimation(kPushedAnimation, false);
    CActor* p = ActorKit::Player();
    if (p != nullptr && sprite && ActorKit::Touches(this, p)) MeetPlayer(*this, *p);
    CollideWithActors();
}

void CActor::UpdateType57(int32_t) {
    using namespace Pad;
    CActor* p = ActorKit::Player();
    if (StateWord(kUsed) != 0 || p == nullptr || p->StateWord(kStance) != kStanceLow) return;
    if (!ActorKit::Touches(this, p) || p->vx == 0 || p->onGround == 0) return;
    const bool padRight = StateWord(kDirection) == kRight;
    if ((p->vx > 0) != padRight) return;
    p->vy = kLaunchVy;
    p->vx = padRight ? kLaunchVx : -kLaunchVx;
    p->ax = 0;
    p->SetAnimation(kLaunchAnimation, false);
    p->SetStateWord(kStance, kStanceNormal);
    p->SetStateWord(kMode, kModeHeld);
    SetStateWord(kUsed, 1);
    SetPlayerTarget(kFallAfterLaunch, false, kModeFree);
}

void CActor::UpdateType46(int32_t) {
    using namespace Pad;
    CActor* p = ActorKit::Player();
    if (p == nullptr) return;
    if (ActorKit::StruckBy(p, this, ActorKit::kSecondBox)) StartType69Display();
    const bool touching = ActorKit::Touches(this, p);
    if (StateWord(kTouching) == 1) {
        if (!touching) SetStateWord(kTouching, 0);
        return;
    }
    if (!touching) return;
    SetStateWord(kTouching, 1);
    if (p->onGround != 0) p->vy = kHopVy;
}
