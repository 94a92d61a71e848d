// Each rule the content validator keeps, broken once in otherwise good
// content: the compiler must refuse it and name the source that broke it.

#include "CompiledContent.h"
#include "ContentTypes.h"
#include "ContentValidator.h"
#include "LittleEndianWriter.h"
#include "RepositoryContent.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

ContentEntry* EntryOf(CompiledContent& content, uint32_t archiveId) {
    for (ContentEntry& entry : content.entries) {
        if (ContentHandles::ArchiveId(entry.handle) == archiveId) return &entry;
    }
    ADD_FAILURE() << "no entry " << archiveId;
    static ContentEntry none;
    return &none;
}

// The bitmap entry behind an image descriptor.
ContentEntry* BitmapOf(CompiledContent& content, uint32_t imageHandle) {
    const std::vector<uint8_t>& pairs = EntryOf(content, imageHandle)->payload;
    const size_t last = pairs.size() - 4;
    const uint32_t id = pairs[last] | pairs[last + 1] << 8 | pairs[last + 2] << 16;
    return EntryOf(content, id);
}

ContentEntry* TextOf(CompiledContent& content, uint32_t handle) {
    for (ContentEntry& text : content.tables[0].texts) {
        if (text.handle == handle) return &text;
    }
    ADD_FAILURE() << "no text " << handle;
    return &content.tables[0].texts[0];
}

void PutU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

std::vector<uint8_t> Pairs(const std::vector<std::pair<uint32_t, uint32_t>>& pairs) {
    std::vector<uint8_t> bytes;
    LittleEndianWriter writer(bytes);
    for (const auto& pair : pairs) {
        writer.U32(pair.first);
        writer.U32(pair.second);
    }
    return bytes;
}

constexpr uint32_t kSoftKeys = 597;
constexpr uint32_t kLogo = 671;
constexpr uint32_t kFontData = 0x286;
constexpr uint32_t kPlayText = 0x21FF017E;

struct BrokenRule {
    const char* rule;
    // Breaks the content and says which place the message must name.
    std::function<SourcePlace(CompiledContent&)> breakIt;
    const char* reason;  // part of the message
};

class ContentValidatorRuleTest : public ::testing::TestWithParam<BrokenRule> {};

TEST(ContentValidator, TheRepositoryContentIsValid) {
    std::string error;
    EXPECT_TRUE(ContentValidator::Check(RepositoryContent(), error)) << error;
}

TEST_P(ContentValidatorRuleTest, RefusesAndNamesTheSource) {
    CompiledContent content = RepositoryContent();
    const SourcePlace place = GetParam().breakIt(content);
    std::string error;
    ASSERT_FALSE(ContentValidator::Check(content, error)) << GetParam().rule;
    EXPECT_EQ(error.rfind(place.Describe() + ": ", 0), 0u) << error;
    EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
}

const std::vector<BrokenRule> kRules = {
    {"fixed resource missing",
     [](CompiledContent& c) {
         ContentEntry* keys = EntryOf(c, kSoftKeys);
         c.entries.erase(c.entries.begin() + (keys - c.entries.data()));
         return SourcePlace{c.manifest, 0};
     },
     "lacks image 0x00000255 (soft-key strip)"},
    {"fixed resource of the wrong type",
     [](CompiledContent& c) {
         ContentEntry* logo = EntryOf(c, kLogo);
         logo->typeWord = ContentTypes::kBinary;
         return logo->origin;
     },
     "the game reads image 0x0000029F (logo sheet) here"},
    {"fixed text missing",
     [](CompiledContent& c) {
         c.tables[0].texts.erase(c.tables[0].texts.begin() + (TextOf(c, kPlayText) - c.tables[0].texts.data()));
         return c.tables[0].place;
     },
     "string table 0 lacks text 0x21FF017E"},
    {"thirteen descriptor pairs",
     [](CompiledContent& c) {
         ContentEntry* logo = EntryOf(c, kLogo);
         std::vector<std::pair<uint32_t, uint32_t>> pairs(12, {4, 0});
         pairs.push_back({14, ContentHandles::ArchiveId(BitmapOf(c, kLogo)->handle)});
         logo->payload = Pairs(pairs);
         return logo->origin;
     },
     "1 to 12 whole attribute pairs"},
    {"descriptor terminator",
     [](CompiledContent& c) {
         ContentEntry* logo = EntryOf(c, kLogo);
         const std::vector<uint8_t> zero(8, 0);
         logo->payload.insert(logo->payload.begin(), zero.begin(), zero.end());
         return logo->origin;
     },
     "a (0,0) pair"},
    {"descriptor bitmap not last",
     [](CompiledContent& c) {
         ContentEntry* logo = EntryOf(c, kLogo);
         const std::vector<uint8_t> pair = Pairs({{4, 1}});
         logo->payload.insert(logo->payload.end(), pair.begin(), pair.end());
         return logo->origin;
     },
     "the bitmap pair must come last"},
    {"descriptor names no bitmap",
     [](CompiledContent& c) {
         ContentEntry* logo = EntryOf(c, kLogo);
         logo->payload = Pairs({{6, 0xFFFFFFFF}, {14, kFontData}});
         return logo->origin;
     },
     "is not a bitmap"},
    {"bitmap of 16 bits",
     [](CompiledContent& c) {
         ContentEntry* bitmap = BitmapOf(c, kLogo);
         bitmap->payload[28] = 16;
         return bitmap->origin;
     },
     "not 4, 8 or 24 bits"},
    {"top-down bitmap",
     [](CompiledContent& c) {
         ContentEntry* bitmap = BitmapOf(c, kLogo);
         PutU32(bitmap->payload, 22, static_cast<uint32_t>(-60));
         return bitmap->origin;
     },
     "bottom-up"},
    {"bitmap with a short palette",
     [](CompiledContent& c) {
         ContentEntry* bitmap = BitmapOf(c, kLogo);
         PutU32(bitmap->payload, 46, 17);
         return bitmap->origin;
     },
     "palette is not full"},
    {"bitmap header of 108 bytes",
     [](CompiledContent& c) {
         ContentEntry* bitmap = BitmapOf(c, kLogo);
         PutU32(bitmap->payload, 14, 108);
         return bitmap->origin;
     },
     "not 40 bytes"},
    {"colour the key hides",
     [](CompiledContent& c) {
         ContentEntry* bitmap = BitmapOf(c, kLogo);
         const uint8_t usedIndex = bitmap->payload[bitmap->payload.size() - 1];
         PutU32(bitmap->payload, 54 + 4 * usedIndex, 0xFA02FC);
         return bitmap->origin;
     },
     "which the colour key makes transparent"},
    {"font glyphs out of order",
     [](CompiledContent& c) {
         std::vector<uint8_t>& data = EntryOf(c, kFontData)->payload;
         std::swap_ranges(data.begin() + 12, data.begin() + 24, data.begin() + 24);
         return c.fonts[0].place;
     },
     "glyph codes must ascend"},
    {"glyph outside the atlas",
     [](CompiledContent& c) {
         std::vector<uint8_t>& data = EntryOf(c, kFontData)->payload;
         data[12 + 2] = 0x50;  // x of the first glyph: 80, and it is 4 or more wide in a 96-wide atlas
         data[12 + 6] = 20;
         return c.fonts[0].place;
     },
     "lies outside the atlas"},
    {"text beyond U+FFFF",
     [](CompiledContent& c) {
         ContentEntry* text = TextOf(c, kPlayText);
         text->payload = {'P', 0xF0, 0x9F, 0x98, 0x80};
         return text->origin;
     },
     "characters up to U+FFFF"},
    {"malformed UTF-8",
     [](CompiledContent& c) {
         ContentEntry* text = TextOf(c, kPlayText);
         text->payload = {'P', 0xC3};
         return text->origin;
     },
     "is not UTF-8"},
    {"empty text",
     [](CompiledContent& c) {
         ContentEntry* text = TextOf(c, kPlayText);
         text->payload.clear();
         return text->origin;
     },
     "is empty"},
    {"archive id taken twice",
     [](CompiledContent& c) {
         ContentEntry copy = *EntryOf(c, kLogo);
         copy.origin = {"elsewhere.img", 7};
         c.entries.push_back(copy);
         return copy.origin;
     },
     "is taken already by"},
    {"handle of a pack member",
     [](CompiledContent& c) {
         ContentEntry* logo = EntryOf(c, kLogo);
         logo->handle |= 0x20000000;
         return logo->origin;
     },
     "not a plain archive handle"},
    {"key set count wrong",
     [](CompiledContent& c) {
         ContentEntry* intro = EntryOf(c, 0x101);
         intro->payload[0] = 3;
         return intro->origin;
     },
     "does not hold exactly its count"},
    {"intro picture that is no image",
     [](CompiledContent& c) {
         ContentEntry* intro = EntryOf(c, 0x101);
         PutU32(intro->payload, 2, 0x03000286);
         return intro->origin;
     },
     "is not an image"},
    {"half a sample",
     [](CompiledContent& c) {
         ContentEntry* sound = EntryOf(c, 0x223);
         sound->payload.push_back(0);
         return sound->origin;
     },
     "whole 16-bit samples"},
    {"too few sprite sets",
     [](CompiledContent& c) {
         c.sprites[0].sets.pop_back();
         c.sprites[0].setPlaces.pop_back();
         c.sprites[0].definition.setCount = 56;
         return c.sprites[0].place;
     },
     "sprite sets 0 to 56"},
    {"too few animations",
     [](CompiledContent& c) {
         c.sprites[0].sets[30].animations.resize(35);
         return c.sprites[0].setPlaces[30];
     },
     "fewer than the 36 animations"},
    {"set 12 without its second sprite",
     [](CompiledContent& c) {
         c.sprites[0].sets[12].sprites.resize(1);
         return c.sprites[0].setPlaces[12];
     },
     "set 12 needs a second sprite"},
    {"sprite lacking a drawn image module",
     [](CompiledContent& c) {
         c.sprites[0].sets[17].sprites[0].imageModules.pop_back();
         return c.sprites[0].setPlaces[17];
     },
     "without holding it"},
    {"animation pose out of range",
     [](CompiledContent& c) {
         c.sprites[0].sets[16].animations[2].frames[0].pose = 999;
         return c.sprites[0].setPlaces[16];
     },
     "set 16"},
};

INSTANTIATE_TEST_SUITE_P(EveryRule, ContentValidatorRuleTest, ::testing::ValuesIn(kRules),
                         [](const ::testing::TestParamInfo<BrokenRule>& info) {
                             std::string name;
                             for (const char c : std::string(info.param.rule)) {
                                 name += (std::isalnum(static_cast<unsigned char>(c)) != 0) ? c : '_';
                             }
                             return name;
                         });

}  // namespace
