// The flying mine: hangs still until the player comes near, flies at it,
// arms and explodes; the player can strike it away or set it off.
#include <cstdlib>

#include "ActorKit.h"
#include "CActor.h"
#include "CGameInput.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"
#include "EnemyKit.h"

namespace {

using EnemyKit::kPx;

// State words.
constexpr int32_t kState = 0;
constexpr int32_t kCountdown = 1;
constexpr int32_t kFlightX = 2;
constexpr int32_t kFlightY = 3;
// States.
constexpr int32_t kWaiting = 0;
constexpr int32_t kFuse = 1;
constexpr int32_t kFlying = 3;
constexpr int32_t kArming = 4;
constexpr int32_t kKnockedAway = 5;
// Animations.
constexpr int32_t kArmingAnimation = 1;
constexpr int32_t kExplosion = 2;
constexpr int32_t kHurt = 3;
constexpr int32_t kPlayerSetOff = 5;
// Times in ms.
constexpr int32_t kFlightTime = 3000;
constexpr int32_t kArmingTime = 600;
constexpr int32_t kFuseTime = 200;
constexpr int32_t kKnockedTime = 600;
// Distances and speeds.
constexpr int32_t kWakeDistance = 96 * kPx;
constexpr int32_t kDeadZone = 4 * kPx;
constexpr int32_t kFlightSpeedPx = 80;
constexpr int32_t kFlightSpeed = kFlightSpeedPx * kPx;
constexpr int32_t kFlightCap = 120 * kPx;
constexpr int32_t kKnockSpeed = 160 * kPx;
constexpr int32_t kExplosionDepth = 5;
constexpr uint32_t kFireKey = 0x10;

int32_t Sign(int32_t v) { return v < 0 ? -1 : 1; }

class Mine {
public:
    Mine(CActor& mine, int32_t frameTime) : a(mine), dt(frameTime), world(ActorKit::World()), p(ActorKit::Player()) {}

    void Update() {
        if (a.IsAnimation(kHurt)) {
            if (a.IsAnimationDone()) a.Remove(true);
            return;
        }
        if (p == nullptr || !a.sprite || !p->sprite) return;
        if (SetOffByPlayer() || StruckByPlayer()) return;
        if (a.IsAnimation(kExplosion)) {
            Exploding();
            return;
        }
        a.state[kCountdown] = EnemyKit::Drop(a.state[kCountdown], dt);
        switch (a.state[kState]) {
            case kWaiting: Waiting(); break;
            case kFlying: Flying(); break;
            case kArming: Arming(); break;
            case kFuse: Fuse(); break;
            case kKnockedAway: KnockedAway(); break;
            default: break;
        }
    }

    // The flight speed towards a point dx, dy away (units).
    static void FlightSpeed(int32_t dx, int32_t dy, int32_t* outX, int32_t* outY) {
        const int32_t adx = std::abs(dx);
        const int32_t ady = std::abs(dy);
        int32_t sx = 0;
        int32_t sy = 0;
        if (adx < kDeadZone && ady < kDeadZone) {
        } else if (ady < kDeadZone) {
            sx = Sign(dx) * kFlightSpeed;
        } else if (adx < kDeadZone) {
            sy = Sign(dy) * kFlightSpeed;
        } else {
            sx = Sign(dx) * kFlightSpeed;
            sy = Sign(dy) * (ady * kFlightSpeedPx / adx) * kPx;
            while (std::abs(sx) + std::abs(sy) > kFlightCap) {
                sx -= sx >> 3;
                sy -= sy >> 3;
            }
        }
        *outX = sx;
        *outY = sy;
    }

private:
    bool BoxesTouch() const { return CSpriteInstance::Overlaps(*a.sprite, *p->sprite); }

    // The player standing at the mine presses fire.
    bool SetOffByPlayer() {
        CGameInput* input = world->GetInput();
        if (world->playerDead != 0 || p->StateWord(PlayerWord::kStance) != 0 || p->StateWord(PlayerWord::kMode) != 0 ||
            !BoxesTouch() || input == nullptr || !input->IsPressed(kFireKey)) {
            return false;
        }
        p->ChangeAnimation(kPlayerSetOff, false);
        p->vx = p->vy = p->ax = 0;
        p->SetStateWord(PlayerWord::kMode, PlayerWord::kModeAttacking);
        CActor::SetPlayerTarget(0, true, 0);
        return true;
    }

    bool StruckByPlayer() {
        if (!CSpriteInstance::AttackOverlaps(*a.sprite, *p->sprite, CSpriteInstance::kFirstAttackKind)) return false;
        a.vx = p->facing == 0 ? -kKnockSpeed : kKnockSpeed;
        a.state[kState] = kKnockedAway;
        a.vy = 0;
        a.state[kCountdown] = kKnockedTime;
        p->SpawnHitEffect(&a);
        return true;
    }

    void Exploding() {
        if (CSpriteInstance::AttackOverlaps(*p->sprite, *a.sprite, CSpriteInstance::kFirstAttackKind)) {
            a.AttackPlayer(&a);
        }
        if (a.IsAnimationDone()) a.Remove(true);
    }

    void Waiting() {
        const CSpriteInstance& ps = *p->sprite;
        const CSpriteInstance& ms = *a.sprite;
        const int32_t dx = p->x - a.x;
        const int32_t dy =
            (p->y - a.y) + (ps.GetBoxY() + ps.GetBoxHeight() / 2 - ms.GetBoxY() - ms.GetBoxHeight()) * kPx;
        if (a.state[kCountdown] >= 0 || std::abs(dy) >= kWakeDistance || std::abs(dx) >= kWakeDistance) return;
        FlightSpeed(dx, dy, &a.state[kFlightX], &a.state[kFlightY]);
        a.vx = a.state[kFlightX];
        a.vy = a.state[kFlightY];
        a.state[kState] = kFlying;
        a.state[kCountdown] = kFlightTime;
    }

    void Flying() {
        if (a.state[kCountdown] > 0 && !BoxesTouch()) return;
        a.state[kState] = kArming;
        a.state[kCountdown] = kArmingTime;
        a.vx = a.vy = 0;
        a.SetAnimation(kArmingAnimation, true);
    }

    void Arming() {
        if (a.state[kCountdown] >= 0) return;
        a.state[kState] = kFuse;
        a.state[kCountdown] = kFuseTime;
    }

    void Fuse() {
        if (a.state[kCountdown] < 0) Explode();
    }

    void KnockedAway() {
        if (a.state[kCountdown] >= 0) return;
        a.vx = 0;
        Explode();
    }

    void Explode() {
        a.SetDepth(kExplosionDepth);
        a.SetAnimation(kExplosion, false);
        world->PlaySound(GameSound::kHit);
    }

    CActor& a;
    int32_t dt;
    CGameWorld* world;
    CActor* p;
};

}  // namespace

void CActor::UpdateType6(int32_t dt) { Mine(*this, dt).Update(); }
