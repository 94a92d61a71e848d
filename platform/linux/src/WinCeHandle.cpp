#include "WinCeHandle.h"

#include "HostHandle.h"
#include "WinCeError.h"

BOOL CloseHandle(HANDLE handle) {
    bool closed = true;
    if (!HostHandle::Release(handle, &closed)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (!closed) {
        SetLastError(ERROR_WRITE_FAULT);
        return 0;
    }
    return 1;
}
