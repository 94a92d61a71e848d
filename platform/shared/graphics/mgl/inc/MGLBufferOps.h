#ifndef MGLBUFFEROPS_H
#define MGLBUFFEROPS_H

#include <cstdint>

#include "MGLBufferTable.h"
#include "MGLPixelFormat.h"

// Format-aware pixel operations on the slots of a buffer table. Every one
// addresses a plane by slot and ignores slots that are free or outside the
// table; nothing reaches outside a plane: single pixels outside it are
// ignored and rectangles are clipped. Colours given as separate channels are
// clamped to 0..255.

// Pixel (x, y) of level 0; false, with *out unchanged, outside the plane or
// for a format that cannot be read.
bool GetBufferPixel(const BufferTable& table, int32_t slot, int32_t x, int32_t y, ArgbPixel* out);
void PutBufferPixel(BufferTable& table, int32_t slot, int32_t x, int32_t y, ArgbPixel colour);

// Fills x0 <= x < x1, y0 <= y < y1 after ordering the corners (the far edges
// are exclusive). r4g4b4 keeps its spare top bits zero.
void FillBufferRect(BufferTable& table, int32_t slot, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t a,
                    int32_t r, int32_t g, int32_t b);

// A line with both end points, plotted as by the classic integer walk: the
// minor coordinate at major step i is the start's plus
// floor((2 i dminor + dmajor) / (2 dmajor)); a tie (dx = dy) walks along x.
// Points outside the plane are skipped; the walk itself is limited to the
// plane, so far-away end points cost nothing.
void DrawBufferLine(BufferTable& table, int32_t slot, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t a,
                    int32_t r, int32_t g, int32_t b);

// Copies w x h pixels from (srcX, srcY) of one slot to (dstX, dstY) of
// another, converting each through the four channels. w < 0 means the
// source's width, h < 0 its height. Rows top to bottom, pixels left to right,
// clipped to both planes; nothing is copied when either format is one the
// conversions do not know.
void CopyBufferRect(BufferTable& table, int32_t dstSlot, int32_t srcSlot, int32_t srcX, int32_t srcY, int32_t w,
                    int32_t h, int32_t dstX, int32_t dstY);

// Mip chains and storage states of a slot's pixels. A failed allocation
// leaves the slot as it was.
//
// Builds levels 1 .. maxD, each a 2 x 2 box average of the one above (pairs
// of neighbours once a side is down to 1, an odd last row or column left
// out), all in one block after level 0; maxD is the larger Log2Exact of
// width and height. levels[0 .. maxD] are recorded (as many as fit).
void BuildMipChain(BufferTable& table, int32_t slot);
// Back to level 0 alone, every byte of it kept.
void FlattenBuffer(BufferTable& table, int32_t slot);
// Level 0 with a row stride of twice the width: the block grows to hold
// that, each row moving to its wide position.
void SetBufferWideLayout(BufferTable& table, int32_t slot);
// From wide rows (or a mip chain) back to level 0 in rows of the width.
void CompactWideBuffer(BufferTable& table, int32_t slot);

// 0..10 for n = 1, 2, 4 .. 1024; 0 for any other n.
int32_t Log2Exact(uint32_t n);

#endif
