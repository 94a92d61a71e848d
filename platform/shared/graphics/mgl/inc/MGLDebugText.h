#ifndef MGLDEBUGTEXT_H
#define MGLDEBUGTEXT_H

#include <cstdint>

class BufferTable;

// Short diagnostic texts drawn into buffer slots with the built-in fonts
// (MGLDebugFont.h), and the names of pixel-format ids.
//
// Character rules, shared by measuring and drawing: bytes 97 and above lose
// 32 (lower case shows as capitals); '%' and the byte after it are not drawn,
// and that byte, when '0' to '4', picks the colour row for the rest of the
// text (colour escapes are a small-font feature: the large font's sheet has
// a single colour). A byte right after a '%' is always an argument, even
// another '%'. Bytes below 32 or, after folding, above 95 are skipped. Each
// drawn glyph advances by its width plus one spacing column.

// 10 for size 1 (the large font), 5 for any other size.
int32_t DebugTextHeight(int32_t size);

// Width in pixels of a zero-terminated text; 0 for null.
int32_t DebugTextWidth(int32_t size, const char* text);

// Draws the text with its top-left corner at (x, y), its glyphs copied from
// the font's sheet slot and converted to the slot's format. Only columns
// clipLeft <= column < clipRight (clipRight -1: the slot's width) inside the
// slot are touched. Nothing is drawn before the table has font sheets.
void DrawDebugText(BufferTable& table, int32_t slot, int32_t size, const char* text, int32_t x, int32_t y,
                   int32_t clipLeft, int32_t clipRight);

// "RSBFormat_..." name of a pixel-format id, "TBM_F_MATCH" for 0 and
// "RSBFormat_Unknown" for an id without a name.
const char* PixelFormatName(uint32_t format);

#endif
