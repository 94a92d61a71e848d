#include "HostClock.h"

#include <atomic>
#include <ctime>

namespace {

// Atomic because the audio sink's thread reads the clock while the program's
// thread moves it.
std::atomic<bool> g_virtual{false};
std::atomic<uint32_t> g_virtualTicks{0};
std::atomic<uint64_t> g_virtualUnixMs{0};

uint64_t ReadMillis(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

}  // namespace

void HostClock::UseVirtual(uint32_t startTicks, uint64_t unixMs) {
    g_virtualTicks = startTicks;
    g_virtualUnixMs = unixMs;
    g_virtual = true;
}

void HostClock::UseMonotonic() { g_virtual = false; }

bool HostClock::IsVirtual() { return g_virtual; }

void HostClock::Advance(uint32_t ms) {
    if (!g_virtual) return;
    g_virtualTicks += ms;
    g_virtualUnixMs += ms;
}

uint32_t HostClock::Ticks() {
    if (g_virtual) return g_virtualTicks;
    return static_cast<uint32_t>(ReadMillis(CLOCK_MONOTONIC));
}

uint64_t HostClock::UnixMillis() {
    if (g_virtual) return g_virtualUnixMs;
    return ReadMillis(CLOCK_REALTIME);
}
