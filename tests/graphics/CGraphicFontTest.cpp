#include <gtest/gtest.h>

#include <vector>

#include "AssertCounter.h"
#include "CGraphicFont.h"
#include "CGraphics2d_Lite.h"
#include "DrawingScope.h"
#include "FontDataBuilder.h"

using fonttest::AdvanceSpec;
using fonttest::BuildFontData;
using fonttest::FontSpec;
using fonttest::GlyphSpec;

namespace {

bool Load(CGraphicFont* font, const std::vector<uint8_t>& data) {
    return font->LoadFontData(data.data(), static_cast<uint32_t>(data.size()));
}

FontSpec PairFont(uint8_t version, int8_t spacing, int8_t advance) {
    FontSpec spec;
    spec.version = version;
    spec.spacing = spacing;
    spec.glyphs = {{'x', 0, 0, 4, 4, 0, 0, advance}, {'y', 4, 0, 4, 4, 0, 0, advance}};
    return spec;
}

// Glyph 'A' (3x4, one pixel down, advance 4), 'B' (2x5, one pixel right,
// advance 3) and an advance-only space of 2, spacing 1.
FontSpec DrawingFont(uint8_t version) {
    FontSpec spec;
    spec.version = version;
    spec.glyphs = {{'A', 0, 0, 3, 4, 0, 1, 4}, {'B', 3, 0, 2, 5, 1, 0, 3}};
    spec.advances = {{' ', 2}};
    return spec;
}

uint32_t ImagePixel(int x, int y) { return static_cast<uint32_t>((x * 7) << 16 | (y * 29) << 8 | 0x77); }

class FontVersionTest : public ::testing::TestWithParam<uint8_t> {};

}  // namespace

TEST_P(FontVersionTest, MeasuresWithSpacingAndMaximumWidth) {
    CGraphicFont font;
    ASSERT_TRUE(Load(&font, BuildFontData(PairFont(GetParam(), 1, 7))));
    int32_t fitting = -1;
    EXPECT_EQ(font.GetStringWidth(u"xy", -1, -1, &fitting), 15);
    EXPECT_EQ(fitting, 2);
    EXPECT_EQ(font.GetStringWidth(u"xy", -1, 10, &fitting), 7);
    EXPECT_EQ(fitting, 1);
    EXPECT_EQ(font.GetStringWidth(u"xyxy", 2, -1, nullptr), 15);
    EXPECT_EQ(font.GetStringWidth(u"", -1, -1, &fitting), 0);
    EXPECT_EQ(fitting, 0);
    // A missing character measures 0 but still takes its spacing.
    EXPECT_EQ(font.GetCharWidth(u'?'), 0);
    EXPECT_EQ(font.GetStringWidth(u"x?y", -1, -1, nullptr), 16);
    EXPECT_EQ(font.GetHeight(), 8);
    EXPECT_EQ(font.GetAscent(), 6);

    // Negative spacing shrinks each step; the stop test uses the larger of
    // advance and step.
    ASSERT_TRUE(Load(&font, BuildFontData(PairFont(GetParam(), -2, 5))));
    EXPECT_EQ(font.GetStringWidth(u"xx", -1, -1, &fitting), 8);
    EXPECT_EQ(font.GetStringWidth(u"xx", -1, 5, &fitting), 5);
    EXPECT_EQ(fitting, 1);
    // The second step (3) fits in the 4 pixels left of 7, its advance (5)
    // does not: the stop keeps the string within the maximum.
    EXPECT_EQ(font.GetStringWidth(u"xx", -1, 7, &fitting), 5);
    EXPECT_EQ(fitting, 1);
    EXPECT_EQ(font.GetStringWidth(u"xx", -1, 8, &fitting), 8);
    EXPECT_EQ(fitting, 2);
}

TEST_P(FontVersionTest, AdvanceOnlyEntriesComeFirstAndHighCodesAreNeverFound) {
    FontSpec spec = PairFont(GetParam(), 0, 7);
    spec.glyphs.insert(spec.glyphs.begin(), GlyphSpec{0x8000, 0, 0, 1, 1, 0, 0, 9});
    spec.advances = {{'y', 2}, {'y', 4}, {0x9000, 5}};
    CGraphicFont font;
    ASSERT_TRUE(Load(&font, BuildFontData(spec)));
    EXPECT_EQ(font.GetCharWidth(u'x'), 7);
    EXPECT_EQ(font.GetCharWidth(u'y'), 2);  // the first matching entry
    EXPECT_EQ(font.FindGlyph(0x8000), nullptr);
    EXPECT_EQ(font.FindAdvanceOnly(0x9000), nullptr);
    EXPECT_EQ(font.GetCharWidth(0x8000), 0);
    ASSERT_NE(font.FindGlyph(u'y'), nullptr);
    EXPECT_EQ(font.FindGlyph(u'y')->x, 4);
}

TEST_P(FontVersionTest, DrawsEachGlyphAtThePenPosition) {
    DrawingScope scope(24, 10);
    CGraphicFont font;
    font.SetImage(scope.MakeImage(32, 8, ImagePixel));
    ASSERT_TRUE(Load(&font, BuildFontData(DrawingFont(GetParam()))));
    scope.FillFrame(0);
    // 'Z' has no entry: nothing drawn, the pen stays.
    font.DrawString(u"AB ZA", -1, 1, 1, -1, -1);
    font.DrawString(u"B", -1, -2, 5, -1, -1);

    ExpectedFrame expected(24, 10, 0);
    expected.Blit(ImagePixel, 0, 0, 3, 4, 1, 2);    // A, pen 0
    expected.Blit(ImagePixel, 3, 0, 2, 5, 7, 1);    // B, pen 5
    expected.Blit(ImagePixel, 0, 0, 3, 4, 13, 2);   // A, pen 12 after the space
    expected.Blit(ImagePixel, 3, 0, 2, 5, -1, 5);   // B half off the left edge
    EXPECT_EQ(scope.ReadFrame(), expected.pixels);
}

TEST_P(FontVersionTest, MaximumWidthAndHeightCutTheGlyphs) {
    DrawingScope scope(24, 10);
    CGraphicFont font;
    font.SetImage(scope.MakeImage(32, 8, ImagePixel));
    ASSERT_TRUE(Load(&font, BuildFontData(DrawingFont(GetParam()))));
    scope.FillFrame(0);
    font.DrawString(u"ABA", -1, 1, 1, 7, 4);

    ExpectedFrame expected(24, 10, 0);
    expected.Blit(ImagePixel, 0, 0, 3, 3, 1, 2);  // A: 4 - yOffset 1 = 3 rows
    expected.Blit(ImagePixel, 3, 0, 1, 4, 7, 1);  // B crosses the width: 7 - 5 - 1 = 1 column
    // The last A starts past the width and draws nothing.
    EXPECT_EQ(scope.ReadFrame(), expected.pixels);
}

TEST_P(FontVersionTest, GlyphsOutsideTheImageDrawNothing) {
    AssertCounter checks;
    DrawingScope scope(24, 10);
    CGraphicFont font;
    font.SetImage(scope.MakeImage(32, 8, ImagePixel));
    FontSpec spec;
    spec.version = GetParam();
    spec.glyphs = {{'a', 30, 0, 4, 4, 0, 0, 4}, {'b', 0, 6, 2, 4, 0, 0, 4}, {'c', 0, 0, -3, 4, 0, 0, 4},
                   {'d', -2, 0, 3, 3, 0, 0, 4}};
    ASSERT_TRUE(Load(&font, BuildFontData(spec)));
    scope.FillFrame(0);
    font.DrawString(u"abcd", -1, 0, 0, -1, -1);
    EXPECT_EQ(scope.ReadFrame(), std::vector<uint32_t>(24 * 10, 0));
    EXPECT_EQ(checks.Count(), 0);
}

// A run of text digests as the font's load and the text: recorded it still
// draws, rehearsed it draws nothing, and other data loaded into the same
// font digests otherwise.
TEST_P(FontVersionTest, TextDigestsAsWhatLaysItOut) {
    DrawingScope scope(24, 10);
    CGraphicFont font;
    font.SetImage(scope.MakeImage(32, 8, ImagePixel));
    ASSERT_TRUE(Load(&font, BuildFontData(DrawingFont(GetParam()))));
    const auto digest = [&](CDrawCallHash::Mode mode) {
        scope.FillFrame(0);
        scope.Renderer()->StartCallHash(mode);
        font.DrawString(u"AB A", -1, 1, 1, -1, -1);
        return scope.Renderer()->StopCallHash();
    };
    const std::vector<uint32_t> blank(24 * 10, 0);
    const uint64_t rehearsed = digest(CDrawCallHash::Mode::kRehearse);
    EXPECT_EQ(scope.ReadFrame(), blank);
    EXPECT_EQ(digest(CDrawCallHash::Mode::kRecord), rehearsed);
    EXPECT_NE(scope.ReadFrame(), blank);

    FontSpec wider = DrawingFont(GetParam());
    wider.spacing = 2;
    ASSERT_TRUE(Load(&font, BuildFontData(wider)));
    EXPECT_NE(digest(CDrawCallHash::Mode::kRehearse), rehearsed);
}

INSTANTIATE_TEST_SUITE_P(BothVersions, FontVersionTest, ::testing::Values(uint8_t{1}, uint8_t{2}));

TEST(CGraphicFont, BisectionNeedsSortedGlyphs) {
    FontSpec spec = PairFont(1, 1, 7);
    spec.glyphs = {{'c', 0, 0, 1, 1, 0, 0, 1}, {'b', 0, 0, 1, 1, 0, 0, 2}, {'a', 0, 0, 1, 1, 0, 0, 3}};
    CGraphicFont font;
    ASSERT_TRUE(Load(&font, BuildFontData(spec)));
    EXPECT_NE(font.FindGlyph(u'b'), nullptr);
    EXPECT_EQ(font.FindGlyph(u'a'), nullptr);
}

TEST(CGraphicFont, HeaderOnlyFontMeasuresZero) {
    FontSpec spec;
    spec.descent = -1;
    spec.ascent = 9;
    CGraphicFont font;
    ASSERT_TRUE(Load(&font, BuildFontData(spec)));
    EXPECT_EQ(font.GetHeight(), 8);
    EXPECT_EQ(font.GetCharWidth(u'a'), 0);
    EXPECT_EQ(font.FindGlyph(u'a'), nullptr);
    EXPECT_EQ(font.GetStringWidth(u"ab", -1, -1, nullptr), 1);  // one spacing between two empty characters
}

TEST(CGraphicFont, RefusesBadDataAndKeepsNothing) {
    AssertCounter checks;
    std::vector<std::vector<uint8_t>> bad;
    std::vector<uint8_t> data = BuildFontData(fonttest::LetterFont(1));
    data[0] = 3;
    bad.push_back(data);
    data[0] = 1;
    data[1] = 1;
    bad.push_back(data);
    data[1] = 0;
    data.resize(data.size() - 1);  // the last advance-only record is cut
    bad.push_back(data);
    data.resize(11);               // not even a header
    bad.push_back(data);
    std::vector<uint8_t> glyphsCut = BuildFontData(PairFont(1, 1, 7));
    glyphsCut.resize(12 + 12 + 5);
    bad.push_back(glyphsCut);

    // Version 2: a code string with fewer codes than records, one cut short,
    // and one without its length field.
    FontSpec two = PairFont(2, 1, 7);
    std::vector<uint8_t> fewCodes = BuildFontData(two);
    fewCodes.erase(fewCodes.begin() + 12, fewCodes.begin() + 12 + 4);
    const std::vector<uint8_t> oneCode = fonttest::CodeString({'x'});
    fewCodes.insert(fewCodes.begin() + 12, oneCode.begin(), oneCode.end());
    fewCodes.push_back(0);  // keeps the record bytes complete
    bad.push_back(fewCodes);
    std::vector<uint8_t> longString = BuildFontData(two);
    longString[13] = 0x40;  // claims 64 bytes of codes
    bad.push_back(longString);
    std::vector<uint8_t> noLength = BuildFontData(two);
    noLength.resize(13);
    bad.push_back(noLength);

    for (size_t i = 0; i < bad.size(); ++i) {
        SCOPED_TRACE(i);
        CGraphicFont font;
        ASSERT_TRUE(Load(&font, BuildFontData(PairFont(1, 1, 7))));
        EXPECT_FALSE(Load(&font, bad[i]));
        EXPECT_FALSE(font.HasData());
    }
    EXPECT_EQ(checks.Count(), 0);
    EXPECT_TRUE(checks.Logged("CGraphicFont"));
}

TEST(CGraphicFont, CallsWithoutDataOrImageAreReported) {
    AssertCounter checks;
    CGraphicFont font;
    EXPECT_FALSE(font.LoadFontData(nullptr, 20));
    EXPECT_EQ(font.GetHeight(), 0);
    EXPECT_EQ(font.GetCharWidth(u'a'), 0);
    ASSERT_TRUE(Load(&font, BuildFontData(PairFont(1, 1, 7))));
    font.DrawString(u"x", -1, 0, 0, -1, -1);  // no image
    EXPECT_EQ(checks.Count(), 4);
}
