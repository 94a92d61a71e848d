#include "CSpriteInstance.h"

#include "AppWorld.h"
#include "CGameWorld.h"

bool CSpriteInstance::IsEmptyBox(const Box& box) { return box[kBoxWidth] < 1 && box[kBoxHeight] < 1; }

bool CSpriteInstance::PlacedOverlap(int32_t ax, int32_t ay, const Box& a, int32_t bx, int32_t by, const Box& b) {
    if (IsEmptyBox(a) || IsEmptyBox(b)) return false;
    const int32_t aLeft = ax + a[kBoxX];
    const int32_t aTop = ay + a[kBoxY];
    const int32_t bLeft = bx + b[kBoxX];
    const int32_t bTop = by + b[kBoxY];
    return !(aLeft > bLeft + b[kBoxWidth] || aLeft + a[kBoxWidth] < bLeft || aTop > bTop + b[kBoxHeight] ||
             aTop + a[kBoxHeight] < bTop);
}

bool CSpriteInstance::Overlaps(const CSpriteInstance& a, const CSpriteInstance& b) {
    return PlacedOverlap(a.x, a.y, a.collisionBox, b.x, b.y, b.collisionBox);
}

bool CSpriteInstance::OverlapsRect(const CSpriteInstance& a, const CSpriteInstance& b, const Box& rect) {
    return PlacedOverlap(a.x, a.y, a.collisionBox, b.x, b.y, rect);
}

bool CSpriteInstance::AttackOverlaps(const CSpriteInstance& a, CSpriteInstance& b, int32_t kind) {
    if (kind == kNoAttack) return false;
    if (kind >= kFirstAttackKind && kind <= kLastAttackKind) {
        b.UpdateAttackBox(kind + kAttackAttributeBase);
        return PlacedOverlap(a.x, a.y, a.collisionBox, b.x, b.y, b.attackBox);
    }
    return PlacedOverlap(a.x, a.y, a.collisionBox, b.x, b.y, b.collisionBox);
}

bool CSpriteInstance::IsOffScreen(const CSpriteInstance& s, int32_t viewX, int32_t viewY, int32_t marginX,
                                  int32_t marginY) {
    const CGameWorld* world = GetAppWorld();
    const int32_t viewWidth = world != nullptr ? world->viewWidth : 0;
    const int32_t viewHeight = world != nullptr ? world->viewHeight : 0;
    const int32_t w = viewWidth + 2 * marginX;
    const int32_t h = viewHeight + 2 * marginY;
    if (w < 1 && h < 1) return true;
    const int32_t left = viewX - marginX;
    const int32_t top = viewY - marginY;
    const int32_t boxX = s.x + s.collisionBox[kBoxX];
    const int32_t boxY = s.y + s.collisionBox[kBoxY];
    return boxX > left + w || boxX + s.collisionBox[kBoxWidth] < left || boxY > top + h ||
           boxY + s.collisionBox[kBoxHeight] < top;
}
