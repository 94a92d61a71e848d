#include "MGLDebugText.h"

#include <algorithm>

#include "CColor.h"
#include "MGLBufferOps.h"
#include "MGLBufferSlots.h"
#include "MGLBufferTable.h"
#include "MGLDebugFont.h"

namespace {

constexpr unsigned char kEscape = '%';
constexpr unsigned char kFirstFolded = 97;
constexpr unsigned char kFoldDistance = 32;
constexpr unsigned char kLastGlyphCharacter = 95;
constexpr unsigned char kFirstColour = '0';
constexpr int32_t kColourCount = 5;

// Calls draw(glyph, colourRow) for each character the rules draw.
template <typename Draw>
void WalkDebugText(const char* text, Draw draw) {
    if (text == nullptr) return;
    unsigned char previous = 0;
    int32_t colourRow = 0;
    for (const char* at = text; *at != '\0'; ++at) {
        unsigned char c = static_cast<unsigned char>(*at);
        if (c >= kFirstFolded) c = static_cast<unsigned char>(c - kFoldDistance);
        const bool argument = previous == kEscape;
        previous = c;
        if (argument) {
            if (c >= kFirstColour && c < kFirstColour + kColourCount) colourRow = c - kFirstColour;
            continue;
        }
        if (c == kEscape || c < DebugFont::kFirstCharacter || c > kLastGlyphCharacter) continue;
        draw(c - DebugFont::kFirstCharacter, colourRow);
    }
}

struct NamedFormat {
    uint32_t format;
    const char* name;
};

constexpr NamedFormat kFormatNames[] = {
    {0, "TBM_F_MATCH"},
    {RSBFormat_R4G4B4, "RSBFormat_R4G4B4"},
    {RSBFormat_R5G6B5, "RSBFormat_R5G6B5"},
    {RSBFormat_A1R5G5B5, "RSBFormat_A1R5G5B5"},
    {RSBFormat_A4R4G4B4, "RSBFormat_A4R4G4B4"},
    {RSBFormat_X14R6G6B6, "RSBFormat_X14R6G6B6"},
    {RSBFormat_R8G8B8, "RSBFormat_R8G8B8"},
    {RSBFormat_A8R8G8B8, "RSBFormat_A8R8G8B8"},
    {RSBFormat_ARGB_FIXED, "RSBFormat_ARGB_fixed"},
    {RSBFormat_L8, "RSBFormat_L8"},
    {RSBFormat_A8, "RSBFormat_A8"},
    {RSBFormat_I8, "RSBFormat_I8"},
    {RSBFormat_A8L8, "RSBFormat_A8L8"},
    {RSBFormat_P256X8R8G8B8, "RSBFormat_P256X8R8G8B8"},
    {RSBFormat_P256A8R8G8B8, "RSBFormat_P256A8R8G8B8"},
    {RSBFormat_Z32, "RSBFormat_Z32"},
};

}  // namespace

int32_t DebugTextHeight(int32_t size) { return DebugFontOfSize(size).lineHeight; }

int32_t DebugTextWidth(int32_t size, const char* text) {
    const DebugFont& font = DebugFontOfSize(size);
    int32_t width = 0;
    WalkDebugText(text, [&](int32_t glyph, int32_t) { width += font.width[glyph] + 1; });
    return width;
}

void DrawDebugText(BufferTable& table, int32_t slot, int32_t size, const char* text, int32_t x, int32_t y,
                   int32_t clipLeft, int32_t clipRight) {
    const BufferRecord* target = BufferSlots::Of(table).UsedSlot(slot);
    const int32_t sheet = table.FontSheet(DebugFontSheetIndex(size));
    if (target == nullptr || BufferSlots::Of(table).UsedSlot(sheet) == nullptr) return;
    const DebugFont& font = DebugFontOfSize(size);
    const int64_t left = std::max<int64_t>(clipLeft, 0);
    const int64_t right = std::min<int64_t>(clipRight == -1 ? target->width : clipRight, target->width);
    int64_t pen = x;
    WalkDebugText(text, [&](int32_t glyph, int32_t colourRow) {
        const int64_t w = font.width[glyph];
        const int32_t sy = font.sheetY[glyph] + DebugFont::kColourRowPitch * std::min(colourRow, font.colourRows - 1);
        // The glyph's columns inside the clip range, then its spacing column
        // (the sheet's first column, which is background).
        const int64_t from = std::max(pen, left);
        const int64_t to = std::min(pen + w, right);
        if (from < to) {
            CopyBufferRect(table, slot, sheet, static_cast<int32_t>(font.sheetX[glyph] + (from - pen)), sy,
                           static_cast<int32_t>(to - from), font.lineHeight, static_cast<int32_t>(from), y);
        }
        if (pen + w >= left && pen + w < right) {
            CopyBufferRect(table, slot, sheet, 0, 0, 1, font.lineHeight, static_cast<int32_t>(pen + w), y);
        }
        pen += w + 1;
    });
}

const char* PixelFormatName(uint32_t format) {
    for (const NamedFormat& named : kFormatNames) {
        if (named.format == format) return named.name;
    }
    return "RSBFormat_Unknown";
}
