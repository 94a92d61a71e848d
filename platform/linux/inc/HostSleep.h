#ifndef HOSTSLEEP_H
#define HOSTSLEEP_H

#include <cstdint>

// Sleeps for real (host time), whatever clock the program reads.
void HostSleepMs(uint32_t ms);

#endif
