#ifndef HOSTDEVICERECORD_H
#define HOSTDEVICERECORD_H

#include "WinCeWindow.h"

#include <cstdint>
#include <string>
#include <vector>

// What the handset's shell, key and display calls would have changed on the
// device, kept so that tests (and logs) can see it. One record per process.
class HostDeviceRecord {
public:
    struct FullScreenCall {
        HWND window;
        DWORD flags;
    };

    static HostDeviceRecord& Get();
    static void Reset();

    // Full-screen control: every call, and the bars' state it left.
    std::vector<FullScreenCall> fullScreenCalls;
    bool taskbarHidden = false;
    bool inputButtonHidden = false;
    bool startIconHidden = false;
    // Calls of the shell's activation and setting-change handlers.
    int32_t activationCalls = 0;
    int32_t settingChangeCalls = 0;

    // Whether the program holds every hardware key, and how often it asked.
    bool keysTaken = false;
    int32_t allKeysCalls = 0;

    // The display claimed for direct access; a close without an open counts
    // in displayCloses but changes nothing.
    bool displayClaimed = false;
    int32_t displayOpens = 0;
    int32_t displayCloses = 0;

    // "caption: text" of every message box.
    std::vector<std::string> messageBoxes;
    // "verb file" of every shell-execute request, and what they answer.
    std::vector<std::string> shellExecutes;
    bool shellExecuteSucceeds = false;
};

#endif
