#include "CActor.h"

#include "ActorUnits.h"
#include "CAssert.h"
#include "AppWorld.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"

namespace {

constexpr int32_t kMirrored = 2;

}  // namespace

CActor::~CActor() = default;

CGameWorld* CActor::GetWorld() { return GetAppWorld(); }

int32_t CActor::GetWidth() const { return sprite ? sprite->GetWidth() : 0; }

int32_t CActor::GetHeight() const { return sprite ? sprite->GetHeight() : 0; }

void CActor::SetPosition(int32_t unitsX, int32_t unitsY) {
    x = unitsX;
    y = unitsY;
    if (sprite) sprite->SetPosition(ActorUnits::ToPixels(x), ActorUnits::ToPixels(y));
}

// Puts the chosen point of the collision box at the pixel; halves are
// arithmetic shifts, so odd sizes round the same way on both sides.
void CActor::SetPositionAnchored(int32_t px, int32_t py, int32_t anchor) {
    const int32_t centreX = sprite ? sprite->GetCentreX() : 0;
    const int32_t centreY = sprite ? sprite->GetCentreY() : 0;
    const int32_t halfW = GetWidth() >> 1;
    const int32_t halfH = GetHeight() >> 1;
    int32_t sx = px;
    if ((anchor & kAnchorCentreX) != 0) {
        sx = px - centreX;
    } else if ((anchor & kAnchorRight) != 0) {
        sx = px - (centreX + halfW);
    } else if ((anchor & kAnchorLeft) != 0) {
        sx = px + (halfW - centreX);
    }
    int32_t sy = py;
    if ((anchor & kAnchorCentreY) != 0) {
        sy = py - centreY;
    } else if ((anchor & kAnchorBottom) != 0) {
        sy = py - (centreY + halfH);
    } else if ((anchor & kAnchorTop) != 0) {
        sy = py + (halfH - centreY);
    }
    if (sprite) sprite->SetPosition(sx, sy);
    x = ActorUnits::FromPixels(sx);
    y = ActorUnits::FromPixels(sy);
}

bool CActor::IsAnimationDone() const { return !sprite || sprite->IsFinished(); }

bool CActor::IsAnimation(int32_t id) const { return sprite && sprite->GetAnimationId() == id; }

int32_t CActor::GetAnimationId() const { return sprite ? sprite->GetAnimationId() : 0; }

int32_t CActor::FacingTransform() const { return facing != 0 ? 0 : kMirrored; }

void CActor::ApplyFacing() {
    if (sprite) sprite->SetTransform(FacingTransform());
}

void CActor::SetAnimation(int32_t id, bool loop) {
    if (!sprite) return;
    sprite->SetAnimation(id, FacingTransform(), loop, true);
    sprite->UpdateCollisionBox();
}

void CActor::ChangeAnimation(int32_t id, bool loop) {
    if (sprite) sprite->SetAnimation(id, FacingTransform(), loop, false);
}

int32_t CActor::StateWord(int32_t n) const {
    if (n >= 0 && n < StateCount()) return state[static_cast<size_t>(n)];
    DebugPrintf("actor: type %d has no state word %d to read", type, n);
    return 0;
}

void CActor::SetStateWord(int32_t n, int32_t value) {
    if (n >= 0 && n < StateCount()) {
        state[static_cast<size_t>(n)] = value;
        return;
    }
    DebugPrintf("actor: type %d has no state word %d to write", type, n);
}

const CActor::AttackMove* CActor::CurrentMove() const {
    const int32_t animation = GetAnimationId();
    for (const AttackMove& move : moves) {
        if (move.animation == animation) return &move;
    }
    return nullptr;
}

void CActor::Hide() {
    if (sprite) sprite->SetVisible(false);
}

void CActor::UpdateBox() {
    if (sprite) sprite->UpdateCollisionBox();
}
