#ifndef WINCEHANDLE_H
#define WINCEHANDLE_H

// Handles of the handset's kernel calls as the stand-in hands them out:
// pointer-sized, all ones when invalid, each one a HostHandle object that
// CloseHandle releases.

#include "WinCeTypes.h"

#include <cstdint>

typedef void* HANDLE;
typedef int32_t LONG;

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(~static_cast<uintptr_t>(0));

// Releases a handle from any of the stand-in's calls. False for the invalid
// handle, a handle already closed, or a value that never was a handle
// (ERROR_INVALID_HANDLE); false too when the host reported an error as it
// closed the object (ERROR_WRITE_FAULT: a file's last bytes may not have
// reached the storage), whose handle is released all the same.
[[nodiscard]] BOOL CloseHandle(HANDLE handle);

#endif
