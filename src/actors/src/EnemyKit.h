#ifndef ENEMYKIT_H
#define ENEMYKIT_H

#include <cstdint>

class CActor;

// What the enemies and bosses share: reaching the player, the body push,
// the player's melee-only flag, taking the player's strikes with the
// finishing gauge, striking the player, the shot, the ledge stop and the
// timers that only fall. Every routine does nothing player-related when there is no player.
namespace EnemyKit {

constexpr int32_t kPx = 1024;
constexpr int32_t kShortDeath = 5;  // depth of the last death animation
constexpr int32_t kGaugeStrongHit = 4;
constexpr int32_t kGaugeStrongStep = 8;
constexpr int32_t kGaugeStep = 2;
constexpr int32_t kGaugeFull = 25;
constexpr int32_t kRamSpeed = 100 * kPx;
// The player's word of what a ram costs of its reserve.
constexpr int32_t kPlayerRamCost = 45;

// A timer that is only ever decreased: it stops at the lowest value instead
// of wrapping.
int32_t Drop(int32_t value, int32_t dt);

// Horizontal distance in whole pixels, vertical in units, and half the
// player's box height in units.
int32_t PixelDistanceX(const CActor& a, const CActor& b);
int32_t HalfPlayerHeight(const CActor& player);
// Width of the melee reach: three tiles for the first form, two and a half
// for the second.
int32_t MeleeReach(const CActor& player);

// The player faces the enemy.
bool PlayerFaces(const CActor& enemy, const CActor& player);
// Sets the player's melee-only flag when it faces the enemy.
void FlagEngaged(const CActor& enemy, CActor& player);
// The enemy's closeness rule of the large enemies: within the player's
// reach and half its height, or whenever the enemy is in the air.
void FlagEngagedWhenClose(const CActor& enemy, bool anyHeightInAir);

// The player is moved sideways out of the enemy's box; it counts as on the
// left when its x is below the enemy's (or equal, with leftWhenEqual).
void PushPlayerOut(const CActor& enemy, bool leftWhenEqual);
// The same, one pixel clear on each side.
void PushPlayerClear(const CActor& enemy);

// A charging first-form player in low stance with reserve or power kills
// the enemy outright (hit points 0) and spends its ram cost; false when the
// player does not charge at it.
bool RammedByPlayer(CActor& enemy);

// The player's strike against the enemy: timed mode, the hit, a spark and
// the finishing gauge. Returns whether the player's attack box touched.
bool TakePlayerStrike(CActor& enemy, int32_t* reaction = nullptr);
// The enemy's move against the player while the boxes touch: true when the
// player was hurt.
bool StrikePlayer(CActor& enemy);

// A pooled shot from the enemy at speed, in its facing direction.
void FireShot(CActor& enemy, int32_t kind, int32_t speed);

// True when the tile one pixel below the leading edge of a moving actor is
// not a platform: the caller stops there.
bool AtLedge(const CActor& a);
void StopAtLedge(CActor& a);

// Last step of the large enemies' deaths: the short animation in front.
void StartLastAnimation(CActor& a, int32_t animation);

}  // namespace EnemyKit

#endif
