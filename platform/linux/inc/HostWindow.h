#ifndef HOSTWINDOW_H
#define HOSTWINDOW_H

#include "WinCeWindow.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// One window of the in-process window system: its class, place, paint
// state, queue of posted messages and timers.
class HostWindow {
public:
    HostWindow(HWND handle, const WNDCLASSW& windowClass, std::u16string className, std::u16string title, DWORD style,
               RECT rect);

    HWND Handle() const { return m_handle; }
    const std::u16string& ClassName() const { return m_className; }
    const std::u16string& Title() const { return m_title; }
    WNDPROC Proc() const { return m_proc; }
    UINT ClassStyle() const { return m_classStyle; }
    HINSTANCE Instance() const { return m_instance; }

    const RECT& Rect() const { return m_rect; }
    void SetRect(const RECT& rect) { m_rect = rect; }
    bool IsVisible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; }
    // Set once destruction has begun, so that a window procedure that
    // destroys its window again while handling WM_DESTROY does no harm.
    bool IsBeingDestroyed() const { return m_beingDestroyed; }
    void SetBeingDestroyed() { m_beingDestroyed = true; }
    bool NeedsPaint() const { return m_invalid; }
    void Invalidate() { m_invalid = true; }
    void Validate() { m_invalid = false; }

    // Posted messages carry a sequence number shared by all windows, so
    // that the oldest message of any window can be found.
    void Post(const MSG& message, uint64_t sequence);
    bool HasPosted() const { return !m_posted.empty(); }
    uint64_t OldestSequence() const { return m_posted.front().sequence; }
    MSG TakeOldest();

    // Starts or re-arms a timer due `intervalMs` after `now`.
    void SetTimer(UINT_PTR id, uint32_t intervalMs, TIMERPROC callback, uint32_t now);
    bool KillTimer(UINT_PTR id);
    // Milliseconds until the earliest timer is due (0 when overdue); false
    // without timers.
    bool NextTimerWait(uint32_t now, uint32_t* waitMs) const;
    // The earliest due timer as a WM_TIMER message, re-armed for another
    // interval; false when none is due.
    bool TakeDueTimer(uint32_t now, MSG* out);

private:
    struct Posted {
        uint64_t sequence;
        MSG message;
    };
    struct Timer {
        UINT_PTR id;
        uint32_t interval;
        TIMERPROC callback;
        uint32_t due;
    };

    static int32_t Remaining(const Timer& timer, uint32_t now) { return static_cast<int32_t>(timer.due - now); }
    // Index of the timer due first, or -1 without timers.
    int32_t EarliestTimer(uint32_t now) const;

    HWND m_handle;
    std::u16string m_className;
    std::u16string m_title;
    WNDPROC m_proc;
    UINT m_classStyle;
    HINSTANCE m_instance;
    RECT m_rect;
    bool m_visible;
    bool m_invalid;
    bool m_beingDestroyed = false;
    std::deque<Posted> m_posted;
    std::vector<Timer> m_timers;
};

#endif
