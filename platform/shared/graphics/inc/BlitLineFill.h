#ifndef BLITLINEFILL_H
#define BLITLINEFILL_H

#include <cstdint>

// Descriptor of a line (blit kind 1) or a rectangle fill (kind 3) in one
// colour. The routines never test bounds: the caller has clipped.
struct BlitSolidDesc {
    int16_t stride;         // bytes per destination row
    uint8_t* pixels;        // the line's start pixel, or the rectangle's top-left pixel
    uint32_t colorFormat;   // pixel-format id of the colour value
    const void* color;      // the colour, in that format
    int32_t firstExtent;    // line: dx to the end point; fill: width
    int32_t secondExtent;   // line: dy; fill: height
};

// The colour is converted to a8r8g8b8 once per call; a format the conversion
// does not know gives 0 (black with alpha 0). Opaque routines ignore the
// alpha; alpha-test routines draw nothing at alpha 0 and opaque otherwise;
// blend routines draw nothing at alpha 0 and otherwise blend every covered
// pixel as (colour × a + destination × (255 − a)) >> 8 per channel.
//
// A line covers max(|dx|, |dy|) pixels from its start: the end point is
// excluded on the major axis, while the minor axis may reach its full extent
// on the last pixels; dx = dy = 0 draws the start pixel.

// Bresenham set-up per axis: a positive distance d gives end d - 1 and step
// 1, zero gives end 0 and step 0, a negative one end d + 1 and step -1 and the
// distance becomes |d|; then the doubled distances.
void DrawLine_Setup(int32_t* xEnd, int32_t* yEnd, int32_t* twoDx, int32_t* twoDy, int32_t* xStep, int32_t* yStep,
                    int32_t* dx, int32_t* dy);

void DrawLine_R5G6B5(const void* desc);
void DrawLine_R5G6B5_AlphaTest(const void* desc);
void DrawLine_R5G6B5_Blend(const void* desc);
void DrawLine_X14R6G6B6(const void* desc);
void DrawLine_X14R6G6B6_AlphaTest(const void* desc);
void DrawLine_X14R6G6B6_Blend(const void* desc);
void DrawLine_X8R8G8B8(const void* desc);
void DrawLine_X8R8G8B8_AlphaTest(const void* desc);
void DrawLine_X8R8G8B8_Blend(const void* desc);

void FillRect_R5G6B5(const void* desc);
void FillRect_R5G6B5_AlphaTest(const void* desc);
void FillRect_R5G6B5_Blend(const void* desc);
void FillRect_X14R6G6B6(const void* desc);
void FillRect_X14R6G6B6_AlphaTest(const void* desc);
void FillRect_X14R6G6B6_Blend(const void* desc);
void FillRect_X8R8G8B8(const void* desc);
void FillRect_X8R8G8B8_AlphaTest(const void* desc);
void FillRect_X8R8G8B8_Blend(const void* desc);
// Not registered: opaque, the colour as r << 16 | g << 8 | b with a top byte of 0.
void FillRect_X8R8G8B8_Raw(const void* desc);

#endif
