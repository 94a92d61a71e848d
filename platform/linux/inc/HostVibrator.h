#ifndef HOSTVIBRATOR_H
#define HOSTVIBRATOR_H

#include <cstdint>

// The state the handset's vibrator would be in, for tests and the backends.
class HostVibrator {
public:
    static bool IsOn();
    // Starts and stops asked for since the last Reset.
    static uint32_t StartCount();
    static uint32_t StopCount();

    // Makes the next starts fail (for tests).
    static void SetStartFails(bool failing);
    static bool StartFails();

    // Called by the vibrator calls.
    static void RecordStart();
    static void RecordStop();

    // Off, counts cleared, starts succeed.
    static void Reset();
};

#endif
