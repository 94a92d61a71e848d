#include "MGLDebugFont.h"

#include "CColor.h"
#include "MGLBufferOps.h"
#include "MGLBufferTable.h"

namespace {

constexpr int32_t kSmallLineHeight = 5;
constexpr int32_t kLargeLineHeight = 10;
constexpr int32_t kSmallColourRows = 5;
constexpr int32_t kGlyphsPerSmallRow = 32;
constexpr int32_t kGlyphsPerLargeRow = 16;
constexpr int32_t kLargeCellWidth = 6;
// The large font's three wide glyphs sit side by side in a row of their own.
constexpr int32_t kLargeWideRowY = 60;
constexpr int32_t kGlyphPercent = '%' - DebugFont::kFirstCharacter;
constexpr int32_t kGlyphAt = '@' - DebugFont::kFirstCharacter;
constexpr int32_t kGlyphX = 'X' - DebugFont::kFirstCharacter;

constexpr int32_t kSmallWidths[DebugFont::kGlyphCount] = {
    1, 1, 3, 5, 5, 7, 5, 1, 2, 2, 6, 5, 2, 4, 1, 3, 4, 3, 4, 4, 4, 4, 4, 4, 4, 4, 1, 2, 3, 3, 3, 4,
    6, 4, 4, 3, 4, 3, 3, 4, 4, 1, 3, 3, 3, 5, 4, 4, 4, 4, 4, 3, 3, 4, 5, 5, 3, 3, 5, 2, 3, 2, 3, 4};

constexpr int32_t kLargeWidths[DebugFont::kGlyphCount] = {
    3, 2, 4, 6, 6, 8, 6, 2, 4, 4, 6, 6, 3, 6, 2, 5, 6, 3, 6, 6, 6, 6, 6, 6, 6, 6, 2, 3, 4, 6, 4, 6,
    8, 6, 6, 6, 6, 6, 6, 6, 6, 2, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 7, 6, 6, 3, 5, 3, 4, 6};

// Five rows each, as wide as the glyph.
constexpr const char* kSmallDesigns[DebugFont::kGlyphCount] = {
    "",                                         // space
    "#|#|#||#",                                 // !
    "#.#|#.#",                                  // "
    ".#.#.|#####|.#.#.|#####|.#.#.",            // #
    ".####|#.#..|.###.|..#.#|####.",            // $
    "##...#.|##..#..|...#...|..#..##|.#...##",  // %
    ".##..|#..#.|.##.#|#..#.|.##.#",            // &
    "#|#",                                      // '
    ".#|#.|#.|#.|.#",                           // (
    "#.|.#|.#|.#|#.",                           // )
    ".#..#.|..##..|######|..##..|.#..#.",       // *
    "..#..|..#..|#####|..#..|..#..",            // +
    "|||.#|#.",                                 // ,
    "||####",                                   // -
    "||||#",                                    // .
    "..#|..#|.#.|#..|#..",                      // /
    ".##.|#..#|#..#|#..#|.##.",                 // 0
    ".#.|##.|.#.|.#.|###",                      // 1
    "###.|...#|.##.|#...|####",                 // 2
    "###.|...#|.##.|...#|###.",                 // 3
    "#..#|#..#|####|...#|...#",                 // 4
    "####|#...|###.|...#|###.",                 // 5
    ".##.|#...|###.|#..#|.##.",                 // 6
    "####|...#|..#.|.#..|.#..",                 // 7
    ".##.|#..#|.##.|#..#|.##.",                 // 8
    ".##.|#..#|.###|...#|.##.",                 // 9
    "|#||#",                                    // :
    "|.#||.#|#.",                               // ;
    "..#|.#.|#..|.#.|..#",                      // <
    "|###||###",                                // =
    "#..|.#.|..#|.#.|#..",                      // >
    "###.|...#|.##.||.#..",                     // ?
    ".####.|#....#|#.##.#|#.####|.#....",       // @
    ".##.|#..#|####|#..#|#..#",                 // A
    "###.|#..#|###.|#..#|###.",                 // B
    ".##|#..|#..|#..|.##",                      // C
    "###.|#..#|#..#|#..#|###.",                 // D
    "###|#..|##.|#..|###",                      // E
    "###|#..|##.|#..|#..",                      // F
    ".###|#...|#.##|#..#|.###",                 // G
    "#..#|#..#|####|#..#|#..#",                 // H
    "#|#|#|#|#",                                // I
    "..#|..#|..#|#.#|.#.",                      // J
    "#.#|#.#|##.|#.#|#.#",                      // K
    "#..|#..|#..|#..|###",                      // L
    "#...#|##.##|#.#.#|#...#|#...#",            // M
    "#..#|##.#|#.##|#..#|#..#",                 // N
    ".##.|#..#|#..#|#..#|.##.",                 // O
    "###.|#..#|###.|#...|#...",                 // P
    ".##.|#..#|#..#|#.#.|.#.#",                 // Q
    "###.|#..#|###.|#.#.|#..#",                 // R
    ".##|#..|.#.|..#|##.",                      // S
    "###|.#.|.#.|.#.|.#.",                      // T
    "#..#|#..#|#..#|#..#|.##.",                 // U
    "#...#|#...#|.#.#.|.#.#.|..#..",            // V
    "#...#|#...#|#.#.#|##.##|#...#",            // W
    "#.#|#.#|.#.|#.#|#.#",                      // X
    "#.#|#.#|.#.|.#.|.#.",                      // Y
    "#####|...#.|..#..|.#...|#####",            // Z
    "##|#.|#.|#.|##",                           // [
    "#..|#..|.#.|..#|..#",                      // backslash
    "##|.#|.#|.#|##",                           // ]
    ".#.|#.#",                                  // ^
    "||||####",                                 // _
};

// Cell rows 1 to 8 (row 8 for descenders), as wide as the glyph at most.
constexpr const char* kLargeDesigns[DebugFont::kGlyphCount] = {
    "",                                                         // space
    "#|#|#|#|#||#",                                             // !
    "#.#|#.#",                                                  // "
    ".#.#.|.#.#.|#####|.#.#.|#####|.#.#.|.#.#.",                // #
    "..#..|.####|#.#..|.###.|..#.#|####.|..#..",                // $
    "##....#|##...#.|....#..|...#...|..#....|.#...##|#....##",  // %
    ".##..|#..#.|#.#..|.#...|#.#.#|#..#.|.##.#",                // &
    "#|#",                                                      // '
    "..#|.#.|#..|#..|#..|.#.|..#",                              // (
    "#..|.#.|..#|..#|..#|.#.|#..",                              // )
    "|..#..|#.#.#|.###.|#.#.#|..#..",                           // *
    "|..#..|..#..|#####|..#..|..#..",                           // +
    "|||||.#|.#|#.",                                            // ,
    "|||#####",                                                 // -
    "||||||#",                                                  // .
    "....#|...#.|...#.|..#..|.#...|.#...|#....",                // /
    ".###.|#...#|#..##|#.#.#|##..#|#...#|.###.",                // 0
    ".#.|##.|.#.|.#.|.#.|.#.|###",                              // 1
    ".###.|#...#|....#|...#.|..#..|.#...|#####",                // 2
    "#####|...#.|..#..|...#.|....#|#...#|.###.",                // 3
    "...#.|..##.|.#.#.|#..#.|#####|...#.|...#.",                // 4
    "#####|#....|####.|....#|....#|#...#|.###.",                // 5
    "..##.|.#...|#....|####.|#...#|#...#|.###.",                // 6
    "#####|....#|...#.|..#..|.#...|.#...|.#...",                // 7
    ".###.|#...#|#...#|.###.|#...#|#...#|.###.",                // 8
    ".###.|#...#|#...#|.####|....#|...#.|.##..",                // 9
    "||#|||#",                                                  // :
    "||.#|||.#|.#|#.",                                          // ;
    "|..#|.#.|#..|.#.|..#",                                     // <
    "||#####||#####",                                           // =
    "|#..|.#.|..#|.#.|#..",                                     // >
    ".###.|#...#|....#|...#.|..#..||..#..",                     // ?
    ".#####.|#.....#|#..##.#|#.#.#.#|#..###.|#......|.#####.",  // @
    ".###.|#...#|#...#|#####|#...#|#...#|#...#",                // A
    "####.|#...#|#...#|####.|#...#|#...#|####.",                // B
    ".###.|#...#|#....|#....|#....|#...#|.###.",                // C
    "####.|#...#|#...#|#...#|#...#|#...#|####.",                // D
    "#####|#....|#....|####.|#....|#....|#####",                // E
    "#####|#....|#....|####.|#....|#....|#....",                // F
    ".###.|#...#|#....|#.###|#...#|#...#|.####",                // G
    "#...#|#...#|#...#|#####|#...#|#...#|#...#",                // H
    "#|#|#|#|#|#|#",                                            // I
    "..###|...#.|...#.|...#.|...#.|#..#.|.##..",                // J
    "#...#|#..#.|#.#..|##...|#.#..|#..#.|#...#",                // K
    "#....|#....|#....|#....|#....|#....|#####",                // L
    "#...#|##.##|#.#.#|#.#.#|#...#|#...#|#...#",                // M
    "#...#|#...#|##..#|#.#.#|#..##|#...#|#...#",                // N
    ".###.|#...#|#...#|#...#|#...#|#...#|.###.",                // O
    "####.|#...#|#...#|####.|#....|#....|#....",                // P
    ".###.|#...#|#...#|#...#|#.#.#|#..#.|.##.#",                // Q
    "####.|#...#|#...#|####.|#.#..|#..#.|#...#",                // R
    ".####|#....|#....|.###.|....#|....#|####.",                // S
    "#####|..#..|..#..|..#..|..#..|..#..|..#..",                // T
    "#...#|#...#|#...#|#...#|#...#|#...#|.###.",                // U
    "#...#|#...#|#...#|#...#|#...#|.#.#.|..#..",                // V
    "#...#|#...#|#...#|#.#.#|#.#.#|#.#.#|.#.#.",                // W
    "#.....#|.#...#.|..#.#..|...#...|..#.#..|.#...#.|#.....#",  // X
    "#...#|#...#|.#.#.|..#..|..#..|..#..|..#..",                // Y
    "#####|....#|...#.|..#..|.#...|#....|#####",                // Z
    "##|#.|#.|#.|#.|#.|##",                                     // [
    "#....|.#...|.#...|..#..|...#.|...#.|....#",                // backslash
    "##|.#|.#|.#|.#|.#|##",                                     // ]
    ".#.|#.#",                                                  // ^
    "|||||||#####",                                             // _
};

constexpr DebugFont MakeSmallFont() {
    DebugFont font{};
    font.lineHeight = kSmallLineHeight;
    font.colourRows = kSmallColourRows;
    font.designTop = 0;
    int32_t x = 0;
    for (int32_t g = 0; g < DebugFont::kGlyphCount; ++g) {
        if (g % kGlyphsPerSmallRow == 0) x = 0;
        font.sheetX[g] = x;
        font.sheetY[g] = g / kGlyphsPerSmallRow * kSmallLineHeight;
        font.width[g] = kSmallWidths[g];
        font.design[g] = kSmallDesigns[g];
        x += kSmallWidths[g];
        if (x > font.sheetWidth) font.sheetWidth = x;
    }
    font.sheetHeight = kSmallColourRows * DebugFont::kColourRowPitch;
    return font;
}

constexpr DebugFont MakeLargeFont() {
    DebugFont font{};
    font.lineHeight = kLargeLineHeight;
    font.colourRows = 1;
    font.designTop = 1;
    for (int32_t g = 0; g < DebugFont::kGlyphCount; ++g) {
        font.sheetX[g] = kLargeCellWidth * (g % kGlyphsPerLargeRow);
        font.sheetY[g] = kLargeLineHeight * (g / kGlyphsPerLargeRow);
        font.width[g] = kLargeWidths[g];
        font.design[g] = kLargeDesigns[g];
    }
    font.sheetX[kGlyphAt] = 0;
    font.sheetX[kGlyphPercent] = 8;
    font.sheetX[kGlyphX] = 16;
    font.sheetY[kGlyphAt] = kLargeWideRowY;
    font.sheetY[kGlyphPercent] = kLargeWideRowY;
    font.sheetY[kGlyphX] = kLargeWideRowY;
    font.sheetWidth = kLargeCellWidth * kGlyphsPerLargeRow;
    font.sheetHeight = kLargeWideRowY + kLargeLineHeight;
    return font;
}

constexpr DebugFont kSmallFont = MakeSmallFont();
constexpr DebugFont kLargeFont = MakeLargeFont();

constexpr uint32_t kInkColours[kSmallColourRows] = {0xFFFFFFFFu, 0xFFFF4040u, 0xFF40FF40u, 0xFF6080FFu, 0xFFFFFF40u};

ArgbPixel ToArgb(uint32_t word) {
    return {uint8_t(word >> 24), uint8_t(word >> 16), uint8_t(word >> 8), uint8_t(word)};
}

void PaintGlyph(BufferTable& table, int32_t slot, const DebugFont& font, int32_t glyph, int32_t colourRow) {
    const ArgbPixel ink = ToArgb(DebugFontInkColour(colourRow));
    const int32_t left = font.sheetX[glyph];
    const int32_t top = font.sheetY[glyph] + colourRow * DebugFont::kColourRowPitch + font.designTop;
    int32_t row = 0;
    int32_t column = 0;
    for (const char* c = font.design[glyph]; *c != '\0'; ++c) {
        if (*c == '|') {
            ++row;
            column = 0;
            continue;
        }
        if (*c == '#' && column < font.width[glyph] && font.designTop + row < font.lineHeight) {
            PutBufferPixel(table, slot, left + column, top + row, ink);
        }
        ++column;
    }
}

int32_t PaintSheet(BufferTable& table, const DebugFont& font) {
    const int32_t slot = table.TryAllocBuffer(font.sheetWidth, font.sheetHeight, RSBFormat_A8R8G8B8, 0);
    if (slot < 0) return slot;
    const ArgbPixel background = ToArgb(kDebugFontBackground);
    FillBufferRect(table, slot, 0, 0, font.sheetWidth, font.sheetHeight, background.a, background.r, background.g,
                   background.b);
    for (int32_t colourRow = 0; colourRow < font.colourRows; ++colourRow) {
        for (int32_t glyph = 0; glyph < DebugFont::kGlyphCount; ++glyph)
            PaintGlyph(table, slot, font, glyph, colourRow);
    }
    return slot;
}

}  // namespace

const DebugFont& DebugFontOfSize(int32_t size) { return size == kLargeDebugFontSize ? kLargeFont : kSmallFont; }

int32_t DebugFontSheetIndex(int32_t size) { return size == kLargeDebugFontSize ? 1 : 0; }

uint32_t DebugFontInkColour(int32_t colourRow) {
    return colourRow >= 0 && colourRow < kSmallColourRows ? kInkColours[colourRow] : kInkColours[0];
}

bool InstallDebugFontSheets(BufferTable& table) {
    const int32_t small = PaintSheet(table, kSmallFont);
    if (small < 0) return false;
    const int32_t large = PaintSheet(table, kLargeFont);
    if (large < 0) {
        table.FreeBuffer(small);
        return false;
    }
    table.SetFontSheet(DebugFontSheetIndex(0), small);
    table.SetFontSheet(DebugFontSheetIndex(kLargeDebugFontSize), large);
    return true;
}
