#include <gtest/gtest.h>

#include <string>

#include "AssertCounter.h"
#include "CArrayInputStream.h"
#include "LevelDataSamples.h"
#include "LevelMapData.h"
#include "LevelMapWriter.h"

using namespace levelsamples;

namespace {

std::vector<uint8_t> Flags(std::initializer_list<uint8_t> bytes) { return bytes; }

// The bytes of a map with no background, no tile types, empty layers and
// no templates, up to and excluding the spawn count.
std::vector<uint8_t> EmptyMapUpToSpawns() { return {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; }

std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(LevelMapData, ReadsEverySectionOfASyntheticMap) {
    LevelMapData map;
    AssertCounter log;
    ASSERT_TRUE(ReadMap(Encode(EveryRecordMap()), &map));

    ASSERT_TRUE(map.HasBackground());
    EXPECT_EQ(map.Background().width, 3);
    EXPECT_EQ(map.Background().height, 2);
    EXPECT_EQ(map.Background().At(2, 1), 0xFF);
    EXPECT_EQ(map.Background().At(0, 1), 4);

    ASSERT_EQ(map.TileTypeCount(), 4u);
    ASSERT_EQ(map.TileTypes().size(), 8u);
    EXPECT_EQ(map.TileTypes()[1].flagBytes, Flags({0, 1, 0, 0, 1, 0}));
    EXPECT_TRUE(map.TileTypes()[1].HasFlag(kTileFlagDeadly));
    // Eight bytes kept whole; a byte of 2 is no flag.
    EXPECT_EQ(map.TileTypes()[2].flagBytes.size(), 8u);
    EXPECT_TRUE(map.TileTypes()[2].HasFlag(6));
    EXPECT_FALSE(map.TileTypes()[2].HasFlag(7));
    EXPECT_FALSE(map.TileTypes()[2].HasFlag(8));
    // Two stored bytes, padded to six.
    EXPECT_EQ(map.TileTypes()[3].flagBytes, Flags({1, 1, 0, 0, 0, 0}));
    // The built-in types: empty, above, beside (solid), below.
    EXPECT_EQ(map.EmptyCode(), 4u);
    EXPECT_EQ(map.BelowCode(), 7u);
    for (uint32_t code = 4; code < 8; ++code) {
        EXPECT_EQ(map.TileTypes()[code].flagBytes.size(), 6u);
        EXPECT_EQ(map.TileTypes()[code].HasFlag(kTileFlagPassable), code != map.BesideCode()) << code;
        EXPECT_FALSE(map.TileTypes()[code].HasFlag(kTileFlagPlatform));
    }

    EXPECT_EQ(map.Collision().cells, Flags({4, 0, 1, 2, 3, 4, 0, 0, 1, 1, 1, 1}));
    EXPECT_EQ(map.TileLayer().width, 4);
    EXPECT_EQ(map.TileLayer().At(3, 2), 0xFF);
    // Only the two templates that share a sprite no earlier template has.
    EXPECT_EQ(log.DebugLines().size(), 2u);
    EXPECT_TRUE(log.Logged("template 3 shares the sprite of template 5"));
    EXPECT_TRUE(log.Logged("template 4 shares the sprite of template 1"));
}

TEST(LevelMapData, ResolvesTemplatesTheirSpritesAndTheirData) {
    LevelMapData map;
    ASSERT_TRUE(ReadMap(Encode(EveryRecordMap()), &map));
    const std::vector<LevelTemplate>& t = map.Templates();
    ASSERT_EQ(t.size(), 8u);

    struct Expected {
        bool present;
        int8_t type;
        int16_t shared;
        int8_t set;
        int8_t anchor;
        uint8_t createFlag;
        int8_t hRange;
        int8_t vRange;
        std::vector<int8_t> data;
    };
    // Sprite sets from the game's table: byte 25 -> 17, 5 -> 6, 1 -> 1,
    // 0 -> none, 60 -> 41.
    const Expected expected[] = {
        {true, 25, kNoTemplate, 17, 0, 0, 5, -1, {0}},
        {false, kNoActorType, kNoTemplate, kNoSpriteSet, 0, 0, 0, 0, {}},
        {true, kNoActorType, 0, kNoSpriteSet, 1, 1, 0, 0, {3, -10}},    // shares template 0
        {true, 6, kNoTemplate, 6, 2, 0, 1, 1, {}},                      // later template: table
        {true, 21, kNoTemplate, 1, 0, 0, 2, 2, {}},                     // empty template: table
        {true, 41, kNoTemplate, kNoSpriteSet, 0, 0, 0, 0, {7}},         // no sprite at all
        {true, 14, kNoTemplate, 41, 0, 0, -3, 15, {1, 2, 1}},
        {true, 0, 6, kNoSpriteSet, 0, 0, 4, 4, {}},
    };
    for (uint32_t i = 0; i < t.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(t[i].present, expected[i].present);
        if (!expected[i].present) continue;
        EXPECT_EQ(t[i].type, expected[i].type);
        EXPECT_EQ(t[i].sharedTemplate, expected[i].shared);
        EXPECT_EQ(t[i].spriteSet, expected[i].set);
        EXPECT_EQ(t[i].anchor, expected[i].anchor);
        EXPECT_EQ(t[i].createFlag, expected[i].createFlag);
        EXPECT_EQ(t[i].horizontalRange, expected[i].hRange);
        EXPECT_EQ(t[i].verticalRange, expected[i].vRange);
        EXPECT_EQ(t[i].extraData, expected[i].data);
    }
    EXPECT_FALSE(t[5].HasSprite());
    EXPECT_TRUE(t[2].HasSprite());
}

TEST(LevelMapData, ReadsSpawnsReferencesAndTheLastStartRecord) {
    LevelMapData map;
    ASSERT_TRUE(ReadMap(Encode(EveryRecordMap()), &map));
    ASSERT_EQ(map.Spawns().size(), 4u);
    EXPECT_EQ(map.Spawns()[1].templateIndex, 2);
    EXPECT_EQ(map.Spawns()[1].x, -5);
    EXPECT_EQ(map.Spawns()[1].y, 30);
    EXPECT_EQ(map.Spawns()[3].templateIndex, 7);

    EXPECT_EQ(map.ActorRef(0), 2);
    EXPECT_EQ(map.ActorRef(39), 0);
    EXPECT_EQ(map.ActorRef(5), 3);
    EXPECT_EQ(map.ActorRef(1), 0);  // never set
    EXPECT_EQ(map.ActorRef(40), LevelMapData::kNoSpawn);
    EXPECT_EQ(map.ActorRef(-1), LevelMapData::kNoSpawn);

    // Kind 7 is its kind byte alone; the form-B start facing left comes last.
    const LevelPlayerStart& start = map.PlayerStart();
    EXPECT_TRUE(start.present);
    EXPECT_EQ(start.kind, kRefPlayerFormBLeft);
    EXPECT_TRUE(start.IsFormB());
    EXPECT_TRUE(start.FacesLeft());
    EXPECT_EQ(start.x, 300);
    EXPECT_EQ(start.y, -40);
}

TEST(LevelMapData, SlicedTemplateReadsMatchOneRead) {
    for (uint32_t count : {0u, 1u, 20u, 41u}) {
        SCOPED_TRACE(count);
        leveldata::LevelMap source = MinimalMap();
        for (uint32_t i = 0; i < count; ++i) {
            leveldata::Template record;
            record.type = static_cast<int8_t>(i % 70);
            record.sprite = static_cast<uint8_t>(i % 64);
            record.data.assign(i % 5, static_cast<int8_t>(i));
            source.templates.push_back(record);
        }
        source.spawns = {{static_cast<int8_t>(count == 0 ? 0 : count - 1), 4, 5}};
        const std::vector<uint8_t> bytes = Encode(source);

        LevelMapData whole;
        ASSERT_TRUE(ReadMap(bytes, &whole));

        // The loader's slices: k = m / 20 + 1 per step, twenty steps.
        LevelMapData sliced;
        CArrayInputStream in(1);
        in.Open(bytes.data(), static_cast<uint32_t>(bytes.size()));
        ASSERT_TRUE(sliced.ReadBackground(in) && sliced.ReadTileTypes(in) && sliced.ReadCollision(in) &&
                    sliced.ReadTileLayer(in) && sliced.ReadTemplateCount(in));
        const uint32_t k = count / 20 + 1;
        for (uint32_t step = 0; step < 20; ++step) ASSERT_TRUE(sliced.ReadTemplates(in, (step + 1) * k));
        ASSERT_TRUE(sliced.ReadSpawns(in) && sliced.ReadReferences(in));

        ASSERT_EQ(sliced.TemplateCount(), whole.TemplateCount());
        for (uint32_t i = 0; i < count; ++i) {
            EXPECT_EQ(sliced.Templates()[i].type, whole.Templates()[i].type);
            EXPECT_EQ(sliced.Templates()[i].extraData, whole.Templates()[i].extraData);
        }
        EXPECT_EQ(sliced.Spawns()[0].templateIndex, whole.Spawns()[0].templateIndex);
        EXPECT_TRUE(sliced.PlayerStart().present);
    }
}

TEST(LevelMapData, SectionsReadOutOfOrderAreRefused) {
    const std::vector<uint8_t> bytes = Encode(MinimalMap());
    CArrayInputStream in(1);
    in.Open(bytes.data(), static_cast<uint32_t>(bytes.size()));
    LevelMapData map;
    AssertCounter log;
    EXPECT_FALSE(map.ReadTileTypes(in));
    EXPECT_TRUE(log.Logged("out of order"));
    ASSERT_TRUE(map.ReadBackground(in));
    EXPECT_FALSE(map.ReadSpawns(in));
    EXPECT_FALSE(map.ReadTemplates(in, 1));
}

TEST(LevelMapData, WithoutBackgroundTheTileTypesFollowTheFirstByte) {
    LevelMapData map;
    ASSERT_TRUE(ReadMap(Encode(MinimalMap()), &map));
    EXPECT_FALSE(map.HasBackground());
    EXPECT_EQ(map.TileTypeCount(), 1u);
    EXPECT_EQ(map.Collision().cells, Flags({0, 1}));
    EXPECT_EQ(map.PlayerStart().kind, kRefPlayerFormARight);
}

TEST(LevelMapData, AMapWithoutStartRecordSaysSo) {
    leveldata::LevelMap source = MinimalMap();
    source.references.clear();
    LevelMapData map;
    ASSERT_TRUE(ReadMap(Encode(source), &map));
    EXPECT_FALSE(map.PlayerStart().present);
}

TEST(LevelMapData, CollisionCodesOutsideTheTypesAreEmpty) {
    // 200 tile types: -1 stays the empty code 200, which a signed byte
    // could not hold; codes past the types and negative ones become empty.
    leveldata::LevelMap source = MinimalMap();
    source.tileTypes.assign(200, {{0, 0, 0, 0, 0, 0}});
    source.collision = {4, 1, {-1, 127, -2, 5}};
    source.tiles = {4, 1, {0, 0, 0, 0}};
    LevelMapData map;
    AssertCounter log;
    ASSERT_TRUE(ReadMap(Encode(source), &map));
    EXPECT_EQ(map.Collision().cells, Flags({200, 127, 200, 5}));

    source.tileTypes.resize(3);
    ASSERT_TRUE(ReadMap(Encode(source), &map));
    EXPECT_EQ(map.Collision().cells, Flags({3, 3, 3, 3}));
    EXPECT_TRUE(log.Logged("3 collision cells"));
}

// Each case breaks one rule of the format; the map still loads, the bad
// index is refused with a debug line.
TEST(LevelMapData, RefusesBadIndexesOneByOne) {
    struct Case {
        const char* name;
        void (*edit)(leveldata::LevelMap&);
        bool (*check)(const LevelMapData&);
        const char* logged;
    };
    const Case cases[] = {
        {"actor type 70", [](leveldata::LevelMap& m) { m.templates[0].type = 70; },
         [](const LevelMapData& d) { return !d.Templates()[0].present && d.Spawns()[0].templateIndex == kNoTemplate; },
         "actor type 70"},
        {"actor type 126", [](leveldata::LevelMap& m) { m.templates[0].type = 126; },
         [](const LevelMapData& d) { return !d.Templates()[0].present && d.Templates()[2].spriteSet == kNoSpriteSet; },
         "actor type 126"},
        {"sprite entry 64", [](leveldata::LevelMap& m) { m.templates[6].sprite = 64; },
         [](const LevelMapData& d) { return !d.Templates()[6].HasSprite() && d.Templates()[7].spriteSet == 7; },
         "sprite entry 64"},
        {"spawn of template -1", [](leveldata::LevelMap& m) { m.spawns[0].templateIndex = -1; },
         [](const LevelMapData& d) { return d.Spawns()[0].templateIndex == kNoTemplate && d.Spawns()[1].templateIndex == 2; },
         "template -1"},
        {"spawn of template 8", [](leveldata::LevelMap& m) { m.spawns[2].templateIndex = 8; },
         [](const LevelMapData& d) { return d.Spawns()[2].templateIndex == kNoTemplate; }, "template 8"},
        {"spawn of an empty template", [](leveldata::LevelMap& m) { m.spawns[2].templateIndex = 1; },
         [](const LevelMapData& d) { return d.Spawns()[2].templateIndex == kNoTemplate; }, "is empty"},
        {"spawn of a template without sprite", [](leveldata::LevelMap& m) { m.spawns[2].templateIndex = 5; },
         [](const LevelMapData& d) { return d.Spawns()[2].templateIndex == kNoTemplate; }, "has no sprite"},
        {"reference entry 40", [](leveldata::LevelMap& m) { m.references[1].index = 40; },
         [](const LevelMapData& d) { return d.ActorRef(39) == 0 && d.ActorRef(5) == 3; }, "entry 40"},
        {"reference to spawn 4", [](leveldata::LevelMap& m) { m.references[0].spawn = 4; },
         [](const LevelMapData& d) { return d.ActorRef(0) == LevelMapData::kNoSpawn; }, "spawn 4"},
        {"reference to spawn -1", [](leveldata::LevelMap& m) { m.references[0].spawn = -1; },
         [](const LevelMapData& d) { return d.ActorRef(0) == LevelMapData::kNoSpawn; }, "spawn -1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        leveldata::LevelMap source = EveryRecordMap();
        c.edit(source);
        LevelMapData map;
        AssertCounter log;
        ASSERT_TRUE(ReadMap(Encode(source), &map));
        EXPECT_TRUE(c.check(map));
        EXPECT_TRUE(log.Logged(c.logged));
        EXPECT_TRUE(map.PlayerStart().present);
    }
}

TEST(LevelMapData, ALengthByteBelowThreeCarriesNoData) {
    // Template 0: type 25, sprite 25, anchor 0, length byte 1, flag, ranges;
    // template 1 follows at once and is read whole.
    const std::vector<uint8_t> bytes = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                        2, 25, 25, 0, 1, 1, 2, 3, 6, 5, 0, 4, 0, 0, 0, 9, 0, 0, 0, 0};
    LevelMapData map;
    AssertCounter log;
    ASSERT_TRUE(ReadMap(bytes, &map));
    EXPECT_TRUE(map.Templates()[0].extraData.empty());
    EXPECT_EQ(map.Templates()[0].createFlag, 1);
    EXPECT_EQ(map.Templates()[0].verticalRange, 3);
    EXPECT_EQ(map.Templates()[1].type, 6);
    EXPECT_EQ(map.Templates()[1].extraData, (std::vector<int8_t>{9}));
    EXPECT_TRUE(log.Logged("length byte 1"));
}

TEST(LevelMapData, NegativeCountsReadAsNone) {
    // Spawn count -1, reference count -32768.
    LevelMapData map;
    AssertCounter log;
    ASSERT_TRUE(ReadMap(Concat(EmptyMapUpToSpawns(), {0xFF, 0xFF, 0x80, 0x00}), &map));
    EXPECT_TRUE(map.Spawns().empty());
    EXPECT_FALSE(map.PlayerStart().present);
    EXPECT_TRUE(log.Logged("negative spawn count -1"));
    EXPECT_TRUE(log.Logged("negative reference count -32768"));
}

TEST(LevelMapData, RefusesLayersAndCountsLongerThanTheStream) {
    AssertCounter log;
    LevelMapData map;
    // A 65535 x 65535 background with a few bytes behind it.
    EXPECT_FALSE(ReadMap({1, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3}, &map));
    EXPECT_TRUE(log.Logged("65535 x 65535"));
    EXPECT_TRUE(map.Background().cells.empty());
    // 32767 spawns of which one is there.
    EXPECT_FALSE(ReadMap(Concat(EmptyMapUpToSpawns(), {0x7F, 0xFF, 0, 0, 0, 0, 0}), &map));
    EXPECT_TRUE(map.Spawns().empty());
}

TEST(LevelMapData, RefusesACollisionLayerOfAnotherSize) {
    leveldata::LevelMap source = MinimalMap();
    source.tiles = {1, 2, {0, 0}};
    LevelMapData map;
    AssertCounter log;
    EXPECT_FALSE(ReadMap(Encode(source), &map));
    EXPECT_TRUE(log.Logged("collision layer of 2 x 1"));
}

TEST(LevelMapData, EveryTruncationFailsCleanly) {
    const std::vector<uint8_t> bytes = Encode(EveryRecordMap());
    AssertCounter quiet;  // short reads are reported by the stream
    for (size_t length = 0; length < bytes.size(); ++length) {
        LevelMapData map;
        const std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_FALSE(ReadMap(prefix, &map)) << length;
    }
}

TEST(LevelMapData, ClearForgetsTheLevel) {
    LevelMapData map;
    ASSERT_TRUE(ReadMap(Encode(EveryRecordMap()), &map));
    map.Clear();
    EXPECT_EQ(map.TemplateCount(), 0u);
    EXPECT_TRUE(map.TileTypes().empty());
    EXPECT_FALSE(map.PlayerStart().present);
    EXPECT_EQ(map.ActorRef(0), LevelMapData::kNoSpawn);
}

TEST(LevelMapData, UnsetReferencesNameSpawnZeroWhenThereIsOne) {
    leveldata::LevelMap source = MinimalMap();
    LevelMapData map;
    ASSERT_TRUE(ReadMap(Encode(source), &map));
    EXPECT_EQ(map.ActorRef(3), LevelMapData::kNoSpawn);
    source.templates.resize(1);
    source.templates[0].sprite = 3;
    source.spawns = {{0, 1, 1}};
    ASSERT_TRUE(ReadMap(Encode(source), &map));
    EXPECT_EQ(map.ActorRef(3), 0);
}

}  // namespace
