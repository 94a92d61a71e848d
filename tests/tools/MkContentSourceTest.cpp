// Bad content sources give an error naming the file and line, never a crash.

#include "BitmapFont.h"
#include "ColourPalette.h"
#include "CompiledContent.h"
#include "ConfigFileChecker.h"
#include "ImageScript.h"
#include "SoundScript.h"
#include "SourceText.h"
#include "SpriteScript.h"
#include "StringTableSource.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

SourceText Text(const std::string& name, const std::string& text) {
    SourceText source;
    source.SetText(name, text);
    return source;
}

const ColourPalette& Palette() {
    static const ColourPalette palette = [] {
        ColourPalette parsed;
        std::string error;
        EXPECT_TRUE(parsed.Parse(Text("palette.txt", "colour white F0F0F0\ncolour ink 101010\n"
                                                     "colour ink_dark 000000\ncolour steel 304050\n"),
                                 error))
            << error;
        return parsed;
    }();
    return palette;
}

// A font of the digits 0 and 1 and 'A' only.
const BitmapFont& Font() {
    static const BitmapFont font = [] {
        BitmapFont parsed;
        std::string error;
        EXPECT_TRUE(parsed.Parse(Text("font.fnt", "metrics ascent=3 descent=1 spacing=1\n"
                                                  "colours ink=white shadow=ink\n"
                                                  "glyph 0\n###\n#.#\n###\n\nglyph 1\n.#\n##\n.#\n\n"
                                                  "glyph A\n.#.\n###\n#.#\n"),
                                 Palette(), error))
            << error;
        return parsed;
    }();
    return font;
}

typedef std::function<bool(const SourceText&, std::string&)> Parser;

bool ParsePalette(const SourceText& source, std::string& error) {
    ColourPalette palette;
    return palette.Parse(source, error);
}

bool ParseFont(const SourceText& source, std::string& error) {
    BitmapFont font;
    return font.Parse(source, Palette(), error);
}

bool ParseImages(const SourceText& source, std::string& error) {
    ImageScript script(Palette(), Font());
    std::vector<DrawnImage> images;
    return script.Parse(source, images, error);
}

bool ParseStrings(const SourceText& source, std::string& error) {
    StringTableSource strings;
    std::vector<ContentEntry> texts;
    return strings.Parse(source, texts, error);
}

bool ParseSounds(const SourceText& source, std::string& error) {
    SoundScript sounds;
    std::vector<ContentEntry> entries;
    return sounds.Parse(source, entries, error);
}

bool ParseSprites(const SourceText& source, std::string& error) {
    SpriteScript script(Palette(), Font());
    SpriteContent sprites;
    return script.Parse(source, sprites, error);
}

bool CheckConfig(const SourceText& source, std::string& error) {
    return ConfigFileChecker::Check(source.Name(), source, error);
}

struct BadSource {
    const char* what;
    Parser parse;
    const char* name;
    std::string text;
    int line;            // 0: the file as a whole
    const char* reason;  // part of the message
};

class BadSourceTest : public ::testing::TestWithParam<BadSource> {};

TEST_P(BadSourceTest, FailsNamingFileAndLine) {
    const BadSource& bad = GetParam();
    std::string error;
    ASSERT_FALSE(bad.parse(Text(bad.name, bad.text), error)) << bad.what;
    const std::string place = bad.line > 0 ? std::string(bad.name) + ":" + std::to_string(bad.line) : bad.name;
    EXPECT_EQ(error.rfind(place + ": ", 0), 0u) << error;
    EXPECT_NE(error.find(bad.reason), std::string::npos) << error;
}

const std::string kIds = "ids keyset=0x0500010E definition=0x03000401 sets=0x03000500 images=0xC00\n";
const std::string kSprites = kIds + "box body 4x4\nset 0\nframe f body@0,0\n";
const std::string kSpritesAnim = kSprites + "anim 0 f:100\n";

const std::vector<BadSource> kBadSources = {
    {"near-magenta colour", ParsePalette, "p.txt", "colour a 102030\ncolour pink FA00FA\n", 2, "close to magenta"},
    {"short colour", ParsePalette, "p.txt", "colour a 12345\n", 1, "expected `colour NAME RRGGBB`"},
    {"colour twice", ParsePalette, "p.txt", "colour a 102030\ncolour a 102030\n", 2, "defined twice"},
    {"defining key", ParsePalette, "p.txt", "colour key 102030\n", 1, "transparent"},

    {"glyph before metrics", ParseFont, "f.fnt", "glyph A\n#\n", 1, "`metrics` must come before"},
    {"bad art row", ParseFont, "f.fnt", "metrics ascent=7 descent=2 spacing=0\nglyph A\n#x#\n", 3, "only '#' and '.'"},
    {"glyph too tall", ParseFont, "f.fnt", "metrics ascent=1 descent=1 spacing=0\nglyph A\n#\n#\n#\n", 2, "taller"},
    {"glyph twice", ParseFont, "f.fnt", "metrics ascent=2 descent=0 spacing=0\nglyph A\n#\n\nglyph A\n#\n", 5,
     "has a glyph already"},
    {"code beyond 0x7FFF", ParseFont, "f.fnt", "metrics ascent=2 descent=0 spacing=0\nglyph 0x8000\n#\n", 2,
     "0x20 to 0x7FFF"},
    {"unknown colour in font", ParseFont, "f.fnt", "colours ink=pink shadow=ink\n", 1, "unknown colour pink"},
    {"font without glyphs", ParseFont, "f.fnt", "metrics ascent=2 descent=0 spacing=0\n", 0, "no glyphs"},

    {"drawing before image", ParseImages, "i.img", "rect 0 0 4 4 white\n", 1, "before the first `image`"},
    {"bad image size", ParseImages, "i.img", "image 1 0x4\n", 1, "WIDTHxHEIGHT"},
    {"huge image", ParseImages, "i.img", "image 1 5000x4\n", 1, "1 to 1024"},
    {"unknown colour", ParseImages, "i.img", "image 1 4x4\nrect 0 0 1 1 pink\n", 2, "unknown colour pink"},
    {"unknown command", ParseImages, "i.img", "image 1 4x4\nspray 1 1\n", 2, "unknown command `spray`"},
    {"missing numbers", ParseImages, "i.img", "image 1 4x4\nrect 0 0 white\n", 2, "needs 4 numbers"},
    {"not a number", ParseImages, "i.img", "image 1 4x4\ndisc a 1 1 white\n", 2, "`a` is not a number"},
    {"character the font lacks", ParseImages, "i.img", "image 1 40x9\ntext 0 0 white \"AB\"\n", 2,
     "no glyph for 'B'"},
    {"bad alignment", ParseImages, "i.img", "image 1 40x9\ntext 0 0 white \"A\" align=up\n", 2, "align must be"},
    {"art without rows", ParseImages, "i.img", "image 1 4x4\nart 0 0 x=white\n\n", 2, "no rows"},
    {"art legend of a word", ParseImages, "i.img", "image 1 4x4\nart 0 0 xy=white\nx\n", 2, "CHARACTER=COLOUR"},
    {"zero bands", ParseImages, "i.img", "image 1 4x4\ngradient 0 0 4 4 white ink bands=0\n", 2, "bands"},
    {"open quote", ParseImages, "i.img", "image 1 4x4\ntext 0 0 white \"A\n", 2, "quote is not closed"},

    {"text without id", ParseStrings, "s.txt", "# c\nHello\n", 2, "starts with its id"},
    {"id not a text", ParseStrings, "s.txt", "0x05000101 Hello\n", 1, "0x21FFxxxx"},
    {"continuation first", ParseStrings, "s.txt", "  more\n", 1, "continuation line before"},
    {"bad escape", ParseStrings, "s.txt", "0x21FF0001 a\\tb\n", 1, "only \\n and \\\\"},
    {"text twice", ParseStrings, "s.txt", "0x21FF0001 a\n0x21FF0001 b\n", 2, "already defined at s.txt:1"},

    {"part before sound", ParseSounds, "a.snd", "tone sine 440 100\n", 1, "before the first `sound`"},
    {"unknown wave", ParseSounds, "a.snd", "sound 1\ntone saw 440 100\n", 2, "sine|square|triangle"},
    {"pitch too high", ParseSounds, "a.snd", "sound 1\ntone sine 5000 100\n", 2, "20-3900 Hz"},
    {"zero length", ParseSounds, "a.snd", "sound 1\nnoise 0\n", 2, "1 to 60000"},
    {"loud", ParseSounds, "a.snd", "sound 1\nnoise 10 volume=2\n", 2, "volume must be 0 to 1"},
    {"bad note", ParseSounds, "a.snd", "sound 1\nmelody sine 100 \"C5 H5\"\n", 2, "`H5` is not a note"},
    {"slide on noise", ParseSounds, "a.snd", "sound 1\nnoise 10 to=400\n", 2, "final pitch"},
    {"unknown part", ParseSounds, "a.snd", "sound 1\nchord 1 2\n", 2, "unknown sound part"},

    {"device comment", CheckConfig, "device.conf", "# settings\n", 1, "no comments or blank lines"},
    {"device count line", CheckConfig, "device.conf", "PID=0\nORIENTATION_SUPPORT=PORTRAIT_ONLY\n", 2, "count of key remaps"},
    {"device unknown key", CheckConfig, "device.conf", "KEYS=0\nUSE_GX=1\n", 2, "unknown setting USE_GX"},
    {"device flag", CheckConfig, "device.conf", "KEYS=0\nUSE_GXDISPLAY=yes\n", 2, "is 0 or 1"},
    {"device remap", CheckConfig, "device.conf", "KEYS=1\nLEFT=37\n", 2, "NAME=0xHH"},
    {"device remaps missing", CheckConfig, "device.conf", "KEYS=2\nLEFT=0x25\n", 0, "fewer remap lines"},
    {"device long text", CheckConfig, "device.conf", "KEYS=0\nSTR_KEY_1=ABCDEFGHIJK\n", 2, "longer than the 9"},
    {"device background level", CheckConfig, "device.conf", "KEYS=0\nFORCE_BG_COLOR_LEVEL=-1\n", 2,
     "leave it out"},
    {"device orientation", CheckConfig, "device.conf", "KEYS=0\nORIENTATION_SUPPORT=BOTH\n", 2, "PORTRAIT_ONLY"},
    {"softkey unknown", CheckConfig, "softkey.conf", "LSK_PORTRAIT_X=1\nMSK_X=2\n", 2, "unknown soft-key setting"},
    {"softkey number", CheckConfig, "softkey.conf", "LSK_PORTRAIT_X=left\n", 1, "decimal number"},
    {"property unknown", CheckConfig, "properties.dat", "# c\nKiv-Cheat=true\n", 2, "unknown property"},
    {"property without value", CheckConfig, "properties.dat", "Kiv-Game=\n", 1, "key=value"},
    {"property twice", CheckConfig, "properties.dat", "Kiv-Game=a\nKiv-Game=b\n", 2, "defined twice"},

    {"no sprite ids", ParseSprites, "s.spr", "box body 4x4\n", 0, "ids are not given"},
    {"frame outside a set", ParseSprites, "s.spr", "box body 4x4\nframe f body@0,0\n", 2, "outside a set"},
    {"unknown sprite part", ParseSprites, "s.spr", kIds + "set 0\nframe f arm@0,0\n", 3, "no picture or box is named arm"},
    {"bad part", ParseSprites, "s.spr", kIds + "box body 4x4\nset 0\nframe f body@0\n", 4, "NAME@X,Y"},
    {"unknown frame", ParseSprites, "s.spr", kSprites + "anim 0 g:100\n", 5, "no frame of the set"},
    {"odd duration", ParseSprites, "s.spr", kSprites + "anim 0 f:15\n", 5, "multiple of 10"},
    {"long duration", ParseSprites, "s.spr", kSprites + "anim 0 f:65540\n", 5, "multiple of 10"},
    {"animation twice", ParseSprites, "s.spr", kSpritesAnim + "anim 0 f:100\n", 6, "animation 0 already"},
    {"no animation 0", ParseSprites, "s.spr", kSprites + "anim 1 f:100\n", 3, "no animation 0"},
    {"set gap", ParseSprites, "s.spr", kIds + "box body 4x4\nset 1\nframe f body@0,0\nanim 0 f:10\n", 0,
     "set 0 is missing"},
    {"set twice", ParseSprites, "s.spr", kSpritesAnim + "set 0\n", 6, "defined already at s.spr:3"},
    {"picture without end", ParseSprites, "s.spr", kIds + "picture p 2x2\nrect 0 0 2 2 white\n", 0, "no `end`"},
    {"bad box attribute", ParseSprites, "s.spr", kIds + "box b 2x2 attribute=5\n", 2, "attribute=1..4"},
    {"name twice", ParseSprites, "s.spr", kIds + "box b 2x2\npicture b 2x2\nend\n", 3, "named already"},
    {"bad placeholder range", ParseSprites, "s.spr", kIds + "placeholders 5..2\n", 2, "A..B"},
};

INSTANTIATE_TEST_SUITE_P(EverySource, BadSourceTest, ::testing::ValuesIn(kBadSources),
                         [](const ::testing::TestParamInfo<BadSource>& info) {
                             std::string name;
                             for (const char c : std::string(info.param.what)) {
                                 name += (std::isalnum(static_cast<unsigned char>(c)) != 0) ? c : '_';
                             }
                             return name;
                         });

TEST(SoundScript, WritesMixedVoicesAsLittleEndianSamples) {
    SoundScript sounds;
    std::vector<ContentEntry> entries;
    std::string error;
    // Two full-volume square waves at the same pitch add up; 10 ms at 8000
    // Hz is 80 samples.
    ASSERT_TRUE(sounds.Parse(Text("a.snd", "sound 0x09000001\ntone square 100 10 volume=1\nvoice\n"
                                           "tone square 100 10 volume=1\nrest 10\n"),
                             entries, error))
        << error;
    ASSERT_EQ(entries.size(), 1u);
    ASSERT_EQ(entries[0].payload.size(), 2u * 160);
    auto sample = [&](size_t i) {
        return static_cast<int16_t>(entries[0].payload[2 * i] | entries[0].payload[2 * i + 1] << 8);
    };
    EXPECT_EQ(sample(0), 0);        // faded in
    EXPECT_EQ(sample(35), 24000);   // late in the first half-wave: both voices at full scale
    EXPECT_EQ(sample(45), -24000);  // the second half-wave
    EXPECT_EQ(sample(120), 0);      // the rest
}

TEST(StringTableSource, JoinsContinuationsAndUnescapes) {
    StringTableSource strings;
    std::vector<ContentEntry> texts;
    std::string error;
    ASSERT_TRUE(strings.Parse(Text("s.txt", "0x21FF0001  One # not a comment\n  two\\n\n  three \\\\ four\n"),
                              texts, error))
        << error;
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(std::string(texts[0].payload.begin(), texts[0].payload.end()), "One # not a comment two\nthree \\ four");
    EXPECT_EQ(texts[0].origin.Describe(), "s.txt:1");
}

}  // namespace
