#include "CHud.h"

#include <algorithm>

#include "AppServices.h"
#include "CGameInput.h"
#include "CGameProgress.h"
#include "CGameSettings.h"
#include "CGameTimers.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"
#include "CTouchButtonLayout.h"
#include "CTouchButtonManager.h"
#include "JFont.h"
#include "JImage.h"

namespace {

constexpr int32_t kFirstRepeatMs = 500;
constexpr int32_t kRepeatMs = 150;
constexpr int32_t kImageTimer = 0;
// The scroll arrows of a long list: beside the screen's centre, above its
// bottom edge.
constexpr int32_t kArrowGap = 20;
constexpr int32_t kArrowRise = 60;

bool Inside(int32_t px, int32_t py, int32_t x, int32_t y, int32_t w, int32_t h) {
    return px >= x && px < x + w && py >= y && py < y + h;
}

}  // namespace

void CHud::Update(int32_t ms) {
    if (!laidOut || m_links.input == nullptr) return;
    CGameInput& input = *m_links.input;
    bool up = input.IsPressed(GameKey::kUp);
    bool down = input.IsPressed(GameKey::kDown);
    const bool tapped = m_links.touchButtons != nullptr && m_links.touchButtons->HasDownEdge();
    CGameProgress* progress = m_links.progress;
    const bool interlude = progress != nullptr && progress->interludeShown != 0;
    // A tap anywhere moves a dialogue or a timed image on, as a confirm
    // does.
    const bool movesOnByTap = mode == kDialogue || mode == kPlayText || mode == kImage;
    if (!input.AnyPressed() && movesOnByTap && tapped) input.pressed = GameKey::kConfirm;
    const bool confirm = input.IsPressed(GameKey::kOpenOrConfirm);
    // The interlude's picture covers the soft keys too: a tap in their
    // place ends its hold as a tap anywhere else does.
    if (interlude) {
        if (confirm || tapped) progress->interludeStart -= CGameProgress::kInterludeSkipMs;
        return;
    }
    RepeatHeldKeys(ms, &up, &down);
    switch (mode) {
        case kMenu:
            UpdateMenu(up, down);
            break;
        case kImage:
            UpdateImage(ms, confirm);
            break;
        case kDialogue:
        case kPlayText:
            UpdatePlayText(confirm);
            break;
        case kFullScreenSprite:
            TickFullScreenSprite(ms);
            break;
        case kMessage:
        case kPagedText:
            UpdateScrollingText(up, down);
            break;
        default:
            break;
    }
}

// Up or down held: once at the press, again after 500 ms, then every 150.
void CHud::RepeatHeldKeys(int32_t ms, bool* up, bool* down) {
    const CGameInput& input = *m_links.input;
    if (!input.IsHeld(GameKey::kUpOrDown)) return;
    if (input.IsPressed(GameKey::kUpOrDown)) {
        repeatTimer = kFirstRepeatMs;
        return;
    }
    repeatTimer -= ms;
    if (repeatTimer > 0) return;
    if (input.IsHeld(GameKey::kUp)) {
        *up = true;
    } else {
        *down = true;
    }
    repeatTimer = kRepeatMs;
}

void CHud::HidePlayControls(bool menu) {
    uint8_t* shown = m_links.playControlsShown;
    CTouchButtonManager* touch = m_links.touchButtons;
    if (shown == nullptr || *shown == 0 || touch == nullptr) return;
    touch->Disable(CTouchButtonLayout::kGroupPad);
    *shown = 0;
    if (!menu) return;
    touch->Disable(CTouchButtonLayout::kGroupFireFirstForm);
    touch->Disable(CTouchButtonLayout::kGroupSecondForm);
    if (IsCheatsEnabled(GetGameSettings()) != 0) touch->Disable(CTouchButtonLayout::kGroupCheats);
    touch->Reset();
    m_links.input->Release(GameKey::kAll);
}

void CHud::UpdateMenu(bool up, bool down) {
    HidePlayControls(true);
    if (up) {
        Select(selected - 1);
    } else if (down) {
        Select(selected + 1);
    } else if (m_links.touchButtons != nullptr && !TapMenuRow()) {
        TapScrollArrows();
    }
}

// A press on a row selects it; a release on it confirms. True when the
// pointer met a row. Each row answers on the whole band it is drawn in, one
// row height from its top, so the rows touch without overlapping.
bool CHud::TapMenuRow() {
    const CTouchButtonManager& touch = *m_links.touchButtons;
    if (!touch.HasDownEdge() && !touch.HasUpEdge()) return false;
    const int32_t row = RowHeight();
    if (row <= 0) return false;
    const int32_t top = (imageRows ? rowsTop : boxY) - scroll % row;
    const int32_t first = scroll / row;
    const int32_t rows = visibleLines + (scroll % row > 0 ? 1 : 0);
    int32_t left = 0;
    int32_t right = 0;
    RowSpan(&left, &right);
    for (int32_t i = 0; i < rows && first + i < lineCount; ++i) {
        if (!Inside(touch.GetX(), touch.GetY(), left, top + i * row, right - left, row)) continue;
        if (touch.HasDownEdge()) Select(first + i);
        if (touch.HasUpEdge()) m_links.input->pressed |= GameKey::kConfirm;
        return true;
    }
    return false;
}

// Across the screen a row reaches as far as what is drawn for it: a framed
// row's frame spans the screen, an image row lies on the side frame (its box
// may be wider, as the pause page's spans the screen, with nothing drawn
// beside the frame), a plain row fills its box.
void CHud::RowSpan(int32_t* left, int32_t* right) const {
    *left = boxX;
    *right = boxX + boxWidth;
    if (imageRows && framedRows) {
        *left = std::min(boxX, 0);
        *right = std::max(boxX + boxWidth, m_screenWidth);
    } else if (imageRows && sideWidth > 0) {
        *left = menuX;
        *right = menuX + sideWidth;
    }
}

void CHud::TapScrollArrows() {
    const CTouchButtonManager& touch = *m_links.touchButtons;
    if (visibleLines >= lineCount || !touch.HasDownEdge() || scrollArrow == nullptr) return;
    const int32_t width = scrollArrow->getWidth();
    const int32_t height = scrollArrow->getHeight();
    const int32_t centre = m_screenWidth / 2;
    const int32_t top = m_screenHeight - kArrowRise;
    if (Inside(touch.GetX(), touch.GetY(), centre - width - kArrowGap, top, width, height)) {
        Select(selected - 1);
    } else if (Inside(touch.GetX(), touch.GetY(), centre + kArrowGap, top, width, height)) {
        Select(selected + 1);
    }
}

void CHud::UpdateImage(int32_t ms, bool confirm) {
    CGameTimers* timers = m_links.timers;
    if (timers == nullptr) return;
    if (!timers->IsRunning(kImageTimer)) {
        timers->Start(kImageTimer, duration);
        return;
    }
    const bool expired = timers->Tick(kImageTimer, ms);
    if (!expired && !confirm) return;
    // An image cut short leaves no countdown behind for the next one.
    timers->Stop(kImageTimer);
    mode = kImageDone;
    imageDone = true;
}

void CHud::UpdatePlayText(bool confirm) {
    HidePlayControls(false);
    if (!confirm && !m_links.input->IsPressed(GameKey::kBack)) return;
    // A box too low for one line has no pages to turn: it closes.
    if (lineCount == visibleLines || visibleLines <= 0) {
        mode = kClosed;
        return;
    }
    const int32_t pages = lineCount / visibleLines - (lineCount % visibleLines == 0 ? 1 : 0);
    ++page;
    if (page > pages) {
        mode = kClosed;
    } else {
        scroll += visibleLines * FontHeight();
    }
}

void CHud::TickFullScreenSprite(int32_t ms) {
    CGameWorld* world = m_links.world;
    CSpriteInstance* sprite = world != nullptr ? world->fullScreenSprite : nullptr;
    if (sprite != nullptr && sprite->IsVisible()) sprite->Tick(ms, false);
}

void CHud::UpdateScrollingText(bool up, bool down) {
    if (autoScroll && !imageRows) {
        if (creditDelay < boxHeight) {
            ++creditDelay;
        } else if (scroll < creditHeight) {
            ++scroll;
        } else {
            creditDelay = 0;
            scroll = 0;
        }
        return;
    }
    if (boxHeight >= textHeight) return;
    const int32_t step = FontHeight();
    if (up) scroll = scroll - step < 0 ? 0 : scroll - step;
    if (down && scroll <= textHeight - boxHeight) scroll += step;
}
