#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "AssertCounter.h"
#include "CFont.h"
#include "JFont.h"
#include "JGraphics.h"
#include "RuntimeTestSupport.h"
#include "TestApplication.h"
#include "TextLayout.h"

namespace {

// A font whose characters are 4 pixels wide (wide characters 8) and 10
// high; it records what it is asked to draw.
class GridFont : public CFont {
public:
    GridFont() : CFont(0x6A4F4E54) {}

    int32_t GetHeight() const override { return 10; }
    int32_t GetAscent() const override { return 8; }
    int32_t GetStringWidth(const WChar* text, int32_t length, int32_t, int32_t*) const override {
        int32_t width = 0;
        for (int32_t i = 0; length < 0 ? text[i] != 0 : i < length; ++i) width += GetCharWidth(text[i]);
        return width;
    }
    int32_t GetCharWidth(WChar c) const override { return isWideChar(c) ? 8 : 4; }
    void DrawString(const WChar* text, int32_t, int32_t x, int32_t y, int32_t, int32_t) const override {
        draws.push_back({std::u16string(text), x, y});
    }

    struct Draw {
        std::u16string text;
        int32_t x, y;
    };
    mutable std::vector<Draw> draws;
};

std::vector<std::u16string> Lines(const JVector<JString>& lines) {
    std::vector<std::u16string> out;
    for (int32_t i = 0; i < lines.size(); ++i) out.push_back(Units(lines[i]));
    return out;
}

TEST(TextLayoutTest, WrapsAtSpacesNewlinesAndWideCharacters) {
    GridFont grid;
    const JFont font(&grid);
    struct Case {
        const char16_t* text;
        int32_t width;
        std::vector<std::u16string> lines;
    };
    const Case cases[] = {
        {u"one two three", 28, {u"one two", u"three"}},
        {u"one two three", 1000, {u"one two three"}},
        {u"a\n\n\nb", 1000, {u"a", u"b"}},
        {u"\nab", 1000, {u"", u"ab"}},
        {u"ab\n", 1000, {u"ab"}},
        {u"", 1000, {u""}},
        {u"abcdefgh ij", 12, {u"abc", u"def", u"gh", u"ij"}},  // over-long word cut to fit
        {u"abc", 2, {u"abc"}},                                  // not even one character fits
        {u" abcdefgh", 12, {u"abc", u"def", u"gh"}},  // a cut behind a leading blank repeats nothing
        {u"ab\u4E00cd", 12, {u"ab", u"\u4E00", u"cd"}},
        {u"\u4E00\u4E01\u4E02", 16, {u"\u4E00\u4E01", u"\u4E02"}},
        {u"fit  \nnext", 16, {u"fit", u"next"}},                 // trailing spaces do not count
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Lines(wrapText(JString(c.text), c.width, font)), c.lines) << c.width;
    }
}

TEST(TextLayoutTest, BreakUnits) {
    const JString text(u"ab\u4E00cd ef");
    std::vector<int32_t> ends;
    for (int32_t at = 0; at < text.length(); at = findLineBreak(text, at)) ends.push_back(findLineBreak(text, at));
    EXPECT_EQ(ends, (std::vector<int32_t>{2, 3, 6, 8}));
    EXPECT_EQ(findLineBreak(JString(u" ab cd"), 0), 4);  // an opening space ends no unit
    EXPECT_EQ(findLineBreak(text, 99), text.length());
    EXPECT_TRUE(isWideChar(0xAC00));
    EXPECT_FALSE(isWideChar(0xAC01));
    EXPECT_TRUE(isWideChar(0xFF00));
    EXPECT_FALSE(isWideChar(0xFFE1));
    EXPECT_FALSE(isWideChar(0x2E7F));
}

// Random texts of words, spaces, newlines and wide characters: wrapping
// always ends, keeps every visible character in order, and only a line of
// one unit may be wider than asked.
TEST(TextLayoutTest, WrappingKeepsEveryCharacterAndEnds) {
    GridFont grid;
    const JFont font(&grid);
    std::mt19937 random(77);
    const char16_t alphabet[] = u"abcdef  \n\u4E00";
    for (int round = 0; round < 300; ++round) {
        std::u16string text;
        const int length = static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i) text.push_back(alphabet[random() % (sizeof(alphabet) / 2 - 1)]);
        const int32_t width = 4 + static_cast<int32_t>(random() % 40);
        const std::vector<std::u16string> lines = Lines(wrapText(JString(text.c_str()), width, font));
        std::u16string joined;
        for (const std::u16string& line : lines) {
            for (char16_t c : line) {
                if (c > u' ') joined.push_back(c);
            }
        }
        std::u16string visible;
        for (char16_t c : text) {
            if (c > u' ') visible.push_back(c);
        }
        ASSERT_EQ(joined, visible) << round;
    }
}

TEST(TextLayoutTest, PlaceholdersAreFilledUpperCase) {
    JVector<JString> args;
    args.addElement(JString(u"x"));
    args.addElement(JString(u"y"));
    EXPECT_EQ(Units(formatText(JString(u"%0S got %1S"), args)), u"X got Y");
    EXPECT_EQ(Units(formatText(JString(u"%0S and %0S"), args)), u"X and %0S");
    JVector<JString> one;
    one.addElement(JString(u"x"));
    EXPECT_EQ(Units(formatText(JString(u"%1S"), one)), u"%1S");
    EXPECT_EQ(Units(replaceFirst(JString(u"abcabc"), JString(u"bc"), JString(u"\u00e9"))), u"a\u00C9abc");
    EXPECT_EQ(Units(replaceFirst(JString(u"abc"), JString(u"z"), JString(u"q"))), u"abc");
}

TEST(TextLayoutTest, DrawingAnchorsCentreBeforeRightAndBottom) {
    GridFont grid;
    const JFont font(&grid);
    JGraphics g;
    struct Case {
        int32_t anchor, x, y;
    };
    // "abc" is 12 wide and 10 high, drawn at (100, 50).
    const Case cases[] = {{20, 100, 50}, {1, 94, 50}, {1 | 8, 94, 50}, {8, 88, 50},
                          {2, 100, 45}, {2 | 32, 100, 45}, {32, 100, 40}, {8 | 32, 88, 40}};
    for (const Case& c : cases) {
        grid.draws.clear();
        font.drawString(g, JString(u"abc"), 100, 50, c.anchor);
        ASSERT_EQ(grid.draws.size(), 1u);
        EXPECT_EQ(grid.draws[0].x, c.x) << c.anchor;
        EXPECT_EQ(grid.draws[0].y, c.y) << c.anchor;
    }
    grid.draws.clear();
    font.drawString(g, JString(), 0, 0);
    font.drawChars(g, nullptr, 0, 0);
    EXPECT_TRUE(grid.draws.empty());
    EXPECT_EQ(font.stringWidth(JString()), 0);
    EXPECT_EQ(font.charsWidth(u"a\u4E00"), 12);
    EXPECT_EQ(font.charWidth(u'a'), 4);
    EXPECT_EQ(font.getHeight(), 10);
}

// Font ids go to the application's font manager; without the font's
// resources there is no font, and the handle measures and draws nothing.
TEST(TextLayoutTest, FontByIdWithoutItsResourcesIsEmpty) {
    TestApplication app;
    ASSERT_EQ(app.Init(), 0);
    AssertCounter counter;
    const JFont font(0);
    EXPECT_EQ(font.getHeight(), 0);
    EXPECT_EQ(JFont::stringWidth(3, JString(u"abc")), 0);
    JGraphics g;
    font.drawString(g, JString(u"abc"), 0, 0);
    EXPECT_EQ(Lines(wrapText(u"a b", 0, font)), (std::vector<std::u16string>{u"a b"}));
    app.Shutdown();
}

}  // namespace
