#include "HostWindow.h"

HostWindow::HostWindow(HWND handle, const WNDCLASSW& windowClass, std::u16string className, std::u16string title,
                       DWORD style, RECT rect)
    : m_handle(handle),
      m_className(std::move(className)),
      m_title(std::move(title)),
      m_proc(windowClass.lpfnWndProc),
      m_classStyle(windowClass.style),
      m_instance(windowClass.hInstance),
      m_rect(rect),
      m_visible((style & WS_VISIBLE) != 0),
      m_invalid((style & WS_VISIBLE) != 0) {}

void HostWindow::Post(const MSG& message, uint64_t sequence) { m_posted.push_back(Posted{sequence, message}); }

MSG HostWindow::TakeOldest() {
    const MSG message = m_posted.front().message;
    m_posted.pop_front();
    return message;
}

void HostWindow::SetTimer(UINT_PTR id, uint32_t intervalMs, TIMERPROC callback, uint32_t now) {
    for (Timer& timer : m_timers) {
        if (timer.id == id) {
            timer = Timer{id, intervalMs, callback, now + intervalMs};
            return;
        }
    }
    m_timers.push_back(Timer{id, intervalMs, callback, now + intervalMs});
}

bool HostWindow::KillTimer(UINT_PTR id) {
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        if (it->id == id) {
            m_timers.erase(it);
            return true;
        }
    }
    return false;
}

int32_t HostWindow::EarliestTimer(uint32_t now) const {
    int32_t earliest = -1;
    for (size_t i = 0; i < m_timers.size(); ++i) {
        if (earliest < 0 || Remaining(m_timers[i], now) < Remaining(m_timers[static_cast<size_t>(earliest)], now)) {
            earliest = static_cast<int32_t>(i);
        }
    }
    return earliest;
}

bool HostWindow::NextTimerWait(uint32_t now, uint32_t* waitMs) const {
    const int32_t earliest = EarliestTimer(now);
    if (earliest < 0) return false;
    const int32_t remaining = Remaining(m_timers[static_cast<size_t>(earliest)], now);
    *waitMs = remaining > 0 ? static_cast<uint32_t>(remaining) : 0;
    return true;
}

bool HostWindow::TakeDueTimer(uint32_t now, MSG* out) {
    const int32_t earliest = EarliestTimer(now);
    if (earliest < 0) return false;
    Timer& timer = m_timers[static_cast<size_t>(earliest)];
    if (Remaining(timer, now) > 0) return false;
    *out = MSG{m_handle, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.callback), now, POINT{0, 0}};
    timer.due = now + timer.interval;
    return true;
}
