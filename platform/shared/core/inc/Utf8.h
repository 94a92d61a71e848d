#ifndef UTF8_H
#define UTF8_H

#include "EngineTypes.h"

// Conversion between UTF-8 bytes and 16-bit wide text, for the 1-, 2- and
// 3-byte forms (characters up to U+FFFF, one unit each). Surrogate pairs are
// neither produced nor combined, and overlong forms and encoded surrogates
// decode as they stand, so data written as "modified" UTF-8 (C0 80 for an
// embedded zero, surrogate halves encoded one by one) reads back unchanged.

// Decodes n bytes into dst, which holds cap units including the terminator.
// A zero byte is copied like any other. Malformed input (a stray continuation
// byte, a 4-byte lead, a bad or missing continuation byte) gives an empty
// text and 0; a full dst ends the text early. Returns the units written
// without the terminator; with a null pointer or cap 0 nothing is written.
int32_t Utf8ToWide(const uint8_t* src, uint32_t n, WChar* dst, uint32_t cap);

// Encodes at most n units, stopping at a 0 unit, into dst, which holds cap
// bytes including the terminator. A character that does not fit whole is
// left out with everything after it. Returns the bytes written without the
// terminator; with a null pointer or cap 0 nothing is written.
int32_t WideToUtf8(const WChar* src, uint32_t n, uint8_t* dst, uint32_t cap);

// Bytes WideToUtf8 needs for the text (up to a 0 unit, at most n units),
// terminator excluded.
int32_t Utf8LengthOfWide(const WChar* src, uint32_t n);

// Characters in n bytes of valid UTF-8 as Utf8ToWide reads it; 0 when any
// sequence is malformed.
int32_t Utf8CharCount(const uint8_t* src, uint32_t n);

#endif
