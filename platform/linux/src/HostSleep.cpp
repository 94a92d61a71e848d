#include "HostSleep.h"

#include <time.h>

#include <cerrno>

void HostSleepMs(uint32_t ms) {
    timespec remaining{static_cast<time_t>(ms / 1000u), static_cast<long>(ms % 1000u) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}
