#include "EnemyKit.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "ActorKit.h"
#include "ActorUnits.h"
#include "CActor.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"

namespace EnemyKit {

namespace {

constexpr int32_t kFormAReachTiles2 = 6;  // reach in half tiles
constexpr int32_t kFormBReachTiles2 = 5;

}  // namespace

using ActorKit::Player;
using ActorKit::World;

int32_t Drop(int32_t value, int32_t dt) {
    const int64_t next = static_cast<int64_t>(value) - dt;
    return next < INT32_MIN ? INT32_MIN : static_cast<int32_t>(next);
}

int32_t PixelDistanceX(const CActor& a, const CActor& b) { return std::abs((b.x - a.x) >> ActorUnits::kShift); }

int32_t HalfPlayerHeight(const CActor& player) {
    const int32_t height = player.sprite ? player.sprite->GetBoxHeight() : 0;
    return ActorUnits::FromPixels(height >> 1);
}

int32_t MeleeReach(const CActor& player) {
    const int32_t halves = player.type == ActorType::kPlayerFormA ? kFormAReachTiles2 : kFormBReachTiles2;
    return halves * CGameWorld::kTileSize / 2;
}

bool PlayerFaces(const CActor& enemy, const CActor& player) {
    return (player.facing == 0 && player.x > enemy.x) || (player.facing != 0 && player.x < enemy.x);
}

void FlagEngaged(const CActor& enemy, CActor& player) {
    if (PlayerFaces(enemy, player)) player.SetStateWord(PlayerWord::kMeleeOnly, 1);
}

void FlagEngagedWhenClose(const CActor& enemy, bool anyHeightInAir) {
    CActor* p = Player();
    if (p == nullptr || enemy.hitPoints <= 0) return;
    const bool near = PixelDistanceX(enemy, *p) < MeleeReach(*p) && std::abs(p->y - enemy.y) < HalfPlayerHeight(*p);
    if (near || (anyHeightInAir && enemy.onGround == 0)) FlagEngaged(enemy, *p);
}

namespace {

bool BodiesTouch(const CActor& enemy, const CActor& p) { return ActorKit::Touches(&enemy, &p); }

// True when the player's box, at x, overlaps a tile that is not passable
// above its feet: there it would stand in a wall, over no floor it can land on.
bool BoxInWall(const CActor& p, int32_t x) {
    const CGameWorld* world = World();
    if (world == nullptr || p.sprite == nullptr || world->tileWidth <= 0 || world->tileHeight <= 0) return false;
    const int32_t left = ActorUnits::ToPixels(x) + p.sprite->GetBoxX();
    const int32_t top = ActorUnits::ToPixels(p.y) + p.sprite->GetBoxY();
    const int32_t bottom = ActorUnits::ToPixels(p.y - 1) + p.sprite->GetBoxY() + p.sprite->GetBoxHeight();
    const int32_t firstCol = left / world->tileWidth - (left < 0 ? 1 : 0);
    const int32_t lastCol = (left + p.sprite->GetBoxWidth()) / world->tileWidth;
    for (int32_t col = firstCol; col <= lastCol; ++col) {
        for (int32_t row = top / world->tileHeight; row <= bottom / world->tileHeight; ++row) {
            if (!world->TileHasFlag(world->GetTile(col, row), CGameWorld::kTilePassable)) return true;
        }
    }
    return false;
}

// Places the player with its box just left or right of the enemy's box;
// clearLeft and clearRight are the units left free on either side. An enemy
// against a wall (a boss's charge ends at its arena's edge) leaves no room
// on that side, so the player goes to the other one instead of into the wall.
void PlacePlayerBeside(const CActor& enemy, CActor& p, bool left, int32_t clearLeft, int32_t clearRight) {
    const int32_t leftX = ActorKit::BesideLeft(&enemy, &p, -clearLeft);
    const int32_t rightX = ActorKit::BesideRight(&enemy, &p, clearRight);
    if (left && BoxInWall(p, leftX) && !BoxInWall(p, rightX)) left = false;
    else if (!left && BoxInWall(p, rightX) && !BoxInWall(p, leftX)) left = true;
    p.x = left ? leftX : rightX;
    p.SetPosition(p.x, p.y);
    p.vx = 0;
    p.ax = 0;
}

}  // namespace

void PushPlayerOut(const CActor& enemy, bool leftWhenEqual) {
    CActor* p = Player();
    if (p == nullptr || !BodiesTouch(enemy, *p)) return;
    const bool left = leftWhenEqual ? p->x <= enemy.x : p->x < enemy.x;
    PlacePlayerBeside(enemy, *p, left, 1, kPx);
}

void PushPlayerClear(const CActor& enemy) {
    CActor* p = Player();
    if (p == nullptr || !BodiesTouch(enemy, *p)) return;
    PlacePlayerBeside(enemy, *p, p->x < enemy.x, kPx, kPx);
}

bool RammedByPlayer(CActor& enemy) {
    using namespace PlayerWord;
    CActor* p = Player();
    if (p == nullptr || p->type != ActorType::kPlayerFormA || std::abs(p->vx) <= kRamSpeed) return false;
    const bool towards = (p->vx > 0 && enemy.x > p->x) || (p->vx < 0 && enemy.x < p->x);
    if (!towards || (p->StateWord(kReserve) < 1 && p->StateWord(kCharge) < 1)) return false;
    enemy.hitPoints = 0;
    p->SetStateWord(kReserve, std::max(0, p->StateWord(kReserve) - p->StateWord(kPlayerRamCost)));
    return true;
}

bool TakePlayerStrike(CActor& enemy, int32_t* reaction) {
    using namespace PlayerWord;
    CActor* p = Player();
    if (!ActorKit::StruckBy(&enemy, p)) return false;
    CActor::SetPlayerTimedMode(true);
    const int32_t result = enemy.OnHit(p);
    if (reaction != nullptr) *reaction = result;
    p->SpawnHitEffect(&enemy);
    if (p->StateWord(kMoveSet) == 1 && enemy.hitPoints > 0 && p->type != ActorType::kPlayerFormB) {
        const int32_t step = result == kGaugeStrongHit ? kGaugeStrongStep : kGaugeStep;
        int32_t gauge = p->StateWord(kFinisherGauge) + step;
        if (gauge > kGaugeFull) gauge = kGaugeFull;
        p->SetStateWord(kFinisherGauge, gauge);
        if (gauge == kGaugeFull) World()->StartKeyPrompt(0);
    }
    return true;
}

bool StrikePlayer(CActor& enemy) {
    CActor* p = Player();
    if (!ActorKit::StruckBy(p, &enemy)) return false;
    const bool hurt = enemy.AttackPlayer(&enemy);
    enemy.SpawnHitEffect(p);
    return hurt;
}

void FireShot(CActor& enemy, int32_t kind, int32_t speed) {
    enemy.hitDir = enemy.facing != 0 ? 1 : -1;
    CGameWorld* world = World();
    if (world == nullptr) return;
    world->SpawnProjectile(&enemy, kind, enemy.hitDir * speed, 0, enemy.x, enemy.y, enemy.facing);
}

bool AtLedge(const CActor& a) {
    CGameWorld* world = World();
    if (world == nullptr || !a.sprite || a.vx == 0) return false;
    const CSpriteInstance& s = *a.sprite;
    const int32_t px = a.x >> ActorUnits::kShift;
    const int32_t column = a.vx > 0 ? (px + 1 + s.GetBoxX() + s.GetBoxWidth()) / world->tileWidth
                                    : (px - 1 + s.GetBoxX()) / world->tileWidth;
    const int32_t row = ((a.y >> ActorUnits::kShift) + 1) / world->tileHeight;
    return !world->TileHasFlag(world->GetTile(column, row), CGameWorld::kTilePlatform);
}

void StopAtLedge(CActor& a) {
    if (AtLedge(a)) a.vx = 0;
}

void StartLastAnimation(CActor& a, int32_t animation) {
    a.SetDepth(kShortDeath);
    a.SetAnimation(animation, false);
    if (CGameWorld* world = World()) world->PlaySound(GameSound::kHit);
}

}  // namespace EnemyKit
