#include "WinCeHandle.h"

#include "HostHandle.h"

BOOL CloseHandle(HANDLE handle) {
    return HostHandle::Release(handle) ? 1 : 0;
}
