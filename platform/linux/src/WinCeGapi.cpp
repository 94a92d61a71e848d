#include "WinCeGapi.h"

#include "HostDeviceRecord.h"
#include "HostFaults.h"
#include "HostWindowSystem.h"

int32_t GXOpenDisplay(HWND window, DWORD) {
    HostDeviceRecord& record = HostDeviceRecord::Get();
    const bool refused = HostWindowSystem::Find(window) == nullptr || record.displayClaimed;
    if (refused || HostFaults::IsSet(HostFault::GXOpenDisplay)) return 0;
    record.displayClaimed = true;
    ++record.displayOpens;
    return 1;
}

int32_t GXCloseDisplay() {
    HostDeviceRecord& record = HostDeviceRecord::Get();
    ++record.displayCloses;
    if (!record.displayClaimed) return 0;
    record.displayClaimed = false;
    return 1;
}
