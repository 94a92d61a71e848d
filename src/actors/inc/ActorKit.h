#ifndef ACTORKIT_H
#define ACTORKIT_H

#include <cstdint>

class CActor;
class CGameInput;
class CGameWorld;

// The small pieces every behaviour routine repeats: reaching the world, the
// player and the keys, the box tests between two actors, countdowns in
// state words, putting the player beside a solid actor, telling a waiting
// script, and making shots, strikes and pickups. Everything here does
// nothing (or answers false) when the world, the player or a sprite is
// missing, so the behaviours need no guards of their own for those.
namespace ActorKit {

// Attack-box kinds of the box tests: the attack box, and "box 2".
constexpr int32_t kAttackBox = 1;
constexpr int32_t kSecondBox = 2;

CGameWorld* World();
CActor* Player();
CGameInput* Input();

// A's collision box overlaps B's.
bool Touches(const CActor* a, const CActor* b);
// The victim's collision box overlaps the attacker's box of the given
// kind, read from the attacker's current frame.
bool StruckBy(const CActor* victim, CActor* attacker, int32_t kind = kAttackBox);
// The player is shielded while its stance word has the immune bit.
bool PlayerShielded();
// The actor's current move hurts the player.
bool HurtPlayer(CActor* a);

// A countdown in a state word that runs while positive: true on the
// frame it drops below 1 (the word then reads 0).
bool Expired(CActor* a, int32_t word, int32_t dt);
// A countdown that runs while it is at least 1: true whenever it is
// below 1 after this frame.
bool RunDown(CActor* a, int32_t word, int32_t dt);

// The x (22.10) that puts the player's collision box against the left
// or the right edge of the actor's box, moved further by nudge units.
int32_t BesideLeft(const CActor* a, const CActor* player, int32_t nudge);
int32_t BesideRight(const CActor* a, const CActor* player, int32_t nudge);

// Sets the waiting script command done and lets the world forget it;
// nothing when no command waits.
bool ScriptWaiting();
void TellScript();

void PlaySound(int32_t id);

// A visible type-48 shot on the projectile sprite at a pixel; the
// caller sets its fields and then queues it.
CActor* NewShot(int32_t px, int32_t py);
// A type-9 strike with its variant, 1500 ms before it strikes, made at
// the middle of the player's height and queued; null without a player.
CActor* CallStrike(CActor* caller, int32_t variant);
// A type-25 pickup hopping out of the dropper, queued.
CActor* DropPickup(const CActor* dropper);
// The collision box's pixel rows and columns at the actor's position.
int32_t BoxLeft(const CActor* a);
int32_t BoxTop(const CActor* a);
int32_t BoxBottom(const CActor* a);
}  // namespace ActorKit

#endif
