#include "CTouchButton.h"

#include "CGameInput.h"

void CTouchButton::SetRect(int32_t left, int32_t top, int32_t width, int32_t height) {
    x = left;
    y = top;
    w = width;
    h = height;
}

void CTouchButton::SetId(int32_t buttonAction, uint32_t keyBits) {
    action = buttonAction;
    keys = keyBits;
}

bool CTouchButton::HitTest(int32_t px, int32_t py) const {
    if (shape == kCircle) {
        // Squares of far-off points do not fit 32 bits; taken one at a time
        // they fit 64 unsigned bits.
        if (h <= 0) return false;
        const uint64_t dx = static_cast<uint64_t>(int64_t{px} < x ? int64_t{x} - px : int64_t{px} - x);
        const uint64_t dy = static_cast<uint64_t>(int64_t{py} < y ? int64_t{y} - py : int64_t{py} - y);
        const uint64_t radius2 = static_cast<uint64_t>(h);
        return dx * dx < radius2 && dx * dx + dy * dy < radius2;
    }
    return px >= x && int64_t{px} < int64_t{x} + w && py >= y && int64_t{py} < int64_t{y} + h;
}

void CTouchButton::SetPressed(bool isPressed, CGameInput& input) {
    pressed = isPressed ? 1 : 0;
    if (action != kKeyAction) return;
    if (isPressed) {
        input.held = 0;
        input.Hold(keys);
    } else if (input.IsHeld(keys)) {
        input.Release(keys);
    }
}

void CTouchButton::OnEdge(int32_t edge, CGameInput& input) const {
    if (action == kKeyAction && edge == kEdgeDown) input.Press(keys);
}
