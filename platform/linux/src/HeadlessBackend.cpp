#include "HeadlessBackend.h"

#include "HostClock.h"
#include "HostSleep.h"

#include <new>

HeadlessBackend* HeadlessBackend::Create(const std::string& scriptPath, std::string* error) {
    HostInputScript script;
    if (!scriptPath.empty() && !script.Load(scriptPath, error)) return nullptr;
    HeadlessBackend* backend = new (std::nothrow) HeadlessBackend(std::move(script));
    if (backend == nullptr) *error = "no memory for the headless backend";
    return backend;
}

bool HeadlessBackend::Pump(uint32_t timeoutMs) {
    const uint32_t now = HostClock::Ticks();
    if (!m_started) {
        m_started = true;
        m_startTicks = now;
    }
    if (ApplyDue(now)) return true;
    const bool finiteWait = timeoutMs != kForever;
    if (m_next >= m_script.Events().size()) {
        if (finiteWait) Idle(timeoutMs);
        return false;
    }
    const uint32_t wait = m_startTicks + m_script.Events()[m_next].timeMs - now;
    if (finiteWait && wait > timeoutMs) {
        Idle(timeoutMs);
        return true;
    }
    if (HostClock::IsVirtual()) {
        HostClock::Advance(wait);
    } else {
        HostSleepMs(wait);
    }
    ApplyDue(HostClock::Ticks());
    return true;
}

bool HeadlessBackend::ApplyDue(uint32_t now) {
    bool applied = false;
    const std::vector<HostInputEvent>& events = m_script.Events();
    while (m_next < events.size() && static_cast<int32_t>(m_startTicks + events[m_next].timeMs - now) <= 0) {
        HostInputScript::Apply(events[m_next]);
        ++m_next;
        applied = true;
    }
    return applied;
}

void HeadlessBackend::Idle(uint32_t ms) {
    if (!HostClock::IsVirtual() && ms > 0) HostSleepMs(ms);
}

bool HeadlessBackend::PresentFrame(const void* pixels, int32_t width, int32_t height, int32_t pitch,
                                   uint32_t format) {
    if (!HostFrame::Fits(pixels, width, height, pitch, format)) return false;
    if (m_keepFrames) m_frame.Assign(pixels, width, height, pitch, format);
    ++m_framesPresented;
    return true;
}
