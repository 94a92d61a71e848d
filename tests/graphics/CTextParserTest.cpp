#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "AssertCounter.h"
#include "CGraphicFont.h"
#include "CTextParser.h"
#include "FontDataBuilder.h"

namespace {

typedef std::vector<std::pair<int32_t, int32_t>> Lines;

// Letters step 6 pixels (advance 5, spacing 1), a space 4 (advance 3): a
// word of n letters is 6n - 1 wide.
class CTextParserTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::vector<uint8_t> data = fonttest::BuildFontData(fonttest::LetterFont(2));
        ASSERT_TRUE(m_font.LoadFontData(data.data(), static_cast<uint32_t>(data.size())));
    }

    Lines Wrap(const std::u16string& text, int32_t width) {
        m_text = text;
        m_parser.SetFont(&m_font);
        m_parser.SetText(m_text.c_str());
        m_parser.SetWidth(width);
        EXPECT_EQ(m_parser.Wrap(), 0);
        Lines lines;
        for (int32_t i = 0; i < m_parser.GetLineCount(); ++i) {
            lines.emplace_back(m_parser.GetLineStart(i), m_parser.GetLineLength(i));
        }
        return lines;
    }

    CGraphicFont m_font;
    CTextParser m_parser;
    std::u16string m_text;
};

}  // namespace

TEST_F(CTextParserTest, NewlinesEndLinesAndRepeatedOnesGiveEmptyLines) {
    EXPECT_EQ(Wrap(u"ab\n\ncd", 200), (Lines{{0, 2}, {4, 0}, {4, 2}}));
    // A newline at the end stays pending: no empty line after the text.
    EXPECT_EQ(Wrap(u"ab\n", 200), (Lines{{0, 2}}));
    EXPECT_EQ(Wrap(u"ab\n\n", 200), (Lines{{0, 2}}));
    EXPECT_EQ(Wrap(u"\nab", 200), (Lines{{1, 0}, {1, 2}}));
}

TEST_F(CTextParserTest, BreaksBeforeTheLastSpaceThatFits) {
    // "ab cd" is 27 wide; the following space would pass 30.
    EXPECT_EQ(Wrap(u"ab cd ef", 30), (Lines{{0, 5}, {6, 2}}));
    EXPECT_EQ(Wrap(u"ab cd ef", 26), (Lines{{0, 2}, {3, 2}, {6, 2}}));
    // The space fits exactly at 16: the line ends before it and it is consumed.
    EXPECT_EQ(Wrap(u"ab cd", 16), (Lines{{0, 2}, {3, 2}}));
    // The rightmost space that fits ends the line: the first space stays in
    // it and one separator is consumed at the break.
    EXPECT_EQ(Wrap(u"ab  cd", 16), (Lines{{0, 3}, {4, 2}}));
    EXPECT_EQ(m_parser.GetLinePointer(1), m_text.c_str() + 4);
}

TEST_F(CTextParserTest, WordsWiderThanTheLineBreakInside) {
    // Three letters (17 pixels) fit into 20.
    EXPECT_EQ(Wrap(u"abcdefgh", 20), (Lines{{0, 3}, {3, 3}, {6, 2}}));
    EXPECT_EQ(Wrap(u"abcdefgh xy", 30), (Lines{{0, 5}, {5, 3}, {9, 2}}));
}

TEST_F(CTextParserTest, WidthsBelowOneCharacterEndTheWrap) {
    for (const int32_t width : {1, 4}) {
        EXPECT_TRUE(Wrap(u"abc", width).empty());
        EXPECT_TRUE(Wrap(u"a b\nc", width).empty());
    }
    // Lines already found stay; the wrap ends at the character that cannot fit.
    EXPECT_EQ(Wrap(u"  a", 4), (Lines{{0, 1}}));
}

TEST_F(CTextParserTest, NothingToWrapGivesNoLines) {
    EXPECT_TRUE(Wrap(u"", 100).empty());
    EXPECT_TRUE(Wrap(u"abc", 0).empty());
    m_parser.SetText(nullptr);
    EXPECT_EQ(m_parser.Wrap(), 0);
    EXPECT_EQ(m_parser.GetLineCount(), 0);
    EXPECT_EQ(m_parser.GetLinePointer(0), nullptr);
    m_parser.SetText(u"abc");
    m_parser.SetFont(nullptr);
    EXPECT_EQ(m_parser.Wrap(), 0);
    EXPECT_EQ(m_parser.GetLineCount(), 0);
}

TEST_F(CTextParserTest, LineQueriesOutsideTheLinesAnswerZero) {
    ASSERT_EQ(Wrap(u"ab cd", 16).size(), 2u);
    EXPECT_EQ(m_parser.GetLineStart(2), 0);
    EXPECT_EQ(m_parser.GetLineLength(2), 0);
    EXPECT_EQ(m_parser.GetLineStart(-1), 0);
    m_parser.Reset();
    EXPECT_EQ(m_parser.GetLineStart(0), 0);
}

TEST_F(CTextParserTest, StopsWhereALineStartNoLongerFitsItsRecord) {
    AssertCounter checks;
    std::u16string text;
    while (text.size() < 70000) text += u"abcdefghi ";
    const Lines lines = Wrap(text, 60);  // one ten-character line each: 59 wide
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().first, 65530);
    EXPECT_EQ(lines.size(), 6554u);
    EXPECT_EQ(lines[1], (std::pair<int32_t, int32_t>{10, 9}));
    EXPECT_EQ(checks.Count(), 0);
}
