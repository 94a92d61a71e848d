#ifndef BLITDECODE_H
#define BLITDECODE_H

#include <cstdint>

class CInputStream;

// Descriptor of a pixel decode (blit kind 2): the rows of one image are read
// from a stream, converted and written into a destination plane. Source
// encodings: r8g8b8 three bytes (blue, green, red); p256 one index byte; p16
// two indices per byte, high nibble first, every row starting on a new byte.
struct BlitDecodeDesc {
    CInputStream* stream;
    int32_t skipCount;          // bytes skipped after every row (row padding); negative skips nothing
    const uint32_t* palette;    // 16 or 256 x8r8g8b8 values (red in bits 16-23); not read by r8g8b8 sources
    int16_t destStride;         // bytes; negative for a plane filled bottom-up
    uint8_t* destPixels;        // destination pixel (0, 0)
    int32_t width;              // pixels per source row
    int32_t height;             // source rows
    uint32_t colorKey;          // only its low 24 bits (blue, green, red) count
    uint8_t keyed;              // the caller asked for transparency; the registry already chose the routine
    uint8_t transpose;          // source (x, y) goes to column y, row x
    uint8_t mirrorX;
    uint8_t mirrorY;
};

// Source pixel (x, y) lands at destination column x' and row y':
// without transpose x' = mirrorX ? width - 1 - x : x, y' = mirrorY ? height - 1 - y : y;
// with transpose x' = mirrorX ? height - 1 - y : y, y' = mirrorY ? width - 1 - x : x.
// The plane must hold every such position and the palette an entry for every
// index: the routines trust their caller for both. A stream that runs dry
// yields zero bytes and the loops still run to the end.
void Decode_R8G8B8_R5G6B5(const void* desc);
void Decode_R8G8B8_R5G5B5A1(const void* desc);   // keyed
void Decode_R8G8B8_X8R8G8B8(const void* desc);
void Decode_P16_R5G6B5(const void* desc);
void Decode_P16_A1R5G5B5(const void* desc);      // keyed
void Decode_P16_R5G5B5A1(const void* desc);      // keyed
void Decode_P16_X14R6G6B6(const void* desc);
void Decode_P16_X8R8G8B8(const void* desc);
void Decode_P16_P256(const void* desc);          // the index itself
void Decode_P256_R5G6B5(const void* desc);
void Decode_P256_A1R5G5B5(const void* desc);     // keyed
void Decode_P256_R5G5B5A1(const void* desc);     // keyed
void Decode_P256_A4R4G4B4(const void* desc);     // keyed
void Decode_P256_X14R6G6B6(const void* desc);
void Decode_P256_X8R8G8B8(const void* desc);
void Decode_P256_P256(const void* desc);         // the index itself

#endif
