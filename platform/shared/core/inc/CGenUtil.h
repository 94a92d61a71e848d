#ifndef CGENUTIL_H
#define CGENUTIL_H

#include "EngineTypes.h"

// Small helpers shared by several subsystems.
class CGenUtil {
public:
    CGenUtil() = delete;

    // Hexadecimal digits (either case) up to the first other character;
    // digits beyond eight push the oldest out. Null or no digits give 0.
    static uint32_t ParseHex(const char* text);
    // Index of an element equal to value in the ascending array, or -1.
    static int32_t BinarySearch(const int32_t* values, int32_t count, int32_t value);
    // Cuts the span [*pos, *pos + *len) to [start, start + length). Without
    // overlap *len becomes 0 and *pos stays; a cut that would flip the sign
    // of the length leaves 0.
    static void ClipSpan(int16_t start, int16_t length, int16_t* pos, int16_t* len);
    // Inflates a whole zlib stream into dst. True only when the stream is
    // sound and fills exactly dstLength bytes; no source at all is success.
    static bool Uncompress(const uint8_t* src, uint32_t srcLength, uint8_t* dst, uint32_t dstLength);
};

// The four-channel fixed colour of pixel format 0x1E4410: alpha, red, green
// and blue, each an 8-bit channel scaled by 257 (255 becomes 0xFFFF).
struct RSBFormat_ARGB_fixed {
    int32_t a;
    int32_t r;
    int32_t g;
    int32_t b;
};

// Only the low 8 bits of each channel count.
void MakeColorARGBFixed(RSBFormat_ARGB_fixed* out, uint32_t a, uint32_t r, uint32_t g, uint32_t b);

#endif
