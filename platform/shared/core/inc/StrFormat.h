#ifndef STRFORMAT_H
#define STRFORMAT_H

#include <cstdarg>

#include "EngineTypes.h"

// The engine's own printf subset, in an 8-bit and a 16-bit form with the same
// rules. Flags "-+ #0", width and precision (digits or "*"), the qualifiers
// h, l and L, and the conversions c s U p n o x X d i u %. There is no floating
// point: any other conversion is echoed with its "%" and consumes nothing.
//
// Integers are 32-bit values ("%l.." reads a long and keeps its low 32 bits);
// "%p" reads a whole pointer. "%s" and "%U" read a text of the form's own
// width; a null text prints "<NULL>" (8-bit) or "NULL" (wide).
//
// The buffer has no stated size: the caller guarantees room for the result
// and its terminator. Each returns the characters written, terminator excluded.

int32_t FormatStringA(char* buffer, const char* format, va_list args);
int32_t FormatStringW(WChar* buffer, const WChar* format, va_list args);

int32_t StrFormat(char* buffer, const char* format, va_list args);
int32_t WStrFormat(WChar* buffer, const WChar* format, va_list args);

int32_t StrPrintf(char* buffer, const char* format, ...) __attribute__((format(printf, 2, 3)));
int32_t FormatWide(WChar* buffer, const WChar* format, ...);

#endif
