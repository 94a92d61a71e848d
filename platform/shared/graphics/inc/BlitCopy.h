#ifndef BLITCOPY_H
#define BLITCOPY_H

#include <cstdint>

// Descriptor of a copy (blit kind 0): one rectangle from a source pixel block
// into a destination pixel block. The routines never test bounds: the caller
// has clipped both rectangles. Pixels are little-endian words.
struct BlitCopyDesc {
    int16_t sourceStride;          // bytes from one source row to the next; negative for bottom-up rows
    const uint8_t* sourcePixels;   // top-left pixel of the source rectangle, before any flip
    const uint32_t* palette;       // a8r8g8b8 values (red in bits 16-23); palette sources only
    int16_t destStride;
    uint8_t* destPixels;           // top-left destination pixel
    int32_t width;                 // pixels per row
    int32_t height;                // rows
    uint8_t flipX;                 // read each source row from its right end
    uint8_t flipY;                 // read the source rows from the bottom up
    uint8_t alpha;                 // constant alpha 0 to 255 of the blending routines
};

// Byte offset of the first source pixel to read, relative to sourcePixels,
// with the signed byte steps to the next pixel of a row and to the next row.
int32_t GetBlitStartAndSteps(uint32_t bytesPerPixel, const BlitCopyDesc* desc, int32_t* xStep, int32_t* yStep);

// False only when no pixel of the block is its format's colour key (for
// palette indices: no entry they index is keyed), so that a keyed copy of
// it writes every pixel; true for formats without a keyed copy.
bool BlitBlockMayHoldKey(uint32_t format, const uint8_t* pixels, int32_t pitch, uint32_t width, uint32_t height,
                         const uint32_t* palette);

// Registered copies: same format, colour-keyed, colour-keyed with constant
// alpha; and from 8-bit palette indices to each display format.
void Blit_R5G6B5(const void* desc);
void Blit_R5G6B5_ColorKey(const void* desc);
void Blit_R5G6B5_ColorKeyAlpha(const void* desc);
void Blit_X14R6G6B6(const void* desc);
void Blit_X14R6G6B6_ColorKey(const void* desc);
void Blit_X14R6G6B6_ColorKeyAlpha(const void* desc);
void Blit_X8R8G8B8(const void* desc);
void Blit_X8R8G8B8_ColorKey(const void* desc);
void Blit_X8R8G8B8_ColorKeyAlpha(const void* desc);
void Blit_P256_R5G6B5(const void* desc);
void Blit_P256_R5G6B5_ColorKey(const void* desc);
void Blit_P256_R5G6B5_ColorKeyAlpha(const void* desc);
void Blit_P256_X14R6G6B6(const void* desc);
void Blit_P256_X14R6G6B6_ColorKey(const void* desc);
void Blit_P256_X14R6G6B6_ColorKeyAlpha(const void* desc);
void Blit_P256_X8R8G8B8(const void* desc);
void Blit_P256_X8R8G8B8_ColorKey(const void* desc);
void Blit_P256_X8R8G8B8_ColorKeyAlpha(const void* desc);

// Copies that no registration reaches; ready to be registered. The 32-bit
// destinations are x8r8g8b8 with the alpha byte forced to 0xFF.
void Blit_A1R5G5B5_R5G6B5_AlphaTest(const void* desc);  // pixels without the alpha bit skipped
void Blit_Copy16(const void* desc);                     // any 16-bit format onto itself
void Blit_A4R4G4B4_R5G6B5_Alpha(const void* desc);      // blended by each pixel's own alpha
void Blit_R5G6B5_X8R8G8B8(const void* desc);
void Blit_R8G8B8_X8R8G8B8(const void* desc);
void Blit_Copy32(const void* desc);                     // any 32-bit format onto itself
void Blit_Copy16_Single(const void* desc);
void Blit_Copy16_Single2(const void* desc);
void Blit_P256_R5G6B5_Alias(const void* desc);
void Blit_P256_R5G6B5_AlphaTest(const void* desc);      // entries with alpha byte 0 skipped
void Blit_P256_R5G6B5_PaletteAlpha(const void* desc);   // blended by each entry's alpha byte
void Blit_P256_R5G6B5_Alpha(const void* desc);          // constant alpha, no colour key

#endif
