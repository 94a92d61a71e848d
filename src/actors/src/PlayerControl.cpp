#include "PlayerControl.h"

#include "ActorUnits.h"
#include "CActor.h"
#include "CGameInput.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"

PlayerControl::PlayerControl(CActor& player, CGameWorld& gameWorld, const Gait& formGait)
    : p(player), world(gameWorld), input(gameWorld.GetInput()), gait(formGait) {}

bool PlayerControl::Standing(const CActor& player) {
    return player.StateWord(PlayerWord::kStance) == PlayerWord::kStanceNormal;
}

bool PlayerControl::LowStance(const CActor& player) {
    return player.StateWord(PlayerWord::kStance) == PlayerWord::kStanceLow;
}

// Divisions truncate; only the left column floors, so a box reaching left
// of the map reads the column before it.
void PlayerControl::ProbeTiles() {
    const int32_t tw = world.tileWidth > 0 ? world.tileWidth : CGameWorld::kTileSize;
    const int32_t th = world.tileHeight > 0 ? world.tileHeight : CGameWorld::kTileSize;
    const int32_t bx = p.sprite ? p.sprite->GetBoxX() : 0;
    const int32_t by = p.sprite ? p.sprite->GetBoxY() : 0;
    const int32_t bw = p.GetWidth();
    const int32_t bh = p.GetHeight();
    const int32_t top = ActorUnits::ToPixels(p.y) + by;
    const int32_t bottom = ActorUnits::ToPixels(p.y - 1) + by + bh;
    const int32_t left = ActorUnits::ToPixels(p.x) + bx;
    tiles.topRow = top / th;
    tiles.bottomRow = bottom / th;
    tiles.rowAbove = (top - 1) / th;
    tiles.rowBelow = (bottom + 1) / th;
    tiles.leftCol = left / tw - (left < 0 ? 1 : 0);
    tiles.rightCol = (left + bw) / tw;
    tiles.outerLeftCol = (left - 1) / tw;
    tiles.outerRightCol = (left + bw + 1) / tw;
    CActor::CheckPlayerTiles(&p, tiles.topRow, tiles.bottomRow, tiles.leftCol, tiles.rightCol, tiles.rowAbove,
                             tiles.rowBelow, tiles.outerLeftCol, tiles.outerRightCol);
}

bool PlayerControl::InputBlocked() const { return world.inputBlocked != 0; }

void PlayerControl::TickBlink() {
    using namespace PlayerWord;
    const int32_t recovery = p.StateWord(kHurtRecovery);
    if (recovery == 0 || recovery == -1) return;
    p.SetStateWord(kBlink, p.StateWord(kBlink) - 1);
    if (p.StateWord(kBlink) < 0) p.SetStateWord(kHurtRecovery, 0);
}

bool PlayerControl::RunQueuedAnimation() {
    using namespace PlayerWord;
    const int32_t queued = p.StateWord(kFollowAnimation);
    if (queued == -1) return false;
    if (!p.IsAnimationDone()) return true;
    p.ChangeAnimation(queued, p.StateWord(kFollowLoop) == 1);
    p.SetStateWord(kFollowAnimation, -1);
    p.SetStateWord(kMode, p.StateWord(kFollowValue));
    return true;
}

void PlayerControl::EndKnockBack() {
    if (!p.IsAnimationDone()) return;
    p.SetStateWord(PlayerWord::kMode, PlayerWord::kModeFree);
    p.vx = p.ax = 0;
    p.targetVx = gait.walkSpeed;
}

uint32_t PlayerControl::ReadKeys() {
    const int32_t scripted = p.StateWord(kScriptKeys);
    if (scripted != 0) return static_cast<uint32_t>(scripted);
    const int32_t tw = world.tileWidth > 0 ? world.tileWidth : CGameWorld::kTileSize;
    const int32_t th = world.tileHeight > 0 ? world.tileHeight : CGameWorld::kTileSize;
    const int32_t walkColumn = p.StateWord(kWalkColumn);
    if (walkColumn >= 0) {
        const int32_t column = (p.sprite ? p.sprite->GetScreenX() : ActorUnits::ToPixels(p.x)) / tw;
        if (column < walkColumn) return kRight;
        if (column > walkColumn) return kLeft;
        p.SetStateWord(kWalkColumn, -1);
        return 0;
    }
    const int32_t walkRow = p.StateWord(kWalkRow);
    if (walkRow >= 0) {
        const int32_t rows = walkRow - (p.sprite ? p.sprite->GetScreenY() : ActorUnits::ToPixels(p.y)) / th;
        if (rows >= 0) {
            p.SetStateWord(kWalkRow, -1);
            return 0;
        }
        return p.vy > 0 ? kUp : 0;
    }
    if (world.playerControl == 0 || input == nullptr) return 0;
    return input->held | (input->pressed & kLatchedKeys);
}

bool PlayerControl::Pressed(uint32_t bits) const { return input != nullptr && input->IsPressed(bits); }

void PlayerControl::Steer(uint32_t keys, bool autoRun) {
    const bool left = (keys & kLeft) != 0;
    const bool right = (keys & kRight) != 0;
    if (left != right) {
        if (p.StateWord(PlayerWord::kMode) == PlayerWord::kModeFree) Walk(right ? 1 : -1, autoRun);
    } else if (p.onGround != 0) {
        Stop(autoRun);
    }
}

// Standing, the player turns the way it walks; low, it crawls facing as it
// was. On the ground it turns back on the spot, without sliding on.
void PlayerControl::Walk(int32_t direction, bool autoRun) {
    if (Standing(p)) {
        p.ax = direction * gait.walkAccel;
        p.targetVx = direction * gait.walkSpeed;
        p.facing = direction > 0 ? 1 : 0;
    } else if (LowStance(p) && !autoRun) {
        p.SetStateWord(kLowHold, 0);
        p.ax = direction * gait.lowAccel;
        p.targetVx = direction * gait.lowSpeed;
    }
    if (!autoRun && p.onGround != 0 && (direction > 0 ? p.vx < 0 : p.vx > 0)) p.vx = 0;
}

// An attack holds the player where it stands, a knock-back pushes it on;
// otherwise the stance stops it: standing at once, low by braking, unless
// the low stance holds its animation.
void PlayerControl::Stop(bool autoRun) {
    const int32_t mode = p.StateWord(PlayerWord::kMode);
    if (mode == PlayerWord::kModeAttacking) {
        p.vx = p.ax = p.targetVx = 0;
    } else if (mode == kModeKnockBack) {
        p.vx = gait.knockBackVx;
        if (!gait.stanceStopsKnockBack) return;
    }
    if (autoRun) return;
    if (Standing(p)) {
        p.vx = p.ax = p.targetVx = 0;
    } else if (LowStance(p) && p.StateWord(kLowHold) == 0) {
        p.ax = p.vx != 0 ? gait.lowBrake : 0;
        p.targetVx = 0;
    }
}

// The handset copied the target speed into x when x was exactly 0; that
// jump is left out, the steering itself stays.
void PlayerControl::SteerInAir(uint32_t keys) {
    const bool upLeft = (keys & kUpLeft) != 0;
    const bool upRight = (keys & kUpRight) != 0;
    if (upLeft && upRight) {
        p.ax = p.targetVx = 0;
    } else if (upLeft) {
        p.ax = -gait.walkAccel;
        p.targetVx = -gait.walkSpeed;
        p.facing = 0;
    } else if (upRight) {
        p.ax = gait.walkAccel;
        p.targetVx = gait.walkSpeed;
        p.facing = 1;
    }
}

bool PlayerControl::TilePassable(int32_t column, int32_t row) const {
    return world.TileHasFlag(world.GetTile(column, row), CGameWorld::kTilePassable);
}

bool PlayerControl::CanStandUp() const {
    const int32_t row = tiles.bottomRow - p.StateWord(kStandHeight);
    return TilePassable(tiles.rightCol - 1, row) && TilePassable(tiles.rightCol, row + 1);
}

bool PlayerControl::CanGoLow(int32_t stillAnimation, std::initializer_list<int32_t> blockers) const {
    if (!p.IsAnimation(stillAnimation) || !p.sprite) return false;
    const int32_t tw = world.tileWidth > 0 ? world.tileWidth : CGameWorld::kTileSize;
    const int32_t th = world.tileHeight > 0 ? world.tileHeight : CGameWorld::kTileSize;
    const CSpriteInstance::Box& low = world.lowStanceBox;
    const int32_t left = ActorUnits::ToPixels(p.x) + low[CSpriteInstance::kBoxX];
    const int32_t top = ActorUnits::ToPixels(p.y) + low[CSpriteInstance::kBoxY];
    const int32_t row = top / th;
    if (!TilePassable(left / tw, row) || !TilePassable((left + low[CSpriteInstance::kBoxWidth]) / tw, row)) {
        return false;
    }
    if (!world.drawList) return true;
    for (int32_t i = 0; i < world.drawList->size(); ++i) {
        const CActor* a = world.drawList->elementAt(i);
        bool blocking = false;
        for (int32_t t : blockers) blocking = blocking || a->type == t;
        if (!blocking || !a->sprite) continue;
        // On screen: inside the camera view itself.
        if (CSpriteInstance::IsOffScreen(*a->sprite, world.cameraX, world.cameraY, 0, 0)) continue;
        if (CSpriteInstance::OverlapsRect(*a->sprite, *p.sprite, low)) return false;
    }
    return true;
}
