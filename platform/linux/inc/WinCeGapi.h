#ifndef WINCEGAPI_H
#define WINCEGAPI_H

// The handset's direct-display calls, used only to claim the display for the
// program and give it back. The stand-in records the claim
// (HostDeviceRecord).

#include "WinCeWindow.h"

constexpr DWORD GX_FULLSCREEN = 0x01;

// Non-zero on success; 0 for an unknown window or a display already claimed.
int32_t GXOpenDisplay(HWND window, DWORD flags);
// Non-zero when the display was claimed and is now released.
int32_t GXCloseDisplay();

#endif
