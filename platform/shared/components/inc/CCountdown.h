#ifndef CCOUNTDOWN_H
#define CCOUNTDOWN_H

#include "EngineTypes.h"

// A millisecond countdown that can re-arm itself with its interval and
// reports how many times it expired during an update.
class CCountdown {
public:
    CCountdown() = default;
    virtual ~CCountdown() = default;

    void Start(int32_t ms, bool repeat);
    void Stop() { m_active = false; }
    // Expiries within `elapsedMs`. A one-shot countdown (or one whose
    // interval is below 1 ms) expires at most once and then stops.
    uint32_t Update(int32_t elapsedMs);

    bool IsActive() const { return m_active; }
    int32_t GetRemaining() const { return m_remaining; }

private:
    int32_t m_interval = 0;
    int32_t m_remaining = 0;
    bool m_active = false;
};

#endif
