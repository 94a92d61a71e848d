#include <algorithm>

#include "ActorUnits.h"
#include "CActor.h"
#include "CGameInput.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"
#include "JGraphics.h"

namespace {

// Every actor is drawn this far below its position.
constexpr int32_t kDrawOffsetY = 12;
constexpr int32_t kBlinkPeriod = 4;
constexpr int32_t kBlinkHiddenFrom = 2;
constexpr uint32_t kKeyFire = 16;
constexpr int32_t kNoRecovery = -1;

// Health bars over the large enemies.
constexpr int32_t kBarHalfWidth = 13;
constexpr int32_t kBarWidth = 27;
constexpr int32_t kBarHeight = 5;
constexpr int32_t kBarInnerWidth = 26;
constexpr int32_t kBarInnerHeight = 4;
constexpr int32_t kBarLift = 24;
constexpr uint32_t kBarOutline = 0xFF000000;
constexpr uint32_t kBarOutline59 = 0xFFFF0000;
constexpr uint32_t kBarBack = 0xFF555954;
constexpr uint32_t kBarFill = 0xFF8AFF00;
constexpr uint32_t kBarFill59 = 0xFF00FFFF;
constexpr int32_t kLargeEnemy3HiddenMode = 12;
constexpr int32_t kLargeEnemy3DroppingMode = 13;

// Boss gauges at the bottom of the screen.
constexpr int32_t kGaugeLift = 10;
constexpr int32_t kGaugeFull56 = 1900;
constexpr int32_t kGaugeFull41 = 10000;
constexpr int32_t kGaugeFull36 = 14000;
constexpr uint32_t kGaugeLost = 0xFF000000;
constexpr int32_t kGaugeInactive = -1;

constexpr uint32_t kDebugDot = 0xFF00FF00;
constexpr int32_t kEntering68 = 0;

int32_t FullHealth(int32_t type) {
    switch (type) {
        case ActorType::kLargeEnemy1: return 2700;
        case ActorType::kLargeEnemy3: return 1350;
        case ActorType::kLargeEnemy59: return 3000;
        default: return 6000;
    }
}

bool BlinkPhaseHidden(int32_t counter) {
    const int32_t phase = counter % kBlinkPeriod;
    return phase == kBlinkHiddenFrom || phase == kBlinkHiddenFrom + 1;
}

}  // namespace

void CActor::Paint(JGraphics& g, int32_t offsetX, int32_t offsetY) {
    CGameWorld* world = GetWorld();
    const int32_t sx = (sprite ? sprite->GetX() : ActorUnits::ToPixels(x)) + offsetX;
    const int32_t sy = (sprite ? sprite->GetY() : ActorUnits::ToPixels(y)) + offsetY + kDrawOffsetY;
    if (ActorType::IsPlayer(type)) {
        PaintPlayer(g, sx, sy);
    } else {
        PaintHealthBar(g, sx, sy);
        PaintBossGauge(g);
        if (sprite && sprite->IsVisible() && !IsBlinkedOut()) {
            if (type == ActorType::kBossShot && StateWord(0) == kEntering68 && world != nullptr) {
                sprite->Paint(g, world->screenWidth, ActorUnits::ToPixels(y) - world->cameraY);
            } else {
                sprite->Paint(g, sx, sy);
            }
        }
    }
    if (world != nullptr && world->debugOverlay != 0) {
        g.setColor(kDebugDot);
        g.fillRect(sx - 1, sy - 1, 2, 2);
    }
}

// The player blinks out two frames in four while it recovers from a hit.
void CActor::PaintPlayer(JGraphics& g, int32_t sx, int32_t sy) {
    using namespace PlayerWord;
    const int32_t recovery = StateWord(kHurtRecovery);
    if (recovery != 0 && recovery != kNoRecovery && hitPoints >= 1 && BlinkPhaseHidden(StateWord(kBlink))) return;
    CGameWorld* world = GetWorld();
    CSpriteInstance* extra = world != nullptr ? world->playerExtraSprite.get() : nullptr;
    if (extra != nullptr) {
        const CGameInput* input = world->GetInput();
        const bool boosting = type == ActorType::kPlayerFormB && world->autoRun != 0 && input != nullptr &&
                              input->IsHeld(kKeyFire) && StateWord(kGauge) > 0;
        if (boosting) {
            if (!extra->IsVisible()) extra->SetAnimation(0, 0, true, false);
            extra->SetVisible(true);
        } else {
            extra->SetVisible(false);
        }
        if (extra->IsVisible()) extra->Paint(g, sx, sy);
    }
    if (sprite && sprite->IsVisible()) sprite->Paint(g, sx, sy);
}

void CActor::PaintHealthBar(JGraphics& g, int32_t sx, int32_t sy) {
    if (!sprite || !sprite->IsVisible()) return;
    const int32_t word0 = StateWord(0);
    const bool shown =
        (type == ActorType::kLargeEnemy1 && word0 != 0) ||
        (type == ActorType::kLargeEnemy3 && word0 != kLargeEnemy3HiddenMode && word0 != kLargeEnemy3DroppingMode) ||
        type == ActorType::kLargeEnemy59 || type == ActorType::kLargeEnemy67;
    if (!shown || hitPoints <= 0) return;
    const int32_t full = FullHealth(type);
    const int32_t top = sy - (sprite->GetBoxHeight() + kBarLift);
    g.setColor(type == ActorType::kLargeEnemy59 ? kBarOutline59 : kBarOutline);
    g.drawRect(sx - kBarHalfWidth, top, kBarWidth, kBarHeight);
    g.setColor(kBarBack);
    g.fillRect(sx - kBarHalfWidth + 1, top + 1, kBarInnerWidth, kBarInnerHeight);
    const int32_t filled = std::max(1, ActorUnits::MulDiv(hitPoints, kBarInnerWidth, full));
    g.setColor(type == ActorType::kLargeEnemy59 ? kBarFill59 : kBarFill);
    g.fillRect(sx - kBarHalfWidth + 1, top + 1, filled, kBarInnerHeight);
}

void CActor::PaintBossGauge(JGraphics& g) {
    const bool boss = type == ActorType::kFlyingBoss || type == ActorType::kBoss41;
    if (!(type == ActorType::kBossPart36 || (boss && hitPoints >= 1))) return;
    CGameWorld* world = GetWorld();
    CSpriteInstance* gauge = world != nullptr ? world->bossGaugeSprite.get() : nullptr;
    if (gauge == nullptr || !gauge->IsVisible()) return;
    const int32_t gx = world->screenWidth / 2;
    const int32_t gy = world->screenHeight - kGaugeLift;
    gauge->Paint(g, gx, gy);
    int32_t full = 0;
    int32_t hp = 0;
    if (type == ActorType::kFlyingBoss && StateWord(0) != kGaugeInactive) {
        full = kGaugeFull56;
        hp = hitPoints;
    } else if (type == ActorType::kBoss41 && StateWord(0) != kGaugeInactive) {
        full = kGaugeFull41;
        hp = hitPoints;
    } else if (type == ActorType::kBossPart36 && link != nullptr) {
        full = kGaugeFull36;
        hp = link->hitPoints;
    }
    if (full == 0) return;
    const int32_t rx = gx + gauge->GetBoxX() - 1;
    const int32_t ry = gy + gauge->GetBoxY();
    const int32_t rw = gauge->GetBoxWidth() + 2;
    const int32_t rh = gauge->GetBoxHeight();
    g.setColor(kGaugeLost);
    g.fillRect(rx, ry, hp < 1 ? rw : ActorUnits::MulDiv(full - hp, rw, full), rh);
}

// Types 56 and 3 blink while they recover from a hit.
bool CActor::IsBlinkedOut() const {
    if (type == ActorType::kFlyingBoss) return StateWord(6) >= 1 && hitPoints >= 1 && BlinkPhaseHidden(StateWord(7));
    if (type == ActorType::kLargeEnemy3) return StateWord(9) >= 1 && hitPoints >= 1 && BlinkPhaseHidden(StateWord(10));
    return false;
}
