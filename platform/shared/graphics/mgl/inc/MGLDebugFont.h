#ifndef MGLDEBUGFONT_H
#define MGLDEBUGFONT_H

#include <cstdint>

class BufferTable;

// The renderer's two built-in bitmap fonts for on-screen diagnostics. Each
// covers the 64 characters from space (32) to underscore (95); a glyph is
// copied from a glyph sheet held in a buffer slot.
struct DebugFont {
    static constexpr int32_t kGlyphCount = 64;
    static constexpr int32_t kFirstCharacter = 32;
    // Colour rows of a sheet lie this many pixels apart.
    static constexpr int32_t kColourRowPitch = 10;

    int32_t lineHeight;
    int32_t colourRows;  // colours the sheet holds (1: no colour escapes)
    int32_t sheetWidth;
    int32_t sheetHeight;
    int32_t designTop;  // first cell row the designs below describe
    int32_t sheetX[kGlyphCount];
    int32_t sheetY[kGlyphCount];
    int32_t width[kGlyphCount];
    // Our own glyph designs: rows separated by '|', '#' inked, any other
    // character background; missing rows and columns are background.
    const char* design[kGlyphCount];
};

// Font size 1 is the large font (10-pixel lines); any other size the small one (5).
const DebugFont& DebugFontOfSize(int32_t size);
constexpr int32_t kLargeDebugFontSize = 1;
// Index of each font's sheet among the table's font sheets.
int32_t DebugFontSheetIndex(int32_t size);

// Colour of ink in colour row k (0..4) of a sheet, and of the background, as
// a8r8g8b8 words.
uint32_t DebugFontInkColour(int32_t colourRow);
constexpr uint32_t kDebugFontBackground = 0xFF000000u;

// Paints both glyph sheets into new a8r8g8b8 slots of the table and records
// them as its font sheets. False, with the sheet indices left as they were
// and nothing allocated, when a slot cannot be had.
bool InstallDebugFontSheets(BufferTable& table);

#endif
