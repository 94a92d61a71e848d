#include "ActorKit.h"

#include "ActorUnits.h"
#include "CActor.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"

namespace {

constexpr int32_t kStrikeSpriteSet = 11;
constexpr int32_t kStrikeDelayMs = 1500;
constexpr int32_t kStrikeDelayWord = 1;
constexpr int32_t kStrikeVariantWord = 2;
constexpr int32_t kPickupSpriteSet = 17;
constexpr int32_t kPickupHopVy = -160 * ActorUnits::kPerPixel;

}  // namespace

CGameWorld* ActorKit::World() { return CActor::GetWorld(); }

CActor* ActorKit::Player() {
    CGameWorld* world = World();
    return world != nullptr ? world->player : nullptr;
}

CGameInput* ActorKit::Input() {
    CGameWorld* world = World();
    return world != nullptr ? world->GetInput() : nullptr;
}

bool ActorKit::Touches(const CActor* a, const CActor* b) {
    if (a == nullptr || b == nullptr || !a->sprite || !b->sprite) return false;
    return CSpriteInstance::Overlaps(*a->sprite, *b->sprite);
}

bool ActorKit::StruckBy(const CActor* victim, CActor* attacker, int32_t kind) {
    if (victim == nullptr || attacker == nullptr || !victim->sprite || !attacker->sprite) return false;
    return CSpriteInstance::AttackOverlaps(*victim->sprite, *attacker->sprite, kind);
}

bool ActorKit::PlayerShielded() {
    const CActor* p = Player();
    return p != nullptr && (p->StateWord(PlayerWord::kStance) & PlayerWord::kStanceImmuneBit) != 0;
}

bool ActorKit::HurtPlayer(CActor* a) { return Player() != nullptr && a->AttackPlayer(a); }

bool ActorKit::Expired(CActor* a, int32_t word, int32_t dt) {
    const int32_t value = a->StateWord(word);
    if (value <= 0) return false;
    if (value - dt >= 1) {
        a->SetStateWord(word, value - dt);
        return false;
    }
    a->SetStateWord(word, 0);
    return true;
}

bool ActorKit::RunDown(CActor* a, int32_t word, int32_t dt) {
    if (a->StateWord(word) >= 1) a->SetStateWord(word, a->StateWord(word) - dt);
    return a->StateWord(word) < 1;
}

int32_t ActorKit::BesideLeft(const CActor* a, const CActor* player, int32_t nudge) {
    const int32_t offset = a->sprite->GetBoxX() - player->sprite->GetBoxX() - player->sprite->GetBoxWidth();
    return a->x + ActorUnits::FromPixels(offset) + nudge;
}

int32_t ActorKit::BesideRight(const CActor* a, const CActor* player, int32_t nudge) {
    const int32_t offset = a->sprite->GetBoxX() + a->sprite->GetBoxWidth() - player->sprite->GetBoxX();
    return a->x + ActorUnits::FromPixels(offset) + nudge;
}

bool ActorKit::ScriptWaiting() {
    const CGameWorld* world = World();
    return world != nullptr && world->waitingCommand != nullptr;
}

void ActorKit::TellScript() {
    if (CGameWorld* world = World()) world->ReleaseWaitingCommand();
}

void ActorKit::PlaySound(int32_t id) {
    if (const CGameWorld* world = World()) world->PlaySound(id);
}

CActor* ActorKit::NewShot(int32_t px, int32_t py) {
    CGameWorld* world = World();
    if (world == nullptr) return nullptr;
    CActor* shot = world->CreateActor(world->projectileSprite.get(), ActorType::kThrownShot, px, py, 0);
    if (shot != nullptr && shot->sprite) shot->sprite->SetVisible(true);
    return shot;
}

CActor* ActorKit::CallStrike(CActor* caller, int32_t variant) {
    CGameWorld* world = World();
    const CActor* p = Player();
    if (world == nullptr || p == nullptr) return nullptr;
    const int32_t py = ActorUnits::ToPixels(p->y) - p->GetHeight() / 2;
    CActor* strike = world->CreateEffect(kStrikeSpriteSet, ActorType::kStrikeEffect, ActorUnits::ToPixels(p->x), py, 0);
    if (strike == nullptr) return nullptr;
    strike->SetStateWord(kStrikeVariantWord, variant);
    strike->SetStateWord(kStrikeDelayWord, kStrikeDelayMs);
    strike->link = caller;
    world->QueueAddActor(strike);
    return strike;
}

// The pickup keeps its constructor's collect delay, so it cannot be taken
// while it is still hopping out.
CActor* ActorKit::DropPickup(const CActor* dropper) {
    CGameWorld* world = World();
    if (world == nullptr) return nullptr;
    CActor* pickup = world->CreateEffect(kPickupSpriteSet, ActorType::kPickup, ActorUnits::ToPixels(dropper->x),
                                         ActorUnits::ToPixels(dropper->y), 0);
    if (pickup == nullptr) return nullptr;
    if (pickup->sprite) pickup->sprite->SetVisible(true);
    pickup->collisionFlags = CActor::kCollideAll;
    pickup->vy = kPickupHopVy;
    pickup->gravity = CActor::kGravity;
    world->QueueAddActor(pickup);
    return pickup;
}

int32_t ActorKit::BoxLeft(const CActor* a) {
    return ActorUnits::ToPixels(a->x) + (a->sprite ? a->sprite->GetBoxX() : 0);
}

int32_t ActorKit::BoxTop(const CActor* a) { return ActorUnits::ToPixels(a->y) + (a->sprite ? a->sprite->GetBoxY() : 0); }

int32_t ActorKit::BoxBottom(const CActor* a) { return BoxTop(a) + a->GetHeight(); }
