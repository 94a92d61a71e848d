#include <algorithm>

#include "ActorTypes.h"
#include "ActorUnits.h"
#include "CActor.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"

namespace {

// A camera step never passes its target.
int32_t StepTowards(int32_t current, int32_t target, int32_t step) {
    const int32_t moved = current + step;
    return step > 0 ? std::min(moved, target) : std::max(moved, target);
}

int32_t Sign(int32_t v) { return (v > 0) - (v < 0); }

}  // namespace

void CGameWorld::SetCameraBounds(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    cameraMinX = std::min(x1 * tileWidth, x2 * tileWidth - viewWidth - 1);
    cameraMinY = std::min(y1 * tileHeight, y2 * tileHeight - viewHeight - 1);
    cameraSpanX = std::max((x2 - x1) * tileWidth, viewWidth + 1);
    cameraSpanY = std::max((y2 - y1) * tileHeight, viewHeight + 1);
    if (tileWidth == 0 || tileHeight == 0) return;
    windowX1 = (cameraMinX + 1) / tileWidth;
    windowY1 = (cameraMinY + 1) / tileHeight;
    windowX2 = (cameraMinX + cameraSpanX) / tileWidth;
    windowY2 = (cameraMinY + cameraSpanY) / tileHeight;
}

void CGameWorld::SetTileData(int32_t width, int32_t height, std::vector<uint8_t> layer,
                             std::vector<std::vector<uint8_t>> types) {
    collisionWidth = width;
    collisionHeight = height;
    collisionLayer = std::move(layer);
    collisionLayer.resize(static_cast<size_t>(std::max(width, 0)) * static_cast<size_t>(std::max(height, 0)));
    tileTypes = std::move(types);
    tileTypeCount = std::max(static_cast<int32_t>(tileTypes.size()) - 4, 0);
    borderAbove = tileTypeCount + 1;
    borderBeside = tileTypeCount + 2;
    borderBelow = tileTypeCount + 3;
}

// Outside the map window the border codes apply; so they do outside the
// collision layer itself, which the window may overhang.
int32_t CGameWorld::GetTile(int32_t tx, int32_t ty) const {
    if (ty < windowY1 || ty < 0) return borderAbove;
    if (ty >= windowY2 || ty >= collisionHeight) return borderBelow;
    if (tx < windowX1 || tx >= windowX2 || tx < 0 || tx >= collisionWidth) return borderBeside;
    return collisionLayer[static_cast<size_t>(ty) * static_cast<size_t>(collisionWidth) + static_cast<size_t>(tx)];
}

bool CGameWorld::TileHasFlag(int32_t code, int32_t flag) const { return GetTileFlag(code, flag) == 1; }

int32_t CGameWorld::GetTileFlag(int32_t code, int32_t flag) const {
    if (code < 0 || code >= static_cast<int32_t>(tileTypes.size()) || flag < 0) return 0;
    const std::vector<uint8_t>& bytes = tileTypes[static_cast<size_t>(code)];
    return flag < static_cast<int32_t>(bytes.size()) ? static_cast<int8_t>(bytes[static_cast<size_t>(flag)]) : 0;
}

void CGameWorld::SetTileFlag(int32_t code, int32_t flag, int32_t value) {
    if (code < 0 || code >= static_cast<int32_t>(tileTypes.size()) || flag < 0) return;
    std::vector<uint8_t>& bytes = tileTypes[static_cast<size_t>(code)];
    if (flag < static_cast<int32_t>(bytes.size())) bytes[static_cast<size_t>(flag)] = value != 0 ? 1 : 0;
}

void CGameWorld::SetShake(int32_t time, int32_t amplitudeX, int32_t amplitudeY, bool fixed) {
    shakeTime = time;
    shakeAmplitudeX = amplitudeX;
    shakeAmplitudeY = amplitudeY;
    shakeFixed = fixed ? 1 : 0;
}

int32_t CGameWorld::ShakeStep(int32_t offset, int32_t amplitude, bool fixed, int32_t low) {
    const int32_t size = fixed ? amplitude : Random(low, amplitude);
    return offset >= 0 ? -size : size;
}

void CGameWorld::UpdateShake(int32_t dt) {
    shakeTime -= dt;
    if (shakeAmplitudeX > 0) shakeOffsetX = ShakeStep(shakeOffsetX, shakeAmplitudeX, shakeFixed != 0, 0);
    if (shakeAmplitudeY > 0) shakeOffsetY = ShakeStep(shakeOffsetY, shakeAmplitudeY, shakeFixed != 0, 1);
    if (shakeTime <= 0) {
        shakeOffsetX = shakeOffsetY = 0;
        shakeAmplitudeX = shakeAmplitudeY = 0;
        shakeTime = kShakeIdle;
    }
}

int32_t CGameWorld::DesiredAxis(int32_t target, int32_t limit, int32_t span, int32_t view) {
    if (span <= view) return (span - view) >> 1;
    return std::clamp(target - view / 2, limit, limit + span - view);
}

// The followed anchor is the bottom centre of the target's collision box;
// the player leads by the look-ahead towards its facing.
void CGameWorld::CameraTargetPoint(int32_t* anchorX, int32_t* anchorY, int32_t* targetX, int32_t* targetY) {
    const CActor* t = cameraTarget;
    const CSpriteInstance* s = t->sprite.get();
    const int32_t px = s != nullptr ? s->GetX() : ActorUnits::ToPixels(t->x);
    const int32_t py = s != nullptr ? s->GetY() : ActorUnits::ToPixels(t->y);
    const int32_t boxX = s != nullptr ? s->GetBoxX() : 0;
    const int32_t boxY = s != nullptr ? s->GetBoxY() : 0;
    const int32_t boxW = s != nullptr ? s->GetBoxWidth() : 0;
    const int32_t boxH = s != nullptr ? s->GetBoxHeight() : 0;
    *anchorX = px + boxX + boxW / 2;
    *anchorY = py + boxY + boxH;
    const bool isPlayer = t == player;
    *targetY = isPlayer && t->StateWord(PlayerWord::kMode) == PlayerWord::kModeAimLow ? *anchorY
                                                                                     : *anchorY - viewHeight / 10;
    if (!isPlayer) {
        lookAhead = 0;
    } else if (cameraFollow != 0 || t->vx != 0) {
        lookAhead = t->facing != 0 ? std::min(lookAhead + kLookAheadStep, kLookAheadMax)
                                   : std::max(lookAhead - kLookAheadStep, -kLookAheadMax);
    }
    *targetX = *anchorX + lookAhead;
}

void CGameWorld::UpdateCamera(int32_t dt, bool snap) {
    if (player == nullptr || player->hitPoints <= 0 || cameraFreeze != 0) return;
    const int32_t bottomLimit = cameraMinY + cameraSpanY - viewHeight;
    const int32_t rightLimit = cameraMinX + cameraSpanX - viewWidth;
    if (snap) cameraY = bottomLimit;
    cameraX = std::max(cameraX, 0);
    if (cameraX >= rightLimit) cameraX = rightLimit;
    cameraY = std::max(cameraY, 0);
    if (cameraY >= bottomLimit) cameraY = bottomLimit;

    const bool following = fixedTargetX == kNoFixedTarget;
    // A followed actor that is gone leaves the camera where it is.
    if (following && cameraTarget == nullptr) return;
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    int32_t targetX = fixedTargetX;
    int32_t targetY = fixedTargetY;
    if (following) {
        CameraTargetPoint(&anchorX, &anchorY, &targetX, &targetY);
    } else {
        cameraRelX = cameraRelY = desiredOffsetX = desiredOffsetY = 0;
    }
    const int32_t desiredX = DesiredAxis(targetX, cameraMinX, cameraSpanX, viewWidth);
    const int32_t desiredY = DesiredAxis(targetY, cameraMinY, cameraSpanY, viewHeight);
    if (snap) {
        cameraX = desiredX;
        cameraY = desiredY;
        cameraRelX = cameraRelY = desiredOffsetX = desiredOffsetY = 0;
        return;
    }

    int32_t currentX = cameraX;
    int32_t currentY = cameraY;
    int32_t goalX = desiredX;
    int32_t goalY = desiredY;
    if (following) {
        if (desiredX - anchorX != desiredOffsetX) {
            desiredOffsetX = desiredX - anchorX;
            cameraRelX = cameraX - anchorX;
        }
        if (desiredY - anchorY != desiredOffsetY) {
            desiredOffsetY = desiredY - anchorY;
            cameraRelY = cameraY - anchorY;
        }
        currentX = cameraRelX;
        currentY = cameraRelY;
        goalX = desiredOffsetX;
        goalY = desiredOffsetY;
    }

    int32_t minStep = std::max(ActorUnits::MulDiv(dt, kMinStepPerSecond, 1000), 1);
    int32_t stepX = 0;
    int32_t stepY = 0;
    if (currentX != goalX) stepX = (goalX - currentX) / 4 != 0 ? (goalX - currentX) / 4 : minStep * Sign(goalX - currentX);
    if (currentY != goalY) stepY = (goalY - currentY) / 4 != 0 ? (goalY - currentY) / 4 : minStep * Sign(goalY - currentY);
    if (cameraSpeed != kNoCameraSpeed) {
        minStep = std::max(minStep, ActorUnits::MulDiv(cameraSpeed, dt, 1000));
        stepX = std::clamp(stepX, -minStep, minStep);
        stepY = std::clamp(stepY, -minStep, minStep);
    }
    cameraArrived = 1;
    if (stepX != 0 && Sign(stepX) == Sign(goalX - currentX)) {
        currentX = StepTowards(currentX, goalX, stepX);
        cameraArrived = 0;
    }
    if (stepY != 0 && Sign(stepY) == Sign(goalY - currentY)) {
        currentY = StepTowards(currentY, goalY, stepY);
        cameraArrived = 0;
    }
    if (following) {
        cameraX = anchorX + currentX;
        cameraY = anchorY + currentY;
        cameraRelX = currentX;
        cameraRelY = currentY;
    } else {
        cameraX = currentX;
        cameraY = currentY;
    }
    cameraY = std::min(cameraY, bottomLimit);
}
