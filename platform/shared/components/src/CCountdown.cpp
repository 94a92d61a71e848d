#include "CCountdown.h"

#include <limits>

namespace {
template <typename T>
T ClampTo(int64_t value) {
    if (value < std::numeric_limits<T>::min()) return std::numeric_limits<T>::min();
    if (value > std::numeric_limits<T>::max()) return std::numeric_limits<T>::max();
    return static_cast<T>(value);
}
}  // namespace

void CCountdown::Start(int32_t ms, bool repeat) {
    m_remaining = ms;
    m_interval = repeat ? ms : 0;
    m_active = true;
}

uint32_t CCountdown::Update(int32_t elapsedMs) {
    if (!m_active) return 0;
    // Wide arithmetic: a long stall must neither overflow the remaining time
    // nor cost one loop pass per expiry.
    const int64_t remaining = static_cast<int64_t>(m_remaining) - elapsedMs;
    if (remaining > 0) {
        m_remaining = ClampTo<int32_t>(remaining);
        return 0;
    }
    if (m_interval < 1) {
        m_remaining = ClampTo<int32_t>(remaining);
        m_active = false;
        return 1;
    }
    const int64_t expiries = 1 + (-remaining) / m_interval;
    m_remaining = ClampTo<int32_t>(remaining + expiries * m_interval);
    return ClampTo<uint32_t>(expiries);
}
