#ifndef WINCETIME_H
#define WINCETIME_H

// The handset's clock calls, served from the host. GetTickCount comes from a
// monotonic clock, or from the virtual clock when one is installed (tests and
// headless runs), so that time moves only when the program says so.

#include "WinCeTypes.h"

#include <cstdint>

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

// Milliseconds since an arbitrary start; wraps after 2^32 ms.
DWORD GetTickCount();

// The current UTC time broken into fields.
void GetSystemTime(SYSTEMTIME* out);

// 100-nanosecond intervals since 1601-01-01 UTC. Returns false for a date the
// conversion cannot represent (fields out of range).
bool SystemTimeToFileTime(const SYSTEMTIME* in, FILETIME* out);

#endif
