#include <algorithm>

#include "ActorUnits.h"
#include "CActor.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"

namespace {

using ActorUnits::FromPixels;
using ActorUnits::MulDiv;
using ActorUnits::ToPixels;

constexpr int32_t kMsPerSecond = 1000;
constexpr int32_t kTwiceMsPerSecond = 2000;
// The player's word cleared before it looks for a carrier.
constexpr int32_t kCarrierWord = 5;

// The acceleration always points towards the target speed.
int32_t TowardsTarget(int32_t v, int32_t a, int32_t target) {
    if ((v < target && a < 0) || (v > target && a > 0)) return -a;
    return a;
}

// Distance in a frame, uniformly accelerated while the target is not met.
int32_t Displacement(int32_t v, int32_t a, int32_t target, int32_t dt) {
    if (a == 0 || v == target) return MulDiv(v, dt, kMsPerSecond);
    return MulDiv(v + MulDiv(a, dt, kTwiceMsPerSecond), dt, kMsPerSecond);
}

// The speed after a frame of acceleration, held at the target once reached.
int32_t Accelerate(int32_t v, int32_t a, int32_t target, int32_t dt) {
    if (a == 0) return v;
    v += MulDiv(a, dt, kMsPerSecond);
    if ((a > 0 && v >= target) || (a < 0 && v <= target)) v = target;
    return v;
}

const CSpriteInstance::Box kNoBox = {0, 0, 1, 1};

// True when any of the rows first..last of the column is solid.
template <typename Solid>
bool SolidInRows(int32_t col, int32_t first, int32_t last, const Solid& solid) {
    for (int32_t row = first; row <= last; ++row) {
        if (solid(col, row)) return true;
    }
    return false;
}

const CSpriteInstance::Box& BoxOf(const CActor& a) { return a.sprite ? a.sprite->GetCollisionBox() : kNoBox; }

}  // namespace

void CActor::UpdatePhysics(int32_t dt) {
    if (gravity != 0) ay = gravity;
    ax = TowardsTarget(vx, ax, targetVx);
    ay = TowardsTarget(vy, ay, targetVy);
    const int32_t dx = Displacement(vx, ax, targetVx, dt);
    const int32_t dy = Displacement(vy, ay, targetVy, dt);
    prevY = y;
    prevX = x;
    x += dx;
    y += dy;
    onGround = 0;
    onActor = 0;
    if (collisionFlags != 0) {
        const bool platforms = (collisionFlags & kCollideLanding) != 0;
        const bool vertical = (collisionFlags & (kCollideLanding | kCollideSolid)) != 0;
        SetPosition(x, y);
        CGameWorld* world = GetWorld();
        if (vertical && world != nullptr && world->player == this) LandOnCarriers(platforms);
        CollideWithTiles(platforms, vertical);
    }
    SetPosition(x, y);
    UpdateSpeeds(dt);
}

// The player stands on the carrier it came down onto; the carrier nearest
// the end of the active list wins and takes the player along.
void CActor::LandOnCarriers(bool platforms) {
    CGameWorld* world = GetWorld();
    SetStateWord(kCarrierWord, 0);
    if (!platforms || !world->activeList || !sprite) return;
    const CSpriteInstance::Box& box = BoxOf(*this);
    const int32_t bottom = box[CSpriteInstance::kBoxY] + box[CSpriteInstance::kBoxHeight];
    const int32_t prevBottom = prevY + FromPixels(bottom);
    for (int32_t i = world->activeList->size() - 1; i >= 0; --i) {
        CActor* a = world->activeList->elementAt(i);
        if (a == nullptr || a == this || a->createFlag == 0 || !a->sprite) continue;
        const CSpriteInstance::Box& other = BoxOf(*a);
        const int32_t otherTop = a->prevY + FromPixels(other[CSpriteInstance::kBoxY]);
        const int32_t otherBottom = otherTop + FromPixels(other[CSpriteInstance::kBoxHeight]);
        if (prevBottom > otherTop && prevBottom > otherBottom) continue;
        if (!CSpriteInstance::Overlaps(*sprite, *a->sprite)) continue;
        y = a->y + FromPixels(other[CSpriteInstance::kBoxY] - bottom);
        vy = 0;
        x += a->x - a->prevX;
        onGround = 1;
        onActor = 1;
        return;
    }
}

void CActor::CollideWithTiles(bool platforms, bool vertical) {
    CGameWorld* world = GetWorld();
    if (world == nullptr) return;
    const CSpriteInstance::Box& box = BoxOf(*this);
    const int32_t bx = box[CSpriteInstance::kBoxX];
    const int32_t by = box[CSpriteInstance::kBoxY];
    const int32_t bw = box[CSpriteInstance::kBoxWidth];
    const int32_t bh = box[CSpriteInstance::kBoxHeight];
    const int32_t tw = world->tileWidth;
    const int32_t th = world->tileHeight;
    if (tw <= 0 || th <= 0) return;
    const int32_t prevBottomRow = (ToPixels(prevY - 1) + by + bh) / th;
    const int32_t newBottomPixel = ToPixels(y - 1) + by + bh;
    const int32_t newBottomRow = newBottomPixel / th;
    const int32_t prevTopRow = (ToPixels(prevY) + by) / th;
    const int32_t newTopRow = (ToPixels(y) + by) / th;
    const int32_t left = ToPixels(x) + bx;
    int32_t leftCol = left / tw - (left < 0 ? 1 : 0);
    int32_t rightCol = (left + bw) / tw;
    auto solid = [world](int32_t col, int32_t row) {
        return !world->TileHasFlag(world->GetTile(col, row), CGameWorld::kTilePassable);
    };
    if ((collisionFlags & kCollideHorizontal) != 0 && x != prevX) {
        // Every column the leading edge entered this frame is tested: a step
        // wider than a tile would otherwise carry the body through a wall.
        const bool right = x > prevX;
        const int32_t prevLeft = ToPixels(prevX) + bx;
        const int32_t prevEdgeCol = right ? (prevLeft + bw) / tw : prevLeft / tw - (prevLeft < 0 ? 1 : 0);
        const int32_t step = right ? 1 : -1;
        const int32_t lastCol = right ? rightCol : leftCol;
        const int32_t firstCol = right ? std::min(prevEdgeCol + 1, lastCol) : std::max(prevEdgeCol - 1, lastCol);
        for (int32_t col = firstCol; col != lastCol + step; col += step) {
            if (!SolidInRows(col, prevTopRow, prevBottomRow, solid)) continue;
            x = right ? FromPixels(col * tw - bw - bx) - 1 : FromPixels((col + 1) * tw - bx);
            const int32_t snapped = ToPixels(x) + bx;
            leftCol = snapped / tw - (snapped < 0 ? 1 : 0);
            rightCol = (snapped + bw) / tw;
            vx = 0;
            targetVx = 0;
            break;
        }
    }
    if (!vertical || newBottomPixel >= world->mapHeightPx) return;
    if (prevBottomRow < newBottomRow) {
        const bool lands = platforms ? (world->TileHasFlag(world->GetTile(leftCol, newBottomRow), CGameWorld::kTilePlatform) ||
                                        world->TileHasFlag(world->GetTile(rightCol, newBottomRow), CGameWorld::kTilePlatform))
                                     : (solid(leftCol, newBottomRow) || solid(rightCol, newBottomRow));
        if (lands) {
            y = FromPixels(newBottomRow * th - (by + bh));
            vy = 0;
            onGround = 1;
        }
    } else if (prevTopRow > newTopRow && (solid(leftCol, newTopRow) || solid(rightCol, newTopRow))) {
        y = FromPixels((newTopRow + 1) * th - by);
        vy = 0;
    }
}

void CActor::UpdateSpeeds(int32_t dt) {
    vy = Accelerate(vy, ay, targetVy, dt);
    vx = Accelerate(vx, ax, targetVx, dt);
}
