#ifndef WIDESTR_H
#define WIDESTR_H

#include "EngineTypes.h"

// The engine's own routines on 16-bit wide text. They never depend on the
// process locale: narrowing keeps units below 0x100 as bytes and turns others
// into '?', widening zero-extends each byte (Latin-1).

uint32_t WideStrLen(const WChar* text);
WChar* WideStrCopy(WChar* dst, const WChar* src);
WChar* WideStrCat(WChar* dst, const WChar* src);
// First occurrence of the unit, or null; the terminator itself can be found.
const WChar* WideStrChr(const WChar* text, WChar unit);
WChar* WideStrChr(WChar* text, WChar unit);
// First occurrence of `needle` in `text`, or null; an empty needle matches at
// the start.
const WChar* WideStrStr(const WChar* text, const WChar* needle);
// <0, 0 or >0 by unit value, like strcmp.
int32_t WideStrCompare(const WChar* a, const WChar* b);
int32_t WideStrCompareN(const WChar* a, const WChar* b, uint32_t n);
int32_t WideStrCompareNoCase(const WChar* a, const WChar* b);

WChar WideCharToUpper(WChar unit);
WChar WideCharToLower(WChar unit);
// In place, up to the terminator.
WChar* WideToUpper(WChar* text);
WChar* WideToLower(WChar* text);

// Writes the text with its terminator: StrLen(src) + 1 units.
WChar* WideFromAscii(WChar* dst, const char* src);
// Writes at most n - 1 characters and always terminates; n = 0 writes nothing.
char* NarrowFromWide(char* dst, const WChar* src, uint32_t n);

#endif
