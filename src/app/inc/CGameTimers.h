#ifndef CGAMETIMERS_H
#define CGAMETIMERS_H

#include <cstdint>

#include "JVector.h"

// The game's two countdown timers, in milliseconds of game time: one-shot,
// or repeating with a period.
class CGameTimers {
public:
    static constexpr int32_t kCount = 2;

    CGameTimers();

    // Keeps the timer's period as it was.
    void Start(int32_t i, int32_t ms);
    void StartRepeating(int32_t i, int32_t ms);
    // True when the timer ran out in this step; a repeating timer then
    // starts its next period, a one-shot one stops.
    bool Tick(int32_t i, int32_t dt);
    bool IsRunning(int32_t i) const;
    // Ends the countdown early, so that the next Start begins afresh.
    void Stop(int32_t i);
    int32_t GetRemaining(int32_t i) const { return IsTimer(i) ? remaining.elementAt(i) : 0; }

private:
    static bool IsTimer(int32_t i) { return i >= 0 && i < kCount; }

    JVector<uint8_t> active;
    JVector<int32_t> remaining;
    JVector<int32_t> period;
};

#endif
