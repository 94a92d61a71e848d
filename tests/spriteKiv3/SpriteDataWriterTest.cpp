#include <gtest/gtest.h>

#include "BigArchiveReader.h"
#include "BigArchiveWriter.h"
#include "SpriteBitmapWriter.h"
#include "SpriteDataChecker.h"
#include "SpriteDataWriter.h"

using namespace spritedata;

namespace {

// One image module (slot 0, variant 0), one invisible 16 x 32 box of
// attribute 1, one set.
Definition SmallDefinition() {
    Definition definition;
    definition.slots = {{0, kNone}};
    definition.imageModules = {{0, 0, 0}};
    definition.rectModules = {{kBoxColour, 16, 32, 1}};
    definition.setCount = 1;
    return definition;
}

// One frame of both modules, one pose, one 100 ms animation, one sprite.
SpriteSet SmallSet() {
    SpriteSet set;
    set.frames = {{{0, 0, 0}, {1, 0, 0}}};
    set.poses = {{{0, 0, 0}}};
    set.animations = {{kAllTransforms, {{0, 10}}}};
    set.sprites = {{{0}, kNone}};
    return set;
}

TEST(SpriteDataWriter, WritesTheStoredLayoutByteForByte) {
    EXPECT_EQ(SpriteDataWriter::EncodeKeyset(Ids()),
              (std::vector<uint8_t>{3, 0, 0x10, 1, 0, 5, 0x20, 1, 0, 5, 0, 2, 0, 5}));
    std::string error;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(SpriteDataWriter::EncodeDefinition(SmallDefinition(), &bytes, &error)) << error;
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0, 0, 0, 1, 0, 0, 0, 0xFF, 1, 0, 0, 0, 0, 0, 1, 0, 0xFF, 0xFF, 0xFF, 0xFF,
                                           0x10, 0, 0x20, 0, 1, 0, 1}));
    ASSERT_TRUE(SpriteDataWriter::EncodeSet(SmallSet(), 1, &bytes, &error)) << error;
    EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 0, 2, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0,
                                           0, 0, 0, 0, 1, 0, 0xFF, 1, 0, 0, 0x0A, 0, 1, 1, 0xFF}));
}

TEST(SpriteDataWriter, SpriteBitsRunLeastSignificantFirstAcrossBytes) {
    SpriteSet set;
    set.sprites = {{{0, 8}, 2}};
    std::string error;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(SpriteDataWriter::EncodeSet(set, 9, &bytes, &error)) << error;
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 1, 0x01, 0x01, 2}));
    set.sprites = {{{9}, kNone}};
    EXPECT_FALSE(SpriteDataWriter::EncodeSet(set, 9, &bytes, &error));
}

TEST(SpriteDataWriter, RefusesCountsTheirFieldsCannotHold) {
    std::string error;
    std::vector<uint8_t> bytes;
    SpriteSet set;
    set.frames.assign(1, Frame(256));
    EXPECT_FALSE(SpriteDataWriter::EncodeSet(set, 0, &bytes, &error));
    Definition definition;
    definition.maps.assign(256, ModuleMap());
    EXPECT_FALSE(SpriteDataWriter::EncodeDefinition(definition, &bytes, &error));
    definition = SmallDefinition();
    BigArchiveWriter archive(IdTableForm::List);
    EXPECT_FALSE(SpriteDataWriter::AddToArchive(archive, Ids(), definition, {SmallSet(), SmallSet()}, {}, false,
                                                &error));
}

TEST(SpriteDataWriter, PlacesEveryEntryAtItsArchiveId) {
    std::string error;
    BigArchiveWriter writer(IdTableForm::List);
    ASSERT_TRUE(SpriteDataWriter::AddEmptyDirectory(writer, &error));
    ASSERT_TRUE(SpriteDataWriter::AddToArchive(writer, Ids(), SmallDefinition(), {SmallSet()}, {{'B', 'M'}}, true,
                                               &error))
        << error;
    std::vector<uint8_t> file;
    ASSERT_TRUE(writer.Build(file, error)) << error;
    BigArchiveReader reader;
    ASSERT_TRUE(reader.Parse(file, error)) << error;
    std::vector<uint32_t> ids;
    for (const auto& entry : reader.Entries()) ids.push_back(entry.id);
    EXPECT_EQ(ids, (std::vector<uint32_t>{270, 271, 272, 288, 512}));
}

struct CheckCase {
    const char* name;
    void (*breakIt)(Definition& definition, SpriteSet& set);
};

TEST(SpriteDataChecker, AcceptsSoundDataAndNamesEachBrokenRule) {
    std::string error;
    EXPECT_TRUE(SpriteDataChecker::Check(SmallDefinition(), {SmallSet()}, &error)) << error;
    const CheckCase cases[] = {
        {"slot", [](Definition& d, SpriteSet&) { d.imageModules[0].slotIndex = 1; }},
        {"variant", [](Definition& d, SpriteSet&) { d.imageModules[0].variant = 8; }},
        {"block", [](Definition& d, SpriteSet&) { d.slots[0].blockIndex = -2; }},
        {"palette size", [](Definition& d, SpriteSet&) { d.blocks = {std::vector<uint8_t>(16)}; }},
        {"map module", [](Definition& d, SpriteSet&) { d.maps = {{{2, 0, 0, 0, 0}}}; }},
        {"map order", [](Definition& d, SpriteSet&) { d.maps = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}}}; }},
        {"part", [](Definition&, SpriteSet& s) { s.frames[0][1].module = 2; }},
        {"pose frame", [](Definition&, SpriteSet& s) { s.poses[0][0].frame = 1; }},
        {"animation pose", [](Definition&, SpriteSet& s) { s.animations[0].frames[0].pose = 1; }},
        {"empty animation", [](Definition&, SpriteSet& s) { s.animations[0].frames.clear(); }},
        {"duration", [](Definition&, SpriteSet& s) { s.animations[0].frames[0].duration = 6554; }},
        {"total", [](Definition&, SpriteSet& s) { s.animations[0].frames.assign(2, {0, 4000}); }},
        {"sprite map", [](Definition&, SpriteSet& s) { s.sprites[0].moduleMapIndex = 0; }},
        {"held modules", [](Definition&, SpriteSet& s) { s.sprites[0].imageModules.clear(); }},
    };
    for (const CheckCase& c : cases) {
        Definition definition = SmallDefinition();
        SpriteSet set = SmallSet();
        c.breakIt(definition, set);
        error.clear();
        EXPECT_FALSE(SpriteDataChecker::Check(definition, {set}, &error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
    }
}

TEST(SpriteDataChecker, DrawnModulesFollowTheModuleMap) {
    Definition definition = SmallDefinition();
    definition.imageModules = {{0, 0, 0}, {0, 1, 0}, {0, 2, 0}};
    definition.rectModules = {{kBoxColour, 1, 1, 1}};
    definition.maps = {{{0, 1, kMapReplace, 0, 0}}, {{0, 2, kMapOverlay, 0, 0}, {3, 1, kMapUnderlay, 0, 0}}};
    SpriteSet set;
    set.frames = {{{0, 0, 0}, {3, 0, 0}}};
    EXPECT_EQ(SpriteDataChecker::DrawnImageModules(definition, set, kNone), (std::vector<uint16_t>{0}));
    EXPECT_EQ(SpriteDataChecker::DrawnImageModules(definition, set, 0), (std::vector<uint16_t>{1}));
    EXPECT_EQ(SpriteDataChecker::DrawnImageModules(definition, set, 1), (std::vector<uint16_t>{0, 1, 2}));
}

}  // namespace

namespace {

TEST(SpriteBitmapWriter, RefusesPicturesItCannotWrite) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(SpriteBitmapWriter::EncodeIndexed(0, 1, {0}, {}, &bytes, &error));
    EXPECT_FALSE(SpriteBitmapWriter::EncodeIndexed(2, 1, {0}, {0}, &bytes, &error));
    EXPECT_FALSE(SpriteBitmapWriter::EncodeIndexed(1, 1, {0}, {1}, &bytes, &error));
    EXPECT_FALSE(SpriteBitmapWriter::EncodeIndexed(1, 1, std::vector<uint32_t>(257), {0}, &bytes, &error));
    ASSERT_TRUE(SpriteBitmapWriter::EncodeIndexed(3, 2, {0x102030, 0xFF00FF}, {0, 1, 0, 1, 1, 1}, &bytes, &error));
    // Rows of 3 pixels padded to 4, bottom row first, after 54 + 8 bytes.
    ASSERT_EQ(bytes.size(), 54u + 8u + 8u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 54, bytes.end()),
              (std::vector<uint8_t>{0x30, 0x20, 0x10, 0, 0xFF, 0, 0xFF, 0, 1, 1, 1, 0, 0, 1, 0, 0}));
}

}  // namespace
