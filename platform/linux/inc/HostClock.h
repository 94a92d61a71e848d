#ifndef HOSTCLOCK_H
#define HOSTCLOCK_H

#include <cstdint>

// Where GetTickCount and GetSystemTime take their time from. The monotonic
// source is the default; the virtual one only moves when Advance is called,
// which makes test and headless runs deterministic.
class HostClock {
public:
    // Switches to the virtual clock, starting at the given tick count and
    // Unix time in milliseconds.
    static void UseVirtual(uint32_t startTicks, uint64_t unixMs);
    static void UseMonotonic();
    static bool IsVirtual();

    // Moves the virtual clock forward; ignored on the monotonic clock.
    static void Advance(uint32_t ms);

    static uint32_t Ticks();
    static uint64_t UnixMillis();
};

#endif
