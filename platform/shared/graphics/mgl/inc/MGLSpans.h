#ifndef MGLSPANS_H
#define MGLSPANS_H

#include <cstdint>

#include "CGenUtil.h"

class MGLContext;

// The portable span routines, in the triangle fill's convention: x0 and x1
// are the row's left and right x in 16.16 pixels, destptr and zptr the
// row's starts, and the plane terms the fill left in the record give each
// interpolant at the row (interpolant 0 is the depth). Pixel i is drawn for
// (x0 + 32767) >> 16 <= i < (x1 + 32768) >> 16, within the scissor columns;
// a pixel passes the depth test when its depth is greater than the stored
// one (unsigned). Without a depth buffer the depth test and writes are left
// out. Both run only on rows that lie in the bound planes.
//
// Bind them with RenderPoly::BindNativeSpan, fill mode 3 or 4, depth
// interpolant 0: SpanFlatDepth with one interpolant; SpanTexturedPerspective
// with three (u and v, in texels of level 0, as interpolants 1 and 2), and
// for perspective-correct texturing perspectiveGradients set and depth
// scaled mask 6. The perspective terms are products of depth offsets and
// scaled texture coordinates: they stay within 32 bits for a depth range of
// at most 1/16 (SetViewport's far argument) and coordinates of some hundred
// texels.

// The flat draw colour, for r5g6b5 and x8r8g8b8 targets.
void SpanFlatDepth(MGLContext& context, uint32_t x0, uint32_t x1);

// Texels of unit 0 with a level of detail per pixel; a texel whose alpha is
// below 15 (of 65535) leaves colour and depth as they are. Targets r5g6b5,
// x8r8g8b8 and x14r6g6b6.
void SpanTexturedPerspective(MGLContext& context, uint32_t x0, uint32_t x1);

// One sample of texture unit `unit` at u, v in 16.16 texels of level 0 and
// level of detail `lod` (16.16: its integer part the mip level, bits 15..8
// the blend between it and the next), as the unit's filter and wrap modes
// read it; channels come out 0..65535. A unit number outside 0..7, or a
// filter mode outside 0..7, leaves the colour as it is. The unit is looked
// up at each call, as its texture's surface is then: a sample after a
// texture was deleted, replaced or given new planes reads what the unit
// shows now, and a unit that shows nothing, or names memory it does not own,
// samples transparent black. A native span samples its texture so, from
// inside a draw too.
void SampleTexture(MGLContext& context, int32_t unit, int32_t u, int32_t v, int32_t lod,
                   RSBFormat_ARGB_fixed* colour);

// What a fill's step to the row below does to the record: the row pointers
// move by their strides, the planes (intp_y) of the first `planes`
// interpolants by their row steps (intp_dy), and the perspective terms K2x
// of the first `terms` interpolants but `depth` by K1.
struct MGLRowStep {
    int32_t planes;
    int32_t terms;
    int32_t depth;
};

// Rows of a triangle fill handed to a span in one call, top to bottom: row
// i from left[i] to right[i], in the convention above, the record at the
// row; after each row, `next(fill)` steps the record to the row below (row
// pointers and plane terms), as the fill does between its calls. What the
// rows share is read once, at the call. With `step` (what `next` does), a
// span may instead step its own copies of those values and leave the
// record, at the end of the call, as the steps would have. `next` may do
// anything a host may: where it deletes the context the call ends without
// touching it again; where it lets go of the bound planes or changes
// texture unit 0 or its texels, the rows after it are drawn as a call of
// their own would draw them.
struct MGLSpanRows {
    const int32_t* left;
    const int32_t* right;
    int32_t count;
    void (*next)(void* fill);
    void* fill;
    const MGLRowStep* step;
};

// The routines above for each of the rows, as calls one row at a time
// with the same steps between them would draw them and leave the record.
void SpanRowsFlatDepth(MGLContext& context, const MGLSpanRows& rows);
void SpanRowsTexturedPerspective(MGLContext& context, const MGLSpanRows& rows);

#endif
