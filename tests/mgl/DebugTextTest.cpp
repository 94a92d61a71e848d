#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "CColor.h"
#include "MGLBufferOps.h"
#include "MGLBufferSlots.h"
#include "MGLBufferTable.h"
#include "MGLDebugFont.h"
#include "MGLDebugText.h"

namespace {

constexpr int32_t kSmall = 0;
constexpr int32_t kLarge = kLargeDebugFontSize;
constexpr uint32_t kMarker = 0xFF123456u;  // what the target holds where nothing is drawn

// The design of a glyph read independently of the sheet painter: ink[row][column].
std::vector<std::string> DesignRows(const DebugFont& font, int32_t glyph) {
    std::vector<std::string> rows(1);
    for (const char* c = font.design[glyph]; *c != '\0'; ++c) {
        if (*c == '|') {
            rows.emplace_back();
        } else {
            rows.back() += *c;
        }
    }
    return rows;
}

bool Ink(const DebugFont& font, int32_t glyph, int32_t column, int32_t row) {
    const std::vector<std::string> rows = DesignRows(font, glyph);
    const int32_t designRow = row - font.designTop;
    if (designRow < 0 || designRow >= int32_t(rows.size())) return false;
    return column < int32_t(rows[designRow].size()) && rows[designRow][column] == '#';
}

struct DrawnGlyph {
    int32_t glyph;
    int32_t colour;
};

// The character rules, spelt out once more for the reference.
std::vector<DrawnGlyph> DrawnGlyphs(const std::string& text) {
    std::vector<DrawnGlyph> glyphs;
    int32_t colour = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        int32_t c = static_cast<unsigned char>(text[i]);
        c = c >= 'a' ? c - 32 : c;
        if (i > 0 && text[i - 1] == '%') {
            if (c >= '0' && c <= '4') colour = c - '0';
        } else if (c != '%' && c >= 32 && c <= 95) {
            glyphs.push_back({c - 32, colour});
        }
    }
    return glyphs;
}

class DebugTextTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(InstallDebugFontSheets(*table)); }

    int32_t Target(int32_t w, int32_t h, uint32_t format = RSBFormat_A8R8G8B8) {
        const int32_t slot = table->AllocBuffer(w, h, format, 0);
        FillBufferRect(*table, slot, 0, 0, w, h, kMarker >> 24, kMarker >> 16 & 0xFF, kMarker >> 8 & 0xFF,
                       kMarker & 0xFF);
        return slot;
    }

    // The pixels the text should leave in a w x h plane, as a8r8g8b8 words.
    static std::vector<uint32_t> Expected(int32_t w, int32_t h, int32_t size, const std::string& text, int32_t x,
                                          int32_t y, int32_t clipLeft, int32_t clipRight) {
        const DebugFont& font = DebugFontOfSize(size);
        std::vector<uint32_t> plane(size_t(w * h), kMarker);
        const int32_t right = clipRight == -1 ? w : clipRight;
        int32_t pen = x;
        for (const DrawnGlyph& g : DrawnGlyphs(text)) {
            const int32_t colour = size == kLarge ? 0 : g.colour;
            for (int32_t column = 0; column <= font.width[g.glyph]; ++column) {
                const int32_t px = pen + column;
                if (px < clipLeft || px >= right || px < 0 || px >= w) continue;
                for (int32_t row = 0; row < font.lineHeight; ++row) {
                    if (y + row < 0 || y + row >= h) continue;
                    const bool ink = column < font.width[g.glyph] && Ink(font, g.glyph, column, row);
                    plane[(y + row) * w + px] = ink ? DebugFontInkColour(colour) : kDebugFontBackground;
                }
            }
            pen += font.width[g.glyph] + 1;
        }
        return plane;
    }

    std::vector<uint32_t> Drawn(int32_t slot) {
        const BufferRecord& record = *BufferSlots::Of(*table).UsedSlot(slot);
        std::vector<uint32_t> plane;
        for (int32_t y = 0; y < record.height; ++y) {
            for (int32_t x = 0; x < record.width; ++x) {
                ArgbPixel p{};
                GetBufferPixel(*table, slot, x, y, &p);
                plane.push_back(uint32_t(p.a) << 24 | p.r << 16 | p.g << 8 | p.b);
            }
        }
        return plane;
    }

    void ExpectText(int32_t w, int32_t h, int32_t size, const std::string& text, int32_t x, int32_t y, int32_t clipLeft,
                    int32_t clipRight) {
        SCOPED_TRACE(testing::Message() << "'" << text << "' size " << size << " at " << x << "," << y << " clip "
                                        << clipLeft << ".." << clipRight);
        const int32_t slot = Target(w, h);
        DrawDebugText(*table, slot, size, text.c_str(), x, y, clipLeft, clipRight);
        EXPECT_EQ(Drawn(slot), Expected(w, h, size, text, x, y, clipLeft, clipRight));
        table->FreeBuffer(slot);
    }

    std::unique_ptr<BufferTable> table{CreateBufferTable()};
};

TEST(DebugFontTest, EveryDesignFitsItsCellAndTheSheetsHoldEveryCell) {
    for (int32_t size : {kSmall, kLarge}) {
        const DebugFont& font = DebugFontOfSize(size);
        for (int32_t g = 0; g < DebugFont::kGlyphCount; ++g) {
            SCOPED_TRACE(testing::Message() << "size " << size << " glyph '" << char(g + 32) << "'");
            const std::vector<std::string> rows = DesignRows(font, g);
            EXPECT_LE(int32_t(rows.size()) + font.designTop, font.lineHeight);
            for (const std::string& row : rows) EXPECT_LE(int32_t(row.size()), font.width[g]);
            EXPECT_LE(font.sheetX[g] + font.width[g], font.sheetWidth);
            EXPECT_LE(font.sheetY[g] + font.lineHeight + (font.colourRows - 1) * 10, font.sheetHeight);
        }
    }
    // The small font's two glyph rows are packed without gaps.
    const DebugFont& small = DebugFontOfSize(kSmall);
    EXPECT_EQ(small.sheetX[0], 0);
    EXPECT_EQ(small.sheetX[32], 0);
    EXPECT_EQ(small.sheetX['B' - 32], small.sheetX['A' - 32] + small.width['A' - 32]);
    EXPECT_EQ(small.sheetY[40], 5);
    EXPECT_EQ(small.sheetWidth, 115);
    const DebugFont& large = DebugFontOfSize(kLarge);
    EXPECT_EQ(large.sheetX['%' - 32], 8);
    EXPECT_EQ(large.sheetY['X' - 32], 60);
    EXPECT_EQ(large.sheetX['Y' - 32], 6 * ('Y' - 32) % 96);
}

TEST_F(DebugTextTest, WidthsFollowTheCharacterRules) {
    struct Case {
        int32_t size;
        const char* text;
        int32_t width;
    };
    const Case cases[] = {
        {kSmall, "AB", 10}, {kSmall, "ab", 10},      {kSmall, "%1AB", 10}, {kSmall, "%%A", 0},
        {kSmall, "%", 0},   {kSmall, "\x01\x7F", 5}, {kSmall, "{", 3},     {kLarge, "AB", 14},
        {kLarge, "%2X", 8}, {kLarge, "X!", 11},      {kSmall, "\xE1", 0},  {kSmall, "", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(DebugTextWidth(c.size, c.text), c.width) << c.text;
    EXPECT_EQ(DebugTextWidth(kSmall, nullptr), 0);
    EXPECT_EQ(DebugTextHeight(kLarge), 10);
    EXPECT_EQ(DebugTextHeight(kSmall), 5);
    EXPECT_EQ(DebugTextHeight(7), 5);
}

TEST_F(DebugTextTest, TextsArePixelExact) {
    ExpectText(120, 12, kSmall, "Hello, World! 0123456789", 2, 3, 0, -1);
    ExpectText(120, 12, kSmall, "%1RED %2GREEN %3BLUE %4YELLOW %0WHITE", 0, 0, 0, -1);
    ExpectText(160, 14, kLarge, "QUICK @ 45% [X_Y]", 1, 2, 0, -1);
    ExpectText(160, 14, kLarge, "%3colour rows stay white", 0, 0, 0, -1);
    ExpectText(120, 12, kSmall, "~{|}`", 0, 0, 0, -1);
}

TEST_F(DebugTextTest, GlyphsAreCutAtBothClipEdges) {
    // A pen reaching clipRight cuts the glyph there and drops its spacing column.
    ExpectText(60, 8, kSmall, "ABCDEFG", 0, 0, 0, 12);
    ExpectText(60, 8, kSmall, "ABCDEFG", 0, 0, 0, 10);
    // A glyph starting left of clipLeft loses its left part.
    ExpectText(60, 8, kSmall, "ABCDEFG", 0, 0, 7, -1);
    ExpectText(60, 8, kSmall, "MMMM", 3, 0, 8, 9);
    ExpectText(60, 12, kLarge, "WXYZ", -5, 0, -20, 17);
}

TEST_F(DebugTextTest, TextAtThePlaneEdgesStaysInside) {
    ExpectText(20, 6, kSmall, "EDGE OF THE PLANE", 12, 3, 0, -1);
    ExpectText(20, 6, kSmall, "EDGE", -9, -3, -50, 500);
    ExpectText(20, 12, kLarge, "LARGE", 5, 8, 0, 100);
    ExpectText(20, 12, kLarge, "LARGE", INT32_MAX - 3, INT32_MIN, 0, -1);
}

TEST_F(DebugTextTest, GlyphsTakeTheTargetsFormat) {
    const int32_t slot = table->AllocBuffer(30, 5, RSBFormat_R5G6B5, 0);
    DrawDebugText(*table, slot, kSmall, "%1I", 0, 0, 0, -1);
    // 'I' is a full column of ink in red, followed by its black spacing column.
    const BufferRecord& record = *BufferSlots::Of(*table).UsedSlot(slot);
    const uint32_t red = DebugFontInkColour(1);
    uint8_t expected[2];
    PackPixel(expected, RSBFormat_R5G6B5, {0xFF, uint8_t(red >> 16), uint8_t(red >> 8), uint8_t(red)});
    for (int32_t y = 0; y < 5; ++y) {
        EXPECT_EQ(record.PixelAt(0, y)[0], expected[0]);
        EXPECT_EQ(record.PixelAt(0, y)[1], expected[1]);
        EXPECT_EQ(record.PixelAt(1, y)[0] | record.PixelAt(1, y)[1], 0);
    }
}

TEST(DebugTextNoSheetsTest, NothingIsDrawnBeforeTheSheetsExist) {
    std::unique_ptr<BufferTable> table(CreateBufferTable());
    EXPECT_EQ(table->FontSheet(0), -1);
    EXPECT_EQ(table->FontSheet(1), -1);
    const int32_t slot = table->AllocBuffer(8, 8, RSBFormat_L8, 0);
    DrawDebugText(*table, slot, kSmall, "A", 0, 0, 0, -1);
    const BufferRecord& record = *BufferSlots::Of(*table).UsedSlot(slot);
    EXPECT_EQ(std::vector<uint8_t>(record.levels[0], record.levels[0] + 64), std::vector<uint8_t>(64, 0));
}

TEST(PixelFormatNameTest, EveryIdHasItsName) {
    const std::pair<uint32_t, const char*> names[] = {
        {0, "TBM_F_MATCH"},
        {0x11302, "RSBFormat_R4G4B4"},
        {0x21302, "RSBFormat_R5G6B5"},
        {0x45402, "RSBFormat_A1R5G5B5"},
        {0x65402, "RSBFormat_A4R4G4B4"},
        {0x81304, "RSBFormat_X14R6G6B6"},
        {0x90303, "RSBFormat_R8G8B8"},
        {0xC4404, "RSBFormat_A8R8G8B8"},
        {0x1E4410, "RSBFormat_ARGB_fixed"},
        {0x280101, "RSBFormat_L8"},
        {0x296101, "RSBFormat_A8"},
        {0x2A4101, "RSBFormat_I8"},
        {0x2B4202, "RSBFormat_A8L8"},
        {0x348301, "RSBFormat_P256X8R8G8B8"},
        {0x35C401, "RSBFormat_P256A8R8G8B8"},
        {0x520104, "RSBFormat_Z32"},
        {0xC4405, "RSBFormat_Unknown"},
        {0xB0304, "RSBFormat_Unknown"},
        {0xFFFFFFFF, "RSBFormat_Unknown"},
    };
    for (const auto& [format, name] : names) EXPECT_STREQ(PixelFormatName(format), name) << std::hex << format;
}

}  // namespace
