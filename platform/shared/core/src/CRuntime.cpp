#include "CRuntime.h"

#include "WinCeTime.h"

#include <climits>
#include <cstring>

uint32_t StrLen(const char* text) { return static_cast<uint32_t>(std::strlen(text)); }

int StrCompare(const char* a, const char* b) { return std::strcmp(a, b); }

int32_t StrToInt(const char* text) {
    if (text == nullptr) return 0;
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > static_cast<int64_t>(INT32_MAX) + 1) break;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

char* StrCat(char* dst, const char* src) { return std::strcat(dst, src); }

char* SafeStrCopy(char* dst, const char* src, uint32_t n) {
    if (n == 0) return dst;
    std::strncpy(dst, src, n);
    dst[n - 1] = 0;
    return dst;
}

int32_t MinInt(int32_t a, int32_t b) { return a < b ? a : b; }

int32_t MaxInt(int32_t a, int32_t b) { return a > b ? a : b; }

uint32_t GetTickCountMs() { return GetTickCount(); }

uint32_t GetTimeMillis() { return GetTickCountMs(); }

uint32_t GetUnixTime() {
    SYSTEMTIME now{};
    GetSystemTime(&now);
    const SYSTEMTIME epoch{1970, 1, 4, 1, 0, 0, 0, 0};
    FILETIME nowFile{};
    FILETIME epochFile{};
    SystemTimeToFileTime(&now, &nowFile);
    SystemTimeToFileTime(&epoch, &epochFile);
    const uint64_t nowIntervals = (static_cast<uint64_t>(nowFile.dwHighDateTime) << 32) | nowFile.dwLowDateTime;
    const uint64_t epochIntervals =
        (static_cast<uint64_t>(epochFile.dwHighDateTime) << 32) | epochFile.dwLowDateTime;
    return static_cast<uint32_t>((nowIntervals - epochIntervals) / 10000000u);
}
