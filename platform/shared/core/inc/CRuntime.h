#ifndef CRUNTIME_H
#define CRUNTIME_H

#include "EngineTypes.h"

// Narrow text, integer and clock wrappers of the engine.

uint32_t StrLen(const char* text);
int StrCompare(const char* a, const char* b);
// Decimal with optional leading spaces and sign; saturates at the i32 limits
// instead of overflowing.
int32_t StrToInt(const char* text);
char* StrCat(char* dst, const char* src);
// Copies at most n - 1 characters and always terminates; n = 0 writes nothing.
char* SafeStrCopy(char* dst, const char* src, uint32_t n);

int32_t MinInt(int32_t a, int32_t b);
int32_t MaxInt(int32_t a, int32_t b);

// Milliseconds from the platform tick count; wraps after 2^32 ms.
uint32_t GetTickCountMs();
uint32_t GetTimeMillis();
// Whole seconds since 1970-01-01 00:00 UTC.
uint32_t GetUnixTime();

#endif
