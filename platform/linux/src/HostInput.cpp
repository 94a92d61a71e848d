#include "HostInput.h"

#include "HostBackend.h"
#include "HostPowerRequest.h"
#include "HostSystemInfo.h"
#include "HostWindow.h"
#include "HostWindowSystem.h"
#include "WinCeMsgQueue.h"

namespace {

WPARAM g_heldButtons = 0;

struct ButtonMessages {
    UINT down;
    UINT up;
    UINT doubleClick;
    WPARAM held;
};

ButtonMessages MessagesOf(HostMouseButton button) {
    switch (button) {
        case HostMouseButton::Right:
            return {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, MK_RBUTTON};
        case HostMouseButton::Middle:
            return {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, MK_MBUTTON};
        case HostMouseButton::Left:
        default:
            return {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, MK_LBUTTON};
    }
}

LPARAM PointOf(int32_t x, int32_t y) { return MAKELPARAM(static_cast<uint32_t>(x), static_cast<uint32_t>(y)); }

bool ActiveWindowWantsDoubleClicks() {
    const HostWindow* active = HostWindowSystem::Find(HostWindowSystem::ActiveWindow());
    return active != nullptr && (active->ClassStyle() & CS_DBLCLKS) != 0;
}

const char16_t* PowerStateName(uint32_t flags) {
    struct Named {
        uint32_t flag;
        const char16_t* name;
    };
    static const Named kNames[] = {{POWER_STATE_ON, u"on"},
                                   {POWER_STATE_OFF, u"off"},
                                   {POWER_STATE_SUSPEND, u"suspend"},
                                   {POWER_STATE_UNATTENDED, u"unattended"},
                                   {POWER_STATE_USERIDLE, u"useridle"},
                                   {POWER_STATE_IDLE, u"idle"}};
    for (const Named& named : kNames) {
        if ((flags & named.flag) != 0) return named.name;
    }
    return u"";
}

}  // namespace

void HostInput::Reset() { g_heldButtons = 0; }

void HostInput::KeyDown(uint32_t virtualKey, bool repeat) {
    const LPARAM state = KF_REPEAT_COUNT_ONE | (repeat ? KF_PREVIOUS_DOWN : 0);
    HostWindowSystem::PostToActive(WM_KEYDOWN, virtualKey, state);
}

void HostInput::KeyUp(uint32_t virtualKey) {
    HostWindowSystem::PostToActive(WM_KEYUP, virtualKey, KF_REPEAT_COUNT_ONE | KF_PREVIOUS_DOWN | KF_TRANSITION_UP);
}

void HostInput::ButtonDown(HostMouseButton button, int32_t x, int32_t y, bool doubleClick) {
    const ButtonMessages messages = MessagesOf(button);
    g_heldButtons |= messages.held;
    const UINT message = doubleClick && ActiveWindowWantsDoubleClicks() ? messages.doubleClick : messages.down;
    HostWindowSystem::PostToActive(message, g_heldButtons, PointOf(x, y));
}

void HostInput::ButtonUp(HostMouseButton button, int32_t x, int32_t y) {
    const ButtonMessages messages = MessagesOf(button);
    g_heldButtons &= ~messages.held;
    HostWindowSystem::PostToActive(messages.up, g_heldButtons, PointOf(x, y));
}

void HostInput::Move(int32_t x, int32_t y) {
    HostWindowSystem::PostToActive(WM_MOUSEMOVE, g_heldButtons, PointOf(x, y));
}

void HostInput::Rotate() {
    HostSystemInfo::SwapScreenAxes();
    HostBackend* backend = HostWindowSystem::GetBackend();
    if (backend != nullptr) backend->OnScreenSizeChanged(HostSystemInfo::ScreenWidth(), HostSystemInfo::ScreenHeight());
    HostWindowSystem::Broadcast(WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
}

void HostInput::Suspend() { HostWindowSystem::Deactivate(); }

void HostInput::Resume() { HostWindowSystem::Reactivate(); }

void HostInput::ToggleSuspend() {
    if (HostWindowSystem::ActiveWindow() != nullptr) {
        Suspend();
    } else {
        Resume();
    }
}

void HostInput::PowerEvent(uint32_t flags) {
    HostPowerRequest::Broadcast(PBT_TRANSITION, flags, PowerStateName(flags));
}

void HostInput::Close() {
    const HWND window = HostWindowSystem::MainWindow();
    if (window != nullptr) HostWindowSystem::Post(window, WM_CLOSE, 0, 0);
}
