#include <initializer_list>

#include "ActorUnits.h"
#include "CActor.h"
#include "CGameInput.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"

namespace {

using ActorUnits::kPerPixel;

struct KnockBack {
    int32_t vx;  // pixels per second, times the hit direction
    int32_t vy;  // pixels per second
};

// By the reaction flag of the player's move, for each player form.
constexpr KnockBack kFormAKnockBack[CActor::kHurtAnimCount] = {{0, 0}, {0, 0}, {100, -20}, {100, -20}, {80, -40}};
constexpr KnockBack kFormBKnockBack[CActor::kHurtAnimCount] = {{0, 0}, {40, -210}, {100, -20}, {0, 0}, {100, -20}};
// What an enemy's move does to the player, by its reaction flag.
constexpr int32_t kPlayerKnockFlagFar = 2;
constexpr int32_t kPlayerKnockFlagNear = 3;
constexpr KnockBack kPlayerKnockFar = {300, -20};
constexpr KnockBack kPlayerKnockNear = {80, -40};

constexpr int32_t kShotVictimAwake = 10;
constexpr int32_t kShotVictimImmune = 13;
constexpr int32_t kStrikeDamage = 800;
constexpr int32_t kStrikeLargeDamage = 1000;
constexpr int32_t kThrownShotDamage = 500;
constexpr int32_t kFlyingBossStun = 1000;
constexpr int32_t kPushedOutAnimation = 3;
constexpr int32_t kShotHurtAnimation = 10;
constexpr int32_t kProtectedDefeat = 25;
constexpr int32_t kDoubleDamagePercent = 200;

bool IsOneOf(int32_t type, std::initializer_list<int32_t> types) {
    for (int32_t t : types) {
        if (type == t) return true;
    }
    return false;
}

bool KeepsFacingWhenHit(int32_t type) {
    using namespace ActorType;
    return IsOneOf(type,
                   {kBoss35, kBossPart36, kFlyingBoss, kLargeEnemy3, kLargeEnemy67, kSwitch28, kSwitch51, kSwitch55});
}

bool ShrugsOffMines(int32_t type) {
    using namespace ActorType;
    return IsOneOf(type, {kSwitch28, kSwitch51, kSwitch55, kLargeEnemy67});
}

}  // namespace

void CActor::TurnFrom(int32_t direction) { facing = direction != 1 ? 1 : 0; }

void CActor::PlayHurt(int32_t reaction) {
    if (reaction < 0 || reaction >= static_cast<int32_t>(hurtAnims.size())) return;
    const int8_t animation = hurtAnims[static_cast<size_t>(reaction)];
    if (animation != kNoAnimation) SetAnimation(animation, false);
}

bool CActor::CollideWithActors() {
    CGameWorld* world = GetWorld();
    if (world == nullptr || !world->collisionList || !sprite) return false;
    CGameWorld::ActorList& list = *world->collisionList;
    for (int32_t i = 0; i < list.size(); ++i) {
        CActor* other = list.elementAt(i);
        if (other == this || !other->sprite) continue;
        if (CollideWith(other)) return true;
    }
    return false;
}

// One pair of the collision list; true when a hit was applied.
bool CActor::CollideWith(CActor* o) {
    using namespace ActorType;
    const CSpriteInstance& mine = *sprite;
    CSpriteInstance& theirs = *o->sprite;
    if (type == kLargeEnemy67 && o->type != kPooledShot && o->type != kRemote) {
        if ((o->type == kDoor50 || o->type == kDoor54) && CSpriteInstance::Overlaps(mine, theirs) && hitPoints >= 1) {
            const int32_t offset = o->x > x ? theirs.GetBoxX() - mine.GetBoxX() - mine.GetBoxWidth()
                                            : theirs.GetBoxX() + theirs.GetBoxWidth() - mine.GetBoxX();
            x = o->x + ActorUnits::FromPixels(offset) + 1;
        }
        return false;
    }
    if (o->type == kPooledShot && o->StateWord(1) != 0 && o->StateWord(1) != 2) return false;
    if (o->type == kFlyingMine && o->StateWord(0) == 5 && CSpriteInstance::Overlaps(mine, theirs)) {
        o->SetStateWord(0, 1);
        o->SetStateWord(1, 200);
        o->vx = o->vy = 0;
        return false;
    }
    if (o->type == kSpikeTrap && (type == kBlock19 || type == kBlock61) && CSpriteInstance::Overlaps(mine, theirs)) {
        o->depth = 0;
        o->SetAnimation(4, false);
        o->SetStateWord(1, o->StateWord(2) != 0 ? 200 : 100);
    }
    if (!CSpriteInstance::AttackOverlaps(mine, theirs, CSpriteInstance::kFirstAttackKind)) return false;
    OnHit(o);
    return true;
}

int32_t CActor::OnHit(CActor* attacker) {
    using namespace ActorType;
    if (hitPoints <= 0) return 0;
    if (attacker->type != kRemote) hitDir = attacker->facing != 0 ? 1 : -1;
    if (!KeepsFacingWhenHit(type)) TurnFrom(hitDir);
    switch (attacker->type) {
        case kPlayerFormA:
        case kPlayerFormB:
            return HitByPlayer(attacker);
        case kPartner:
            hitPoints = 0;
            return -1;
        case kPooledShot:
            HitByPooledShot(attacker);
            return -1;
        case kRemote:
            HitByStrike(attacker);
            return -1;
        case kPot:
        case kFlyingMine:
            if (!ShrugsOffMines(type)) hitPoints = 0;
            return -1;
        case kRock:
            if (attacker->StateWord(0) == 1) {
                hitPoints = 0;
                if (attacker->IsAnimation(1)) attacker->ChangeAnimation(2, false);
            }
            return -1;
        case kThrownShot:
            hitPoints -= kThrownShotDamage;
            if (type == kFlyingBoss) {
                SetStateWord(6, kFlyingBossStun);
                SetStateWord(7, 0);
            }
            return -1;
        default:
            return -1;
    }
}

int32_t CActor::HitByPlayer(CActor* attacker) {
    const AttackMove* move = attacker->CurrentMove();
    if (move == nullptr) return -1;
    CGameWorld* world = GetWorld();
    if (attacker->type == ActorType::kPlayerFormA && world != nullptr &&
        (attacker->IsAnimation(27) || attacker->IsAnimation(24) || attacker->IsAnimation(25))) {
        world->promptSuccess = 0;
    }
    const int32_t flag = move->reaction;
    int32_t damage = move->damage;
    if (attacker->StateWord(PlayerWord::kPower) > 0) damage = damage * kDoubleDamagePercent / 100;
    hitPoints -= damage;
    const KnockBack* table = attacker->type == ActorType::kPlayerFormA ? kFormAKnockBack : kFormBKnockBack;
    const KnockBack knock = flag < kHurtAnimCount ? table[flag] : KnockBack{0, 0};
    if (type == ActorType::kLargeEnemy3) TurnFrom(hitDir);
    PlayHurt(flag);
    if (attacker->StateWord(PlayerWord::kMoveSet) == 1 && hitPoints <= 0 && world != nullptr &&
        world->promptStatus != 0 && ActorType::IsLargeEnemy(type)) {
        world->EndKeyPrompt(false);
    }
    vx = hitDir * knock.vx * kPerPixel;
    ax = 0;
    targetVx = 0;
    vy = knock.vy * kPerPixel;
    return flag;
}

void CActor::HitByPooledShot(CActor* shot) {
    const int32_t damage = shot->moves.empty() ? 0 : shot->moves[0].damage;
    const int32_t flag = shot->moves.empty() ? 0 : shot->moves[0].reaction;
    if (type == ActorType::kLargeEnemy67) {
        if (StateWord(0) == kShotVictimAwake) {
            SetAnimation(kPushedOutAnimation, false);
            hitPoints -= damage;
            vx = 0;
        } else if (StateWord(0) != kShotVictimImmune) {
            SetAnimation(kShotHurtAnimation, false);
            vx = 0;
        }
        shot->Remove(true);
        return;
    }
    if (type != ActorType::kLargeEnemy3) PlayHurt(flag);
    hitPoints -= damage;
    shot->Remove(true);
    TurnFrom(hitDir);
}

void CActor::HitByStrike(CActor* strike) {
    using namespace ActorType;
    if (type == kBoss35) {
        hitPoints -= kStrikeDamage;
        PlayHurt(strike->moves.empty() ? 0 : strike->moves[0].reaction);
    } else if (type == kBossPart36) {
        hitPoints -= kStrikeDamage;
    } else if (IsOneOf(type, {kLargeEnemy67, kLargeEnemy59, kLargeEnemy3, kLargeEnemy1})) {
        hitPoints -= kStrikeLargeDamage;
        if (type == kLargeEnemy67) SetAnimation(kPushedOutAnimation, false);
    } else if (!ShrugsOffMines(type)) {
        hitPoints = 0;
    }
}

bool CActor::AttackPlayer(CActor* attacker) {
    using namespace PlayerWord;
    CGameWorld* world = GetWorld();
    CActor* p = world != nullptr ? world->player : nullptr;
    if (p == nullptr || attacker == nullptr) return false;
    if (p->StateWord(kMode) == kModeHeld) return false;
    if (p->hitPoints < 1) {
        ResetPlayerAttack();
        return false;
    }
    const int32_t stance = p->StateWord(kStance);
    if ((stance & kStanceImmuneBit) != 0 || p->StateWord(kPower) > 0 || p->StateWord(kHurtRecovery) != 0) return false;
    hitDir = p->facing != 0 ? -1 : 1;
    if (stance != kStanceNormal && stance != kStanceLow) {
        p->SetStateWord(kHurtRecovery, 1);
        p->SetStateWord(kBlink, p->StateWord(kBlinkReload));
        p->hitPoints -= attacker->StateWord(kContactDamage);
        if (CGameInput* input = world->GetInput()) input->Release(~0u);
        ResetPlayerAttack();
        return true;
    }
    const AttackMove* move = attacker->CurrentMove();
    if (move == nullptr) {
        ResetPlayerAttack();
        return false;
    }
    const int32_t damage = stance == kStanceLow ? (move->damage < 2 ? 1 : move->damage >> 1) : move->damage;
    p->hitPoints -= damage;
    if (stance == kStanceNormal && p->StateWord(kMode) != kModeFormBSpecial) p->SetStateWord(kMode, kModeHurt);
    p->SetStateWord(kHurtRecovery, 1);
    p->SetStateWord(kBlink, p->StateWord(kBlinkReload));
    if (p->hitPoints < 1) {
        if (p->StateWord(kProtected) != 1) {
            p->SetStateWord(kDeathCountdown, kDeathFrames);
            world->playerDead = 1;
            p->SetAnimation(p->typeValue, false);
        } else {
            p->SetStateWord(kMode, kModeHeld);
            p->SetAnimation(kProtectedDefeat, true);
        }
        return false;
    }
    KnockBack knock = {0, 0};
    if (move->reaction == kPlayerKnockFlagFar) knock = kPlayerKnockFar;
    if (move->reaction == kPlayerKnockFlagNear) knock = kPlayerKnockNear;
    const int32_t knockVx = hitDir * knock.vx * kPerPixel;
    const int32_t knockVy = knock.vy * kPerPixel;
    if (stance == kStanceNormal) {
        p->PlayHurt(move->reaction);
        if (p->type != ActorType::kPlayerFormB) {
            SetPlayerTarget(0, true, 0);
        } else if (p->StateWord(kMode) == kModeFormBSpecial) {
            SetPlayerTarget(25, true, kModeFormBSpecial);
            p->vx = knockVx;
            p->vy = knockVy;
            p->ax = 0;
            return true;
        } else {
            SetPlayerTarget(2, true, 0);
        }
    }
    p->vx = knockVx;
    p->vy = knockVy;
    p->ax = 0;
    ResetPlayerAttack();
    return true;
}
